#pragma once
// The matrices of the render module's camera.

#include <optional>

#include "render/RenderTypes.h"

namespace vesta {

// View from `position` towards `target`, turned by `roll` radians about the
// line of sight. Looking from the origin along +z without roll is the identity.
Matrix4 CameraViewMatrix(const Vector3& position, const Vector3& target, float roll);

// Perspective with `fieldOfView` radians vertically and `aspect` = height / width;
// nullopt for a degenerate camera (near = far, or no field of view), which
// leaves the previous projection in force.
std::optional<Matrix4> CameraProjectionMatrix(float fieldOfView, float nearPlane, float farPlane,
                                              float aspect);

Matrix4 OrthographicMatrix(float width, float height, float nearPlane, float farPlane);

struct ViewportRect {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// A viewport given in percent of the back buffer, each value truncated.
ViewportRect PercentViewport(float x, float y, float width, float height,
                             std::int32_t backBufferWidth, std::int32_t backBufferHeight);

// Sends a matrix only when it differs from the last one sent.
class MatrixCache {
public:
    // True (and remembered) when `matrix` differs from the last one.
    bool Changed(const Matrix4& matrix);
    void Forget() { m_valid = false; }

private:
    Matrix4 m_last;
    bool m_valid = false;
};

}  // namespace vesta
