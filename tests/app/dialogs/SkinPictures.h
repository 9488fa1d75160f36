#pragma once
// A small skin for the skinned dialog's tests, written as PNG files into the
// current folder: an 80 x 48 dark-blue background with its top-left corner
// and its right edge cut away, a map with nine 8 x 8 buttons, and flat
// pictures per button (gold chosen, grey idle, light blue under the pointer).

#include <string>
#include <vector>

#include "app/dialogs/SkinButtons.h"
#include "render/image/ImageFiles.h"

namespace vesta::test {

inline constexpr int kSkinWidth = 80, kSkinHeight = 48;
inline constexpr unsigned char kSkinBack[3] = {20, 30, 80};
inline constexpr unsigned char kSkinChosen[3] = {240, 200, 60};
inline constexpr unsigned char kSkinIdle[3] = {90, 90, 90};
inline constexpr unsigned char kSkinHover[3] = {120, 160, 255};

inline bool SkinCutAt(int x, int y) {
    return (x < 10 && y < 10) || x >= 76;
}
inline SkinRect SkinButtonPlace(int index) {
    const int left = 6 + (index % 5) * 14, top = 14 + (index / 5) * 16;
    return {left, top, left + 7, top + 7};
}
inline unsigned SkinKey(int index) {
    return 0x200000u + static_cast<unsigned>(index) * 0x10u;
}

inline std::vector<unsigned char> FlatPicture(int width, int height, const unsigned char* rgb) {
    std::vector<unsigned char> pixels;
    for (int i = 0; i < width * height; ++i) {
        pixels.insert(pixels.end(), rgb, rgb + 3);
    }
    return pixels;
}

// `mapWidth` other than kSkinWidth makes a map of the wrong size.
inline void WriteTestSkin(int mapWidth = kSkinWidth) {
    std::vector<unsigned char> back, map(static_cast<std::size_t>(mapWidth) * kSkinHeight * 3, 0);
    for (int y = 0; y < kSkinHeight; ++y) {
        for (int x = 0; x < kSkinWidth; ++x) {
            static constexpr unsigned char kCut[3] = {255, 0, 255};
            const unsigned char* colour = SkinCutAt(x, y) ? kCut : kSkinBack;
            back.insert(back.end(), colour, colour + 3);
        }
    }
    for (int i = 0; i < kSkinButtonCount; ++i) {
        const SkinRect place = SkinButtonPlace(i);
        for (int y = place.top; y <= place.bottom; ++y) {
            for (int x = place.left; x <= place.right && x < mapWidth; ++x) {
                unsigned char* pixel =
                    map.data() + (static_cast<std::size_t>(y) * mapWidth + x) * 3;
                pixel[0] = static_cast<unsigned char>(SkinKey(i) >> 16);
                pixel[1] = static_cast<unsigned char>(SkinKey(i) >> 8);
                pixel[2] = static_cast<unsigned char>(SkinKey(i));
            }
        }
    }
    WritePng("back.png", kSkinWidth, kSkinHeight, 3, back);
    WritePng("map.png", mapWidth, kSkinHeight, 3, map);
    WritePng("on.png", 8, 8, 3, FlatPicture(8, 8, kSkinChosen));
    WritePng("off.png", 8, 8, 3, FlatPicture(8, 8, kSkinIdle));
    WritePng("hover.png", 8, 8, 3, FlatPicture(8, 8, kSkinHover));
}

// The configuration's element; `disabled` names each button's idle picture.
inline std::string TestSkinConfig(const std::string& disabled = "off.png") {
    std::string xml = "<AppConfig><SimpleStartup><BackImage Name=\"back.png\"/>"
                      "<ButtonMapping Name=\"map.png\"/>";
    for (int i = 0; i < kSkinButtonCount; ++i) {
        char colour[16];
        std::snprintf(colour, sizeof colour, "0x%06X", SkinKey(i));
        xml += std::string("<") + kSkinButtonNames[i] + " Color=\"" + colour +
               "\" Enabled=\"on.png\" Disabled=\"" + disabled + "\" Hover=\"hover.png\"/>";
    }
    return xml + "</SimpleStartup></AppConfig>";
}

}  // namespace vesta::test
