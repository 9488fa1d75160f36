// The tunnel part's pictures: the tunnel's wall of glowing ribs between
// dark plates, the beam its light rays are stretched from, and the warm
// gradient its words are filled with.

#include <cmath>
#include <numbers>

#include "Catalogue.h"
#include "Noise.h"
#include "Palette.h"

namespace vesta::showcase {
namespace {

constexpr float kTurn = 2 * std::numbers::pi_v<float>;

// The tunnel wraps the picture twice around and repeats it along its
// length, so both directions tile: two ribs across v, seams along u.
Canvas wall() {
    using namespace palette;
    constexpr int kSize = 256;
    Canvas canvas(kSize, kSize);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const float u = (x + 0.5f) / kSize, v = (y + 0.5f) / kSize;
            const float rib = std::pow(0.5f + 0.5f * std::cos(kTurn * 2 * v), 12.0f);
            const float seam = std::pow(0.5f + 0.5f * std::cos(kTurn * 4 * u), 40.0f);
            const float grain = FractalNoise(u * 8, v * 8, 8, 4, 131);
            const float heat = FractalNoise(u * 4, v * 4, 4, 2, 132);
            const Colour plate = Mix(kNight * 3.0f, kPlum * 0.9f, grain) * (0.6f + 0.5f * grain);
            const Colour glow = Mix(kCrimson, kGold, heat) * rib + kEmber * (seam * 0.5f);
            canvas.At(x, y) = plate + glow + kIvory * (rib * rib * 0.35f);
        }
    }
    return canvas;
}

// A ray is a quad stretched far along x: bright along its middle line,
// fading to black at its ends and edges so the stretch shows no border.
Canvas beam() {
    using namespace palette;
    constexpr int kWidth = 256, kHeight = 64;
    Canvas canvas(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const float u = Centred(x, kWidth), v = Centred(y, kHeight);
            const float along = 1 - Smoothstep(0.2f, 1.0f, std::abs(u));
            const float across = std::exp(-v * v * 10);
            const float core = std::exp(-v * v * 80);
            canvas.At(x, y) = (kEmber * (across * 0.7f) + kIvory * (core * 0.6f)) * along;
        }
    }
    return canvas;
}

// Ivory at the top of the letters through gold to ember at their feet.
Canvas letterFill() {
    using namespace palette;
    constexpr int kSize = 64;
    Canvas canvas(kSize, kSize);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            canvas.At(x, y) = Ramp({kIvory, kGold, kEmber}, (y + 0.5f) / kSize);
        }
    }
    return canvas;
}

}  // namespace

void MakeTunnelTextures(AssetWriter& out) {
    out.Picture("tunnel_wall.png", wall());
    out.Picture("ray_ember.png", beam());
    out.Picture("text_fire.png", letterFill());
}

}  // namespace vesta::showcase
