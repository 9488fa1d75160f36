// The frames of a looping flame: a teardrop whose edge is torn by noise that
// scrolls upward. The noise repeats after exactly one loop of frames, so the
// last frame leads back into the first.

#include <cmath>

#include "Catalogue.h"
#include "Noise.h"
#include "Palette.h"

namespace vesta::showcase {
namespace {

constexpr int kSize = 128;
constexpr int kFrames = 8;
constexpr int kPeriod = 4;  // noise cells over the picture's height, and per loop

Canvas flame(int frame) {
    using namespace palette;
    const std::vector<Colour> ramp{{}, kCrimson * 0.7f, kEmber, kGold, kIvory};
    const float scroll = static_cast<float>(kPeriod) * frame / kFrames;
    Canvas canvas(kSize, kSize);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const float u = Centred(x, kSize);
            const float h = 1 - (y + 0.5f) / kSize;  // 0 at the bottom, 1 at the top
            const float n = FractalNoise(u * 2 + 8, h * kPeriod - scroll, kPeriod, 4, 51);
            const float sway = (n - 0.5f) * 0.4f * h;
            const float width = 0.9f * std::pow(1 - h, 0.8f) * std::sqrt(h + 0.04f) + 0.03f;
            const float body = Smoothstep(0, 0.35f, width - std::abs(u + sway));
            const float heat = Clamp01(body * (1.25f - h * 0.9f) * (0.6f + n * 0.8f));
            const float base = Smoothstep(0.0f, 0.12f, h);
            canvas.At(x, y) = Ramp(ramp, heat) * base;
        }
    }
    return canvas;
}

}  // namespace

void MakeFlames(AssetWriter& out) {
    for (int frame = 0; frame < kFrames; ++frame) {
        out.Picture("flame_" + std::to_string(frame) + ".png", flame(frame));
    }
}

}  // namespace vesta::showcase
