#pragma once
// Fog over the scene, set before the scene is drawn and carried by the
// envelope: its strength rises, holds and falls with the envelope's
// intensity, and with "Object" it also thins out with the camera's distance
// from that object ((Radius - distance) / Radius, at least 0).
//
// "Effect" picks the fog: 0 linear from NearPlane to FarPlane, its far end
// pushed out as the strength drops; 1 exponential and 2 exponential squared,
// with a density going from StartDensity to EndDensity over the lifetime,
// times the strength. Any other value is taken as 0. The colour (0..255 a
// channel) comes in from black over the first ColorFadeTime seconds.

#include <string>

#include "timeline/EnvelopeModifier.h"
#include "timeline/ParameterSet.h"

namespace vesta {

class C3DObject;

class CFogModifier : public CEnvelopeModifier {
public:
    CFogModifier(CScene* scene, RenderModule* renderModule, void* extra);

    void Start() override;
    // The fog is switched off again: nothing else would.
    void Release() override;
    const char* GetKindName() const override { return "Fog"; }
    const char* GetClassName() const override { return "CFogModifier"; }

    void OnPreRising() override { apply(); }
    void OnPreStable() override { apply(); }
    void OnPreFalling() override { apply(); }

    // 0..1: the envelope's intensity, times the object's closeness when one is followed.
    float Strength() const;

private:
    void apply();

    float m_startDensity = 0.01f;
    float m_endDensity = 0.01f;
    ParameterVector m_color{128.0f, 128.0f, 128.0f, 0.0f};
    std::string m_objectName;
    float m_radius = 100.0f;
    float m_nearPlane = 10.0f;
    float m_farPlane = 1000.0f;
    int m_effect = 0;
    float m_colorFadeTime = 0.0f;

    const C3DObject* m_object = nullptr;
};

}  // namespace vesta
