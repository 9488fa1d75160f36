// Headless contexts on Mesa and the conventions every picture relies on:
// top row first, pixel centres on integers, Direct3D's winding.

#include <epoxy/egl.h>
#include <gtest/gtest.h>

#include "PipelineFixture.h"
#include "render/gl/GlEnums.h"

namespace vesta::test {
namespace {

TEST(EglContextTest, CoreAndCompatibilityContextsOnLlvmpipe) {
    gl::EglContext& core = CoreContext();
    EXPECT_NE(core.Renderer().find("llvmpipe"), std::string::npos) << core.Renderer();
    EXPECT_EQ(core.Kind(), gl::ContextKind::Core33);
    gl::EglContext& legacy = LegacyContext();
    EXPECT_NE(legacy.Version().find("Compatibility"), std::string::npos) << legacy.Version();
    CoreContext();
}

TEST(EglContextTest, ErrorNamesCarryTheirCode) {
    EXPECT_STREQ(gl::EglErrorName(EGL_BAD_ALLOC), "EGL_BAD_ALLOC");
    EXPECT_STREQ(gl::EglErrorName(EGL_NOT_INITIALIZED), "EGL_NOT_INITIALIZED");
    EXPECT_STREQ(gl::EglErrorName(0x1234), "unknown EGL error");
}

TEST(PrimitiveCountTest, DirectThreeDCounts) {
    EXPECT_EQ(gl::PrimitiveCount(PrimitiveType::PointList, 7), 7);
    EXPECT_EQ(gl::PrimitiveCount(PrimitiveType::LineList, 7), 3);
    EXPECT_EQ(gl::PrimitiveCount(PrimitiveType::LineStrip, 5), 4);
    EXPECT_EQ(gl::PrimitiveCount(PrimitiveType::TriangleList, 8), 2);
    EXPECT_EQ(gl::PrimitiveCount(PrimitiveType::TriangleStrip, 5), 3);
    EXPECT_EQ(gl::PrimitiveCount(PrimitiveType::TriangleFan, 6), 4);
    EXPECT_EQ(gl::PrimitiveCount(PrimitiveType::TriangleFan, 1), 0);
    EXPECT_EQ(gl::VerticesDrawn(PrimitiveType::TriangleList, 8), 6);
    EXPECT_EQ(gl::VerticesDrawn(PrimitiveType::LineList, 5), 4);
    EXPECT_EQ(gl::VerticesDrawn(PrimitiveType::TriangleStrip, 2), 0);
}

TEST(PipelineStateTest, ColoursPackAsTheModuleBuildsThem) {
    EXPECT_EQ(gl::PackColor(1.0f, 0.5f, 0.0f), 0x00FF7F00u);
    const gl::ColorValue c = gl::UnpackColor(0x80FF4000);
    EXPECT_FLOAT_EQ(c.a, 128 / 255.0f);
    EXPECT_FLOAT_EQ(c.r, 1.0f);
    EXPECT_FLOAT_EQ(c.g, 64 / 255.0f);
    EXPECT_FLOAT_EQ(c.b, 0.0f);
}

using ConventionTest = PipelineFixture;

TEST_F(ConventionTest, TopRowFirstAndPixelCentresOnIntegers) {
    // Pixel i covers -0.5..0.5 around i: this quad covers exactly columns
    // 2..5 and rows 1..3, counted from the top.
    DrawStrip(Quad(1.5f, 0.5f, 5.5f, 3.5f, 0.5f, 0xFFFF0000));
    const Image image = Read();
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 2 && x <= 5 && y >= 1 && y <= 3;
            EXPECT_EQ(image.At(x, y).r, inside ? 255 : 0) << x << "," << y;
        }
    }
}

TEST_F(ConventionTest, PretransformedPointLightsItsPixel) {
    State().stages[0].colorOp = ColorOp::SelectArg1;
    State().stages[0].colorArg1 = ColorArg::Texture;  // no texture: white
    State().stages[0].alphaOp = AlphaOp::Disable;
    m_pipeline->DrawPretransformedPoint(5.0f, 7.0f, 0.5f);
    const Image image = Read();
    EXPECT_RGBA_NEAR(image.At(5, 7), 255, 255, 255, 255, 0);
    EXPECT_EQ(image.At(6, 7).r, 0);
    EXPECT_EQ(image.At(5, 6).r, 0);
    // Behind what is there, the probe leaves the picture as it was.
    m_pipeline->Clear(true, true, true, 0xFF000000, 0.25f, 0);
    m_pipeline->DrawPretransformedPoint(5.0f, 7.0f, 0.5f);
    EXPECT_EQ(Read().At(5, 7).r, 0);
}

TEST_F(ConventionTest, CullModesUseScreenWinding) {
    // Left triangle clockwise on screen, right one counter-clockwise.
    const std::vector<RenderVertex> clockwise = {{4, 4, 0.5f, 0, 0, -1, 0xFFFFFFFF, 0, 0, 0, 0},
                                                 {28, 4, 0.5f, 0, 0, -1, 0xFFFFFFFF, 0, 0, 0, 0},
                                                 {4, 28, 0.5f, 0, 0, -1, 0xFFFFFFFF, 0, 0, 0, 0}};
    const std::vector<RenderVertex> counter = {{36, 4, 0.5f, 0, 0, -1, 0xFFFFFFFF, 0, 0, 0, 0},
                                               {36, 28, 0.5f, 0, 0, -1, 0xFFFFFFFF, 0, 0, 0, 0},
                                               {60, 4, 0.5f, 0, 0, -1, 0xFFFFFFFF, 0, 0, 0, 0}};
    struct Case {
        CullMode mode;
        bool clockwiseDrawn, counterDrawn;
    };
    for (const Case& c : {Case{CullMode::None, true, true}, Case{CullMode::Clockwise, false, true},
                          Case{CullMode::CounterClockwise, true, false}}) {
        m_pipeline->Clear(true, true, true, 0xFF000000, 1.0f, 0);
        State().cull = c.mode;
        m_pipeline->Draw(PrimitiveType::TriangleList, 3, clockwise.data());
        m_pipeline->Draw(PrimitiveType::TriangleList, 3, counter.data());
        const Image image = Read();
        EXPECT_EQ(image.At(8, 8).r, c.clockwiseDrawn ? 255 : 0) << static_cast<int>(c.mode);
        EXPECT_EQ(image.At(40, 8).r, c.counterDrawn ? 255 : 0) << static_cast<int>(c.mode);
    }
}

}  // namespace
}  // namespace vesta::test
