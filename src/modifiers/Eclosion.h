#pragma once
// "Eclosion": a mesh of the scene opening like a bud. Its faces are drawn
// again over the scene and move apart from the mesh's centre by their own
// distance from it times AmplitudeX/Y/Z: while the envelope rises the bud
// opens from closed to fully open; it stays open through the stable phase
// and fades out with the falling one. Effect 0 slides the faces outward,
// Effect 1 also turns each face a quarter turn about its own centre, as
// unfolding petals do, and Effect 2 grows the whole mesh out of its centre
// instead. All the while the pieces drift along SensX/Y/Z at Velocity units
// a second. MaxIntensity is the opacity (AlphaType 0) or brightness
// (AlphaType 1, added to the frame); Texture / AlphaTexture cover the faces
// by the mesh's texture coordinates, else they take the material's colour.
// An ObjetName the scene lacks is logged ("Unable to find [%s]").

#include <string>
#include <vector>

#include "modifiers/ModifierSprites.h"
#include "timeline/EnvelopeModifier.h"

namespace vesta {

class CMeshe;

class CEclosion : public CEnvelopeModifier {
public:
    CEclosion(CScene* scene, RenderModule* renderModule, void* extra);

    const char* GetKindName() const override { return "Eclosion"; }
    const char* GetClassName() const override { return "CEclosion"; }
    void Start() override;
    void Release() override;
    void OnRising() override;
    void OnStable() override;
    void OnFalling() override;

private:
    // `opening` 0 closed .. 1 open; `strength` the fraction of MaxIntensity.
    void draw(float opening, float strength);

    std::int32_t m_effect = 0;
    std::int32_t m_alphaType = 0;
    std::string m_alphaTexture;
    std::string m_texture;
    std::string m_objectName;
    ParameterVector m_amplitude{1.0f, 1.0f, 1.0f, 0.0f};
    float m_maxIntensity = 1.0f;
    ParameterVector m_sens{0.0f, 0.0f, 0.0f, 0.0f};
    float m_velocity = 0.0f;

    CMeshe* m_mesh = nullptr;
    ModifierPicture m_picture;
    std::vector<RenderVertex> m_triangles;
};

}  // namespace vesta
