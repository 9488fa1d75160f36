#include "layers/PlasmaUVLayer.h"

#include <cmath>
#include <numbers>

#include "layers/LayerMath.h"
#include "render/RenderModule.h"
#include "timeline/LayerFactory.h"

namespace vesta {

VESTA_REGISTER_LAYER(20, "PlasmaUVLayer", CPlasmaUVLayer);

CPlasmaUVLayer::CPlasmaUVLayer(RenderModule* context, const std::vector<CLayerOperation>* children)
    : CPictureLayer(context, children) {
    addPictureParameters(m_picture, Registration::Typed);
    AddIntParameter("Effect", &m_effect);
    AddIntParameter("AlphaType", &m_alphaType);
    AddFloatParameter("Intensity", &m_intensity);
    SetDefaultName(RandomLayerName("Plasma UV Layer"));
}

void CPlasmaUVLayer::Start() {
    m_pictureTexture = startWithPicture(m_picture);
    m_grid = LayerGrid(kCells, kCells, m_picture.xOffset, m_picture.yOffset, m_picture.xScale,
                       m_picture.yScale);
}

float CPlasmaUVLayer::Plasma(float x, float y, float t) {
    const float cx = x - 0.5f + 0.3f * std::sin(0.7f * t);
    const float cy = y - 0.5f + 0.3f * std::cos(0.5f * t);
    return std::sin(x * 9.0f + t) + std::sin(y * 7.0f - 1.3f * t) +
           std::sin((x + y) * 6.0f + 0.7f * t) +
           std::sin(std::sqrt(cx * cx + cy * cy) * 14.0f - 2.0f * t);
}

void CPlasmaUVLayer::draw() {
    constexpr float kThird = 2.0f * std::numbers::pi_v<float> / 3.0f;
    const float t = Age();
    const float i = Intensity();
    const bool additive = m_alphaType == 1;
    const float reach = kReach * m_intensity;
    for (std::size_t n = 0; n < m_grid.rest.size(); ++n) {
        const RenderVertex& rest = m_grid.rest[n];
        RenderVertex& v = m_grid.vertices[n];
        const float p = Plasma(rest.u0, rest.v0, t) * 0.25f * std::numbers::pi_v<float>;
        v.u0 = rest.u0 + reach * std::cos(p * 2.0f);
        v.v0 = rest.v0 + reach * std::sin(p * 2.0f);
        if (m_effect == 1) {
            const auto channel = [&](float shift) {
                return static_cast<std::uint8_t>(AlphaByte(
                    (0.6f + 0.4f * std::sin(p * 2.0f + shift)) * (additive ? i : 1.0f) * 255.0f));
            };
            v.diffuse = ColourArgb(additive ? 0.0f : i, channel(0.0f), channel(kThird),
                                   channel(2.0f * kThird));
        } else {
            v.diffuse = additive ? GreyArgb(0.0f, i) : GreyArgb(i, 1.0f);
        }
    }
    beginFlat(m_pictureTexture, additive);
    m_grid.Draw(module());
    endFlat();
}

}  // namespace vesta
