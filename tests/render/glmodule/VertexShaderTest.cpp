// Vertex shader files drawn by the OpenGL module: every instruction of
// versions 1.0 and 1.1 computed on llvmpipe and read back as the colour of a
// quad, against the same arithmetic on the CPU; then positions, inputs,
// relative addressing and the fixed pixel stages fed by the outputs.

#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>

#include "EngineState.h"
#include "TestSupport.h"
#include "fs/SearchPaths.h"
#include "render/gl/GlModule.h"
#include "render/vsasm/VertexShaderWriter.h"

namespace vesta::test {
namespace {

using namespace vsasm;
using Vec = std::array<float, 4>;

// Sources every case reads.
constexpr Vec kC0 = {0.25f, 0.5f, 0.75f, 1.0f};
constexpr Vec kC1 = {0.5f, -0.25f, 0.125f, 2.0f};
constexpr Vec kC2 = {0.1f, 0.2f, 0.3f, 0.4f};
constexpr std::array<Vec, 4> kMatrix = {Vec{0.5f, 0.25f, 0.0f, 0.1f}, Vec{0.0f, 0.5f, 0.25f, 0.2f},
                                        Vec{0.25f, 0.0f, 0.5f, 0.3f},
                                        Vec{0.1f, 0.1f, 0.1f, 0.1f}};  // c3..c6
constexpr Vec kC7 = {2.7f, -0.5f, 1.25f, 3.0f};
constexpr Vec kBackground = {0.2f, 0.4f, 0.6f, 0.8f};  // r0 before the instruction: c9
// The vertex's own values.
constexpr Vec kNormal = {0.3f, 0.6f, 0.9f, 1.0f};
constexpr std::uint32_t kDiffuse = 0x80FF4000;  // a, r, g, b
constexpr Vec kTex0 = {0.7f, 0.35f, 0.0f, 1.0f};
constexpr Vec kTex1 = {0.15f, 0.85f, 0.0f, 1.0f};

float dot(const Vec& a, const Vec& b, int n) {
    float sum = 0.0f;
    for (int i = 0; i < n; ++i) {
        sum += a[static_cast<std::size_t>(i)] * b[static_cast<std::size_t>(i)];
    }
    return sum;
}

Vec each(const Vec& a, const Vec& b, const std::function<float(float, float)>& f) {
    return {f(a[0], b[0]), f(a[1], b[1]), f(a[2], b[2]), f(a[3], b[3])};
}

Vec all(float f) {
    return {f, f, f, f};
}

// Rows of `m` as the macros read them, `rows` results in x, y, ...
Vec matrix(const Vec& vector, int width, int rows) {
    Vec out = kBackground;
    for (int row = 0; row < rows; ++row) {
        out[static_cast<std::size_t>(row)] =
            dot(vector, kMatrix[static_cast<std::size_t>(row)], width);
    }
    return out;
}

struct Case {
    const char* name;
    std::function<void(VertexShaderWriter&)> emit;  // writes r0
    Vec expected;                                   // r0 afterwards
    Vec scale = all(1.0f);                          // brings r0 into colour range
    Vec offset = all(0.0f);
    bool version11Only = false;
};

std::vector<Case> cases() {
    auto op = [](Opcode opcode, Register dst, std::initializer_list<Register> sources) {
        std::vector<Register> copy(sources);
        return [opcode, dst, copy](VertexShaderWriter& w) {
            switch (copy.size()) {
            case 1:
                w.Op(opcode, dst, {copy[0]});
                break;
            case 2:
                w.Op(opcode, dst, {copy[0], copy[1]});
                break;
            default:
                w.Op(opcode, dst, {copy[0], copy[1], copy[2]});
            }
        };
    };
    const Vec half = all(0.5f);
    std::vector<Case> list = {
        {"mov", op(Opcode::Mov, r(0), {c(0)}), kC0},
        {"mov swizzled and negated", op(Opcode::Mov, r(0), {-c(1).Swizzle("wzyx")}),
         {-2.0f, -0.125f, 0.25f, -0.5f}, all(0.25f), half},
        {"add", op(Opcode::Add, r(0), {c(0), c(1)}), each(kC0, kC1, std::plus<float>()),
         all(0.25f), half},
        {"sub", op(Opcode::Sub, r(0), {c(0), c(1)}), each(kC0, kC1, std::minus<float>()),
         all(0.5f), half},
        {"mul", op(Opcode::Mul, r(0), {c(0), c(1)}), each(kC0, kC1, std::multiplies<float>()),
         all(0.5f), half},
        {"mad", op(Opcode::Mad, r(0), {c(0), c(1), c(2)}),
         each(each(kC0, kC1, std::multiplies<float>()), kC2, std::plus<float>()), all(0.4f), half},
        {"dp3", op(Opcode::Dp3, r(0), {c(0), c(2)}), all(dot(kC0, kC2, 3))},
        {"dp4", op(Opcode::Dp4, r(0), {c(0), c(2)}), all(dot(kC0, kC2, 4))},
        {"rcp", op(Opcode::Rcp, r(0), {c(1).Swizzle("w")}), all(0.5f)},
        {"rcp reads w of an unreplicated swizzle", op(Opcode::Rcp, r(0), {c(7)}),
         all(1.0f / 3.0f)},
        {"rsq", op(Opcode::Rsq, r(0), {c(2).Swizzle("w")}), all(1.0f / std::sqrt(0.4f)),
         all(0.5f)},
        {"rsq of a negative value", op(Opcode::Rsq, r(0), {c(1).Swizzle("y")}), all(2.0f),
         all(0.4f)},
        {"min", op(Opcode::Min, r(0), {c(0), c(1)}), each(kC0, kC1, [](float a, float b) {
             return std::min(a, b);
         }),
         all(0.5f), half},
        {"max", op(Opcode::Max, r(0), {c(0), c(1)}), each(kC0, kC1, [](float a, float b) {
             return std::max(a, b);
         }),
         all(0.4f)},
        {"slt", op(Opcode::Slt, r(0), {c(0), c(1)}),
         each(kC0, kC1, [](float a, float b) { return a < b ? 1.0f : 0.0f; })},
        {"sge", op(Opcode::Sge, r(0), {c(0), c(1)}),
         each(kC0, kC1, [](float a, float b) { return a >= b ? 1.0f : 0.0f; })},
        {"exp", op(Opcode::Exp, r(0), {c(7).Swizzle("z")}), all(std::exp2(1.25f)), all(0.4f)},
        {"log", op(Opcode::Log, r(0), {c(7).Swizzle("w")}), all(std::log2(3.0f)), all(0.5f)},
        {"expp", op(Opcode::Expp, r(0), {c(7).Swizzle("z")}),
         {2.0f, 0.25f, std::exp2(1.25f), 1.0f}, {0.4f, 1.0f, 0.4f, 1.0f}},
        {"logp", op(Opcode::Logp, r(0), {-c(7).Swizzle("w")}),
         {1.0f, 1.5f, std::log2(3.0f), 1.0f}, {0.5f, 0.5f, 0.5f, 1.0f}},
        {"lit", op(Opcode::Lit, r(0), {c(2).Swizzle("wwyz")}),
         {1.0f, 0.4f, std::pow(0.4f, 0.3f), 1.0f}},
        {"lit facing away", op(Opcode::Lit, r(0), {c(1).Swizzle("yxzw")}), {1.0f, 0.0f, 0.0f, 1.0f}},
        {"dst", op(Opcode::Dst, r(0), {c(0), c(2)}), {1.0f, 0.5f * 0.2f, 0.75f, 0.4f}},
        {"frc", op(Opcode::Frc, r(0), {c(7)}),
         {2.7f - 2.0f, -0.5f + 1.0f, 0.25f, 0.0f}},
        {"m4x4", op(Opcode::M4x4, r(0), {c(0), c(3)}), matrix(kC0, 4, 4)},
        {"m4x3", op(Opcode::M4x3, r(0).Mask("xyz"), {c(0), c(3)}), matrix(kC0, 4, 3)},
        {"m3x4", op(Opcode::M3x4, r(0), {c(0), c(3)}), matrix(kC0, 3, 4)},
        {"m3x3", op(Opcode::M3x3, r(0).Mask("xyz"), {c(0), c(3)}), matrix(kC0, 3, 3)},
        {"m3x2", op(Opcode::M3x2, r(0).Mask("xy"), {c(0), c(3)}), matrix(kC0, 3, 2)},
        {"write mask", op(Opcode::Mov, r(0).Mask("xz"), {c(0)}),
         {kC0[0], kBackground[1], kC0[2], kBackground[3]}},
        {"nop and a comment",
         [](VertexShaderWriter& w) {
             w.Nop();
             w.Comment({0x12345678, 0x80000000});
             w.Op(Opcode::Mov, r(0).Mask("w"), {c(2)});
         },
         {kBackground[0], kBackground[1], kBackground[2], kC2[3]}},
        {"normal, colour and both coordinate pairs",
         [](VertexShaderWriter& w) {
             w.Op(Opcode::Mul, r(0), {v(1), v(2)});
             w.Op(Opcode::Mad, r(0), {v(3), v(4).Swizzle("yxzw"), r(0)});
         },
         {kNormal[0] * 1.0f + kTex0[0] * kTex1[1], kNormal[1] * (0x40 / 255.0f) + kTex0[1] * kTex1[0],
          kNormal[2] * 0.0f, 1.0f * (0x80 / 255.0f) + 1.0f}, {1.0f, 1.0f, 1.0f, 0.5f}},
        {"an undeclared input reads 0, 0, 0, 1", op(Opcode::Mov, r(0), {v(9)}), {0, 0, 0, 1}},
        {"relative addressing rounds down",
         [](VertexShaderWriter& w) {
             w.Op(Opcode::Mov, a0(), {c(7).Swizzle("x")});
             w.Op(Opcode::Mov, r(0), {c(1).Relative()});  // c[2 + 1]
         },
         kMatrix[0], all(1.0f), all(0.0f), true},
        {"relative addressing below zero and past the end reads 0",
         [](VertexShaderWriter& w) {
             w.Op(Opcode::Mov, a0(), {c(7).Swizzle("y")});  // -1
             w.Op(Opcode::Add, r(0), {c(4).Relative(), c(0).Relative()});
             w.Op(Opcode::Mov, a0(), {c(7).Swizzle("w")});  // 3
             w.Op(Opcode::Add, r(0), {r(0), c(95).Relative()});
         },
         kMatrix[0], all(1.0f), all(0.0f), true},
    };
    return list;
}

class VertexShaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEngineState();
        AddSearchPath(folder.Path().string());
        module = std::make_unique<GlModule>();
        RenderDriver& driver = module->GetDriver(0);
        module->SelectDriver(&driver);
        module->SelectDevice(driver.devices.at(0).get());
        ASSERT_TRUE(module->Initialize(nullptr, false, 16, 16, 32));
        module->SetClearColor(0, 0, 0, 0);
        module->SetColorOp(0, ColorOp::SelectArg1);
        module->SetColorArg1(0, ColorArg::Diffuse);
        module->SetDepthTest(false);
        setConstant(0, kC0);
        setConstant(1, kC1);
        setConstant(2, kC2);
        for (int row = 0; row < 4; ++row) {
            setConstant(3 + row, kMatrix[static_cast<std::size_t>(row)]);
        }
        setConstant(7, kC7);
        setConstant(9, kBackground);
    }
    void TearDown() override {
        module.reset();
        ResetEngineState();
    }

    void setConstant(int reg, const Vec& value) {
        module->SetVertexShaderConstant(reg, value.data(), 1);
    }

    RenderModule::ShaderHandle load(const std::string& name, const VertexShaderWriter& writer) {
        WriteFile(folder / name, writer.Bytes());
        return module->LoadVertexShader(name);
    }

    // A quad over the whole target (or the rectangle given in clip space).
    void drawQuad(float x0 = -1, float y0 = -1, float x1 = 1, float y1 = 1) {
        auto vertex = [](float x, float y) {
            return RenderVertex{x,        y,        0.5f,     kNormal[0], kNormal[1], kNormal[2],
                                kDiffuse, kTex0[0], kTex0[1], kTex1[0],   kTex1[1]};
        };
        const RenderVertex quad[4] = {vertex(x0, y0), vertex(x1, y0), vertex(x0, y1),
                                      vertex(x1, y1)};
        module->BeginFrame();
        module->Clear(0);
        module->Draw(PrimitiveType::TriangleStrip, 4, quad);
        module->EndFrame();
    }

    // R, G, B of a pixel in 0..1.
    Vec colourAt(int x, int y) {
        int pitch = 0;
        const std::uint8_t* frame = module->LockBackBuffer(pitch);
        const std::uint8_t* p = frame + y * pitch + x * 4;
        const Vec colour = {p[2] / 255.0f, p[1] / 255.0f, p[0] / 255.0f, 0.0f};
        module->UnlockBackBuffer();
        return colour;
    }

    TempDir folder;
    std::unique_ptr<GlModule> module;
};

float toColour(float value, float scale, float offset) {
    return std::clamp(value * scale + offset, 0.0f, 1.0f);
}

// The back buffer keeps no alpha, so each result is drawn twice: x, y, z
// in red, green, blue, then w in all three.
TEST_F(VertexShaderTest, EveryInstructionOfBothVersionsComputesAsOnTheCpu) {
    int file = 0;
    for (std::uint32_t version : {vs::kVersion10, vs::kVersion11}) {
        for (const Case& test : cases()) {
            if (test.version11Only && version == vs::kVersion10) {
                continue;
            }
            SCOPED_TRACE(std::string(test.name) +
                         (version == vs::kVersion10 ? " (1.0)" : " (1.1)"));
            VertexShaderWriter w(version);
            w.Op(Opcode::Mov, oPos(), {v(0)});
            w.Op(Opcode::Mov, r(0), {c(9)});
            test.emit(w);
            // oD0 = (r0 * c12 + r0.w * c13) * c10 + c11
            w.Op(Opcode::Mul, r(1), {r(0), c(12)});
            w.Op(Opcode::Mad, r(1), {r(0).Swizzle("w"), c(13), r(1)});
            w.Op(Opcode::Mad, oD(0), {r(1), c(10), c(11)});
            const RenderModule::ShaderHandle handle =
                load("case" + std::to_string(file++) + ".vso", w);
            ASSERT_NE(handle, 0u);
            module->SetVertexShader(handle);
            for (int pass = 0; pass < 2; ++pass) {
                setConstant(10, pass == 0 ? test.scale : all(test.scale[3]));
                setConstant(11, pass == 0 ? test.offset : all(test.offset[3]));
                setConstant(12, pass == 0 ? Vec{1, 1, 1, 0} : Vec{0, 0, 0, 0});
                setConstant(13, pass == 0 ? Vec{0, 0, 0, 0} : Vec{1, 1, 1, 0});
                drawQuad();
                const Vec got = colourAt(8, 8);
                for (int i = 0; i < 3; ++i) {
                    const std::size_t component = pass == 0 ? static_cast<std::size_t>(i) : 3;
                    const float expected = toColour(test.expected[component], test.scale[component],
                                                    test.offset[component]);
                    EXPECT_NEAR(got[static_cast<std::size_t>(i)], expected, 1.6f / 255.0f)
                        << "component " << component;
                }
            }
        }
    }
}

TEST_F(VertexShaderTest, PositionsFollowDirectXClipSpaceAndTheFixedStagesShadeTheOutputs) {
    // m4x4 by a matrix that halves x and y and moves them into the top right
    // quarter; the texture factor tints the diffuse output through stage 1.
    VertexShaderWriter w;
    w.Op(Opcode::M4x4, oPos(), {v(0), c(20)});
    w.Op(Opcode::Mov, oD(0), {c(24)});
    w.Op(Opcode::Mov, oD(1), {c(25)});
    const float rows[4][4] = {{0.5f, 0, 0, 0.5f}, {0, 0.5f, 0, 0.5f}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    module->SetVertexShaderConstant(20, &rows[0][0], 4);
    setConstant(24, {1.0f, 0.5f, 0.0f, 1.0f});
    setConstant(25, {0.0f, 0.0f, 0.5f, 0.0f});
    module->SetVertexShader(load("corner.vso", w));
    drawQuad();
    EXPECT_NEAR(colourAt(12, 3)[0], 1.0f, 0.01f);  // top right: drawn
    EXPECT_NEAR(colourAt(12, 3)[1], 0.5f, 0.01f);
    EXPECT_NEAR(colourAt(12, 3)[2], 0.0f, 0.01f) << "specular stays out while it is off";
    EXPECT_EQ(colourAt(3, 3)[0], 0.0f);    // top left
    EXPECT_EQ(colourAt(12, 12)[0], 0.0f);  // bottom right
    // Specular on adds oD1; a second stage modulates by the texture factor.
    module->SetLighting(true);
    module->SetColorOp(1, ColorOp::Modulate);
    module->SetColorArg1(1, ColorArg::Current);
    module->SetColorArg2(1, ColorArg::Diffuse);
    drawQuad();
    EXPECT_NEAR(colourAt(12, 3)[0], 1.0f, 0.01f);
    EXPECT_NEAR(colourAt(12, 3)[1], 0.25f, 0.01f);
    EXPECT_NEAR(colourAt(12, 3)[2], 0.5f, 0.01f);
    // Handle 0 is the fixed function again: the quad covers the target unlit.
    module->SetLighting(false);
    module->SetColorOp(1, ColorOp::Disable);
    module->SetVertexShader(0);
    module->SetOrthographic(2, 2, 0, 1);
    drawQuad();
    EXPECT_NEAR(colourAt(3, 12)[0], 1.0f, 0.01f);
    EXPECT_NEAR(colourAt(3, 12)[1], 0x40 / 255.0f, 0.01f);
}

}  // namespace
}  // namespace vesta::test
