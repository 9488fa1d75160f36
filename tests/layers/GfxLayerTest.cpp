// "GFXLayer": what each routine hands to the render module at chosen ages.

#include "layers/GfxLayer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "LayerTestSupport.h"
#include "layers/LayerMath.h"
#include "log/Log.h"

namespace vesta::test {
namespace {

using Params = std::vector<std::pair<std::string, std::string>>;

class GfxLayerTest : public LayerTest {
protected:
    CGfxLayer& gfx(Params extra) {
        Params parameters = {
            {"Texture", "a.png"}, {"RisingTime", "1"}, {"StableTime", "1"}, {"FallingTime", "1"}};
        parameters.insert(parameters.end(), extra.begin(), extra.end());
        return make<CGfxLayer>("GFXLayer", parameters);
    }

    // Random units as the layer will draw them after srand(seed).
    static std::vector<float> randoms(unsigned seed, int count) {
        std::srand(seed);
        std::vector<float> values;
        for (int n = 0; n < count; ++n) {
            values.push_back(static_cast<float>(std::rand() % 1000) * 0.001f);
        }
        std::srand(seed);
        return values;
    }
};

TEST_F(GfxLayerTest, DefaultsShowThePictureScreenWideFadingInHoldingAndOut) {
    CGfxLayer& layer = gfx({});
    EXPECT_EQ(layer.GetName().rfind("Gfx Layer [", 0), 0u);
    EXPECT_TRUE(layer.AutoDestroy());
    EXPECT_EQ(layer.LifeTime(), 3.0f);
    for (const auto& [age, alpha] :
         {std::pair{0.0f, 0u}, {0.5f, 127u}, {1.5f, 255u}, {2.5f, 127u}}) {
        frame(layer, age);
        const RecordedCall& draw = onlyDraw();
        EXPECT_EQ(draw.values, (std::vector<double>{double(PrimitiveType::TriangleStrip), 4}));
        EXPECT_EXTENT(draw, -0.5f, 0.5f, -0.5f, 0.5f);
        for (const RenderVertex& v : draw.vertices) {
            EXPECT_EQ(AlphaOf(v), alpha) << "age " << age;
            EXPECT_EQ(v.diffuse & 0xFFFFFF, 0xFFFFFFu);
        }
        EXPECT_EQ(draw.matrix, Matrix4::Identity());
        EXPECT_EQ(module.ProjectionMatrix(), OrthographicMatrix(1, 1, 1, -1));
    }
    // Strip order and texture coordinates of the stored corners.
    const QuadCorners& corners = layer.BaseCorners();
    EXPECT_EQ(corners[0].x, 0.5f);
    EXPECT_EQ(corners[0].y, -0.5f);
    EXPECT_EQ(corners[0].u0, 1.0f);
    EXPECT_EQ(corners[0].v0, 1.0f);
    EXPECT_EQ(corners[3].x, -0.5f);
    EXPECT_EQ(corners[3].v0, 0.0f);
}

TEST_F(GfxLayerTest, FrameStepSetsCameraStatesAndTextureThenRestores) {
    CGfxLayer& layer = gfx({});
    frame(layer, 1.5f);
    const RenderState& s = onlyDraw().state;
    EXPECT_EQ(s.stages[0].colorOp, ColorOp::Modulate);
    EXPECT_EQ(s.stages[0].colorArg1, ColorArg::Texture);
    EXPECT_EQ(s.stages[0].colorArg2, ColorArg::Diffuse);
    EXPECT_EQ(s.stages[0].alphaOp, AlphaOp::Modulate);
    EXPECT_EQ(s.stages[0].texture, layer.GetTexture()->Handle());
    EXPECT_EQ(s.blend, (BlendState{true, BlendFactor::SrcAlpha, BlendFactor::InvSrcAlpha}));
    EXPECT_FALSE(s.depth.enabled);
    EXPECT_FALSE(s.fog.enabled);
    EXPECT_FALSE(s.lighting);
    // After the draw: stage 0 alpha off, blending off, the saved state back.
    const RenderState& after = module.State();
    EXPECT_EQ(after.stages[0].alphaOp, AlphaOp::Disable);
    EXPECT_FALSE(after.blend.enabled);
    EXPECT_TRUE(after.depth.enabled);
    EXPECT_TRUE(after.depth.write);
    EXPECT_EQ(after.depth.comparison, Comparison::LessEqual);
    EXPECT_NE(module.FindStateBlock(SavedLayerState::kStateBlockId), -1);
    // The camera the perspective routines see.
    const auto projection =
        CameraProjectionMatrix(CImageLayer::kFieldOfView, CImageLayer::kNearPlane,
                               CImageLayer::kFarPlane, module.Aspect());
    layer.Set("Effect", "5");
    frame(layer, 1.5f);
    EXPECT_EQ(module.ProjectionMatrix(), *projection);
    EXPECT_EQ(module.ViewMatrix(), CameraViewMatrix({0, 0, 7}, {0, 0, 0}, 0));
}

TEST_F(GfxLayerTest, ScaleAndOffsetActTwice) {
    CGfxLayer& layer = gfx({{"XScale", "0.85"}, {"XOffset", "-0.15"}});
    frame(layer, 1.5f);
    const auto e = extentOf(onlyDraw());
    EXPECT_NEAR(e.x0, -0.63875f, 1e-5);
    EXPECT_NEAR(e.x1, 0.08375f, 1e-5);
    EXPECT_NEAR(layer.BaseCorners()[2].x, -0.575f, 1e-6);
}

TEST_F(GfxLayerTest, StartAndEndValuesMoveTheQuadWithTheEnvelope) {
    CGfxLayer& layer = gfx({{"XScaleStart", "1.5"},
                            {"YOffsetStart", "0.4"},
                            {"XScaleEnd", "0.5"},
                            {"XOffsetEnd", "0.2"},
                            {"YScaleEnd", "1"}});
    frame(layer, 0.0f);  // grows down from 2.5 while it fades in
    EXPECT_EXTENT(onlyDraw(), -1.25f, 1.25f, -0.1f, 0.9f);
    frame(layer, 0.5f);
    EXPECT_EXTENT(onlyDraw(), -0.875f, 0.875f, -0.3f, 0.7f);
    frame(layer, 1.5f);
    EXPECT_EXTENT(onlyDraw(), -0.5f, 0.5f, -0.5f, 0.5f);
    frame(layer, 2.5f);  // falling: k = −0.5
    EXPECT_EXTENT(onlyDraw(), -0.475f, 0.275f, -0.25f, 0.25f);
    frame(layer, 3.0f);  // gone to XScale − XScaleEnd, shifted by −XOffsetEnd
    EXPECT_EXTENT(onlyDraw(), -0.45f, 0.05f, 0.0f, 0.0f);
}

TEST_F(GfxLayerTest, FallingMeansLowerThanThePreviousFrame) {
    CGfxLayer& layer = make<CGfxLayer>(
        "GFXLayer",
        {{"Texture", "a.png"}, {"FallingTime", "1"}, {"XScaleStart", "1"}, {"XScaleEnd", "1"}});
    frame(layer, 0.5f);  // the first frame has nothing to compare with: the Start rule
    EXPECT_NEAR(extentOf(onlyDraw()).x1, 0.75f, 1e-5);
    EXPECT_NEAR(layer.PreviousIntensity(), 0.5f, 1e-6);
    frame(layer, 0.6f);
    EXPECT_NEAR(extentOf(onlyDraw()).x1, 0.2f, 1e-5);
    frame(layer, 0.6f);  // the same intensity again is not falling
    EXPECT_NEAR(extentOf(onlyDraw()).x1, 0.8f, 1e-5);
}

TEST_F(GfxLayerTest, ScintilleFlickersTheAlphaBetweenNothingAndFull) {
    CGfxLayer& layer = gfx({{"Scintille", "255"}});
    std::vector<std::uint32_t> seen;
    for (unsigned seed = 1; seed <= 20; ++seed) {
        const float r = randoms(seed, 1)[0];
        frame(layer, 1.5f);
        const std::uint32_t alpha = AlphaOf(onlyDraw().vertices[0]);
        EXPECT_EQ(alpha, static_cast<std::uint32_t>(255.0f - r * 255.0f));
        seen.push_back(alpha);
    }
    EXPECT_LT(*std::min_element(seen.begin(), seen.end()), 40u);
    EXPECT_GT(*std::max_element(seen.begin(), seen.end()), 215u);
}

TEST_F(GfxLayerTest, IntensityScalesAndTheAlphaStaysInsideItsByte) {
    CGfxLayer& layer = gfx({{"Intensity", "0.5"}});
    frame(layer, 1.5f);
    EXPECT_EQ(AlphaOf(onlyDraw().vertices[0]), 127u);
    layer.Set("Intensity", "1.5");  // 382 would wrap to 126
    frame(layer, 1.5f);
    EXPECT_EQ(AlphaOf(onlyDraw().vertices[0]), 255u);
    layer.Set("Intensity", "1");
    layer.Set("Scintille", "600");  // negative would wrap
    const float r = randoms(3, 1)[0];
    frame(layer, 1.5f);
    EXPECT_EQ(AlphaOf(onlyDraw().vertices[0]), r > 0.425f ? 0u : std::uint32_t(255 - r * 600));
}

TEST_F(GfxLayerTest, AdditiveLayersSetTheirBrightnessAsALitMaterial) {
    CGfxLayer& layer = gfx({{"AlphaType", "1"}, {"Scintille", "100"}, {"Intensity", "0.8"}});
    const float r = randoms(11, 1)[0];
    frame(layer, 0.5f);
    const RenderState& s = onlyDraw().state;
    EXPECT_EQ(s.blend, (BlendState{true, BlendFactor::One, BlendFactor::One}));
    EXPECT_TRUE(s.lighting);
    const float value = (0.5f - 0.5f * r * 100.0f) * 0.8f;
    const DeviceMaterial& material = s.material;
    EXPECT_FLOAT_EQ(material.diffuse.a, 1.0f);
    for (const ColorValue& c : {material.diffuse, material.ambient, material.emissive}) {
        EXPECT_FLOAT_EQ(c.r, value);
        EXPECT_FLOAT_EQ(c.g, value);
        EXPECT_FLOAT_EQ(c.b, value);
    }
    EXPECT_EQ(material.power, 0.0f);
    for (const RenderVertex& v : onlyDraw().vertices) {
        EXPECT_EQ(v.diffuse, 0x00FFFFFFu);
    }
    EXPECT_FALSE(module.LightingEnabled());  // switched off again after the draw
}

TEST_F(GfxLayerTest, BilinearNoSwitchesFilteringOffForTheDrawOnly) {
    CGfxLayer& layer = gfx({{"Bilinear", "No"}});
    frame(layer, 1.5f);
    const TextureFilter smooth = module.State().stages[0].filter;
    EXPECT_NE(smooth, TextureFilter::Point);
    EXPECT_EQ(onlyDraw().state.stages[0].filter, TextureFilter::Point);
    layer.Set("Bilinear", "yes");  // only "Yes" is true
    frame(layer, 1.5f);
    EXPECT_EQ(onlyDraw().state.stages[0].filter, TextureFilter::Point);
    EXPECT_EQ(module.State().stages[0].filter, smooth);
}

TEST_F(GfxLayerTest, RotateTurnsAndVibrationShakesTheWorld) {
    CGfxLayer& layer = gfx({{"Rotate", "2"}});
    frame(layer, 0.5f);
    EXPECT_EQ(onlyDraw().matrix, RotationZ(1.0f));
    layer.Set("Vibration", "0.5");
    const auto r = randoms(5, 6);
    frame(layer, 0.5f);
    const Matrix4& shaken = onlyDraw().matrix;
    const Matrix4 expected = RotationYawPitchRoll(r[0] * 0.5f, r[1] * 0.5f, r[2] * 0.5f) *
                             Translation(std::sin(r[3] * 2 * std::numbers::pi_v<float>) * 0.05f,
                                         std::sin(r[4] * 2 * std::numbers::pi_v<float>) * 0.05f,
                                         std::sin(r[5] * 2 * std::numbers::pi_v<float>) * 0.05f);
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            EXPECT_NEAR(shaken.m[row][column], expected.m[row][column], 1e-6);
        }
    }
}

TEST_F(GfxLayerTest, RoutineOneLeavesOpaqueWithItsEndOffsetAtOnce) {
    CGfxLayer& layer = gfx({{"Effect", "1"},
                            {"Rotate", "1"},
                            {"XOffsetEnd", "1"},
                            {"XScaleEnd", "1"},
                            {"Scintille", "100"}});
    frame(layer, 0.5f);
    EXPECT_EQ(AlphaOf(onlyDraw().vertices[0]), 127u);  // no flicker while rising
    EXPECT_EQ(onlyDraw().matrix, RotationZ(0.5f));
    frame(layer, 2.0f);
    const float r = randoms(9, 1)[0];
    frame(layer, 2.05f);  // m = sin(0.5 × π/2) in the first tenth of the fall
    EXPECT_EQ(AlphaOf(onlyDraw().vertices[0]), std::uint32_t(255.0f - r * 100.0f));
    const float m = std::sin(0.25f * std::numbers::pi_v<float>);
    const float k = 0.95f - 1.0f;
    EXPECT_NEAR(extentOf(onlyDraw()).x1, (1 + k) * 0.5f + m * k, 1e-4);
    frame(layer, 2.5f);  // m = 1 afterwards
    EXPECT_NEAR(extentOf(onlyDraw()).x1, 0.25f - 0.5f, 1e-4);
}

TEST_F(GfxLayerTest, RoutineThreeDriftsAndFallsFromTheSharedOffset) {
    CGfxLayer::ResetSharedFlight();
    CGfxLayer& rising = gfx({{"Effect", "3"}, {"YOffsetEnd", "1"}, {"XOffsetEnd", "0.5"}});
    frame(rising, 1.5f);  // s = 1.5 × 1.15 / 3
    const float s = 1.5f * 1.15f / 3.0f;
    EXPECT_EXTENT(onlyDraw(), -0.5f + 0.5f * s, 0.5f + 0.5f * s, -0.5f + s, 0.5f + s);
    EXPECT_EQ(AlphaOf(onlyDraw().vertices[0]), 255u);
    CGfxLayer& falling = gfx({{"Effect", "3"}, {"YOffsetEnd", "1"}, {"AlphaType", "1"}});
    frame(falling, 2.0f);  // still holding: its own drift becomes the shared one
    frame(falling, 2.5f);
    const float d = 1.0f, h = 2.0f * 1.15f / 3.0f, e = d - h, f = 1.0f, t = 0.5f;
    const float g = ((d + h) * 2 - (d - e * 0.27f) * 4) / (f * f);
    const float oy = h + t * (e - g * f * f) / f + g * t * t;
    EXPECT_EXTENT(onlyDraw(), -0.5f, 0.5f, -0.5f + oy, 0.5f + oy);
    EXPECT_EQ(AlphaOf(onlyDraw().vertices[0]), 255u);
    EXPECT_EQ(module.Count("SetMaterial"), 0u);  // AlphaType is not consulted
}

TEST_F(GfxLayerTest, RoutineFourDrawsTenPulsingCopies) {
    CGfxLayer& layer = gfx({{"Effect", "4"}, {"XScale", "2"}});
    const float a = 1.5f;
    frame(layer, a);
    const auto found = draws();
    ASSERT_EQ(found.size(), 10u);
    for (int j = 0; j < 10; ++j) {
        const float x = std::cos(10.0f * j + 2 * a) * std::sin(a + j) * 10;
        const float y = std::sin(10.0f * j + 3 * a) * std::sin(a + 2.0f * j) * 10;
        EXPECT_NEAR(found[j]->matrix.m[3][0], x, 1e-4);
        EXPECT_NEAR(found[j]->matrix.m[3][1], y, 1e-4);
        EXPECT_EQ(found[j]->matrix.m[0][0], 1.0f);
        const float p = std::sin(4 * a + j) * 0.2f * 2;
        EXPECT_NEAR(extentOf(*found[j]).x1, (2 + p) * 1.0f, 1e-4);
        EXPECT_NEAR(extentOf(*found[j]).y1, (1 + p) * 0.5f, 1e-4);
    }
}

TEST_F(GfxLayerTest, RoutineFiveSwaysWithABeatingAlpha) {
    CGfxLayer& layer = gfx({{"Effect", "5"}});
    const float a = 1.25f;
    frame(layer, a);
    const float d = std::sin(2 * a) * std::sin(a);
    EXPECT_EQ(AlphaOf(onlyDraw().vertices[0]), std::uint32_t(255 - std::fabs(128 * d)));
    const Matrix4 world = RotationZ(std::sin(a) - 2 * a) * Translation(0, 0, std::sin(a));
    for (int n = 0; n < 4; ++n) {
        EXPECT_NEAR(onlyDraw().matrix.m[n][0], world.m[n][0], 1e-5);
        EXPECT_NEAR(onlyDraw().matrix.m[3][n], world.m[3][n], 1e-5);
    }
}

TEST_F(GfxLayerTest, RoutineSixNeverWritesTheCornerColours) {
    CGfxLayer& layer = gfx({{"Effect", "6"}, {"XScaleStart", "1"}});
    frame(layer, 0.5f);
    EXPECT_EQ(onlyDraw().vertices[0].diffuse, 0xFFFFFFFFu);
    EXPECT_NEAR(extentOf(onlyDraw()).x1, 0.75f, 1e-5);
}

TEST_F(GfxLayerTest, RoutineSevenJerksSidewaysForATenthOfASecond) {
    CGfxLayer& layer = gfx({{"Effect", "7"}, {"XOffset", "0.1"}});
    unsigned jerk = 1, calm = 1;
    while (randoms(jerk, 1)[0] <= 0.98f)
        ++jerk;
    while (randoms(calm, 1)[0] > 0.98f)
        ++calm;
    randoms(calm, 1);
    frame(layer, 1.5f);
    EXPECT_NEAR(extentOf(onlyDraw()).x1, 0.7f, 1e-5);  // 0.5 + 0.1, the offset placed twice
    randoms(jerk, 1);
    frame(layer, 1.5f);  // w = 0.1: six times as wide
    EXPECT_NEAR(extentOf(onlyDraw()).x1, 6.0f * 0.6f + 0.1f - 0.01f, 1e-4);
    randoms(calm, 1);
    frame(layer, 1.55f);  // w = 0.05
    EXPECT_NEAR(extentOf(onlyDraw()).x1, 3.5f * 0.6f + 0.1f - 0.005f, 1e-4);
    randoms(calm, 1);
    frame(layer, 1.7f);  // snapped back
    EXPECT_NEAR(extentOf(onlyDraw()).x1, 0.7f, 1e-5);
}

TEST_F(GfxLayerTest, RoutineEightDrawsSixCopiesRecedingBehindOneAnother) {
    CGfxLayer& layer = gfx({{"Effect", "8"}});
    const float a = 1.5f;
    frame(layer, a);
    const auto found = draws();
    ASSERT_EQ(found.size(), 6u);
    const Matrix4 world = RotationZ(a) * Translation(std::sin(a) * std::cos(a + 10) * 4,
                                                     std::sin(a) * std::sin(3 * a + 2) * 4, 0);
    for (int j = 0; j < 6; ++j) {
        EXPECT_NEAR(found[j]->vertices[0].z, -0.5f * j, 1e-6);
        EXPECT_NEAR(found[j]->matrix.m[3][0], world.m[3][0], 1e-5);
        const float p = std::sin(4 * a + j) * 0.2f;
        EXPECT_NEAR(extentOf(*found[j]).x1, (1 + p) * 0.5f, 1e-5);
    }
}

TEST_F(GfxLayerTest, RoutineTwoBurstsInPiecesAfterTheStableEnd) {
    CGfxLayer& layer = gfx({{"Effect", "2"}});
    frame(layer, 1.5f);
    const RecordedCall& whole = onlyDraw();
    EXPECT_EQ(whole.values, (std::vector<double>{double(PrimitiveType::TriangleList), 5400}));
    EXPECT_EXTENT(whole, -0.5f, 0.5f, -0.5f, 0.5f);
    EXPECT_EQ(AlphaOf(whole.vertices[0]), 255u);
    frame(layer, 2.5f);  // 0.1 × 0.25 × 30 = 0.75 times the distance further out
    const auto e = extentOf(onlyDraw());
    EXPECT_GT(e.x1, 0.5f);
    EXPECT_LT(e.x0, -0.5f);
}

TEST_F(GfxLayerTest, AnEffectOutsideTheTableKeepsTheRoutine) {
    CGfxLayer& layer = gfx({{"Effect", "4"}});
    layer.Set("Effect", "9");
    EXPECT_EQ(layer.Routine(), 4);
    layer.Set("Effect", "-1");
    EXPECT_EQ(layer.Routine(), 4);
    frame(layer, 1.5f);
    EXPECT_EQ(draws().size(), 10u);
}

TEST_F(GfxLayerTest, AlphaTextureAndReleaseHandTheTextureBack) {
    CGfxLayer& layer = gfx({{"AlphaTexture", "mask.png"}});
    Texture* texture = layer.GetTexture();
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->Name(), "a.png");
    EXPECT_EQ(texture->AlphaMapName(), "mask.png");
    EXPECT_NE(module.FindStateBlock(SavedLayerState::kStateBlockId), -1);
    module.SetDeferredRelease(true, 0.2f);
    layer.Release();
    EXPECT_EQ(module.PendingTextureCount(), 1u);
    EXPECT_EQ(module.FindStateBlock(SavedLayerState::kStateBlockId), -1);
    m_layers.clear();
}

}  // namespace
}  // namespace vesta::test
