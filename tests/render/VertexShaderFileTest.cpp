// Loading vertex shader files: a sound stream is loaded once per name, and
// every kind of broken stream ends in the message that names the file.

#include <gtest/gtest.h>

#include "EngineState.h"
#include "TestSupport.h"
#include "fs/SearchPaths.h"
#include "render/RecordingModule.h"
#include "render/vsasm/ToonShade.h"
#include "render/vsasm/VertexShaderWriter.h"

namespace vesta::test {
namespace {

using namespace vsasm;

class VertexShaderFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEngineState();
        AddSearchPath(folder.Path().string());
    }
    void TearDown() override { ResetEngineState(); }

    // The error loading `bytes` as "Broken.vso" raises.
    std::string errorOf(const std::vector<std::uint8_t>& bytes) {
        WriteFile(folder / "Broken.vso", bytes);
        RecordingModule module;
        return EngineErrorOf([&] { module.LoadVertexShader("Broken.vso"); });
    }
    std::string errorOf(const VertexShaderWriter& writer) { return errorOf(writer.Bytes()); }

    static VertexShaderWriter minimal(std::uint32_t version = vs::kVersion11) {
        VertexShaderWriter w(version);
        w.Op(Opcode::Mov, oPos(), {v(0)});
        return w;
    }

    TempDir folder;
};

TEST_F(VertexShaderFileTest, ASoundFileLoadsOnceAndItsHandleSelectsIt) {
    WriteFile(folder / "ToonShade.vso", ToonShadeShader());
    RecordingModule module;
    const RenderModule::ShaderHandle handle = module.LoadVertexShader("ToonShade.vso");
    ASSERT_NE(handle, 0u);
    EXPECT_EQ(module.LoadVertexShader("ToonShade.vso"), handle);
    const VertexShaderProgram* program = module.VertexShader(handle);
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(program->instructions.size(), 15u);  // the comment is dropped
    EXPECT_EQ(program->instructions.front().opcode, vs::Opcode::M4x4);
    EXPECT_TRUE(program->writesColor[0]);
    EXPECT_TRUE(program->writesTexCoord[0]);
    EXPECT_FALSE(program->writesTexCoord[1]);
    module.SetVertexShader(handle);
    EXPECT_EQ(module.State().vertexShader.handle, handle);
    // Registers past c95 are dropped, the others kept.
    const float values[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    module.SetVertexShaderConstant(95, values, 2);
    EXPECT_EQ(module.State().vertexShader.constants[95][3], 4.0f);
    EXPECT_EQ(EngineErrorOf([&] { module.LoadVertexShader("Missing.vso"); }),
              "VertexShader : Failed to open file Missing.vso");
}

TEST_F(VertexShaderFileTest, BrokenStreamsEndInAMessageNamingTheFile) {
    const std::string prefix = "Failed to create shader Broken.vso (";
    auto expectError = [&](const std::string& error, const char* reason) {
        EXPECT_EQ(error, prefix + reason + ")");
    };
    // Truncated: in the middle of an instruction, and before the end token.
    std::vector<std::uint8_t> bytes = minimal().Bytes();
    bytes.resize(bytes.size() - 8);
    expectError(errorOf(bytes), "the stream ends inside an instruction");
    bytes = minimal().Bytes();
    bytes.resize(bytes.size() - 4);
    expectError(errorOf(bytes), "the stream ends without its end token");
    bytes.resize(bytes.size() - 1);
    expectError(errorOf(bytes), "the stream is not a whole number of 32-bit tokens");
    expectError(errorOf(std::vector<std::uint8_t>{}), "the stream holds no version token");

    VertexShaderWriter badVersion(0xFFFE0200);  // vs.2.0
    expectError(errorOf(badVersion), "unsupported version token 0xFFFE0200");
    VertexShaderWriter pixelShader(0xFFFF0101);
    expectError(errorOf(pixelShader), "unsupported version token 0xFFFF0101");

    VertexShaderWriter badOpcode = minimal();
    badOpcode.Raw(18);  // lrp, a pixel shader instruction
    expectError(errorOf(badOpcode), "unknown opcode 18");
    VertexShaderWriter badControl = minimal();
    badControl.Raw(0x00010001);
    expectError(errorOf(badControl), "instruction token 0x00010001 has unknown control bits");

    VertexShaderWriter temp = minimal();
    temp.Op(Opcode::Mov, r(12), {c(0)});
    expectError(errorOf(temp), "destination register 12 out of range in file 0");
    VertexShaderWriter constant = minimal();
    constant.Op(Opcode::Mov, r(0), {c(96)});
    expectError(errorOf(constant), "source register 96 out of range in file 2");
    VertexShaderWriter input = minimal();
    input.Op(Opcode::Mov, r(0), {v(16)});
    expectError(errorOf(input), "source register 16 out of range in file 1");
    VertexShaderWriter texture = minimal();
    texture.Op(Opcode::Mov, oT(8), {v(0)});
    expectError(errorOf(texture), "destination register 8 out of range in file 6");
    VertexShaderWriter matrix = minimal();
    matrix.Op(Opcode::M4x4, r(0), {v(0), c(93)});
    expectError(errorOf(matrix), "matrix rows from register 93 run out of range");
    VertexShaderWriter writeInput = minimal();
    writeInput.Op(Opcode::Mov, v(1), {r(0)});
    expectError(errorOf(writeInput), "register file 1 cannot be written");
    VertexShaderWriter readOutput = minimal();
    readOutput.Op(Opcode::Mov, r(0), {oD(0)});
    expectError(errorOf(readOutput), "register file 5 cannot be read");
    VertexShaderWriter emptyMask = minimal();
    emptyMask.Op(Opcode::Mov, r(0).Mask(""), {c(0)});
    expectError(errorOf(emptyMask), "a destination with an empty write mask");

    // The address register and relative addressing exist from 1.1 on.
    VertexShaderWriter address10 = minimal(vs::kVersion10);
    address10.Op(Opcode::Mov, a0(), {c(0)});
    expectError(errorOf(address10),
                "the address register is written by mov a0.x in version 1.1 only");
    VertexShaderWriter relative10 = minimal(vs::kVersion10);
    relative10.Op(Opcode::Mov, r(0), {c(0).Relative()});
    expectError(errorOf(relative10), "relative addressing reads constants in version 1.1 only");
    VertexShaderWriter relativeTemp = minimal();
    relativeTemp.Op(Opcode::Mov, r(0), {r(1).Relative()});
    expectError(errorOf(relativeTemp), "relative addressing reads constants in version 1.1 only");

    VertexShaderWriter modifier = minimal();
    modifier.Raw(static_cast<std::uint32_t>(Opcode::Mov));
    modifier.Raw(DestinationToken(r(0)));
    modifier.Raw(SourceToken(c(0)) | (3u << 24));  // bias: pixel shaders only
    expectError(errorOf(modifier), "source modifier 3 is not one of a vertex shader");
    VertexShaderWriter notParameter = minimal();
    notParameter.Raw(static_cast<std::uint32_t>(Opcode::Mov));
    notParameter.Raw(DestinationToken(r(0)) & 0x7FFFFFFF);
    expectError(errorOf(notParameter), "token 0x000F0000 is not a parameter token");

    // Missing end token, words after it, a comment longer than the file.
    bytes = minimal().Bytes();
    bytes.resize(bytes.size() - 4);
    const std::vector<std::uint8_t> nop = {0, 0, 0, 0};
    bytes.insert(bytes.end(), nop.begin(), nop.end());
    expectError(errorOf(bytes), "the stream ends without its end token");
    bytes = minimal().Bytes();
    bytes.insert(bytes.end(), nop.begin(), nop.end());
    expectError(errorOf(bytes), "tokens follow the end token");
    VertexShaderWriter comment = minimal();
    comment.Raw(0x7FFFFFFE);
    expectError(errorOf(comment), "a comment runs past the end of the stream");

    VertexShaderWriter noPosition;
    noPosition.Op(Opcode::Mov, oD(0), {v(2)});
    expectError(errorOf(noPosition), "the shader never writes oPos");
    VertexShaderWriter tooLong = minimal();
    for (int i = 0; i < 11; ++i) {
        tooLong.Op(Opcode::Exp, r(0), {c(0)});  // 12 slots each
    }
    expectError(errorOf(tooLong), "more than 128 instruction slots");
}

}  // namespace
}  // namespace vesta::test
