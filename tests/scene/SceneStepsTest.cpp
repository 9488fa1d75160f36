// What a loaded scene becomes: name tags, the steps after the load with
// their messages, track evaluation, and what one frame hands the render
// module (recorded, no GPU).

#include <cmath>
#include <gtest/gtest.h>

#include "EngineState.h"
#include "TestSupport.h"
#include "render/RecordingModule.h"
#include "scene/Animation.h"
#include "scene/Mdl4Writer.h"
#include "scene/MeshGeometry.h"
#include "scene/SceneBuild.h"

namespace vesta::test {
namespace {

class SceneStepsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEngineState();
        CaptureLog(m_log);
        module.Initialize(nullptr, false, 640, 480, 32);
    }
    void TearDown() override {
        if (m_scene) {
            m_scene->ReleaseResources();
        }
        ResetEngineState();
    }

    // Written as a model file and loaded through the recording module; the
    // error raised, or "<none>".
    std::string load(const CScene& built) {
        WriteFile(m_dir.Path() / "test.vestamdl4", mdl4::WriteScene(built));
        m_scene = std::make_unique<CScene>(&module);
        return EngineErrorOf([&] { m_scene->Load("test.vestamdl4"); });
    }
    CScene& scene() { return *m_scene; }
    CMeshe* mesh(const std::string& name) {
        return dynamic_cast<CMeshe*>(m_scene->FindObject(name));
    }
    bool logged(const std::string& line) const {
        return std::find(m_log.begin(), m_log.end(), line) != m_log.end();
    }

    // The triangles drawn in the last frame and the texture factors they used.
    std::vector<const RecordedCall*> meshDraws() const {
        std::vector<const RecordedCall*> draws;
        for (const RecordedCall* draw : module.Draws()) {
            if (draw->draw.primitive == PrimitiveType::TriangleList) {
                draws.push_back(draw);
            }
        }
        return draws;
    }

    TempDir m_dir;
    ScopedChdir m_chdir{m_dir.Path()};
    RecordingModule module;
    std::unique_ptr<CScene> m_scene;
    std::vector<std::string> m_log;
};

CScene& withCamera(CScene& scene, const Vector3& position = {0, 0, -100}) {
    scene.lastFrame = 100;
    AddCamera(scene, "Camera01", position, {0, 0, 0}, 0.8f);
    return scene;
}

TEST_F(SceneStepsTest, NameTagsMatchAsWrittenOrInLowerCase) {
    CScene built;
    withCamera(built);
    AddBox(built, "Glass.alpha", {0, 0, 0}, {1, 1, 1});
    AddBox(built, "GLASS.ALPHA", {0, 0, 0}, {1, 1, 1});
    AddBox(built, "Pane.AlphaMap.NoCull", {0, 0, 0}, {1, 1, 1});
    AddBox(built, "Bulb.NoLight", {0, 0, 0}, {1, 1, 1}).vertices[0].colour = 0x40102030;
    ASSERT_EQ(load(built), "<none>");
    EXPECT_EQ(mesh("Glass.alpha")->flags & 0x7FFFFFFFu, MeshFlag::Visible | MeshFlag::Alpha);
    EXPECT_EQ(mesh("GLASS.ALPHA")->flags, MeshFlag::Visible);
    // ".Alpha" is part of ".AlphaMap": both rows match.
    EXPECT_EQ(mesh("Pane.AlphaMap.NoCull")->flags & 0x7FFFFFFFu,
              MeshFlag::Visible | MeshFlag::Alpha | MeshFlag::AlphaMap | MeshFlag::NoCull);
    // White, the alpha the material step gives a mesh without material untouched.
    EXPECT_EQ(mesh("Bulb.NoLight")->vertices[0].colour & 0x00FFFFFFu, 0x00FFFFFFu);
}

TEST_F(SceneStepsTest, MaterialsBindRemoveTheUnusedAndBlendedMeshesGoLast) {
    CScene built;
    withCamera(built);
    AddBox(built, "A.Alpha", {0, 0, 0}, {1, 1, 1}, "Glass");
    AddBox(built, "B.Alpha", {0, 0, 0}, {1, 1, 1}, "Glass");
    AddBox(built, "C", {0, 0, 0}, {1, 1, 1}, "Stone");
    AddBox(built, "D.EnvMap", {0, 0, 0}, {1, 1, 1}, "Stone");
    AddMaterial(built, "Unused1", {1, 1, 1});
    AddMaterial(built, "Unused2", {1, 1, 1});
    AddMaterial(built, "Stone", {1, 1, 1}).maps = {{"Diffuse", "stone.png"}};
    AddMaterial(built, "Glass", {1, 1, 1}).transparency = 55;
    ASSERT_EQ(load(built), "<none>");
    EXPECT_TRUE(logged("*** Warning !!! Removing unused material [Unused1] !! ***"));
    EXPECT_TRUE(logged("*** Warning !!! Removing unused material [Unused2] !! ***"));
    EXPECT_TRUE(logged("Warning : Meshe [D.EnvMap] has flag EnvMap but material [Stone] do not "
                       "have at least 2 textures."));
    ASSERT_EQ(scene().materials.size(), 2u);
    EXPECT_EQ(mesh("C")->material, scene().materials[0].get());
    EXPECT_EQ(mesh("A.Alpha")->vertices[0].colour >> 24, 200u);
    EXPECT_EQ(mesh("D.EnvMap")->flags & MeshFlag::EnvMap, 0u);
    std::vector<std::string> order;
    for (const CMeshe* m : scene().meshes) {
        order.push_back(m->Name());
    }
    EXPECT_EQ(order, (std::vector<std::string>{"C", "D.EnvMap", "A.Alpha", "B.Alpha"}));
    EXPECT_NE(mesh("A.Alpha")->flags & MeshFlag::SortedLast, 0u);
    EXPECT_EQ(scene().blendedMeshes.size(), 2u);
}

TEST_F(SceneStepsTest, AnAnimationNamedAfterTheTargetInAnyCaseDrivesIt) {
    CScene built;
    withCamera(built);
    AddKey(AddAnimation(built, "camera01.CIBLE").position, 0, Vector3{5, 6, 7});
    AddKey(AddAnimation(built, "CAMERA01").position, 0, Vector3{1, 2, 3});
    ASSERT_EQ(load(built), "<none>");
    const CCamera* camera = scene().cameras.front();
    ASSERT_NE(camera->target->anim, nullptr);
    EXPECT_EQ(camera->target->anim->name, "camera01.CIBLE");
    ASSERT_NE(camera->anim, nullptr);
    EXPECT_EQ(camera->anim->name, "CAMERA01");
    EXPECT_EQ(scene().CurrentCamera(), camera);
}

TEST_F(SceneStepsTest, MorphAndLodMistakesEndTheLoadWithTheirMessages) {
    {
        CScene built;
        AddBox(built, "Blob.MorphSrc", {0, 0, 0}, {1, 1, 1});
        EXPECT_EQ(load(built),
                  "Error : Could not find start frame for Morph object [Blob.MorphSrc].");
    }
    {
        CScene built;
        AddBox(built, "Blob.MorphSrc.f0", {0, 0, 0}, {1, 1, 1});
        EXPECT_EQ(load(built), "Can't find destination morph meshe for [Blob.MorphSrc.f0].");
    }
    {
        CScene built;
        AddBox(built, "Blob.MorphSrc.f0", {0, 0, 0}, {1, 1, 1});
        AddGrid(built, "Blob.MorphDest.f30.c0", {0, 0, 0}, 1, 1, 1, 1);
        EXPECT_EQ(load(built), "Morph Meshes [Blob.MorphSrc.f0] and [Blob.MorphDest.f30.c0] must "
                               "have the same number of vertices (Is 24 and 4).");
    }
    {
        CScene built;
        AddBox(built, "Tree.RootLod", {0, 0, 0}, {1, 1, 1});
        AddBox(built, "Tree.Lod", {0, 0, 0}, {1, 1, 1});
        EXPECT_EQ(load(built), "Cannot find LOD level for meshe [Tree.Lod]");
    }
    {
        CScene built;
        AddBox(built, "Bush.RootLod", {0, 0, 0}, {1, 1, 1});
        EXPECT_EQ(load(built), "<none>");
        EXPECT_TRUE(logged("Warning : LOD mesh found with no childs. ignoring"));
        EXPECT_TRUE(scene().lodRoots.empty());
    }
}

TEST(TrackEvaluationTest, KeysInterpolateHoldAfterTheLastAndFramesWrap) {
    AnimTrack line;
    AddKey(line, 0, Vector3{0, 0, 0});
    AddKey(line, 20, Vector3{20, 40, 0});
    AddKey(line, 40, Vector3{40, 80, 0});
    AddKey(line, 60, Vector3{60, 120, 0});
    // Between inner keys on a line Catmull-Rom stays on it; the first span
    // repeats its first key and bends.
    EXPECT_NEAR(EvaluateTrack(line, 30).y, 60.0f, 1e-4f);
    EXPECT_NEAR(EvaluateTrack(line, 10).y, 17.5f, 1e-4f);
    EXPECT_EQ(EvaluateTrack(line, 60).y, 120.0f);
    EXPECT_EQ(EvaluateTrack(line, 99).y, 120.0f);  // held to the scene's end
    EXPECT_EQ(WrapFrame(100.0f, 100), 0.0f);
    EXPECT_EQ(WrapFrame(130.5f, 100), 30.5f);
    EXPECT_EQ(WrapFrame(12.0f, 0), 0.0f);

    AnimTrack turn;
    AnimKey a;
    a.values = {0, 0, 0, 1, 0, 0};
    AnimKey b = a;
    b.frame = 10;
    b.values = {0, 0, std::sin(0.5f), std::cos(0.5f), 0, 0};  // a turn of 1 radian about z
    turn = {a, b};
    const Quaternion half = EvaluateRotation(turn, 5);
    EXPECT_NEAR(half.z, std::sin(0.25f), 1e-5f);
    EXPECT_NEAR(half.w, std::cos(0.25f), 1e-5f);
    EXPECT_EQ(EvaluateRotation(turn, 11).z, b.values[2]);
    // Two keys on one frame: the tiny divisor, no division by zero.
    b.frame = 0;
    turn = {a, b};
    EXPECT_TRUE(std::isfinite(EvaluateRotation(turn, 0).w));
}

TEST(MeshGeometryTest, EnvironmentCoordinatesAndAnEvenSkinKeepTheRest) {
    CScene scene;
    CMeshe& quad = AddGrid(scene, "Q", {0, 0, 0}, 2, 2, 1, 1);
    for (MeshVertex& vertex : quad.vertices) {
        vertex.normal = {0, 0, 1};
    }
    MapEnvironment(quad, Matrix4::Identity(), 1.0f);
    EXPECT_EQ(quad.vertices[0].uv1, (std::array<float, 2>{0.5f, 0.5f}));

    // Recomputed normals point to the side the faces are drawn from: the
    // grid faces a camera on its -z side.
    RecomputeNormals(quad);
    for (const MeshVertex& vertex : quad.vertices) {
        EXPECT_EQ(vertex.normal, (Vector3{0, 0, -1}));
    }
    for (MeshVertex& vertex : quad.vertices) {
        vertex.normal = {0, 0, 1};
    }

    quad.restVertices = quad.vertices;
    for (const char* name : {"B1", "B2"}) {
        auto bone = std::make_unique<CBone>();
        bone->SetName(name);
        for (std::uint32_t v = 0; v < quad.vertices.size(); ++v) {
            bone->weights.push_back({v, 0.5f});
        }
        quad.bones.push_back(std::move(bone));
    }
    SkinMesh(quad, 10);
    for (std::size_t v = 0; v < quad.vertices.size(); ++v) {
        EXPECT_EQ(quad.vertices[v].position, quad.restVertices[v].position);
    }
}

TEST_F(SceneStepsTest, MotionBlurDrawsTheListsOncePlainThenOncePerImage) {
    CScene built;
    withCamera(built);
    AddBox(built, "Box", {0, 0, 0}, {10, 10, 10});
    ASSERT_EQ(load(built), "<none>");
    scene().SetDrawMode(true, 1.0f, 3);
    module.ClearCalls();
    scene().Render(10);
    // The plain list, then per image a depth pass and the image itself.
    const std::vector<const RecordedCall*> draws = meshDraws();
    ASSERT_EQ(draws.size(), 7u);
    EXPECT_FALSE(draws[0]->state.blend.enabled);
    std::vector<std::uint32_t> alphas;
    for (std::size_t i : {2u, 4u, 6u}) {
        EXPECT_EQ(draws[i]->state.stages[0].alphaOp, AlphaOp::BlendFactorAlpha);
        alphas.push_back(draws[i]->state.textureFactor >> 24);
        EXPECT_FALSE(draws[i - 1]->state.colorWrite.red);  // the depth-only pass
    }
    EXPECT_EQ(alphas, (std::vector<std::uint32_t>{255, 170, 85}));
    EXPECT_EQ(scene().meshesDrawn, 4);
}

TEST_F(SceneStepsTest, WhatIsOutOfViewIsNotDrawnButItsBoxIs) {
    CScene built;
    withCamera(built);
    AddBox(built, "Seen", {0, 0, 0}, {10, 10, 10});
    AddBox(built, "Behind", {0, 0, -300}, {10, 10, 10});
    CountGeometry(built);
    ASSERT_EQ(load(built), "<none>");
    scene().showBoundingBoxes = true;
    module.ClearCalls();
    scene().Render(0);
    EXPECT_EQ(meshDraws().size(), 1u);
    EXPECT_EQ(scene().meshesDrawn, 1);
    EXPECT_EQ(scene().facesDrawn, 12);
    std::vector<std::uint32_t> boxColours;
    for (const RecordedCall* draw : module.Draws()) {
        if (draw->draw.primitive == PrimitiveType::LineList) {
            boxColours.push_back(draw->vertices.front().diffuse & 0x00FFFFFFu);
        }
    }
    EXPECT_EQ(boxColours, (std::vector<std::uint32_t>{0xFFFFFF, 0xFF0000}));
}

TEST_F(SceneStepsTest, LodLevelsSwitchWithTheDistanceAndRenderingAgainKeepsTheFrame) {
    CScene built;
    withCamera(built, {0, 0, -200});
    AddBox(built, "Tree.RootLod", {0, 0, 0}, {10, 10, 10});
    AddBox(built, "Tree.Lod.d300", {0, 0, 0}, {10, 10, 10});
    AddBox(built, "Tree.Lod.d100", {0, 0, 0}, {10, 10, 10});
    ASSERT_EQ(load(built), "<none>");
    scene().Render(42);
    EXPECT_FALSE(mesh("Tree.Lod.d300")->flags & MeshFlag::Hide);
    EXPECT_TRUE(mesh("Tree.Lod.d100")->flags & MeshFlag::Hide);
    EXPECT_TRUE(mesh("Tree.RootLod")->flags & MeshFlag::Hide);
    scene().Render(CScene::kRenderAgain);
    scene().Render(CScene::kRenderAgain);
    EXPECT_EQ(scene().CurrentFrame(), 42.0f);
}

}  // namespace
}  // namespace vesta::test
