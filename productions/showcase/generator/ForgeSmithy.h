#pragma once
// The smith's corner of the forge, beyond the fire from the door: an anvil
// with a glowing billet on its face, a quench trough whose water a model
// player's "WaterPlane" can set rippling, and a second camera that watches
// them for the close shot near the end of the part.

#include "scene/Scene.h"

namespace vesta::showcase::forge {

// Adds the materials "Anvil", "Billet" and "Water" and the meshes, and the
// camera "Camera02" (after the scene's first camera, which stays the one
// the player starts with).
void AddSmithy(CScene& scene);

}  // namespace vesta::showcase::forge
