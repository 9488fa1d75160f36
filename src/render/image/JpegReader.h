#pragma once
// JPEG pictures (baseline and progressive, three colour channels) as rows of
// 3-byte pixels, top row first, no row padding.

#include <cstdint>
#include <string>
#include <vector>

namespace vesta {

class JpegReader {
public:
    // The name messages give the file: the production's own spelling rather
    // than the lookup name the reader opens. Empty: the path itself.
    void ShowAs(std::string name) { m_shownName = std::move(name); }

    bool ReadHeader(const std::string& path, int& width, int& height);
    // Destination becomes width * height * 3 bytes: blue, green, red, or red,
    // green, blue with rgbOrder. Grey-scale and CMYK files are refused.
    void ReadImage(const std::string& path, std::vector<std::uint8_t>& destination, bool rgbOrder);

private:
    std::string m_shownName;
};

}  // namespace vesta
