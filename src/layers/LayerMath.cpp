#include "layers/LayerMath.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace vesta {

Matrix4 RotationZ(float radians) {
    const float s = std::sin(radians);
    const float c = std::cos(radians);
    Matrix4 m;
    m.m[0][0] = c;
    m.m[0][1] = s;
    m.m[1][0] = -s;
    m.m[1][1] = c;
    return m;
}

Matrix4 Translation(float x, float y, float z) {
    Matrix4 m;
    m.m[3][0] = x;
    m.m[3][1] = y;
    m.m[3][2] = z;
    return m;
}

Matrix4 RotationYawPitchRoll(float yaw, float pitch, float roll) {
    Matrix4 pitchMatrix;
    pitchMatrix.m[1][1] = std::cos(pitch);
    pitchMatrix.m[1][2] = std::sin(pitch);
    pitchMatrix.m[2][1] = -std::sin(pitch);
    pitchMatrix.m[2][2] = std::cos(pitch);
    Matrix4 yawMatrix;
    yawMatrix.m[0][0] = std::cos(yaw);
    yawMatrix.m[0][2] = -std::sin(yaw);
    yawMatrix.m[2][0] = std::sin(yaw);
    yawMatrix.m[2][2] = std::cos(yaw);
    return RotationZ(roll) * pitchMatrix * yawMatrix;
}

float RandomUnit() {
    return static_cast<float>(std::rand() % 1000) * 0.001f;
}

float RandomFraction() {
    return static_cast<float>(std::rand() & 0x7FFF) / 32768.0f;
}

void TurnXY(float& x, float& y, float radians) {
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    const float turnedX = c * x + s * y;
    y = c * y - s * x;
    x = turnedX;
}

std::string RandomLayerName(const char* prefix) {
    char name[64];
    std::snprintf(name, sizeof name, "%s [%X]", prefix, static_cast<unsigned>(std::rand()));
    return name;
}

}  // namespace vesta
