#pragma once
// Where an object of a scene is at a frame by its own position track (its
// place as loaded without one), for modifiers that follow an object before
// or apart from the scene's own evaluation.

#include "scene/Scene.h"

namespace vesta {

// `frame` is wrapped into the scene's range as the scene wraps it.
Vector3 ObjectPositionAt(const CScene& scene, const C3DObject& object, float frame);

}  // namespace vesta
