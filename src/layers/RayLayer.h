#pragma once
// "RayLayer": ten light rays from the centre of the screen, each a textured
// quad stretched by IntensityEffect, turning at its own speed and pulsing in
// brightness, always facing the camera. The rays add their light to what
// lies below (one-and-one blending, whatever AlphaType).

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "layers/ImageQuad.h"
#include "layers/LayerDrawing.h"
#include "timeline/EnvelopeLayer.h"

namespace vesta {

class CRayLayer : public CEnvelopeLayer {
public:
    static constexpr int kRayCount = 10;

    struct Ray {
        float x = 0.0f;
        float y = 0.0f;
        float z = 0.0f;
        float rotationSpeed = 0.0f;
        std::array<float, 4> unused{};
        float lengthFactor = 0.0f;
        float spare = 0.0f;
    };

    CRayLayer(RenderModule* context, const std::vector<CLayerOperation>* children);
    ~CRayLayer() override;

    void Start() override;
    void Release() override;
    const char* GetClassName() const override { return "CRayLayer"; }
    void OnRising() override { drawFrame(); }
    void OnStable() override { drawFrame(); }
    void OnFalling() override { drawFrame(); }

    const std::array<Ray, kRayCount>& Rays() const { return m_rays; }
    std::array<Ray, kRayCount>& Rays() { return m_rays; }

private:
    void drawFrame();
    void setView();
    void drawRays();

    std::string m_alphaTexture;
    std::string m_texture;
    float m_xOffset = 0.0f;
    float m_yOffset = 0.0f;
    float m_xScale = 1.0f;
    float m_yScale = 1.0f;
    float m_intensityEffect = 1.0f;
    std::int32_t m_alphaType = 0;
    std::int32_t m_effect = 0;

    LayerPicture m_picture;
    QuadCorners m_base{};
    QuadCorners m_corners{};
    std::array<Ray, kRayCount> m_rays{};
};

}  // namespace vesta
