// The forge's surfaces: soot-dark bricks, a stone floor with embers in its
// cracks, hammered iron, glowing coals, a pane of leaded amber glass and
// dark quench water.
// All tile, so the scene repeats them over its walls.

#include <cmath>

#include "Catalogue.h"
#include "Noise.h"
#include "Palette.h"

namespace vesta::showcase {
namespace {

constexpr int kSize = 256;

template <class Paint>
Canvas paint(Paint colourAt) {
    Canvas canvas(kSize, kSize);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            canvas.At(x, y) = colourAt((x + 0.5f) / kSize, (y + 0.5f) / kSize);
        }
    }
    return canvas;
}

// Distance to the nearest joint of a pattern of `rows` courses whose
// bricks are `ratio` times as long as they are high, every other row offset.
float brickJoint(float u, float v, int rows, int ratio) {
    const float row = v * rows;
    const int course = static_cast<int>(row);
    const float along = u * rows / ratio + (course % 2 ? 0.5f : 0.0f);
    const float dv = std::abs(row - std::round(row));
    const float du = std::abs(along - std::round(along)) * ratio;
    return std::min(du, dv) / rows;
}

Canvas bricks() {
    using namespace palette;
    return paint([](float u, float v) {
        const float joint = brickJoint(u, v, 8, 2);
        const float mortar = 1 - Smoothstep(0.002f, 0.008f, joint);
        const float grain = FractalNoise(u * 16, v * 16, 16, 4, 71);
        const float soot = FractalNoise(u * 4, v * 4, 4, 3, 72);
        const Colour brick = Mix(kCrimson * 0.55f, kPlum * 0.8f, soot) * (0.6f + 0.5f * grain);
        return Mix(brick, kNight * 2.0f, mortar);
    });
}

Canvas stones() {
    using namespace palette;
    return paint([](float u, float v) {
        const float joint = brickJoint(u, v, 4, 1);
        const float crack = 1 - Smoothstep(0.0015f, 0.006f, joint);
        const float grain = FractalNoise(u * 8, v * 8, 8, 5, 81);
        const float heat = FractalNoise(u * 4, v * 4, 4, 2, 82);
        const Colour stone = Mix(kIndigo * 0.6f, kPlum * 0.7f, grain) * (0.5f + 0.6f * grain);
        return Mix(stone, Mix(kCrimson, kEmber, heat), crack * heat * 1.4f);
    });
}

Canvas iron() {
    using namespace palette;
    return paint([](float u, float v) {
        const float dents = FractalNoise(u * 8, v * 8, 8, 4, 91);
        const float streak = FractalNoise(u * 2, v * 32, 2, 3, 92);
        const Colour metal = Mix(kNight * 4.0f, kIndigo * 1.6f, dents) + kGold * (streak * 0.18f);
        return metal * (0.7f + 0.5f * dents);
    });
}

Canvas coals() {
    using namespace palette;
    const std::vector<Colour> glow{kNight, kCrimson * 0.8f, kEmber, kGold, kIvory};
    return paint([&glow](float u, float v) {
        const float lumps = FractalNoise(u * 8, v * 8, 8, 4, 101);
        const float cells = std::abs(std::sin(u * 8 * 6.2832f) * std::sin(v * 8 * 6.2832f));
        return Ramp(glow, Clamp01(lumps * 1.2f - cells * 0.35f));
    });
}

// Diamond panes of amber between dark lead cames.
Canvas glass() {
    using namespace palette;
    return paint([](float u, float v) {
        const float a = u * 4 + v * 4, b = u * 4 - v * 4;
        const float da = std::abs(a - std::round(a)), db = std::abs(b - std::round(b));
        const float lead = 1 - Smoothstep(0.03f, 0.06f, std::min(da, db));
        const float ripple = FractalNoise(u * 8, v * 8, 8, 3, 111);
        const Colour pane = Mix(kEmber, kGold, ripple) * (0.7f + 0.3f * ripple);
        return Mix(pane, kNight, lead);
    });
}

// Deep water under a film of soot, with pale streaks for the ripples to bend.
Canvas water() {
    using namespace palette;
    return paint([](float u, float v) {
        const float depth = FractalNoise(u * 4, v * 4, 4, 4, 121);
        const float streak = FractalNoise(u * 16, v * 3, 16, 3, 122);
        const Colour deep = Mix(kDeepSea, kIndigo, depth) * (0.8f + 0.5f * depth);
        return deep + kCyan * (Smoothstep(0.62f, 0.8f, streak) * 0.35f);
    });
}

}  // namespace

void MakeForgeTextures(AssetWriter& out) {
    out.Picture("forge_brick.png", bricks());
    out.Picture("forge_stone.png", stones());
    out.Picture("forge_iron.png", iron());
    out.Picture("forge_coals.png", coals());
    out.Picture("forge_glass.png", glass());
    out.Picture("forge_water.png", water());
}

}  // namespace vesta::showcase
