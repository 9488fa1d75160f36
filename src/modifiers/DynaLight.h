#pragma once
// A flickering light: after each delay the light's colour jumps to HighColor
// or LowColor at random, and the next delay is Delay give or take half of
// DelayDelta. A light the scene lacks leaves the modifier idle. "Effect" is
// taken for the scripts that give it; flicker is the one effect there is.

#include <string>

#include "timeline/Modifier.h"
#include "timeline/ParameterSet.h"

namespace vesta {

class CLight;

class CDynaLight : public CModifier {
public:
    CDynaLight(CScene* scene, RenderModule* renderModule, void* extra);

    void Start() override;
    void Release() override {}
    const char* GetKindName() const override { return "DynaLight"; }
    const char* GetClassName() const override { return "CDynaLight"; }
    void Render() override {}
    void PreRender() override;

    float CurrentDelay() const { return m_delayNow; }

private:
    std::string m_lightName;
    int m_effect = 0;
    float m_delay = 0.2f;
    float m_delayDelta = 0.05f;
    ParameterVector m_lowColor{0.0f, 0.0f, 0.0f, 0.0f};
    ParameterVector m_highColor{1.0f, 1.0f, 1.0f, 0.0f};

    CLight* m_light = nullptr;
    float m_lastChange = 0.0f;
    float m_delayNow = 0.0f;
};

}  // namespace vesta
