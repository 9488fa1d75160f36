#include "scene/player/ScenePoses.h"

#include "scene/Animation.h"
#include "scene/player/MdlPlayer.h"

namespace vesta {

float SceneFrameAt(const CScene& scene, float seconds) {
    return WrapFrame(seconds * CMDLPlayer::kFramesPerSecond, scene.lastFrame);
}

Vector3 PositionAt(const C3DObject& object, float frame) {
    if (object.anim && !object.anim->position.empty()) {
        return EvaluateTrack(object.anim->position, frame);
    }
    return {object.position.x, object.position.y, object.position.z};
}

CameraPose PoseAt(const CCamera& camera, float frame) {
    CameraPose pose;
    pose.position = PositionAt(camera, frame);
    pose.target = camera.target ? PositionAt(*camera.target, frame) : Vector3{};
    const C3DObjectAnim* anim = camera.anim;
    pose.fov = anim && !anim->fov.empty() ? EvaluateTrackValue(anim->fov, frame) : camera.fov;
    pose.roll = anim && !anim->roll.empty() ? EvaluateTrackValue(anim->roll, frame) : camera.roll;
    return pose;
}

const C3DObject* FindSceneObject(const CScene& scene, std::string_view name) {
    return name.empty() ? nullptr : scene.FindObject(name);
}

}  // namespace vesta
