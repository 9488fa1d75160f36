#include "timeline/EnvelopeLayer.h"

namespace vesta {

CEnvelopeLayer::CEnvelopeLayer(RenderModule* context, const std::vector<CLayerOperation>* children)
    : CLayer(context, children) {
    m_envelope.Publish([this](const char* name, float* time) { AddFloatParameter(name, time); });
}

void CEnvelopeLayer::Start() {
    LifeClock().StartNow(m_envelope.Start());
}

void CEnvelopeLayer::Render() {
    m_envelope.Dispatch(
        Age(), [this] { OnRising(); }, [this] { OnStable(); }, [this] { OnFalling(); });
}

}  // namespace vesta
