#pragma once
// PNG pictures as rows of 3-byte pixels, top row first, no row padding.
// Every layout of the format is expanded to 8-bit colour; the picture's own
// transparency (alpha channel or tRNS) is kept apart as one byte per pixel.

#include <cstdint>
#include <string>
#include <vector>

namespace vesta {

class PngReader {
public:
    // With swap the pixels are blue, green, red (what textures take); without
    // it red, green, blue.
    explicit PngReader(bool swap = true) : m_swap(swap) {}

    // The name messages give the file: the production's own spelling rather
    // than the lookup name the reader opens. Empty: the path itself.
    void ShowAs(std::string name) { m_shownName = std::move(name); }

    bool ReadHeader(const std::string& path, int& width, int& height);
    // Destination becomes width * height * 3 bytes.
    void ReadImage(const std::string& path, std::vector<std::uint8_t>& destination);

    // The alpha of the last image read, one byte per pixel; empty when that
    // picture is opaque by its format.
    const std::vector<std::uint8_t>& Alpha() const { return m_alpha; }
    bool HasAlpha() const { return !m_alpha.empty(); }

private:
    bool m_swap;
    std::string m_shownName;
    std::vector<std::uint8_t> m_alpha;
};

}  // namespace vesta
