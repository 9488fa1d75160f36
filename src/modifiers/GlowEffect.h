#pragma once
// "GlowEffect": a pulsing light around an object of the scene, added to the
// frame. The glow is a disc facing the camera at the object's centre, its
// half-sizes XScale and YScale times the object's radius (a mesh's half box
// diagonal; 1 for lights and points), standing ZScale radii towards the
// viewer so that the object itself does not hide it while what is in front
// of it still does. Its brightness is Intensity, breathing by a quarter
// TimeRatio times a second. Texture / AlphaTexture give the glow its
// picture; without one it fades from the centre to nothing at the rim. An
// ObjetName the scene lacks is logged ("Unable to find [%s]").

#include <string>

#include "modifiers/ModifierSprites.h"
#include "modifiers/SelfNamingModifier.h"

namespace vesta {

class CGlowEffect : public CSelfNamingModifier {
public:
    CGlowEffect(CScene* scene, RenderModule* renderModule, void* extra);

    const char* GetKindName() const override { return "GlowEffect"; }
    const char* GetClassName() const override { return "CGlowEffect"; }
    void Release() override;
    void Render() override;

    // 0..1 and above: the colour's strength at the centre, `time` seconds in.
    float Brightness(float time) const;

protected:
    void Initialise() override;

private:
    std::string m_objectName;
    std::string m_alphaTexture;
    std::string m_texture;
    float m_xScale = 1.5f;
    float m_yScale = 1.5f;
    float m_zScale = 1.0f;
    float m_timeRatio = 1.0f;
    float m_intensity = 1.0f;

    C3DObject* m_object = nullptr;
    ModifierPicture m_picture;
};

}  // namespace vesta
