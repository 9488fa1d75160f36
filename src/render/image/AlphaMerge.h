#pragma once
// Joins a picture and a separate alpha image into 32-bit pixels.

#include <cstdint>
#include <vector>

namespace vesta {

// Picture: width * height pixels of 3 bytes (blue, green, red), replaced by
// width * height pixels of 4 bytes (blue, green, red, alpha). The alpha of a
// pixel is the first byte of the alpha image's pixel at the same place, the
// alpha image being scaled to the picture's size by nearest neighbour.
// alphaBytesPerPixel is 3 for an alpha image read like a picture, 1 for an
// alpha plane.
void AlphaMerge(std::vector<std::uint8_t>& picture, int width, int height,
                const std::vector<std::uint8_t>& alpha, int alphaWidth, int alphaHeight,
                int alphaBytesPerPixel = 3);

}  // namespace vesta
