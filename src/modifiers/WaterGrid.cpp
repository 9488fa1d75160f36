#include "modifiers/WaterGrid.h"

#include "scene/SceneMath.h"

namespace vesta {
namespace {

inline constexpr std::uint32_t kWaterColour = 0x00FFFFFF;

// The corner across from the first one is the farthest from it; the other
// two span the plane from it.
struct Frame {
    Vector3 origin;
    Vector3 towardsA;
    Vector3 towardsB;
    Vector3 opposite;
};

Frame cornerFrame(const std::array<Vector3, 4>& c) {
    int far = 1;
    for (int i = 2; i < 4; ++i) {
        if (Length(c[i] - c[0]) > Length(c[far] - c[0])) {
            far = i;
        }
    }
    std::array<int, 2> sides{};
    int next = 0;
    for (int i = 1; i < 4; ++i) {
        if (i != far) {
            sides[next++] = i;
        }
    }
    return {c[0], c[sides[0]], c[sides[1]], c[far]};
}

Vector3 planeNormal(const std::array<Vector3, 4>& corners, const std::vector<MeshFace>& faces) {
    Vector3 normal = Unit(Cross(corners[1] - corners[0], corners[2] - corners[0]));
    if (!faces.empty() && faces[0].a < 4 && faces[0].b < 4 && faces[0].c < 4) {
        const MeshFace& f = faces[0];
        const Vector3 turn = Cross(corners[f.b] - corners[f.a], corners[f.c] - corners[f.a]);
        if (Dot(turn, normal) < 0.0f) {
            normal = normal * -1.0f;
        }
    }
    return normal;
}

}  // namespace

WaterGrid BuildWaterGrid(const std::array<Vector3, 4>& corners,
                         const std::vector<MeshFace>& cornerFaces, int size, bool invertWinding) {
    WaterGrid grid;
    grid.normal = planeNormal(corners, cornerFaces);
    const Frame frame = cornerFrame(corners);
    const float last = static_cast<float>(size - 1);
    const float step = 1.0f / static_cast<float>(size);
    grid.vertices.reserve(static_cast<std::size_t>(size) * static_cast<std::size_t>(size));
    for (int row = 0; row < size; ++row) {
        const float v = static_cast<float>(row) / last;
        for (int column = 0; column < size; ++column) {
            const float u = static_cast<float>(column) / last;
            MeshVertex vertex;
            vertex.position = frame.origin * ((1 - u) * (1 - v)) + frame.towardsA * (u * (1 - v)) +
                              frame.towardsB * ((1 - u) * v) + frame.opposite * (u * v);
            vertex.normal = grid.normal;
            vertex.colour = kWaterColour;
            vertex.uv0 = {static_cast<float>(column) * step, static_cast<float>(row) * step};
            vertex.uv1 = vertex.uv0;
            grid.vertices.push_back(vertex);
        }
    }
    const auto n = static_cast<std::uint32_t>(size);
    // Both triangles of a cell turn the same way as its first one.
    const Vector3 turn = Cross(grid.vertices[1].position - grid.vertices[0].position,
                               grid.vertices[n].position - grid.vertices[0].position);
    const bool alongNormal = (Dot(turn, grid.normal) > 0.0f) != invertWinding;
    grid.faces.reserve(2 * (n - 1) * (n - 1));
    for (std::uint32_t row = 0; row + 1 < n; ++row) {
        for (std::uint32_t column = 0; column + 1 < n; ++column) {
            const std::uint32_t a = row * n + column;
            const std::uint32_t b = a + 1;
            const std::uint32_t c = a + n;
            const std::uint32_t d = c + 1;
            if (alongNormal) {
                grid.faces.push_back({a, b, c});
                grid.faces.push_back({c, b, d});
            } else {
                grid.faces.push_back({a, c, b});
                grid.faces.push_back({c, d, b});
            }
        }
    }
    return grid;
}

}  // namespace vesta
