#include "scene/Scene.h"

namespace vesta {

C3DObject* CScene::FindObject(std::string_view objectName) const {
    for (C3DObject* object : objects) {
        if (object->Name() == objectName) {
            return object;
        }
    }
    return nullptr;
}

}  // namespace vesta
