#include "SceneConversion.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace vesta::mdltool {
namespace {

// How far along its look direction a camera's (or a spot light's) target is
// put; only the direction matters to the player.
constexpr float kTargetDistance = 10.0f;

Vector3 toVector(const aiVector3D& v) {
    return {v.x, v.y, v.z};
}

Vector4 toPosition(const aiVector3D& v) {
    return {v.x, v.y, v.z, 0.0f};
}

aiVector3D translationOf(const aiMatrix4x4& m) {
    return {m.a4, m.b4, m.c4};
}

// The import mirrors nodes, meshes and animations into left-handed
// coordinates but leaves the vectors of cameras and lights, which are given
// in their node's frame, as they were.
aiVector3D mirrored(const aiVector3D& v) {
    return {v.x, v.y, -v.z};
}

aiVector3D directionOf(const aiMatrix4x4& m, const aiVector3D& local) {
    aiVector3D direction = aiMatrix3x3(m) * local;
    const ai_real length = direction.Length();
    return length > 0 ? direction / length : aiVector3D(0, 0, 1);
}

std::uint32_t packColour(const aiColor4D& c) {
    auto channel = [](float value) {
        return static_cast<std::uint32_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
    };
    return (channel(c.r) << 16) | (channel(c.g) << 8) | channel(c.b);
}

AnimKey key(unsigned frame, std::initializer_list<float> values) {
    AnimKey result;
    result.frame = frame;
    std::copy(values.begin(), values.end(), result.values.begin());
    return result;
}

void addPositionKey(AnimTrack& track, unsigned frame, const aiVector3D& position) {
    track.push_back(key(frame, {position.x, position.y, position.z}));
}

bool isIdentity(const aiMatrix4x4& m) {
    return m.IsIdentity();
}

}  // namespace

Matrix4 ToFileMatrix(const aiMatrix4x4& matrix) {
    // assimp multiplies column vectors (translation in the fourth column);
    // the file's rows are assimp's columns.
    Matrix4 result;
    for (unsigned row = 0; row < 4; ++row) {
        for (unsigned column = 0; column < 4; ++column) {
            result.m[row][column] = matrix[column][row];
        }
    }
    return result;
}

SceneConversion::SceneConversion(const aiScene& source, CScene& scene, ConversionSummary& summary,
                                 SourceQuirks quirks, const ConvertOptions& options)
    : m_source(source), m_scene(scene), m_summary(summary), m_quirks(quirks), m_options(options),
      m_sampler(source) {
    for (unsigned i = 0; i < source.mNumCameras; ++i) {
        m_cameras.emplace(source.mCameras[i]->mName.C_Str(), source.mCameras[i]);
    }
    for (unsigned i = 0; i < source.mNumLights; ++i) {
        m_lights.emplace(source.mLights[i]->mName.C_Str(), source.mLights[i]);
    }
    std::function<void(const aiNode&)> number = [&](const aiNode& node) {
        m_treeOrder.emplace(&node, static_cast<unsigned>(m_treeOrder.size()));
        for (unsigned i = 0; i < node.mNumChildren; ++i) {
            number(*node.mChildren[i]);
        }
    };
    number(*source.mRootNode);
}

void SceneConversion::Run() {
    m_materialNames = ConvertMaterials(m_source, m_scene, m_summary, m_options);
    m_scene.lastFrame = m_sampler.HasAnimation() && m_sampler.LastFrame() > 0
                            ? m_sampler.LastFrame()
                            : kStaticLastFrame;
    if (m_source.mNumAnimations > 1) {
        m_summary.warnings.push_back("the file has " + std::to_string(m_source.mNumAnimations) +
                                     " animations; only the first is converted");
    }
    const aiNode& root = *m_source.mRootNode;
    // The root that only groups the file's nodes is assimp's, not the author's.
    const bool plainRoot = isIdentity(root.mTransformation) && root.mNumMeshes == 0 &&
                           !m_sampler.Animated(&root) && !m_cameras.count(root.mName.C_Str()) &&
                           !m_lights.count(root.mName.C_Str());
    if (plainRoot) {
        for (unsigned i = 0; i < root.mNumChildren; ++i) {
            visit(*root.mChildren[i], Written{});
        }
    } else {
        visit(root, Written{});
    }
    m_summary.meshes = m_scene.meshes.size();
    m_summary.cameras = m_scene.cameras.size();
    m_summary.lights = m_scene.lights.size();
    m_summary.materials = m_scene.materials.size();
}

std::string SceneConversion::uniqueName(const std::string& wanted) {
    const std::string base = wanted.empty() ? "Object" : wanted;
    std::string name = base;
    for (int suffix = 2; m_usedNames.count(name); ++suffix) {
        name = base + "#" + std::to_string(suffix);
    }
    m_usedNames.insert(name);
    return name;
}

std::vector<unsigned> SceneConversion::framesFor(bool changes) const {
    std::vector<unsigned> frames{0};
    if (changes) {
        for (unsigned frame = 1; frame <= m_sampler.LastFrame(); ++frame) {
            frames.push_back(frame);
        }
    }
    return frames;
}

void SceneConversion::visit(const aiNode& node, const Written& parent) {
    const bool moving = parent.moving || m_sampler.Animated(&node);
    const std::string nodeName = node.mName.C_Str();
    Written self;
    self.moving = moving;

    // A camera or a light takes the node's name; meshes on the same node
    // (rare) then get a suffix.
    std::string objectName;
    if (m_cameras.count(nodeName) || m_lights.count(nodeName)) {
        objectName = uniqueName(nodeName);
        const bool written = m_cameras.count(nodeName) ? addCamera(node, objectName, parent)
                                                       : addLight(node, objectName, parent);
        if (!written) {
            addPoint(node, objectName, parent, moving);
            self.drawnWithMatrix = moving;
        }
        self.name = objectName;
        addMeshes(node, parent, moving);
    } else {
        self.name = addMeshes(node, parent, moving);
        const bool skinned = !self.name.empty() && m_lastMeshSkinned;
        if (self.name.empty()) {
            self.name = uniqueName(nodeName);
            addPoint(node, self.name, parent, moving);
        }
        // A skinned mesh is drawn where its bones put it, not with a matrix.
        self.drawnWithMatrix = moving && !skinned;
    }
    for (unsigned i = 0; i < node.mNumChildren; ++i) {
        visit(*node.mChildren[i], self);
    }
}

std::string SceneConversion::addMeshes(const aiNode& node, const Written& parent, bool moving) {
    std::string first;
    for (unsigned i = 0; i < node.mNumMeshes; ++i) {
        const aiMesh& mesh = *m_source.mMeshes[node.mMeshes[i]];
        if (!(mesh.mPrimitiveTypes & aiPrimitiveType_TRIANGLE) || mesh.mNumFaces == 0) {
            continue;
        }
        if (mesh.mNumVertices > kMaxMeshVertices) {
            // The import splits larger meshes; this would be a fault of it.
            m_summary.warnings.push_back("mesh of node '" + std::string(node.mName.C_Str()) +
                                         "' has more than 65535 vertices: skipped");
            continue;
        }
        // The suffix goes at the end so that the name keeps its tags and
        // the prefix before the first "." that morphs and LODs group by.
        const std::string name = uniqueName(first.empty() ? std::string(node.mName.C_Str())
                                                          : first + "#" + std::to_string(i + 1));
        addMesh(mesh, name, node, parent, moving);
        if (first.empty()) {
            first = name;
            m_lastMeshSkinned = mesh.mNumBones > 0;
        }
    }
    return first;
}

void SceneConversion::addMesh(const aiMesh& mesh, const std::string& name, const aiNode& node,
                              const Written& parent, bool moving) {
    CMeshe* target = m_scene.Create<CMeshe>();
    target->SetName(name);
    const bool skinned = mesh.mNumBones > 0;
    const bool ownFrame = moving && !skinned;
    if (!skinned) {
        target->pendingParentName = parent.name;
    }
    if (mesh.mMaterialIndex < m_materialNames.size()) {
        target->materialName = m_materialNames[mesh.mMaterialIndex];
    }

    const aiMatrix4x4 world = AnimationSampler::BindWorld(&node);
    const aiVector3D pivot = translationOf(world);
    target->position = toPosition(pivot);
    // A moving mesh keeps the node's frame; the others have it baked in.
    const aiMatrix4x4 bake = ownFrame ? aiMatrix4x4() : world;
    const aiMatrix3x3 normalBake = aiMatrix3x3(bake).Inverse().Transpose();
    const aiVector3D offset = skinned ? pivot : aiVector3D(0, 0, 0);

    target->vertices.resize(mesh.mNumVertices);
    aiVector3D low(1e30f, 1e30f, 1e30f), high(-1e30f, -1e30f, -1e30f);
    for (unsigned i = 0; i < mesh.mNumVertices; ++i) {
        MeshVertex& vertex = target->vertices[i];
        const aiVector3D position = bake * mesh.mVertices[i] - offset;
        vertex.position = toVector(position);
        low = {std::min(low.x, position.x), std::min(low.y, position.y),
               std::min(low.z, position.z)};
        high = {std::max(high.x, position.x), std::max(high.y, position.y),
                std::max(high.z, position.z)};
        if (mesh.mNormals) {
            aiVector3D normal = normalBake * mesh.mNormals[i];
            const ai_real length = normal.Length();
            vertex.normal = toVector(length > 0 ? normal / length : normal);
        }
        if (mesh.mTextureCoords[0]) {
            vertex.uv0 = {mesh.mTextureCoords[0][i].x, mesh.mTextureCoords[0][i].y};
            vertex.uv1 = vertex.uv0;
        }
        // Without colours the vertices are white, which leaves the
        // material's colour and texture as they are.
        vertex.colour = mesh.mColors[0] ? packColour(mesh.mColors[0][i]) : 0x00FFFFFFu;
    }
    // The box corners are stored in the scene's coordinates: the pivot plus
    // the bounds in the frame the vertices are in (minus the pivot for a
    // baked mesh, whose vertices already stand in the scene).
    const aiVector3D boxBase = (ownFrame || skinned) ? pivot : aiVector3D(0, 0, 0);
    if (mesh.mNumVertices == 0) {
        low = high = aiVector3D(0, 0, 0);
    }
    target->SetBoxFromFile(toVector(boxBase + low), toVector(boxBase + high));

    // A mirroring transform baked into the vertices turns the winding over.
    const bool flip = !ownFrame && bake.Determinant() < 0;
    for (unsigned i = 0; i < mesh.mNumFaces; ++i) {
        const aiFace& face = mesh.mFaces[i];
        if (face.mNumIndices != 3) {
            continue;
        }
        MeshFace triangle{face.mIndices[0], face.mIndices[1], face.mIndices[2]};
        if (flip) {
            std::swap(triangle.b, triangle.c);
        }
        target->faces.push_back(triangle);
    }
    m_scene.totalVertices += static_cast<std::int64_t>(target->vertices.size());
    m_scene.totalFaces += static_cast<std::int64_t>(target->faces.size());
    if (skinned) {
        addSkin(mesh, *target, world);
    }
    m_scene.meshes.push_back(target);
    m_scene.objects.push_back(target);
    if (ownFrame) {
        addTracks(name, node, parent);
    }
}

void SceneConversion::addSkin(const aiMesh& mesh, CMeshe& target, const aiMatrix4x4& meshWorld) {
    aiMatrix4x4 toMesh = meshWorld;
    toMesh.Inverse();
    std::vector<const aiBone*> bones(mesh.mBones, mesh.mBones + mesh.mNumBones);
    std::unordered_map<std::string, const aiNode*> nodeOf;
    for (const aiBone* bone : bones) {
        nodeOf[bone->mName.C_Str()] = m_source.mRootNode->FindNode(bone->mName);
    }
    auto order = [&](const aiBone* bone) {
        const aiNode* node = nodeOf[bone->mName.C_Str()];
        return node ? m_treeOrder.at(node) : static_cast<unsigned>(m_treeOrder.size());
    };
    std::stable_sort(bones.begin(), bones.end(),
                     [&](const aiBone* a, const aiBone* b) { return order(a) < order(b); });

    for (const aiBone* source : bones) {
        auto bone = std::make_unique<CBone>();
        bone->SetName(source->mName.C_Str());
        bone->restMatrix = ToFileMatrix(source->mOffsetMatrix * toMesh);
        const aiNode* node = nodeOf[source->mName.C_Str()];
        if (node) {
            // The parent is the nearest node above that is a bone of this mesh.
            for (const aiNode* up = node->mParent; up; up = up->mParent) {
                if (CBone* parentBone = target.FindBone(up->mName.C_Str())) {
                    parentBone->AttachChild(bone.get());
                    break;
                }
            }
            for (unsigned frame : framesFor(m_sampler.ChainAnimated(node))) {
                aiVector3D scaling, position;
                aiQuaternion rotation;
                m_sampler.World(node, frame).Decompose(scaling, rotation, position);
                addPositionKey(bone->ownAnim.position, frame, position);
                bone->ownAnim.rotation.push_back(
                    key(frame, {rotation.x, rotation.y, rotation.z, rotation.w}));
            }
        } else {
            m_summary.warnings.push_back("bone '" + std::string(source->mName.C_Str()) +
                                         "' has no node: it does not move");
        }
        for (unsigned i = 0; i < source->mNumWeights; ++i) {
            bone->weights.push_back({source->mWeights[i].mVertexId, source->mWeights[i].mWeight});
        }
        target.bones.push_back(std::move(bone));
    }
}

void SceneConversion::addPoint(const aiNode& node, const std::string& name, const Written& parent,
                               bool moving) {
    C3DObject* point = m_scene.Create<C3DObject>();
    point->SetName(name);
    point->pendingParentName = parent.name;
    point->position = toPosition(translationOf(AnimationSampler::BindWorld(&node)));
    m_scene.objects.push_back(point);
    if (moving) {
        addTracks(name, node, parent);
    }
}

void SceneConversion::addTracks(const std::string& name, const aiNode& node,
                                const Written& parent) {
    auto anim = std::make_unique<C3DObjectAnim>();
    anim->name = name;
    const bool relative = parent.drawnWithMatrix;
    const bool changes = relative ? m_sampler.Animated(&node) : m_sampler.ChainAnimated(&node);
    for (unsigned frame : framesFor(changes)) {
        const aiMatrix4x4 matrix =
            relative ? m_sampler.Local(&node, frame) : m_sampler.World(&node, frame);
        aiVector3D scaling, position;
        aiQuaternion rotation;
        matrix.Decompose(scaling, rotation, position);
        // The quaternion rotates points as assimp's does; the player turns
        // it into the matching row-vector matrix.
        addPositionKey(anim->position, frame, position);
        anim->rotation.push_back(key(frame, {rotation.x, rotation.y, rotation.z, rotation.w}));
        anim->scale.push_back(key(frame, {scaling.x, scaling.y, scaling.z}));
    }
    m_scene.animations.push_back(std::move(anim));
    ++m_summary.animatedObjects;
}

bool SceneConversion::addCamera(const aiNode& node, const std::string& name,
                                const Written& parent) {
    const aiCamera& source = *m_cameras.at(node.mName.C_Str());
    CCamera* camera = m_scene.Create<CCamera>();
    CCameraTarget* target = m_scene.Create<CCameraTarget>();
    camera->SetName(name);
    target->SetName(name + ".Target");
    camera->target = target;
    camera->pendingParentName = parent.name;
    // assimp means half the horizontal angle; the player wants the whole
    // vertical one.
    const float aspect = source.mAspect > 0.0f ? source.mAspect : 1.0f;
    camera->fov = m_quirks.gltfCameras ? source.mHorizontalFOV / aspect
                                       : 2.0f * std::atan(std::tan(source.mHorizontalFOV) / aspect);
    const aiVector3D localEye =
        m_quirks.gltfCameras ? aiVector3D(0, 0, 0) : mirrored(source.mPosition);
    const aiVector3D localLook = mirrored(source.mLookAt);

    auto place = [&](unsigned frame, aiVector3D& eye, aiVector3D& look) {
        const aiMatrix4x4 world = m_sampler.World(&node, frame);
        eye = world * localEye;
        look = eye + directionOf(world, localLook) * kTargetDistance;
    };
    aiVector3D eye, look;
    place(0, eye, look);
    camera->position = toPosition(eye);
    target->position = toPosition(look);
    if (m_sampler.ChainAnimated(&node)) {
        auto own = std::make_unique<C3DObjectAnim>();
        auto aim = std::make_unique<C3DObjectAnim>();
        own->name = name;
        aim->name = target->Name();
        for (unsigned frame : framesFor(true)) {
            place(frame, eye, look);
            addPositionKey(own->position, frame, eye);
            addPositionKey(aim->position, frame, look);
        }
        m_scene.animations.push_back(std::move(own));
        m_scene.animations.push_back(std::move(aim));
        ++m_summary.animatedObjects;
    }
    m_scene.cameras.push_back(camera);
    m_scene.cameraTargets.push_back(target);
    m_scene.objects.push_back(camera);
    m_scene.objects.push_back(target);
    return true;
}

bool SceneConversion::addLight(const aiNode& node, const std::string& name, const Written& parent) {
    const aiLight& source = *m_lights.at(node.mName.C_Str());
    if (source.mType != aiLightSource_POINT && source.mType != aiLightSource_SPOT) {
        m_summary.warnings.push_back("light '" + name +
                                     "' is neither a point nor a spot light: written as a point");
        return false;
    }
    CLight* light = m_scene.Create<CLight>();
    light->SetName(name);
    light->pendingParentName = parent.name;
    light->spotFlag = source.mType == aiLightSource_SPOT ? 1 : 0;
    auto place = [&](unsigned frame, aiVector3D& position, aiVector3D& aim) {
        const aiMatrix4x4 world = m_sampler.World(&node, frame);
        position = world * mirrored(source.mPosition);
        aim = position + directionOf(world, mirrored(source.mDirection)) * kTargetDistance;
    };
    aiVector3D position, aim;
    place(0, position, aim);
    light->position = toPosition(position);
    light->targetPosition = toPosition(aim);
    light->innerCone = light->IsSpot() ? source.mAngleInnerCone : 0.0f;
    light->outerCone = light->IsSpot() ? source.mAngleOuterCone : 0.0f;
    // The format's colours are 0..1; a brighter light keeps its hue.
    const aiColor3D& c = source.mColorDiffuse;
    const float brightest = std::max({c.r, c.g, c.b, 1.0f});
    light->colour = {c.r / brightest, c.g / brightest, c.b / brightest};
    // The file's value a gives the constant attenuation 1 - 0.02 a.
    const float constant = source.mAttenuationConstant;
    light->strength =
        constant > 0.0f && constant <= 1.0f ? (1.0f - constant) / CLight::kAttenuationFactor : 0.0f;
    light->attenuation0 = 1.0f - CLight::kAttenuationFactor * light->strength;
    if (m_sampler.ChainAnimated(&node)) {
        auto own = std::make_unique<C3DObjectAnim>();
        auto aimAnim = std::make_unique<C3DObjectAnim>();
        own->name = name;
        aimAnim->name = name + ".Target";
        for (unsigned frame : framesFor(true)) {
            place(frame, position, aim);
            addPositionKey(own->position, frame, position);
            addPositionKey(aimAnim->position, frame, aim);
        }
        m_scene.animations.push_back(std::move(own));
        if (light->IsSpot()) {
            m_scene.animations.push_back(std::move(aimAnim));
        }
        ++m_summary.animatedObjects;
    }
    m_scene.lights.push_back(light);
    return true;
}

}  // namespace vesta::mdltool
