#include "modifiers/Billboards.h"

#include "scene/SceneMath.h"

namespace vesta {
namespace {

RenderVertex vertexAt(const Vector3& p, std::uint32_t diffuse, float u, float v) {
    return {p.x, p.y, p.z, 0.0f, 0.0f, 0.0f, diffuse, u, v, u, v};
}

// Two triangles over the corners a b / c d (a and b on one side).
void appendQuad(std::vector<RenderVertex>& out, const RenderVertex& a, const RenderVertex& b,
                const RenderVertex& c, const RenderVertex& d) {
    out.insert(out.end(), {a, b, c, c, b, d});
}

}  // namespace

Vector3 ViewerPosition(const Matrix4& view) {
    // view = rotation R then translation t, with t = -eye R: eye = -t Rᵀ.
    const float tx = view.m[3][0];
    const float ty = view.m[3][1];
    const float tz = view.m[3][2];
    Vector3 eye;
    eye.x = -(tx * view.m[0][0] + ty * view.m[0][1] + tz * view.m[0][2]);
    eye.y = -(tx * view.m[1][0] + ty * view.m[1][1] + tz * view.m[1][2]);
    eye.z = -(tx * view.m[2][0] + ty * view.m[2][1] + tz * view.m[2][2]);
    return eye;
}

Vector3 ViewerRight(const Matrix4& view) {
    return {view.m[0][0], view.m[1][0], view.m[2][0]};
}

Vector3 ViewerUp(const Matrix4& view) {
    return {view.m[0][1], view.m[1][1], view.m[2][1]};
}

void AppendSprite(std::vector<RenderVertex>& vertices, const Matrix4& view, const Vector3& centre,
                  float halfWidth, float halfHeight, std::uint32_t diffuse) {
    const Vector3 right = ViewerRight(view) * halfWidth;
    const Vector3 up = ViewerUp(view) * halfHeight;
    appendQuad(vertices, vertexAt(centre - right + up, diffuse, 0, 0),
               vertexAt(centre + right + up, diffuse, 1, 0),
               vertexAt(centre - right - up, diffuse, 0, 1),
               vertexAt(centre + right - up, diffuse, 1, 1));
}

void AppendStreak(std::vector<RenderVertex>& vertices, const Vector3& eye, const Vector3& from,
                  const Vector3& to, float halfWidth, std::uint32_t fromDiffuse,
                  std::uint32_t toDiffuse) {
    const Vector3 across = Unit(Cross(to - from, eye - from)) * halfWidth;
    appendQuad(vertices, vertexAt(from - across, fromDiffuse, 0, 0),
               vertexAt(from + across, fromDiffuse, 1, 0), vertexAt(to - across, toDiffuse, 0, 1),
               vertexAt(to + across, toDiffuse, 1, 1));
}

}  // namespace vesta
