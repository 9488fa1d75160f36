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

// The runtime generator's 15-bit value divided by 32768: [0, 1).
float RandomFraction();

// (x, y) turned by `radians` about the view axis the way the 2D layers turn
// their corners: x' = cos r x + sin r y, y' = cos r y - sin r x.
void TurnXY(float& x, float& y, float radians);

// "Gfx Layer [%X]" with a pseudo-random number.
std::string RandomLayerName(const char* prefix);

}  // namespace vesta
