// The toon shading the forge's "MeshHunz" draws with: the vertex shader
// file it loads by its fixed name, and the ramp that turns the shader's
// lighting term into three hard bands with a narrow bright rim.

#include "Catalogue.h"
#include "render/vsasm/ToonShade.h"

namespace vesta::showcase {
namespace {

// Across: the lighting term from 0 (facing away) to 1 (facing the light).
Canvas ramp() {
    constexpr int kWidth = 64, kHeight = 4;
    Canvas canvas(kWidth, kHeight);
    for (int x = 0; x < kWidth; ++x) {
        const float term = (x + 0.5f) / kWidth;
        const float level = term < 0.3f ? 0.28f : term < 0.65f ? 0.6f : term < 0.9f ? 0.88f : 1.0f;
        for (int y = 0; y < kHeight; ++y) {
            canvas.At(x, y) = Colour{level, level, level};
        }
    }
    return canvas;
}

}  // namespace

void MakeToonShading(AssetWriter& out) {
    out.Bytes("ToonShade.vso", vsasm::ToonShadeShader());
    out.Picture("toon_ramp.png", ramp());
}

}  // namespace vesta::showcase
