// Routine 2 of "GFXLayer": the picture as a grid of triangles that burst
// apart once the layer has stopped holding.
//
// Until the stable end it is routine 0 drawn in pieces (shake, flicker,
// envelope placement). From then on every piece flies away from the centre of
// the quad along the line through its own centre, by 0.1 × t² × 30 times its
// distance from the quad's centre (t the time since the stable end, 30 the
// cells across the quad): the middle hardly moves, the rim leaves the screen
// within about a second, and the picture opens like a burst.

#include <algorithm>

#include "layers/GfxLayer.h"
#include "render/RenderModule.h"

namespace vesta {
namespace {

constexpr int kCells = 30;  // from −1 to 1 in steps of 1/15
constexpr float kStep = 1.0f / 15.0f;
constexpr float kBurst = 0.1f * kCells;

RenderVertex gridVertex(float gx, float gy, const ImagePlacement& p) {
    RenderVertex vertex{};
    vertex.x = gx * 0.5f * p.xScale + p.xOffset;
    vertex.y = gy * 0.5f * p.yScale + p.yOffset;
    vertex.diffuse = kOpaqueWhite;
    vertex.u0 = (gx + 1.0f) * 0.5f;
    vertex.v0 = (1.0f - gy) * 0.5f;
    return vertex;
}

}  // namespace

void CGfxLayer::buildShatter() {
    m_pieces.clear();
    m_pieceCentres.clear();
    for (int row = 0; row < kCells; ++row) {
        for (int column = 0; column < kCells; ++column) {
            const float x0 = -1.0f + kStep * static_cast<float>(column);
            const float y0 = -1.0f + kStep * static_cast<float>(row);
            const float x1 = std::min(1.0f, x0 + kStep);
            const float y1 = std::min(1.0f, y0 + kStep);
            const RenderVertex corners[2][3] = {
                {gridVertex(x0, y0, m_placement), gridVertex(x1, y0, m_placement),
                 gridVertex(x0, y1, m_placement)},
                {gridVertex(x1, y0, m_placement), gridVertex(x1, y1, m_placement),
                 gridVertex(x0, y1, m_placement)}};
            for (const auto& triangle : corners) {
                Vector3 centre;
                for (const RenderVertex& vertex : triangle) {
                    m_pieces.push_back(vertex);
                    centre.x += vertex.x / 3.0f;
                    centre.y += vertex.y / 3.0f;
                }
                m_pieceCentres.push_back(centre);
            }
        }
    }
    m_drawnPieces = m_pieces;
}

void CGfxLayer::shatterRoutine() {
    if (m_pieces.empty()) {
        buildShatter();  // "Effect" became 2 after Start
    }
    flatProjection();
    if (m_vibration != 0.0f) {
        shake();
    }
    flickerAlpha();
    drawShatter(EnvelopePlace(m_placement, Intensity(), falling()));
    rememberIntensity();
}

void CGfxLayer::drawShatter(const QuadPlace& place) {
    const float t = std::max(0.0f, Age() - GetEnvelope().StableEnd());
    const float burst = kBurst * t * t;
    const std::uint32_t colour = m_corners[0].diffuse;
    for (std::size_t n = 0; n < m_pieces.size(); ++n) {
        const Vector3& centre = m_pieceCentres[n / 3];
        const float dx = (centre.x - m_placement.xOffset) * burst;
        const float dy = (centre.y - m_placement.yOffset) * burst;
        RenderVertex& drawn = m_drawnPieces[n];
        drawn.x = place.sx * (m_pieces[n].x + dx) + place.tx;
        drawn.y = place.sy * (m_pieces[n].y + dy) + place.ty;
        drawn.diffuse = colour;
    }
    module().Draw(PrimitiveType::TriangleList, static_cast<int>(m_drawnPieces.size()),
                  m_drawnPieces.data());
}

}  // namespace vesta
