#include "render/vsasm/VertexShaderWriter.h"

#include <algorithm>

namespace vesta::vsasm {

namespace {

constexpr std::uint32_t kParameterBit = 0x80000000u;

std::uint32_t component(char name) {
    switch (name) {
    case 'y':
    case 'g':
        return 1;
    case 'z':
    case 'b':
        return 2;
    case 'w':
    case 'a':
        return 3;
    default:
        return 0;
    }
}

std::uint32_t fileBits(RegisterFile file) {
    return static_cast<std::uint32_t>(file) << 28;
}

}  // namespace

Register Register::Mask(std::string_view components) const {
    Register copy = *this;
    copy.mask = 0;
    for (char name : components) {
        copy.mask |= 1u << component(name);
    }
    return copy;
}

Register Register::Swizzle(std::string_view components) const {
    Register copy = *this;
    copy.swizzle = 0;
    for (std::uint32_t i = 0; i < 4; ++i) {
        const char name =
            components.empty() ? 'x' : components[std::min<std::size_t>(i, components.size() - 1)];
        copy.swizzle |= component(name) << (2 * i);
    }
    return copy;
}

Register Register::operator-() const {
    Register copy = *this;
    copy.negate = !negate;
    return copy;
}

Register Register::Relative() const {
    Register copy = *this;
    copy.relative = true;
    return copy;
}

std::uint32_t DestinationToken(const Register& reg) {
    return kParameterBit | fileBits(reg.file) | ((reg.mask & 0xF) << 16) |
           (static_cast<std::uint32_t>(reg.index) & 0x7FF);
}

std::uint32_t SourceToken(const Register& reg) {
    return kParameterBit | fileBits(reg.file) | (reg.negate ? 1u << 24 : 0u) |
           ((reg.swizzle & 0xFF) << 16) | (reg.relative ? 1u << 13 : 0u) |
           (static_cast<std::uint32_t>(reg.index) & 0x7FF);
}

VertexShaderWriter::VertexShaderWriter(std::uint32_t version) {
    m_tokens.push_back(version);
}

void VertexShaderWriter::Op(Opcode opcode, const Register& destination,
                            std::initializer_list<Register> sources) {
    m_tokens.push_back(static_cast<std::uint32_t>(opcode));
    m_tokens.push_back(DestinationToken(destination));
    for (const Register& source : sources) {
        m_tokens.push_back(SourceToken(source));
    }
}

void VertexShaderWriter::Nop() {
    m_tokens.push_back(static_cast<std::uint32_t>(Opcode::Nop));
}

void VertexShaderWriter::Comment(const std::vector<std::uint32_t>& words) {
    m_tokens.push_back(static_cast<std::uint32_t>(Opcode::Comment) |
                       (static_cast<std::uint32_t>(words.size()) << 16));
    m_tokens.insert(m_tokens.end(), words.begin(), words.end());
}

std::vector<std::uint8_t> VertexShaderWriter::Bytes() const {
    std::vector<std::uint8_t> bytes;
    bytes.reserve((m_tokens.size() + 1) * 4);
    auto put = [&](std::uint32_t token) {
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(static_cast<std::uint8_t>(token >> shift));
        }
    };
    for (std::uint32_t token : m_tokens) {
        put(token);
    }
    put(vs::kEndToken);
    return bytes;
}

}  // namespace vesta::vsasm
