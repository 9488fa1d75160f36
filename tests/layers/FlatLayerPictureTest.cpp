// The further flat layers drawn by the OpenGL module at chosen ages, checked
// at the pixels that show what each draws. Every frame is also written as
// "flat-KIND.png" next to the test program, to be looked at.

#include <cmath>

#include "FlatLayerData.h"
#include "LayerPictureSupport.h"
#include "layers/CerclesLayer.h"
#include "layers/DotEffect.h"
#include "layers/FocalGfx.h"
#include "layers/GfxSlider.h"
#include "layers/LineLayer.h"
#include "layers/MetaballLayer.h"
#include "layers/OnduleGfxLayer.h"
#include "layers/PlasmaUVLayer.h"
#include "layers/SplineLayer.h"
#include "layers/TextLayer.h"
#include "layers/WaterTextLayer.h"

namespace vesta::test {
namespace {

using Params = std::vector<std::pair<std::string, std::string>>;

class FlatLayerPictureTest : public LayerPictureFixture {
protected:
    static constexpr int kW = 160;
    static constexpr int kH = 120;

    FlatLayerPictureTest() : LayerPictureFixture(kW, kH) {}
    void SetUp() override {
        LayerPictureFixture::SetUp();
        WriteFlatLayerPictures(m_dir.Path());
    }

    Image frameOf(CLayer& layer, float seconds, const std::string& name, float grey = 0.0f) {
        Image image = draw(layer, seconds, grey);
        ScopedChdir out(VESTA_LAYER_PICTURES);
        WritePng("flat-" + name + ".png", image);
        return image;
    }

    static int brightness(const Rgba& p) { return (p.r + p.g + p.b) / 3; }
    static int litPixels(const Image& image, int x0, int y0, int x1, int y1, int above = 40) {
        int lit = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                lit += brightness(image.At(x, y)) > above;
            }
        }
        return lit;
    }
    // The first column from the left, on row `y`, brighter than the background.
    static int leftEdge(const Image& image, int y) {
        for (int x = 0; x < image.width; ++x) {
            if (brightness(image.At(x, y)) > 20) {
                return x;
            }
        }
        return image.width;
    }
};

TEST_F(FlatLayerPictureTest, OnduleWavesTheEdgesOfThePicture) {
    auto& layer = create<COnduleGfxLayer>(
        "OnduleGFXLayer",
        {{"Texture", "checker.png"}, {"XScale", "0.8"}, {"YScale", "0.8"}, {"StableTime", "5"}});
    const Image waved = frameOf(layer, 1.0f, "ondule");
    // The left edge of the still picture is at x = 16; the rows sway about it
    // by up to 0.03 × 0.8 × 1.35 of the width.
    int lowest = kW, highest = 0;
    for (int y = 20; y < 100; ++y) {
        lowest = std::min(lowest, leftEdge(waved, y));
        highest = std::max(highest, leftEdge(waved, y));
    }
    EXPECT_GE(highest - lowest, 4);
    EXPECT_GE(lowest, 16 - 7);
    EXPECT_LE(highest, 16 + 7);
}

TEST_F(FlatLayerPictureTest, PlasmaBendsThePictureInPlace) {
    auto& still = create<CPlasmaUVLayer>(
        "PlasmaUVLayer", {{"Texture", "checker.png"}, {"Intensity", "0"}, {"StableTime", "5"}});
    const Image flat = frameOf(still, 1.0f, "plasma-still");
    auto& layer = create<CPlasmaUVLayer>(
        "PlasmaUVLayer", {{"Texture", "checker.png"}, {"Intensity", "1"}, {"StableTime", "5"}});
    const Image bent = frameOf(layer, 1.0f, "plasma");
    int moved = 0;
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            moved += std::abs(flat.At(x, y).r - bent.At(x, y).r) > 60;
        }
    }
    // The squares' edges move, their insides stay: some pixels change, most do not.
    EXPECT_GT(moved, kW * kH / 20);
    EXPECT_LT(moved, kW * kH / 2);
    auto& tinted = create<CPlasmaUVLayer>(
        "PlasmaUVLayer", {{"Texture", "checker.png"}, {"Effect", "1"}, {"StableTime", "5"}});
    frameOf(tinted, 1.0f, "plasma-tinted");
}

TEST_F(FlatLayerPictureTest, CerclesSpreadFromTheCentre) {
    auto& layer = create<CCerclesLayer>("CerclesLayer", {{"Texture", "ring.png"},
                                                         {"NBCercles", "3"},
                                                         {"Speed", "0.2"},
                                                         {"Ecart", "0.5"},
                                                         {"Length", "0.04"},
                                                         {"During", "1.5"},
                                                         {"StableTime", "10"}});
    const Image rings = frameOf(layer, 1.25f, "cercles");
    // Rings of radius 0.29, 0.19 and 0.09 screen heights (the newest is born
    // at 1.0), fading as they grow: alphas 1/6, 1/2 and 5/6.
    EXPECT_LT(brightness(rings.At(kW / 2, kH / 2)), 20);
    int previous = 0;
    for (const float r : {0.29f, 0.19f, 0.09f}) {
        const int y = kH / 2 - static_cast<int>((r - 0.02f) * kH);
        const int x = kW / 2 + static_cast<int>((r - 0.02f) * kH);
        EXPECT_GT(rings.At(kW / 2, y).b, previous + 30) << r;
        EXPECT_NEAR(rings.At(x, kH / 2).b, rings.At(kW / 2, y).b, 12) << r;
        previous = rings.At(kW / 2, y).b;
    }
    // Between the rings, nothing.
    EXPECT_LT(brightness(rings.At(kW / 2, kH / 2 - static_cast<int>(0.14f * kH))), 20);
}

TEST_F(FlatLayerPictureTest, LineLightsItsCopiesOneAfterAnother) {
    auto& layer = create<CLineLayer>("LineLayer", {{"Texture", "disc.png"},
                                                   {"NBLines", "5"},
                                                   {"XScale", "0.15"},
                                                   {"YScale", "0.2"},
                                                   {"XOffset", "-0.35"},
                                                   {"XOffsetDelta", "0.175"},
                                                   {"YScaleDelta", "0.05"},
                                                   {"Tracking", "0.5"},
                                                   {"StableTime", "10"}});
    const Image line = frameOf(layer, 1.3f, "line");
    // Copies 0, 1 and 2 are fully on, copy 3 is still dark at 1.3 s.
    for (int n = 0; n < 5; ++n) {
        const int x = static_cast<int>((0.5f - 0.35f + 0.175f * n) * kW);
        const int v = brightness(line.At(x, kH / 2));
        if (n < 3) {
            EXPECT_GT(v, 180) << n;
        } else {
            EXPECT_LT(v, 10) << n;
        }
    }
}

TEST_F(FlatLayerPictureTest, SliderBringsItsStripsInOneByOne) {
    auto& layer = create<CGfxSlider>("GFXSlider", {{"Texture", "checker.png"},
                                                   {"SlideMaxSeg", "4"},
                                                   {"SlideStart", "0"},
                                                   {"SlideEnd", "2"},
                                                   {"SlideLenght", "240"},
                                                   {"StableTime", "10"}});
    const Image sliding = frameOf(layer, 1.25f, "slider");
    // Strips 0 and 1 are in place, strip 2 is on its way down from above
    // (half of its slide done: a quarter of its 0.5 screen travel left, 15
    // pixels), strip 3 has not started.
    EXPECT_GT(litPixels(sliding, 0, 0, kW / 2, kH), kW / 2 * kH * 9 / 10);
    EXPECT_EQ(litPixels(sliding, kW * 3 / 4 + 1, 0, kW, kH), 0);
    EXPECT_EQ(litPixels(sliding, kW / 2 + 1, kH - 14, kW * 3 / 4 - 1, kH), 0);
    EXPECT_GT(litPixels(sliding, kW / 2 + 1, kH - 30, kW * 3 / 4 - 1, kH - 16), 500);
}

TEST_F(FlatLayerPictureTest, SplinesTrailAcrossTheScreen) {
    std::srand(7);
    auto& layer = create<CSplineLayer>(
        "SplineLayer",
        {{"Texture", "disc.png"}, {"NbSpline", "4"}, {"TrailLenght", "40"}, {"StableTime", "10"}});
    const Image sprites = frameOf(layer, 2.0f, "spline");
    EXPECT_GT(litPixels(sprites, 0, 0, kW, kH), 150);
    auto& ribbon = create<CSplineLayer>("SplineLayer", {{"Texture", "ring.png"},
                                                        {"Effect", "1"},
                                                        {"NbSpline", "4"},
                                                        {"TrailLenght", "60"},
                                                        {"StableTime", "10"}});
    const Image band = frameOf(ribbon, 2.0f, "spline-ribbon");
    EXPECT_GT(litPixels(band, 0, 0, kW, kH), 150);
}

TEST_F(FlatLayerPictureTest, FocalSharpensOnlyWhereItsAlphaMapIsWhite) {
    auto& layer = create<CFocalGFX>("FocalGFX", {{"BlurryMap", "blurry.png"},
                                                 {"OrigMap", "checker.png"},
                                                 {"AlphaMap", "right.png"},
                                                 {"RisingTime", "1"},
                                                 {"StableTime", "5"}});
    const Image focused = frameOf(layer, 2.0f, "focal");
    const Image blurred = frameOf(layer, 0.5f, "focal-rising");
    // Blurry squares are 8 × 8 texels of one colour each in pairs: on the left
    // two neighbouring squares look alike, on the right they differ.
    const Rgba leftA = focused.At(10, 50), leftB = focused.At(30, 50);
    const Rgba rightA = focused.At(130, 50), rightB = focused.At(150, 50);
    EXPECT_LT(std::abs(leftA.b - leftB.b), 30);
    EXPECT_GT(std::abs(rightA.b - rightB.b), 60);
    // Half way up the rise only the blurred picture shows, at full strength.
    EXPECT_LT(std::abs(blurred.At(130, 50).b - blurred.At(150, 50).b), 30);
}

TEST_F(FlatLayerPictureTest, DotsTakeThePictureColours) {
    auto& layer = create<CDotEffect>(
        "DotEffect", {{"Texture", "checker.png"}, {"RisingTime", "1"}, {"StableTime", "5"}});
    const Image dots = frameOf(layer, 2.0f, "dots");
    // Dot centres of row 1 in the first (blue) and second (orange) square.
    const auto centre = [&](int column, int row) {
        return dots.At(static_cast<int>((column + 0.5f) / CDotEffect::kColumns * kW),
                       static_cast<int>((row + 0.5f) / CDotEffect::kRows * kH));
    };
    const Rgba blue = centre(4, 1);
    const Rgba orange = centre(10, 1);
    EXPECT_GT(orange.r, orange.b);
    EXPECT_GT(blue.b, blue.r);
    frameOf(layer, 0.6f, "dots-rising");
}

TEST_F(FlatLayerPictureTest, MetaballsShineWithTheirTexture) {
    auto& layer = create<CMetaballLayer>("MetaballLayer", {{"Texture", "checker.png"},
                                                           {"Texture2", "disc.png"},
                                                           {"NBMeta", "4"},
                                                           {"StableTime", "10"}});
    const Image balls = frameOf(layer, 3.0f, "metaballs");
    auto& shiny = create<CMetaballLayer>(
        "MetaballLayer",
        {{"Texture", "disc.png"}, {"Texture2", "ring.png"}, {"NBMeta", "5"}, {"StableTime", "10"}});
    frameOf(shiny, 6.0f, "metaballs-shiny");
    EXPECT_GT(litPixels(balls, 0, 0, kW, kH), kW * kH / 20);
    EXPECT_LT(litPixels(balls, 0, 0, kW, kH), kW * kH * 2 / 3);
}

TEST_F(FlatLayerPictureTest, WaterRaisesTheTextMapsInTurnAndRipples) {
    const Params still = {
        {"TextureFile", "checker.png"}, {"WaterInterval", "0"}, {"StableTime", "10"}};
    Params pressed = still;
    pressed.push_back({"TextMapList", "textmap.png,textmap2.png"});
    pressed.push_back({"UpdateInterval", "1"});
    Params dropping = still;
    dropping.back() = {"WaterInterval", "0.3"};
    dropping.push_back({"StableTime", "10"});
    auto& calm = create<CWaterTextLayer>("WaterText", still);
    auto& text = create<CWaterTextLayer>("WaterText", pressed);
    auto& rain = create<CWaterTextLayer>("WaterText", dropping);
    std::srand(3);
    for (float t = 0.0f; t < 0.9f; t += 0.05f) {
        draw(text, t);
        draw(rain, t);
    }
    const Image flat = frameOf(calm, 0.9f, "water-calm");
    const Image first = frameOf(text, 0.9f, "water");
    // Pixels changed inside the upright bar's columns (22..42 of 64 texels,
    // 55..105 of the frame) and to the left of it.
    const auto changed = [&](const Image& image, int x0, int x1, int y0, int y1) {
        int count = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                const Rgba a = image.At(x, y), b = flat.At(x, y);
                count += std::abs(a.r - b.r) + std::abs(a.b - b.b) > 40;
            }
        }
        return count;
    };
    // (Ripples from the bar's edges spread beyond it, fainter.)
    EXPECT_GT(changed(first, 50, 110, 30, 90), 300);
    EXPECT_GT(changed(first, 50, 110, 30, 90), 3 * changed(first, 0, 30, 0, kH));
    for (float t = 0.9f; t < 1.6f; t += 0.05f) {
        draw(text, t);
    }
    // A second later the lying bar (rows 21..31 of 48: 52..78 of the frame)
    // stands out where the upright one does not reach.
    const Image second = frameOf(text, 1.6f, "water-second-map");
    EXPECT_GT(changed(second, 10, 45, 45, 85), 150);
    draw(rain, 0.9f);
    const Image rippled = frameOf(rain, 1.0f, "water-drops");
    EXPECT_EQ(rain.DropCount(), 3);
    EXPECT_GT(changed(rippled, 0, kW, 0, kH), 200);
}

TEST_F(FlatLayerPictureTest, TextIsPrintedCentred) {
    auto& layer = create<CTextLayer>("TextLayer", {{"Text", "VESTA"},
                                                   {"Center", "Yes"},
                                                   {"XScale", "2"},
                                                   {"YScale", "2"},
                                                   {"StableTime", "5"}});
    const Image text = frameOf(layer, 1.0f, "text");
    EXPECT_GT(litPixels(text, kW / 4, kH * 2 / 5, kW * 3 / 4, kH * 3 / 5), 200);
    EXPECT_EQ(litPixels(text, 0, 0, kW, kH / 4), 0);
    auto& filled = create<CTextLayer>("TextLayer", {{"Text", "Wave"},
                                                    {"Texture", "checker.png"},
                                                    {"BlurryMap", "disc.png"},
                                                    {"Effect", "2"},
                                                    {"Tracking", "0.1"},
                                                    {"XScale", "2.5"},
                                                    {"YScale", "2.5"},
                                                    {"XOffset", "-0.4"},
                                                    {"YOffset", "0.2"},
                                                    {"StableTime", "5"}});
    frameOf(filled, 1.0f, "text-filled", 0.1f);
}

}  // namespace
}  // namespace vesta::test
