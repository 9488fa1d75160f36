#include "modifiers/Particles.h"

#include "modifiers/SceneLookup.h"
#include "render/FogFadesToBlack.h"
#include "render/RenderModule.h"
#include "scene/Animation.h"
#include "scene/Scene.h"
#include "timeline/ModifierFactory.h"

namespace vesta {

VESTA_REGISTER_MODIFIER(3, "Particles", CParticles);

namespace {

constexpr float kStreakSeconds = 0.05f;

// Lights are no scene objects by name; the lookup reports what neither holds.
C3DObject& findOrRaise(const CScene& scene, const std::string& name) {
    if (C3DObject* object = FindPlacedObject(scene, name)) {
        return *object;
    }
    return FindObjectOrRaise(scene, name);
}

}  // namespace

CParticles::CParticles(CScene* scene, RenderModule* renderModule, void*)
    : CSelfNamingModifier(scene, renderModule) {
    AddIntParameter("Effect", &m_effect);
    AddIntParameter("AlphaType", &m_alphaType);
    AddIntParameter("NBParticle", &m_settings.count);
    AddTextParameter("AlphaTexture", &m_alphaTexture);
    AddTextParameter("TargetObjectName", &m_targetName);
    AddTextParameter("Texture", &m_texture);
    AddTextParameter("ObjetName", &m_objectName);
    AddFloatParameter("AmplitudeX", &m_amplitude.x);
    AddFloatParameter("AmplitudeY", &m_amplitude.y);
    AddFloatParameter("AmplitudeZ", &m_amplitude.z);
    AddFloatParameter("MaxIntensity", &m_maxIntensity);
    AddFloatParameter("SensX", &m_sens.x);
    AddFloatParameter("SensY", &m_sens.y);
    AddFloatParameter("SensZ", &m_sens.z);
    AddFloatParameter("LifeTimeParticules", &m_settings.lifetime);
    AddFloatParameter("Gravity", &m_settings.gravity);
    AddFloatParameter("XScale", &m_xScale);
    AddFloatParameter("YScale", &m_yScale);
    AddFloatParameter("Velocity", &m_settings.velocity);
    AddFloatParameter("Radius", &m_settings.radius);
    AddBoolParameter("ForceVisible", &m_forceVisible);
    AddIntParameter("RenderType", &m_renderType);
}

void CParticles::Initialise() {
    m_source = &findOrRaise(*Scene(), m_objectName);
    m_target = m_targetName.empty() ? nullptr : &findOrRaise(*Scene(), m_targetName);
    m_picture.Load(*Renderer(), m_texture, m_alphaTexture);
}

void CParticles::Release() {
    m_picture.Release(*Renderer());
}

void CParticles::gatherSources() {
    m_sources.clear();
    const auto* mesh = dynamic_cast<const CMeshe*>(m_source);
    if (mesh && !mesh->vertices.empty()) {
        for (const MeshVertex& vertex : mesh->vertices) {
            m_sources.push_back(TransformPoint(vertex.position, mesh->worldMatrix));
        }
        return;
    }
    m_sources.push_back(ObjectCentre(*Scene(), *m_source));
}

void CParticles::buildQuads() {
    const Matrix4& view = Renderer()->ViewMatrix();
    const Vector3 forward{view.m[0][2], view.m[1][2], view.m[2][2]};
    const bool additive = m_alphaType == 1;
    m_batch.Clear();
    for (const ParticleState& particle : m_particles) {
        const float strength = m_maxIntensity * particle.fade;
        const std::uint32_t colour =
            additive ? GreyArgb(strength) : (GreyArgb(strength) & 0xFF000000u) | 0x00FFFFFFu;
        if (m_renderType != 1) {
            m_batch.AddFacing(view, particle.position, m_xScale, m_yScale, colour);
            continue;
        }
        const Vector3 flight = particle.velocity * kStreakSeconds;
        const Vector3 side = Unit(Cross(flight, forward)) * m_xScale;
        const Vector3 head = particle.position + Unit(flight) * m_yScale;
        const Vector3 tail = particle.position - flight;
        const Vector3 corners[4] = {head - side, head + side, tail - side, tail + side};
        m_batch.AddQuad(corners, colour);
    }
}

void CParticles::Render() {
    if (!m_source) {
        return;
    }
    const auto* mesh = dynamic_cast<const CMeshe*>(m_source);
    if (mesh && !mesh->IsDrawn() && !m_forceVisible) {
        return;
    }
    m_settings.effect = static_cast<ParticleEffect>(m_effect);
    m_settings.amplitude = {m_amplitude.x, m_amplitude.y, m_amplitude.z};
    m_settings.direction = {m_sens.x, m_sens.y, m_sens.z};
    if (m_settings.effect == ParticleEffect::Stream && !m_target) {
        m_settings.effect = ParticleEffect::Fountain;
    }
    gatherSources();
    const Vector3 target = m_target ? ObjectCentre(*Scene(), *m_target) : m_sources.front();
    PlaceParticles(m_settings, m_sources, target, Age(), m_particles);
    buildQuads();
    RenderModule& m = *Renderer();
    const FogFadesToBlack fog(m, m_alphaType == 1);
    m_picture.BeginDraw(m, m_alphaType == 1);
    m_batch.Draw(m);
    ModifierPicture::EndDraw(m);
}

}  // namespace vesta
