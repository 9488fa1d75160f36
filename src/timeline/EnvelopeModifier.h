#pragma once
// A modifier with the rise / stable / fall envelope, for both of its passes.

#include "timeline/Envelope.h"
#include "timeline/Modifier.h"

namespace vesta {

class CEnvelopeModifier : public CModifier {
public:
    CEnvelopeModifier(CScene* scene, RenderModule* renderModule);

    // Names an unnamed modifier "Kind [hex]", then computes the envelope.
    void Start() override;
    void Release() override {}
    void Render() override;
    void PreRender() override;

    virtual void OnRising() {}
    virtual void OnFalling() {}
    virtual void OnStable() {}
    virtual void OnPreRising() {}
    virtual void OnPreFalling() {}
    virtual void OnPreStable() {}

    float Intensity() const { return m_envelope.Intensity(); }
    const Envelope& GetEnvelope() const { return m_envelope; }

private:
    Envelope m_envelope;
};

}  // namespace vesta
