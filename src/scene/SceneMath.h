#pragma once
// The plain 3D values a scene is made of. Matrices are row-major in the
// row-vector convention (translation in the fourth row), as the model files
// store them.

#include <array>

namespace vesta {

struct Vector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    bool operator==(const Vector3&) const = default;
};

// Positions carry a fourth coordinate, 0 as loaded.
struct Vector4 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f;
    bool operator==(const Vector4&) const = default;
};

// Colour channels 0..1.
struct ColourValue {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
    bool operator==(const ColourValue&) const = default;
};

struct Matrix4 {
    std::array<float, 16> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    bool operator==(const Matrix4&) const = default;
};

}  // namespace vesta
