#include "modifiers/FogModifier.h"

#include <algorithm>

#include "log/Log.h"
#include "modifiers/ObjectPosition.h"
#include "render/RenderModule.h"
#include "scene/Scene.h"
#include "timeline/ModifierFactory.h"

namespace vesta {

VESTA_REGISTER_MODIFIER(14, "Fog", CFogModifier);

namespace {

// Below this the linear fog's far end would run to infinity.
constexpr float kFaintest = 0.001f;

}  // namespace

CFogModifier::CFogModifier(CScene* scene, RenderModule* renderModule, void*)
    : CEnvelopeModifier(scene, renderModule) {
    AddFloatParameter("StartDensity", &m_startDensity);
    AddFloatParameter("EndDensity", &m_endDensity);
    AddVectorParameter("Color", &m_color);
    AddTextParameter("Object", &m_objectName);
    AddFloatParameter("Radius", &m_radius);
    AddFloatParameter("NearPlane", &m_nearPlane);
    AddFloatParameter("FarPlane", &m_farPlane);
    AddIntParameter("Effect", &m_effect);
    AddFloatParameter("ColorFadeTime", &m_colorFadeTime);
}

void CFogModifier::Start() {
    CEnvelopeModifier::Start();
    m_object = nullptr;
    if (!m_objectName.empty()) {
        m_object = Scene()->FindObject(m_objectName);
        if (!m_object) {
            LogPrintf("Unable to find [%s]", m_objectName.c_str());
        }
    }
}

void CFogModifier::Release() {
    Renderer()->SetFogEnable(false);
}

float CFogModifier::Strength() const {
    float strength = std::clamp(Intensity(), 0.0f, 1.0f);
    const CCamera* camera = Scene()->CurrentCamera();
    if (m_object && camera && m_radius > 0.0f) {
        const float frame = Scene()->CurrentFrame();
        const float distance = Length(ObjectPositionAt(*Scene(), *m_object, frame) -
                                      ObjectPositionAt(*Scene(), *camera, frame));
        strength *= std::max(0.0f, (m_radius - distance) / m_radius);
    }
    return strength;
}

void CFogModifier::apply() {
    RenderModule& m = *Renderer();
    const float strength = Strength();
    const float colourShare =
        m_colorFadeTime > 0.0f ? std::min(1.0f, Age() / m_colorFadeTime) : 1.0f;
    const float toUnit = colourShare / 255.0f;
    m.SetFogColor(m_color.x * toUnit, m_color.y * toUnit, m_color.z * toUnit);
    const float progress = LifeTime() > 0.0f ? std::clamp(Age() / LifeTime(), 0.0f, 1.0f) : 0.0f;
    const float density = (m_startDensity + (m_endDensity - m_startDensity) * progress) * strength;
    switch (m_effect) {
    case 1:
        m.SetFog(FogMode::Exponential, m_nearPlane, m_farPlane, density);
        break;
    case 2:
        m.SetFog(FogMode::ExponentialSquared, m_nearPlane, m_farPlane, density);
        break;
    default:
        m.SetFog(FogMode::Linear, m_nearPlane,
                 m_nearPlane + (m_farPlane - m_nearPlane) / std::max(strength, kFaintest), density);
        break;
    }
    m.SetFogEnable(true);
}

}  // namespace vesta
