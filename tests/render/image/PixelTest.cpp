// Alpha merge, texture size and resampling, 16-bit conversions and dither.

#include <cstring>
#include <gtest/gtest.h>
#include <numeric>
#include <set>

#include "log/Log.h"
#include "render/image/AlphaMerge.h"
#include "render/image/PixelConvert.h"
#include "render/image/TextureSize.h"

namespace vesta::test {
namespace {

std::vector<std::uint8_t> flat(int count, std::initializer_list<std::uint8_t> pixel) {
    std::vector<std::uint8_t> pixels;
    for (int i = 0; i < count; ++i) {
        pixels.insert(pixels.end(), pixel);
    }
    return pixels;
}

TEST(AlphaMergeTest, SameSizeTakesTheFirstByteOfEachAlphaPixel) {
    std::vector<std::uint8_t> picture = {1, 2, 3, 4, 5, 6};
    const std::vector<std::uint8_t> alpha = {200, 0, 0, 17, 99, 99};
    AlphaMerge(picture, 2, 1, alpha, 2, 1);
    EXPECT_EQ(picture, (std::vector<std::uint8_t>{1, 2, 3, 200, 4, 5, 6, 17}));
}

TEST(AlphaMergeTest, AHalfSizeAlphaIsRepeatedPixelByPixel) {
    const int width = 4;
    const int height = 4;
    std::vector<std::uint8_t> picture = flat(width * height, {10, 20, 30});
    // 2 x 2 alpha image, grey levels 0, 1, 2, 3.
    std::vector<std::uint8_t> alpha;
    for (std::uint8_t level = 0; level < 4; ++level) {
        alpha.insert(alpha.end(), {level, level, level});
    }
    AlphaMerge(picture, width, height, alpha, 2, 2);
    ASSERT_EQ(picture.size(), std::size_t(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* pixel = &picture[std::size_t(y * width + x) * 4];
            EXPECT_EQ(pixel[3], (y / 2) * 2 + x / 2) << x << "," << y;
            EXPECT_EQ(pixel[0], 10);
            EXPECT_EQ(pixel[2], 30);
        }
    }
}

TEST(AlphaMergeTest, ALargerAlphaIsSampledByTruncatedSteps) {
    std::vector<std::uint8_t> picture = flat(3, {0, 0, 0});
    // 7 x 1 alpha plane; steps of 7/3 land on columns 0, 2 and 4.
    const std::vector<std::uint8_t> alpha = {0, 1, 2, 3, 4, 5, 6};
    AlphaMerge(picture, 3, 1, alpha, 7, 1, 1);
    EXPECT_EQ(picture[3], 0);
    EXPECT_EQ(picture[7], 2);
    EXPECT_EQ(picture[11], 4);
}

TEST(TextureSizeTest, NearestPowerOfTwoPerDimensionTheSmallerOnATie) {
    const TextureSize odd = ChooseTextureSize(300, 200, 2048);
    EXPECT_EQ(odd.width, 256);
    EXPECT_EQ(odd.height, 256);
    EXPECT_TRUE(odd.resized);
    const TextureSize exact = ChooseTextureSize(512, 256, 2048);
    EXPECT_EQ(exact.width, 512);
    EXPECT_EQ(exact.height, 256);
    EXPECT_FALSE(exact.resized);
    const TextureSize limited = ChooseTextureSize(1024, 64, 512);
    EXPECT_EQ(limited.width, 512);
    EXPECT_EQ(limited.height, 64);
    EXPECT_TRUE(limited.resized);
    EXPECT_EQ(NearestPowerOfTwo(384, 2048), 256);
    EXPECT_EQ(NearestPowerOfTwo(3, 2048), 2);
    EXPECT_EQ(NearestPowerOfTwo(0, 2048), 1);
}

TEST(TextureSizeTest, WarningText) {
    EXPECT_EQ(PowerOfTwoWarning("logo.png", 300, 200, 256, 256),
              "PERFORMANCE Warning in file [logo.png] : Size SHOULD be a power of 2 (is 300x200). "
              "Resizing to (256x256)");
}

TEST(TextureSizeTest, FittingResamplesAndWarnsOnlyWhenTheSizeChanges) {
    std::vector<std::string> lines;
    SetLogSink(
        [](void* sink, const char* line) {
            static_cast<std::vector<std::string>*>(sink)->push_back(line);
        },
        &lines);
    const std::vector<std::uint8_t> odd = flat(6 * 3, {9, 8, 7, 6});
    const FittedPicture fitted = FitToTextureSize("odd.png", odd.data(), 6, 3, 4, 2048);
    EXPECT_EQ(fitted.size.width, 4);
    EXPECT_EQ(fitted.size.height, 2);  // 3 lies as near 2 as 4
    EXPECT_EQ(fitted.pixels, flat(8, {9, 8, 7, 6}));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], PowerOfTwoWarning("odd.png", 6, 3, 4, 2));
    const std::vector<std::uint8_t> exact = flat(8, {1, 2, 3});
    EXPECT_EQ(FitToTextureSize("exact.png", exact.data(), 4, 2, 3, 2048).pixels, exact);
    EXPECT_EQ(lines.size(), 1u);
    SetLogSink(nullptr, nullptr);
}

TEST(ResampleTest, FlatColoursStayFlatShrinkingAndGrowing) {
    const std::vector<std::uint8_t> bgr = flat(300 * 200, {12, 200, 255});
    const std::vector<std::uint8_t> sized = Resample(bgr.data(), 300, 200, 3, 256, 256);
    EXPECT_EQ(sized, flat(256 * 256, {12, 200, 255}));
    const std::vector<std::uint8_t> bgra = flat(3 * 5, {1, 2, 3, 77});
    EXPECT_EQ(Resample(bgra.data(), 3, 5, 4, 8, 4), flat(8 * 4, {1, 2, 3, 77}));
}

TEST(ResampleTest, ShrinkingAveragesAndGrowingInterpolates) {
    // Grey stripes 0, 255, 0, 255 halve to their average.
    std::vector<std::uint8_t> stripes;
    for (int x = 0; x < 4; ++x) {
        stripes.insert(stripes.end(), 3, x % 2 ? 255 : 0);
    }
    EXPECT_EQ(Resample(stripes.data(), 4, 1, 3, 2, 1), flat(2, {128, 128, 128}));
    // Two pixels 0 and 255 grown to four: ends kept, a ramp between.
    const std::vector<std::uint8_t> ends = {0, 0, 0, 255, 255, 255};
    const std::vector<std::uint8_t> grown = Resample(ends.data(), 2, 1, 3, 4, 1);
    EXPECT_EQ(grown[0], 0);
    EXPECT_EQ(grown[3], 64);
    EXPECT_EQ(grown[6], 191);
    EXPECT_EQ(grown[9], 255);
}

TEST(PixelConvertTest, SixteenBitLayouts) {
    const std::vector<std::uint8_t> bgra = BgrToBgra(std::vector<std::uint8_t>{1, 2, 3}.data(), 1);
    EXPECT_EQ(bgra, (std::vector<std::uint8_t>{1, 2, 3, 255}));
    const std::vector<std::uint8_t> pixels = {0xFF, 0, 0,    0, 0,    0xFF, 0,    0,
                                              0,    0, 0xFF, 0, 0x10, 0x20, 0x30, 0xF0};
    EXPECT_EQ(BgraToR5G6B5(pixels.data(), 4),
              (std::vector<std::uint16_t>{0x001F, 0x07E0, 0xF800, 0x3102}));
    EXPECT_EQ(BgraToA4R4G4B4(pixels.data(), 4),
              (std::vector<std::uint16_t>{0x000F, 0x00F0, 0x0F00, 0xF321}));
}

std::vector<std::uint16_t> dithered(std::vector<std::uint8_t> image, int width, int height,
                                    const ChannelMasks& masks, bool reversed) {
    DitherTo16(image.data(), width, height, masks, reversed);
    std::vector<std::uint16_t> out(std::size_t(width) * height);
    std::memcpy(out.data(), image.data(), out.size() * 2);
    return out;
}

TEST(DitherTest, TheAverageOfATileKeepsTheLevel) {
    const ChannelMasks masks;  // 5-6-5
    for (const int level : {37, 100, 201}) {
        SCOPED_TRACE(level);
        const auto value = static_cast<std::uint8_t>(level);
        const std::vector<std::uint16_t> out =
            dithered(flat(16, {value, value, value}), 4, 4, masks, false);
        double red = 0;
        double green = 0;
        for (const std::uint16_t pixel : out) {
            red += (pixel >> 11) * 255.0 / 31.0;
            green += ((pixel >> 5) & 63) * 255.0 / 63.0;
        }
        EXPECT_NEAR(red / 16, level, 255.0 / 31 / 16 + 0.5);
        EXPECT_NEAR(green / 16, level, 255.0 / 63 / 16 + 0.5);
        // A truncating conversion would lose up to a whole step.
        EXPECT_GT(std::set<std::uint16_t>(out.begin(), out.end()).size(), 1u);
    }
}

TEST(DitherTest, ExtremesStayExactAndMasksPlaceTheChannels) {
    const ChannelMasks x555{0x7C00, 0x03E0, 0x001F};
    const std::vector<std::uint8_t> redBlack = {0, 0, 255, 0, 0, 0};  // blue, green, red
    EXPECT_EQ(dithered(redBlack, 2, 1, x555, false), (std::vector<std::uint16_t>{0x7C00, 0}));
    EXPECT_EQ(dithered(redBlack, 2, 1, x555, true), (std::vector<std::uint16_t>{0x001F, 0}));
    const std::vector<std::uint8_t> white = flat(16, {255, 255, 255});
    EXPECT_EQ(dithered(white, 4, 4, ChannelMasks{}, false), std::vector<std::uint16_t>(16, 0xFFFF));
}

}  // namespace
}  // namespace vesta::test
