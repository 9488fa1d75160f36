#pragma once
// Pictures made by the tests themselves: PNG in any layout through libpng,
// JPEG through libjpeg-turbo, both into memory.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vesta::test {

struct PngPicture {
    int width = 0;
    int height = 0;
    int colorType = 0;  // PNG_COLOR_TYPE_*
    int bitDepth = 8;
    bool interlaced = false;
    // width * height * channels samples, each within the bit depth's range.
    std::vector<std::uint16_t> samples;
    std::vector<std::array<std::uint8_t, 3>> palette;  // red, green, blue
    std::vector<std::uint8_t> paletteAlpha;            // tRNS of a palette picture
    std::optional<std::uint16_t> greyKey;              // tRNS of a grey picture
};

std::vector<std::uint8_t> EncodePng(const PngPicture& picture);

// Pixels of `components` bytes (3: red, green, blue; 1: grey).
std::vector<std::uint8_t> EncodeJpeg(const std::vector<std::uint8_t>& pixels, int width, int height,
                                     int components, bool progressive);

// A small opaque RGB picture: pixel i is (i * 40, 255 - i * 40, 128) in red, green, blue.
std::vector<std::uint8_t> SimplePng(int width, int height);

// A 16 x 16 white glow fading out from its centre, for halos and sprites.
std::vector<std::uint8_t> GlowPng();

}  // namespace vesta::test
