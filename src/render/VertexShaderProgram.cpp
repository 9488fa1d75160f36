#include "render/VertexShaderProgram.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace vesta {

namespace vs {

int SourceCount(Opcode opcode) {
    switch (opcode) {
    case Opcode::Nop:
        return 0;
    case Opcode::Mov:
    case Opcode::Rcp:
    case Opcode::Rsq:
    case Opcode::Exp:
    case Opcode::Log:
    case Opcode::Lit:
    case Opcode::Frc:
    case Opcode::Expp:
    case Opcode::Logp:
        return 1;
    case Opcode::Add:
    case Opcode::Sub:
    case Opcode::Mul:
    case Opcode::Dp3:
    case Opcode::Dp4:
    case Opcode::Min:
    case Opcode::Max:
    case Opcode::Slt:
    case Opcode::Sge:
    case Opcode::Dst:
    case Opcode::M4x4:
    case Opcode::M4x3:
    case Opcode::M3x4:
    case Opcode::M3x3:
    case Opcode::M3x2:
        return 2;
    case Opcode::Mad:
        return 3;
    case Opcode::Comment:
    case Opcode::End:
        break;
    }
    return -1;
}

int MacroRows(Opcode opcode) {
    switch (opcode) {
    case Opcode::M4x4:
    case Opcode::M3x4:
        return 4;
    case Opcode::M4x3:
    case Opcode::M3x3:
        return 3;
    case Opcode::M3x2:
        return 2;
    default:
        return 0;
    }
}

int MacroWidth(Opcode opcode) {
    return opcode == Opcode::M4x4 || opcode == Opcode::M4x3 ? 4 : 3;
}

}  // namespace vs

namespace {

using namespace vs;

constexpr std::uint32_t kParameterBit = 0x80000000u;
constexpr std::uint32_t kRegisterNumberMask = 0x000007FFu;
constexpr std::uint32_t kRelativeBit = 1u << 13;
constexpr std::uint32_t kNegateModifier = 1u;

// Instruction slots as the version 1.1 limit counts them.
int slots(Opcode opcode) {
    if (const int rows = MacroRows(opcode)) {
        return rows;
    }
    switch (opcode) {
    case Opcode::Exp:
    case Opcode::Log:
        return 12;
    case Opcode::Frc:
        return 3;
    default:
        return 1;
    }
}

__attribute__((format(printf, 1, 2))) std::string format(const char* text, ...) {
    char buffer[160];
    va_list arguments;
    va_start(arguments, text);
    std::vsnprintf(buffer, sizeof buffer, text, arguments);
    va_end(arguments);
    return buffer;
}

class Decoder {
public:
    Decoder(const std::uint8_t* bytes, std::size_t count) : m_bytes(bytes), m_count(count) {}

    VertexShaderParse Run() {
        VertexShaderParse result;
        if (!m_bytes || m_count % 4 != 0) {
            result.error = "the stream is not a whole number of 32-bit tokens";
            return result;
        }
        std::uint32_t version = 0;
        if (!next(version)) {
            result.error = "the stream holds no version token";
            return result;
        }
        if (version != kVersion10 && version != kVersion11) {
            result.error = format("unsupported version token 0x%08X", version);
            return result;
        }
        m_program.version = version;
        result.error = body();
        result.program = std::move(m_program);
        return result;
    }

private:
    bool next(std::uint32_t& token) {
        if (m_position + 4 > m_count) {
            return false;
        }
        std::memcpy(&token, m_bytes + m_position, 4);
        m_position += 4;
        return true;
    }

    std::string body() {
        int usedSlots = 0;
        for (;;) {
            std::uint32_t token = 0;
            if (!next(token)) {
                return "the stream ends without its end token";
            }
            if (token == kEndToken) {
                if (m_position != m_count) {
                    return "tokens follow the end token";
                }
                return m_writesPosition ? "" : "the shader never writes oPos";
            }
            const auto opcode = static_cast<Opcode>(token & 0xFFFF);
            if (opcode == Opcode::Comment && !(token & kParameterBit)) {
                const std::size_t length = (token >> 16) & 0x7FFF;
                if (length > (m_count - m_position) / 4) {
                    return "a comment runs past the end of the stream";
                }
                m_position += length * 4;
                continue;
            }
            std::string error = instruction(token);
            if (!error.empty()) {
                return error;
            }
            usedSlots += slots(m_program.instructions.back().opcode);
            if (usedSlots > kMaxSlots) {
                return format("more than %d instruction slots", kMaxSlots);
            }
        }
    }

    std::string instruction(std::uint32_t token) {
        const auto opcode = static_cast<Opcode>(token & 0xFFFF);
        const int sourceCount = SourceCount(opcode);
        if ((token & kParameterBit) || sourceCount < 0) {
            return format("unknown opcode %u", token & 0xFFFF);
        }
        const unsigned parameters = static_cast<unsigned>(sourceCount + (sourceCount ? 1 : 0));
        const unsigned length = (token >> 24) & 0xF;
        // Bits 16 to 23 and 28 to 31 carry nothing for vertex shaders; the
        // length field is left 0 by version 1 assemblers or names the
        // parameter count.
        if ((token & 0xF0FF0000u) != 0 || (length != 0 && length != parameters)) {
            return format("instruction token 0x%08X has unknown control bits", token);
        }
        Instruction decoded;
        decoded.opcode = opcode;
        decoded.sourceCount = static_cast<std::uint8_t>(sourceCount);
        if (sourceCount > 0) {
            std::string error = destination(opcode, decoded.destination);
            for (int i = 0; error.empty() && i < sourceCount; ++i) {
                error = source(decoded.sources[static_cast<std::size_t>(i)]);
            }
            if (error.empty()) {
                error = macroRows(decoded);
            }
            if (!error.empty()) {
                return error;
            }
        }
        noteOutput(decoded.destination);
        m_program.instructions.push_back(decoded);
        return "";
    }

    std::string parameter(std::uint32_t& token) {
        if (!next(token)) {
            return "the stream ends inside an instruction";
        }
        if (!(token & kParameterBit)) {
            return format("token 0x%08X is not a parameter token", token);
        }
        return "";
    }

    std::string destination(Opcode opcode, Destination& out) {
        std::uint32_t token = 0;
        if (std::string error = parameter(token); !error.empty()) {
            return error;
        }
        if (token & 0x0FF0F800u) {
            return format("destination token 0x%08X has unknown modifier bits", token);
        }
        out.file = static_cast<RegisterFile>((token >> 28) & 7);
        out.mask = static_cast<std::uint8_t>((token >> 16) & 0xF);
        const std::uint32_t index = token & kRegisterNumberMask;
        out.index = static_cast<std::uint8_t>(index);
        if (out.mask == 0) {
            return "a destination with an empty write mask";
        }
        unsigned limit = 0;
        switch (out.file) {
        case RegisterFile::Temp:
            limit = kTempCount;
            break;
        case RegisterFile::Address:
            // a0.x, written by mov only, exists from version 1.1 on.
            if (m_program.version != kVersion11 || opcode != Opcode::Mov || out.mask != 1) {
                return "the address register is written by mov a0.x in version 1.1 only";
            }
            limit = 1;
            break;
        case RegisterFile::RasterOut:
            limit = kRasterOutCount;
            break;
        case RegisterFile::AttributeOut:
            limit = kColorOutCount;
            break;
        case RegisterFile::TexCoordOut:
            limit = kTexCoordOutCount;
            break;
        default:
            return format("register file %u cannot be written", static_cast<unsigned>(out.file));
        }
        if (index >= limit) {
            return format("destination register %u out of range in file %u", index,
                          static_cast<unsigned>(out.file));
        }
        return "";
    }

    std::string source(Source& out) {
        std::uint32_t token = 0;
        if (std::string error = parameter(token); !error.empty()) {
            return error;
        }
        if (token & 0x0000D800u) {
            return format("source token 0x%08X has unknown bits", token);
        }
        const std::uint32_t modifier = (token >> 24) & 0xF;
        if (modifier != 0 && modifier != kNegateModifier) {
            return format("source modifier %u is not one of a vertex shader", modifier);
        }
        out.negate = modifier == kNegateModifier;
        out.relative = (token & kRelativeBit) != 0;
        out.file = static_cast<RegisterFile>((token >> 28) & 7);
        const std::uint32_t index = token & kRegisterNumberMask;
        out.index = static_cast<std::uint8_t>(index);
        for (int c = 0; c < 4; ++c) {
            out.swizzle[static_cast<std::size_t>(c)] =
                static_cast<std::uint8_t>((token >> (16 + 2 * c)) & 3);
        }
        if (out.relative && (out.file != RegisterFile::Const || m_program.version != kVersion11)) {
            return "relative addressing reads constants in version 1.1 only";
        }
        const std::uint32_t limit = registerCount(out.file);
        if (limit == 0) {
            return format("register file %u cannot be read", static_cast<unsigned>(out.file));
        }
        if (index >= limit) {
            return format("source register %u out of range in file %u", index,
                          static_cast<unsigned>(out.file));
        }
        return "";
    }

    static std::uint32_t registerCount(RegisterFile file) {
        switch (file) {
        case RegisterFile::Temp:
            return kTempCount;
        case RegisterFile::Input:
            return kInputCount;
        case RegisterFile::Const:
            return kConstCount;
        default:
            return 0;
        }
    }

    // A matrix macro reads consecutive registers from its second source on.
    static std::string macroRows(const Instruction& instruction) {
        const int rows = MacroRows(instruction.opcode);
        const Source& matrix = instruction.sources[1];
        if (rows > 0 && matrix.index + rows > static_cast<int>(registerCount(matrix.file))) {
            return format("matrix rows from register %u run out of range", matrix.index);
        }
        return "";
    }

    void noteOutput(const Destination& d) {
        if (d.file == RegisterFile::RasterOut) {
            m_writesPosition |= d.index == kPosition;
            m_program.writesFog |= d.index == kFog;
            m_program.writesPointSize |= d.index == kPointSize;
        } else if (d.file == RegisterFile::AttributeOut) {
            m_program.writesColor[d.index] = true;
        } else if (d.file == RegisterFile::TexCoordOut) {
            m_program.writesTexCoord[d.index] = true;
        }
    }

    const std::uint8_t* m_bytes;
    std::size_t m_count;
    std::size_t m_position = 0;
    VertexShaderProgram m_program;
    bool m_writesPosition = false;
};

}  // namespace

VertexShaderParse ParseVertexShader(const std::uint8_t* bytes, std::size_t size) {
    return Decoder(bytes, size).Run();
}

}  // namespace vesta
