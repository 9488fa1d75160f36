#pragma once
// Quads that face the viewer, two triangles (six vertices) each, for the
// modifiers that lay sprites and streaks into the scene.

#include <cstdint>
#include <vector>

#include "render/RenderTypes.h"

namespace vesta {

// Where the eye of a view matrix (world to camera, row vectors) stands.
Vector3 ViewerPosition(const Matrix4& view);
// The camera's right and up axes in world space.
Vector3 ViewerRight(const Matrix4& view);
Vector3 ViewerUp(const Matrix4& view);

// A sprite around `centre`, `halfWidth` along the view's right and
// `halfHeight` along its up axis, the whole texture across it.
void AppendSprite(std::vector<RenderVertex>& vertices, const Matrix4& view, const Vector3& centre,
                  float halfWidth, float halfHeight, std::uint32_t diffuse);
// A band from `from` to `to`, `halfWidth` to each side across the line of
// sight; texture v runs 0 to 1 along it, colours from `fromDiffuse` to `toDiffuse`.
void AppendStreak(std::vector<RenderVertex>& vertices, const Vector3& eye, const Vector3& from,
                  const Vector3& to, float halfWidth, std::uint32_t fromDiffuse,
                  std::uint32_t toDiffuse);

}  // namespace vesta
