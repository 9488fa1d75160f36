#include "render/gl/VertexShaderTranslator.h"

namespace vesta::gl {

namespace {

using namespace vs;

// Direct3D's results for the poles of rcp, rsq and log are infinities;
// GLSL has no literal for them, and the largest float serves every user.
const char* helpers = R"(const float vsMax = 3.402823466e+38;
vec4 cRel(int i) { return i >= 0 && i < 96 ? c[i] : vec4(0.0); }
float vsRcp(float f) { return f == 0.0 ? vsMax : 1.0 / f; }
float vsRsq(float f) { return f == 0.0 ? vsMax : inversesqrt(abs(f)); }
float vsLog(float f) { return f == 0.0 ? -vsMax : log2(abs(f)); }
vec4 vsExpp(float f) { float e = floor(f); return vec4(exp2(e), f - e, exp2(f), 1.0); }
vec4 vsLogp(float f) {
    float a = abs(f);
    if (a == 0.0) return vec4(-vsMax, 1.0, -vsMax, 1.0);
    int bits = floatBitsToInt(a);
    float m = intBitsToFloat((bits & 0x7FFFFF) | 0x3F800000);
    return vec4(float(((bits >> 23) & 0xFF) - 127), m, log2(a), 1.0);
}
vec4 vsLit(vec4 s) {
    vec4 d = vec4(1.0, 0.0, 0.0, 1.0);
    if (s.x > 0.0) {
        d.y = s.x;
        if (s.y > 0.0) d.z = pow(s.y, clamp(s.w, -127.9961, 127.9961));
    }
    return d;
}
)";

const char* header = R"(#version 330 core
layout(location = 0) in vec4 v0;
layout(location = 1) in vec4 v1;
layout(location = 2) in vec4 v2;
layout(location = 3) in vec4 v3;
layout(location = 4) in vec4 v4;
uniform vec4 c[96];
uniform vec4 uTarget;  // viewport x, y, width, height in pixels
uniform vec3 uPoint;   // size, minimum, maximum
)";

std::string number(int i) {
    return std::to_string(i);
}

std::string registerName(RegisterFile file, int index) {
    switch (file) {
    case RegisterFile::Temp:
        return "r" + number(index);
    case RegisterFile::Input:
        return "v" + number(index);
    case RegisterFile::Const:
        return "c[" + number(index) + "]";
    case RegisterFile::Address:
        return "a0";
    case RegisterFile::RasterOut:
        return index == kPosition ? "oPos" : index == kFog ? "oFog" : "oPts";
    case RegisterFile::AttributeOut:
        return "oD" + number(index);
    case RegisterFile::TexCoordOut:
        return "oT" + number(index);
    }
    return "r0";
}

const char kComponents[] = "xyzw";

// `row` is added to the register index: the matrix macros read consecutive registers.
std::string source(const Source& s, int row = 0) {
    const int index = s.index + row;
    std::string text =
        s.relative ? "cRel(a0 + " + number(index) + ")" : registerName(s.file, index);
    if (s.swizzle != std::array<std::uint8_t, 4>{0, 1, 2, 3}) {
        text += '.';
        for (std::uint8_t component : s.swizzle) {
            text += kComponents[component];
        }
    }
    return s.negate ? "(-" + text + ")" : "(" + text + ")";
}

std::string maskText(std::uint8_t mask) {
    std::string text;
    for (int c = 0; c < 4; ++c) {
        if (mask & (1u << c)) {
            text += kComponents[c];
        }
    }
    return text;
}

std::string macro(const Instruction& in) {
    const int rows = MacroRows(in.opcode);
    const bool four = MacroWidth(in.opcode) == 4;
    const std::string vector = source(in.sources[0]) + (four ? "" : ".xyz");
    std::string text = "vec4(";
    for (int row = 0; row < 4; ++row) {
        if (row > 0) {
            text += ", ";
        }
        text += row < rows ? "dot(" + vector + ", " + source(in.sources[1], row) +
                                 (four ? "" : ".xyz") + ")"
                           : "0.0";
    }
    return text + ")";
}

// The instruction's full four-component result before the write mask.
std::string result(const Instruction& in) {
    const std::string a = in.sourceCount > 0 ? source(in.sources[0]) : "";
    const std::string b = in.sourceCount > 1 ? source(in.sources[1]) : "";
    const std::string scalar = a + ".w";  // the one component the scalar ops read
    switch (in.opcode) {
    case Opcode::Mov:
        return a;
    case Opcode::Add:
        return a + " + " + b;
    case Opcode::Sub:
        return a + " - " + b;
    case Opcode::Mul:
        return a + " * " + b;
    case Opcode::Mad:
        return a + " * " + b + " + " + source(in.sources[2]);
    case Opcode::Rcp:
        return "vec4(vsRcp(" + scalar + "))";
    case Opcode::Rsq:
        return "vec4(vsRsq(" + scalar + "))";
    case Opcode::Dp3:
        return "vec4(dot(" + a + ".xyz, " + b + ".xyz))";
    case Opcode::Dp4:
        return "vec4(dot(" + a + ", " + b + "))";
    case Opcode::Min:
        return "min(" + a + ", " + b + ")";
    case Opcode::Max:
        return "max(" + a + ", " + b + ")";
    case Opcode::Slt:
        return "vec4(lessThan(" + a + ", " + b + "))";
    case Opcode::Sge:
        return "vec4(greaterThanEqual(" + a + ", " + b + "))";
    case Opcode::Exp:
        return "vec4(exp2(" + scalar + "))";
    case Opcode::Log:
        return "vec4(vsLog(" + scalar + "))";
    case Opcode::Expp:
        return "vsExpp(" + scalar + ")";
    case Opcode::Logp:
        return "vsLogp(" + scalar + ")";
    case Opcode::Lit:
        return "vsLit(" + a + ")";
    case Opcode::Dst:
        return "vec4(1.0, " + a + ".y * " + b + ".y, " + a + ".z, " + b + ".w)";
    case Opcode::Frc:
        return a + " - floor(" + a + ")";
    default:
        return macro(in);
    }
}

std::string statement(const Instruction& in) {
    if (in.opcode == Opcode::Nop) {
        return "";
    }
    const Destination& d = in.destination;
    std::uint8_t mask = d.mask;
    if (const int rows = MacroRows(in.opcode)) {
        mask &= static_cast<std::uint8_t>((1u << rows) - 1);
    }
    const std::string value = "    t = " + result(in) + ";\n";
    if (d.file == RegisterFile::Address) {
        return value + "    a0 = int(floor(t.x));\n";
    }
    if (mask == 0) {
        return "";
    }
    const std::string components = maskText(mask);
    return value + "    " + registerName(d.file, d.index) + "." + components + " = t." +
           components + ";\n";
}

std::string declarations() {
    std::string text;
    for (int i = 5; i < kInputCount; ++i) {
        text += "    const vec4 v" + number(i) + " = vec4(0.0, 0.0, 0.0, 1.0);\n";
    }
    for (int i = 0; i < kTempCount; ++i) {
        text += "    vec4 r" + number(i) + " = vec4(0.0);\n";
    }
    text += "    int a0 = 0;\n    vec4 t;\n";
    // Direct3D's values for outputs a shader leaves unwritten.
    text += "    vec4 oPos = vec4(0.0, 0.0, 0.0, 1.0);\n    vec4 oFog = vec4(1.0);\n";
    text += "    vec4 oPts = vec4(uPoint.x);\n";
    text += "    vec4 oD0 = vec4(1.0);\n    vec4 oD1 = vec4(0.0);\n";
    for (int i = 0; i < kTexCoordOutCount; ++i) {
        text += "    vec4 oT" + number(i) + " = vec4(0.0, 0.0, 0.0, 1.0);\n";
    }
    return text;
}

// The outputs in the form the pixel stages and GL take them.
std::string outputs(const VertexShaderProgram& program, const ShaderKey& key) {
    // Direct3D clip space to GL's, as the fixed function's transform does.
    std::string text =
        R"(    gl_Position = vec4(oPos.x + oPos.w / uTarget.z, -oPos.y + oPos.w / uTarget.w,
                       2.0 * oPos.z - oPos.w, oPos.w);
    vDiffuse = clamp(oD0, 0.0, 1.0);
    vSpecular = clamp(oD1.rgb, 0.0, 1.0);
)";
    for (int stage = 0; stage < UsedStages(key); ++stage) {
        text += "    vTex" + number(stage) + " = oT" + number(key.stages[stage].texCoordIndex) +
                ".xyz;\n";
    }
    if (key.fog == FogKind::None) {
        text += "    vFog = 1.0;\n";
    } else if (key.fogTable) {
        text += key.fogDeviceDepth ? "    vFog = oPos.z / oPos.w;\n" : "    vFog = oPos.w;\n";
    } else {
        text += "    vFog = clamp(oFog.x, 0.0, 1.0);\n";
    }
    text += program.writesPointSize ? "    gl_PointSize = clamp(oPts.x, uPoint.y, uPoint.z);\n"
                                    : "    gl_PointSize = clamp(uPoint.x, uPoint.y, uPoint.z);\n";
    return text;
}

}  // namespace

std::string TranslateVertexShader(const VertexShaderProgram& program, const ShaderKey& key) {
    std::string text = header + VaryingDeclarations(key, "out") + helpers;
    text += "void main() {\n" + declarations();
    for (const Instruction& instruction : program.instructions) {
        text += statement(instruction);
    }
    return text + outputs(program, key) + "}\n";
}

}  // namespace vesta::gl
