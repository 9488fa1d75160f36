#pragma once
// Where the objects and cameras of a loaded scene are at a frame, read from
// their own position tracks, for layers that follow a model without drawing
// it. Parents are not taken into account: these layers follow objects that
// move in the scene's own space.

#include <string_view>

#include "render/RenderTypes.h"
#include "scene/Scene.h"

namespace vesta {

struct CameraPose {
    Vector3 position;
    Vector3 target;
    float fov = 0.0f;
    float roll = 0.0f;
};

// The frame of a layer `seconds` into its life, wrapped into the scene's range.
float SceneFrameAt(const CScene& scene, float seconds);

Vector3 PositionAt(const C3DObject& object, float frame);
CameraPose PoseAt(const CCamera& camera, float frame);

// The named object, or null when the name is empty or the scene lacks it.
const C3DObject* FindSceneObject(const CScene& scene, std::string_view name);

}  // namespace vesta
