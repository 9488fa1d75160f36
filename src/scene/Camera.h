#pragma once
// A camera and the point it looks at.

#include "scene/SceneObject.h"

namespace vesta {

// Named after its camera with ".Target" appended.
class CCameraTarget : public C3DObject {
public:
    CCameraTarget() : C3DObject("CCameraTarget") {}
};

class CCamera : public C3DObject {
public:
    // The model file stores the field of view multiplied by this.
    static constexpr float kFovDivisor = 1.56f;

    CCamera() : C3DObject("CCamera") {}

    float fov = 0.0f;  // radians
    float roll = 0.0f;
    CCameraTarget* target = nullptr;  // owned by the scene
};

}  // namespace vesta
