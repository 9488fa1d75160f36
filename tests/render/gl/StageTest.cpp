// The two texture stages: every colour and alpha operation and argument,
// the texture factor, the chain ending at a disabled stage. Each scene is
// checked against values computed from Direct3D's definitions at a probe
// pixel and against Mesa's GL_COMBINE rendering of the same scene (per
// channel within 2 of 255: both round 8-bit inputs and results).

#include <algorithm>
#include <cmath>
#include <string>

#include "LegacyReference.h"
#include "PipelineFixture.h"

namespace vesta::test {
namespace {

constexpr std::uint32_t DiffuseArgb = 0x99CC6633;
constexpr std::uint32_t FactorArgb = 0x40102030;
constexpr int ReferenceTolerance = 2;

// 2 x 2 texels; the probe pixel (16, 16) shows the top-left one.
const TexelImage Texels{2, 2, {0x80FF8040, 0xFF00FF00, 0x4020A0E0, 0xC0808080}};
const TexelImage Texels1{2, 2, {0x60204060, 0x30C0C0C0, 0xFF0000FF, 0x10FFFFFF}};

struct Channels {
    float c[4];  // r, g, b, a
};

Channels channels(std::uint32_t argb) {
    const gl::ColorValue v = gl::UnpackColor(argb);
    return {{v.r, v.g, v.b, v.a}};
}

float colorArg(ColorArg arg, int i, const Channels& diffuse, const Channels& current,
               const Channels& texture) {
    switch (arg) {
    case ColorArg::Diffuse:
        return diffuse.c[i];
    case ColorArg::Current:
        return current.c[i];
    case ColorArg::Texture:
        return texture.c[i];
    }
    return 0;
}

float alphaArg(AlphaArg arg, const Channels& diffuse, const Channels& current,
               const Channels& texture) {
    switch (arg) {
    case AlphaArg::Current:
        return current.c[3];
    case AlphaArg::Texture:
        return texture.c[3];
    case AlphaArg::Diffuse:
        return diffuse.c[3];
    case AlphaArg::TextureFactor:
        return channels(FactorArgb).c[3];
    }
    return 0;
}

float combine(int op, float a, float b, bool alpha) {
    const float factor = channels(FactorArgb).c[3];
    if (alpha && op == static_cast<int>(AlphaOp::Subtract)) {
        return a - b;
    }
    if (alpha && op == static_cast<int>(AlphaOp::BlendFactorAlpha)) {
        op = static_cast<int>(ColorOp::BlendFactorAlpha);
    }
    switch (static_cast<ColorOp>(op)) {
    case ColorOp::SelectArg1:
        return a;
    case ColorOp::Modulate:
        return a * b;
    case ColorOp::Add:
        return a + b;
    case ColorOp::AddSigned:
        return a + b - 0.5f;
    case ColorOp::BlendFactorAlpha:
        return a * factor + b * (1 - factor);
    case ColorOp::Disable:
        break;
    }
    return 0;
}

// Direct3D's result of one stage.
Channels stage(const gl::TextureStage& s, const Channels& diffuse, const Channels& current,
               const Channels& texture) {
    Channels out = current;
    for (int i = 0; i < 3; ++i) {
        out.c[i] = std::clamp(combine(static_cast<int>(s.colorOp),
                                      colorArg(s.colorArg1, i, diffuse, current, texture),
                                      colorArg(s.colorArg2, i, diffuse, current, texture), false),
                              0.0f, 1.0f);
    }
    if (s.alphaOp != AlphaOp::Disable) {
        out.c[3] = std::clamp(combine(static_cast<int>(s.alphaOp),
                                      alphaArg(s.alphaArg1, diffuse, current, texture),
                                      alphaArg(s.alphaArg2, diffuse, current, texture), true),
                              0.0f, 1.0f);
    }
    return out;
}

class StageTest : public PipelineFixture {
protected:
    void SetUp() override {
        PipelineFixture::SetUp();
        m_texture[0] = MakeTexture(2, 2, Texels.argb);
        m_texture[1] = MakeTexture(2, 2, Texels1.argb);
        State().depth.enabled = false;
        State().textureFactor = FactorArgb;
    }
    void TearDown() override {
        DeleteTexture(m_texture[0]);
        DeleteTexture(m_texture[1]);
        PipelineFixture::TearDown();
    }

    // Draws the full-target quad with both stages as given; checks the probe
    // pixel against `expected` and the picture against the GL reference.
    void check(const Channels& expected, const std::string& name) {
        SCOPED_TRACE(name);
        m_pipeline->Textures()[0] = {m_texture[0], false};
        m_pipeline->Textures()[1] = {m_texture[1], false};
        m_pipeline->Clear(true, true, true, 0xFF000000, 1.0f, 0);
        const auto quad = Quad(-0.5f, -0.5f, Size - 0.5f, Size - 0.5f, 0.5f, DiffuseArgb);
        DrawStrip(quad);
        const Image image = Read();
        const Rgba probe = image.At(16, 16);
        EXPECT_RGBA_NEAR(probe, std::lround(expected.c[0] * 255), std::lround(expected.c[1] * 255),
                         std::lround(expected.c[2] * 255), std::lround(expected.c[3] * 255), 1);
        const TexelImage* textures[2] = {&Texels, &Texels1};
        const Image reference =
            RenderLegacy(State(), PrimitiveType::TriangleStrip, quad, Size, textures);
        EXPECT_TRUE(ImagesNear(image, reference, ReferenceTolerance, name)) << name;
    }

    std::uint32_t m_texture[2] = {};
};

TEST_F(StageTest, EveryColourOperationAndArgument) {
    const Channels diffuse = channels(DiffuseArgb);
    const Channels texel = channels(Texels.argb[0]);
    for (ColorOp op : {ColorOp::SelectArg1, ColorOp::Modulate, ColorOp::Add, ColorOp::AddSigned,
                       ColorOp::BlendFactorAlpha}) {
        for (ColorArg arg1 : {ColorArg::Texture, ColorArg::Diffuse, ColorArg::Current}) {
            gl::TextureStage& s = State().stages[0];
            s.colorOp = op;
            s.colorArg1 = arg1;
            s.colorArg2 = arg1 == ColorArg::Texture ? ColorArg::Diffuse : ColorArg::Texture;
            s.alphaOp = AlphaOp::SelectArg1;
            s.alphaArg1 = AlphaArg::Texture;
            check(stage(s, diffuse, diffuse, texel),
                  "colour-op" + std::to_string(static_cast<int>(op)) + "-arg" +
                      std::to_string(static_cast<int>(arg1)));
        }
    }
}

TEST_F(StageTest, EveryAlphaOperationAndArgument) {
    const Channels diffuse = channels(DiffuseArgb);
    const Channels texel = channels(Texels.argb[0]);
    for (AlphaOp op : {AlphaOp::Disable, AlphaOp::SelectArg1, AlphaOp::Modulate, AlphaOp::Add,
                       AlphaOp::AddSigned, AlphaOp::Subtract, AlphaOp::BlendFactorAlpha}) {
        for (AlphaArg arg1 :
             {AlphaArg::Current, AlphaArg::Texture, AlphaArg::Diffuse, AlphaArg::TextureFactor}) {
            gl::TextureStage& s = State().stages[0];
            s.colorOp = ColorOp::SelectArg1;
            s.colorArg1 = ColorArg::Texture;
            s.alphaOp = op;
            s.alphaArg1 = arg1;
            s.alphaArg2 = arg1 == AlphaArg::Texture ? AlphaArg::Diffuse : AlphaArg::Texture;
            check(stage(s, diffuse, diffuse, texel),
                  "alpha-op" + std::to_string(static_cast<int>(op)) + "-arg" +
                      std::to_string(static_cast<int>(arg1)));
        }
    }
}

TEST_F(StageTest, SecondStageTakesTheFirstStagesResult) {
    const Channels diffuse = channels(DiffuseArgb);
    gl::TextureStage& first = State().stages[0];
    first.colorOp = ColorOp::Modulate;
    first.colorArg1 = ColorArg::Texture;
    first.colorArg2 = ColorArg::Diffuse;
    first.alphaOp = AlphaOp::Modulate;
    first.alphaArg1 = AlphaArg::Texture;
    first.alphaArg2 = AlphaArg::Diffuse;
    const Channels afterFirst = stage(first, diffuse, diffuse, channels(Texels.argb[0]));
    for (ColorOp op : {ColorOp::Add, ColorOp::BlendFactorAlpha, ColorOp::AddSigned}) {
        gl::TextureStage& second = State().stages[1];
        second.colorOp = op;
        second.colorArg1 = ColorArg::Texture;
        second.colorArg2 = ColorArg::Current;
        second.alphaOp = AlphaOp::Subtract;
        second.alphaArg1 = AlphaArg::Current;
        second.alphaArg2 = AlphaArg::Texture;
        check(stage(second, diffuse, afterFirst, channels(Texels1.argb[0])),
              "second-stage-op" + std::to_string(static_cast<int>(op)));
    }
}

TEST_F(StageTest, DisabledStageEndsTheChain) {
    State().stages[0].colorOp = ColorOp::Disable;
    State().stages[1].colorOp = ColorOp::Add;
    State().stages[1].alphaOp = AlphaOp::SelectArg1;
    check(channels(DiffuseArgb), "first-stage-disabled");
}

TEST_F(StageTest, StageWithoutTextureReadsWhite) {
    State().stages[0].colorOp = ColorOp::Modulate;
    State().stages[0].colorArg1 = ColorArg::Texture;
    State().stages[0].colorArg2 = ColorArg::Diffuse;
    State().stages[0].alphaOp = AlphaOp::SelectArg1;
    State().stages[0].alphaArg1 = AlphaArg::Texture;
    DrawStrip(Quad(-0.5f, -0.5f, Size - 0.5f, Size - 0.5f, 0.5f, DiffuseArgb));
    EXPECT_RGBA_NEAR(Read().At(16, 16), 0xCC, 0x66, 0x33, 0xFF, 0);
}

}  // namespace
}  // namespace vesta::test
