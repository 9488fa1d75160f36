// The image layers drawn for real by the OpenGL module (Mesa, headless) and
// compared with pictures computed from their formulas. A failing comparison
// writes NAME-actual.png, NAME-expected.png and NAME-difference.png next to
// the test program; "layers-swarm.png" is always written, to be looked at.

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "LayerPictureSupport.h"
#include "layers/Flash.h"
#include "layers/GfxLayer.h"
#include "layers/InfiniteZoom.h"
#include "layers/ParasitesLayer.h"
#include "layers/ParticlesLayer.h"
#include "layers/RayLayer.h"
#include "render/gl/GlModule.h"

namespace vesta::test {
namespace {

constexpr int kWidth = LayerPictureFixture::kWidth;
constexpr int kHeight = LayerPictureFixture::kHeight;

class LayerPictureTest : public LayerPictureFixture {};

// Pictures that are looked at, at 320 × 240.
class LayerViewTest : public LayerPictureFixture {
protected:
    LayerViewTest() : LayerPictureFixture(320, 240) {}
};

TEST_F(LayerPictureTest, PlacedPictureCoversTheColumnsOfTheDoubleAction) {
    WriteFile(m_dir / "green.png", SolidPng(16, 16, 0, 200, 0));
    // Start puts x at 0..0.5; drawn at 0.5 × x + 0.25: 0.25..0.5 of the −0.5..0.5 screen.
    CGfxLayer& layer = create<CGfxLayer>("GFXLayer", {{"Texture", "green.png"},
                                                      {"XScale", "0.5"},
                                                      {"XOffset", "0.25"},
                                                      {"RisingTime", "1"},
                                                      {"StableTime", "1"},
                                                      {"FallingTime", "1"}});
    const Image stable = draw(layer, 1.5f);
    EXPECT_TRUE(near(stable, filled([](int x, int) {
                         return x >= 48 ? Rgba{0, 200, 0, 255} : Rgba{0, 0, 0, 255};
                     }),
                     1, "layers-placed"));
    const Image rising = draw(layer, 0.5f, 0.5f);  // alpha 127 over grey 127
    const int blended = (200 * 127 + 127 * 128) / 255;
    EXPECT_TRUE(near(rising, filled([&](int x, int) {
                         return x >= 48 ? Rgba{63, blended, 63, 255} : Rgba{127, 127, 127, 255};
                     }),
                     2, "layers-placed-rising"));
}

TEST_F(LayerPictureTest, AdditiveLayerAndFlashBrightenWhatLiesBelow) {
    WriteFile(m_dir / "white.png", SolidPng(16, 16, 255, 255, 255));
    CGfxLayer& layer = create<CGfxLayer>("GFXLayer", {{"Texture", "white.png"},
                                                      {"AlphaType", "1"},
                                                      {"Intensity", "0.5"},
                                                      {"RisingTime", "1"},
                                                      {"StableTime", "1"}});
    const Image lit = draw(layer, 1.5f, 0.25f);  // 63 + 0.5 × 255
    EXPECT_TRUE(near(lit, filled([](int, int) {
                         return Rgba{191, 191, 191, 255};
                     }),
                     2, "layers-additive"));
    CFlash& flash = create<CFlash>("Flash", {{"RisingTime", "1"}, {"FallingTime", "1"}});
    const Image flashed = draw(flash, 0.25f, 0.2f);  // 51 + 0.25 × 255
    EXPECT_TRUE(near(flashed, filled([](int, int) {
                         return Rgba{114, 114, 114, 255};
                     }),
                     2, "layers-flash"));
}

TEST_F(LayerPictureTest, BilinearNoShowsSquareTexels) {
    PngPicture checker;
    checker.width = 2;
    checker.height = 2;
    checker.colorType = PNG_COLOR_TYPE_GRAY;
    checker.samples = {0, 255, 255, 0};
    WriteFile(m_dir / "checker.png", EncodePng(checker));
    const std::vector<std::pair<std::string, std::string>> params = {
        {"Texture", "checker.png"}, {"Bilinear", "No"}, {"StableTime", "1"}};
    CGfxLayer& square = create<CGfxLayer>("GFXLayer", params);
    const Image point = draw(square, 0.5f);
    // Pixel centres on the middle row and column fall on the texel edge, where
    // either neighbour is right.
    EXPECT_TRUE(near(point, filled([&](int x, int y) {
                         const int v = (x < 32) == (y < 24) ? 0 : 255;
                         return x == 32 || y == 24 ? point.At(x, y) : Rgba{v, v, v, 255};
                     }),
                     0, "layers-point"));
    CGfxLayer& smooth =
        create<CGfxLayer>("GFXLayer", {{"Texture", "checker.png"}, {"StableTime", "1"}});
    const Image filtered = draw(smooth, 0.5f);
    const Rgba middle = filtered.At(30, 22);
    EXPECT_GT(middle.r, 60);
    EXPECT_LT(middle.r, 195);
}

TEST_F(LayerPictureTest, SwarmOfCopiesIsWrittenToBeLookedAt) {
    PngPicture ring;
    ring.width = 32;
    ring.height = 32;
    ring.colorType = PNG_COLOR_TYPE_RGB;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const float d = std::hypot(x - 15.5f, y - 15.5f);
            const bool on = d > 9 && d < 15;
            ring.samples.insert(ring.samples.end(),
                                {std::uint16_t(on ? 255 : 0), std::uint16_t(on ? 8 * x : 0),
                                 std::uint16_t(on ? 8 * y : 0)});
        }
    }
    WriteFile(m_dir / "ring.png", EncodePng(ring));
    CGfxLayer& layer = create<CGfxLayer>("GFXLayer", {{"Texture", "ring.png"},
                                                      {"Effect", "4"},
                                                      {"AlphaType", "1"},
                                                      {"XScale", "3"},
                                                      {"YScale", "3"},
                                                      {"StableTime", "10"}});
    const Image swarm = draw(layer, 2.0f, 0.05f);
    {
        ScopedChdir out(VESTA_LAYER_PICTURES);
        WritePng("layers-swarm.png", swarm);
    }
    int lit = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            lit += swarm.At(x, y).r > 100;
        }
    }
    EXPECT_GT(lit, 20);  // the copies reach the screen through the perspective camera
    CGfxLayer& turned = create<CGfxLayer>("GFXLayer", {{"Texture", "ring.png"},
                                                       {"Rotate", "0.5"},
                                                       {"XScale", "0.6"},
                                                       {"YScale", "0.8"},
                                                       {"StableTime", "10"}});
    const Image turn = draw(turned, 1.0f, 0.05f);
    ScopedChdir out(VESTA_LAYER_PICTURES);
    WritePng("layers-rotate.png", turn);
}

// A soft white disc on black, also usable as its own alpha picture.
void WriteGlow(const std::filesystem::path& path) {
    PngPicture glow;
    glow.width = 32;
    glow.height = 32;
    glow.colorType = PNG_COLOR_TYPE_RGB;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const float d = std::hypot(x - 15.5f, y - 15.5f) / 16.0f;
            const auto v =
                std::uint16_t(255.0f * std::max(0.0f, 1.0f - d) * std::max(0.0f, 1.0f - d));
            glow.samples.insert(glow.samples.end(),
                                {v, std::uint16_t(v * 0.8f), std::uint16_t(v * 0.5f)});
        }
    }
    WriteFile(path, EncodePng(glow));
}

int LitPixels(const Image& image, int level) {
    int lit = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            lit += image.At(x, y).r > level;
        }
    }
    return lit;
}

TEST_F(LayerViewTest, ParticlesRaysInterferenceAndZoomAreWrittenToBeLookedAt) {
    std::srand(7);  // the same particles whichever tests ran before
    WriteGlow("glow.png");
    const auto keep = [](const char* name, const Image& image) {
        ScopedChdir out(VESTA_LAYER_PICTURES);
        WritePng(name, image);
    };
    CParticlesLayer& flame =
        create<CParticlesLayer>("ParticlesLayer", {{"Texture", "glow.png"},

                                                   {"Effect", "5"},
                                                   {"NBParticle", "300"},
                                                   {"AlphaType", "1"},
                                                   {"MaxIntensity", "0.3"},
                                                   {"Radius", "0.05"},
                                                   {"AmplitudeX", "1"},
                                                   {"SourceParticle", "0,-0.35,0"},
                                                   {"XScale", "0.25"},
                                                   {"YScale", "0.25"},
                                                   {"StableTime", "10"}});
    play(flame, 2.0f);
    const Image fire = draw(flame, 2.0f);
    keep("layers-particles-flame.png", fire);
    EXPECT_GT(LitPixels(fire, 60), 1500);
    CParticlesLayer& drift =
        create<CParticlesLayer>("ParticlesLayer", {{"Texture", "glow.png"},
                                                   {"AlphaTexture", "glow.png"},
                                                   {"Effect", "1"},
                                                   {"NBParticle", "300"},
                                                   {"Radius", "0.05"},
                                                   {"AmplitudeX", "2"},
                                                   {"AmplitudeY", "2"},
                                                   {"SensZ", "0.3"},
                                                   {"XScale", "0.2"},
                                                   {"YScale", "0.2"},
                                                   {"StableTime", "10"}});
    play(drift, 2.0f);
    const Image drifted = draw(drift, 2.0f);
    keep("layers-particles-drift.png", drifted);
    EXPECT_GT(LitPixels(drifted, 60), 300);

    CRayLayer& rays = create<CRayLayer>("RayLayer", {{"Texture", "glow.png"},
                                                     {"XScale", "0.3"},
                                                     {"YScale", "0.3"},
                                                     {"IntensityEffect", "1"},
                                                     {"StableTime", "10"}});
    const Image rayed = draw(rays, 1.0f);
    keep("layers-rays.png", rayed);
    EXPECT_GT(rayed.At(160, 120).r, 60);  // every ray crosses the centre
    EXPECT_LT(rayed.At(5, 5).r, rayed.At(160, 120).r);

    WriteFile("bars.png", SolidPng(8, 8, 40, 160, 220));
    CParasitesLayer& still = create<CParasitesLayer>("ParasitesLayer", {{"Texture", "bars.png"},
                                                                        {"EffectIntensity", "0"},
                                                                        {"XScale", "0.5"},
                                                                        {"StableTime", "10"}});
    const Image calm = draw(still, 1.0f);
    keep("layers-parasites-still.png", calm);
    for (const int x : {0, 78, 82, 160, 237, 242, 319}) {
        const bool inside = x >= 80 && x < 240;
        EXPECT_EQ(calm.At(x, 120).g, inside ? 160 : 0) << x;
    }
    CParasitesLayer& shaken = create<CParasitesLayer>("ParasitesLayer", {{"Texture", "bars.png"},
                                                                         {"Effect", "0"},
                                                                         {"EffectIntensity", "0.2"},
                                                                         {"XScale", "0.5"},
                                                                         {"StableTime", "10"}});
    keep("layers-parasites.png", draw(shaken, 1.0f));

    WriteFile(m_dir / "red.png", SolidPng(8, 8, 220, 30, 30));
    WriteFile(m_dir / "blue.png", SolidPng(8, 8, 30, 30, 220));
    const std::string list = "red.png,blue.png";
    CInfiniteZoom& zoom = create<CInfiniteZoom>(
        "InfiniteZoom", {{"Texture", list}, {"SpeedAnim", "1"}, {"StableTime", "10"}});
    // The first step zooms the first picture into itself; the second into the next.
    const Image zoomed = draw(zoom, 1.5f);
    keep("layers-zoom.png", zoomed);
    // The red picture fills the screen around the blue one it holds, 0.71 of its size.
    EXPECT_EQ(zoomed.At(10, 10).r, 220);
    EXPECT_EQ(zoomed.At(160, 120).b, 220);
    EXPECT_EQ(zoomed.At(40, 120).r, 220);
    EXPECT_EQ(zoomed.At(55, 120).b, 220);
}

}  // namespace
}  // namespace vesta::test
