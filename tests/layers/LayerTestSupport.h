#pragma once
// Layers made by name through the registry, drawn into the recording module
// on a clock that moves in hundredths of a second, with pictures written by
// the tests themselves.

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <png.h>
#include <string>
#include <vector>

#include "EngineState.h"
#include "PictureWriters.h"
#include "TestSupport.h"
#include "render/RecordingModule.h"
#include "timeline/LayerFactory.h"

namespace vesta::test {

// A picture of one colour (red, green, blue).
inline std::vector<std::uint8_t> SolidPng(int width, int height, std::uint8_t red,
                                          std::uint8_t green, std::uint8_t blue) {
    PngPicture picture;
    picture.width = width;
    picture.height = height;
    picture.colorType = PNG_COLOR_TYPE_RGB;
    for (int i = 0; i < width * height; ++i) {
        picture.samples.insert(picture.samples.end(), {red, green, blue});
    }
    return EncodePng(picture);
}

inline std::uint32_t AlphaOf(const RenderVertex& vertex) {
    return vertex.diffuse >> 24;
}

class LayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEngineState();
        SetFixedStep(true, 100.0f);
        at(0);
        for (const char* name : {"a.png", "b.png", "c.png"}) {
            WriteFile(m_dir / name, SimplePng(4, 4));
        }
        WriteFile(m_dir / "mask.png", SolidPng(4, 4, 128, 128, 128));
        WriteFile(m_dir / "white.nodither.jpg",
                  EncodeJpeg(std::vector<std::uint8_t>(8 * 8 * 3, 255), 8, 8, 3, false));
        module.Initialize(nullptr, false, 640, 480, 32);
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

    // Created by kind name, parameters applied, started and born at 0.
    template <class Layer>
    Layer& make(const char* kind,
                const std::vector<std::pair<std::string, std::string>>& parameters) {
        at(0);
        auto layer = CLayerFactory::Instance().CreateLayer(&module, nullptr, kind);
        for (const auto& [name, value] : parameters) {
            layer->Set(name, value);
        }
        layer->Start();
        layer->SetBirthTime(0);
        auto* typed = dynamic_cast<Layer*>(layer.get());
        EXPECT_NE(typed, nullptr);
        m_layers.push_back(std::move(layer));
        return *typed;
    }

    // The calls of one Update at `seconds`.
    const std::vector<RecordedCall>& frame(CLayer& layer, float seconds) {
        at(seconds);
        module.ClearCalls();
        layer.Update();
        return module.Calls();
    }

    std::vector<const RecordedCall*> draws() const { return module.Draws(); }

    const RecordedCall& onlyDraw() const {
        const auto found = draws();
        EXPECT_EQ(found.size(), 1u);
        static const RecordedCall none;
        return found.empty() ? none : *found.front();
    }

    // Smallest and largest x and y over the vertices of a draw.
    struct Extent {
        float x0, x1, y0, y1;
    };
    static Extent extentOf(const RecordedCall& draw) {
        Extent e{1e9f, -1e9f, 1e9f, -1e9f};
        for (const RenderVertex& v : draw.vertices) {
            e.x0 = std::min(e.x0, v.x);
            e.x1 = std::max(e.x1, v.x);
            e.y0 = std::min(e.y0, v.y);
            e.y1 = std::max(e.y1, v.y);
        }
        return e;
    }

    bool called(const std::string& name, const std::vector<double>& values) const {
        for (const RecordedCall& call : module.Calls()) {
            if (call.name == name && call.values == values) {
                return true;
            }
        }
        return false;
    }

    TempDir m_dir;
    ScopedChdir m_chdir{m_dir.Path()};
    RecordingModule module;
    std::vector<std::unique_ptr<CLayer>> m_layers;
};

}  // namespace vesta::test

#define EXPECT_EXTENT(draw, ex0, ex1, ey0, ey1)                                                    \
    do {                                                                                           \
        const auto e_ = extentOf(draw);                                                            \
        EXPECT_NEAR(e_.x0, (ex0), 1e-4);                                                           \
        EXPECT_NEAR(e_.x1, (ex1), 1e-4);                                                           \
        EXPECT_NEAR(e_.y0, (ey0), 1e-4);                                                           \
        EXPECT_NEAR(e_.y1, (ey1), 1e-4);                                                           \
    } while (false)
