#include "layers/MetaballLayer.h"

#include <algorithm>
#include <cmath>

#include "render/RenderModule.h"
#include "timeline/LayerFactory.h"

namespace vesta {

VESTA_REGISTER_LAYER(7, "MetaballLayer", CMetaballLayer);

namespace {

constexpr float kSlopeCap = 2.5f;

float smoothstep(float edge0, float edge1, float x) {
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

}  // namespace

CMetaballLayer::CMetaballLayer(RenderModule* context, const std::vector<CLayerOperation>* children)
    : CPictureLayer(context, children) {
    addTextAccessor("AlphaTexture", &m_alphaTexture);
    addTextAccessor("Texture", &m_texture);
    addFloatAccessor("XOffset", &m_xOffset);
    addFloatAccessor("YOffset", &m_yOffset);
    addFloatAccessor("ZOffset", &m_zOffset);
    addFloatAccessor("XScale", &m_xScale);
    addFloatAccessor("YScale", &m_yScale);
    addFloatAccessor("ZScale", &m_zScale);
    addIntAccessor("NBMeta", &m_count);
    AddTextParameter("AlphaTexture2", &m_alphaTexture2);
    AddTextParameter("Texture2", &m_texture2);
}

void CMetaballLayer::Start() {
    startLayer();
    m_surface = holdPicture(m_texture, m_alphaTexture);
    m_halo = holdPicture(m_texture2, m_alphaTexture2);
    m_field.assign(m_grid.rest.size(), 0.0f);
}

std::vector<CMetaballLayer::Ball> CMetaballLayer::BallsAt(float age) const {
    std::vector<Ball> balls;
    for (int n = 0; n < m_count; ++n) {
        // Each ball its own frequencies, none of them in step with another.
        const float k = static_cast<float>(n);
        const float x = std::sin(age * (0.53f + 0.11f * k) + 1.7f * k);
        const float y = std::sin(age * (0.41f + 0.07f * k) + 2.9f * k + 0.5f);
        const float z = std::sin(age * (0.37f + 0.05f * k) + 0.8f * k);
        Ball ball;
        ball.centre = {m_xOffset + 0.3f * m_xScale * x, m_yOffset + 0.3f * m_yScale * y,
                       m_zOffset + 0.5f * m_zScale * z};
        ball.radius = kBallRadius * 2.0f / std::max(0.5f, 2.0f + ball.centre.z);
        balls.push_back(ball);
    }
    return balls;
}

float CMetaballLayer::Field(const std::vector<Ball>& balls, float x, float y) const {
    // Distances in screen heights, so that the balls are round.
    float sum = 0.0f;
    for (const Ball& ball : balls) {
        const float dx = (x - ball.centre.x) / aspect();
        const float dy = y - ball.centre.y;
        sum += ball.radius * ball.radius / (dx * dx + dy * dy + 1e-6f);
    }
    return sum;
}

void CMetaballLayer::draw() {
    const float i = Intensity();
    const std::vector<Ball> balls = BallsAt(Age());
    for (std::size_t n = 0; n < m_grid.rest.size(); ++n) {
        m_field[n] = Field(balls, m_grid.rest[n].x, m_grid.rest[n].y);
    }
    // The slope is read from the field capped near the surface: about a
    // ball's centre the field grows without bound and would throw the
    // look-up to the map's rim.
    const auto fieldAt = [&](int c, int r) {
        c = std::clamp(c, 0, kColumns);
        r = std::clamp(r, 0, kRows);
        return std::min(m_field[m_grid.Index(c, r)], kSlopeCap);
    };
    for (int r = 0; r <= kRows; ++r) {
        for (int c = 0; c <= kColumns; ++c) {
            const std::size_t n = m_grid.Index(c, r);
            const float f = m_field[n];
            // The slope of the field, flattened to a unit disc: the look-up
            // of a sphere's environment map.
            float gx = fieldAt(c + 1, r) - fieldAt(c - 1, r);
            float gy = fieldAt(c, r - 1) - fieldAt(c, r + 1);
            const float g = std::sqrt(gx * gx + gy * gy);
            const float slope = g / (g + 0.6f * std::min(f, kSlopeCap) + 1e-6f);
            if (g > 0.0f) {
                gx = -gx / g * slope;
                gy = -gy / g * slope;
            }
            RenderVertex& v = m_grid.vertices[n];
            v.u0 = 0.5f + 0.48f * gx;
            v.v0 = 0.5f - 0.48f * gy;
            v.diffuse = GreyArgb(i * smoothstep(0.92f, 1.08f, f), 1.0f);
            const float halo = smoothstep(0.35f, 0.95f, f) * (1.0f - smoothstep(1.0f, 1.6f, f));
            m_haloGrid.vertices[n].diffuse = GreyArgb(0.0f, i * halo);
        }
    }
    if (m_halo) {
        beginFlat(m_halo, true);
        m_haloGrid.Draw(module());
        endFlat();
    }
    beginFlat(m_surface, false);
    m_grid.Draw(module());
    endFlat();
}

}  // namespace vesta
