#pragma once
// The plain 3D values a scene is made of. Matrices are row-major in the
// row-vector convention (translation in the fourth row), as the model files
// store them.

#include <cmath>

// Vector3 and Matrix4 are the render module's own, so that a loaded scene
// reaches the device without conversion.
#include "render/RenderState.h"
#include "render/RenderTypes.h"

namespace vesta {

inline Vector3 operator+(const Vector3& a, const Vector3& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vector3 operator-(const Vector3& a, const Vector3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vector3 operator*(const Vector3& a, float s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline Vector3 Cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Dot(const Vector3& a, const Vector3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline float Length(const Vector3& v) {
    return std::sqrt(Dot(v, v));
}
// The vector itself when it has no length.
inline Vector3 Unit(const Vector3& v) {
    const float size = Length(v);
    return size > 0.0f ? v * (1.0f / size) : v;
}

// Positions carry a fourth coordinate, 0 as loaded.
struct Vector4 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f;
    bool operator==(const Vector4&) const = default;
};

// Colour channels 0..1.
using ColourValue = ColorValue;

}  // namespace vesta
