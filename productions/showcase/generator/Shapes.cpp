// Plain shapes: the light bar under titles, a glowing grid, the vignette that
// darkens the screen's edges, and the white picture the flash layers load.

#include <cmath>

#include "Catalogue.h"
#include "Palette.h"

namespace vesta::showcase {
namespace {

void bar(AssetWriter& out) {
    Canvas colour(256, 32);
    Mask alpha(256, 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 256; ++x) {
            const float u = Centred(x, 256), v = Centred(y, 32);
            const float across = std::exp(-v * v * 6);
            const float along = 1 - Smoothstep(0.6f, 1, std::abs(u));
            colour.At(x, y) = Mix(palette::kCrimson, palette::kGold, (u + 1) / 2) +
                              palette::kIvory * (across * across * 0.4f);
            alpha.At(x, y) = across * along;
        }
    }
    out.Picture("bar.png", colour);
    out.Alpha("bar_alpha.png", alpha);
}

void grid(AssetWriter& out) {
    constexpr int kSize = 256, kCells = 8;
    Canvas canvas(kSize, kSize);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const float cell = static_cast<float>(kSize) / kCells;
            const float fx = std::fmod(x + 0.5f, cell) - cell / 2;
            const float fy = std::fmod(y + 0.5f, cell) - cell / 2;
            const float dx = cell / 2 - std::abs(fx), dy = cell / 2 - std::abs(fy);
            const float line = std::exp(-dx * dx / 2) + std::exp(-dy * dy / 2);
            const float u = Centred(x, kSize), v = Centred(y, kSize);
            const float fade = 1 - Smoothstep(0.3f, 1.0f, std::sqrt(u * u + v * v));
            canvas.At(x, y) = palette::kCyan * (std::min(line, 1.0f) * fade * 0.8f);
        }
    }
    out.Picture("grid_cyan.png", canvas);
}

void vignette(AssetWriter& out) {
    out.Picture("black.png", Canvas(256, 256));
    // Black at full strength: the alpha a camera fade darkens the frame through.
    out.Alpha("white.png", Mask(16, 16, 1));
    Mask alpha(256, 256);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const float u = Centred(x, 256), v = Centred(y, 256);
            alpha.At(x, y) = Smoothstep(0.55f, 1.45f, std::sqrt(u * u + v * v)) * 0.9f;
        }
    }
    out.Alpha("vignette_alpha.png", alpha);
}

}  // namespace

void MakeShapes(AssetWriter& out) {
    bar(out);
    grid(out);
    vignette(out);
    // The flash layer's own picture; its name is fixed by the layer.
    out.Jpeg("white.NoDither.jpg", Canvas(16, 16, palette::kWhite));
}

}  // namespace vesta::showcase
