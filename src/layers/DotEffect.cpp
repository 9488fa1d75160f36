#include "layers/DotEffect.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "layers/LayerMath.h"
#include "log/Log.h"
#include "render/RenderModule.h"
#include "timeline/LayerFactory.h"

namespace vesta {

VESTA_REGISTER_LAYER(8, "DotEffect", CDotEffect);

namespace {

// A white disc whose edge fades over a pixel and a half, so that the dots
// stay round when they are small.
std::vector<std::uint8_t> discPixels(int size) {
    std::vector<std::uint8_t> bgra(static_cast<std::size_t>(size * size) * 4, 255);
    const float centre = static_cast<float>(size) * 0.5f;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float d = std::hypot(x + 0.5f - centre, y + 0.5f - centre);
            const float coverage = std::clamp((centre - d) / 1.5f, 0.0f, 1.0f);
            bgra[static_cast<std::size_t>(y * size + x) * 4 + 3] =
                static_cast<std::uint8_t>(coverage * 255.0f);
        }
    }
    return bgra;
}

}  // namespace

CDotEffect::CDotEffect(RenderModule* context, const std::vector<CLayerOperation>* children)
    : CPictureLayer(context, children) {
    addTextAccessor("Texture", &m_texture);
    addTextAccessor("AlphaTexture", &m_alphaTexture);
}

void CDotEffect::Start() {
    startLayer();
    m_disc = holdPixels(discPixels(kDotPixels), kDotPixels, kDotPixels);
    std::vector<std::uint8_t> picture;
    std::vector<std::uint8_t> alpha;
    int width = 0, height = 0, alphaWidth = 0, alphaHeight = 0;
    if (!readPicture(m_texture, picture, width, height)) {
        WarnPrintf("Warning : %s cannot read [%s]; it draws no dots", Describe().c_str(),
                   m_texture.c_str());
        return;
    }
    if (!m_alphaTexture.empty() && !readPicture(m_alphaTexture, alpha, alphaWidth, alphaHeight)) {
        alpha.clear();
    }
    sampleDots(picture, width, height, alpha, alphaWidth, alphaHeight);
}

void CDotEffect::sampleDots(const std::vector<std::uint8_t>& bgr, int width, int height,
                            const std::vector<std::uint8_t>& alpha, int alphaWidth,
                            int alphaHeight) {
    const float cell = 1.0f / kRows;
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            const float u = (static_cast<float>(column) + 0.5f) / kColumns;
            const float v = (static_cast<float>(row) + 0.5f) / kRows;
            const auto pixel = [](float f, int size) {
                return std::min(size - 1, static_cast<int>(f * static_cast<float>(size)));
            };
            const std::uint8_t* p =
                &bgr[static_cast<std::size_t>(pixel(v, height) * width + pixel(u, width)) * 3];
            float opacity = 1.0f;
            if (!alpha.empty()) {
                opacity = alpha[static_cast<std::size_t>(pixel(v, alphaHeight) * alphaWidth +
                                                         pixel(u, alphaWidth)) *
                                3] /
                          255.0f;
            }
            const float light = (0.11f * p[0] + 0.59f * p[1] + 0.3f * p[2]) / 255.0f;
            Dot dot;
            dot.x = u - 0.5f;
            dot.y = 0.5f - v;
            dot.radius = 0.5f * cell * (0.2f + 0.8f * std::sqrt(light)) * opacity;
            dot.red = p[2];
            dot.green = p[1];
            dot.blue = p[0];
            dot.angle = RandomUnit() * 2.0f * std::numbers::pi_v<float>;
            dot.speed = 0.5f + 0.5f * RandomUnit();
            if (dot.radius > 0.0f) {
                m_dots.push_back(dot);
            }
        }
    }
}

void CDotEffect::draw() {
    if (m_dots.empty()) {
        return;
    }
    const float i = Intensity();
    const float away = (1.0f - i) * (1.0f - i);
    const bool falling = Age() >= GetEnvelope().StableEnd();
    m_vertices.clear();
    m_indices.clear();
    for (const Dot& dot : m_dots) {
        float x = dot.x;
        float y = dot.y;
        if (falling) {
            y -= away * dot.speed;
        } else {
            x += away * 0.7f * dot.speed * std::cos(dot.angle);
            y += away * 0.7f * dot.speed * std::sin(dot.angle);
        }
        // The swell: a slow wave running from the top-left corner.
        const float swell = 0.9f + 0.1f * std::sin(3.0f * Age() - 8.0f * (dot.x - dot.y));
        const float r = dot.radius * swell;
        AppendSprite(m_vertices, m_indices, x, y, r * aspect(), r,
                     ColourArgb(i, dot.red, dot.green, dot.blue));
    }
    beginFlat(m_disc, false);
    module().DrawIndexed(PrimitiveType::TriangleList, m_vertices, m_indices);
    endFlat();
}

}  // namespace vesta
