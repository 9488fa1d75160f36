#include "timeline/EnvelopeModifier.h"

namespace vesta {

CEnvelopeModifier::CEnvelopeModifier(CScene* scene, RenderModule* renderModule)
    : CModifier(scene, renderModule) {
    m_envelope.Publish([this](const char* name, float* time) { AddFloatParameter(name, time); });
}

void CEnvelopeModifier::Start() {
    if (TakeKindNameWhenUnnamed()) {
        SetAge(0.0f);
    }
    LifeClock().StartNow(m_envelope.Start());
}

void CEnvelopeModifier::Render() {
    m_envelope.Dispatch(
        Age(), [this] { OnRising(); }, [this] { OnStable(); }, [this] { OnFalling(); });
}

void CEnvelopeModifier::PreRender() {
    m_envelope.Dispatch(
        Age(), [this] { OnPreRising(); }, [this] { OnPreStable(); }, [this] { OnPreFalling(); });
}

}  // namespace vesta
