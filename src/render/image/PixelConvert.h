#pragma once
// Pixel format conversions done before an upload.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vesta {

// Blue, green, red → blue, green, red, 255.
std::vector<std::uint8_t> BgrToBgra(const std::uint8_t* pixels, std::size_t count);
std::vector<std::uint16_t> BgraToR5G6B5(const std::uint8_t* pixels, std::size_t count);
std::vector<std::uint16_t> BgraToA4R4G4B4(const std::uint8_t* pixels, std::size_t count);

struct ChannelMasks {
    std::uint32_t red = 0xF800;
    std::uint32_t green = 0x07E0;
    std::uint32_t blue = 0x001F;
};

// A width * height image of 3-byte pixels (blue, green, red) in buffer
// becomes 16-bit pixels laid out by masks, written from the start of the same
// buffer. With reversedOrder the masks are taken as blue, green, red.
void DitherTo16(std::uint8_t* buffer, int width, int height, const ChannelMasks& masks,
                bool reversedOrder);

}  // namespace vesta
