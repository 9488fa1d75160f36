#pragma once
// Modifiers drawn for real by the OpenGL module (Mesa, headless), in a model
// player's order: the list's pre-render pass, the scene, the list's render
// passes. The scene is built in code and read back as a player reads its
// file. Pictures are written as modifier-NAME.png next to the test program.

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "EngineState.h"
#include "GlTestSupport.h"
#include "PictureWriters.h"
#include "TestSupport.h"
#include "platform/Clock.h"
#include "render/gl/GlModule.h"
#include "scene/Animation.h"
#include "scene/Mdl4Writer.h"
#include "scene/SceneBuild.h"
#include "scene/player/ModifierList.h"

namespace vesta::test {

using Parameters = std::vector<std::pair<std::string, std::string>>;

class ModifierPictureTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 160;
    static constexpr int kHeight = 120;
    static constexpr Rgba kBackground{0, 0, 40, 255};

    void SetUp() override {
        ResetEngineState();
        SetFixedStep(true, 100.0f);
        SetFrameIndex(0);
        RenderDriver& driver = gl.GetDriver(0);
        gl.SelectDriver(&driver);
        gl.SelectDevice(driver.devices.at(0).get());
        ASSERT_TRUE(gl.Initialize(nullptr, false, kWidth, kHeight, 32));
        WriteFile(m_dir.Path() / "dot.png", dotPng());
    }
    void TearDown() override {
        restartList();
        m_list.reset();
        if (m_scene) {
            m_scene->ReleaseResources();
        }
        ResetEngineState();
    }

    // A camera at (0, 0, -100) looking at the origin, a dynamic light beside it.
    static void addViewer(CScene& scene) {
        scene.lastFrame = 300;
        AddCamera(scene, "Camera01", {0, 0, -100}, {0, 0, 0}, 0.8f);
        AddLight(scene, "Lamp.Dyna", {0, 0, -100}, {1, 1, 1});
    }

    CScene& load(CScene& built) {
        CountGeometry(built);
        WriteFile(m_dir.Path() / "test.vestamdl4", mdl4::WriteScene(built));
        m_scene = std::make_unique<CScene>(&gl);
        m_scene->Load("test.vestamdl4");
        m_scene->LoadTextures();
        m_list = std::make_unique<CModifierList>();
        return *m_scene;
    }

    // The modifiers so far released and gone.
    void restartList() {
        if (m_list) {
            m_list->ReleaseAll();
        }
        m_list = std::make_unique<CModifierList>();
    }

    // Created, set and started as a player creates it, born at 0.
    CModifier& add(const std::string& kind, const Parameters& parameters,
                   const std::string& name = "") {
        CLayerOperation operation;
        operation.argument = kind;
        operation.name = name;
        operation.place = "main.txt(3)";
        for (const auto& [key, value] : parameters) {
            operation.parameters.push_back({key, value});
        }
        m_list->Apply({operation}, {m_scene.get(), &gl, nullptr}, true);
        m_list->SetBirthTimeAll(0.0f);
        return *m_list->InOrder().back();
    }

    // The player's frame at `seconds` on the clock (frame = seconds x 30).
    Image draw(float seconds, const std::string& name) {
        SetFrameIndex(static_cast<std::uint32_t>(std::lround(seconds * 100.0f)));
        BeginPlayerFrame(gl, kBackground);
        m_list->PreFrame();
        m_scene->Render(seconds * 30.0f);
        m_list->PerFrame();
        gl.EndFrame();
        Image image = ReadBackBuffer(gl, kWidth, kHeight);
        WritePng(std::string(VESTA_MODIFIER_PICTURES) + "/modifier-" + name + ".png", image);
        return image;
    }

    // Where a world point lands in the last frame's pixels.
    std::pair<int, int> screenOf(const Vector3& p) const {
        const Matrix4 toClip = gl.ViewMatrix() * gl.ProjectionMatrix();
        float clip[4];
        for (int c = 0; c < 4; ++c) {
            clip[c] =
                p.x * toClip.m[0][c] + p.y * toClip.m[1][c] + p.z * toClip.m[2][c] + toClip.m[3][c];
        }
        const float x = (clip[0] / clip[3] * 0.5f + 0.5f) * kWidth;
        const float y = (0.5f - clip[1] / clip[3] * 0.5f) * kHeight;
        return {static_cast<int>(x), static_cast<int>(y)};
    }
    Rgba at(const Image& image, const Vector3& p) const {
        const auto [x, y] = screenOf(p);
        return image.At(std::clamp(x, 0, kWidth - 1), std::clamp(y, 0, kHeight - 1));
    }

    static int brightness(const Rgba& p) { return p.r + p.g + p.b; }
    static bool isBackground(const Rgba& p) {
        return std::abs(p.r - kBackground.r) + std::abs(p.g - kBackground.g) +
                   std::abs(p.b - kBackground.b) <=
               24;
    }
    // Pixels that are not the background.
    static int drawnPixels(const Image& image) {
        int count = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                count += isBackground(image.At(x, y)) ? 0 : 1;
            }
        }
        return count;
    }
    static int differingPixels(const Image& a, const Image& b) {
        int count = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const Rgba p = a.At(x, y);
                const Rgba q = b.At(x, y);
                count += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b) > 24;
            }
        }
        return count;
    }

    // A white spot, opaque in the middle and clear at its rim.
    static std::vector<std::uint8_t> dotPng() {
        PngPicture picture;
        picture.width = picture.height = 16;
        picture.colorType = 6;  // PNG_COLOR_TYPE_RGBA
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const float d = std::hypot(x - 7.5f, y - 7.5f) / 8.0f;
                const auto alpha =
                    static_cast<std::uint16_t>(std::clamp(1.5f - 1.5f * d, 0.0f, 1.0f) * 255.0f);
                picture.samples.insert(picture.samples.end(), {255, 255, 255, alpha});
            }
        }
        return EncodePng(picture);
    }

    // Outlives the modifiers, which log their end.
    std::vector<std::string> m_log;
    TempDir m_dir;
    ScopedChdir m_chdir{m_dir.Path()};
    GlModule gl;
    std::unique_ptr<CScene> m_scene;
    std::unique_ptr<CModifierList> m_list;
};

}  // namespace vesta::test
