#include "layers/SplineLayer.h"

#include <algorithm>
#include <cmath>

#include "layers/LayerMath.h"
#include "render/RenderModule.h"
#include "timeline/LayerFactory.h"

namespace vesta {

VESTA_REGISTER_LAYER(21, "SplineLayer", CSplineLayer);

namespace {

float catmullRom(float p0, float p1, float p2, float p3, float t) {
    const float t2 = t * t;
    return 0.5f * (2.0f * p1 + (p2 - p0) * t + (2.0f * p0 - 5.0f * p1 + 4.0f * p2 - p3) * t2 +
                   (3.0f * p1 - p0 - 3.0f * p2 + p3) * t2 * t);
}

}  // namespace

CSplineLayer::CSplineLayer(RenderModule* context, const std::vector<CLayerOperation>* children)
    : CPictureLayer(context, children) {
    addPictureParameters(m_picture, Registration::Typed);
    AddIntParameter("Effect", &m_effect);
    AddIntParameter("AlphaType", &m_alphaType);
    AddFloatParameter("Intensity", &m_intensity);
    AddIntParameter("NbSpline", &m_splines);
    AddIntParameter("TrailLenght", &m_trailLength);
    AddFloatParameter("AmplitudeX", &m_amplitudeX);
    AddFloatParameter("AmplitudeY", &m_amplitudeY);
    AddFloatParameter("AmplitudeZ", &m_amplitudeZ);
    SetDefaultName(RandomLayerName("Spline Layer"));
}

void CSplineLayer::Start() {
    m_pictureTexture = startWithPicture(m_picture);
    m_controls.assign(static_cast<std::size_t>(std::max(0, m_splines)), {});
    for (auto& points : m_controls) {
        for (int n = 0; n < kControlPoints; ++n) {
            points.push_back({(RandomUnit() * 2.0f - 1.0f) * m_amplitudeX,
                              (RandomUnit() * 2.0f - 1.0f) * m_amplitudeY,
                              (RandomUnit() * 2.0f - 1.0f) * m_amplitudeZ});
        }
    }
}

Vector3 CSplineLayer::PointOf(int s, float t) const {
    const auto& c = m_controls[static_cast<std::size_t>(s)];
    const float wrapped = t - std::floor(t / kControlPoints) * kControlPoints;
    const int k = std::min(kControlPoints - 1, static_cast<int>(wrapped));
    const float f = wrapped - static_cast<float>(k);
    const auto at = [&](int d) {
        return c[static_cast<std::size_t>((k + d + kControlPoints) % kControlPoints)];
    };
    const Vector3 p0 = at(-1), p1 = at(0), p2 = at(1), p3 = at(2);
    return {catmullRom(p0.x, p1.x, p2.x, p3.x, f), catmullRom(p0.y, p1.y, p2.y, p3.y, f),
            catmullRom(p0.z, p1.z, p2.z, p3.z, f)};
}

void CSplineLayer::project(const Vector3& p, float& x, float& y, float& size) const {
    // A viewer two units in front of the plane z = 0.
    size = 2.0f / std::max(0.5f, 2.0f + p.z);
    x = p.x * size * m_picture.xScale + m_picture.xOffset;
    y = p.y * size * m_picture.yScale + m_picture.yOffset;
}

std::uint32_t CSplineLayer::trailColour(float brightness, float along) const {
    const float fade = brightness * (1.0f - along);
    return m_alphaType == 1 ? GreyArgb(0.0f, fade) : GreyArgb(fade, 1.0f);
}

void CSplineLayer::draw() {
    const float brightness = Intensity() * m_intensity;
    beginFlat(m_pictureTexture, m_alphaType == 1);
    for (int s = 0; s < SplineCount(); ++s) {
        if (m_effect == 1) {
            drawRibbon(s, brightness);
        } else {
            drawSprites(s, brightness);
        }
    }
    endFlat();
}

void CSplineLayer::drawSprites(int s, float brightness) {
    const int length = std::clamp(m_trailLength, 1, kMostTrail);
    const float head = Age() * kSpeed + static_cast<float>(s) * 1.7f;
    m_vertices.clear();
    m_indices.clear();
    // Tail first, so that the head lies on top.
    for (int k = length - 1; k >= 0; --k) {
        const float along = static_cast<float>(k) / static_cast<float>(length);
        float x, y, size;
        project(PointOf(s, head - static_cast<float>(k) * kTrailStep), x, y, size);
        const float h = kSpriteSize * size * (1.0f - 0.7f * along);
        const float w = h * aspect();
        AppendSprite(m_vertices, m_indices, x, y, w, h, trailColour(brightness, along));
    }
    module().DrawIndexed(PrimitiveType::TriangleList, m_vertices, m_indices);
}

void CSplineLayer::drawRibbon(int s, float brightness) {
    const int length = std::clamp(m_trailLength, 2, kMostTrail);
    const float head = Age() * kSpeed + static_cast<float>(s) * 1.7f;
    m_vertices.clear();
    float px = 0.0f, py = 0.0f, psize = 1.0f;
    project(PointOf(s, head + kTrailStep), px, py, psize);
    for (int k = 0; k < length; ++k) {
        const float along = static_cast<float>(k) / static_cast<float>(length - 1);
        float x, y, size;
        project(PointOf(s, head - static_cast<float>(k) * kTrailStep), x, y, size);
        // Across the ribbon: the direction of travel turned a quarter.
        float nx = py - y;
        float ny = x - px;
        const float norm = std::sqrt(nx * nx + ny * ny);
        if (norm > 0.0f) {
            nx /= norm;
            ny /= norm;
        }
        const float half = kSpriteSize * 0.5f * size * (1.0f - along);
        const std::uint32_t colour = trailColour(brightness, along);
        m_vertices.push_back(
            FlatVertex(x + nx * half * aspect(), y + ny * half, colour, along, 0.0f));
        m_vertices.push_back(
            FlatVertex(x - nx * half * aspect(), y - ny * half, colour, along, 1.0f));
        px = x;
        py = y;
    }
    module().Draw(PrimitiveType::TriangleStrip, static_cast<int>(m_vertices.size()),
                  m_vertices.data());
}

}  // namespace vesta
