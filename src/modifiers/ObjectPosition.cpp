#include "modifiers/ObjectPosition.h"

#include "scene/Animation.h"

namespace vesta {

Vector3 ObjectPositionAt(const CScene& scene, const C3DObject& object, float frame) {
    if (object.anim && !object.anim->position.empty()) {
        return EvaluateTrack(object.anim->position, WrapFrame(frame, scene.lastFrame));
    }
    return {object.position.x, object.position.y, object.position.z};
}

}  // namespace vesta
