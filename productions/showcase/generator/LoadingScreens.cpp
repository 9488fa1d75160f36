// What the viewer sees while a part loads: a quiet picture with the name of
// the piece, and the frames of a small spinner drawn on top of it.

#include <cmath>
#include <numbers>

#include "Catalogue.h"
#include "Palette.h"

namespace vesta::showcase {
namespace {

constexpr float kTurn = 2 * std::numbers::pi_v<float>;

Canvas loadingPicture(const Fonts& fonts) {
    using namespace palette;
    constexpr int kSize = 512;
    Mask name(kSize, kSize), note(kSize, kSize);
    // The picture is stretched to the 4:3 screen: letters are set at 3/4 of
    // their width so that they look right once stretched.
    Mask wide(kSize * 4 / 3, kSize);
    fonts.bold.Draw(wide, "VESTA", 72, wide.Width() / 2.0f, kSize * 0.42f, 16);
    fonts.regular.Draw(wide, "warming the hearth", 26, wide.Width() / 2.0f, kSize * 0.53f, 3);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const float from = x * 4.0f / 3.0f;
            const int x0 = static_cast<int>(from);
            const float t = from - static_cast<float>(x0);
            name.At(x, y) = wide.Sample(x0, y) * (1 - t) + wide.Sample(x0 + 1, y) * t;
        }
    }
    note = name;
    SoftBlur(note, 6);
    Canvas canvas(kSize, kSize);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const float u = Centred(x, kSize), v = Centred(y, kSize);
            const float light = std::exp(-(u * u + v * v) * 2.5f);
            const Colour back = Mix(kNight, kIndigo, light * 0.8f);
            canvas.At(x, y) = back + kEmber * (note.At(x, y) * 0.7f) + kIvory * name.At(x, y);
        }
    }
    return canvas;
}

// Eight dots on a circle; the lit one and the two behind it glow.
Canvas spinner(int frame, int frames) {
    constexpr int kSize = 64;
    Canvas canvas(kSize, kSize);
    for (int dot = 0; dot < frames; ++dot) {
        const float angle = kTurn * static_cast<float>(dot) / frames;
        const int behind = (frame - dot + frames) % frames;
        const float brightness = behind < 3 ? 1.0f - behind * 0.3f : 0.12f;
        const float cx = std::cos(angle) * 0.62f, cy = std::sin(angle) * 0.62f;
        for (int y = 0; y < kSize; ++y) {
            for (int x = 0; x < kSize; ++x) {
                const float dx = Centred(x, kSize) - cx, dy = Centred(y, kSize) - cy;
                const float shape = std::exp(-(dx * dx + dy * dy) * 180);
                canvas.At(x, y) = canvas.At(x, y) + palette::kGold * (shape * brightness);
            }
        }
    }
    return canvas;
}

}  // namespace

void MakeLoadingScreens(AssetWriter& out, const Fonts& fonts) {
    out.Picture("loading.png", loadingPicture(fonts));
    constexpr int kFrames = 8;
    for (int frame = 0; frame < kFrames; ++frame) {
        out.Picture("spinner_" + std::to_string(frame) + ".png", spinner(frame, kFrames));
    }
}

}  // namespace vesta::showcase
