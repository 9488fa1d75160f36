// What happens after the stages: depth, stencil, blending, alpha test,
// colour write mask, shading, fill, viewport; and the draw paths.

#include <epoxy/gl.h>

#include "PipelineFixture.h"
#include "render/gl/ShaderKey.h"

namespace vesta::test {
namespace {

bool compare(Comparison comparison, float a, float b) {
    switch (comparison) {
    case Comparison::Never:
        return false;
    case Comparison::Less:
        return a < b;
    case Comparison::Equal:
        return a == b;
    case Comparison::LessEqual:
        return a <= b;
    case Comparison::Greater:
        return a > b;
    case Comparison::NotEqual:
        return a != b;
    case Comparison::GreaterEqual:
        return a >= b;
    case Comparison::Always:
        return true;
    }
    return false;
}

constexpr Comparison AllComparisons[] = {
    Comparison::Never,   Comparison::Less,     Comparison::Equal,        Comparison::LessEqual,
    Comparison::Greater, Comparison::NotEqual, Comparison::GreaterEqual, Comparison::Always};

class RasterTest : public PipelineFixture {
protected:
    void fill(float z, std::uint32_t argb) {
        DrawStrip(Quad(-0.5f, -0.5f, Size - 0.5f, Size - 0.5f, z, argb));
    }
};

TEST_F(RasterTest, DepthComparisons) {
    for (Comparison comparison : AllComparisons) {
        m_pipeline->Clear(true, true, true, 0xFF000000, 1.0f, 0);
        State().depth = {true, true, Comparison::Always};
        fill(0.5f, 0xFFFF0000);
        State().depth.comparison = comparison;
        const float depths[] = {0.25f, 0.5f, 0.75f};
        for (int i = 0; i < 3; ++i) {
            DrawStrip(
                Quad(i * 20.0f - 0.5f, -0.5f, i * 20.0f + 19.5f, 9.5f, depths[i], 0xFF00FF00));
        }
        const Image image = Read();
        for (int i = 0; i < 3; ++i) {
            const bool passes = compare(comparison, depths[i], 0.5f);
            EXPECT_EQ(image.At(i * 20 + 10, 5).g, passes ? 255 : 0)
                << static_cast<int>(comparison) << " at depth " << depths[i];
        }
    }
}

TEST_F(RasterTest, DepthWriteOffAndDepthTestOff) {
    State().depth = {true, false, Comparison::LessEqual};
    fill(0.25f, 0xFFFF0000);  // drawn, depth not written
    fill(0.75f, 0xFF00FF00);  // so this passes against the cleared 1.0
    EXPECT_RGBA_NEAR(Read().At(8, 8), 0, 255, 0, 255, 0);
    State().depth = {true, true, Comparison::LessEqual};
    fill(0.25f, 0xFFFF0000);
    State().depth.enabled = false;  // neither tested nor written
    fill(0.9f, 0xFF0000FF);
    State().depth.enabled = true;
    fill(0.5f, 0xFFFFFFFF);  // fails against the 0.25 still there
    EXPECT_RGBA_NEAR(Read().At(8, 8), 0, 0, 255, 255, 0);
}

TEST_F(RasterTest, StencilOperations) {
    struct Case {
        StencilOp op;
        std::uint32_t before, after;
    };
    const Case cases[] = {
        {StencilOp::Keep, 5, 5},
        {StencilOp::Zero, 5, 0},
        {StencilOp::Replace, 5, 7},
        {StencilOp::IncrementSat, 5, 6},
        {StencilOp::IncrementSat, 255, 255},
        {StencilOp::DecrementSat, 5, 4},
        {StencilOp::DecrementSat, 0, 0},
        {StencilOp::Invert, 5, 250},
        {StencilOp::Increment, 255, 0},
        {StencilOp::Decrement, 0, 255},
    };
    for (const Case& c : cases) {
        // The same operation as pass, fail (comparison never) and depth-fail op.
        for (int slot = 0; slot < 3; ++slot) {
            m_pipeline->Clear(true, true, true, 0xFF000000, 0.5f, c.before);
            gl::StencilState& s = State().stencil;
            s = {};
            s.enabled = true;
            s.reference = 7;
            s.comparison = slot == 1 ? Comparison::Never : Comparison::Always;
            (slot == 0 ? s.pass : slot == 1 ? s.fail : s.depthFail) = c.op;
            fill(slot == 2 ? 0.75f : 0.25f, 0xFFFFFFFF);
            EXPECT_EQ(m_target->ReadStencil()[8 * Size + 8], c.after)
                << "op " << static_cast<int>(c.op) << " slot " << slot;
        }
    }
}

TEST_F(RasterTest, StencilComparisonUsesReferenceMaskAndWriteMask) {
    m_pipeline->Clear(true, true, true, 0xFF000000, 1.0f, 0x35);
    gl::StencilState& s = State().stencil;
    s.enabled = true;
    s.comparison = Comparison::Equal;
    s.reference = 0x25;
    s.mask = 0x0F;  // 0x35 & 0x0F == 0x25 & 0x0F
    s.pass = StencilOp::Zero;
    s.writeMask = 0xF0;
    fill(0.5f, 0xFF00FF00);
    EXPECT_EQ(Read().At(8, 8).g, 255);
    EXPECT_EQ(m_target->ReadStencil()[8 * Size + 8], 0x05);
    s.mask = 0xFF;
    fill(0.5f, 0xFFFF0000);
    EXPECT_EQ(Read().At(8, 8).r, 0);
}

float blendFactor(BlendFactor f, int channel, const float src[4], const float dst[4]) {
    switch (f) {
    case BlendFactor::Zero:
        return 0;
    case BlendFactor::One:
        return 1;
    case BlendFactor::SrcColor:
        return src[channel];
    case BlendFactor::InvSrcColor:
        return 1 - src[channel];
    case BlendFactor::SrcAlpha:
        return src[3];
    case BlendFactor::InvSrcAlpha:
        return 1 - src[3];
    case BlendFactor::DestAlpha:
        return dst[3];
    case BlendFactor::InvDestAlpha:
        return 1 - dst[3];
    case BlendFactor::DestColor:
        return dst[channel];
    case BlendFactor::InvDestColor:
        return 1 - dst[channel];
    case BlendFactor::SrcAlphaSat:
        return channel == 3 ? 1 : std::min(src[3], 1 - dst[3]);
    }
    return 0;
}

TEST_F(RasterTest, BlendFactors) {
    const std::uint32_t destination = 0x60A04020, source = 0xC0308040;
    const gl::ColorValue d = gl::UnpackColor(destination), s = gl::UnpackColor(source);
    const float dst[4] = {d.r, d.g, d.b, d.a}, src[4] = {s.r, s.g, s.b, s.a};
    State().depth.enabled = false;
    State().stages[0].alphaArg1 = AlphaArg::Diffuse;
    for (int i = 0; i <= static_cast<int>(BlendFactor::SrcAlphaSat); ++i) {
        const auto factor = static_cast<BlendFactor>(i);
        for (bool asSource : {true, false}) {
            if (!asSource && factor == BlendFactor::SrcAlphaSat) {
                continue;  // Direct3D 8 has it as a source factor only
            }
            m_pipeline->Clear(true, true, true, destination, 1.0f, 0);
            State().blend = {true, asSource ? factor : BlendFactor::One,
                             asSource ? BlendFactor::InvSrcAlpha : factor};
            fill(0.5f, source);
            const Rgba p = Read().At(8, 8);
            const int actual[4] = {p.r, p.g, p.b, p.a};
            for (int c = 0; c < 4; ++c) {
                const float value = src[c] * blendFactor(State().blend.source, c, src, dst) +
                                    dst[c] * blendFactor(State().blend.destination, c, src, dst);
                EXPECT_NEAR(actual[c], std::min(value, 1.0f) * 255.0f, 1.01f)
                    << "factor " << i << (asSource ? " source" : " destination") << " channel "
                    << c;
            }
        }
    }
}

TEST_F(RasterTest, AlphaTestComparesWithReference) {
    State().depth.enabled = false;
    State().stages[0].alphaArg1 = AlphaArg::Diffuse;
    for (Comparison comparison : AllComparisons) {
        for (std::uint32_t reference : {127u, 128u, 129u}) {
            m_pipeline->Clear(true, true, true, 0xFF000000, 1.0f, 0);
            State().alphaTest = {true, comparison, reference};
            fill(0.5f, 0x80FFFFFF);
            const bool passes = compare(comparison, 128.0f, static_cast<float>(reference));
            EXPECT_EQ(Read().At(8, 8).r, passes ? 255 : 0)
                << static_cast<int>(comparison) << " ref " << reference;
        }
    }
}

TEST_F(RasterTest, ColourWriteMask) {
    m_pipeline->Clear(true, true, true, 0x00000000, 1.0f, 0);
    State().colorWrite = {true, false, true, false};
    fill(0.5f, 0xFFFFFFFF);
    EXPECT_RGBA_NEAR(Read().At(8, 8), 255, 0, 255, 0, 0);
    // Clear is not masked.
    m_pipeline->Clear(true, true, true, 0xFF00FF00, 1.0f, 0);
    EXPECT_RGBA_NEAR(Read().At(8, 8), 0, 255, 0, 255, 0);
}

TEST_F(RasterTest, FlatShadingTakesTheFirstVertex) {
    const std::vector<RenderVertex> triangle = {{0, 0, 0.5f, 0, 0, -1, 0xFFFF0000, 0, 0, 0, 0},
                                                {63, 0, 0.5f, 0, 0, -1, 0xFF00FF00, 0, 0, 0, 0},
                                                {0, 63, 0.5f, 0, 0, -1, 0xFF0000FF, 0, 0, 0, 0}};
    State().shade = ShadeMode::Flat;
    m_pipeline->Draw(PrimitiveType::TriangleList, 3, triangle.data());
    Image image = Read();
    EXPECT_RGBA_NEAR(image.At(2, 50), 255, 0, 0, 255, 0);
    EXPECT_RGBA_NEAR(image.At(50, 2), 255, 0, 0, 255, 0);
    State().shade = ShadeMode::Gouraud;
    m_pipeline->Draw(PrimitiveType::TriangleList, 3, triangle.data());
    image = Read();
    EXPECT_GT(image.At(2, 50).b, 200);
    EXPECT_GT(image.At(50, 2).g, 200);
}

TEST_F(RasterTest, WireframeDrawsEdgesOnly) {
    State().fill = FillMode::Wireframe;
    DrawStrip(Quad(4, 4, 40, 40, 0.5f, 0xFFFFFFFF));
    const Image image = Read();
    EXPECT_EQ(image.At(20, 4).r, 255);
    EXPECT_EQ(image.At(30, 20).r, 0);
}

TEST_F(RasterTest, ViewportPlacesAndLimitsDrawingAndClearing) {
    State().viewport = {16, 8, 32, 16, 0.0f, 1.0f};
    State().projection = PixelProjection(32, 16);
    m_pipeline->Clear(true, true, true, 0xFF0000FF, 1.0f, 0);
    DrawStrip(Quad(-0.5f, -0.5f, 3.5f, 1.5f, 0.5f, 0xFFFF0000));
    const Image image = Read();
    EXPECT_RGBA_NEAR(image.At(16, 8), 255, 0, 0, 255, 0);  // viewport's top left
    EXPECT_RGBA_NEAR(image.At(19, 9), 255, 0, 0, 255, 0);
    EXPECT_RGBA_NEAR(image.At(20, 9), 0, 0, 255, 255, 0);
    EXPECT_RGBA_NEAR(image.At(47, 23), 0, 0, 255, 255, 0);
    EXPECT_RGBA_NEAR(image.At(48, 23), 0, 0, 0, 255, 0);  // outside: not cleared
    EXPECT_RGBA_NEAR(image.At(15, 8), 0, 0, 0, 255, 0);
}

// One colour on every vertex reaches the pixels uninterpolated: the picture
// is the one an interpolated colour makes (here forced by a fifth vertex of
// another colour that no triangle uses).
TEST_F(RasterTest, ADrawOfOneColourIsThePictureOfAnInterpolatedOne) {
    State().depth.enabled = false;
    State().blend = {true, BlendFactor::SrcAlpha, BlendFactor::InvSrcAlpha};
    const std::uint16_t strip[] = {0, 1, 2, 3};
    Image pictures[2];
    for (bool interpolated : {false, true}) {
        m_pipeline->Clear(true, true, true, 0xFF102030, 1.0f, 0);
        for (std::uint32_t colour : {0x80C06021u, 0x3F17E5A9u}) {
            std::vector<RenderVertex> quad = Quad(3.3f, 5.7f, 59.1f, 41.9f, 0.5f, colour);
            quad.push_back(quad[0]);
            quad[4].diffuse = ~colour;
            m_pipeline->DrawIndexed(PrimitiveType::TriangleStrip, quad.data(), interpolated ? 5 : 4,
                                    strip, 4);
        }
        pictures[interpolated] = Read();
    }
    EXPECT_TRUE(pictures[0].pixels == pictures[1].pixels);
}

TEST(ShaderKeyTest, OneDiffuseColourIsTakenFromAVertexOnlyWhereWStaysOne) {
    gl::PipelineState state;
    const auto flat = [&](bool lit, float projectionW) {
        state.lighting = lit;
        state.projection.m[2][3] = projectionW;
        gl::ShaderKey key =
            gl::MakeShaderKey(state, {}, PrimitiveType::TriangleStrip, gl::VertexLayout::Render);
        gl::UseOneDiffuseColour(key, state);
        return key.flatDiffuse;
    };
    EXPECT_EQ(flat(false, 0.0f), 1);
    EXPECT_EQ(flat(false, 1.0f), 0);  // perspective: w varies across the primitive
    EXPECT_EQ(flat(true, 0.0f), 0);   // lit: each vertex's colour is computed
    const RenderVertex vertices[3] = {{0, 0, 0, 0, 0, -1, 0xFF102030, 0, 0, 0, 0},
                                      {1, 0, 0, 0, 0, -1, 0xFF102030, 0, 0, 0, 0},
                                      {0, 1, 0, 0, 0, -1, 0xFF102031, 0, 0, 0, 0}};
    EXPECT_TRUE(gl::OneDiffuseColour(vertices, 2));
    EXPECT_FALSE(gl::OneDiffuseColour(vertices, 3));
}

TEST_F(RasterTest, IndexedAndBufferDrawsMatchDrawsFromMemory) {
    const auto quad = Quad(-0.5f, -0.5f, 31.5f, 31.5f, 0.5f, 0xFF20A0E0);
    const std::uint16_t indices[] = {0, 1, 2, 2, 1, 3};
    m_pipeline->DrawIndexed(PrimitiveType::TriangleList, quad.data(), 4, indices, 6);
    GLuint buffers[2];
    glGenBuffers(2, buffers);
    glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
    glBufferData(GL_ARRAY_BUFFER, sizeof(RenderVertex) * 4, quad.data(), GL_STATIC_DRAW);
    glBindVertexArray(0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[1]);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof indices, indices, GL_STATIC_DRAW);
    State().world.m[3][0] = 32.0f;  // the copy lands right of the first
    m_pipeline->DrawBuffer(PrimitiveType::TriangleList, gl::VertexLayout::Render, buffers[0], 0,
                           buffers[1], 6);
    State().world.m[3][1] = 32.0f;
    m_pipeline->DrawBuffer(PrimitiveType::TriangleStrip, gl::VertexLayout::Render, buffers[0], 0, 0,
                           4);
    const Image image = Read();
    EXPECT_RGBA_NEAR(image.At(5, 5), 0x20, 0xA0, 0xE0, 255, 0);
    EXPECT_RGBA_NEAR(image.At(40, 5), 0x20, 0xA0, 0xE0, 255, 0);
    EXPECT_RGBA_NEAR(image.At(40, 40), 0x20, 0xA0, 0xE0, 255, 0);
    EXPECT_RGBA_NEAR(image.At(5, 40), 0, 0, 0, 255, 0);
    glDeleteBuffers(2, buffers);
    m_pipeline->Invalidate();
}

TEST_F(RasterTest, StreamingPastTheBufferEnd) {
    // Far more vertices than the stream buffer holds: it must be orphaned and
    // reused without losing a draw.
    State().depth.enabled = false;
    for (int round = 0; round < 3000; ++round) {
        const int x = round % Size;
        const auto quad = Quad(x - 0.5f, -0.5f, x + 0.5f, Size - 0.5f, 0.5f,
                               0xFF000000 | static_cast<std::uint32_t>(round % 251));
        std::vector<RenderVertex> many;
        for (int copy = 0; copy < 10; ++copy) {
            many.insert(many.end(), quad.begin(), quad.end());
        }
        m_pipeline->Draw(PrimitiveType::TriangleStrip, 4, many.data());
        const std::uint16_t indices[] = {0, 1, 2, 3};
        m_pipeline->DrawIndexed(PrimitiveType::TriangleStrip, many.data(), 40, indices, 4);
    }
    const Image image = Read();
    for (int x = 0; x < Size; ++x) {
        const int tail = 3000 % Size;  // the last round that drew column x:
        const int lastRound = 3000 - tail + x - (x < tail ? 0 : Size);
        EXPECT_EQ(image.At(x, 10).b, lastRound % 251) << x;
    }
}

TEST_F(RasterTest, CachingOffGivesTheSamePicture) {
    auto scene = [this](bool caching) {
        m_pipeline->SetStateCaching(caching);
        m_pipeline->Clear(true, true, true, 0xFF000000, 1.0f, 0);
        for (int i = 0; i < 8; ++i) {
            State().blend = {i % 2 == 0, BlendFactor::SrcAlpha, BlendFactor::InvSrcAlpha};
            State().depth.comparison = i % 3 == 0 ? Comparison::Always : Comparison::Less;
            State().cull = i % 4 == 3 ? CullMode::Clockwise : CullMode::None;
            State().textureFactor = 0x80000000u | static_cast<std::uint32_t>(i * 0x102030);
            State().stages[0].colorOp = i % 2 ? ColorOp::BlendFactorAlpha : ColorOp::Modulate;
            State().stages[0].colorArg2 = ColorArg::Diffuse;
            DrawStrip(Quad(i * 6.0f, i * 5.0f, i * 6.0f + 24, i * 5.0f + 20, 0.1f * (8 - i),
                           0x80FF8000u | static_cast<std::uint32_t>(i * 31)));
        }
        return Read();
    };
    const Image cached = scene(true);
    const Image uncached = scene(false);
    EXPECT_TRUE(ImagesNear(uncached, cached, 0, "caching"));
    // Same state, same program: only the two colour ops made programs.
    EXPECT_EQ(m_pipeline->ProgramCount(), 2u);
}

}  // namespace
}  // namespace vesta::test
