#pragma once
// Shapes for the forge scene, beyond the boxes and grids the scene builder
// offers: flat sheets facing any way, surfaces turned about the y axis, and
// the quaternion keys that bones and objects turn with. Every face is wound
// clockwise as seen from the side its normal points to, which is the side
// the renderer draws.

#include <functional>
#include <vector>

#include "scene/Scene.h"

namespace vesta::showcase::forge {

// A point of a profile turned about the y axis: its distance from the axis
// and its height, both relative to the mesh's pivot.
struct ProfilePoint {
    float radius = 0;
    float height = 0;
};

// Radius factor at angle `turn` (0..1 around the axis) and profile position
// `along` (0..1 from the first point to the last).
using RadiusShape = std::function<float(float turn, float along)>;

// A sheet of columns x rows quads from `corner` along `across` and `up`,
// facing `normal`; texture coordinates repeat `tiles` times across and
// `tiles * |up| / |across|` times up.
void AddSheet(CMeshe& mesh, const Vector3& corner, const Vector3& across, const Vector3& up,
              const Vector3& normal, int columns, int rows, float tiles);

// The profile turned about the y axis in `segments` steps, the outside on
// the right of the profile's direction (a profile that climbs the outer
// wall faces outwards). Normals are smoothed over the faces afterwards.
void AddLathe(CMeshe& mesh, const std::vector<ProfilePoint>& profile, int segments, float uRepeat,
              float vRepeat, const RadiusShape& shape = {});

// Normals from the faces around each vertex; vertices at one place (the
// seam of a lathe) share theirs.
void SmoothNormals(CMeshe& mesh);

// A rotation of `angle` radians about `axis` (unit length), as a rotation
// track stores it.
AnimKey RotationKey(std::uint32_t frame, const Vector3& axis, float angle);

}  // namespace vesta::showcase::forge
