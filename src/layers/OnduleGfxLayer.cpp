#include "layers/OnduleGfxLayer.h"

#include <cmath>
#include <numbers>

#include "layers/LayerMath.h"
#include "render/RenderModule.h"
#include "timeline/LayerFactory.h"

namespace vesta {

VESTA_REGISTER_LAYER(13, "OnduleGFXLayer", COnduleGfxLayer);

COnduleGfxLayer::COnduleGfxLayer(RenderModule* context,
                                 const std::vector<CLayerOperation>* children)
    : CPictureLayer(context, children) {
    AddIntParameter("Effect", &m_effect);
    addPictureParameters(m_picture, Registration::Accessors);
    AddFloatParameter("Intensity", &m_intensity);
    SetDefaultName(RandomLayerName("Ondule Gfx Layer"));
}

void COnduleGfxLayer::Start() {
    m_pictureTexture = startWithPicture(m_picture);
    m_grid = LayerGrid(kCells, kCells, m_picture.xOffset, m_picture.yOffset, m_picture.xScale,
                       m_picture.yScale);
}

void COnduleGfxLayer::draw() {
    constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;
    const float t = Age();
    const float height = kAmplitude * m_intensity;
    const float alpha = Intensity();
    for (std::size_t n = 0; n < m_grid.rest.size(); ++n) {
        const RenderVertex& rest = m_grid.rest[n];
        RenderVertex& v = m_grid.vertices[n];
        // Two waves of different length and speed, so the cloth never repeats
        // a simple pattern.
        float phase = 0.0f;
        float dx = 0.0f;
        float dy = 0.0f;
        switch (m_effect) {
        case 1:
            phase = kTwoPi * 1.5f * rest.u0 - 3.0f * t;
            dy = std::sin(phase) + 0.35f * std::sin(2.3f * phase + 1.1f * t);
            break;
        case 2: {
            const float du = rest.u0 - 0.5f;
            const float dv = rest.v0 - 0.5f;
            const float r = std::sqrt(du * du + dv * dv);
            phase = kTwoPi * 4.0f * r - 5.0f * t;
            const float s = std::sin(phase) * (r > 0.0f ? 1.0f / r : 0.0f) * std::min(r, 0.1f);
            dx = du * s * 10.0f;
            dy = -dv * s * 10.0f;
            break;
        }
        default:
            phase = kTwoPi * 1.5f * rest.v0 - 3.0f * t;
            dx = std::sin(phase) + 0.35f * std::sin(2.3f * phase + 1.1f * t);
            break;
        }
        v.x = rest.x + dx * height * m_picture.xScale;
        v.y = rest.y + dy * height * m_picture.yScale;
        // Lit on the rising side of a crest, shaded on the falling one.
        const float light = 0.8f + 0.2f * std::cos(phase) * std::min(1.0f, m_intensity);
        v.diffuse = GreyArgb(alpha, light);
    }
    beginFlat(m_pictureTexture, false);
    m_grid.Draw(module());
    endFlat();
}

}  // namespace vesta
