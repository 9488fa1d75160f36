#pragma once
// Pictures the flat layer tests draw with, made by the tests themselves.

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>

#include "LayerTestSupport.h"

namespace vesta::test {

struct Rgb {
    int r, g, b;
};

// An RGB picture whose pixel (x, y) (row 0 at the top) is `colour`(x, y).
inline std::vector<std::uint8_t> PictureOf(int width, int height,
                                           const std::function<Rgb(int, int)>& colour) {
    PngPicture picture;
    picture.width = width;
    picture.height = height;
    picture.colorType = PNG_COLOR_TYPE_RGB;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb c = colour(x, y);
            picture.samples.insert(picture.samples.end(), {std::uint16_t(std::clamp(c.r, 0, 255)),
                                                           std::uint16_t(std::clamp(c.g, 0, 255)),
                                                           std::uint16_t(std::clamp(c.b, 0, 255))});
        }
    }
    return EncodePng(picture);
}

// A checkerboard of 8 × 8 squares, orange and blue, brighter to the right.
inline Rgb Checker(int x, int y) {
    const bool odd = ((x / 8) + (y / 8)) % 2 == 1;
    const int shade = x * 2;
    return odd ? Rgb{128 + shade, 80 + shade / 2, 20} : Rgb{20, 60 + shade / 2, 128 + shade};
}

// A disc of white fading out towards its rim.
inline Rgb SoftDisc(int x, int y, int size) {
    const float d = std::hypot(x + 0.5f - size / 2.0f, y + 0.5f - size / 2.0f) / (size / 2.0f);
    const int v = static_cast<int>(255.0f * std::clamp(1.0f - d, 0.0f, 1.0f));
    return {v, v, v};
}

// Writes the pictures into `dir`: checker.png (64 × 64), blurry.png (its
// colours averaged over 8 × 8), right.png (black left half, white right
// half), disc.png (32 × 32 soft disc), ring.png (a bright band across the
// middle rows, for the rings' thickness), textmap.png and textmap2.png (a
// white bar, upright and lying, on black, 64 × 48).
inline void WriteFlatLayerPictures(const std::filesystem::path& dir) {
    WriteFile(dir / "checker.png", PictureOf(64, 64, Checker));
    WriteFile(dir / "blurry.png", PictureOf(64, 64, [](int x, int y) {
                  const Rgb a = Checker(x & ~7, y & ~7);
                  const Rgb b = Checker((x & ~7) + 8, y & ~7);
                  return Rgb{(a.r + b.r) / 2, (a.g + b.g) / 2, (a.b + b.b) / 2};
              }));
    WriteFile(dir / "right.png", PictureOf(16, 16, [](int x, int) {
                  const int v = x >= 8 ? 255 : 0;
                  return Rgb{v, v, v};
              }));
    WriteFile(dir / "disc.png", PictureOf(32, 32, [](int x, int y) { return SoftDisc(x, y, 32); }));
    WriteFile(dir / "ring.png", PictureOf(8, 8, [](int, int y) {
                  const int v = y >= 1 && y <= 6 ? 255 : 0;
                  return Rgb{v, v / 2 + 127, 255};
              }));
    WriteFile(dir / "textmap.png", PictureOf(64, 48, [](int x, int y) {
                  const int v = x >= 22 && x < 42 && y >= 8 && y < 40 ? 255 : 0;
                  return Rgb{v, v, v};
              }));
    WriteFile(dir / "textmap2.png", PictureOf(64, 48, [](int x, int y) {
                  const int v = y >= 21 && y < 31 && x >= 6 && x < 58 ? 255 : 0;
                  return Rgb{v, v, v};
              }));
}

}  // namespace vesta::test
