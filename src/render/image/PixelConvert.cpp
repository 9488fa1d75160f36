#include "render/image/PixelConvert.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace vesta {
namespace {

// Where a channel sits in a 16-bit pixel and how many levels it has.
struct Channel {
    int shift = 0;
    std::uint32_t levels = 0;  // the largest value
};

Channel channelOf(std::uint32_t mask) {
    if (mask == 0) {
        return {};
    }
    const int shift = std::countr_zero(mask);
    return {shift, mask >> shift};
}

// The 4 x 4 Bayer matrix: thresholds 0..15 spread so that every 2 x 2 and
// 4 x 4 block holds evenly spaced ones.
constexpr std::uint32_t kBayer[4][4] = {
    {0, 8, 2, 10},
    {12, 4, 14, 6},
    {3, 11, 1, 9},
    {15, 7, 13, 5},
};

std::uint32_t dither(std::uint32_t value, const Channel& channel, std::uint32_t threshold) {
    // value * levels / 255 plus a threshold in (0, 1): (2t + 1) / 32.
    const std::uint32_t level =
        (value * channel.levels * 32 + (2 * threshold + 1) * 255) / (255 * 32);
    return std::min(level, channel.levels) << channel.shift;
}

}  // namespace

std::vector<std::uint8_t> BgrToBgra(const std::uint8_t* pixels, std::size_t count) {
    std::vector<std::uint8_t> out(count * 4);
    for (std::size_t i = 0; i < count; ++i) {
        std::memcpy(&out[i * 4], pixels + i * 3, 3);
        out[i * 4 + 3] = 255;
    }
    return out;
}

std::vector<std::uint16_t> BgraToR5G6B5(const std::uint8_t* pixels, std::size_t count) {
    std::vector<std::uint16_t> out(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* p = pixels + i * 4;
        out[i] = static_cast<std::uint16_t>((p[2] >> 3) << 11 | (p[1] >> 2) << 5 | p[0] >> 3);
    }
    return out;
}

std::vector<std::uint16_t> BgraToA4R4G4B4(const std::uint8_t* pixels, std::size_t count) {
    std::vector<std::uint16_t> out(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* p = pixels + i * 4;
        out[i] = static_cast<std::uint16_t>((p[3] >> 4) << 12 | (p[2] >> 4) << 8 |
                                            (p[1] >> 4) << 4 | p[0] >> 4);
    }
    return out;
}

// An ordered dither rather than error diffusion: each output pixel depends
// only on its own value and its position, so a picture gets the same pattern
// on every upload, flat areas show a fine regular grain instead of crawling
// worms, and textures laid side by side meet without seams in the pattern.
void DitherTo16(std::uint8_t* buffer, int width, int height, const ChannelMasks& masks,
                bool reversedOrder) {
    const Channel red = channelOf(reversedOrder ? masks.blue : masks.red);
    const Channel green = channelOf(masks.green);
    const Channel blue = channelOf(reversedOrder ? masks.red : masks.blue);
    // Each 2-byte pixel is written at or before the 3-byte one it comes from.
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t i = std::size_t(y) * width + x;
            const std::uint8_t* p = buffer + i * 3;
            const std::uint32_t threshold = kBayer[y & 3][x & 3];
            const auto pixel = static_cast<std::uint16_t>(dither(p[2], red, threshold) |
                                                          dither(p[1], green, threshold) |
                                                          dither(p[0], blue, threshold));
            std::memcpy(buffer + i * 2, &pixel, 2);
        }
    }
}

}  // namespace vesta
