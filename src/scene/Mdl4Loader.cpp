#include "scene/Mdl4Loader.h"

#include <algorithm>

#include "log/Log.h"
#include "scene/Mdl4Format.h"
#include "scene/NameTags.h"
#include "scene/Scene.h"

namespace vesta {

CMdl4Loader::CMdl4Loader(CScene& scene) : m_scene(scene) {
    using namespace mdl4;
    // FaceNormals has no handler: its data is never needed.
    m_handlers = {
        {Scene, &CMdl4Loader::onScene},
        {Mesh, &CMdl4Loader::onMesh},
        {Camera, &CMdl4Loader::onCamera},
        {Light, &CMdl4Loader::onLight},
        {Material, &CMdl4Loader::onMaterial},
        {Point, &CMdl4Loader::onPoint},
        {UserText, &CMdl4Loader::onUserText},
        {Vertices, &CMdl4Loader::onVertices},
        {Normals, &CMdl4Loader::onNormals},
        {TexCoords, &CMdl4Loader::onTexCoords},
        {Faces, &CMdl4Loader::onFaces},
        {Colours, &CMdl4Loader::onColours},
        {Anim, &CMdl4Loader::onAnim},
        {PosKeys, &CMdl4Loader::onPosKeys},
        {RotKeys, &CMdl4Loader::onRotKeys},
        {ScaleKeys, &CMdl4Loader::onScaleKeys},
        {FovKeys, &CMdl4Loader::onFovKeys},
        {RollKeys, &CMdl4Loader::onRollKeys},
        {ColourKeys, &CMdl4Loader::onColourKeys},
        {OuterConeKeys, &CMdl4Loader::onOuterConeKeys},
        {InnerConeKeys, &CMdl4Loader::onInnerConeKeys},
        {Bone, &CMdl4Loader::onBone},
        {BonePosKeys, &CMdl4Loader::onBonePosKeys},
        {BoneRotKeys, &CMdl4Loader::onBoneRotKeys},
        {Skin, &CMdl4Loader::onSkin},
    };
}

void CMdl4Loader::Run(std::string_view path) {
    m_reader.Open(path, mdl4::kVersion);
    if (!m_reader.IsOpen()) {
        RaiseError("Unable to open MDLV4 file [%s]", std::string(path).c_str());
    }
    walk();
    finish();
}

void CMdl4Loader::RunOnBytes(std::string_view name, std::span<const std::uint8_t> bytes) {
    m_reader.OpenMemory(name, bytes, mdl4::kVersion);
    walk();
    finish();
}

void CMdl4Loader::walk() {
    // Depth first with an explicit stack, so that deeply nested chunks in a
    // damaged file cannot exhaust the call stack.
    std::vector<std::uint32_t> nextChild;
    const std::int64_t root = m_reader.EnterChild(0);
    if (root == Mdl4ChunkReader::kNoChunk) {
        return;
    }
    handle(root);
    nextChild.push_back(0);
    while (!nextChild.empty()) {
        const std::uint32_t index = nextChild.back();
        if (index < m_reader.ChildCount()) {
            nextChild.back() = index + 1;
            handle(m_reader.EnterChild(index));
            nextChild.push_back(0);
        } else {
            m_reader.Leave();
            nextChild.pop_back();
        }
    }
}

void CMdl4Loader::handle(std::int64_t kind) {
    const auto found = m_handlers.find(static_cast<std::uint32_t>(kind));
    if (found != m_handlers.end()) {
        (this->*found->second)();
    }
}

void CMdl4Loader::finish() {
    for (CMeshe* mesh : m_scene.meshes) {
        const std::size_t count = mesh->vertices.size();
        // A face cannot be drawn without its vertices, and dropping it would
        // hide the damage: the file is rejected.
        for (const MeshFace& face : mesh->faces) {
            if (face.a >= count || face.b >= count || face.c >= count) {
                m_reader.RaiseInvalid();
            }
        }
        // A weight for a vertex the mesh lacks moves nothing; the others keep
        // the skin as it was meant.
        for (const auto& bone : mesh->bones) {
            std::erase_if(bone->weights,
                          [count](const BoneWeight& weight) { return weight.vertex >= count; });
        }
        ApplyNameTags(*mesh);
    }
}

CMeshe& CMdl4Loader::currentMesh() const {
    if (!m_mesh) {
        m_reader.RaiseInvalid();
    }
    return *m_mesh;
}

C3DObjectAnim& CMdl4Loader::currentAnim() const {
    if (!m_anim) {
        m_reader.RaiseInvalid();
    }
    return *m_anim;
}

CBone& CMdl4Loader::currentBone() const {
    if (!m_bone) {
        m_reader.RaiseInvalid();
    }
    return *m_bone;
}

void CMdl4Loader::attachToParent(C3DObject& object, const std::string& parentName) const {
    // An object naming itself as its parent would make the hierarchy a loop:
    // it stays at the top level.
    if (parentName.empty() || parentName == object.Name()) {
        return;
    }
    const auto parent = m_objectsByName.find(parentName);
    if (parent != m_objectsByName.end()) {
        parent->second->AttachChild(&object);
    } else {
        object.pendingParentName = parentName;
    }
}

void CMdl4Loader::addObject(C3DObject* object) {
    m_scene.objects.push_back(object);
    m_objectsByName.emplace(object->Name(), object);
}

CBone* CMdl4Loader::findBone(const std::string& name) const {
    const auto found = m_bonesByName.find(name);
    return found == m_bonesByName.end() ? nullptr : found->second;
}

void CMdl4Loader::onScene() {
    m_scene.lastFrame = m_reader.ReadU32();
}

void CMdl4Loader::onMesh() {
    const std::string name = m_reader.ReadString();
    const std::string parentName = m_reader.ReadString();
    const std::string materialName = m_reader.ReadString();
    const Vector3 pivot = m_reader.ReadVector3();
    const Vector3 cornerA = m_reader.ReadVector3();
    const Vector3 cornerB = m_reader.ReadVector3();

    CMeshe* mesh = m_scene.Create<CMeshe>();
    mesh->SetName(name);
    mesh->materialName = materialName;
    mesh->position = {pivot.x, pivot.y, pivot.z, 0.0f};
    mesh->SetBoxFromFile(cornerA, cornerB);
    attachToParent(*mesh, parentName);
    m_scene.meshes.push_back(mesh);
    addObject(mesh);
    m_mesh = mesh;
    m_bonesByName.clear();
    m_object = mesh;
}

void CMdl4Loader::onCamera() {
    const std::string name = m_reader.ReadString();
    const std::string parentName = m_reader.ReadString();
    CCamera* camera = m_scene.Create<CCamera>();
    CCameraTarget* target = m_scene.Create<CCameraTarget>();
    camera->SetName(name);
    target->SetName(name + ".Target");
    camera->target = target;
    const Vector3 position = m_reader.ReadVector3();
    camera->position = {position.x, position.y, position.z, 0.0f};
    camera->fov = m_reader.ReadF32() / CCamera::kFovDivisor;
    camera->roll = m_reader.ReadF32();
    const std::string targetParentName = m_reader.ReadString();
    const Vector3 targetPosition = m_reader.ReadVector3();
    target->position = {targetPosition.x, targetPosition.y, targetPosition.z, 0.0f};

    attachToParent(*camera, parentName);
    attachToParent(*target, targetParentName);
    m_scene.cameras.push_back(camera);
    m_scene.cameraTargets.push_back(target);
    addObject(camera);
    addObject(target);
    m_object = camera;
}

void CMdl4Loader::onLight() {
    CLight* light = m_scene.Create<CLight>();
    light->SetName(m_reader.ReadString());
    const std::string parentName = m_reader.ReadString();
    light->spotFlag = m_reader.ReadU32();
    const Vector3 position = m_reader.ReadVector3();
    light->position = {position.x, position.y, position.z, 0.0f};
    const Vector3 target = m_reader.ReadVector3();
    light->targetPosition = {target.x, target.y, target.z, 0.0f};
    light->innerCone = m_reader.ReadF32();
    light->outerCone = m_reader.ReadF32();
    light->colour = m_reader.ReadVector3();
    light->strength = m_reader.ReadF32();
    light->attenuation0 = 1.0f - CLight::kAttenuationFactor * light->strength;

    attachToParent(*light, parentName);
    m_scene.lights.push_back(light);
    m_object = light;
}

void CMdl4Loader::onMaterial() {
    auto material = std::make_unique<CMaterial>();
    material->name = m_reader.ReadString();
    const Vector3 colour1 = m_reader.ReadVector3();
    const Vector3 colour2 = m_reader.ReadVector3();
    const Vector3 colour3 = m_reader.ReadVector3();
    material->wireframe = m_reader.ReadU8() != 0;
    material->flatShading = m_reader.ReadU8() != 0;
    material->specularLevel = m_reader.ReadF32();
    material->glossiness = m_reader.ReadF32();
    material->transparency = m_reader.ReadU8();
    material->opacity = 1.0f - material->transparency * mdl4::kTransparencyToAlpha;
    material->colour1 = {colour1.x, colour1.y, colour1.z, material->opacity};
    material->colour2 = {colour2.x, colour2.y, colour2.z, material->opacity};
    material->colour3 = {colour3.x, colour3.y, colour3.z, 1.0f};

    // Each map takes at least 8 bytes, so a false count fails at a read.
    const std::uint32_t mapCount = m_reader.ReadU32();
    for (std::uint32_t i = 0; i < mapCount; ++i) {
        MaterialMap map;
        map.name = m_reader.ReadString();
        map.path = m_reader.ReadString();
        if (!map.name.empty() && !map.path.empty()) {
            material->maps.push_back(std::move(map));
        }
    }
    m_scene.materials.push_back(std::move(material));
}

void CMdl4Loader::onPoint() {
    C3DObject* point = m_scene.Create<C3DObject>();
    point->SetName(m_reader.ReadString());
    const std::string parentName = m_reader.ReadString();
    const Vector3 position = m_reader.ReadVector3();
    point->position = {position.x, position.y, position.z, 0.0f};
    attachToParent(*point, parentName);
    addObject(point);
    m_object = point;
}

void CMdl4Loader::onUserText() {
    if (!m_object) {
        m_reader.RaiseInvalid();
    }
    m_object->SetUserText(m_reader.ReadString());
}

void CMdl4Loader::onAnim() {
    auto anim = std::make_unique<C3DObjectAnim>();
    anim->name = m_reader.ReadString();
    m_anim = anim.get();
    m_scene.animations.push_back(std::move(anim));
}

void CMdl4Loader::onBone() {
    CMeshe& mesh = currentMesh();
    auto bone = std::make_unique<CBone>();
    bone->SetName(m_reader.ReadString());
    const std::string parentName = m_reader.ReadString();
    bone->restMatrix = m_reader.ReadMatrix();
    if (CBone* parent = findBone(parentName)) {
        parent->AttachChild(bone.get());
    }
    m_bone = bone.get();
    m_bonesByName.emplace(bone->Name(), bone.get());
    mesh.bones.push_back(std::move(bone));
}

}  // namespace vesta
