// The modifier kinds through the recording module: their names, their
// messages, the water grid and its ripples, the fade's passes, the mesh
// switch, the flip-book, the fog's strength and the flicker.

#include <cstdlib>

#include "ModifierStage.h"
#include "PictureWriters.h"
#include "modifiers/AnimGfx.h"
#include "modifiers/CameraFade.h"
#include "modifiers/DynaLight.h"
#include "modifiers/FogModifier.h"
#include "modifiers/WaterPlane.h"
#include "modifiers/WaterRipples.h"
#include "render/RecordingModule.h"
#include "render/RenderResources.h"
#include "sound/SoundSystem.h"

namespace vesta::test {
namespace {

std::vector<std::uint8_t> onePixelPng(std::uint16_t grey) {
    PngPicture picture;
    picture.width = picture.height = 1;
    picture.colorType = 0;  // grey
    picture.samples = {grey};
    return EncodePng(picture);
}

class ModifierKindsTest : public StageTest {
protected:
    void SetUp() override {
        StageTest::SetUp();
        module.Initialize(nullptr, false, 320, 240, 32);
        for (const char* file : {"black.png", "white.png", "one.png", "two.png", "three.png"}) {
            WriteFile(file, onePixelPng(file[0] == 'b' ? 0 : 255));
        }
        WriteFile("tone.raw", std::string(64, 'x'));
        CScene built;
        built.lastFrame = 300;
        AddBox(built, "Box.Hide", {0, 0, 0}, {10, 10, 10}, "Wood");
        AddBox(built, "Tile.UserModif", {0, 0, 40}, {10, 10, 10});
        AddGrid(built, "Pool.UserModif", {0, 0, 0}, 100, 50, 1, 1);
        AddCamera(built, "Cam", {0, 0, -100}, {0, 0, 0}, 0.8f);
        AddCamera(built, "Side", {100, 0, 0}, {0, 0, 0}, 0.8f);
        AddLight(built, "Lamp.Dyna", {0, 50, -50}, {0.5f, 0.5f, 0.5f});
        AddMaterial(built, "Wood", {1, 1, 1}).maps = {{"Diffuse", "white.png"}};
        CountGeometry(built);
        stage->Load(built);
    }
    void TearDown() override {
        stage.reset();
        StageTest::TearDown();
    }

    CModifier& add(const std::string& kind, const Parameters& parameters,
                   const std::string& name = "") {
        return stage->Add(kind, parameters, name);
    }
    std::string errorOf(const std::string& kind, const Parameters& parameters) {
        return EngineErrorOf([&] { add(kind, parameters); });
    }
    CMeshe& mesh(const std::string& name) { return *stage->Scene().meshes.at(index(name)); }
    std::size_t index(const std::string& name) {
        const auto& meshes = stage->Scene().meshes;
        for (std::size_t i = 0; i < meshes.size(); ++i) {
            if (meshes[i]->Name() == name) {
                return i;
            }
        }
        ADD_FAILURE() << name;
        return 0;
    }

    std::vector<std::string> lines;  // the log, once captured
    RecordingModule module;
    std::unique_ptr<ModifierStage> stage = std::make_unique<ModifierStage>(module);
};

TEST_F(ModifierKindsTest, UnnamedModifiersAreNamedAfterTheirKind) {
    const std::vector<std::pair<std::string, Parameters>> kinds = {
        {"MeshModifier", {{"Object", "Box.Hide"}}},
        {"CameraFade", {{"TargetCamera", "Side"}, {"LifeTime", "2"}}},
        {"WaterPlane", {{"Object", "Pool.UserModif"}}},
        {"MaterialAnim", {{"Material", "Wood"}, {"Texture", "one.png"}}},
        {"Fog", {{"StableTime", "1"}}},
        {"DynaLight", {{"Light", "Lamp.Dyna"}}},
        {"StencilShadow", {{"Object", "Box.Hide"}, {"Light", "Lamp.Dyna"}}},
        {"3DSound", {{"File", "tone.raw"}, {"Object", "Box.Hide"}}},
    };
    for (const auto& [kind, parameters] : kinds) {
        const CModifier& modifier = add(kind, parameters);
        EXPECT_TRUE(IsHexNamed(modifier.GetName(), kind)) << modifier.GetName();
        EXPECT_TRUE(modifier.AutoDestroy()) << kind;
        EXPECT_EQ(modifier.GetKindName(), kind);
    }
    EXPECT_EQ(add("DynaLight", {}, "Flicker").GetName(), "Flicker");
}

TEST_F(ModifierKindsTest, EveryMessageOfTheKinds) {
    EXPECT_EQ(errorOf("WaterPlane", {{"Object", "Lake"}}), "Could not find meshe [Lake]");
    EXPECT_EQ(errorOf("WaterPlane", {{"Object", "Box.Hide"}}),
              "Cannot use mesh [Box.Hide], must have the flag .UserModif");
    EXPECT_EQ(errorOf("WaterPlane", {{"Object", "Tile.UserModif"}}),
              "Cannot use mesh [Tile.UserModif], must have exactly 4 vertices");
    EXPECT_EQ(errorOf("WaterPlane", {{"Object", "Pool.UserModif"}, {"SquareSize", "5"}}),
              "CWaterPlane : SquareSize must be at least 6");
    EXPECT_EQ(errorOf("WaterPlane", {{"Object", "Pool.UserModif"}, {"SquareSize", "257"}}),
              "CWaterPlane : SquareSize must be at most 256");
    EXPECT_EQ(errorOf("CameraFade", {{"TargetCamera", "Side"}}),
              "CCameraFade : Must specify a LifeTime");
    EXPECT_EQ(errorOf("CameraFade", {{"LifeTime", "2"}}),
              "CCameraFade : Must specify a target camera");
    EXPECT_EQ(errorOf("MaterialAnim", {{"Material", "Stone"}}), "Unable to find material [Stone]");
    EXPECT_EQ(errorOf("StencilShadow", {{"Object", "Ghost"}, {"Light", "Lamp.Dyna"}}),
              "Cannot find object [Ghost]");
    EXPECT_EQ(errorOf("StencilShadow", {{"Object", "Box.Hide"}, {"Light", "Moon"}}),
              "Cannot find light [Moon]");
    EXPECT_EQ(errorOf("3DSound", {{"File", "missing.wav"}, {"Object", "Box.Hide"}}),
              "Cannot open file [missing.wav]");
    EXPECT_EQ(errorOf("3DSound", {{"File", "tone.raw"}, {"Object", "Ghost"}}),
              "Cannot find meshe [Ghost]");
    SoundSystem sound;  // no output: loads still answer
    module.SetSoundSystem(&sound);
    EXPECT_EQ(errorOf("3DSound", {{"File", "tone.raw"}, {"Object", "Box.Hide"}}),
              "Unknown SoundSystem error. [tone.raw]: Format not recognised.");
    CaptureLog(lines);
    add("MeshModifier", {{"Object", "Ghost"}});
    stage->Frame(0.1f);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Unable to find [Ghost]"), lines.end());
    stage.reset();
    module.SetSoundSystem(nullptr);
}

TEST_F(ModifierKindsTest, AHiddenMeshShownForAWhileStaysShown) {
    CMeshe& box = mesh("Box.Hide");
    ASSERT_NE(box.flags & MeshFlag::Hide, 0u);
    CaptureLog(lines);
    add("MeshModifier", {{"Object", "Box.Hide"}, {"Hide", "0"}, {"LifeTime", "1"}}, "Show");
    stage->Frame(0.5f);
    EXPECT_EQ(box.flags & MeshFlag::Hide, 0u);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Hide [Box.Hide] = 0"), lines.end());
    // Past its lifetime the modifier no longer runs; the mesh keeps its setting.
    box.flags |= MeshFlag::Hide;
    stage->Frame(1.5f);
    EXPECT_NE(box.flags & MeshFlag::Hide, 0u);
    add("MeshModifier", {{"Object", "Box.Hide"}});
    box.flags &= ~MeshFlag::Hide;
    stage->Frame(1.6f);
    EXPECT_NE(box.flags & MeshFlag::Hide, 0u);
}

TEST_F(ModifierKindsTest, APoolOfFourCornersBecomesAGridOfTheSquareSize) {
    CMeshe& pool = mesh("Pool.UserModif");
    std::vector<Vector3> corners;
    for (const MeshVertex& vertex : pool.vertices) {
        corners.push_back(vertex.position);
    }
    const std::int64_t facesBefore = stage->Scene().totalFaces;
    add("WaterPlane", {{"Object", "Pool.UserModif"}, {"SquareSize", "32"}});
    ASSERT_EQ(pool.vertices.size(), 1024u);
    ASSERT_EQ(pool.faces.size(), 1922u);
    EXPECT_EQ(stage->Scene().totalFaces, facesBefore + 1920);
    ASSERT_NE(pool.buffer, nullptr);
    EXPECT_EQ(pool.buffer->VertexCount(), 1024);
    EXPECT_EQ(pool.buffer->GetIndexCount(), 1922 * 3);
    // The grid's four corners are the mesh's; texture coordinates step by 1/32.
    for (const std::size_t corner : {0u, 31u, 992u, 1023u}) {
        const Vector3 p = pool.vertices[corner].position;
        EXPECT_TRUE(std::any_of(corners.begin(), corners.end(), [&](const Vector3& c) {
            return std::abs(c.x - p.x) < 1e-4f && std::abs(c.y - p.y) < 1e-4f && c.z == p.z;
        })) << corner;
    }
    EXPECT_FLOAT_EQ(pool.vertices[33].uv0[0], 1.0f / 32.0f);
    EXPECT_FLOAT_EQ(pool.vertices[1023].uv0[1], 31.0f / 32.0f);
    EXPECT_EQ(pool.vertices[5].colour, 0x00FFFFFFu);
    // Every face keeps the side of the four corners' own faces (towards the camera, -z)...
    const auto turnOf = [&](const MeshFace& f) {
        return Cross(pool.vertices[f.b].position - pool.vertices[f.a].position,
                     pool.vertices[f.c].position - pool.vertices[f.a].position)
            .z;
    };
    EXPECT_TRUE(std::all_of(pool.faces.begin(), pool.faces.end(),
                            [&](const MeshFace& f) { return turnOf(f) < 0.0f; }));
    // ...and InvertNormals turns them all the other way.
    CScene built;
    AddGrid(built, "Other.UserModif", {0, 0, 0}, 10, 10, 1, 1);
    ModifierStage second(module);
    second.Load(built);
    second.Add("WaterPlane", {{"Object", "Other.UserModif"}, {"InvertNormals", "Yes"}});
    const CMeshe& other = *second.Scene().meshes[0];
    EXPECT_EQ(other.vertices.size(), 32u * 32u);
    EXPECT_TRUE(std::all_of(other.faces.begin(), other.faces.end(), [&](const MeshFace& f) {
        return Cross(other.vertices[f.b].position - other.vertices[f.a].position,
                     other.vertices[f.c].position - other.vertices[f.a].position)
                   .z > 0.0f;
    }));
}

TEST_F(ModifierKindsTest, RipplesFollowTheirRule) {
    WaterRipples water(16, 100);
    water.DropPeak(8, 8, 4.0f);
    EXPECT_EQ(water.Current()[8 * 16 + 9], 2.0f);
    water.Step();
    // The peak's cell sees its four halves, a corner cell the peak and two halves.
    EXPECT_FLOAT_EQ(water.Current()[8 * 16 + 8], 1.98f);
    EXPECT_FLOAT_EQ(water.Current()[9 * 16 + 9], 1.98f);
    EXPECT_FLOAT_EQ(water.Blend(8 * 16 + 8, 0.5f), 0.5f * 4.0f + 0.5f * 1.98f);
    for (int i = 0; i < 40; ++i) {
        water.Step();
    }
    // The border stays still while the rings spread.
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(water.Current()[i], 0.0f);
        EXPECT_EQ(water.Current()[i * 16 + 15], 0.0f);
    }
    EXPECT_NE(water.Current()[2 * 16 + 2], 0.0f);
    // A density below 1 damps nothing instead of dividing by zero.
    WaterRipples undamped(8, 0);
    undamped.DropPeak(4, 4, 4.0f);
    undamped.Step();
    EXPECT_EQ(undamped.Current()[4 * 8 + 4], 2.0f);
}

TEST_F(ModifierKindsTest, TheWaterRisesWithAPeakAndBlendsBetweenSteps) {
    std::srand(3);
    auto& water = dynamic_cast<CWaterPlane&>(add("WaterPlane", {{"Object", "Pool.UserModif"},
                                                                {"SquareSize", "16"},
                                                                {"UpdateFrequency", "0.1"},
                                                                {"PeakFrequency", "0.15"},
                                                                {"PeakSize", "8"}}));
    CMeshe& pool = mesh("Pool.UserModif");
    const std::vector<MeshVertex> rest = pool.vertices;
    const auto highest = [&] {
        float top = 0.0f;
        for (std::size_t i = 0; i < rest.size(); ++i) {
            // The grid faces -z: its normal is (0, 0, -1).
            top = std::max(top, rest[i].position.z - pool.vertices[i].position.z);
        }
        return top;
    };
    stage->Frame(0.05f);
    EXPECT_EQ(highest(), 0.0f);
    // 0.2 s: an update, and the first peak, shown as it was dropped (c = 0).
    stage->Frame(0.2f);
    EXPECT_FLOAT_EQ(highest(), 8.0f);
    // Halfway to the next update the heights are halfway to the stepped ones.
    stage->Frame(0.25f);
    float expected = 0.0f;
    for (int cell = 0; cell < 256; ++cell) {
        expected = std::max(expected, water.Ripples()->Blend(cell, 0.5f));
    }
    EXPECT_FLOAT_EQ(highest(), expected);
    EXPECT_LT(expected, 8.0f);
    // What the mesh shows is what its buffer holds.
    ASSERT_NE(pool.buffer, nullptr);
    const auto* drawn = static_cast<const MeshVertex*>(pool.buffer->LockVertices());
    EXPECT_EQ(drawn[100], pool.vertices[100]);
}

TEST_F(ModifierKindsTest, TheFadeDrawsBothViewsWithTheShareLeftAndAsksForTheAfterPass) {
    stage->SelectCamera("Cam");
    CModifier& fade = add("CameraFade", {{"TargetCamera", "Side"}, {"LifeTime", "2"}});
    // The view's target: 512 x 512, the device offering more than 511.
    EXPECT_TRUE(std::any_of(module.Calls().begin(), module.Calls().end(), [](const auto& call) {
        return call.name == "CreateTexture" && call.values[0] == 512 && call.values[1] == 512;
    }));
    module.ClearCalls();
    stage->Frame(1.0f);
    EXPECT_TRUE(fade.Skipped());
    EXPECT_EQ(stage->Scene().CurrentCamera()->Name(), "Side");
    std::vector<std::uint32_t> quadAlphas;
    for (const RecordedCall* draw : module.Draws()) {
        if (draw->name == "Draw" && draw->vertices.size() == 4) {
            quadAlphas.push_back(draw->vertices[0].diffuse >> 24);
        }
    }
    EXPECT_EQ(quadAlphas, (std::vector<std::uint32_t>{127, 127}));
    // The screen, the view's target, the screen again.
    EXPECT_EQ(module.Count("SetRenderTarget"), 3u);
}

TEST_F(ModifierKindsTest, TheFlipBookTurnsEverySpeedAnimAndGivesTheMaterialBack) {
    CMaterial& wood = *stage->Scene().materials.at(0);
    Texture* own = wood.textures.at(0);
    auto& book =
        dynamic_cast<CAnimGfx&>(add("MaterialAnim", {{"Material", "Wood"},
                                                     {"Texture", "one.png, two.png,three.png"},
                                                     {"AlphaTexture", "white.png"},
                                                     {"SpeedAnim", "0.25"}}));
    std::vector<int> shown;
    std::vector<Texture*> textures;
    for (const float t : {0.0f, 0.2f, 0.3f, 0.5f, 0.6f, 0.9f}) {
        stage->Frame(t);
        shown.push_back(book.Shown());
        textures.push_back(wood.textures[0]);
    }
    EXPECT_EQ(shown, (std::vector<int>{0, 0, 1, 1, 2, 0}));
    EXPECT_NE(textures[0], own);
    EXPECT_NE(textures[2], textures[0]);
    EXPECT_EQ(textures[5], textures[0]);
    EXPECT_EQ(textures[0]->AlphaMapName(), "white.png");
    book.Release();
    EXPECT_EQ(wood.textures[0], own);

    std::srand(11);
    auto& shuffled =
        dynamic_cast<CAnimGfx&>(add("MaterialAnim", {{"Material", "Wood"},
                                                     {"Texture", "one.png,two.png,three.png"},
                                                     {"SpeedAnim", "0.01"},
                                                     {"Random", "1"}}));
    int previous = -1;
    for (int i = 0; i < 30; ++i) {
        stage->Frame(1.0f + 0.02f * static_cast<float>(i));
        EXPECT_NE(shuffled.Shown(), previous);
        previous = shuffled.Shown();
    }
}

TEST_F(ModifierKindsTest, TheFogFollowsTheEnvelopeAndTheObjectsDistance) {
    auto& fog = dynamic_cast<CFogModifier&>(add("Fog", {{"RisingTime", "1"},
                                                        {"StableTime", "1"},
                                                        {"FallingTime", "1"},
                                                        {"Effect", "1"},
                                                        {"StartDensity", "0.02"},
                                                        {"EndDensity", "0.05"},
                                                        {"Color", "255,0,51"}}));
    EXPECT_EQ(fog.LifeTime(), 3.0f);
    stage->Frame(0.5f);
    const FogState& state = module.State().fog;
    EXPECT_TRUE(state.enabled);
    EXPECT_EQ(state.mode, FogMode::Exponential);
    EXPECT_FLOAT_EQ(state.density, (0.02f + 0.03f * 0.5f / 3.0f) * 0.5f);
    EXPECT_FLOAT_EQ(state.color.r, 1.0f);
    EXPECT_FLOAT_EQ(state.color.b, 0.2f);
    stage->Frame(1.5f);
    EXPECT_FLOAT_EQ(module.State().fog.density, 0.02f + 0.03f * 0.5f);
    // Gone with the modifier: nothing else would switch it off.
    stage->Frame(3.5f);
    EXPECT_EQ(stage->List().Count(), 0u);
    EXPECT_FALSE(module.State().fog.enabled);

    // Linear between the planes, its far end drawn in by the strength; the
    // object 100 units from the camera at Radius 400 leaves three quarters.
    stage->SelectCamera("Cam");
    add("Fog", {{"StableTime", "5"},
                {"Object", "Box.Hide"},
                {"Radius", "400"},
                {"NearPlane", "20"},
                {"FarPlane", "320"}});
    stage->Frame(4.0f);
    EXPECT_EQ(module.State().fog.mode, FogMode::Linear);
    EXPECT_FLOAT_EQ(module.State().fog.start, 20.0f);
    EXPECT_NEAR(module.State().fog.end, 20.0f + 300.0f / 0.75f, 0.01f);
}

TEST_F(ModifierKindsTest, TheLightFlickersAtOnceAndThenAfterEachDelay) {
    CLight& lamp = *stage->Scene().lights.at(0);
    add("DynaLight", {{"Light", "Nobody"}});
    stage->Frame(0.0f);
    EXPECT_FLOAT_EQ(lamp.colour.x, 0.5f);
    std::srand(5);
    auto& flicker = dynamic_cast<CDynaLight&>(add("DynaLight", {{"Light", "Lamp.Dyna"},
                                                                {"Delay", "0.1"},
                                                                {"DelayDelta", "0.04"},
                                                                {"LowColor", "0,0,0.25"},
                                                                {"HighColor", "1,0.75,0"}}));
    stage->Frame(0.0f);
    EXPECT_NE(lamp.colour.x, 0.5f);
    int lows = 0;
    int highs = 0;
    for (int i = 1; i <= 100; ++i) {
        stage->Frame(0.01f * static_cast<float>(i));
        EXPECT_GE(flicker.CurrentDelay(), 0.08f);
        EXPECT_LE(flicker.CurrentDelay(), 0.12f);
        const bool high = lamp.colour == Vector3{1.0f, 0.75f, 0.0f};
        EXPECT_TRUE(high || lamp.colour == (Vector3{0.0f, 0.0f, 0.25f}));
        (high ? highs : lows) += 1;
    }
    EXPECT_GT(lows, 0);
    EXPECT_GT(highs, 0);
}

}  // namespace
}  // namespace vesta::test
