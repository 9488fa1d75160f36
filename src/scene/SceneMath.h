#pragma once
// The plain 3D values a scene is made of. Matrices are row-major in the
// row-vector convention (translation in the fourth row), as the model files
// store them.

// Vector3 and Matrix4 are the render module's own, so that a loaded scene
// reaches the device without conversion.
#include "render/RenderState.h"
#include "render/RenderTypes.h"

namespace vesta {

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
