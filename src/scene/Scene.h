#pragma once
// What one model file becomes in memory. The scene owns every object; the
// lists below point into that store and keep the file's order.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Material.h"
#include "scene/Mesh.h"
#include "scene/ObjectAnim.h"

namespace vesta {

class CScene {
public:
    CScene() = default;
    CScene(const CScene&) = delete;
    CScene& operator=(const CScene&) = delete;

    // Creates an object that the scene owns; it is in none of the lists yet.
    template <class Object>
    Object* Create() {
        auto object = std::make_unique<Object>();
        Object* raw = object.get();
        m_store.push_back(std::move(object));
        return raw;
    }

    // The first object of the list of all objects with exactly this name.
    C3DObject* FindObject(std::string_view objectName) const;

    std::string name;  // the file name without its folder
    std::uint32_t lastFrame = 0;
    std::int64_t totalFaces = 0;
    std::int64_t totalVertices = 0;

    std::vector<CMeshe*> meshes;
    std::vector<C3DObject*> objects;  // meshes, cameras, camera targets, points
    std::vector<CCamera*> cameras;
    std::vector<CCameraTarget*> cameraTargets;
    std::vector<CLight*> lights;
    std::vector<std::unique_ptr<C3DObjectAnim>> animations;
    std::vector<std::unique_ptr<CMaterial>> materials;

private:
    std::vector<std::unique_ptr<C3DObject>> m_store;
};

}  // namespace vesta
