#pragma once
// Matrices and the runtime's pseudo-random draws as the image layers use them.

#include <string>

#include "render/RenderTypes.h"

namespace vesta {

// Row vectors: the rotation turns +x towards +y.
Matrix4 RotationZ(float radians);
Matrix4 Translation(float x, float y, float z);
// Roll about z, then pitch about x, then yaw about y.
Matrix4 RotationYawPitchRoll(float yaw, float pitch, float roll);

// The runtime generator's next value modulo 1000, times 0.001: [0, 1) in steps of 0.001.
float RandomUnit();

// "Gfx Layer [%X]" with a pseudo-random number.
std::string RandomLayerName(const char* prefix);

}  // namespace vesta
