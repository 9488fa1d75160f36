// Scenes drawn for real by the OpenGL module (Mesa, headless). Each test
// builds a scene in code, writes it as a model file, loads it as a player
// would and checks what lands on the screen. Every picture is written as
// scene-NAME.png next to the test program, to be looked at.

#include <cmath>
#include <gtest/gtest.h>

#include "EngineState.h"
#include "GlTestSupport.h"
#include "PictureWriters.h"
#include "TestSupport.h"
#include "platform/Clock.h"
#include "render/gl/GlModule.h"
#include "scene/Animation.h"
#include "scene/Mdl4Writer.h"
#include "scene/SceneBuild.h"
#include "scene/player/FocalMdl.h"
#include "scene/player/StarField.h"
#include "scene/player/TrouDuVers.h"

namespace vesta::test {
namespace {

constexpr int kWidth = 96;
constexpr int kHeight = 72;
constexpr Rgba kBackground{0, 0, 64, 255};

class ScenePictureTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEngineState();
        SetFixedStep(true, 30.0f);
        SetFrameIndex(0);
        RenderDriver& driver = gl.GetDriver(0);
        gl.SelectDriver(&driver);
        gl.SelectDevice(driver.devices.at(0).get());
        ASSERT_TRUE(gl.Initialize(nullptr, false, kWidth, kHeight, 32));
    }
    void TearDown() override {
        if (m_scene) {
            m_scene->ReleaseResources();
        }
        ResetEngineState();
    }

    // Written and read back as a player reads its file.
    CScene& load(const CScene& built) {
        WriteFile(m_dir.Path() / "test.vestamdl4", mdl4::WriteScene(built));
        m_scene = std::make_unique<CScene>(&gl);
        m_scene->Load("test.vestamdl4");
        m_scene->LoadTextures();
        return *m_scene;
    }

    // The player's frame: its planes, culling and depth, then the scene.
    Image draw(float frame, const std::string& name) {
        SetFrameIndex(static_cast<std::uint32_t>(frame));
        BeginPlayerFrame(gl, kBackground);
        m_scene->Render(frame);
        gl.EndFrame();
        Image image = readFrame();
        WritePng(std::string(VESTA_SCENE_PICTURES) + "/scene-" + name + ".png", image);
        return image;
    }

    Image readFrame() { return ReadBackBuffer(gl, kWidth, kHeight); }

    // Mean x of the pixels that are not background; -1 when there are none.
    static float centreOfShape(const Image& image) {
        double sum = 0;
        int count = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const Rgba p = image.At(x, y);
                if (std::abs(p.r - kBackground.r) + std::abs(p.g - kBackground.g) +
                        std::abs(p.b - kBackground.b) >
                    24) {
                    sum += x;
                    ++count;
                }
            }
        }
        return count ? static_cast<float>(sum / count) : -1.0f;
    }

    TempDir m_dir;
    ScopedChdir m_chdir{m_dir.Path()};
    GlModule gl;
    std::unique_ptr<CScene> m_scene;
};

// Pixels that are not the background, and how far they reach.
struct Extent {
    int count = 0;
    int left = kWidth;
    int right = -1;
};

Extent shapeOf(const Image& image) {
    Extent extent;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const Rgba p = image.At(x, y);
            if (std::abs(p.r - kBackground.r) + std::abs(p.g - kBackground.g) +
                    std::abs(p.b - kBackground.b) >
                24) {
                ++extent.count;
                extent.left = std::min(extent.left, x);
                extent.right = std::max(extent.right, x);
            }
        }
    }
    return extent;
}

// A red box facing a camera, lit by a white dynamic light beside the camera.
void buildLitBox(CScene& scene) {
    scene.lastFrame = 100;
    AddMaterial(scene, "Red", {1.0f, 0.2f, 0.2f});
    AddBox(scene, "Box", {0, 0, 0}, {20, 20, 20}, "Red");
    AddCamera(scene, "Camera01", {0, 0, -60}, {0, 0, 0}, 0.8f);
    AddLight(scene, "Lamp.Dyna", {0, 0, -60}, {1, 1, 1});
    CountGeometry(scene);
}

TEST_F(ScenePictureTest, ALitBoxFromItsCamera) {
    CScene built;
    buildLitBox(built);
    load(built);
    const Image image = draw(0, "lit-box");
    // The face towards the light takes the material's colour at full strength.
    EXPECT_RGBA_NEAR(image.At(kWidth / 2, kHeight / 2), 255, 51, 51, 255, 12);
    EXPECT_RGBA_NEAR(image.At(2, 2), kBackground.r, kBackground.g, kBackground.b, 255, 2);
}

TEST_F(ScenePictureTest, AnAnimatedCameraPansAcrossTheBox) {
    CScene built;
    buildLitBox(built);
    // Camera and target slide together from left to right over 60 frames.
    C3DObjectAnim& pan = AddAnimation(built, "Camera01");
    AddKey(pan.position, 0, Vector3{-20, 0, -60});
    AddKey(pan.position, 60, Vector3{20, 0, -60});
    C3DObjectAnim& aim = AddAnimation(built, "Camera01.Target");
    AddKey(aim.position, 0, Vector3{-20, 0, 0});
    AddKey(aim.position, 60, Vector3{20, 0, 0});
    load(built);
    const float start = centreOfShape(draw(0, "pan-0"));
    const float middle = centreOfShape(draw(30, "pan-30"));
    const float end = centreOfShape(draw(60, "pan-60"));
    // The box stays put while the view moves right: it drifts left.
    EXPECT_NEAR(middle, kWidth / 2.0f, 1.5f);
    EXPECT_GT(start, middle + 10);
    EXPECT_LT(end, middle - 10);
}

TEST_F(ScenePictureTest, LodLevelsSwitchAtTheirDistances) {
    CScene built;
    built.lastFrame = 100;
    AddMaterial(built, "Red", {1, 0, 0});
    AddMaterial(built, "Green", {0, 1, 0});
    AddMaterial(built, "Blue", {0, 0, 1});
    AddBox(built, "Tower.RootLod", {0, 0, 0}, {40, 40, 40}, "Red");
    AddBox(built, "Tower.Lod.d100", {0, 0, 0}, {40, 40, 40}, "Green");
    AddBox(built, "Tower.Lod.d300", {0, 0, 0}, {40, 40, 40}, "Blue");
    AddCamera(built, "Camera01", {0, 0, -50}, {0, 0, 0}, 0.8f);
    C3DObjectAnim& away = AddAnimation(built, "Camera01");
    AddKey(away.position, 0, Vector3{0, 0, -50});
    AddKey(away.position, 10, Vector3{0, 0, -200});
    AddKey(away.position, 20, Vector3{0, 0, -350});
    AddLight(built, "Lamp.Dyna", {0, 0, -400}, {1, 1, 1});
    load(built);
    const Rgba near = draw(0, "lod-50").At(kWidth / 2, kHeight / 2);
    const Rgba middle = draw(10, "lod-200").At(kWidth / 2, kHeight / 2);
    const Rgba far = draw(20, "lod-350").At(kWidth / 2, kHeight / 2);
    EXPECT_GT(near.g, 200);    // 0 .. 100: the level of 100
    EXPECT_GT(middle.b, 200);  // 100 .. 300: the level of 300
    EXPECT_GT(far.b, 200);     // past the last level it stays
    EXPECT_LT(near.r + middle.r + far.r, 30);
}

TEST_F(ScenePictureTest, AMorphHalfwayAndASkinTurnedAboutItsPivot) {
    CScene built;
    built.lastFrame = 100;
    AddMaterial(built, "White", {1, 1, 1});
    // 20 units wide morphing to 60 between frames 0 and 40.
    AddGrid(built, "Sheet.MorphSrc.f0", {0, 0, 0}, 20, 20, 1, 1, "White");
    AddGrid(built, "Sheet.MorphDest.f40.c0", {0, 0, 0}, 60, 20, 1, 1, "White");
    AddCamera(built, "Camera01", {0, 0, -100}, {0, 0, 0}, 0.8f);
    CountGeometry(built);
    load(built);
    const Extent start = shapeOf(draw(1, "morph-start"));
    const Extent half = shapeOf(draw(20, "morph-half"));
    const int startWidth = start.right - start.left;
    const int halfWidth = half.right - half.left;
    EXPECT_NEAR(halfWidth, startWidth * 2, 3);  // 40 units against 20

    CScene skinned;
    skinned.lastFrame = 100;
    AddMaterial(skinned, "White", {1, 1, 1});
    CMeshe& bar = AddGrid(skinned, "Bar", {0, 0, 0}, 40, 8, 4, 1, "White");
    auto bone = std::make_unique<CBone>();
    bone->SetName("Spin");
    for (std::uint32_t v = 0; v < bar.vertices.size(); ++v) {
        bone->weights.push_back({v, 1.0f});
    }
    // A quarter turn about z over 30 frames stands the bar upright.
    AnimKey still;
    still.values = {0, 0, 0, 1, 0, 0};
    AnimKey turned = still;
    turned.frame = 30;
    turned.values = {0, 0, std::sin(0.7853982f), std::cos(0.7853982f), 0, 0};
    bone->ownAnim.rotation = {still, turned};
    bar.bones.push_back(std::move(bone));
    AddCamera(skinned, "Camera01", {0, 0, -100}, {0, 0, 0}, 0.8f);
    m_scene->ReleaseResources();
    load(skinned);
    const Extent lying = shapeOf(draw(0, "skin-0"));
    const Extent standing = shapeOf(draw(30, "skin-30"));
    EXPECT_GT(lying.right - lying.left, 3 * (standing.right - standing.left));
}

TEST_F(ScenePictureTest, AHaloFadesInAndOutBehindAnOccluder) {
    WriteFile(m_dir.Path() / "glow.png", GlowPng());
    CScene built;
    built.lastFrame = 300;
    // A thin dark post slides in front of the light between frames 10 and
    // 20; the halo around it stays in sight while its centre is covered.
    CMeshe& post = AddBox(built, "Post", {-200, 0, 0}, {4, 60, 2});
    for (MeshVertex& vertex : post.vertices) {
        vertex.colour = 0xFF101010u;
    }
    // A key on every frame drawn: the spline passes through each exactly.
    C3DObjectAnim& slide = AddAnimation(built, "Post");
    for (std::uint32_t frame = 0; frame <= 30; ++frame) {
        const float x = frame < 10 ? -200.0f : frame < 20 ? -200.0f + 20.0f * (frame - 10) : 0.0f;
        AddKey(slide.position, frame, Vector3{x, 0, 0});
    }
    AddCamera(built, "Camera01", {0, 0, -100}, {0, 0, 0}, 0.8f);
    AddLight(built, "Sun.Halo", {0, 0, 20}, {1, 1, 1}).SetUserText("MapFile = glow.png\r\n");
    load(built);
    // Fixed steps of 1/30 s: the fade moves 9 / 30 = 0.3 a frame.
    auto glowAt = [&](int frame) {
        return draw(static_cast<float>(frame), "halo-" + std::to_string(frame))
            .At(kWidth / 2 + 5, kHeight / 2)
            .r;
    };
    std::vector<int> rising;
    for (int frame = 1; frame <= 5; ++frame) {
        rising.push_back(glowAt(frame));
    }
    EXPECT_LT(rising[0], 8);               // seen this frame: nothing yet
    EXPECT_GT(rising[1], rising[0] + 10);  // 0.3
    EXPECT_GT(rising[2], rising[1] + 10);  // 0.6
    EXPECT_GE(rising[4], rising[3]);       // full from 1 on
    EXPECT_EQ(rising[4], glowAt(15));
    glowAt(20);  // covered from here
    std::vector<int> falling;
    for (int frame = 21; frame <= 26; ++frame) {
        falling.push_back(glowAt(frame));
    }
    EXPECT_GT(falling[0], falling[1] + 10);
    EXPECT_GT(falling[1], falling[2] + 10);
    EXPECT_LT(falling[5], 8);  // faded away, no longer drawn
}

TEST_F(ScenePictureTest, AMirrorReflectsWhatTheCameraSees) {
    CScene built;
    built.lastFrame = 100;
    // A green block near the wide-angle camera, high up; the flat mirror
    // facing the camera reflects its surroundings as seen from its centre,
    // so the block shows a little above the mirror's middle.
    CMeshe& block = AddBox(built, "Block", {0, 15, -80}, {6, 6, 6});
    for (MeshVertex& vertex : block.vertices) {
        vertex.colour = 0xFF20E040u;
    }
    AddGrid(built, "Glass.Mirror", {0, 0, 0}, 60, 60, 1, 1);
    AddCamera(built, "Camera01", {0, 0, -100}, {0, 0, 0}, 1.5f);
    load(built);
    ASSERT_EQ(m_scene->mirrors.size(), 1u);
    const Image image = draw(0, "mirror");
    const Rgba reflected = image.At(kWidth / 2, 29);
    EXPECT_GT(reflected.g, 150);
    EXPECT_LT(reflected.r, 80);
    EXPECT_RGBA_NEAR(image.At(kWidth / 2, 44), kBackground.r, kBackground.g, kBackground.b, 255, 8);
}

TEST_F(ScenePictureTest, FocalMdlLaysItsChromeOverTheScene) {
    CScene built;
    buildLitBox(built);
    WriteFile(m_dir.Path() / "test.vestamdl4", mdl4::WriteScene(built));
    // Chrome of mid grey, its alpha rising from left to right.
    WriteFile(m_dir.Path() / "chromic.jpg",
              EncodeJpeg(std::vector<std::uint8_t>(16 * 16 * 3, 128), 16, 16, 3, false));
    PngPicture ramp;
    ramp.width = ramp.height = 16;
    ramp.colorType = 0;  // grey
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            ramp.samples.push_back(static_cast<std::uint16_t>(x * 17));
        }
    }
    WriteFile(m_dir.Path() / "ramp.png", EncodePng(ramp));
    CFocalMDL focal(&gl, nullptr);
    focal.Set("MDLFile", "test.vestamdl4");
    focal.Set("AlphaMap", "ramp.png");
    focal.Set("RisingTime", "1");
    focal.Set("StableTime", "2");
    focal.Start();
    focal.SetBirthTime(0);
    SetFrameIndex(45);  // 1.5 s: risen, at full strength
    gl.SetClearColor(kBackground.r / 255.0f, kBackground.g / 255.0f, kBackground.b / 255.0f, 0);
    gl.BeginFrame();
    gl.Clear(0);
    focal.Update();
    gl.EndFrame();
    const Image image = readFrame();
    WritePng(std::string(VESTA_SCENE_PICTURES) + "/scene-focal.png", image);
    focal.Release();
    // The overlay is the chrome times the scene's small copy, whose target
    // only the box ever coloured: left, where the ramp is clear, the frame
    // shows as drawn; right, the overlay's black covers it; in the middle
    // the box and its copy mix half and half.
    EXPECT_RGBA_NEAR(image.At(1, kHeight / 2), kBackground.r, kBackground.g, kBackground.b, 255,
                     12);
    EXPECT_LT(image.At(kWidth - 2, kHeight / 2).b, 20);
    const Rgba middle = image.At(kWidth / 2, kHeight / 2);
    EXPECT_GT(middle.r, 150);
    EXPECT_LT(middle.r, 230);
}

// A layer born at 0, drawn alone at `seconds` over the background.
Image drawLayer(GlModule& gl, CLayer& layer, float seconds, const std::string& name) {
    SetFrameIndex(static_cast<std::uint32_t>(seconds * 30.0f));
    gl.SetClearColor(0, 0, 0, 0);
    gl.BeginFrame();
    gl.Clear(0);
    layer.Update();
    gl.EndFrame();
    const Image image = ReadBackBuffer(gl, kWidth, kHeight);
    WritePng(std::string(VESTA_SCENE_PICTURES) + "/scene-" + name + ".png", image);
    return image;
}

TEST_F(ScenePictureTest, StarsStreamAndATunnelFollowsTheCameraPath) {
    // White stars on black, a camera flying along +z through the model.
    WriteFile(m_dir.Path() / "star.png", GlowPng());
    CScene flight;
    flight.lastFrame = 100;
    CCamera& camera = AddCamera(flight, "Flyer", {0, 0, 0}, {0, 0, 10}, 1.0f);
    AnimTrack& path = AddAnimation(flight, "Flyer").position;
    AnimTrack& aim = AddAnimation(flight, "Flyer.Target").position;
    for (std::uint32_t f = 0; f <= 100; f += 10) {
        const float bend = std::sin(static_cast<float>(f) * 0.05f) * 20.0f;
        AddKey(path, f, Vector3{bend, 0, float(f) * 4});
        AddKey(aim, f, Vector3{bend, 0, float(f) * 4 + 10});
    }
    camera.userParameters.push_back({"Radius", "6"});
    WriteFile(m_dir.Path() / "flight.vestamdl4", mdl4::WriteScene(flight));

    CStarField field(&gl, nullptr);
    for (const auto& [name, value] :
         std::vector<std::pair<const char*, const char*>>{{"Count", "400"},
                                                          {"Speed", "20"},
                                                          {"Length", "2"},
                                                          {"XScale", "0.15"},
                                                          {"Texture", "star.png"},
                                                          {"StableTime", "10"},
                                                          {"Loop", "Yes"}}) {
        field.Set(name, value);
    }
    field.Start();
    field.SetBirthTime(0);
    const Image stars = drawLayer(gl, field, 1.0f, "starfield");
    field.Release();

    CTrouDuVers tunnel(&gl, nullptr);
    tunnel.Set("MDLFile", "flight.vestamdl4");
    tunnel.Set("Texture", "star.png");
    tunnel.Set("StableTime", "10");
    tunnel.Start();
    tunnel.SetBirthTime(0);
    const Image tube = drawLayer(gl, tunnel, 1.0f, "tunnel");
    tunnel.Release();

    auto lit = [](const Image& image) {
        int count = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                count += image.At(x, y).r > 40 ? 1 : 0;
            }
        }
        return count;
    };
    EXPECT_GT(lit(stars), 40);
    EXPECT_GT(lit(tube), kWidth * kHeight / 8);
}

TEST_F(ScenePictureTest, MotionBlurTrailsTheCamera) {
    CScene built;
    buildLitBox(built);
    C3DObjectAnim& pan = AddAnimation(built, "Camera01");
    AddKey(pan.position, 0, Vector3{0, 0, -60});
    AddKey(pan.position, 90, Vector3{90, 0, -60});
    C3DObjectAnim& aim = AddAnimation(built, "Camera01.Target");
    AddKey(aim.position, 0, Vector3{0, 0, 0});
    AddKey(aim.position, 90, Vector3{90, 0, 0});
    load(built);
    const Extent sharp = shapeOf(draw(10, "blur-off"));
    m_scene->SetDrawMode(true, 3.0f, 3);
    const Extent blurred = shapeOf(draw(10, "blur-on"));
    EXPECT_GT(blurred.right - blurred.left, sharp.right - sharp.left + 4);
}

TEST_F(ScenePictureTest, AMapNamedLavaFireBurnsOnTheBox) {
    CScene built;
    built.lastFrame = 200;
    AddMaterial(built, "Lava", {1, 1, 1}).maps = {{"Diffuse", "C:\\maps\\lava=Fire"}};
    AddBox(built, "Box", {0, 0, 0}, {30, 30, 30}, "Lava");
    AddCamera(built, "Camera01", {0, 0, -60}, {0, 0, 0}, 0.8f);
    AddLight(built, "Lamp.Dyna", {0, 0, -60}, {1, 1, 1});
    CountGeometry(built);
    CScene& scene = load(built);
    Texture* lava = gl.FindDynamicTexture("lava");
    ASSERT_NE(lava, nullptr);
    ASSERT_EQ(scene.materials.at(0)->textures, std::vector<Texture*>{lava});
    // One picture of the fire per frame drawn: let it grow from the top edge.
    for (int frame = 1; frame < 120; ++frame) {
        SetFrameIndex(static_cast<std::uint32_t>(frame));
        scene.Render(static_cast<float>(frame));
    }
    const Image burning = draw(120, "lava-120");
    const Image later = draw(121, "lava-121");
    int changed = 0;
    int fiery = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const Rgba a = burning.At(x, y);
            const Rgba b = later.At(x, y);
            changed += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) > 8;
            fiery += a.r > 150 && a.b < 100;
        }
    }
    EXPECT_GT(fiery, 200);
    EXPECT_GT(changed, 50);
    scene.ReleaseResources();
    EXPECT_EQ(gl.FindDynamicTexture("lava"), nullptr);
}

}  // namespace
}  // namespace vesta::test
