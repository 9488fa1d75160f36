// The scene at one frame: camera, object matrices, visibility, the meshes
// whose geometry changes, lights, the order of blended meshes and LOD.

#include <algorithm>
#include <cmath>
#include <cstring>

#include "render/RenderModule.h"
#include "scene/Animation.h"
#include "scene/MeshGeometry.h"
#include "scene/Scene.h"

namespace vesta {
namespace {

Vector3 asVector3(const Vector4& v) {
    return {v.x, v.y, v.z};
}

bool hasTrack(const C3DObjectAnim* anim, AnimTrack C3DObjectAnim::*track) {
    return anim && !(anim->*track).empty();
}

// Where an object's own position track puts it, else its stored position.
Vector3 positionAt(const C3DObject& object, float frame) {
    if (hasTrack(object.anim, &C3DObjectAnim::position)) {
        return EvaluateTrack(object.anim->position, frame);
    }
    return asVector3(object.position);
}

}  // namespace

void CScene::placeCamera(float frame) {
    CCamera* camera = m_currentCamera;
    if (!camera || !m_renderer) {
        return;
    }
    const C3DObjectAnim* anim = camera->anim;
    Vector3 position = asVector3(camera->position);
    if (hasTrack(anim, &C3DObjectAnim::position)) {
        position = EvaluateTrack(anim->position, frame) + cameraOffset;
    }
    const float fov = hasTrack(anim, &C3DObjectAnim::fov)
                          ? EvaluateTrackValue(anim->fov, frame) + fovOffset
                          : camera->fov;
    const float roll = hasTrack(anim, &C3DObjectAnim::roll)
                           ? EvaluateTrackValue(anim->roll, frame) + rollOffset
                           : camera->roll;
    Vector3 target = camera->target ? positionAt(*camera->target, frame) : Vector3{};
    target = target + targetOffset;
    m_renderer->SetCameraPosition(position);
    m_renderer->SetFieldOfView(fov);
    m_renderer->SetRoll(roll);
    m_renderer->SetCameraTarget(target);
    m_renderer->ApplyCamera();
    m_cameraPosition = position;
    m_viewProjection = m_renderer->State().view * m_renderer->State().projection;
}

void CScene::evaluateObjects() {
    for (C3DObject* object : movingObjects) {
        object->visited = false;
        object->worldMatrix = Matrix4::Identity();
    }
    // Parents before their children: an object is placed once its parent is.
    std::vector<C3DObject*> chain;
    for (C3DObject* object : movingObjects) {
        chain.clear();
        for (C3DObject* up = object; up && !up->visited; up = up->parent) {
            chain.push_back(up);
        }
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            C3DObject& current = **it;
            current.visited = true;
            const C3DObjectAnim* anim = current.anim;
            Matrix4 local;
            if (hasTrack(anim, &C3DObjectAnim::rotation)) {
                local = QuaternionMatrix(EvaluateRotation(anim->rotation, m_currentFrame));
            }
            if (hasTrack(anim, &C3DObjectAnim::scale)) {
                const Vector3 s = EvaluateTrack(anim->scale, m_currentFrame);
                Matrix4 scale;
                scale.m[0][0] = s.x;
                scale.m[1][1] = s.y;
                scale.m[2][2] = s.z;
                local = local * scale;
            }
            Vector3 translation = asVector3(current.position);
            if (hasTrack(anim, &C3DObjectAnim::position)) {
                translation = EvaluateTrack(anim->position, m_currentFrame);
                current.animatedPosition = {translation.x, translation.y, translation.z, 0.0f};
            }
            local.m[3][0] = translation.x;
            local.m[3][1] = translation.y;
            local.m[3][2] = translation.z;
            current.worldMatrix = current.parent ? local * current.parent->worldMatrix : local;
        }
    }
}

void CScene::cullMeshes() {
    for (CMeshe* mesh : meshes) {
        bool inside = false;
        if ((mesh->flags & MeshFlag::MorphTarget) == 0) {
            const Matrix4 toClip = mesh->worldMatrix * m_viewProjection;
            // Outside when every corner lies beyond one and the same plane.
            std::uint32_t outsideAll = 0x3F;
            for (const Vector3& corner : mesh->box.points) {
                const Vector3& p = corner;
                const float x = p.x * toClip.m[0][0] + p.y * toClip.m[1][0] + p.z * toClip.m[2][0] +
                                toClip.m[3][0];
                const float y = p.x * toClip.m[0][1] + p.y * toClip.m[1][1] + p.z * toClip.m[2][1] +
                                toClip.m[3][1];
                const float z = p.x * toClip.m[0][2] + p.y * toClip.m[1][2] + p.z * toClip.m[2][2] +
                                toClip.m[3][2];
                const float w = p.x * toClip.m[0][3] + p.y * toClip.m[1][3] + p.z * toClip.m[2][3] +
                                toClip.m[3][3];
                std::uint32_t outside = 0;
                outside |= x < -w ? 0x01u : 0u;
                outside |= x > w ? 0x02u : 0u;
                outside |= y < -w ? 0x04u : 0u;
                outside |= y > w ? 0x08u : 0u;
                outside |= cullNearPlane && z < 0.0f ? 0x10u : 0u;
                outside |= cullFarPlane && z > w ? 0x20u : 0u;
                outsideAll &= outside;
            }
            inside = outsideAll == 0;
        }
        mesh->flags = inside ? mesh->flags | MeshFlag::Visible : mesh->flags & ~MeshFlag::Visible;
    }
}

void CScene::updateGeometry() {
    constexpr std::uint32_t kChanging = MeshFlag::Normals | MeshFlag::EnvMap | MeshFlag::BinMap |
                                        MeshFlag::MorphSource | MeshFlag::Skinned;
    for (auto it = meshes.rbegin(); it != meshes.rend(); ++it) {
        CMeshe& mesh = **it;
        if ((mesh.flags & MeshFlag::Visible) == 0 || (mesh.flags & kChanging) == 0) {
            continue;
        }
        if (mesh.flags & MeshFlag::Normals) {
            RecomputeNormals(mesh);
        }
        if (mesh.flags & MeshFlag::EnvMap) {
            MapEnvironment(mesh, m_viewProjection, 1.0f);
        }
        if (mesh.flags & MeshFlag::BinMap) {
            // The environment is seen from the camera's place towards the mesh.
            const Matrix4 look = CameraViewMatrix(m_cameraPosition, mesh.WorldPosition(), 0.0f);
            MapEnvironment(mesh, look, 0.2f);
        }
        if (mesh.flags & MeshFlag::MorphSource) {
            Morph(mesh, m_currentFrame);
        }
        if (mesh.flags & MeshFlag::Skinned) {
            SkinMesh(mesh, m_currentFrame);
        }
        if (mesh.buffer && !mesh.vertices.empty()) {
            std::memcpy(mesh.buffer->LockVertices(), mesh.vertices.data(),
                        mesh.vertices.size() * sizeof(MeshVertex));
            mesh.buffer->UnlockVertices();
        }
    }
}

void CScene::setLights() {
    m_lightsSet = 0;
    for (CLight* light : dynamicLights) {
        if (m_lightsSet >= kMaxLights) {
            break;
        }
        const C3DObjectAnim* anim = light->anim;
        RenderLight device;
        device.spot = light->IsSpot();
        device.position = anim ? light->WorldPosition() : asVector3(light->position);
        device.target = light->targetAnim && !light->targetAnim->position.empty()
                            ? EvaluateTrack(light->targetAnim->position, m_currentFrame)
                            : asVector3(light->targetPosition);
        device.color = hasTrack(anim, &C3DObjectAnim::colour)
                           ? EvaluateTrack(anim->colour, m_currentFrame)
                           : light->colour;
        device.outerCone = hasTrack(anim, &C3DObjectAnim::outerCone)
                               ? EvaluateTrackValue(anim->outerCone, m_currentFrame)
                               : light->outerCone;
        device.innerCone = hasTrack(anim, &C3DObjectAnim::innerCone)
                               ? EvaluateTrackValue(anim->innerCone, m_currentFrame)
                               : light->innerCone;
        device.range = light->range;
        device.attenuation[0] = light->attenuation0;
        device.attenuation[1] = light->attenuation1;
        device.attenuation[2] = light->attenuation2;
        m_renderer->SetLight(m_lightsSet, device);
        m_renderer->EnableLight(m_lightsSet, true);
        ++m_lightsSet;
    }
    if (m_lightsSet > 0) {
        m_renderer->SetLighting(true);
    }
}

void CScene::sortBlended() {
    const Matrix4& m = m_viewProjection;
    auto depthOf = [&m](const CMeshe* mesh) {
        const Vector3 p = mesh->WorldPosition();
        return p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2];
    };
    std::stable_sort(blendedMeshes.begin(), blendedMeshes.end(),
                     [&](const CMeshe* a, const CMeshe* b) { return depthOf(a) > depthOf(b); });
}

void CScene::chooseLods() {
    for (CMeshe* root : lodRoots) {
        const std::vector<CMeshe*>& levels = root->lodLevels;
        const int h = static_cast<int>(Length(root->WorldPosition() - m_cameraPosition));
        std::size_t chosen = levels.size();
        if (levels.front()->lodDistance >= h) {
            chosen = 0;
        } else {
            for (std::size_t l = 1; l < levels.size(); ++l) {
                if (levels[l - 1]->lodDistance <= h && h <= levels[l]->lodDistance) {
                    chosen = l;
                    break;
                }
            }
            if (chosen == levels.size() && h >= levels.back()->lodDistance) {
                chosen = levels.size() - 1;
            }
        }
        for (std::size_t l = 0; l < levels.size(); ++l) {
            levels[l]->flags = l == chosen ? levels[l]->flags & ~MeshFlag::Hide
                                           : levels[l]->flags | MeshFlag::Hide;
        }
    }
}

}  // namespace vesta
