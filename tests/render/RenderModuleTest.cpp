// The render module's own state: transforms, viewport, clear colour, state
// blocks, deferred texture release, fonts and resource ownership, observed
// through the recording module.

#include <gtest/gtest.h>

#include "../support/EngineState.h"
#include "render/RecordingModule.h"

namespace vesta::test {
namespace {

std::int64_t g_nanoseconds = 0;
std::int64_t fakeCounter() {
    return g_nanoseconds;
}
void setSeconds(double seconds) {
    g_nanoseconds = static_cast<std::int64_t>(seconds * 1e9);
}

class RenderModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEngineState();
        ResetClockForTests(&fakeCounter);
        setSeconds(1.0);
        TimerInit();
        module.Initialize(nullptr, false, 640, 480, 32);
        module.ClearCalls();
    }
    void TearDown() override { ResetEngineState(); }

    RecordingModule module;
};

TEST_F(RenderModuleTest, AMatrixEqualToTheLastOneSentIsNotSentAgain) {
    Matrix4 world;
    world.m[3][0] = 2.0f;
    module.SetWorldMatrix(world);
    module.SetWorldMatrix(world);
    EXPECT_EQ(module.Count("SetTransform:World"), 1u);
    world.m[3][0] = 3.0f;
    module.SetWorldMatrix(world);
    EXPECT_EQ(module.Count("SetTransform:World"), 2u);
    EXPECT_EQ(module.WorldMatrix(), world);
}

TEST_F(RenderModuleTest, OrthographicResetsWorldAndViewFirst) {
    Matrix4 world;
    world.m[0][0] = 5.0f;
    module.SetWorldMatrix(world);
    module.ClearCalls();
    module.SetOrthographic(640, 480, 0, 1);
    EXPECT_EQ(module.Names(), (std::vector<std::string>{"SetTransform:World", "SetTransform:View",
                                                        "SetTransform:Projection"}));
    EXPECT_FLOAT_EQ(module.ProjectionMatrix().m[0][0], 2.0f / 640.0f);
}

TEST_F(RenderModuleTest, ADegenerateCameraKeepsThePreviousProjection) {
    module.ApplyCamera();
    const Matrix4 before = module.ProjectionMatrix();
    module.SetNearPlane(10.0f);
    module.SetFarPlane(10.0f);
    module.ClearCalls();
    module.ApplyCamera();
    EXPECT_EQ(module.Count("SetTransform:Projection"), 0u);
    EXPECT_EQ(module.ProjectionMatrix(), before);
}

TEST_F(RenderModuleTest, ViewportInPercentAndTheFullViewportRestored) {
    module.SetViewport(10, 20, 50, 50);
    EXPECT_EQ(module.Viewport().x, 63);  // 10 % of 640 in float arithmetic
    EXPECT_EQ(module.Viewport().y, 95);  // 20 * 0.01 * 480 is 95.99994 in float
    EXPECT_EQ(module.Viewport().width, 320);
    EXPECT_EQ(module.Viewport().height, 240);
    EXPECT_FLOAT_EQ(module.Aspect(), 0.75f);
    module.SetViewport(0, 0, 100, 25);
    EXPECT_FLOAT_EQ(module.Aspect(), 120.0f / 640.0f);
    module.SetViewport(5, 5, 0, 0);
    EXPECT_EQ(module.Viewport().width, 640);
    EXPECT_EQ(module.Viewport().height, 480);
    EXPECT_FLOAT_EQ(module.Aspect(), 0.75f);
}

TEST_F(RenderModuleTest, ClearColourIsStoredAsEightBitsPerChannel) {
    module.SetClearColor(1.0f, 0.5f, 0.0f, 0.3f);
    EXPECT_EQ(module.ClearColor(), 0x00FF7F00u);
}

TEST_F(RenderModuleTest, StateBlocksRecordedUnderOneIdAreShared) {
    RenderModule::StateBlock first = 0;
    RenderModule::StateBlock second = 0;
    module.BeginStateBlock();
    module.EndStateBlock(first, 42);
    module.BeginStateBlock();
    module.EndStateBlock(second, 42);
    EXPECT_EQ(first, second);
    EXPECT_EQ(module.FindStateBlock(42), first);
    EXPECT_EQ(module.Count("DeleteStateBlock"), 1u);  // the second recording
    module.ReleaseStateBlock(first);
    EXPECT_EQ(module.Count("DeleteStateBlock"), 1u);
    module.ReleaseStateBlock(second);
    EXPECT_EQ(module.Count("DeleteStateBlock"), 2u);
    EXPECT_EQ(module.FindStateBlock(42), -1);
}

TEST_F(RenderModuleTest, ReleasedTexturesAreDestroyedOnePerIntervalAfterTheLast) {
    module.SetDeferredRelease(true, 0.2f);
    Texture* textures[3];
    for (int i = 0; i < 3; ++i) {
        textures[i] = module.CreateTexture();
        setSeconds(1.0 + 0.05 * i);
        module.ReleaseTexture(textures[i]);
    }
    const auto frameAt = [&](double seconds) {
        setSeconds(seconds);
        module.BeginFrame();
        return module.Count("DestroyTexture");
    };
    EXPECT_EQ(frameAt(1.25), 0u);
    EXPECT_EQ(frameAt(1.31), 1u);
    EXPECT_EQ(module.Last("DestroyTexture")->object, textures[0]);
    EXPECT_EQ(frameAt(1.45), 1u);
    EXPECT_EQ(frameAt(1.52), 2u);
    module.DestroyAllTextures();
    EXPECT_EQ(module.Count("DestroyTexture"), 3u);
    EXPECT_EQ(module.PendingTextureCount(), 0u);
}

TEST_F(RenderModuleTest, WithoutDeferralATextureGoesAtOnce) {
    Texture* texture = module.CreateTexture();
    module.ReleaseTexture(texture);
    EXPECT_EQ(module.Count("DestroyTexture"), 1u);
}

TEST_F(RenderModuleTest, DestroyingATextureTwiceIsReportedNotDone) {
    std::vector<std::string> lines;
    SetLogSink(
        [](void* sink, const char* line) {
            static_cast<std::vector<std::string>*>(sink)->push_back(line);
        },
        &lines);
    Texture* texture = module.CreateTexture();
    module.DestroyTexture(texture);
    module.DestroyTexture(texture);
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines.back().find("Warning : Bad Texture pointer(0x"), std::string::npos);
    SetLogSink(nullptr, nullptr);
}

TEST_F(RenderModuleTest, FontsAreCachedByName) {
    Font* first = module.GetFont("font1.png");
    EXPECT_EQ(module.GetFont("font1.png"), first);
    EXPECT_NE(module.GetFont("no such file"), first);
    EXPECT_EQ(module.Count("CreateTextPrinter"), 2u);
    first->Print(0, 10, 25, "Part %d, %.2f", 2, 1.5);
    ASSERT_NE(module.Last("Font::Print"), nullptr);
    EXPECT_EQ(module.Last("Font::Print")->text, "Part 2, 1.50");
    EXPECT_EQ(module.Last("Font::Print")->values, (std::vector<double>{10, 25}));
}

TEST_F(RenderModuleTest, LowQualityTexturesLimitTheSize) {
    EXPECT_GT(module.GetMaxTextureSize(), 512);
    module.SetLowQualityTextures(true);
    EXPECT_EQ(module.GetMaxTextureSize(), 512);
}

TEST_F(RenderModuleTest, DriverIndexPastTheEndIsOutOfRange) {
    EXPECT_EQ(module.GetDriverCount(), 1);
    EXPECT_EQ(module.GetDriver(0).devices.at(0)->name, "HAL");
    EXPECT_THROW(module.GetDriver(1), std::out_of_range);
}

TEST_F(RenderModuleTest, TheProbeLeavesFogOff) {
    module.SetFogEnable(true);
    module.IsPointVisible({0, 0, 0});
    EXPECT_FALSE(module.FogEnabled());
}

}  // namespace
}  // namespace vesta::test
