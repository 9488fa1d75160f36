#include "scene/ScenePostLoad.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "log/Log.h"
#include "render/RenderModule.h"
#include "scene/Animation.h"
#include "scene/NameTags.h"
#include "scene/Scene.h"

namespace vesta {
namespace {

constexpr int kMirrorSize = 256;

// The name up to its first ".", which ties morph targets and LOD levels to
// their mesh.
std::string_view prefixOf(std::string_view name) {
    return name.substr(0, name.find('.'));
}

bool contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

void addDynamicLights(CScene& scene) {
    for (CLight* light : scene.lights) {
        if (light->dynamic) {
            scene.dynamicLights.push_back(light);
            scene.objects.push_back(light);
        }
    }
}

void bindMaterials(CScene& scene) {
    for (auto material = scene.materials.begin(); material != scene.materials.end();) {
        bool used = false;
        for (CMeshe* mesh : scene.meshes) {
            if (mesh->materialName != (*material)->name) {
                continue;
            }
            used = true;
            mesh->material = material->get();
            const std::uint32_t alpha = 255u - (*material)->transparency;
            for (MeshVertex& vertex : mesh->vertices) {
                vertex.colour = (vertex.colour & 0x00FFFFFFu) | (alpha << 24);
            }
            for (MeshVertex& vertex : mesh->restVertices) {
                vertex.colour = (vertex.colour & 0x00FFFFFFu) | (alpha << 24);
            }
            if ((mesh->flags & (MeshFlag::EnvMap | MeshFlag::BinMap)) != 0 &&
                (*material)->maps.size() < 2) {
                LogPrintf("Warning : Meshe [%s] has flag EnvMap but material [%s] do not have at "
                          "least 2 textures.",
                          mesh->Name().c_str(), (*material)->name.c_str());
                mesh->flags &= ~MeshFlag::EnvMap;
            }
        }
        if (used) {
            ++material;
        } else {
            LogPrintf("*** Warning !!! Removing unused material [%s] !! ***",
                      (*material)->name.c_str());
            material = scene.materials.erase(material);
        }
    }
    // Meshes of one material side by side, in the materials' order; meshes
    // without one last among the opaque ones. Blended meshes go to the end.
    auto materialRank = [&scene](const CMeshe* mesh) {
        for (std::size_t i = 0; i < scene.materials.size(); ++i) {
            if (scene.materials[i].get() == mesh->material) {
                return i;
            }
        }
        return scene.materials.size();
    };
    std::stable_sort(
        scene.meshes.begin(), scene.meshes.end(),
        [&](const CMeshe* a, const CMeshe* b) { return materialRank(a) < materialRank(b); });
    std::stable_partition(scene.meshes.begin(), scene.meshes.end(), [](const CMeshe* mesh) {
        return (mesh->flags & (MeshFlag::Alpha | MeshFlag::SrcAlpha)) == 0;
    });
    for (CMeshe* mesh : scene.meshes) {
        if ((mesh->flags & (MeshFlag::Alpha | MeshFlag::SrcAlpha)) != 0) {
            mesh->flags |= MeshFlag::SortedLast;
        }
    }
}

void bindAnimations(CScene& scene) {
    for (const auto& animation : scene.animations) {
        const std::string name = LowerCase(animation->name);
        for (CCamera* camera : scene.cameras) {
            const std::string cameraName = LowerCase(camera->Name());
            if (name == cameraName + ".target" || name == cameraName + ".cible") {
                camera->target->anim = animation.get();
            } else if (name == cameraName) {
                camera->anim = animation.get();
            }
        }
        for (CLight* light : scene.lights) {
            const std::string lightName = LowerCase(light->Name());
            if (name == lightName + ".target" || name == lightName + ".cible") {
                light->targetAnim = animation.get();
            } else if (name == lightName) {
                light->anim = animation.get();
            }
        }
        for (C3DObject* object : scene.objects) {
            if (!object->anim && LowerCase(object->Name()) == name) {
                object->anim = animation.get();
            }
        }
    }
}

bool isAncestor(const C3DObject* candidate, const C3DObject* object) {
    for (const C3DObject* up = candidate; up; up = up->parent) {
        if (up == object) {
            return true;
        }
    }
    return false;
}

void buildHierarchy(CScene& scene) {
    for (C3DObject* object : scene.objects) {
        if (object->pendingParentName.empty() || object->parent) {
            continue;
        }
        C3DObject* parent = scene.FindObject(object->pendingParentName);
        // A parent below the object itself would close a loop: the object
        // stays at the top level.
        if (parent && parent != object && !isAncestor(parent, object)) {
            parent->AttachChild(object);
            object->pendingParentName.clear();
        }
    }
}

void buildDrawLists(CScene& scene) {
    for (CMeshe* mesh : scene.meshes) {
        if ((mesh->flags & MeshFlag::Blended) != 0) {
            scene.blendedMeshes.push_back(mesh);
        } else {
            scene.opaqueMeshes.push_back(mesh);
        }
    }
}

void buildParticleSources(CScene& scene) {
    for (CLight* light : scene.lights) {
        if (!light->particleSource) {
            continue;
        }
        const std::optional<std::string> count = TaggedText(light->Name(), ".c");
        const std::optional<std::string> texture = TaggedText(light->Name(), ".m");
        if (!count || !texture || count->empty() || texture->empty()) {
            LogPrintf("Warning : Particle Source [%s] does not contain Particle Count or texture "
                      "info, skipping.",
                      light->Name().c_str());
            continue;
        }
        auto source = std::make_unique<ParticleSource>();
        source->source = light;
        source->count = std::clamp(std::atoi(count->c_str()), 0, 100000);
        source->textureName = *texture;
        const std::string_view prefix = prefixOf(light->Name());
        for (CLight* other : scene.lights) {
            if (other->particleDestination && contains(other->Name(), prefix)) {
                source->destination = other;
                break;
            }
        }
        scene.particleSources.push_back(std::move(source));
    }
}

void bindMorphs(CScene& scene) {
    for (CMeshe* source : scene.meshes) {
        if ((source->flags & MeshFlag::MorphSource) == 0) {
            continue;
        }
        const std::string_view prefix = prefixOf(source->Name());
        std::vector<CMeshe*> targets{source};
        for (CMeshe* other : scene.meshes) {
            if (other == source || !contains(other->Name(), prefix)) {
                continue;
            }
            if ((other->flags & MeshFlag::MorphTarget) == 0) {
                LogPrintf("**** Warning : found a non-morph object using same PREFIX as an morph "
                          "object. ignoring.");
                continue;
            }
            if (other->vertices.size() != source->vertices.size()) {
                RaiseError("Morph Meshes [%s] and [%s] must have the same number of vertices (Is "
                           "%d and %d).",
                           source->Name().c_str(), other->Name().c_str(),
                           static_cast<int>(source->vertices.size()),
                           static_cast<int>(other->vertices.size()));
            }
            // Chain indices beyond the targets found would leave holes.
            const std::size_t slot =
                std::min<std::size_t>(other->morph.chainIndex + 1, scene.meshes.size());
            if (targets.size() <= slot) {
                targets.resize(slot + 1, nullptr);
            }
            targets[slot] = other;
        }
        std::erase(targets, nullptr);
        if (targets.size() < 2) {
            RaiseError("Can't find destination morph meshe for [%s].", source->Name().c_str());
        }
        source->morph.targets = std::move(targets);
    }
}

bool hasAnimatedAncestor(const C3DObject* object) {
    for (const C3DObject* up = object->parent; up; up = up->parent) {
        if (up->anim) {
            return true;
        }
    }
    return false;
}

void collectMovingObjects(CScene& scene) {
    auto placeAtPosition = [](C3DObject* object) {
        object->worldMatrix =
            TranslationMatrix({object->position.x, object->position.y, object->position.z});
    };
    std::for_each(scene.objects.begin(), scene.objects.end(), placeAtPosition);
    std::for_each(scene.lights.begin(), scene.lights.end(), placeAtPosition);
    for (C3DObject* object : scene.objects) {
        const bool camera = dynamic_cast<CCamera*>(object) || dynamic_cast<CCameraTarget*>(object);
        const bool below = hasAnimatedAncestor(object);
        if (camera || !(object->anim || below)) {
            continue;
        }
        scene.movingObjects.push_back(object);
    }
    // Positions below an animated ancestor become relative to it; computed
    // from the stored positions before any is changed.
    std::vector<Vector4> relative;
    for (C3DObject* object : scene.movingObjects) {
        Vector4 position = object->position;
        if (hasAnimatedAncestor(object)) {
            for (const C3DObject* up = object->parent; up; up = up->parent) {
                position.x -= up->position.x;
                position.y -= up->position.y;
                position.z -= up->position.z;
            }
        }
        relative.push_back(position);
    }
    for (std::size_t i = 0; i < relative.size(); ++i) {
        scene.movingObjects[i]->position = relative[i];
    }
}

void bindLods(CScene& scene) {
    for (CMeshe* root : scene.meshes) {
        if ((root->flags & MeshFlag::LodRoot) == 0) {
            continue;
        }
        const std::string_view prefix = prefixOf(root->Name());
        std::vector<CMeshe*> levels{root};
        for (CMeshe* level : scene.meshes) {
            if (level == root || (level->flags & MeshFlag::LodLevel) == 0 ||
                !contains(level->Name(), prefix)) {
                continue;
            }
            const std::optional<int> distance = TaggedNumber(level->Name(), ".d");
            if (!distance) {
                RaiseError("Cannot find LOD level for meshe [%s]", level->Name().c_str());
            }
            level->lodDistance = *distance;
            levels.push_back(level);
        }
        if (levels.size() < 2) {
            LogPrintf("Warning : LOD mesh found with no childs. ignoring");
            continue;
        }
        // The switching rule reads the levels nearest first.
        std::stable_sort(levels.begin() + 1, levels.end(), [](const CMeshe* a, const CMeshe* b) {
            return a->lodDistance < b->lodDistance;
        });
        root->lodLevels = std::move(levels);
        scene.lodRoots.push_back(root);
    }
}

void createMirrors(CScene& scene, RenderModule& module) {
    for (CMeshe* mesh : scene.meshes) {
        if ((mesh->flags & MeshFlag::Mirror) == 0) {
            continue;
        }
        Texture* texture = module.CreateTexture();
        if (texture && texture->CreateRenderTarget(kMirrorSize, nullptr, 1)) {
            mesh->mirrorTexture = texture;
            scene.mirrors.push_back(mesh);
        } else if (texture) {
            module.DestroyTexture(texture);
        }
    }
}

void createBuffers(CScene& scene, RenderModule& module) {
    for (CMeshe* mesh : scene.meshes) {
        std::vector<std::uint16_t> indices;
        indices.reserve(mesh->faces.size() * 3);
        for (const MeshFace& face : mesh->faces) {
            indices.push_back(static_cast<std::uint16_t>(face.a));
            indices.push_back(static_cast<std::uint16_t>(face.b));
            indices.push_back(static_cast<std::uint16_t>(face.c));
        }
        MeshBuffer* buffer = module.CreateMeshBuffer();
        const int vertexCount = static_cast<int>(mesh->vertices.size());
        if (buffer && buffer->Create(mesh->staticGeometry, vertexCount,
                                     static_cast<int>(indices.size()), false)) {
            if (!mesh->vertices.empty()) {
                std::memcpy(buffer->LockVertices(), mesh->vertices.data(),
                            mesh->vertices.size() * sizeof(MeshVertex));
            }
            buffer->UnlockVertices();
            std::copy(indices.begin(), indices.end(), buffer->LockIndices());
            buffer->UnlockIndices();
            mesh->buffer = buffer;
        } else if (buffer) {
            module.DestroyMeshBuffer(buffer);
        }
        if (!mesh->staticGeometry) {
            mesh->indices = std::move(indices);
        }
        RecordMeshStates(*mesh, module);
    }
}

}  // namespace

void RunPostLoadSteps(CScene& scene) {
    RenderModule* module = scene.Renderer();
    addDynamicLights(scene);
    bindMaterials(scene);
    bindAnimations(scene);
    buildHierarchy(scene);
    if (module) {
        RecordDefaultStates(scene, *module);
    }
    buildDrawLists(scene);
    buildParticleSources(scene);
    bindMorphs(scene);
    collectMovingObjects(scene);
    bindLods(scene);
    if (module) {
        createMirrors(scene, *module);
        createBuffers(scene, *module);
    }
    scene.SetCurrentCamera(scene.cameras.empty() ? nullptr : scene.cameras.front());
}

}  // namespace vesta
