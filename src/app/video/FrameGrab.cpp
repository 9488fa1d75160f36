#include "app/video/FrameGrab.h"

#include <bit>
#include <cstring>

#include "render/RenderModule.h"

namespace vesta {
namespace {

bool sixteenBit(int bitsPerPixel) {
    return bitsPerPixel == 15 || bitsPerPixel == 16;
}

std::uint32_t readPixel(const std::uint8_t* at, bool narrow) {
    if (narrow) {
        std::uint16_t value = 0;
        std::memcpy(&value, at, sizeof value);
        return value;
    }
    std::uint32_t value = 0;
    std::memcpy(&value, at, sizeof value);
    return value;
}

const std::uint8_t* sourceRow(const std::uint8_t* pixels, int pitch, int height, int row) {
    return pixels + std::ptrdiff_t(height - 1 - row) * pitch;
}

void convert565Row(const std::uint8_t* in, int width, std::uint8_t* out) {
    for (int x = 0; x < width; ++x) {
        std::uint16_t v = 0;
        std::memcpy(&v, in + 2 * x, sizeof v);
        out[3 * x + 0] = std::uint8_t(v << 3);
        out[3 * x + 1] = std::uint8_t((v >> 5) << 2);
        out[3 * x + 2] = std::uint8_t((v >> 11) << 3);
    }
}

// Little-endian X8R8G8B8 is already blue, green, red in memory. Each pixel
// is moved as four bytes, the fourth overwritten by the next pixel: one load
// and one store a pixel instead of three of each.
void convert8888Row(const std::uint8_t* in, int width, std::uint8_t* out) {
    int x = 0;
    for (; x + 1 < width; ++x) {
        std::memcpy(out + 3 * x, in + 4 * x, 4);
    }
    if (x < width) {
        std::memcpy(out + 3 * x, in + 4 * x, 3);
    }
}

}  // namespace

std::uint8_t FrameGrab::Channel::Extract(std::uint32_t pixel) const {
    const std::uint32_t field = pixel >> shift;
    return width <= 8 ? std::uint8_t(field << (8 - width)) : std::uint8_t(field >> (width - 8));
}

FrameGrab::FrameGrab(const PixelLayout& layout) : m_layout(layout) {
    const auto channel = [](std::uint32_t mask) {
        return mask == 0 ? Channel{0, 0} : Channel{std::countr_zero(mask), std::popcount(mask)};
    };
    m_red = channel(layout.redMask);
    m_green = channel(layout.greenMask);
    m_blue = channel(layout.blueMask);
    if (sixteenBit(layout.bitsPerPixel) && layout.redMask == 0xF800 && layout.greenMask == 0x07E0 &&
        layout.blueMask == 0x001F) {
        m_path = Path::Rgb565;
    } else if (!sixteenBit(layout.bitsPerPixel) && layout.redMask == 0xFF0000 &&
               layout.greenMask == 0xFF00 && layout.blueMask == 0xFF) {
        m_path = std::endian::native == std::endian::little ? Path::Xrgb8888 : Path::General;
    }
}

void FrameGrab::Convert(const std::uint8_t* pixels, int pitch, int width, int height,
                        std::uint8_t* out) const {
    if (m_path == Path::General) {
        ConvertGeneral(pixels, pitch, width, height, out);
        return;
    }
    const auto rowConverter = m_path == Path::Rgb565 ? convert565Row : convert8888Row;
    for (int row = 0; row < height; ++row) {
        rowConverter(sourceRow(pixels, pitch, height, row), width,
                     out + std::size_t(row) * std::size_t(width) * 3);
    }
}

void FrameGrab::ConvertGeneral(const std::uint8_t* pixels, int pitch, int width, int height,
                               std::uint8_t* out) const {
    const bool narrow = sixteenBit(m_layout.bitsPerPixel);
    const int step = narrow ? 2 : 4;
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* in = sourceRow(pixels, pitch, height, row);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t pixel = readPixel(in + x * step, narrow);
            *out++ = m_blue.Extract(pixel);
            *out++ = m_green.Extract(pixel);
            *out++ = m_red.Extract(pixel);
        }
    }
}

namespace {

FrameGrab grabOf(const RenderModule& module) {
    return FrameGrab(PixelLayout{module.BitsPerPixel(), module.RedMask(), module.GreenMask(),
                                 module.BlueMask()});
}

}  // namespace

bool FrameGrab::FromFrameCopy(RenderModule& module, std::uint8_t* out) {
    int pitch = 0;
    const std::uint8_t* pixels = module.ReadFrameCopy(pitch);
    if (!pixels) {
        return false;
    }
    grabOf(module).Convert(pixels, pitch, module.BackBufferWidth(), module.BackBufferHeight(), out);
    return true;
}

bool FrameGrab::FromBackBuffer(RenderModule& module, std::uint8_t* out) {
    const FrameGrab grab = grabOf(module);
    int pitch = 0;
    const std::uint8_t* pixels = module.LockBackBuffer(pitch);
    if (!pixels) {
        return false;
    }
    grab.Convert(pixels, pitch, module.BackBufferWidth(), module.BackBufferHeight(), out);
    module.UnlockBackBuffer();
    return true;
}

}  // namespace vesta
