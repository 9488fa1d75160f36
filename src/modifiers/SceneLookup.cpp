#include "modifiers/SceneLookup.h"

#include <string>

#include "log/Log.h"
#include "scene/Scene.h"

namespace vesta {
namespace {

template <class Object, class List>
Object* findIn(const List& list, std::string_view name) {
    for (auto* object : list) {
        if (object->Name() == name) {
            return object;
        }
    }
    return nullptr;
}

}  // namespace

CMeshe* FindMesh(const CScene& scene, std::string_view name) {
    return findIn<CMeshe>(scene.meshes, name);
}

CMeshe* FindMeshOrLog(const CScene& scene, std::string_view name) {
    CMeshe* mesh = FindMesh(scene, name);
    if (!mesh) {
        LogPrintf("Unable to find [%s]", std::string(name).c_str());
    }
    return mesh;
}

CLight* FindLight(const CScene& scene, std::string_view name) {
    return findIn<CLight>(scene.lights, name);
}

CMaterial* FindMaterial(const CScene& scene, std::string_view name) {
    for (const auto& material : scene.materials) {
        if (material->name == name) {
            return material.get();
        }
    }
    return nullptr;
}

CMeshe& FindMeshOrRaise(const CScene& scene, std::string_view name) {
    if (CMeshe* mesh = FindMesh(scene, name)) {
        return *mesh;
    }
    RaiseError("Cannot find object [%s]", std::string(name).c_str());
}

C3DObject& FindObjectOrRaise(const CScene& scene, std::string_view name) {
    if (C3DObject* object = scene.FindObject(name)) {
        return *object;
    }
    RaiseError("Cannot find object [%s]", std::string(name).c_str());
}

CLight& FindLightOrRaise(const CScene& scene, std::string_view name) {
    if (CLight* light = FindLight(scene, name)) {
        return *light;
    }
    RaiseError("Cannot find light [%s]", std::string(name).c_str());
}

CCamera& FindCameraOrRaise(const CScene& scene, std::string_view name) {
    if (CCamera* camera = findIn<CCamera>(scene.cameras, name)) {
        return *camera;
    }
    RaiseError("Cannot find camera [%s]", std::string(name).c_str());
}

}  // namespace vesta
