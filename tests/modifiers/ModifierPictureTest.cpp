// The modifier kinds drawn for real by the OpenGL module (Mesa, headless),
// each in a scene of its own at chosen times. Every picture is written as
// modifier-NAME.png next to the test program, to be looked at.

#include <cstdlib>

#include "GlTestSupport.h"
#include "ModifierStage.h"
#include "PictureWriters.h"
#include "render/gl/GlModule.h"

namespace vesta::test {
namespace {

constexpr int kWidth = 96;
constexpr int kHeight = 72;
constexpr std::uint32_t kBackground = 0xFF000040u;

std::vector<std::uint8_t> solidPng(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    PngPicture picture;
    picture.width = picture.height = 4;
    picture.colorType = 2;  // RGB
    for (int i = 0; i < 16; ++i) {
        picture.samples.insert(picture.samples.end(), {red, green, blue});
    }
    return EncodePng(picture);
}

int brightness(const Rgba& p) {
    return p.r + p.g + p.b;
}

class ModifierPictureTest : public StageTest {
protected:
    void SetUp() override {
        StageTest::SetUp();
        RenderDriver& driver = gl.GetDriver(0);
        gl.SelectDriver(&driver);
        gl.SelectDevice(driver.devices.at(0).get());
        ASSERT_TRUE(gl.Initialize(nullptr, false, kWidth, kHeight, 32));
        WriteFile("black.png", solidPng(0, 0, 0));
        WriteFile("white.png", solidPng(255, 255, 255));
        WriteFile("red.png", solidPng(255, 0, 0));
        WriteFile("green.png", solidPng(0, 255, 0));
    }
    void TearDown() override {
        stage.reset();
        StageTest::TearDown();
    }

    Image shot(float seconds, const std::string& name) {
        stage->Frame(seconds, kBackground);
        Image image = ReadBackBuffer(gl, kWidth, kHeight);
        WritePng(std::string(VESTA_MODIFIER_PICTURES) + "/modifier-" + name + ".png", image);
        return image;
    }
    static Rgba centre(const Image& image) { return image.At(kWidth / 2, kHeight / 2); }

    GlModule gl;
    std::unique_ptr<ModifierStage> stage = std::make_unique<ModifierStage>(gl);
};

// A box of `colour` at `at`, seen by a camera 60 units in front of it (-z)
// beside a white light.
void litBox(CScene& scene, const std::string& name, const Vector3& at, const Vector3& colour,
            const std::string& camera) {
    AddMaterial(scene, name + "Paint", colour);
    AddBox(scene, name, at, {20, 20, 20}, name + "Paint");
    AddCamera(scene, camera, {at.x, at.y, at.z - 60}, at, 0.8f);
    AddLight(scene, camera + "Lamp.Dyna", {at.x, at.y, at.z - 60}, {1, 1, 1});
}

TEST_F(ModifierPictureTest, AHiddenBoxShownByTheMeshModifier) {
    CScene built;
    built.lastFrame = 100;
    litBox(built, "Crate.Hide", {0, 0, 0}, {1, 0.2f, 0.2f}, "Cam");
    CountGeometry(built);
    stage->Load(built);
    EXPECT_RGBA_NEAR(centre(shot(0.0f, "mesh-hidden")), 0, 0, 64, 255, 2);
    stage->Add("MeshModifier", {{"Object", "Crate.Hide"}, {"Hide", "0"}});
    EXPECT_RGBA_NEAR(centre(shot(0.1f, "mesh-shown")), 255, 51, 51, 255, 12);
}

TEST_F(ModifierPictureTest, TheCameraFadeCrossesFromTheTargetsView) {
    CScene built;
    built.lastFrame = 100;
    litBox(built, "Red", {0, 0, 0}, {1, 0, 0}, "Here");
    litBox(built, "Green", {1000, 0, 0}, {0, 1, 0}, "There");
    // Above the green box only, to tell up from down in the target's picture.
    AddMaterial(built, "White", {1, 1, 1});
    AddBox(built, "Marker", {1000, 15, 0}, {6, 6, 6}, "White");
    CountGeometry(built);
    stage->Load(built);
    stage->SelectCamera("Here");
    stage->Add("CameraFade", {{"TargetCamera", "There"}, {"LifeTime", "2"}}, "Fade");
    const Image start = shot(0.0f, "fade-0");
    const Image middle = shot(1.0f, "fade-1");
    const Image end = shot(2.0f, "fade-2");
    // At first only the target's view; at the end only the current one.
    EXPECT_RGBA_NEAR(centre(start), 0, 255, 0, 255, 12);
    EXPECT_RGBA_NEAR(centre(end), 255, 0, 0, 255, 12);
    // Halfway: the target's view at half strength over the current one
    // darkened by half: a quarter of red, half of green.
    EXPECT_RGBA_NEAR(centre(middle), 64, 127, 0, 255, 8);
    EXPECT_RGBA_NEAR(middle.At(2, 2), 0, 0, 48, 255, 4);
    // The target's picture is upright: the marker above its box is at the top.
    EXPECT_GT(brightness(start.At(kWidth / 2, 15)), 600);
    EXPECT_RGBA_NEAR(start.At(kWidth / 2, kHeight - 15), 0, 0, 64, 255, 4);
}

TEST_F(ModifierPictureTest, TheWaterPlaneRipplesUnderALight) {
    CScene built;
    built.lastFrame = 1000;
    AddMaterial(built, "Water", {0.3f, 0.6f, 1.0f});
    AddGrid(built, "Pool.UserModif.Normals", {0, 0, 0}, 120, 90, 1, 1, "Water");
    AddCamera(built, "Cam", {0, -40, -90}, {0, 0, 0}, 0.9f);
    AddLight(built, "Sun.Dyna", {0, 30, -40}, {1, 1, 1});
    CountGeometry(built);
    stage->Load(built);
    std::srand(2);
    stage->Add("WaterPlane", {{"Object", "Pool.UserModif.Normals"},
                              {"SquareSize", "48"},
                              {"UpdateFrequency", "0.05"},
                              {"PeakFrequency", "0.3"},
                              {"PeakSize", "12"},
                              {"Density", "60"}});
    const auto spread = [](const Image& image) {
        int low = 765;
        int high = 0;
        for (int y = kHeight / 4; y < kHeight * 3 / 4; ++y) {
            for (int x = kWidth / 4; x < kWidth * 3 / 4; ++x) {
                low = std::min(low, brightness(image.At(x, y)));
                high = std::max(high, brightness(image.At(x, y)));
            }
        }
        return high - low;
    };
    const Image calm = shot(0.0f, "water-calm");
    Image moving;
    for (int i = 1; i <= 30; ++i) {
        moving = shot(0.05f * static_cast<float>(i), "water-moving");
    }
    EXPECT_GT(brightness(centre(calm)), 60);
    EXPECT_GT(spread(moving), spread(calm) + 60);
}

TEST_F(ModifierPictureTest, TheMaterialFlipsThroughItsPictures) {
    CScene built;
    built.lastFrame = 100;
    litBox(built, "Crate", {0, 0, 0}, {1, 1, 1}, "Cam");
    built.materials[0]->maps = {{"Diffuse", "white.png"}};
    CountGeometry(built);
    stage->Load(built);
    stage->Add(
        "MaterialAnim",
        {{"Material", "CratePaint"}, {"Texture", "red.png,green.png"}, {"SpeedAnim", "0.5"}});
    EXPECT_RGBA_NEAR(centre(shot(0.0f, "material-0")), 255, 0, 0, 255, 12);
    EXPECT_RGBA_NEAR(centre(shot(0.6f, "material-1")), 0, 255, 0, 255, 12);
    EXPECT_RGBA_NEAR(centre(shot(1.2f, "material-2")), 255, 0, 0, 255, 12);
}

TEST_F(ModifierPictureTest, FogThickensAndThinsWithItsEnvelope) {
    CScene built;
    built.lastFrame = 100;
    litBox(built, "Crate", {0, 0, 0}, {1, 0, 0}, "Cam");
    CountGeometry(built);
    stage->Load(built);
    stage->Add("Fog", {{"RisingTime", "1"},
                       {"StableTime", "1"},
                       {"FallingTime", "1"},
                       {"Effect", "1"},
                       {"StartDensity", "0.03"},
                       {"EndDensity", "0.03"},
                       {"Color", "255,255,255"}});
    const Rgba clear = centre(shot(0.0f, "fog-0"));
    const Rgba thick = centre(shot(1.5f, "fog-1"));
    const Rgba thinning = centre(shot(2.75f, "fog-2"));
    EXPECT_RGBA_NEAR(clear, 255, 0, 0, 255, 12);
    // exp(-0.03 x 50) of the box is left: about a fifth.
    EXPECT_RGBA_NEAR(thick, 255, 198, 198, 255, 16);
    EXPECT_LT(thinning.g, thick.g);
    EXPECT_GT(thinning.g, clear.g + 20);
}

// Sprites added to the frame fade into fog towards black: black sprites in
// white fog add nothing, where fogged towards white they would add white.
TEST_F(ModifierPictureTest, BlackSpritesAddNothingToAFoggedFrame) {
    CScene built;
    built.lastFrame = 100;
    litBox(built, "Crate", {0, 0, 0}, {1, 0, 0}, "Cam");
    CountGeometry(built);
    stage->Load(built);
    stage->Add("Fog", {{"StableTime", "5"},
                       {"Effect", "1"},
                       {"StartDensity", "0.03"},
                       {"EndDensity", "0.03"},
                       {"Color", "255,255,255"}});
    const Image fogged = shot(0.5f, "fog-alone");
    ASSERT_GT(centre(fogged).g, 100);
    stage->Add("Particles", {{"ObjetName", "Crate"},
                             {"AlphaType", "1"},
                             {"MaxIntensity", "0"},
                             {"NBParticle", "40"},
                             {"XScale", "6"},
                             {"YScale", "6"},
                             {"ForceVisible", "Yes"}});
    const Image sprinkled = shot(0.5f, "fog-black-sprites");
    int changed = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const Rgba a = fogged.At(x, y), b = sprinkled.At(x, y);
            changed += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) > 6;
        }
    }
    EXPECT_EQ(changed, 0);
}

TEST_F(ModifierPictureTest, TheLightFlickersBetweenItsColours) {
    CScene built;
    built.lastFrame = 100;
    litBox(built, "Crate", {0, 0, 0}, {1, 1, 1}, "Cam");
    CountGeometry(built);
    stage->Load(built);
    std::srand(4);
    stage->Add("DynaLight", {{"Light", "CamLamp.Dyna"},
                             {"Delay", "0.05"},
                             {"DelayDelta", "0"},
                             {"LowColor", "0.2,0,0"},
                             {"HighColor", "0,0,1"}});
    int dark = 0;
    int blue = 0;
    for (int i = 0; i < 12; ++i) {
        const Rgba p = centre(shot(0.05f * static_cast<float>(i), "light"));
        EXPECT_EQ(p.g, 0);
        dark += p.r > 40 && p.r < 60 && p.b < 5;
        blue += p.b > 240 && p.r < 5;
    }
    EXPECT_EQ(dark + blue, 12);
    EXPECT_GT(dark, 0);
    EXPECT_GT(blue, 0);
}

TEST_F(ModifierPictureTest, ABoxCastsItsShadowOnTheWallBehind) {
    CScene built;
    built.lastFrame = 100;
    AddMaterial(built, "Grey", {0.8f, 0.8f, 0.8f});
    AddMaterial(built, "Red", {1, 0, 0});
    AddGrid(built, "Wall", {0, 0, 20}, 200, 150, 4, 4, "Grey");
    AddBox(built, "Crate", {0, 0, 0}, {10, 10, 10}, "Red");
    AddBox(built, "Lid", {0, 12, 0}, {10, 10, 10}, "Red");
    AddCamera(built, "Cam", {0, 0, -80}, {0, 0, 0}, 0.8f);
    AddLight(built, "Sun.Dyna", {-30, 0, -40}, {1, 1, 1});
    CountGeometry(built);
    stage->Load(built);
    const Image lit = shot(0.0f, "shadow-none");
    stage->Add("StencilShadow", {{"Object", "Crate"}, {"Light", "Sun.Dyna"}});
    const Image shadowed = shot(0.1f, "shadow");
    // Away from the light, about 15 units right of the box on the wall.
    const int shadowX = kWidth / 2 + 17;
    const int y = kHeight / 2;
    EXPECT_NEAR(brightness(shadowed.At(shadowX, y)), brightness(lit.At(shadowX, y)) / 2, 12);
    // On the light's side, and the box itself, nothing changes.
    EXPECT_NEAR(brightness(shadowed.At(kWidth / 2 - 17, y)), brightness(lit.At(kWidth / 2 - 17, y)),
                3);
    EXPECT_NEAR(brightness(shadowed.At(kWidth / 2, y)), brightness(lit.At(kWidth / 2, y)), 3);

    // A second box above the first casts its own shadow above the first one's;
    // each is darkened once, not again by the other's pass.
    stage->Add("StencilShadow", {{"Object", "Lid"}, {"Light", "Sun.Dyna"}});
    const Image both = shot(0.2f, "shadow-both");
    const int lidY = y - 15;
    EXPECT_NEAR(brightness(both.At(shadowX, y)), brightness(shadowed.At(shadowX, y)), 3);
    EXPECT_NEAR(brightness(both.At(shadowX, lidY)), brightness(lit.At(shadowX, lidY)) / 2, 12);
}

}  // namespace
}  // namespace vesta::test
