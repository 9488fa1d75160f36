#pragma once
// A small assembler for Direct3D 8 vertex shaders: instructions written as
// calls, tokens out.
//
//     vsasm::VertexShaderWriter w;            // vs.1.1
//     w.Op(Opcode::M4x4, oPos(), {v(0), c(0)});
//     w.Op(Opcode::Mov, oD(0).Mask("xyz"), {-r(1).Swizzle("zyxw")});
//     std::vector<std::uint8_t> file = w.Bytes();  // the end token appended

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "render/VertexShaderProgram.h"

namespace vesta::vsasm {

using vs::Opcode;
using vs::RegisterFile;

struct Register {
    RegisterFile file = RegisterFile::Temp;
    int index = 0;
    std::uint32_t mask = 0xF;      // as a destination
    std::uint32_t swizzle = 0xE4;  // as a source: two bits per component, x lowest
    bool negate = false;
    bool relative = false;  // c[a0.x + index]

    // Components to write, from "xyzw".
    Register Mask(std::string_view components) const;
    // Four selectors, or one that is replicated ("x" reads x in every component).
    Register Swizzle(std::string_view components) const;
    Register operator-() const;
    Register Relative() const;
};

inline Register r(int i) {
    return {RegisterFile::Temp, i};
}
inline Register v(int i) {
    return {RegisterFile::Input, i};
}
inline Register c(int i) {
    return {RegisterFile::Const, i};
}
inline Register a0() {
    return {RegisterFile::Address, 0, 0x1};
}
inline Register oPos() {
    return {RegisterFile::RasterOut, vs::kPosition};
}
inline Register oFog() {
    return {RegisterFile::RasterOut, vs::kFog, 0x1};
}
inline Register oPts() {
    return {RegisterFile::RasterOut, vs::kPointSize, 0x1};
}
inline Register oD(int i) {
    return {RegisterFile::AttributeOut, i};
}
inline Register oT(int i) {
    return {RegisterFile::TexCoordOut, i};
}

// The parameter tokens as the stream holds them.
std::uint32_t DestinationToken(const Register& reg);
std::uint32_t SourceToken(const Register& reg);

class VertexShaderWriter {
public:
    explicit VertexShaderWriter(std::uint32_t version = vs::kVersion11);

    void Op(Opcode opcode, const Register& destination, std::initializer_list<Register> sources);
    void Nop();
    // A comment block of `words` tokens, which readers skip.
    void Comment(const std::vector<std::uint32_t>& words);
    // Anything at all, for streams that must be wrong.
    void Raw(std::uint32_t token) { m_tokens.push_back(token); }

    // The stream so far, without the end token.
    const std::vector<std::uint32_t>& Tokens() const { return m_tokens; }
    // The file: the stream with the end token, little-endian.
    std::vector<std::uint8_t> Bytes() const;

private:
    std::vector<std::uint32_t> m_tokens;
};

}  // namespace vesta::vsasm
