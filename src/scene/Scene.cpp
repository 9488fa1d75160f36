#include "scene/Scene.h"

#include "log/Log.h"
#include "scene/SceneLoad.h"

namespace vesta {

CScene::CScene(RenderModule* renderer) : m_renderer(renderer) {}

CScene::~CScene() = default;

void CScene::Load(std::string_view path) {
    LoadScene(*this, path);
    m_currentCamera = cameras.empty() ? nullptr : cameras.front();
}

void CScene::LoadTextures() {}

void CScene::Render(float frame) {
    if (frame != kRenderAgain) {
        m_currentFrame = frame;
    }
}

void CScene::ReleaseResources() {}

void CScene::SetDrawMode(bool motionBlur, float blurTimeDecal, int blurImageCount) {
    m_motionBlur = motionBlur;
    m_blurTimeDecal = blurTimeDecal;
    m_blurImageCount = blurImageCount;
}

CCamera* CScene::FindCamera(std::string_view cameraName) const {
    for (CCamera* camera : cameras) {
        if (camera->Name() == cameraName) {
            return camera;
        }
    }
    RaiseError("Could not find any camera named [%s]", std::string(cameraName).c_str());
}

C3DObject* CScene::FindObject(std::string_view objectName) const {
    for (C3DObject* object : objects) {
        if (object->Name() == objectName) {
            return object;
        }
    }
    return nullptr;
}

}  // namespace vesta
