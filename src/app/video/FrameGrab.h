#pragma once
// Turns the back buffer into a video frame: three bytes per pixel (blue,
// green, red), bottom row first so the upright picture comes out upright.
//
// Each channel is (pixel >> shift) << (8 - width), kept to 8 bits, where shift
// is the mask's lowest set bit and width its number of bits: the field's top
// bit lands on bit 7 and its missing low bits stay zero (5-6-5 full red gives
// 248, 0, 0). Fields wider than 8 bits keep their top 8.

#include <cstdint>

namespace vesta {

class RenderModule;

struct PixelLayout {
    int bitsPerPixel = 32;  // 15 and 16 read 16-bit pixels, anything else 32-bit
    std::uint32_t redMask = 0xFF0000;
    std::uint32_t greenMask = 0xFF00;
    std::uint32_t blueMask = 0xFF;
};

class FrameGrab {
public:
    explicit FrameGrab(const PixelLayout& layout);

    // `pixels` holds `height` rows of `pitch` bytes, top row first; `out`
    // receives width * height * 3 bytes.
    void Convert(const std::uint8_t* pixels, int pitch, int width, int height,
                 std::uint8_t* out) const;
    // The same bytes through the per-channel arithmetic, whatever the layout.
    void ConvertGeneral(const std::uint8_t* pixels, int pitch, int width, int height,
                        std::uint8_t* out) const;

    // Locks `module`'s back buffer, converts it into `out` and unlocks it;
    // false (nothing written) when the buffer cannot be locked.
    static bool FromBackBuffer(RenderModule& module, std::uint8_t* out);
    // The same from the oldest frame copy `module` keeps (QueueFrameCopy);
    // false when there is none.
    static bool FromFrameCopy(RenderModule& module, std::uint8_t* out);

private:
    struct Channel {
        int shift = 0;
        int width = 0;
        std::uint8_t Extract(std::uint32_t pixel) const;
    };
    enum class Path { General, Rgb565, Xrgb8888 };

    PixelLayout m_layout;
    Channel m_red;
    Channel m_green;
    Channel m_blue;
    Path m_path = Path::General;
};

}  // namespace vesta
