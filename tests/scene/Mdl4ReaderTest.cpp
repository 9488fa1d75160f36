// What the reader makes of well-formed files: the round trip through the
// writer, the values it converts, and the exporter's habits it copes with.

#include <gtest/gtest.h>

#include "EngineState.h"
#include "SceneFixtures.h"
#include "scene/Mdl4Format.h"

namespace vesta::test {
namespace {

using mdl4::ChunkData;
using mdl4::ChunkNode;

class Mdl4ReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEngineState();
        CaptureLog(lines);
    }
    void TearDown() override {
        SetLogSink(nullptr, nullptr);
        ResetEngineState();
    }

    std::vector<std::string> lines;
};

TEST_F(Mdl4ReaderTest, AWrittenSceneReadsBackAsItWas) {
    CScene original;
    BuildSampleScene(original);
    for (bool exporterHabits : {true, false}) {
        SCOPED_TRACE(exporterHabits);
        const auto bytes = mdl4::WriteScene(original, {exporterHabits, exporterHabits});
        CScene loaded;
        ASSERT_EQ(LoadBytes(loaded, bytes), "<none>");
        ExpectSameScene(original, loaded);
        // Written again, the loaded scene gives the same file.
        EXPECT_EQ(mdl4::WriteScene(loaded, {exporterHabits, exporterHabits}), bytes);
    }
    EXPECT_TRUE(lines.empty());
}

TEST_F(Mdl4ReaderTest, StoredValuesAreConvertedAsLoaded) {
    ChunkNode root = SceneNode(30);
    ChunkNode mesh = MeshNode("Box");
    mesh.data = ChunkData()
                    .String("Box")
                    .String("")
                    .String("Paint")
                    .Vector({10, 20, 30})
                    .Vector({9, 18, 27})
                    .Vector({13, 22, 31})
                    .Take();
    mesh.children.push_back(VerticesNode(3));
    mesh.children.push_back(
        {mdl4::Normals, ChunkData().U32(3).Vector({0, 3, 4}).Vector({}).Vector({0, 0, -2}).Take()});
    mesh.children.push_back({mdl4::Colours, ChunkData().U32(1).U32(0xFF102030).Take()});
    mesh.children.push_back({mdl4::TexCoords, ChunkData().U32(1).F32(0.25f).F32(0.5f).Take()});
    root.children.push_back(mesh);
    root.children.push_back({mdl4::Camera, ChunkData()
                                               .String("Cam")
                                               .String("")
                                               .Vector({1, 2, 3})
                                               .F32(1.56f)
                                               .F32(0.5f)
                                               .String("Box")
                                               .Vector({4, 5, 6})
                                               .Take()});
    ChunkNode anim = StringNode(mdl4::Anim, "Cam");
    anim.children.push_back({mdl4::FovKeys, ChunkData().U32(1).U32(7).F32(3.12f).Take()});
    anim.children.push_back({mdl4::OuterConeKeys, ChunkData().U32(1).U32(8).F32(180).Take()});
    root.children.back().children.push_back(anim);
    root.children.push_back({mdl4::Light, ChunkData()
                                              .String("Lamp")
                                              .String("Cam")
                                              .U32(0)
                                              .Vector({1, 1, 1})
                                              .Vector({0, 0, 0})
                                              .F32(0.1f)
                                              .F32(0.2f)
                                              .Vector({1, 1, 1})
                                              .F32(25)
                                              .Take()});
    root.children.push_back({mdl4::Material, ChunkData()
                                                 .String("Paint")
                                                 .Vector({1, 0, 0})
                                                 .Vector({0, 1, 0})
                                                 .Vector({0, 0, 1})
                                                 .U8(0)
                                                 .U8(1)
                                                 .F32(0)
                                                 .F32(0)
                                                 .U8(255)
                                                 .U32(3)
                                                 .String("Diffuse")
                                                 .String("a.png")
                                                 .String("")
                                                 .String("b.png")
                                                 .String("Bump")
                                                 .String("")
                                                 .Take()});
    CScene scene;
    ASSERT_EQ(LoadBytes(scene, mdl4::Serialize(root)), "<none>");
    EXPECT_EQ(scene.lastFrame, 30u);

    const CMeshe& box = *scene.meshes.at(0);
    EXPECT_EQ(box.position, (Vector4{10, 20, 30, 0}));
    EXPECT_EQ(box.box.cornerA, (Vector3{-1, -2, -3}));
    EXPECT_EQ(box.box.cornerB, (Vector3{3, 2, 1}));
    EXPECT_EQ(box.box.centre, (Vector3{1, 0, -1}));
    EXPECT_EQ(box.box.points[5], (Vector3{3, -2, 1}));
    EXPECT_EQ(box.vertices[0].normal, (Vector3{0, 0.6f, 0.8f}));
    EXPECT_EQ(box.vertices[1].normal, (Vector3{0, 0, 0}));  // no length: left alone
    EXPECT_EQ(box.vertices[2].normal, (Vector3{0, 0, -1}));
    EXPECT_EQ(box.vertices[0].colour, 0x7F102030u);
    EXPECT_EQ(box.vertices[1].colour, 0u);
    EXPECT_EQ(box.vertices[0].uv0, box.vertices[0].uv1);
    EXPECT_EQ(box.vertices[0].uv1[1], 0.5f);

    const CCamera& camera = *scene.cameras.at(0);
    EXPECT_EQ(camera.fov, 1.0f);
    EXPECT_EQ(camera.roll, 0.5f);
    EXPECT_EQ(camera.target->Name(), "Cam.Target");
    EXPECT_EQ(camera.target->parent, &box);
    EXPECT_EQ(scene.objects,
              (std::vector<C3DObject*>{scene.meshes[0], scene.cameras[0], scene.cameraTargets[0]}));
    const C3DObjectAnim& anim0 = *scene.animations.at(0);
    EXPECT_FLOAT_EQ(anim0.fov.at(0).values[0], 2.0f);
    EXPECT_FLOAT_EQ(anim0.outerCone.at(0).values[0], 3.14159265f);

    const CLight& lamp = *scene.lights.at(0);
    EXPECT_FALSE(lamp.IsSpot());
    EXPECT_EQ(lamp.parent, &camera);
    EXPECT_FLOAT_EQ(lamp.attenuation0, 0.5f);
    EXPECT_EQ(lamp.strength, 25.0f);

    const CMaterial& paint = *scene.materials.at(0);
    EXPECT_NEAR(paint.colour1.a, 0.0f, 1e-6f);
    EXPECT_EQ(paint.colour2.a, paint.colour1.a);
    EXPECT_EQ(paint.colour3, (ColourValue{0, 0, 1, 1}));
    EXPECT_TRUE(paint.flatShading);
    EXPECT_FALSE(paint.wireframe);
    // Pairs with an empty part are not kept.
    EXPECT_EQ(paint.maps, (std::vector<MaterialMap>{{"Diffuse", "a.png"}}));
}

TEST_F(Mdl4ReaderTest, TracksReadTheirCountAndTheExtraRecordIsPassedOver) {
    ChunkNode root = SceneNode();
    ChunkNode mesh = MeshNode("Arm");
    ChunkNode anim = StringNode(mdl4::Anim, "Arm");
    anim.children.push_back(KeysNode(mdl4::RotKeys, 60, 61, 6));
    anim.children.push_back(KeysNode(mdl4::ScaleKeys, 2, 2, 3));
    mesh.children.push_back(anim);
    ChunkNode bone = BoneNode("Elbow");
    bone.children.push_back(KeysNode(mdl4::BoneRotKeys, 3, 4, 6));
    bone.children.push_back(KeysNode(mdl4::BonePosKeys, 2, 3, 3));
    mesh.children.push_back(bone);
    mesh.children.push_back(BoneNode("Wrist", "Elbow"));
    root.children.push_back(mesh);
    CScene scene;
    ASSERT_EQ(LoadBytes(scene, mdl4::Serialize(root)), "<none>");

    const C3DObjectAnim& arm = *scene.animations.at(0);
    ASSERT_EQ(arm.rotation.size(), 60u);
    EXPECT_EQ(arm.rotation[59].frame, 59u);
    EXPECT_EQ(arm.rotation[59].values[5], 59.5f);
    ASSERT_EQ(arm.scale.size(), 2u);
    EXPECT_EQ(arm.scale[1].values, (std::array<float, 6>{1.5f, 1.5f, 1.5f, 0, 0, 0}));
    const CMeshe& mesh0 = *scene.meshes[0];
    ASSERT_EQ(mesh0.bones.size(), 2u);
    EXPECT_EQ(mesh0.bones[0]->ownAnim.rotation.size(), 3u);
    EXPECT_EQ(mesh0.bones[0]->ownAnim.position.size(), 2u);
    EXPECT_EQ(mesh0.bones[1]->parent, mesh0.bones[0].get());
    // A bone's animation is its own, not one of the scene's.
    EXPECT_EQ(scene.animations.size(), 1u);
}

TEST_F(Mdl4ReaderTest, ChunksWithoutAHandlerAreSkippedWithTheirChildrenStillRead) {
    ChunkNode root = SceneNode();
    ChunkNode mesh = MeshNode("Plate");
    mesh.children.push_back(VerticesNode(2));
    mesh.children.push_back({mdl4::FaceNormals, ChunkData().U32(99).Take()});
    root.children.push_back(mesh);
    ChunkNode unknown{0x00990099, ChunkData().U32(0xDEADBEEF).Take()};
    unknown.children.push_back(PointNode("Inside", "Plate"));
    root.children.push_back(unknown);
    CScene scene;
    ASSERT_EQ(LoadBytes(scene, mdl4::Serialize(root)), "<none>");
    EXPECT_EQ(scene.meshes.at(0)->vertices.size(), 2u);
    ASSERT_EQ(scene.objects.size(), 2u);
    EXPECT_EQ(scene.objects[1]->parent, scene.meshes[0]);
    EXPECT_TRUE(scene.materials.empty());
}

TEST_F(Mdl4ReaderTest, ParentsAreAttachedWhenKnownAndKeptByNameOtherwise) {
    ChunkNode root = SceneNode();
    root.children.push_back(PointNode("Early", "Later"));
    root.children.push_back(PointNode("Later"));
    root.children.push_back(PointNode("Child", "Later"));
    root.children.push_back(PointNode("Loop", "Loop"));
    CScene scene;
    ASSERT_EQ(LoadBytes(scene, mdl4::Serialize(root)), "<none>");
    const auto& objects = scene.objects;
    EXPECT_EQ(objects[0]->parent, nullptr);
    EXPECT_EQ(objects[0]->pendingParentName, "Later");
    EXPECT_EQ(objects[2]->parent, objects[1]);
    EXPECT_EQ(objects[1]->children, (std::vector<C3DObject*>{objects[2]}));
    EXPECT_EQ(objects[2]->pendingParentName, "");
    // An object that names itself as its parent stays at the top level.
    EXPECT_EQ(objects[3]->parent, nullptr);
    EXPECT_EQ(objects[3]->pendingParentName, "");
}

TEST_F(Mdl4ReaderTest, UserTextSetsEachKeyValuePairOfTheCurrentObject) {
    ChunkNode root = SceneNode();
    root.children.push_back(PointNode("Empty"));
    root.children.back().children.push_back(StringNode(mdl4::UserText, ""));
    root.children.push_back(PointNode("Full"));
    root.children.back().children.push_back(StringNode(
        mdl4::UserText, "  Speed = 2.5 \r\nnokey\r\n=lonely\r\nkey=\r\nA=b=c\r\n\tLast\t=\tx y"));
    CScene scene;
    ASSERT_EQ(LoadBytes(scene, mdl4::Serialize(root)), "<none>");
    EXPECT_TRUE(scene.objects[0]->userParameters.empty());
    EXPECT_EQ(scene.objects[1]->userParameters,
              (std::vector<UserParameter>{{"Speed", "2.5"}, {"A", "b=c"}, {"Last", "x y"}}));
}

TEST_F(Mdl4ReaderTest, ASkinBoneTheMeshLacksIsWarnedOfAndTheNextBonesStillRead) {
    ChunkNode root = SceneNode();
    ChunkNode mesh = MeshNode("Body");
    mesh.children.push_back(VerticesNode(4));
    mesh.children.push_back(BoneNode("Spine"));
    mesh.children.push_back({mdl4::Skin, ChunkData()
                                             .U32(2)
                                             .String("Tail")
                                             .U32(2)
                                             .Matrix({})
                                             .Matrix({})
                                             .U32(0)
                                             .F32(1)
                                             .U32(1)
                                             .F32(1)
                                             .String("Spine")
                                             .U32(1)
                                             .Matrix({})
                                             .Matrix({})
                                             .U32(3)
                                             .F32(0.25f)
                                             .Take()});
    root.children.push_back(mesh);
    CScene scene;
    ASSERT_EQ(LoadBytes(scene, mdl4::Serialize(root)), "<none>");
    EXPECT_EQ(lines, (std::vector<std::string>{"Warning : Bone [Tail] is unknown."}));
    EXPECT_EQ(scene.meshes[0]->bones[0]->weights, (std::vector<BoneWeight>{{3, 0.25f}}));
}

TEST_F(Mdl4ReaderTest, LightNamesSetTheirMarks) {
    CLight light;
    light.SetName("Fire.HaloDyna.ParticleGenSrc");
    EXPECT_TRUE(light.halo && light.dynamic && light.particleSource);
    EXPECT_FALSE(light.particleDestination);
    light.SetName("spot");
    EXPECT_FALSE(light.halo || light.dynamic || light.particleSource);
}

}  // namespace
}  // namespace vesta::test
