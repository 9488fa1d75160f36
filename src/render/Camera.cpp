#include "render/Camera.h"

#include <cmath>
#include <cstring>

namespace vesta {

bool Matrix4::operator==(const Matrix4& other) const {
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            if (m[row][column] != other.m[row][column]) {
                return false;
            }
        }
    }
    return true;
}

Matrix4 operator*(const Matrix4& a, const Matrix4& b) {
    Matrix4 product;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) {
                sum += a.m[row][k] * b.m[k][column];
            }
            product.m[row][column] = sum;
        }
    }
    return product;
}

Matrix4 CameraViewMatrix(const Vector3& position, const Vector3& target, float roll) {
    const Vector3 d{target.x - position.x, target.y - position.y, target.z - position.z};
    const float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    const float yaw = -std::atan2(d.x, d.z);
    const float pitch = length > 0.0f ? std::asin(d.y / length) : 0.0f;
    const float r = -roll;
    const float sy = std::sin(yaw), cy = std::cos(yaw);
    const float sp = std::sin(pitch), cp = std::cos(pitch);
    const float sr = std::sin(r), cr = std::cos(r);

    Matrix4 rotation;
    const float rows[3][3] = {
        {cr * cy + sr * sp * sy, cr * sp * sy - sr * cy, -cp * sy},
        {sr * cp, cr * cp, sp},
        {cr * sy - sr * sp * cy, -cr * sp * cy - sr * sy, cp * cy},
    };
    for (int row = 0; row < 3; ++row) {
        std::memcpy(rotation.m[row], rows[row], sizeof rows[row]);
    }
    Matrix4 translation;
    translation.m[3][0] = -position.x;
    translation.m[3][1] = -position.y;
    translation.m[3][2] = -position.z;
    return translation * rotation;
}

std::optional<Matrix4> CameraProjectionMatrix(float fieldOfView, float nearPlane, float farPlane,
                                              float aspect) {
    const float half = fieldOfView * 0.5f;
    if (std::fabs(farPlane - nearPlane) < 0.01f || std::fabs(std::sin(half)) < 0.01f) {
        return std::nullopt;
    }
    const float c = std::cos(half) / std::sin(half);
    const float q = farPlane / (farPlane - nearPlane);
    Matrix4 projection;
    projection.m[0][0] = c * aspect;
    projection.m[1][1] = c;
    projection.m[2][2] = q;
    projection.m[2][3] = 1.0f;
    projection.m[3][2] = -q * nearPlane;
    // m[3][3] keeps the identity's 1: the pictures have always been made so.
    return projection;
}

Matrix4 OrthographicMatrix(float width, float height, float nearPlane, float farPlane) {
    Matrix4 projection;
    projection.m[0][0] = 2.0f / width;
    projection.m[1][1] = 2.0f / height;
    projection.m[2][2] = 1.0f / (farPlane - nearPlane);
    projection.m[3][2] = -nearPlane / (farPlane - nearPlane);
    return projection;
}

ViewportRect PercentViewport(float x, float y, float width, float height,
                             std::int32_t backBufferWidth, std::int32_t backBufferHeight) {
    auto part = [](float percent, std::int32_t whole) {
        return static_cast<std::int32_t>(percent * 0.01f * static_cast<float>(whole));
    };
    return {part(x, backBufferWidth), part(y, backBufferHeight), part(width, backBufferWidth),
            part(height, backBufferHeight)};
}

bool MatrixCache::Changed(const Matrix4& matrix) {
    if (m_valid && m_last == matrix) {
        return false;
    }
    m_last = matrix;
    m_valid = true;
    return true;
}

}  // namespace vesta
