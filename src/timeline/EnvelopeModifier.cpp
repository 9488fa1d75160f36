#include "timeline/EnvelopeModifier.h"

namespace vesta {

CEnvelopeModifier::CEnvelopeModifier(CScene* scene, RenderModule* renderModule)
    : CModifier(scene, renderModule) {
    AddFloatParameter("RisingTime", &m_envelope.risingTime);
    AddFloatParameter("FallingTime", &m_envelope.fallingTime);
    AddFloatParameter("StableTime", &m_envelope.stableTime);
}

void CEnvelopeModifier::Start() {
    if (TakeKindNameWhenUnnamed()) {
        SetAge(0.0f);
    }
    SetBirthTimeNow();
    SetLifeTime(m_envelope.Start());
}

void CEnvelopeModifier::Render() {
    switch (m_envelope.Advance(Age())) {
    case Envelope::Phase::Rising:
        OnRising();
        break;
    case Envelope::Phase::Stable:
        OnStable();
        break;
    case Envelope::Phase::Falling:
        OnFalling();
        break;
    }
}

void CEnvelopeModifier::PreRender() {
    switch (m_envelope.Advance(Age())) {
    case Envelope::Phase::Rising:
        OnPreRising();
        break;
    case Envelope::Phase::Stable:
        OnPreStable();
        break;
    case Envelope::Phase::Falling:
        OnPreFalling();
        break;
    }
}

}  // namespace vesta
