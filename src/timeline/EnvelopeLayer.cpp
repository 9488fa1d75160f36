#include "timeline/EnvelopeLayer.h"

namespace vesta {

CEnvelopeLayer::CEnvelopeLayer(RenderModule* context, const std::vector<CLayerOperation>* children)
    : CLayer(context, children) {
    AddFloatParameter("RisingTime", &m_envelope.risingTime);
    AddFloatParameter("FallingTime", &m_envelope.fallingTime);
    AddFloatParameter("StableTime", &m_envelope.stableTime);
}

void CEnvelopeLayer::Start() {
    SetBirthTimeNow();
    SetLifeTime(m_envelope.Start());
}

void CEnvelopeLayer::Render() {
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

}  // namespace vesta
