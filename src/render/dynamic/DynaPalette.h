#pragma once
// The 256 colours a dynamic texture maps its 8-bit indices through, already
// packed in the texture's pixel format.
//
//     DynaPalette palette(32, module.RedMask());
//     palette.SetFromText("0=0,0,0;255=255,255,255");   // a grey ramp
//     std::uint32_t texel = palette[128];                // 0x00808080

#include <array>
#include <cstdint>
#include <string_view>

namespace vesta {

struct PaletteColour {
    int r = 0;
    int g = 0;
    int b = 0;
};

// 32 bits: 0x00RRGGBB. 16 bits: 5-6-5 when the frame's red mask is 0xF800,
// else 5-5-5. Channels are 0..255.
std::uint32_t PackPaletteColour(const PaletteColour& colour, int bitsPerPixel,
                                std::uint32_t redMask);

class DynaPalette {
public:
    DynaPalette(int bitsPerPixel, std::uint32_t redMask);

    // Both ends get their colours and the entries between them a linear
    // blend. Indices count modulo 256, so a later end wraps past 255.
    void Gradient(std::uint8_t from, const PaletteColour& fromColour, std::uint8_t to,
                  const PaletteColour& toColour);
    // Black through dark grey, red, orange and yellow to white.
    void SetDefault();
    // Stops "index=r,g,b" (or "index=x,r,g,b") separated by ";", a gradient
    // between each stop and the next; entries outside them keep their colours.
    // A stop that does not read as one is left out.
    void SetFromText(std::string_view text);

    std::uint32_t operator[](std::uint8_t index) const { return m_entries[index]; }
    int BitsPerPixel() const { return m_bitsPerPixel; }

private:
    std::array<std::uint32_t, 256> m_entries{};
    int m_bitsPerPixel;
    std::uint32_t m_redMask;
};

}  // namespace vesta
