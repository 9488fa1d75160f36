// The OpenGL module end to end on Mesa's software rasteriser, headless: the
// device, the frame in its format, the transforms and viewport as the
// pictures need them, render targets, the occlusion probe and the text printer.

#include "render/gl/GlModule.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

#include "EngineState.h"
#include "GlTestSupport.h"
#include "log/Log.h"
#include "render/gl/GlDrivers.h"
#include "render/gl/GlFrameBuffers.h"

namespace vesta::test {
namespace {

constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kGreen = 0xFF00FF00;
constexpr std::uint32_t kBlue = 0xFF0000FF;

class GlModuleTest : public ::testing::Test {
protected:
    void SetUp() override { ResetEngineState(); }
    void TearDown() override {
        module.reset();
        ResetEngineState();
    }

    GlModule& start(int width = 64, int height = 48, int bits = 32) {
        module = std::make_unique<GlModule>();
        RenderDriver& driver = module->GetDriver(0);
        module->SelectDriver(&driver);
        module->SelectDevice(driver.devices.at(0).get());
        EXPECT_TRUE(module->Initialize(nullptr, false, width, height, bits));
        module->SetClearColor(0, 0, 0, 0);
        module->BeginFrame();
        module->Clear(0);
        return *module;
    }

    // X8R8G8B8 of pixel (x, y), top row first.
    std::uint32_t pixel(int x, int y) {
        int pitch = 0;
        const std::uint8_t* frame = module->LockBackBuffer(pitch);
        std::uint32_t value = 0;
        std::memcpy(&value, frame + y * pitch + x * 4, 4);
        module->UnlockBackBuffer();
        return value & 0x00FFFFFF;
    }

    // A screen-space rectangle in the orthographic projection used by 2D layers.
    void quad(float x0, float y0, float x1, float y1, std::uint32_t color, float z = 0.5f) {
        const RenderVertex vertices[4] = {{x0, y0, z, 0, 0, 0, color, 0, 0, 0, 0},
                                          {x1, y0, z, 0, 0, 0, color, 1, 0, 0, 0},
                                          {x0, y1, z, 0, 0, 0, color, 0, 1, 0, 0},
                                          {x1, y1, z, 0, 0, 0, color, 1, 1, 0, 0}};
        module->Draw(PrimitiveType::TriangleStrip, 4, vertices);
    }

    // Orthographic with x to the right and y up, origin at the centre, as layers draw.
    void flat() {
        module->SetOrthographic(static_cast<float>(module->BackBufferWidth()),
                                static_cast<float>(module->BackBufferHeight()), 0.0f, 1.0f);
        module->SetColorOp(0, ColorOp::SelectArg1);
        module->SetColorArg1(0, ColorArg::Diffuse);
        module->SetTexture(0, nullptr);
    }

    // The back buffer's centre after `target` is drawn over all of it.
    std::uint32_t shownCentre(Texture* target) {
        module->SetRenderTarget(nullptr, 0);
        flat();
        module->SetDepthTest(false);
        module->SetTexture(0, target);
        module->SetColorArg1(0, ColorArg::Texture);
        quad(-32, -24, 32, 24, 0xFFFFFFFF);
        module->SetTexture(0, nullptr);
        module->SetColorArg1(0, ColorArg::Diffuse);
        return pixel(32, 24);
    }

    std::unique_ptr<GlModule> module;
};

TEST_F(GlModuleTest, EnumeratesAHeadlessDriverWithTheStandardModes) {
    GlModule gl;
    ASSERT_GE(gl.GetDriverCount(), 1);
    const RenderDriver& driver = gl.GetDriver(0);
    ASSERT_FALSE(driver.devices.empty());
    EXPECT_EQ(driver.devices[0]->name, "HAL");
    const auto& modes = driver.devices[0]->modes;
    const auto has = [&](int w, int h, int bits) {
        return std::any_of(modes.begin(), modes.end(), [&](const VideoMode& m) {
            return m.width == w && m.height == h && m.bitsPerPixel == bits;
        });
    };
    EXPECT_TRUE(has(640, 480, 16));
    EXPECT_TRUE(has(1024, 768, 32));
}

TEST_F(GlModuleTest, InitializeWithoutSelectionsStops) {
    GlModule gl;
    EXPECT_THROW(gl.Initialize(nullptr, false, 64, 64, 32), CUserException);
    EXPECT_STREQ(LastUserError(), "No driver selected.");
}

TEST_F(GlModuleTest, ClearFillsTheFrameWithTheClearColour) {
    start();
    module->SetClearColor(1.0f, 0.5f, 0.0f, 0.0f);
    module->Clear(0);
    EXPECT_EQ(pixel(0, 0), 0xFF7F00u);
    EXPECT_EQ(pixel(63, 47), 0xFF7F00u);
    module->EnableColorClear(false);
    module->SetClearColor(0, 0, 1, 0);
    module->Clear(0);
    EXPECT_EQ(pixel(5, 5), 0xFF7F00u);  // depth only
}

TEST_F(GlModuleTest, TheBackBufferHoldsTheTopRowFirst) {
    start();
    flat();
    // y up in the projection: the upper half of the picture.
    quad(-32, 0, 32, 24, kRed);
    EXPECT_EQ(pixel(10, 2), 0xFF0000u);
    EXPECT_EQ(pixel(10, 45), 0u);
}

// Queued frames come back oldest first, as each frame was when queued, and
// at most one fewer than the buffers wait at a time (the last is drawn into).
TEST_F(GlModuleTest, FrameCopiesAreReadInTheirOrder) {
    start();
    flat();
    int pitch = 0;
    EXPECT_EQ(module->ReadFrameCopy(pitch), nullptr);
    constexpr int kWaiting = GlFrameBuffers::kBuffers - 1;
    std::vector<std::uint32_t> colours;
    for (int i = 0; i <= kWaiting; ++i) {
        colours.push_back(0xFF000000u | (std::uint32_t(0x1F3A5B + i * 0x2A1B17) & 0xFFFFFFu));
    }
    for (int i = 0; i < kWaiting; ++i) {
        quad(-32, 0, 32, 24, colours[i]);
        ASSERT_TRUE(module->QueueFrameCopy()) << i;
        module->Clear(0);
    }
    quad(-32, 0, 32, 24, colours[kWaiting]);
    EXPECT_FALSE(module->QueueFrameCopy());
    const auto expectCopy = [&](std::uint32_t expected) {
        const std::uint8_t* copy = module->ReadFrameCopy(pitch);
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(pitch, 64 * 4);
        std::uint32_t top = 0, bottom = 0;
        std::memcpy(&top, copy + 2 * pitch + 40, 4);
        std::memcpy(&bottom, copy + 45 * pitch + 40, 4);
        EXPECT_EQ(top, expected);  // the X byte reads 0xFF
        EXPECT_EQ(bottom, 0xFF000000u);
    };
    expectCopy(colours[0]);
    ASSERT_TRUE(module->QueueFrameCopy());
    // The back buffer is still the frame just queued, until the next clear.
    EXPECT_EQ(pixel(10, 2), colours[kWaiting] & 0xFFFFFFu);
    for (int i = 1; i <= kWaiting; ++i) {
        expectCopy(colours[i]);
    }
    EXPECT_EQ(module->ReadFrameCopy(pitch), nullptr);
}

// Recording rotates the buffers drawn into; a frame whose first clear leaves
// some of the colour still finds the last frame's picture underneath, not
// the older picture its new buffer held.
TEST_F(GlModuleTest, AFrameThatIsNotClearedWholeStartsFromTheLastOne) {
    start();
    flat();
    int pitch = 0;
    quad(-32, 0, 32, 24, kRed);  // the top half
    ASSERT_TRUE(module->QueueFrameCopy());
    ASSERT_NE(module->ReadFrameCopy(pitch), nullptr);  // its buffer is free again
    module->Clear(0);
    quad(-32, -24, 32, 0, kGreen);  // the bottom half
    ASSERT_TRUE(module->QueueFrameCopy());
    // Drawing goes on in the buffer that still holds the red frame.
    module->EnableColorClear(false);
    module->Clear(0);
    EXPECT_EQ(pixel(10, 2), 0u);
    EXPECT_EQ(pixel(10, 45), 0x00FF00u);
    module->EnableColorClear(true);

    ASSERT_TRUE(module->QueueFrameCopy());  // green below, as before
    ASSERT_NE(module->ReadFrameCopy(pitch), nullptr);
    module->SetViewport(50, 0, 50, 50);  // the top-right quarter
    module->SetClearColor(0, 0, 1, 0);
    module->Clear(0);
    EXPECT_EQ(pixel(40, 10), 0x0000FFu);
    EXPECT_EQ(pixel(10, 10), 0u);
    EXPECT_EQ(pixel(10, 45), 0x00FF00u);
    EXPECT_EQ(pixel(40, 45), 0x00FF00u);

    // A clear of all of it has nothing underneath to keep.
    ASSERT_TRUE(module->QueueFrameCopy());
    module->SetViewport(0, 0, 0, 0);
    module->Clear(0);
    EXPECT_EQ(pixel(10, 45), 0x0000FFu);
    EXPECT_EQ(pixel(40, 10), 0x0000FFu);
}

// The frame is X8R8G8B8: whatever alpha a draw writes, blending reads the
// frame's alpha as 1.
// Both before the first read-back and after it, when the frame has taken
// the format with an alpha channel.
TEST_F(GlModuleTest, TheFramesAlphaReadsAsOne) {
    start();
    flat();
    module->SetAlphaOp(0, AlphaOp::SelectArg1);
    module->SetAlphaArg1(0, AlphaArg::Diffuse);
    for (int pass = 0; pass < 2; ++pass) {
        module->SetAlphaBlend(false);
        quad(-32, -24, 32, 24, 0x00FF0000);  // red, alpha 0 written
        module->SetAlphaBlend(true);
        module->SetSrcBlend(BlendFactor::DestAlpha);
        module->SetDestBlend(BlendFactor::InvDestAlpha);
        quad(-32, -24, 0, 24, kGreen);  // the left half: all source
        module->SetSrcBlend(BlendFactor::InvDestAlpha);
        module->SetDestBlend(BlendFactor::DestAlpha);
        quad(0, -24, 32, 24, kGreen);  // the right half: all destination
        EXPECT_EQ(pixel(10, 20), 0x00FF00u) << "pass " << pass;
        EXPECT_EQ(pixel(50, 20), 0xFF0000u) << "pass " << pass;
        int pitch = 0;
        const std::uint8_t* frame = module->LockBackBuffer(pitch);
        EXPECT_EQ(frame[20 * pitch + 50 * 4 + 3], 0xFF) << "pass " << pass;
        module->UnlockBackBuffer();
    }
}

TEST_F(GlModuleTest, SixteenBitFramesLockAsR5G6B5) {
    start(64, 48, 16);
    EXPECT_EQ(module->RedMask(), 0xF800u);
    flat();
    quad(-32, -24, 32, 24, kGreen);
    int pitch = 0;
    const std::uint8_t* frame = module->LockBackBuffer(pitch);
    EXPECT_EQ(pitch, 128);
    std::uint16_t value = 0;
    std::memcpy(&value, frame + 10 * pitch + 20, 2);
    module->UnlockBackBuffer();
    EXPECT_EQ(value, 0x07E0);
}

TEST_F(GlModuleTest, ViewportInPercentLimitsDrawingAndClearing) {
    start();
    flat();
    module->SetViewport(50, 0, 50, 50);  // the top-right quarter
    quad(-32, -24, 32, 24, kRed);
    EXPECT_EQ(pixel(40, 10), 0xFF0000u);
    EXPECT_EQ(pixel(10, 10), 0u);
    EXPECT_EQ(pixel(40, 40), 0u);
    module->SetViewport(0, 0, 0, 0);
    EXPECT_FLOAT_EQ(module->Aspect(), 0.75f);
}

TEST_F(GlModuleTest, DepthTestKeepsTheNearerQuad) {
    start();
    flat();
    module->SetDepthTest(true);
    module->SetDepthFunc(Comparison::LessEqual);
    quad(-32, -24, 32, 24, kRed, 0.2f);
    quad(-32, -24, 32, 24, kGreen, 0.6f);
    EXPECT_EQ(pixel(32, 24), 0xFF0000u);
}

GLint boundDepthAttachment() {
    GLint type = GL_NONE;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT,
                                          GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE, &type);
    return type;
}

// Depth buffers are attached at their first use, and the clears that
// waited for them (across render targets, and a new target's own) hold then.
TEST_F(GlModuleTest, DepthComesWithItsFirstUseAndTheClearsThatWaitedForIt) {
    start();
    flat();
    module->SetDepthTest(false);
    quad(-32, -24, 32, 24, kBlue);
    Texture* target = module->CreateTexture();
    ASSERT_TRUE(target->CreateRenderTarget(32, nullptr, 0));
    module->SetRenderTarget(target, 0);
    flat();
    module->SetDepthTest(true);
    module->SetDepthFunc(Comparison::LessEqual);
    quad(-16, -16, 16, 16, kRed, 0.9f);  // over the new target's depth of 1
    quad(-16, -16, 16, 16, kGreen, 0.95f);
    EXPECT_EQ(shownCentre(target), 0xFF0000u);
    EXPECT_EQ(boundDepthAttachment(), GL_NONE);
    // The back buffer's depth, cleared to 1 before the target was drawn.
    module->SetDepthTest(true);
    quad(-32, -24, 32, 24, kGreen, 0.6f);
    quad(-32, -24, 32, 24, kRed, 0.8f);
    EXPECT_EQ(boundDepthAttachment(), GL_RENDERBUFFER);
    EXPECT_EQ(pixel(32, 24), 0x00FF00u);
    module->ReleaseTexture(target);
}

// A target released while it is drawn into leaves nothing behind for the
// texture that takes its place.
TEST_F(GlModuleTest, ATargetReleasedWhileBoundLeavesItsSuccessorAsNew) {
    start();
    Texture* first = module->CreateTexture();
    ASSERT_TRUE(first->CreateRenderTarget(32, nullptr, 0));
    module->SetRenderTarget(first, 0);
    flat();
    module->SetDepthTest(true);
    module->SetDepthFunc(Comparison::LessEqual);
    quad(-16, -16, 16, 16, kBlue, 0.5f);  // gives it its depth buffer
    module->DestroyTexture(first);
    Texture* second = module->CreateTexture();
    ASSERT_TRUE(second->CreateRenderTarget(32, nullptr, 0));
    module->SetRenderTarget(nullptr, 0);
    module->SetRenderTarget(second, 0);
    quad(-16, -16, 16, 16, kGreen, 0.9f);  // over the new target's depth of 1
    quad(-16, -16, 16, 16, kRed, 0.95f);   // behind the green
    EXPECT_EQ(shownCentre(second), 0x00FF00u);
    module->DestroyTexture(second);
}

TEST_F(GlModuleTest, ThePerspectiveCameraCentresTheTarget) {
    start();
    module->SetColorOp(0, ColorOp::SelectArg1);
    module->SetColorArg1(0, ColorArg::Diffuse);
    module->SetCameraPosition({0, 0, -5});
    module->SetCameraTarget({0, 0, 0});
    module->SetFieldOfView(0.7853982f);
    module->SetNearPlane(1);
    module->SetFarPlane(100);
    module->ApplyCamera();
    module->SetWorldMatrix(Matrix4::Identity());
    const RenderVertex triangle[3] = {{-0.2f, -0.2f, 0, 0, 0, 0, kGreen, 0, 0, 0, 0},
                                      {0.0f, 0.3f, 0, 0, 0, 0, kGreen, 0, 0, 0, 0},
                                      {0.2f, -0.2f, 0, 0, 0, 0, kGreen, 0, 0, 0, 0}};
    module->Draw(PrimitiveType::TriangleList, 3, triangle);
    EXPECT_EQ(pixel(32, 24), 0x00FF00u);
    EXPECT_EQ(pixel(2, 2), 0u);
    EXPECT_TRUE(module->IsPointVisible({0, 0, 0}));
    EXPECT_FALSE(module->IsPointVisible({0, 0, -10}));  // behind the camera: off screen
}

TEST_F(GlModuleTest, TheProbeSeesWhetherAPointIsHidden) {
    start();
    module->SetCameraPosition({0, 0, -5});
    module->ApplyCamera();
    module->SetColorOp(0, ColorOp::SelectArg1);
    module->SetColorArg1(0, ColorArg::Diffuse);
    module->SetDepthTest(true);
    // A wall between the camera and the point behind it.
    const RenderVertex wall[4] = {{-5, -5, 0, 0, 0, 0, kRed, 0, 0, 0, 0},
                                  {-5, 5, 0, 0, 0, 0, kRed, 0, 0, 0, 0},
                                  {5, -5, 0, 0, 0, 0, kRed, 0, 0, 0, 0},
                                  {5, 5, 0, 0, 0, 0, kRed, 0, 0, 0, 0}};
    module->Draw(PrimitiveType::TriangleStrip, 4, wall);
    module->SetFogEnable(true);
    EXPECT_FALSE(module->IsPointVisible({0, 0, 3}));
    EXPECT_TRUE(module->IsPointVisible({0, 0, -2}));
    EXPECT_FALSE(module->FogEnabled());
}

TEST_F(GlModuleTest, RenderTargetsAreDrawnIntoAndSampled) {
    start();
    Texture* target = module->CreateTexture();
    ASSERT_TRUE(target->CreateRenderTarget(32, nullptr, 0));
    module->SetRenderTarget(target, 0);
    module->SetClearColor(0, 0, 1, 0);
    module->Clear(0);
    EXPECT_EQ(shownCentre(target), 0x0000FFu);
    module->ReleaseTexture(target);
}

TEST_F(GlModuleTest, ANamedRenderTargetIsSharedWithItsFramebuffer) {
    start();
    Texture* first = module->CreateTexture();
    ASSERT_TRUE(first->CreateRenderTarget(32, "Mirror", 0));
    Texture* second = module->CreateTexture();
    ASSERT_TRUE(second->CreateRenderTarget(64, "Mirror", 0));
    EXPECT_EQ(second->Width(), 32);  // the size of the one shared
    module->DestroyTexture(first);
    // The survivor still draws into the shared picture.
    module->SetRenderTarget(second, 0);
    module->SetClearColor(0, 1, 0, 0);
    module->Clear(0);
    module->SetRenderTarget(nullptr, 0);
    flat();
    module->SetTexture(0, second);
    module->SetColorArg1(0, ColorArg::Texture);
    quad(-32, -24, 32, 24, 0xFFFFFFFF);
    EXPECT_EQ(pixel(32, 24), 0x00FF00u);
    EXPECT_EQ(pixel(5, 5), 0x00FF00u);
}

TEST_F(GlModuleTest, RenderTargetsHaveNoAlphaOfTheirOwn) {
    start();
    Texture* target = module->CreateTexture();
    ASSERT_TRUE(target->CreateRenderTarget(32, nullptr, 0));
    module->SetRenderTarget(target, 0);
    module->SetClearColor(0, 0, 0, 0);
    module->Clear(0);
    module->SetOrthographic(32, 32, 0, 1);
    module->SetDepthTest(false);
    module->SetColorOp(0, ColorOp::SelectArg1);
    module->SetColorArg1(0, ColorArg::Diffuse);
    module->SetAlphaOp(0, AlphaOp::SelectArg1);
    module->SetAlphaArg1(0, AlphaArg::Diffuse);
    module->SetTexture(0, nullptr);
    quad(-16, -16, 16, 16, 0x00804020);  // writes alpha 0
    // White weighted by the destination's alpha: X8R8G8B8 reads 1 there.
    module->SetAlphaBlend(true);
    module->SetSrcBlend(BlendFactor::DestAlpha);
    module->SetDestBlend(BlendFactor::Zero);
    quad(-16, -16, 16, 16, 0xFFFFFFFF);
    module->SetAlphaBlend(false);
    module->SetRenderTarget(nullptr, 0);
    const std::uint8_t* texels = target->LockPixels(0);
    EXPECT_EQ(texels[0], 0xFF);
    EXPECT_EQ(texels[3], 0xFF);  // and its alpha reads 1 when sampled
    target->UnlockPixels();
}

TEST_F(GlModuleTest, AStageReadsTheCoordinateSetItsIndexNames) {
    start();
    // Left texel red, right texel green.
    const std::uint8_t texels[] = {0, 0, 255, 255, 0, 255, 0, 255};
    Texture* texture = module->CreateTexture();
    ASSERT_TRUE(texture->Upload(texels, 2, 1, true, false));
    flat();
    module->SetColorOp(0, ColorOp::SelectArg1);
    module->SetColorArg1(0, ColorArg::Diffuse);
    module->SetTexture(1, texture);
    module->SetColorOp(1, ColorOp::SelectArg1);
    module->SetColorArg1(1, ColorArg::Texture);
    module->SetTextureFiltering(1, false);
    const auto draw = [&] {
        RenderVertex v[4];
        for (int k = 0; k < 4; ++k) {
            v[k] = {k & 1 ? 32.0f : -32.0f,
                    k & 2 ? 24.0f : -24.0f,
                    0.5f,
                    0,
                    0,
                    0,
                    0xFFFFFFFF,
                    0.25f,
                    0.5f,
                    0.75f,
                    0.5f};
        }
        module->Draw(PrimitiveType::TriangleStrip, 4, v);
        return pixel(32, 24);
    };
    EXPECT_EQ(draw(), 0x00FF00u);  // stage 1 starts on set 1
    module->SetEnvironmentMapping(1, true);
    module->SetEnvironmentMapping(1, false);
    EXPECT_EQ(draw(), 0xFF0000u);  // switched off: set 0
}

TEST_F(GlModuleTest, AnisotropyOnlyWhereAGpuOffersIt) {
    EXPECT_TRUE(UseAnisotropy("AMD Radeon RX 6600 (radeonsi, navi23)", 16.0f));
    EXPECT_FALSE(UseAnisotropy("NVIDIA GeForce", 1.0f));
    EXPECT_FALSE(UseAnisotropy("llvmpipe (LLVM 15.0.6, 256 bits)", 16.0f));
    EXPECT_FALSE(UseAnisotropy("softpipe", 16.0f));
    // Here, on llvmpipe, filtering stays bilinear.
    start();
    module->SetTextureFiltering(0, true);
    EXPECT_EQ(module->State().stages[0].filter, TextureFilter::Linear);
}

TEST_F(GlModuleTest, CubeFacesTakeTheirOwnPictures) {
    start();
    Texture* cube = module->CreateTexture();
    ASSERT_TRUE(cube->CreateRenderTarget(16, nullptr, 1));
    for (int face = 0; face < 6; ++face) {
        cube->SetCubeFace(face);
        module->SetClearColor(face == 0 ? 1.0f : 0.0f, 0.0f, face == 0 ? 0.0f : 1.0f, 0);
        module->Clear(0);
    }
    module->SetRenderTarget(nullptr, 0);
    EXPECT_EQ(pixel(1, 1), 0u);  // the frame was not touched
    Texture* flatTexture = module->CreateTexture();
    EXPECT_THROW(flatTexture->SetCubeFace(0), CUserException);
    EXPECT_STREQ(LastUserError(), "Cannot set CubeMap level on standard texture.");
}

TEST_F(GlModuleTest, UploadedPicturesAreResizedToPowersOfTwo) {
    start();
    std::vector<std::string> lines;
    SetLogSink(
        [](void* sink, const char* line) {
            static_cast<std::vector<std::string>*>(sink)->push_back(line);
        },
        &lines);
    std::vector<std::uint8_t> picture(300 * 200 * 3, 0x80);
    Texture* first = module->CreateTexture();
    ASSERT_TRUE(first->Upload(picture.data(), 300, 200, false, false));
    EXPECT_EQ(first->Width(), 256);
    EXPECT_EQ(first->Height(), 256);
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines.back().find("PERFORMANCE Warning"), std::string::npos);
    // Unnamed pictures are their own: nothing to share with a second one.
    Texture* second = module->CreateTexture();
    EXPECT_FALSE(second->Upload(nullptr, 0, 0, false, false));
    EXPECT_EQ(module->SharedTextures().Size(), 0u);
    module->DestroyTexture(first);
    module->DestroyTexture(second);
    SetLogSink(nullptr, nullptr);
}

TEST_F(GlModuleTest, TheTextPrinterWritesWhiteText) {
    start();
    Font* font = module->GetFont("font1.png");
    font->Print(0, 4, 4, "%s", "MMMM");
    // Anti-aliased white: every lit pixel is a grey, the stems nearly white.
    int bright = 0;
    for (int y = 4; y < 18; ++y) {
        for (int x = 4; x < 40; ++x) {
            const std::uint32_t value = pixel(x, y);
            const std::uint32_t red = value >> 16, green = (value >> 8) & 0xFF, blue = value & 0xFF;
            EXPECT_TRUE(red == green && green == blue) << std::hex << value;
            bright += red > 0xC0 ? 1 : 0;
        }
    }
    EXPECT_GT(bright, 20);
    EXPECT_EQ(pixel(60, 40), 0u);
    if (std::getenv("VESTA_KEEP_FRAMES")) {
        int pitch = 0;
        const std::uint8_t* frame = module->LockBackBuffer(pitch);
        Image image{64, 48, {}};
        for (int i = 0; i < 64 * 48; ++i) {
            image.pixels.insert(image.pixels.end(),
                                {frame[i * 4 + 2], frame[i * 4 + 1], frame[i * 4], 255});
        }
        module->UnlockBackBuffer();
        WritePng("text-printer.png", image);
    }
}

}  // namespace
}  // namespace vesta::test
