#pragma once
// The size a picture takes as a texture, and the resampling to it.

#include <cstdint>
#include <string>
#include <vector>

namespace vesta {

struct TextureSize {
    int width = 1;
    int height = 1;
    bool resized = false;  // the source was not already a power of two within the limit
};

// The power of two (1 up to maximum) nearest to size, the smaller one on a tie.
int NearestPowerOfTwo(int size, int maximum);
TextureSize ChooseTextureSize(int width, int height, int maximum);

// The log line of an upload whose size is changed.
std::string PowerOfTwoWarning(const std::string& name, int width, int height, int textureWidth,
                              int textureHeight);

// Scales pixels of `channels` bytes each (3 or 4, rows top-down, no padding):
// along each axis an area average where it shrinks, bilinear where it grows.
std::vector<std::uint8_t> Resample(const std::uint8_t* pixels, int width, int height, int channels,
                                   int targetWidth, int targetHeight);

}  // namespace vesta
