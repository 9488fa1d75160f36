#pragma once
// Keyframe tracks evaluated at a frame: Catmull-Rom through the keys for
// positions, scales, colours and single values; spherical interpolation for
// rotations.

#include <array>
#include <cstdint>

#include "scene/ObjectAnim.h"
#include "scene/SceneMath.h"

namespace vesta {

struct Quaternion {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;
};

// The frame wrapped into [0, lastFrame) so that the animation loops; a scene
// without frames stays at 0.
float WrapFrame(float frame, std::uint32_t lastFrame);

// The first three values of a non-empty track at frame x. Before the first key
// the spline extrapolates; past the last key the last key holds.
Vector3 EvaluateTrack(const AnimTrack& track, float x);
float EvaluateTrackValue(const AnimTrack& track, float x);
// A non-empty rotation track at frame x.
Quaternion EvaluateRotation(const AnimTrack& track, float x);

// Row-vector rotation matrices.
Matrix4 QuaternionMatrix(const Quaternion& q);
// Through the quaternion's axis and angle; an axis shorter than 0.0001 is no
// rotation.
Matrix4 AxisAngleMatrix(const Quaternion& q);

Matrix4 TranslationMatrix(const Vector3& offset);
Vector3 TransformPoint(const Vector3& point, const Matrix4& m);

}  // namespace vesta
