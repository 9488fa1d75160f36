// Rays from a centre: uneven spokes that fade outward, for additive layers
// that turn slowly behind the titles.

#include <cmath>
#include <numbers>

#include "Catalogue.h"
#include "Noise.h"
#include "Palette.h"

namespace vesta::showcase {
namespace {

Canvas starburst(int spokes, Colour colour, std::uint32_t seed) {
    constexpr int kSize = 256;
    constexpr float kPi = std::numbers::pi_v<float>;
    Canvas canvas(kSize, kSize);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const float u = Centred(x, kSize), v = Centred(y, kSize);
            const float r = std::sqrt(u * u + v * v);
            const float angle = std::atan2(v, u) / (2 * kPi) + 0.5f;
            // Noise around the circle, with a period of whole spokes, varies
            // the rays' length and strength without a seam at the back.
            const float jitter = ValueNoise(angle * spokes, 0.5f, spokes, seed);
            const float spoke = std::pow(std::abs(std::cos(angle * kPi * spokes)), 24);
            const float reach = 0.45f + 0.5f * jitter;
            const float falloff = std::exp(-r / reach * 2.5f) * (1 - Smoothstep(0.8f, 1, r));
            const float core = std::exp(-r * r * 40);
            canvas.At(x, y) = colour * (spoke * falloff * (0.4f + jitter)) + palette::kIvory * core;
        }
    }
    return canvas;
}

}  // namespace

void MakeStarbursts(AssetWriter& out) {
    out.Picture("starburst_gold.png", starburst(24, palette::kGold, 41));
    out.Picture("starburst_cyan.png", starburst(16, palette::kCyan, 42));
}

}  // namespace vesta::showcase
