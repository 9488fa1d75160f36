#pragma once
// "Flash": the whole screen brightened additively with the envelope's intensity.

#include <memory>
#include <vector>

#include "layers/ImageQuad.h"
#include "layers/SavedLayerState.h"
#include "timeline/EnvelopeLayer.h"

namespace vesta {

class CFlash : public CEnvelopeLayer {
public:
    static constexpr const char* kPicture = "white.NoDither.jpg";

    CFlash(RenderModule* context, const std::vector<CLayerOperation>* children);
    ~CFlash() override;

    void Start() override;
    void Release() override;
    const char* GetClassName() const override { return "CFlash"; }
    void OnRising() override { drawFrame(); }
    void OnStable() override { drawFrame(); }
    void OnFalling() override { drawFrame(); }

    const QuadCorners& Corners() const { return m_corners; }

private:
    void drawFrame();

    QuadCorners m_corners;
    Texture* m_texture = nullptr;
    std::unique_ptr<SavedLayerState> m_savedState;
};

}  // namespace vesta
