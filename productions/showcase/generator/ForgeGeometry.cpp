#include "ForgeGeometry.h"

#include <cmath>
#include <map>
#include <numbers>
#include <tuple>

namespace vesta::showcase::forge {
namespace {

constexpr float kTurn = 2 * std::numbers::pi_v<float>;

std::uint32_t addVertex(CMeshe& mesh, const Vector3& position, const Vector3& normal, float u,
                        float v) {
    MeshVertex vertex;
    vertex.position = position;
    vertex.normal = normal;
    vertex.colour = 0xFFFFFFFFu;
    vertex.uv0 = {u, v};
    vertex.uv1 = {u, v};
    mesh.vertices.push_back(vertex);
    return static_cast<std::uint32_t>(mesh.vertices.size() - 1);
}

// Two triangles of the quad a b c d (in order around it), turned so that
// they face `outside`.
void addQuad(CMeshe& mesh, std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
             const Vector3& outside) {
    const auto& v = mesh.vertices;
    for (const auto& [p, q, r] : {std::tuple{a, b, c}, std::tuple{a, c, d}}) {
        const Vector3 turn = Cross(v[q].position - v[p].position, v[r].position - v[p].position);
        if (Length(turn) <= 0) {
            continue;  // a corner of the quad sits on the axis
        }
        mesh.faces.push_back(Dot(turn, outside) > 0 ? MeshFace{p, q, r} : MeshFace{p, r, q});
    }
}

}  // namespace

void AddSheet(CMeshe& mesh, const Vector3& corner, const Vector3& across, const Vector3& up,
              const Vector3& normal, int columns, int rows, float tiles) {
    const auto base = static_cast<std::uint32_t>(mesh.vertices.size());
    const float tilesUp = tiles * Length(up) / Length(across);
    for (int row = 0; row <= rows; ++row) {
        for (int column = 0; column <= columns; ++column) {
            const float s = static_cast<float>(column) / columns;
            const float t = static_cast<float>(row) / rows;
            addVertex(mesh, corner + across * s + up * t, normal, s * tiles, (1 - t) * tilesUp);
        }
    }
    const auto stride = static_cast<std::uint32_t>(columns + 1);
    for (std::uint32_t row = 0; row < static_cast<std::uint32_t>(rows); ++row) {
        for (std::uint32_t column = 0; column < static_cast<std::uint32_t>(columns); ++column) {
            const std::uint32_t a = base + row * stride + column;
            addQuad(mesh, a, a + 1, a + stride + 1, a + stride, normal);
        }
    }
}

void AddLathe(CMeshe& mesh, const std::vector<ProfilePoint>& profile, int segments, float uRepeat,
              float vRepeat, const RadiusShape& shape) {
    const auto base = static_cast<std::uint32_t>(mesh.vertices.size());
    const int points = static_cast<int>(profile.size());
    for (int i = 0; i < points; ++i) {
        const float along = static_cast<float>(i) / static_cast<float>(points - 1);
        for (int s = 0; s <= segments; ++s) {
            const float turn = static_cast<float>(s) / static_cast<float>(segments);
            const float radius = profile[i].radius * (shape ? shape(turn, along) : 1.0f);
            const Vector3 p{radius * std::cos(turn * kTurn), profile[i].height,
                            radius * std::sin(turn * kTurn)};
            addVertex(mesh, p, {}, turn * uRepeat, along * vRepeat);
        }
    }
    const auto stride = static_cast<std::uint32_t>(segments + 1);
    for (int i = 0; i + 1 < points; ++i) {
        // The outside lies on the right of the profile's direction.
        const float dr = profile[i + 1].radius - profile[i].radius;
        const float dy = profile[i + 1].height - profile[i].height;
        for (int s = 0; s < segments; ++s) {
            const float turn = (static_cast<float>(s) + 0.5f) / static_cast<float>(segments);
            const Vector3 outside{dy * std::cos(turn * kTurn), -dr, dy * std::sin(turn * kTurn)};
            const std::uint32_t a =
                base + static_cast<std::uint32_t>(i) * stride + static_cast<std::uint32_t>(s);
            addQuad(mesh, a, a + 1, a + stride + 1, a + stride, outside);
        }
    }
    SmoothNormals(mesh);
}

void SmoothNormals(CMeshe& mesh) {
    using Place = std::tuple<long, long, long>;
    auto placeOf = [](const Vector3& p) {
        return Place{std::lround(p.x * 64), std::lround(p.y * 64), std::lround(p.z * 64)};
    };
    std::map<Place, Vector3> sums;
    for (const MeshFace& face : mesh.faces) {
        const Vector3& a = mesh.vertices[face.a].position;
        const Vector3& b = mesh.vertices[face.b].position;
        const Vector3& c = mesh.vertices[face.c].position;
        const Vector3 normal = Unit(Cross(b - a, c - a));
        for (const std::uint32_t index : {face.a, face.b, face.c}) {
            Vector3& sum = sums[placeOf(mesh.vertices[index].position)];
            sum = sum + normal;
        }
    }
    for (MeshVertex& vertex : mesh.vertices) {
        const auto found = sums.find(placeOf(vertex.position));
        if (found != sums.end()) {
            vertex.normal = Unit(found->second);
        }
    }
}

AnimKey RotationKey(std::uint32_t frame, const Vector3& axis, float angle) {
    AnimKey key;
    key.frame = frame;
    const float s = std::sin(angle / 2);
    key.values = {axis.x * s, axis.y * s, axis.z * s, std::cos(angle / 2), 0, 0};
    return key;
}

}  // namespace vesta::showcase::forge
