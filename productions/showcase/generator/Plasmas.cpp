// Tiling textures for moving backgrounds: a sum-of-sines plasma in the fire
// colours and two fractal-noise clouds.

#include <cmath>
#include <numbers>

#include "Catalogue.h"
#include "Noise.h"
#include "Palette.h"

namespace vesta::showcase {
namespace {

constexpr int kSize = 256;
constexpr float kTurn = 2 * std::numbers::pi_v<float>;

// Whole periods of every wave across the picture keep its edges seamless.
float plasma(float u, float v) {
    const float a = std::sin(kTurn * (u * 2 + v));
    const float b = std::sin(kTurn * (v * 3 - u));
    const float c = std::sin(kTurn * (u + v * 2) + 2 * std::sin(kTurn * v));
    const float d = std::cos(kTurn * (u * 3) + std::sin(kTurn * (u + v)));
    return (a + b + c + d) / 8 + 0.5f;
}

Canvas fire() {
    using namespace palette;
    const std::vector<Colour> ramp{kNight, kPlum, kCrimson, kEmber, kGold};
    Canvas canvas(kSize, kSize);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const float u = (x + 0.5f) / kSize, v = (y + 0.5f) / kSize;
            const float p = plasma(u, v);
            const float bands = 0.5f + 0.5f * std::sin(p * kTurn * 3);
            canvas.At(x, y) = Ramp(ramp, p * 0.8f + bands * 0.2f) * 0.85f;
        }
    }
    return canvas;
}

Canvas cloud(const std::vector<Colour>& ramp, std::uint32_t seed, float contrast) {
    Canvas canvas(kSize, kSize);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const float u = x / 64.0f, v = y / 64.0f;
            // Warping the lookup by another noise gives the wisps their curl.
            const float warp = FractalNoise(u, v, 4, 3, seed + 100) * 2;
            const float n = FractalNoise(u + warp, v + warp, 4, 5, seed);
            canvas.At(x, y) = Ramp(ramp, std::pow(Clamp01(n), contrast));
        }
    }
    return canvas;
}

}  // namespace

void MakePlasmas(AssetWriter& out) {
    using namespace palette;
    out.Picture("plasma_fire.png", fire());
    out.Picture("nebula_cyan.png",
                cloud({kNight, kNight, kDeepSea, kCyan * 0.55f, kIvory * 0.8f}, 21, 1.4f));
    out.Picture("smoke_plum.png", cloud({{}, {}, kPlum * 0.6f, kCrimson * 0.5f}, 33, 1.8f));
}

}  // namespace vesta::showcase
