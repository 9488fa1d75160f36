// Scenes drawn for real by the OpenGL module (Mesa, headless). Each test
// builds a scene in code, writes it as a model file, loads it as a player
// would and checks what lands on the screen. Every picture is written as
// scene-NAME.png next to the test program, to be looked at.

#include <gtest/gtest.h>

#include <cmath>

#include "EngineState.h"
#include "GlTestSupport.h"
#include "TestSupport.h"
#include "platform/Clock.h"
#include "render/gl/GlModule.h"
#include "scene/Mdl4Writer.h"
#include "scene/SceneBuild.h"

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
        gl.SetClearColor(kBackground.r / 255.0f, kBackground.g / 255.0f, kBackground.b / 255.0f, 0);
        gl.BeginFrame();
        gl.Clear(0);
        gl.SetNearPlane(1.0f);
        gl.SetFarPlane(1000.0f);
        gl.SetCullMode(CullMode::CounterClockwise);
        gl.ApplyCamera();
        gl.SetDepthTest(true);
        gl.SetDepthWrite(true);
        m_scene->Render(frame);
        gl.EndFrame();
        Image image = readFrame();
        WritePng(std::string(VESTA_SCENE_PICTURES) + "/scene-" + name + ".png", image);
        return image;
    }

    Image readFrame() {
        int pitch = 0;
        const std::uint8_t* frame = gl.LockBackBuffer(pitch);
        Image image{kWidth, kHeight, std::vector<std::uint8_t>(kWidth * kHeight * 4)};
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const std::uint8_t* bgrx = frame + y * pitch + x * 4;
                std::uint8_t* rgba = &image.pixels[std::size_t(y * kWidth + x) * 4];
                rgba[0] = bgrx[2];
                rgba[1] = bgrx[1];
                rgba[2] = bgrx[0];
                rgba[3] = 255;
            }
        }
        gl.UnlockBackBuffer();
        return image;
    }

    // Mean x of the pixels that are not background; -1 when there are none.
    static float centreOfShape(const Image& image) {
        double sum = 0;
        int count = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const Rgba p = image.At(x, y);
                if (std::abs(p.r - kBackground.r) + std::abs(p.g - kBackground.g) +
                        std::abs(p.b - kBackground.b) > 24) {
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

}  // namespace
}  // namespace vesta::test
