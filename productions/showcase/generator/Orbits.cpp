// The frames of a comet going round: one bright head per frame, its tail
// drawn behind it along the circle. Played in turn they make it orbit, and
// the trail of an animated layer repeats the earlier frames as it fades.

#include <cmath>
#include <numbers>

#include "Catalogue.h"
#include "Palette.h"

namespace vesta::showcase {
namespace {

constexpr int kSize = 128;
constexpr int kFrames = 6;

Canvas comet(int frame, Colour colour) {
    constexpr float kTurn = 2 * std::numbers::pi_v<float>;
    const float head = kTurn * static_cast<float>(frame) / kFrames;
    Canvas canvas(kSize, kSize);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const float u = Centred(x, kSize), v = Centred(y, kSize);
            const float r = std::sqrt(u * u + v * v);
            // How far behind the head this point lies, as a fraction of a turn.
            float behind = std::fmod(head - std::atan2(v, u) + 2 * kTurn, kTurn) / kTurn;
            const float d = (r - 0.62f) / 0.05f;
            const float tail = std::exp(-d * d) * std::exp(-behind * 7) * (behind < 0.5f);
            const float hx = u - 0.62f * std::cos(head), hy = v - 0.62f * std::sin(head);
            const float core = std::exp(-(hx * hx + hy * hy) * 300);
            const float bloom = std::exp(-(hx * hx + hy * hy) * 30) * 0.4f;
            canvas.At(x, y) = colour * (tail * 0.8f + bloom) + palette::kIvory * core;
        }
    }
    return canvas;
}

}  // namespace

void MakeOrbits(AssetWriter& out) {
    for (int frame = 0; frame < kFrames; ++frame) {
        out.Picture("comet_" + std::to_string(frame) + ".png", comet(frame, palette::kCyan));
    }
}

}  // namespace vesta::showcase
