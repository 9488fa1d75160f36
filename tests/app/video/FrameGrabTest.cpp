// The back buffer's pixels as the recording's bytes.

#include "app/video/FrameGrab.h"

#include <cstring>
#include <gtest/gtest.h>

#include "VideoTestSupport.h"
#include "render/RecordingModule.h"

namespace vesta::test {
namespace {

const PixelLayout kRgb565{16, 0xF800, 0x07E0, 0x001F};
const PixelLayout kXrgb8888{32, 0xFF0000, 0xFF00, 0xFF};

std::vector<std::uint8_t> grab(const PixelLayout& layout, const std::vector<std::uint8_t>& in,
                               int pitch, int width, int height) {
    std::vector<std::uint8_t> out(std::size_t(width) * height * 3, 0xAA);
    FrameGrab(layout).Convert(in.data(), pitch, width, height, out.data());
    return out;
}

std::vector<std::uint8_t> pixels16(std::initializer_list<std::uint16_t> values) {
    std::vector<std::uint8_t> bytes(values.size() * 2);
    std::memcpy(bytes.data(), std::data(values), bytes.size());
    return bytes;
}

TEST(FrameGrabTest, Rgb565ChannelsLandOnTheTopBits) {
    const auto out = grab(kRgb565, pixels16({0xF800, 0x07E0, 0x001F, 0xFFFF, 0x0841}), 10, 5, 1);
    const std::vector<std::uint8_t> expected{0, 0,   248, 0,   252, 0, 248, 0,
                                             0, 248, 252, 248, 8,   8, 8};
    EXPECT_EQ(out, expected);
}

TEST(FrameGrabTest, RowsComeOutBottomUpAndPitchIsHonoured) {
    // Two rows of one pixel, each row padded to 8 bytes.
    std::vector<std::uint8_t> in(16, 0xEE);
    const std::uint32_t top = 0x00102030, bottom = 0xFFA0B0C0;
    std::memcpy(in.data(), &top, 4);
    std::memcpy(in.data() + 8, &bottom, 4);
    const auto out = grab(kXrgb8888, in, 8, 1, 2);
    const std::vector<std::uint8_t> expected{0xC0, 0xB0, 0xA0, 0x30, 0x20, 0x10};
    EXPECT_EQ(out, expected);  // the top row is last; alpha falls away
}

TEST(FrameGrabTest, FastPathsGiveTheBytesOfTheGeneralArithmetic) {
    const int width = 37, height = 11;
    for (const PixelLayout& layout : {kRgb565, kXrgb8888}) {
        const int pitch = width * (layout.bitsPerPixel / 8) + 6;
        const auto in = NoiseFrame(pitch, height, 7);  // pitch * height * 3 bytes is enough
        std::vector<std::uint8_t> fast(std::size_t(width) * height * 3);
        std::vector<std::uint8_t> general(fast.size());
        FrameGrab(layout).Convert(in.data(), pitch, width, height, fast.data());
        FrameGrab(layout).ConvertGeneral(in.data(), pitch, width, height, general.data());
        EXPECT_EQ(fast, general) << layout.bitsPerPixel;
        if (layout.bitsPerPixel == 16) {
            for (std::size_t i = 0; i < fast.size(); ++i) {
                ASSERT_EQ(fast[i] & (i % 3 == 1 ? 3 : 7), 0) << i;  // low bits stay zero
            }
        }
    }
}

TEST(FrameGrabTest, OtherLayoutsGoThroughTheMasks) {
    // X1R5G5B5 is stored in 16 bits even though its depth reads 15.
    const PixelLayout x1r5g5b5{15, 0x7C00, 0x03E0, 0x001F};
    EXPECT_EQ(grab(x1r5g5b5, pixels16({0x7C00, 0x83E0}), 4, 2, 1),
              (std::vector<std::uint8_t>{0, 0, 248, 0, 248, 0}));
    // Red and blue swapped in 32 bits.
    const PixelLayout abgr{32, 0xFF, 0xFF00, 0xFF0000};
    const std::uint32_t pixel = 0x00112233;
    std::vector<std::uint8_t> in(4);
    std::memcpy(in.data(), &pixel, 4);
    EXPECT_EQ(grab(abgr, in, 4, 1, 1), (std::vector<std::uint8_t>{0x11, 0x22, 0x33}));
    // Ten-bit fields keep their top eight bits.
    const PixelLayout a2r10g10b10{32, 0x3FF00000, 0xFFC00, 0x3FF};
    const std::uint32_t wide = (0x3FFu << 20) | (0x200u << 10) | 0x003u;
    std::memcpy(in.data(), &wide, 4);
    EXPECT_EQ(grab(a2r10g10b10, in, 4, 1, 1), (std::vector<std::uint8_t>{0x00, 0x80, 0xFF}));
}

TEST(FrameGrabTest, GrabsTheRenderModulesBackBuffer) {
    RecordingModule module;
    module.Initialize(nullptr, false, 2, 2, 32);
    int pitch = 0;
    std::uint8_t* pixels = module.LockBackBuffer(pitch);
    const std::uint32_t values[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00FFFFFF};
    std::memcpy(pixels, values, sizeof values);
    module.UnlockBackBuffer();
    std::vector<std::uint8_t> out(12);
    ASSERT_TRUE(FrameGrab::FromBackBuffer(module, out.data()));
    const std::vector<std::uint8_t> expected{255, 0, 0, 255, 255, 255, 0, 0, 255, 0, 255, 0};
    EXPECT_EQ(out, expected);
}

}  // namespace
}  // namespace vesta::test
