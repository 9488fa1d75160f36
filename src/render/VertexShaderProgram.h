#pragma once
// A compiled Direct3D 8 vertex shader (versions 1.0 and 1.1) as decoded
// from its token stream: what each instruction reads and writes, with the
// stream checked so that a backend can translate it without further tests.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vesta {

namespace vs {

// Register files as the parameter tokens number them.
enum class RegisterFile : std::uint8_t {
    Temp = 0,          // r0..r11
    Input = 1,         // v0..v15
    Const = 2,         // c0..c95
    Address = 3,       // a0 (version 1.1)
    RasterOut = 4,     // oPos, oFog, oPts
    AttributeOut = 5,  // oD0, oD1
    TexCoordOut = 6,   // oT0..oT7
};

inline constexpr int kTempCount = 12;
inline constexpr int kInputCount = 16;
inline constexpr int kConstCount = 96;
inline constexpr int kTexCoordOutCount = 8;
inline constexpr int kColorOutCount = 2;
inline constexpr int kRasterOutCount = 3;
// Instruction slots a shader may fill; a matrix macro fills one per row.
inline constexpr int kMaxSlots = 128;

enum RasterOut : std::uint8_t { kPosition = 0, kFog = 1, kPointSize = 2 };

enum class Opcode : std::uint16_t {
    Nop = 0,
    Mov = 1,
    Add = 2,
    Sub = 3,
    Mad = 4,
    Mul = 5,
    Rcp = 6,
    Rsq = 7,
    Dp3 = 8,
    Dp4 = 9,
    Min = 10,
    Max = 11,
    Slt = 12,
    Sge = 13,
    Exp = 14,
    Log = 15,
    Lit = 16,
    Dst = 17,
    Frc = 19,
    M4x4 = 20,
    M4x3 = 21,
    M3x4 = 22,
    M3x3 = 23,
    M3x2 = 24,
    Expp = 78,
    Logp = 79,
    Comment = 0xFFFE,
    End = 0xFFFF,
};

struct Destination {
    RegisterFile file = RegisterFile::Temp;
    std::uint8_t index = 0;
    std::uint8_t mask = 0xF;  // bit 0 x .. bit 3 w
};

struct Source {
    RegisterFile file = RegisterFile::Temp;
    std::uint8_t index = 0;
    // The component each of x, y, z, w reads (0..3).
    std::array<std::uint8_t, 4> swizzle{0, 1, 2, 3};
    bool negate = false;
    // c[a0.x + index]
    bool relative = false;
};

struct Instruction {
    Opcode opcode = Opcode::Nop;
    Destination destination;
    std::array<Source, 3> sources{};
    std::uint8_t sourceCount = 0;
};

// Version token values.
inline constexpr std::uint32_t kVersion10 = 0xFFFE0100;
inline constexpr std::uint32_t kVersion11 = 0xFFFE0101;
inline constexpr std::uint32_t kEndToken = 0x0000FFFF;

// How many sources an opcode takes; -1 for an opcode outside versions 1.0 and 1.1.
int SourceCount(Opcode opcode);
// Rows a matrix macro computes; 0 for other opcodes.
int MacroRows(Opcode opcode);
// Each row of a matrix macro is a dot product of this many components.
int MacroWidth(Opcode opcode);

}  // namespace vs

struct VertexShaderProgram {
    std::uint32_t version = vs::kVersion11;
    std::vector<vs::Instruction> instructions;  // no comments, nops kept
    // Which output registers some instruction writes.
    bool writesFog = false;
    bool writesPointSize = false;
    std::array<bool, vs::kColorOutCount> writesColor{};
    std::array<bool, vs::kTexCoordOutCount> writesTexCoord{};
};

struct VertexShaderParse {
    VertexShaderProgram program;
    // Empty when the stream is sound; else what is wrong with it.
    std::string error;
    bool Ok() const { return error.empty(); }
};

// Decodes and checks a whole stream: the version, every token inside the
// bytes, known opcodes with their parameter counts, register files and
// indices allowed for the version, write masks, the slot limit and the end
// token as the last token.
VertexShaderParse ParseVertexShader(const std::uint8_t* bytes, std::size_t size);

}  // namespace vesta
