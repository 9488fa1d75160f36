// Full-screen backdrops: vertical gradients lit from below by the hearth,
// with a sprinkle of faint stars.

#include <cmath>

#include "Catalogue.h"
#include "Noise.h"
#include "Palette.h"

namespace vesta::showcase {
namespace {

Canvas sky(const std::vector<Colour>& stops, Colour glow, int stars, std::uint64_t seed) {
    constexpr int kSize = 256;
    Canvas canvas(kSize, kSize);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const float u = Centred(x, kSize), v = Centred(y, kSize);
            const float grain = (FractalNoise(x / 32.0f, y / 32.0f, 8, 4, 7) - 0.5f) * 0.04f;
            const float below = std::exp(-(u * u * 1.5f + (v - 1.1f) * (v - 1.1f) * 3.0f));
            Colour c = Ramp(stops, (y + 0.5f) / kSize + grain) + glow * below;
            canvas.At(x, y) = c;
        }
    }
    Random random(seed);
    for (int i = 0; i < stars; ++i) {
        const int x = static_cast<int>(random.Unit() * kSize);
        const int y = static_cast<int>(random.Unit() * random.Unit() * kSize * 0.7f);
        const float brightness = random.Range(0.15f, 0.6f);
        canvas.At(x, y) = canvas.At(x, y) + palette::kIvory * brightness;
    }
    return canvas;
}

}  // namespace

void MakeSkies(AssetWriter& out) {
    using namespace palette;
    out.Picture("sky_night.png",
                sky({kNight, kNight, kIndigo, kPlum, kCrimson * 0.6f}, kEmber * 0.25f, 90, 11));
    out.Picture("sky_sea.png",
                sky({kNight, kDeepSea, kDeepSea * 1.6f, kCyan * 0.35f}, kCyan * 0.15f, 60, 12));
    out.Picture("sky_dawn.png", sky({kNight, kIndigo, kPlum, kCrimson * 0.8f, kEmber * 0.7f},
                                    kEmber * 0.2f, 40, 13));
}

}  // namespace vesta::showcase
