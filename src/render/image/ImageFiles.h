#pragma once
// PNG and JPEG encoding of 8-bit pixel rows, top row first.

#include <filesystem>
#include <vector>

namespace vesta {

// `channels` 1 (grey) or 3 (RGB).
void WritePng(const std::filesystem::path& path, int width, int height, int channels,
              const std::vector<unsigned char>& pixels);
void WriteJpeg(const std::filesystem::path& path, int width, int height,
               const std::vector<unsigned char>& rgb);

}  // namespace vesta
