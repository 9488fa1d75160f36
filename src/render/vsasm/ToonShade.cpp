#include "render/vsasm/ToonShade.h"

#include "render/vsasm/VertexShaderWriter.h"

namespace vesta::vsasm {

std::vector<std::uint8_t> ToonShadeShader() {
    VertexShaderWriter w(vs::kVersion11);
    const std::vector<std::uint32_t> name = {0x6E6F6F54, 0x64616853, 0x00000065};  // "ToonShade"
    w.Comment(name);
    w.Op(Opcode::M4x4, oPos(), {v(0), c(kToonTransform)});
    w.Op(Opcode::M4x3, r(3).Mask("xyz"), {v(0), c(kToonWorld)});
    w.Op(Opcode::M3x3, r(1).Mask("xyz"), {v(1), c(kToonWorld)});
    // L = normalize(light - position)
    w.Op(Opcode::Sub, r(0).Mask("xyz"), {c(kToonLight), r(3)});
    w.Op(Opcode::Dp3, r(0).Mask("w"), {r(0), r(0)});
    w.Op(Opcode::Rsq, r(0).Mask("w"), {r(0).Swizzle("w")});
    w.Op(Opcode::Mul, r(0).Mask("xyz"), {r(0), r(0).Swizzle("w")});
    // N = normalize(world normal): a scaled mesh keeps its bands.
    w.Op(Opcode::Dp3, r(1).Mask("w"), {r(1), r(1)});
    w.Op(Opcode::Rsq, r(1).Mask("w"), {r(1).Swizzle("w")});
    w.Op(Opcode::Mul, r(1).Mask("xyz"), {r(1), r(1).Swizzle("w")});
    w.Op(Opcode::Dp3, r(2).Mask("x"), {r(1), r(0)});
    w.Op(Opcode::Max, r(2).Mask("x"), {r(2).Swizzle("x"), c(kToonNumbers).Swizzle("x")});
    w.Op(Opcode::Mad, oT(0).Mask("x"),
         {r(2).Swizzle("x"), c(kToonNumbers).Swizzle("z"), c(kToonNumbers).Swizzle("w")});
    w.Op(Opcode::Mov, oT(0).Mask("y"), {c(kToonNumbers).Swizzle("y")});
    w.Op(Opcode::Mov, oD(0), {c(kToonColour)});
    return w.Bytes();
}

}  // namespace vesta::vsasm
