#include "modifiers/DynaLight.h"

#include <cstdlib>

#include "modifiers/SceneLookup.h"
#include "scene/Scene.h"
#include "timeline/ModifierFactory.h"

namespace vesta {

VESTA_REGISTER_MODIFIER(18, "DynaLight", CDynaLight);

CDynaLight::CDynaLight(CScene* scene, RenderModule* renderModule, void*)
    : CModifier(scene, renderModule) {
    AddTextParameter("Light", &m_lightName);
    AddIntParameter("Effect", &m_effect);
    AddFloatParameter("Delay", &m_delay);
    AddFloatParameter("DelayDelta", &m_delayDelta);
    AddVectorParameter("LowColor", &m_lowColor);
    AddVectorParameter("HighColor", &m_highColor);
}

void CDynaLight::Start() {
    TakeKindNameWhenUnnamed();
    m_light = FindLight(*Scene(), m_lightName);
    // The first change is due at once.
    m_lastChange = 0.0f;
    m_delayNow = 0.0f;
}

void CDynaLight::PreRender() {
    if (!m_light) {
        return;
    }
    if (Age() < m_lastChange) {
        // Restarted: the clock went back, so the flicker starts over.
        m_lastChange = 0.0f;
        m_delayNow = 0.0f;
    }
    if (Age() - m_lastChange < m_delayNow) {
        return;
    }
    m_lastChange = Age();
    m_delayNow = m_delay + m_delayDelta * static_cast<float>(std::rand() % 1000 - 500) * 0.001f;
    const ParameterVector& colour = std::rand() % 32 > 15 ? m_highColor : m_lowColor;
    m_light->colour = {colour.x, colour.y, colour.z};
}

}  // namespace vesta
