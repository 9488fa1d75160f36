#pragma once
// Model players carrying modifiers, drawn for real by the OpenGL module
// (Mesa, headless) on a clock that steps in hundredths of a second. A test
// builds its scene in code; the fixture writes it as the player's model
// file, makes the player by name with the modifiers as its block's
// operations, draws frames and writes each picture as modifier-NAME.png next
// to the test program, to be looked at.

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
#include "scene/Mdl4Writer.h"
#include "scene/SceneBuild.h"
#include "scene/player/MdlPlayer.h"
#include "timeline/LayerFactory.h"

namespace vesta::test {

using Parameters = std::vector<std::pair<std::string, std::string>>;

inline CLayerOperation Modifier(const std::string& kind, const Parameters& parameters = {},
                                const std::string& name = "") {
    CLayerOperation operation;
    operation.kind = OperationKind::Create;
    operation.argument = kind;
    operation.name = name;
    operation.place = "main.txt(3)";
    for (const auto& [key, value] : parameters) {
        operation.parameters.push_back({key, value});
    }
    return operation;
}

// How far a pixel is from a colour, summed over the three channels.
inline int Distance(const Rgba& p, int r, int g, int b) {
    return std::abs(p.r - r) + std::abs(p.g - g) + std::abs(p.b - b);
}

class ModifierPictureTest : public ::testing::Test {
public:
    static constexpr int kWidth = 96;
    static constexpr int kHeight = 72;
    static constexpr Rgba kBackground{0, 0, 64, 255};
    static constexpr const char* kSceneFile = "scene.vestamdl4";

    // A red box of 20 at the origin facing a camera 60 away on -z, a light
    // beside the camera, and a green wall of 400 far behind at z = 200.
    static void BuildStage(CScene& scene) {
        scene.lastFrame = 300;
        AddMaterial(scene, "Red", {1.0f, 0.1f, 0.1f});
        AddMaterial(scene, "Green", {0.1f, 1.0f, 0.1f});
        AddBox(scene, "Box", {0, 0, 0}, {20, 20, 20}, "Red");
        AddBox(scene, "Wall", {0, 0, 200}, {400, 400, 2}, "Green");
        AddCamera(scene, "Camera01", {0, 0, -60}, {0, 0, 0}, 0.8f);
        AddLight(scene, "Lamp.Dyna", {0, 0, -60}, {1, 1, 1});
        CountGeometry(scene);
    }

protected:
    void SetUp() override {
        ResetEngineState();
        SetFixedStep(true, 100.0f);
        at(0);
        RenderDriver& driver = gl.GetDriver(0);
        gl.SelectDriver(&driver);
        gl.SelectDevice(driver.devices.at(0).get());
        ASSERT_TRUE(gl.Initialize(nullptr, false, kWidth, kHeight, 32));
    }
    void TearDown() override {
        for (auto& layer : m_layers) {
            layer->Release();
        }
        m_layers.clear();
        ResetEngineState();
    }

    static void at(float seconds) {
        SetFrameIndex(static_cast<std::uint32_t>(std::lround(seconds * 100.0f)));
    }

    // The player over `built`, its modifiers created by its block.
    CMDLPlayer& player(const CScene& built, std::vector<CLayerOperation> modifiers,
                       Parameters parameters = {}) {
        WriteFile(m_dir.Path() / kSceneFile, mdl4::WriteScene(built));
        at(0);
        m_children.push_back(std::make_unique<std::vector<CLayerOperation>>(std::move(modifiers)));
        auto layer =
            CLayerFactory::Instance().CreateLayer(&gl, m_children.back().get(), "MDLPlayer");
        parameters.insert(parameters.begin(), {"MDLFile", kSceneFile});
        for (const auto& [name, value] : parameters) {
            layer->Set(name, value);
        }
        layer->Start();
        m_layers.push_back(std::move(layer));
        CLayer& made = *m_layers.back();
        made.CreateChildren(*m_children.back());
        made.SetBirthTime(0);
        return dynamic_cast<CMDLPlayer&>(made);
    }

    // One frame at `seconds` over the background, read back and written out.
    Image draw(CLayer& layer, float seconds, const std::string& name) {
        at(seconds);
        gl.SetClearColor(kBackground.r / 255.0f, kBackground.g / 255.0f, kBackground.b / 255.0f,
                         0.0f);
        gl.BeginFrame();
        gl.Clear(0);
        layer.Update();
        gl.EndFrame();
        Image image = ReadBackBuffer(gl, kWidth, kHeight);
        WritePng(std::string(VESTA_MODIFIER_PICTURES) + "/modifier-" + name + ".png", image);
        return image;
    }

    // Pixels within `tolerance` of a colour.
    static int CountNear(const Image& image, int r, int g, int b, int tolerance) {
        int count = 0;
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                count += Distance(image.At(x, y), r, g, b) <= tolerance ? 1 : 0;
            }
        }
        return count;
    }

    // A 32 x 32 white picture and a grey alpha picture bright in its middle
    // and black at its rim, in the folder the player reads from.
    void WriteGlowPictures() {
        PngPicture white;
        white.width = white.height = 32;
        white.colorType = 2;  // PNG_COLOR_TYPE_RGB
        white.samples.assign(32 * 32 * 3, 255);
        WriteFile(m_dir.Path() / "white.png", EncodePng(white));
        PngPicture alpha;
        alpha.width = alpha.height = 32;
        alpha.colorType = 0;  // PNG_COLOR_TYPE_GRAY
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                const float d = std::hypot(x - 15.5f, y - 15.5f) / 16.0f;
                alpha.samples.push_back(
                    static_cast<std::uint16_t>(std::max(0.0f, 1.0f - d) * 255.0f));
            }
        }
        WriteFile(m_dir.Path() / "round.png", EncodePng(alpha));
    }

    TempDir m_dir;
    ScopedChdir m_chdir{m_dir.Path()};
    GlModule gl;
    std::vector<std::unique_ptr<std::vector<CLayerOperation>>> m_children;
    std::vector<std::unique_ptr<CLayer>> m_layers;
};

}  // namespace vesta::test
