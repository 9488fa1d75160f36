#pragma once
// "Particles": sprites thrown from an object of the scene (from the vertices
// of a mesh, or from a light or point), drawn over the scene as camera-facing
// quads or as streaks along their flight.
//
// Effect 0 is a fountain along SensX/Y/Z, 1 a burst every way, 2 a stream
// from ObjetName to TargetObjectName (see ParticleCloud.h). AlphaType 1 adds
// the sprites to the frame, 0 blends them by their alpha. RenderType 0 draws
// quads of XScale by YScale half-sizes, 1 streaks XScale wide and YScale long
// beyond the flight of a twentieth of a second. Without ForceVisible the
// particles of a mesh show only while the scene draws that mesh.

#include <string>
#include <vector>

#include "modifiers/ModifierSprites.h"
#include "modifiers/ParticleCloud.h"
#include "modifiers/SelfNamingModifier.h"

namespace vesta {

class CParticles : public CSelfNamingModifier {
public:
    CParticles(CScene* scene, RenderModule* renderModule, void* extra);

    const char* GetKindName() const override { return "Particles"; }
    const char* GetClassName() const override { return "CParticles"; }
    void Release() override;
    void Render() override;

    // The quads of the last render, for those who look at what was drawn.
    const SpriteBatch& Batch() const { return m_batch; }

protected:
    // Raises "Cannot find object [%s]" for an ObjetName or a
    // TargetObjectName the scene lacks.
    void Initialise() override;

private:
    void gatherSources();
    void buildQuads();

    std::int32_t m_effect = 0;
    std::int32_t m_alphaType = 1;
    std::string m_alphaTexture;
    std::string m_texture;
    std::string m_targetName;
    std::string m_objectName;
    ParameterVector m_amplitude{0.3f, 0.3f, 0.3f, 0.0f};
    float m_maxIntensity = 1.0f;
    ParameterVector m_sens{0.0f, 1.0f, 0.0f, 0.0f};
    float m_xScale = 1.0f;
    float m_yScale = 1.0f;
    bool m_forceVisible = false;
    std::int32_t m_renderType = 0;
    ParticleSettings m_settings;

    C3DObject* m_source = nullptr;
    C3DObject* m_target = nullptr;
    ModifierPicture m_picture;
    std::vector<Vector3> m_sources;
    std::vector<ParticleState> m_particles;
    SpriteBatch m_batch;
};

}  // namespace vesta
