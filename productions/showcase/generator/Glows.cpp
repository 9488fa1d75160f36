// Soft lights for additive layers: black where they add nothing, so they
// need no alpha map.

#include <cmath>

#include "Catalogue.h"
#include "Palette.h"

namespace vesta::showcase {
namespace {

// A hot core inside a wide halo, both falling to black before the border.
Canvas glow(int size, Colour halo, Colour core, float tightness) {
    Canvas canvas(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = Centred(x, size), v = Centred(y, size);
            const float r2 = u * u + v * v;
            const float edge = 1 - Smoothstep(0.7f, 1.0f, std::sqrt(r2));
            const float wide = std::exp(-r2 * tightness) * edge;
            const float hot = std::exp(-r2 * tightness * 8);
            canvas.At(x, y) = halo * wide + core * hot;
        }
    }
    return canvas;
}

Canvas ring(int size, float radius, float width, Colour colour) {
    Canvas canvas(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = Centred(x, size), v = Centred(y, size);
            const float d = (std::sqrt(u * u + v * v) - radius) / width;
            const float line = std::exp(-d * d);
            const float bloom = std::exp(-d * d / 16) * 0.25f;
            canvas.At(x, y) = colour * (line + bloom) + palette::kIvory * (line * line * 0.5f);
        }
    }
    return canvas;
}

}  // namespace

void MakeGlows(AssetWriter& out) {
    using namespace palette;
    out.Picture("glow_ember.png", glow(128, kEmber * 0.9f, kIvory * 0.6f, 4));
    out.Picture("glow_cyan.png", glow(128, kCyan * 0.8f, kIvory * 0.9f, 4));
    out.Picture("spark.png", glow(64, kEmber, kIvory, 14));
    out.Picture("ring_gold.png", ring(256, 0.72f, 0.025f, kGold));
    out.Picture("ring_cyan.png", ring(256, 0.72f, 0.02f, kCyan));
}

}  // namespace vesta::showcase
