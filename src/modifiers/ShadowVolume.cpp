#include "modifiers/ShadowVolume.h"

#include <map>
#include <set>
#include <tuple>
#include <utility>

#include "scene/Animation.h"
#include "scene/SceneMath.h"

namespace vesta {
namespace {

using Edge = std::pair<std::uint32_t, std::uint32_t>;

// Vertices of one place are one corner, whatever their normals and
// texture coordinates: a box's faces share no indices otherwise.
std::vector<std::uint32_t> weldedIds(const std::vector<Vector3>& points) {
    std::map<std::tuple<float, float, float>, std::uint32_t> ids;
    std::vector<std::uint32_t> welded;
    welded.reserve(points.size());
    for (const Vector3& p : points) {
        const auto [it, added] =
            ids.try_emplace({p.x, p.y, p.z}, static_cast<std::uint32_t>(ids.size()));
        welded.push_back(it->second);
    }
    return welded;
}

RenderVertex cornerAt(const Vector3& p) {
    return {p.x, p.y, p.z, 0, 0, 0, 0xFF000000u, 0, 0, 0, 0};
}

}  // namespace

std::vector<RenderVertex> BuildShadowVolume(const CMeshe& mesh, const Vector3& light,
                                            float length) {
    std::vector<Vector3> world;
    world.reserve(mesh.vertices.size());
    for (const MeshVertex& vertex : mesh.vertices) {
        world.push_back(TransformPoint(vertex.position, mesh.worldMatrix));
    }
    const std::vector<std::uint32_t> id = weldedIds(world);
    std::vector<Vector3> corner(world.size());
    for (std::size_t i = 0; i < world.size(); ++i) {
        corner[id[i]] = world[i];
    }
    // Edges of the lit faces in their faces' turning; an edge met both ways
    // lies between two lit faces and casts nothing.
    std::set<Edge> silhouette;
    for (const MeshFace& face : mesh.faces) {
        if (face.a >= world.size() || face.b >= world.size() || face.c >= world.size()) {
            continue;
        }
        const Vector3& a = world[face.a];
        const Vector3 outward = Cross(world[face.b] - a, world[face.c] - a);
        if (Dot(outward, light - a) <= 0.0f) {
            continue;
        }
        const std::uint32_t ring[3] = {id[face.a], id[face.b], id[face.c]};
        for (int i = 0; i < 3; ++i) {
            const Edge edge{ring[i], ring[(i + 1) % 3]};
            if (!silhouette.erase({edge.second, edge.first})) {
                silhouette.insert(edge);
            }
        }
    }
    std::vector<RenderVertex> triangles;
    triangles.reserve(silhouette.size() * 6);
    auto away = [&](const Vector3& p) { return p + Unit(p - light) * length; };
    for (const auto& [from, to] : silhouette) {
        // Walked the other way from the lit face, so that the sides and the
        // lit faces turn alike around the shadow.
        const Vector3& u = corner[from];
        const Vector3& v = corner[to];
        const Vector3 farU = away(u);
        const Vector3 farV = away(v);
        triangles.insert(triangles.end(), {cornerAt(v), cornerAt(u), cornerAt(farU)});
        triangles.insert(triangles.end(), {cornerAt(v), cornerAt(farU), cornerAt(farV)});
    }
    return triangles;
}

}  // namespace vesta
