#pragma once
// Layers drawn for real by the OpenGL module (Mesa, headless) and read back,
// with pictures to compare them against. A failing comparison writes
// NAME-actual.png, NAME-expected.png and NAME-difference.png next to the
// test program.

#include <functional>

#include "GlTestSupport.h"
#include "LayerTestSupport.h"
#include "render/gl/GlModule.h"

namespace vesta::test {

class LayerPictureFixture : public LayerTest {
public:
    static constexpr int kWidth = 64;
    static constexpr int kHeight = 48;

protected:
    explicit LayerPictureFixture(int width = kWidth, int height = kHeight)
        : m_width(width), m_height(height) {}

    void SetUp() override {
        LayerTest::SetUp();
        RenderDriver& driver = gl.GetDriver(0);
        gl.SelectDriver(&driver);
        gl.SelectDevice(driver.devices.at(0).get());
        ASSERT_TRUE(gl.Initialize(nullptr, false, m_width, m_height, 32));
    }
    void TearDown() override {
        for (auto& layer : m_layers) {
            layer->Release();
        }
        m_layers.clear();
        LayerTest::TearDown();
    }

    // Created like LayerTest::make, on the OpenGL module.
    template <class Layer>
    Layer& create(const char* kind,
                  const std::vector<std::pair<std::string, std::string>>& params) {
        at(0);
        auto layer = CLayerFactory::Instance().CreateLayer(&gl, nullptr, kind);
        for (const auto& [name, value] : params) {
            layer->Set(name, value);
        }
        layer->Start();
        layer->SetBirthTime(0);
        auto* typed = dynamic_cast<Layer*>(layer.get());
        m_layers.push_back(std::move(layer));
        return *typed;
    }

    // One frame over a clear colour, read back top row first.
    Image draw(CLayer& layer, float seconds, float grey = 0.0f) {
        at(seconds);
        gl.SetClearColor(grey, grey, grey, 0.0f);
        gl.BeginFrame();
        gl.Clear(0);
        layer.Update();
        gl.EndFrame();
        return ReadBackBuffer(gl, m_width, m_height);
    }

    // Frames every 20 ms from 0 up to `seconds`, not read back: layers whose
    // state follows the frames (particles) are seen as they play.
    void play(CLayer& layer, float seconds) {
        for (int n = 0; n * 0.02f < seconds; ++n) {
            at(n * 0.02f);
            gl.BeginFrame();
            gl.Clear(0);
            layer.Update();
            gl.EndFrame();
        }
    }

    Image filled(const std::function<Rgba(int, int)>& colour) {
        Image image{m_width, m_height, std::vector<std::uint8_t>(m_width * m_height * 4)};
        for (int y = 0; y < m_height; ++y) {
            for (int x = 0; x < m_width; ++x) {
                const Rgba c = colour(x, y);
                std::uint8_t* p = &image.pixels[std::size_t(y * m_width + x) * 4];
                p[0] = std::uint8_t(c.r);
                p[1] = std::uint8_t(c.g);
                p[2] = std::uint8_t(c.b);
                p[3] = 255;
            }
        }
        return image;
    }

    bool near(const Image& actual, const Image& expected, int tolerance, const std::string& name) {
        ScopedChdir out(VESTA_LAYER_PICTURES);
        return ImagesNear(actual, expected, tolerance, name);
    }

    int m_width;
    int m_height;
    GlModule gl;
};

}  // namespace vesta::test
