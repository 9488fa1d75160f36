// The render module's own state: transforms, viewport, clear colour, state
// blocks as values, handles, deferred texture release, fonts and resource
// ownership, observed through what reaches the recording module's seam.

#include <gtest/gtest.h>

#include "../support/EngineState.h"
#include "log/Log.h"
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

const RenderVertex kTriangle[3] = {{0, 0, 0, 0, 0, -1, 0xFFFFFFFF, 0, 0, 0, 0},
                                   {1, 0, 0, 0, 0, -1, 0xFFFFFFFF, 1, 0, 0, 0},
                                   {0, 1, 0, 0, 0, -1, 0xFFFFFFFF, 0, 1, 0, 0}};

class RenderModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEngineState();
        ResetClockForTests(&fakeCounter);
        setSeconds(1.0);
        TimerInit();
        module.Initialize(nullptr, false, 640, 480, 32);
        module.ClearCalls();
        CaptureLog(lines);
    }
    void TearDown() override {
        SetLogSink(nullptr, nullptr);
        ResetEngineState();
    }

    // A texture with a device texture of its own behind it.
    Texture* picture() {
        Texture* texture = module.CreateTexture();
        const std::vector<std::uint8_t> pixels(4 * 4 * 3, 200);
        texture->Upload(pixels.data(), 4, 4, false, false);
        return texture;
    }
    const RecordedCall& drawTriangle() {
        module.Draw(PrimitiveType::TriangleList, 3, kTriangle);
        return *module.Draws().back();
    }
    std::size_t linesContaining(const std::string& text) const {
        return static_cast<std::size_t>(std::count_if(lines.begin(), lines.end(), [&](auto& line) {
            return line.find(text) != std::string::npos;
        }));
    }

    RecordingModule module;
    std::vector<std::string> lines;
};

TEST_F(RenderModuleTest, ADrawCarriesTheWholeStateItWasDrawnWith) {
    Texture* base = picture();
    Texture* detail = picture();
    Matrix4 world;
    world.m[3][0] = 2.0f;
    module.SetWorldMatrix(world);
    module.SetLighting(true);
    RenderLight light;
    light.color = {1.0f, 0.5f, 0.25f};
    light.position = {0, 10, 0};
    module.SetLight(3, light);
    module.EnableLight(3, true);
    RenderMaterial material;
    material.diffuse = {0.5f, 1.0f, 0.0f, 0.0f};
    module.SetMaterial(material);
    module.SetFogEnable(true);
    module.SetFog(FogMode::Exponential, 1.0f, 50.0f, 0.25f);
    module.SetFogColor(0.0f, 0.0f, 1.0f);
    module.SetTexture(0, base);
    module.SetTexture(1, detail);
    module.SetColorOp(1, ColorOp::Add);
    module.SetColorArg1(1, ColorArg::Texture);
    module.SetAlphaBlend(true);
    module.SetSrcBlend(BlendFactor::SrcAlpha);
    module.SetDestBlend(BlendFactor::InvSrcAlpha);

    const RenderState& s = drawTriangle().state;
    EXPECT_EQ(s.world, world);
    EXPECT_TRUE(s.lighting && s.specular);
    EXPECT_TRUE(s.lights[3].enabled);
    EXPECT_EQ(s.lights[3].diffuse, (ColorValue{1.0f, 0.5f, 0.25f, 0.0f}));
    EXPECT_FALSE(s.lights[2].enabled);
    EXPECT_EQ(s.material.diffuse, (ColorValue{1.0f, 0.0f, 0.0f, 0.5f}));
    EXPECT_TRUE(s.fog.enabled);
    EXPECT_EQ(s.fog.mode, FogMode::Exponential);
    EXPECT_FLOAT_EQ(s.fog.density, 0.25f);
    EXPECT_EQ(s.fog.color, UnpackColor(0x0000FF));
    EXPECT_EQ(s.stages[0].texture, base->Handle());
    EXPECT_EQ(s.stages[0].colorOp, ColorOp::Modulate);
    EXPECT_EQ(s.stages[1].texture, detail->Handle());
    EXPECT_EQ(s.stages[1].colorOp, ColorOp::Add);
    EXPECT_EQ(s.stages[1].texCoordIndex, 1);
    EXPECT_EQ(s.stages[2].colorOp, ColorOp::Disable);
    EXPECT_EQ(s.blend, (BlendState{true, BlendFactor::SrcAlpha, BlendFactor::InvSrcAlpha}));
}

TEST_F(RenderModuleTest, EnvironmentMappingOnReflectsAndOffReadsCoordinateSetZero) {
    module.SetEnvironmentMapping(1, true);
    const TextureStage on = drawTriangle().state.stages[1];
    EXPECT_TRUE(on.environmentMapping);
    EXPECT_EQ(on.addressU, TextureAddress::Mirror);
    module.SetEnvironmentMapping(1, false);
    const TextureStage off = drawTriangle().state.stages[1];
    EXPECT_FALSE(off.environmentMapping);
    EXPECT_EQ(off.texCoordIndex, 0);
    EXPECT_EQ(off.addressV, TextureAddress::Wrap);
}

TEST_F(RenderModuleTest, StagesAndLightsUpToTheInterfaceLimits) {
    module.SetColorOp(kMaxTextureStages - 1, ColorOp::Add);
    module.SetColorOp(kMaxTextureStages, ColorOp::Add);  // past the last: nothing
    EXPECT_TRUE(module.EnableLight(kMaxLights - 1, true));
    EXPECT_FALSE(module.EnableLight(kMaxLights, true));
    const RenderState& s = drawTriangle().state;
    EXPECT_EQ(s.stages[kMaxTextureStages - 1].colorOp, ColorOp::Add);
    EXPECT_TRUE(s.lights[kMaxLights - 1].enabled);
}

TEST_F(RenderModuleTest, TransformsAndOrthographic) {
    Matrix4 world;
    world.m[0][0] = 5.0f;
    module.SetWorldMatrix(world);
    module.SetOrthographic(640, 480, 0, 1);
    const RenderState& s = drawTriangle().state;
    EXPECT_EQ(s.world, Matrix4::Identity());
    EXPECT_EQ(s.view, Matrix4::Identity());
    EXPECT_FLOAT_EQ(s.projection.m[0][0], 2.0f / 640.0f);
}

TEST_F(RenderModuleTest, ADegenerateCameraKeepsThePreviousProjection) {
    module.ApplyCamera();
    const Matrix4 before = module.ProjectionMatrix();
    module.SetNearPlane(10.0f);
    module.SetFarPlane(10.0f);
    module.ApplyCamera();
    EXPECT_EQ(module.ProjectionMatrix(), before);
}

TEST_F(RenderModuleTest, ViewportInPercentAndTheFullViewportRestored) {
    module.SetViewport(10, 20, 50, 50);
    EXPECT_EQ(module.CurrentViewport().x, 63);  // 10 % of 640 in float arithmetic
    EXPECT_EQ(module.CurrentViewport().y, 95);  // 20 * 0.01 * 480 is 95.99994 in float
    EXPECT_EQ(module.CurrentViewport().width, 320);
    EXPECT_EQ(module.CurrentViewport().height, 240);
    EXPECT_FLOAT_EQ(module.Aspect(), 0.75f);
    module.SetViewport(0, 0, 100, 25);
    EXPECT_FLOAT_EQ(module.Aspect(), 120.0f / 640.0f);
    module.SetViewport(5, 5, 0, 0);
    EXPECT_EQ(drawTriangle().state.viewport, (Viewport{0, 0, 640, 480, 0.0f, 1.0f}));
    EXPECT_FLOAT_EQ(module.Aspect(), 0.75f);
}

TEST_F(RenderModuleTest, ClearColourIsStoredAsEightBitsPerChannel) {
    module.SetClearColor(1.0f, 0.5f, 0.0f, 0.3f);
    module.Clear(0);
    EXPECT_EQ(module.ClearColor(), 0x00FF7F00u);
    module.EnableColorClear(false);
    module.Clear(0);
    EXPECT_EQ(module.Last("Clear")->values[0], 0.0);  // depth only
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
    EXPECT_EQ(module.LiveStateBlockCount(), 1u);  // the second recording went
    module.ReleaseStateBlock(first);
    EXPECT_EQ(module.LiveStateBlockCount(), 1u);
    module.ReleaseStateBlock(second);
    EXPECT_EQ(module.LiveStateBlockCount(), 0u);
    EXPECT_EQ(module.FindStateBlock(42), -1);
}

TEST_F(RenderModuleTest, AStateBlockRestoresExactlyTheFieldsItRecorded) {
    RenderModule::StateBlock block = 0;
    module.BeginStateBlock();
    module.SetColorOp(0, ColorOp::Add);
    module.SetLight(2, RenderLight{});
    module.SetDepthTest(false);
    module.EndStateBlock(block, -1);
    // Recording changed nothing.
    EXPECT_EQ(drawTriangle().state.stages[0].colorOp, ColorOp::Modulate);
    EXPECT_TRUE(module.State().depth.enabled);

    module.SetAlphaOp(0, AlphaOp::Add);
    module.EnableLight(2, true);
    module.ApplyStateBlock(block);
    const RenderState& s = drawTriangle().state;
    EXPECT_EQ(s.stages[0].colorOp, ColorOp::Add);
    EXPECT_EQ(s.stages[0].alphaOp, AlphaOp::Add);  // not recorded: left alone
    EXPECT_TRUE(s.lights[2].enabled);              // the light's values, not its switch
    EXPECT_FALSE(s.depth.enabled);
    module.ReleaseStateBlock(block);
    EXPECT_EQ(module.LiveStateBlockCount(), 0u);
}

TEST_F(RenderModuleTest, AStateBlockWithAReleasedTextureBindsNothingAndSaysSoOnce) {
    Texture* texture = picture();
    RenderModule::StateBlock block = 0;
    module.BeginStateBlock();
    module.SetTexture(0, texture);
    module.EndStateBlock(block, -1);
    module.DestroyTexture(texture);
    // Another texture may take the released slot: the block must not reach it.
    Texture* newcomer = picture();
    module.SetTexture(0, newcomer);

    module.ApplyStateBlock(block);
    EXPECT_FALSE(drawTriangle().state.stages[0].texture.Valid());
    module.ApplyStateBlock(block);
    EXPECT_FALSE(drawTriangle().state.stages[0].texture.Valid());
    EXPECT_EQ(linesContaining("binds a released texture on stage 0"), 1u);
    module.ReleaseStateBlock(block);
}

TEST_F(RenderModuleTest, ATextureReleasedWhileSetIsNotDrawnWith) {
    Texture* texture = picture();
    module.SetTexture(0, texture);
    module.DestroyTexture(texture);
    EXPECT_FALSE(drawTriangle().state.stages[0].texture.Valid());
    EXPECT_EQ(linesContaining("the texture of stage 0 was released"), 1u);
}

TEST_F(RenderModuleTest, StaleHandlesAreRefused) {
    HandlePool<TextureTag, int> pool;
    const TextureHandle first = pool.Allocate(1);
    ASSERT_TRUE(pool.Release(first));
    const TextureHandle second = pool.Allocate(2);
    EXPECT_EQ(first.Index(), second.Index());  // the slot is reused ...
    EXPECT_NE(first, second);                  // ... under a new generation
    EXPECT_EQ(pool.Get(first), nullptr);
    EXPECT_FALSE(pool.Release(first));
    EXPECT_EQ(*pool.Get(second), 2);
    EXPECT_EQ(pool.Get(TextureHandle{}), nullptr);

    // A mesh buffer's handle goes with it; nothing of it reaches the device after.
    MeshBuffer* buffer = module.CreateMeshBuffer();
    buffer->Create(false, 3, 3, false);
    buffer->DrawTriangles(0);
    EXPECT_EQ(module.Count("DrawBuffer"), 1u);
    const MeshHandle handle = buffer->Handle();
    module.DestroyMeshBuffer(buffer);
    EXPECT_EQ(module.Count("ReleaseBuffer"), 1u);
    EXPECT_EQ(module.DeviceTexture(TextureHandle{handle.id}), nullptr);

    // A vertex shader handle nothing loaded is not taken.
    module.SetVertexShader(0x00500003u);
    EXPECT_EQ(drawTriangle().state.vertexShader.handle, 0u);
    EXPECT_EQ(linesContaining("unknown vertex shader handle (0x00500003) refused"), 1u);
}

TEST_F(RenderModuleTest, SharedTexturesKeepTheirDeviceTextureUntilTheLastUser) {
    Texture* first = module.CreateTexture();
    Texture* second = module.CreateTexture();
    first->CreateRenderTarget(64, "mirror", 0);
    second->CreateRenderTarget(32, "mirror", 0);
    EXPECT_EQ(first->Handle(), second->Handle());
    EXPECT_EQ(second->Width(), 64);
    EXPECT_EQ(module.Count("CreateTexture"), 1u);
    module.DestroyTexture(first);
    EXPECT_EQ(module.Count("ReleaseTexture"), 0u);
    module.DestroyTexture(second);
    EXPECT_EQ(module.Count("ReleaseTexture"), 1u);
    EXPECT_EQ(module.LiveDeviceTextureCount(), 0u);
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
        return std::count_if(std::begin(textures), std::end(textures),
                             [&](Texture* t) { return !module.HoldsTexture(t); });
    };
    EXPECT_EQ(frameAt(1.25), 0);
    EXPECT_EQ(frameAt(1.31), 1);
    EXPECT_FALSE(module.HoldsTexture(textures[0]));
    EXPECT_EQ(frameAt(1.45), 1);
    EXPECT_EQ(frameAt(1.52), 2);
    module.DestroyAllTextures();
    EXPECT_EQ(frameAt(1.53), 3);
    EXPECT_EQ(module.PendingTextureCount(), 0u);
}

// What a long run's report counts: everything handed out until it is gone,
// a texture waiting for its deferred release included.
TEST_F(RenderModuleTest, LiveCountsFollowWhatIsHandedOutUntilItIsDestroyed) {
    module.SetDeferredRelease(true, 0.2f);
    Texture* shown = picture();
    Texture* bare = module.CreateTexture();
    MeshBuffer* buffer = module.CreateMeshBuffer();
    buffer->Create(false, 3, 3, false);
    MeshBuffer* empty = module.CreateMeshBuffer();
    EXPECT_EQ(module.LiveTextureCount(), 2u);
    EXPECT_EQ(module.LiveDeviceTextureCount(), 1u);
    EXPECT_EQ(module.LiveMeshBufferCount(), 2u);
    EXPECT_EQ(module.LiveDeviceBufferCount(), 1u);

    module.ReleaseTexture(shown);
    module.ReleaseTexture(bare);
    EXPECT_EQ(module.LiveTextureCount(), 2u) << "waiting, not gone";
    module.DestroyAllTextures();
    module.DestroyMeshBuffer(buffer);
    module.DestroyMeshBuffer(empty);
    EXPECT_EQ(module.LiveTextureCount(), 0u);
    EXPECT_EQ(module.LiveDeviceTextureCount(), 0u);
    EXPECT_EQ(module.LiveMeshBufferCount(), 0u);
    EXPECT_EQ(module.LiveDeviceBufferCount(), 0u);
}

TEST_F(RenderModuleTest, WithoutDeferralATextureGoesAtOnce) {
    Texture* texture = module.CreateTexture();
    module.ReleaseTexture(texture);
    EXPECT_FALSE(module.HoldsTexture(texture));
}

TEST_F(RenderModuleTest, DestroyingATextureTwiceIsReportedNotDone) {
    Texture* texture = module.CreateTexture();
    module.DestroyTexture(texture);
    module.DestroyTexture(texture);
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines.back().find("Warning : Bad Texture pointer(0x"), std::string::npos);
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

TEST_F(RenderModuleTest, TheProbeLeavesFogOffAndAnswersByThePixel) {
    module.SetFogEnable(true);
    EXPECT_TRUE(module.IsPointVisible({0, 0, 0}));
    EXPECT_FALSE(module.FogEnabled());
    module.SetPointVisibility(false);
    EXPECT_FALSE(module.IsPointVisible({0, 0, 0}));
    const RenderState& probe = module.Draws().back()->state;
    EXPECT_FALSE(probe.stages[0].texture.Valid());
    EXPECT_FALSE(probe.blend.enabled);
}

}  // namespace
}  // namespace vesta::test
