#pragma once
// "ParasitesLayer": interference on a picture. Each frame the picture's
// alpha flickers and, by "Effect", it jumps turned and shifted (0), shakes
// enlarged (1), or shakes enlarged and scrolls upwards five times a second
// (2); EffectIntensity is how strong the disturbance is. Drawn on the flat
// 1 × 1 screen of the image layers, blended as AlphaType says.

#include <cstdint>
#include <string>
#include <vector>

#include "layers/ImageQuad.h"
#include "layers/LayerDrawing.h"
#include "timeline/EnvelopeLayer.h"

namespace vesta {

class CParasitesLayer : public CEnvelopeLayer {
public:
    // Accessor identifiers of AlphaType, AlphaTexture, Texture and Effect.
    static constexpr int kFirstIdentifier = 11200;

    CParasitesLayer(RenderModule* context, const std::vector<CLayerOperation>* children);
    ~CParasitesLayer() override;

    void Start() override;
    void Release() override;
    const char* GetClassName() const override { return "CParasitesLayer"; }
    void OnRising() override { drawFrame(); }
    void OnStable() override { drawFrame(); }
    void OnFalling() override { drawFrame(); }

private:
    void drawFrame();

    std::int32_t m_alphaType = 0;
    std::string m_alphaTexture;
    std::string m_texture;
    std::int32_t m_effect = 0;
    ImagePlacement m_placement;
    float m_effectIntensity = 1.0f;
    float m_intensity = 1.0f;

    LayerPicture m_picture;
    QuadCorners m_base = UnitQuad();
    QuadCorners m_corners = UnitQuad();
};

}  // namespace vesta
