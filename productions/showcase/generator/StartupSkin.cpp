// The skin of the startup dialog: a night-blue panel with a glowing medallion
// rising from its top edge, magenta (0xFF00FF) wherever the window is cut
// away; a map painting each button's area in its key colour; and three
// pictures per button: chosen (an ember fill), idle, and under the pointer.
// DefaultConfig.xml names these files and the key colours below.

#include <cmath>

#include "Catalogue.h"
#include "Palette.h"

namespace vesta::showcase {
namespace {

constexpr int kWidth = 420, kHeight = 330;
constexpr float kPanelTop = 50, kCorner = 22;
constexpr float kMedallionX = kWidth / 2.0f, kMedallionY = 56, kMedallionRadius = 50;
constexpr Colour kCut{1, 0, 1};

struct SkinButtonArt {
    const char* file;  // skin_<file>_on.png, _off.png, _hover.png
    const char* label;
    unsigned key;  // 0x00RRGGBB in the map
    int left, top, width, height;
    bool large;  // Start and Quit
};

constexpr SkinButtonArt kButtons[] = {
    {"res640", "640 x 480", 0xFF0000, 36, 146, 108, 30, false},
    {"res800", "800 x 600", 0x00FF00, 156, 146, 108, 30, false},
    {"res1024", "1024 x 768", 0x0000FF, 276, 146, 108, 30, false},
    {"depth16", "16 bits", 0xFFFF00, 36, 206, 108, 30, false},
    {"depth32", "32 bits", 0x00FFFF, 156, 206, 108, 30, false},
    {"fullscreen", "full screen", 0xFF8000, 276, 206, 108, 30, false},
    {"start", "START", 0x80FF00, 36, 256, 168, 38, true},
    {"quit", "QUIT", 0x8000FF, 216, 256, 168, 38, true},
    {"web", "vesta-group on the web", 0xFFFFFF, 130, 302, 160, 20, false},
};

// Negative inside the window's outline, in pixels.
float outlineDistance(float x, float y) {
    const float halfWidth = kWidth / 2.0f - 1, halfHeight = (kHeight - kPanelTop) / 2.0f - 1;
    const float dx = std::abs(x - kWidth / 2.0f) - (halfWidth - kCorner);
    const float dy = std::abs(y - (kPanelTop + halfHeight)) - (halfHeight - kCorner);
    const float outside = std::hypot(std::max(dx, 0.0f), std::max(dy, 0.0f));
    const float panel = outside + std::min(std::max(dx, dy), 0.0f) - kCorner;
    const float medallion = std::hypot(x - kMedallionX, y - kMedallionY) - kMedallionRadius;
    return std::min(panel, medallion);
}

Colour channelColour(unsigned key) {
    return {((key >> 16) & 0xFF) / 255.0f, ((key >> 8) & 0xFF) / 255.0f, (key & 0xFF) / 255.0f};
}

Canvas background(const Fonts& fonts) {
    using namespace palette;
    Mask title(kWidth, kHeight), labels(kWidth, kHeight), emblem(kWidth, kHeight);
    fonts.bold.Draw(emblem, "V", 58, kMedallionX, kMedallionY + 2);
    fonts.bold.Draw(title, "VESTA SHOWCASE", 22, kWidth / 2.0f, 122, 5);
    // The labels start where the buttons below them do.
    for (const auto& [text, y] :
         {std::pair{"resolution", 136.0f}, std::pair{"colour depth", 196.0f}}) {
        fonts.regular.Draw(labels, text, 13, 38 + fonts.regular.Measure(text, 13, 1) / 2, y, 1);
    }
    Mask glow = emblem;
    SoftBlur(glow, 6);
    Canvas canvas(kWidth, kHeight, kCut);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const float fx = x + 0.5f, fy = y + 0.5f;
            const float distance = outlineDistance(fx, fy);
            if (distance >= 0) {
                continue;
            }
            const float fromMedallion = std::hypot(fx - kMedallionX, fy - kMedallionY);
            const float warmth = std::exp(-fromMedallion * fromMedallion / (2 * 90.0f * 90.0f));
            Colour colour = Mix(kIndigo, kNight, Clamp01((fy - kPanelTop) / (kHeight - kPanelTop)));
            colour = colour + kEmber * (warmth * 0.22f);
            // A gold rim just inside the outline, hard against the cut so
            // that no pixel blends towards the magenta.
            const float rim = Smoothstep(-4.0f, -1.5f, distance);
            colour = Mix(colour, kGold * 0.85f, rim);
            colour = colour + kEmber * glow.At(x, y) * 0.9f;
            colour = Mix(colour, kIvory, emblem.At(x, y));
            colour = Mix(colour, kGold, title.At(x, y));
            colour = Mix(colour, kIvory * 0.6f, labels.At(x, y));
            canvas.At(x, y) = colour;
        }
    }
    return canvas;
}

Canvas buttonMap() {
    Canvas map(kWidth, kHeight);
    for (const SkinButtonArt& button : kButtons) {
        for (int y = 0; y < button.height; ++y) {
            for (int x = 0; x < button.width; ++x) {
                map.At(button.left + x, button.top + y) = channelColour(button.key);
            }
        }
    }
    return map;
}

enum class Look { Chosen, Idle, Hover };

Canvas buttonPicture(const Fonts& fonts, const SkinButtonArt& button, const Canvas& back,
                     Look look) {
    using namespace palette;
    const int width = button.width, height = button.height;
    Mask label(width, height);
    const TextRenderer& font = button.large ? fonts.bold : fonts.regular;
    font.Draw(label, button.label, button.large ? 18 : 14, width / 2.0f, height / 2.0f,
              button.large ? 4.0f : 0.5f);
    const bool link = button.height < 24;
    Canvas picture(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Colour behind = back.At(button.left + x, button.top + y);
            const float v = (y + 0.5f) / height;
            const bool edge = x == 0 || y == 0 || x == width - 1 || y == height - 1;
            Colour fill, text, border;
            switch (look) {
            case Look::Chosen:
                fill = Ramp({kGold, kEmber, kCrimson}, v);
                text = kNight;
                border = kIvory;
                break;
            case Look::Hover:
                fill = Mix(kPlum, kIndigo, v) * 1.4f;
                text = kIvory;
                border = kGold;
                break;
            case Look::Idle:
                fill = Mix(kIndigo, kNight, v);
                text = kIvory * 0.65f;
                border = kGold * 0.45f;
                break;
            }
            if (link) {
                // The web link is text on the panel, underlined under the pointer.
                fill = behind;
                border = behind;
                text = look == Look::Idle ? kGold * 0.6f : kGold;
                if (look != Look::Idle && y == height - 3 && x > 8 && x < width - 8) {
                    fill = kGold;
                }
            }
            picture.At(x, y) = Mix(edge ? border : fill, text, label.At(x, y));
        }
    }
    return picture;
}

}  // namespace

void MakeStartupSkin(AssetWriter& out, const Fonts& fonts) {
    const Canvas back = background(fonts);
    out.Picture("skin_back.png", back);
    out.Picture("skin_map.png", buttonMap());
    for (const SkinButtonArt& button : kButtons) {
        const std::string stem = std::string("skin_") + button.file;
        out.Picture(stem + "_on.png", buttonPicture(fonts, button, back, Look::Chosen));
        out.Picture(stem + "_off.png", buttonPicture(fonts, button, back, Look::Idle));
        out.Picture(stem + "_hover.png", buttonPicture(fonts, button, back, Look::Hover));
    }
}

}  // namespace vesta::showcase
