// Dynamic textures on the OpenGL module (Mesa, headless): palettes, effects
// made by name and found by it, their pace, and what Fire and Plasma draw.
// "dynatexture-fire-plasma.png" (Fire left, Plasma with a palette of its own right) is written next
// to the test program, to be looked at.

#include "render/dynamic/DynaTexture.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <set>

#include "EngineState.h"
#include "GlTestSupport.h"
#include "render/gl/GlModule.h"

namespace vesta::test {
namespace {

constexpr int kSide = 128;

class DynaTextureTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEngineState();
        SetFixedStep(true, 100.0f);
        RenderDriver& driver = gl.GetDriver(0);
        gl.SelectDriver(&driver);
        gl.SelectDevice(driver.devices.at(0).get());
        ASSERT_TRUE(gl.Initialize(nullptr, false, 2 * kSide, kSide, 32));
    }
    void TearDown() override { ResetEngineState(); }

    static void at(double seconds) {
        SetFrameIndex(static_cast<std::uint32_t>(std::lround(seconds * 100.0)));
    }

    Texture* dynamic(const std::string& name, const std::string& effect) {
        return CreateDynamicTexture(gl, {name, effect});
    }

    // The texture's pixels as the device holds them, A8R8G8B8.
    static std::vector<std::uint32_t> pixelsOf(Texture& texture) {
        std::vector<std::uint32_t> pixels(std::size_t(texture.Width()) * texture.Height());
        std::memcpy(pixels.data(), texture.LockPixels(0), pixels.size() * 4);
        return pixels;
    }

    static int nonBlack(const std::vector<std::uint32_t>& pixels, std::size_t from = 0,
                        std::size_t to = SIZE_MAX) {
        int count = 0;
        for (std::size_t i = from; i < std::min(to, pixels.size()); ++i) {
            count += (pixels[i] & 0x00FFFFFF) != 0;
        }
        return count;
    }

    static int differences(const std::vector<std::uint32_t>& a,
                           const std::vector<std::uint32_t>& b) {
        int count = 0;
        for (std::size_t i = 0; i < a.size(); ++i) {
            count += a[i] != b[i];
        }
        return count;
    }

    // Both textures side by side on the screen.
    Image draw(Texture* left, Texture* right) {
        gl.SetClearColor(0, 0, 0.25f, 0);
        gl.BeginFrame();
        gl.Clear(0);
        gl.SetOrthographic(2.0f * kSide, kSide, 0.0f, 1.0f);
        gl.SetColorOp(0, ColorOp::SelectArg1);
        gl.SetColorArg1(0, ColorArg::Texture);
        for (const auto& [texture, x0] : {std::pair{left, -kSide}, std::pair{right, 0}}) {
            gl.SetTexture(0, texture);
            const auto quad =
                Quad(float(x0), kSide / 2.0f, float(x0 + kSide), -kSide / 2.0f, 0.5f, ~0u);
            gl.Draw(PrimitiveType::TriangleStrip, 4, quad.data());
        }
        gl.EndFrame();
        return ReadBackBuffer(gl, 2 * kSide, kSide);
    }

    GlModule gl;
};

TEST(DynaPaletteTest, GradientsTextsAndPixelFormats) {
    DynaPalette grey(32, 0xFF0000);
    grey.SetFromText("0=0,0,0;255=255,255,255");
    EXPECT_EQ(grey[128], 0x00808080u);
    EXPECT_EQ(grey[255], 0x00FFFFFFu);

    DynaPalette fire(16, 0xF800);
    fire.SetDefault();
    EXPECT_EQ(fire[47], 0xFD00u);                                      // (252, 160, 0) in 5-6-5
    EXPECT_EQ(PackPaletteColour({252, 160, 0}, 16, 0x7C00), 0x7E80u);  // 5-5-5
    DynaPalette wide(32, 0xFF0000);
    wide.SetDefault();
    EXPECT_EQ(wide[15], 0x00141414u);
    EXPECT_EQ(wide[39], 0x00E25000u);  // half way from (200, 0, 0) to (252, 160, 0)

    // A later stop below the earlier one wraps past 255; malformed stops are
    // left out, four values lead with an unused one, channels are clamped.
    DynaPalette text(32, 0xFF0000);
    text.SetFromText("junk;250=255,0,0;5=0,0,255;=1,2,3;7=1,2;9=x,300,-4,9");
    EXPECT_EQ(text[0], 0x0073008Bu);
    EXPECT_EQ(text[5], 0x000000FFu);
    EXPECT_EQ(text[6], 0x003F00C1u);  // a quarter of the way from (0, 0, 255) to (255, 0, 9)
    EXPECT_EQ(text[9], 0x00FF0009u);
    EXPECT_EQ(text[100], 0u);  // untouched
}

TEST_F(DynaTextureTest, EffectsAreMadeByNameAndFoundByTheTextureName) {
    Texture* texture = gl.CreateTexture();
    EXPECT_EQ(
        EngineErrorOf([&] { texture->MakeDynamic("smoke", "Smoke"); }),
        "Could not find DynaTexture [Smoke].\r\n Available are : \r\n - Fire\r\n - Plasma\r\n");
    EXPECT_EQ(gl.FindDynamicTexture("smoke"), nullptr);

    Texture* lava = dynamic("Lava", "Fire");
    DynaTexture* effect = lava->Dynamic();
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(&lava->MakeDynamic("Other", "Plasma"), effect);  // the first effect stays
    EXPECT_EQ(gl.FindDynamicTexture("Lava"), lava);
    EXPECT_EQ(gl.FindDynamicTexture("lava"), nullptr);  // names are case-sensitive
    EXPECT_EQ(lava->Width(), kDynamicMapSize);

    // A second texture of the name takes its place; the first one going does
    // not take the second's entry with it.
    Texture* again = dynamic("Lava", "Plasma");
    EXPECT_EQ(gl.FindDynamicTexture("Lava"), again);
    gl.DestroyTexture(lava);
    EXPECT_EQ(gl.FindDynamicTexture("Lava"), again);
    gl.DestroyTexture(again);
    EXPECT_EQ(gl.FindDynamicTexture("Lava"), nullptr);

    Texture* empty = gl.CreateTexture();
    EXPECT_EQ(EngineErrorOf([&] { empty->MakeDynamic("none", "Plasma"); }),
              "Invalid Texture for Plasma");
    EXPECT_FALSE(ParseDynamicMapName("maps\\lava.png"));
    const auto parsed = ParseDynamicMapName("C:\\maps\\Lava=Fire");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->texture, "Lava");
    EXPECT_EQ(parsed->effect, "Fire");
}

TEST_F(DynaTextureTest, UpdatesWithinTheIntervalChangeNothing) {
    for (const char* effect : {"Plasma", "Fire"}) {
        SCOPED_TRACE(effect);
        Texture* texture = dynamic(effect, effect);
        DynaTexture& dyna = *texture->Dynamic();
        EXPECT_FLOAT_EQ(dyna.UpdateInterval(), 0.001f);
        EXPECT_TRUE(dyna.Set("UpdateInterval", "0.5"));
        EXPECT_FALSE(dyna.Set("Speed", "2"));
        at(1.0);
        texture->UpdateDynamic();
        const auto first = pixelsOf(*texture);
        EXPECT_GT(nonBlack(first), 0);
        at(1.4);
        texture->UpdateDynamic();
        EXPECT_EQ(differences(pixelsOf(*texture), first), 0);
        at(1.5);
        texture->UpdateDynamic();
        EXPECT_GT(differences(pixelsOf(*texture), first), 100);
    }
}

TEST_F(DynaTextureTest, FireStreamsFromTheTopAndPlasmaSwirls) {
    Texture* fire = dynamic("fire", "Fire");
    Texture* plasma = dynamic("plasma", "Plasma");
    // The default palette is white from a quarter up: a cycle shows the bands.
    plasma->Dynamic()->Set("Palette",
                           "0=0,0,64;64=0,160,255;128=255,255,255;192=255,80,0;255=0,0,64");
    for (int frame = 1; frame <= 150; ++frame) {
        at(frame / 100.0);
        fire->UpdateDynamic();
        plasma->UpdateDynamic();
    }
    const auto firePixels = pixelsOf(*fire);
    const auto plasmaPixels = pixelsOf(*plasma);
    const Image picture = draw(fire, plasma);
    WritePng(std::string(VESTA_DYNATEXTURE_PICTURES) + "/dynatexture-fire-plasma.png", picture);

    // Flames fill the top half and have died out near the bottom edge.
    const std::size_t half = firePixels.size() / 2;
    EXPECT_GT(nonBlack(firePixels, 0, half), kSide * kSide / 4);
    EXPECT_LT(nonBlack(firePixels, half), nonBlack(firePixels, 0, half));
    std::set<std::uint32_t> colours(plasmaPixels.begin(), plasmaPixels.end());
    EXPECT_GT(colours.size(), 100u);
    // What is on the screen is what the textures hold.
    EXPECT_RGBA_NEAR(picture.At(kSide + 10, 20), int(plasmaPixels[20 * kSide + 10] >> 16 & 255),
                     int(plasmaPixels[20 * kSide + 10] >> 8 & 255),
                     int(plasmaPixels[20 * kSide + 10] & 255), 255, 4);

    at(1.6);
    fire->UpdateDynamic();
    plasma->UpdateDynamic();
    EXPECT_GT(differences(pixelsOf(*fire), firePixels), 500);
    EXPECT_GT(differences(pixelsOf(*plasma), plasmaPixels), 500);
}

}  // namespace
}  // namespace vesta::test
