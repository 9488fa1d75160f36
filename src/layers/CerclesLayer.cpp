#include "layers/CerclesLayer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "layers/LayerMath.h"
#include "render/RenderModule.h"
#include "timeline/LayerFactory.h"

namespace vesta {

VESTA_REGISTER_LAYER(23, "CerclesLayer", CCerclesLayer);

CCerclesLayer::CCerclesLayer(RenderModule* context, const std::vector<CLayerOperation>* children)
    : CPictureLayer(context, children) {
    addIntAccessor("NBCercles", &m_count);
    addPictureParameters(m_picture, Registration::Accessors);
    AddFloatParameter("Speed", &m_speed);
    AddFloatParameter("Ecart", &m_ecart);
    AddFloatParameter("Length", &m_length);
    AddFloatParameter("During", &m_during);
    SetDefaultName(RandomLayerName("Cercles Layer"));
}

void CCerclesLayer::Start() {
    m_pictureTexture = startWithPicture(m_picture);
}

std::vector<CCerclesLayer::Ring> CCerclesLayer::RingsAt(float age) const {
    std::vector<Ring> rings;
    if (m_count <= 0 || m_during <= 0.0f) {
        return rings;
    }
    // Ring n leaves at n × Ecart and again every NBCercles × Ecart; with no
    // spacing they all leave together once.
    const float cycle = static_cast<float>(m_count) * m_ecart;
    for (int n = 0; n < m_count; ++n) {
        const float first = static_cast<float>(n) * m_ecart;
        if (age < first) {
            continue;
        }
        float since = age - first;
        if (cycle > 0.0f) {
            since = std::fmod(since, cycle);
        }
        if (since < m_during) {
            rings.push_back({m_speed * since + m_length, 1.0f - since / m_during});
        }
    }
    std::sort(rings.begin(), rings.end(),
              [](const Ring& a, const Ring& b) { return a.radius > b.radius; });
    return rings;
}

void CCerclesLayer::draw() {
    const float i = Intensity();
    beginFlat(m_pictureTexture, false);
    for (const Ring& ring : RingsAt(Age())) {
        drawRing(ring, i);
    }
    endFlat();
}

void CCerclesLayer::drawRing(const Ring& ring, float intensity) {
    constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;
    const float outer = ring.radius;
    const float inner = std::max(0.0f, ring.radius - m_length);
    const std::uint32_t colour = GreyArgb(ring.alpha * intensity, 1.0f);
    const float sx = m_picture.xScale * aspect();
    m_strip.clear();
    for (int s = 0; s <= kSegments; ++s) {
        const float f = static_cast<float>(s) / kSegments;
        const float c = std::cos(f * kTwoPi);
        const float n = std::sin(f * kTwoPi);
        for (const auto& [r, v] : {std::pair{inner, 0.0f}, std::pair{outer, 1.0f}}) {
            m_strip.push_back(FlatVertex(m_picture.xOffset + c * r * sx,
                                         m_picture.yOffset + n * r * m_picture.yScale, colour,
                                         f * 4.0f, v));
        }
    }
    module().Draw(PrimitiveType::TriangleStrip, static_cast<int>(m_strip.size()), m_strip.data());
}

}  // namespace vesta
