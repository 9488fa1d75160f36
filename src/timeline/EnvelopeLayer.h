#pragma once
// A layer that fades in, holds and fades out: its lifetime comes from
// RisingTime, StableTime and FallingTime.

#include "timeline/Envelope.h"
#include "timeline/Layer.h"

namespace vesta {

class CEnvelopeLayer : public CLayer {
public:
    CEnvelopeLayer(RenderModule* context, const std::vector<CLayerOperation>* children);

    // Computes the envelope; a "LifeTime" from the script is overwritten.
    void Start() override;
    // Dispatches to the phase's hook with Intensity() set.
    void Render() override;

    virtual void OnRising() {}
    virtual void OnFalling() {}
    virtual void OnStable() {}

    float Intensity() const { return m_envelope.Intensity(); }
    const Envelope& GetEnvelope() const { return m_envelope; }

private:
    Envelope m_envelope;
};

}  // namespace vesta
