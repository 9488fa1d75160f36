#include "SceneFixtures.h"

#include <gtest/gtest.h>

#include "EngineState.h"
#include "scene/Mdl4Loader.h"

namespace vesta::test {
namespace {

AnimTrack keys(std::initializer_list<AnimKey> list) {
    return AnimTrack(list);
}

AnimKey key(std::uint32_t frame, std::initializer_list<float> values) {
    AnimKey k;
    k.frame = frame;
    std::size_t i = 0;
    for (float v : values) {
        k.values[i++] = v;
    }
    return k;
}

MeshVertex vertex(Vector3 position, Vector3 normal, std::uint32_t colour, float u, float v) {
    MeshVertex out;
    out.position = position;
    out.normal = normal;
    out.colour = colour;
    out.uv0 = {u, v};
    out.uv1 = {u, v};
    return out;
}

CMeshe* addMesh(CScene& scene, const std::string& name, Vector4 pivot,
                const std::string& material) {
    CMeshe* mesh = scene.Create<CMeshe>();
    mesh->SetName(name);
    mesh->position = pivot;
    mesh->materialName = material;
    scene.meshes.push_back(mesh);
    scene.objects.push_back(mesh);
    return mesh;
}

C3DObjectAnim* addAnim(CScene& scene, const std::string& name) {
    scene.animations.push_back(std::make_unique<C3DObjectAnim>());
    scene.animations.back()->name = name;
    return scene.animations.back().get();
}

void buildHull(CScene& scene) {
    CMeshe* hull = addMesh(scene, "Hull", {1, 2, 3, 0}, "Steel");
    hull->SetBoxFromFile({0, 0, 0}, {2, 4, 6});
    hull->vertices = {
        vertex({0, 0, 0}, {0, 0, 1}, 0x7F102030, 0.0f, 0.0f),
        vertex({1, 0, 0}, {1, 0, 0}, 0x7FFFFFFF, 1.0f, 0.0f),
        vertex({1, 1, 0}, {0, -1, 0}, 0x7F000000, 1.0f, 1.0f),
        vertex({0, 1, 0}, {0, 0, 0}, 0x7F808080, 0.0f, 0.5f),
    };
    hull->faces = {{0, 1, 2}, {0, 2, 3}};
    hull->userParameters = {{"Speed", "2.5"}, {"Mode", "Fast Run"}};

    C3DObjectAnim* anim = addAnim(scene, "Hull");
    anim->position = keys({key(0, {1, 2, 3}), key(50, {4, 5, 6})});
    anim->rotation = keys({key(0, {0, 0, 0, 1, 0.25f, 0.5f}), key(50, {0, 1, 0, 0, 0, 0})});
    anim->scale = keys({key(10, {1, 1, 2})});

    auto root = std::make_unique<CBone>();
    root->SetName("Root");
    root->restMatrix.m[3][0] = 5.0f;
    root->ownAnim.position = keys({key(0, {0, 0, 0}), key(20, {0, 1, 0})});
    root->weights = {{0, 1.0f}, {1, 0.5f}};
    auto arm = std::make_unique<CBone>();
    arm->SetName("Arm");
    root->AttachChild(arm.get());
    arm->ownAnim.rotation = keys({key(5, {0, 0, 0, 1, 0, 0})});
    arm->weights = {{1, 0.5f}, {2, 1.0f}};
    hull->bones.push_back(std::move(root));
    hull->bones.push_back(std::move(arm));
}

void buildCamera(CScene& scene) {
    CCamera* camera = scene.Create<CCamera>();
    CCameraTarget* target = scene.Create<CCameraTarget>();
    camera->SetName("Cam01");
    target->SetName("Cam01.Target");
    camera->target = target;
    camera->position = {0, -10, 2, 0};
    camera->fov = 0.75f;
    camera->roll = 0.125f;
    target->position = {0, 0, 10, 0};
    scene.FindObject("Hull")->AttachChild(target);
    scene.cameras.push_back(camera);
    scene.cameraTargets.push_back(target);
    scene.objects.push_back(camera);
    scene.objects.push_back(target);

    C3DObjectAnim* own = addAnim(scene, "Cam01");
    own->position = keys({key(0, {0, -10, 2}), key(100, {0, -20, 2})});
    own->roll = keys({key(0, {0.5f})});
    own->fov = keys({key(0, {0.75f}), key(30, {1.0f})});
    C3DObjectAnim* aim = addAnim(scene, "Cam01.Target");
    aim->position = keys({key(0, {0, 0, 10})});
}

void buildLight(CScene& scene) {
    CLight* light = scene.Create<CLight>();
    light->SetName("Sun.halo");
    light->spotFlag = 1;
    light->position = {5, 5, 5, 0};
    light->targetPosition = {0, 0, 0, 0};
    light->innerCone = 0.25f;
    light->outerCone = 0.5f;
    light->colour = {1.0f, 0.5f, 0.25f};
    light->strength = 10.0f;
    light->attenuation0 = 1.0f - 0.02f * 10.0f;
    light->userParameters = {{"HaloStrength", "4"}};
    scene.FindObject("Hull")->AttachChild(light);
    scene.lights.push_back(light);

    C3DObjectAnim* anim = addAnim(scene, "Sun.halo");
    anim->colour = keys({key(0, {1, 0, 0}), key(10, {0, 1, 0})});
    anim->outerCone = keys({key(0, {0.5f})});
    anim->innerCone = keys({key(0, {0.25f})});
}

std::unique_ptr<CMaterial> material(const std::string& name, std::uint8_t transparency) {
    auto out = std::make_unique<CMaterial>();
    out->name = name;
    out->transparency = transparency;
    out->opacity = 1.0f - transparency * 0.003921569f;
    out->colour1 = {0.5f, 0.25f, 1.0f, out->opacity};
    out->colour2 = {0.0f, 0.125f, 0.0f, out->opacity};
    out->colour3 = {1.0f, 1.0f, 1.0f, 1.0f};
    out->specularLevel = 0.75f;
    out->glossiness = 0.25f;
    return out;
}

void expectNear(const AnimTrack& expected, const AnimTrack& actual, const std::string& what) {
    ASSERT_EQ(expected.size(), actual.size()) << what;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(expected[i].frame, actual[i].frame) << what << " key " << i;
        for (std::size_t v = 0; v < 6; ++v) {
            EXPECT_NEAR(expected[i].values[v], actual[i].values[v], 1e-5f)
                << what << " key " << i << " value " << v;
        }
    }
}

std::string parentOf(const C3DObject& object) {
    return object.parent ? object.parent->Name() : "<none>";
}

void expectSameObject(const C3DObject& expected, const C3DObject& actual) {
    SCOPED_TRACE(expected.Name());
    EXPECT_EQ(expected.Name(), actual.Name());
    EXPECT_STREQ(expected.GetClassName(), actual.GetClassName());
    EXPECT_EQ(expected.position, actual.position);
    EXPECT_EQ(parentOf(expected), parentOf(actual));
    EXPECT_EQ(expected.pendingParentName, actual.pendingParentName);
    EXPECT_EQ(expected.children.size(), actual.children.size());
    EXPECT_EQ(expected.userParameters, actual.userParameters);
}

void expectSameMesh(const CMeshe& expected, const CMeshe& actual) {
    expectSameObject(expected, actual);
    EXPECT_EQ(expected.materialName, actual.materialName);
    // A loaded skinned mesh holds its vertices moved by its pivot.
    std::vector<MeshVertex> vertices = expected.vertices;
    if (!expected.bones.empty()) {
        for (MeshVertex& vertex : vertices) {
            vertex.position.x += expected.position.x;
            vertex.position.y += expected.position.y;
            vertex.position.z += expected.position.z;
        }
    }
    EXPECT_EQ(vertices, actual.vertices);
    EXPECT_EQ(expected.faces, actual.faces);
    EXPECT_EQ(expected.box.cornerA, actual.box.cornerA);
    EXPECT_EQ(expected.box.cornerB, actual.box.cornerB);
    EXPECT_EQ(expected.box.centre, actual.box.centre);
    EXPECT_EQ(expected.box.points, actual.box.points);
    EXPECT_EQ(actual.flags,
              CMeshe::kInitialFlags | (expected.bones.empty() ? 0u : MeshFlag::Skinned));
    ASSERT_EQ(expected.bones.size(), actual.bones.size());
    for (std::size_t i = 0; i < expected.bones.size(); ++i) {
        const CBone& e = *expected.bones[i];
        const CBone& a = *actual.bones[i];
        expectSameObject(e, a);
        EXPECT_EQ(e.restMatrix, a.restMatrix);
        EXPECT_EQ(e.weights, a.weights);
        EXPECT_EQ(a.anim, &a.ownAnim);
        expectNear(e.ownAnim.position, a.ownAnim.position, e.Name() + " position");
        expectNear(e.ownAnim.rotation, a.ownAnim.rotation, e.Name() + " rotation");
    }
}

void expectSameLight(const CLight& expected, const CLight& actual) {
    expectSameObject(expected, actual);
    EXPECT_EQ(expected.spotFlag, actual.spotFlag);
    EXPECT_EQ(expected.targetPosition, actual.targetPosition);
    EXPECT_EQ(expected.colour, actual.colour);
    EXPECT_EQ(expected.innerCone, actual.innerCone);
    EXPECT_EQ(expected.outerCone, actual.outerCone);
    EXPECT_EQ(expected.strength, actual.strength);
    EXPECT_EQ(expected.attenuation0, actual.attenuation0);
    EXPECT_EQ(expected.halo, actual.halo);
    EXPECT_EQ(expected.dynamic, actual.dynamic);
}

void expectSameMaterial(const CMaterial& expected, const CMaterial& actual) {
    EXPECT_EQ(expected.name, actual.name);
    EXPECT_EQ(expected.colour1, actual.colour1);
    EXPECT_EQ(expected.colour2, actual.colour2);
    EXPECT_EQ(expected.colour3, actual.colour3);
    EXPECT_EQ(expected.opacity, actual.opacity);
    EXPECT_EQ(expected.wireframe, actual.wireframe);
    EXPECT_EQ(expected.flatShading, actual.flatShading);
    EXPECT_EQ(expected.specularLevel, actual.specularLevel);
    EXPECT_EQ(expected.glossiness, actual.glossiness);
    EXPECT_EQ(expected.transparency, actual.transparency);
    EXPECT_EQ(expected.maps, actual.maps);
}

}  // namespace

void BuildSampleScene(CScene& scene) {
    scene.lastFrame = 120;
    buildHull(scene);
    CMeshe* turret = addMesh(scene, "Turret", {0, 0, 4, 0}, "Glass");
    turret->SetBoxFromFile({-1, -1, 3}, {1, 1, 5});
    turret->vertices = {vertex({0, 0, 0}, {0, 0, 1}, 0x7F0000FF, 0.25f, 0.75f)};
    scene.FindObject("Hull")->AttachChild(turret);
    CMeshe* flag = addMesh(scene, "Flag", {0, 0, 9, 0}, "Steel");
    flag->pendingParentName = "Mast";
    buildCamera(scene);
    C3DObject* mast = scene.Create<C3DObject>();
    mast->SetName("Mast");
    mast->position = {0, 0, 8, 0};
    scene.FindObject("Hull")->AttachChild(mast);
    scene.objects.push_back(mast);
    buildLight(scene);

    scene.materials.push_back(material("Steel", 0));
    scene.materials.back()->maps = {{"Diffuse", "C:\\maps\\steel.png"},
                                    {"Reflection", "C:\\maps\\env.jpg"}};
    scene.materials.push_back(material("Glass", 128));
    scene.materials.back()->wireframe = true;
    scene.materials.back()->flatShading = true;
    scene.totalVertices = 5;
    scene.totalFaces = 2;
}

void ExpectSameScene(const CScene& expected, const CScene& actual) {
    EXPECT_EQ(expected.lastFrame, actual.lastFrame);
    EXPECT_EQ(expected.totalVertices, actual.totalVertices);
    EXPECT_EQ(expected.totalFaces, actual.totalFaces);
    ASSERT_EQ(expected.objects.size(), actual.objects.size());
    for (std::size_t i = 0; i < expected.objects.size(); ++i) {
        expectSameObject(*expected.objects[i], *actual.objects[i]);
    }
    ASSERT_EQ(expected.meshes.size(), actual.meshes.size());
    for (std::size_t i = 0; i < expected.meshes.size(); ++i) {
        expectSameMesh(*expected.meshes[i], *actual.meshes[i]);
    }
    ASSERT_EQ(expected.cameras.size(), actual.cameras.size());
    for (std::size_t i = 0; i < expected.cameras.size(); ++i) {
        const CCamera& e = *expected.cameras[i];
        const CCamera& a = *actual.cameras[i];
        expectSameObject(e, a);
        EXPECT_NEAR(e.fov, a.fov, 1e-6f);
        EXPECT_EQ(e.roll, a.roll);
        ASSERT_NE(a.target, nullptr);
        expectSameObject(*e.target, *a.target);
        EXPECT_EQ(actual.cameraTargets[i], a.target);
    }
    ASSERT_EQ(expected.lights.size(), actual.lights.size());
    for (std::size_t i = 0; i < expected.lights.size(); ++i) {
        expectSameLight(*expected.lights[i], *actual.lights[i]);
    }
    ASSERT_EQ(expected.animations.size(), actual.animations.size());
    for (std::size_t i = 0; i < expected.animations.size(); ++i) {
        const C3DObjectAnim& e = *expected.animations[i];
        const C3DObjectAnim& a = *actual.animations[i];
        EXPECT_EQ(e.name, a.name);
        expectNear(e.position, a.position, e.name + " position");
        expectNear(e.rotation, a.rotation, e.name + " rotation");
        expectNear(e.scale, a.scale, e.name + " scale");
        expectNear(e.roll, a.roll, e.name + " roll");
        expectNear(e.fov, a.fov, e.name + " fov");
        expectNear(e.colour, a.colour, e.name + " colour");
        expectNear(e.outerCone, a.outerCone, e.name + " outer cone");
        expectNear(e.innerCone, a.innerCone, e.name + " inner cone");
    }
    ASSERT_EQ(expected.materials.size(), actual.materials.size());
    for (std::size_t i = 0; i < expected.materials.size(); ++i) {
        expectSameMaterial(*expected.materials[i], *actual.materials[i]);
    }
}

std::string LoadBytes(CScene& scene, std::span<const std::uint8_t> bytes) {
    return EngineErrorOf([&] { CMdl4Loader(scene).RunOnBytes("test.vestamdl4", bytes); });
}

std::string LoadBytes(std::span<const std::uint8_t> bytes) {
    CScene scene;
    return LoadBytes(scene, bytes);
}

mdl4::ChunkNode SceneNode(std::uint32_t lastFrame) {
    return {mdl4::Scene, mdl4::ChunkData().U32(lastFrame).Take()};
}

mdl4::ChunkNode MeshNode(const std::string& name, const std::string& parent) {
    return {mdl4::Mesh, mdl4::ChunkData()
                            .String(name)
                            .String(parent)
                            .String("")
                            .Vector({})
                            .Vector({})
                            .Vector({})
                            .Take()};
}

mdl4::ChunkNode VerticesNode(std::uint32_t count) {
    mdl4::ChunkData data;
    data.U32(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        data.Vector({static_cast<float>(i), 0, 0});
    }
    return {mdl4::Vertices, data.Take()};
}

mdl4::ChunkNode PointNode(const std::string& name, const std::string& parent) {
    return {mdl4::Point, mdl4::ChunkData().String(name).String(parent).Vector({}).Take()};
}

mdl4::ChunkNode BoneNode(const std::string& name, const std::string& parent) {
    return {mdl4::Bone, mdl4::ChunkData().String(name).String(parent).Matrix({}).Take()};
}

mdl4::ChunkNode StringNode(std::uint32_t kind, const std::string& text) {
    return {kind, mdl4::ChunkData().String(text).Take()};
}

mdl4::ChunkNode KeysNode(std::uint32_t kind, std::uint32_t count, std::uint32_t records,
                         int values) {
    mdl4::ChunkData data;
    data.U32(count);
    for (std::uint32_t i = 0; i < records; ++i) {
        data.U32(i);
        for (int v = 0; v < values; ++v) {
            data.F32(static_cast<float>(i) + 0.5f);
        }
    }
    return {kind, data.Take()};
}

}  // namespace vesta::test
