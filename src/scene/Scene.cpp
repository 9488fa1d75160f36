#include "scene/Scene.h"

#include "log/Log.h"
#include "render/RenderModule.h"
#include "render/dynamic/DynaTexture.h"
#include "scene/NameTags.h"
#include "scene/SceneLoad.h"
#include "scene/ScenePostLoad.h"

namespace vesta {
namespace {

// Maps are found by their bare file name in lower case, wherever the
// modelling package kept them.
std::string textureFileName(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    return LowerCase(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace

CScene::CScene(RenderModule* renderer) : m_renderer(renderer) {}

CScene::~CScene() = default;

void CScene::Load(std::string_view path) {
    SceneLoadHooks hooks;
    hooks.afterLoad = RunPostLoadSteps;
    if (m_renderer) {
        hooks.batchBlocks = [this] { return static_cast<int>(m_renderer->LiveStateBlockCount()); };
    }
    LoadScene(*this, path, hooks);
}

void CScene::LoadTextures() {
    if (!m_renderer) {
        return;
    }
    for (const auto& material : materials) {
        // A map named like an alpha map gives the first picture its alpha.
        std::string alphaMap;
        for (const MaterialMap& map : material->maps) {
            const std::string file = textureFileName(map.path);
            if (file.find("alpha") != std::string::npos && alphaMap.empty()) {
                alphaMap = file;
            }
        }
        for (const MaterialMap& map : material->maps) {
            // "name=Effect" is no file but a picture an effect draws.
            if (const std::optional<DynamicMapName> dynamic = ParseDynamicMapName(map.path)) {
                material->textures.push_back(CreateDynamicTexture(*m_renderer, *dynamic));
                continue;
            }
            const std::string file = textureFileName(map.path);
            if (file == alphaMap) {
                continue;
            }
            Texture* texture = m_renderer->CreateTexture();
            if (material->textures.empty() && !alphaMap.empty()) {
                texture->SetAlphaMap(alphaMap);
            }
            if (!texture->Load(file)) {
                m_renderer->DestroyTexture(texture);
                texture = nullptr;
            }
            material->textures.push_back(texture);
        }
    }
    for (CLight* light : lights) {
        if (!light->halo) {
            continue;
        }
        std::string file = light->mapFile;
        if (file.empty()) {
            file = TaggedText(light->Name(), ".m").value_or("");
        }
        if (file.empty()) {
            LogPrintf("Warning : Halo [%s] has no texture file, skipping.", light->Name().c_str());
            continue;
        }
        Texture* texture = m_renderer->CreateTexture();
        if (texture->Load(textureFileName(file))) {
            light->haloTexture = texture;
        } else {
            m_renderer->DestroyTexture(texture);
        }
    }
    for (const auto& source : particleSources) {
        Texture* texture = m_renderer->CreateTexture();
        if (texture->Load(textureFileName(source->textureName))) {
            source->texture = texture;
        } else {
            m_renderer->DestroyTexture(texture);
        }
    }
}

void CScene::ReleaseResources() {
    if (!m_renderer) {
        return;
    }
    auto release = [this](Texture*& texture) {
        if (texture) {
            m_renderer->ReleaseTexture(texture);
            texture = nullptr;
        }
    };
    for (const auto& material : materials) {
        for (Texture*& texture : material->textures) {
            release(texture);
        }
        material->textures.clear();
    }
    for (CLight* light : lights) {
        release(light->haloTexture);
    }
    for (const auto& source : particleSources) {
        release(source->texture);
    }
    for (CMeshe* mesh : meshes) {
        release(mesh->mirrorTexture);
        if (mesh->buffer) {
            m_renderer->DestroyMeshBuffer(mesh->buffer);
            mesh->buffer = nullptr;
        }
        if (mesh->stateBlock) {
            m_renderer->ReleaseStateBlock(mesh->stateBlock);
            mesh->stateBlock = 0;
        }
    }
    if (defaultStateBlock) {
        m_renderer->ReleaseStateBlock(defaultStateBlock);
        defaultStateBlock = 0;
    }
}

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
