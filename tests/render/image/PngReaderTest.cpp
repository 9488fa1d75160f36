// Every PNG layout decodes to the same blue, green, red pixels and alpha
// plane; damaged files end in the reader's messages.

#include "render/image/PngReader.h"

#include <gtest/gtest.h>
#include <png.h>

#include "../../support/EngineState.h"
#include "../../support/TestSupport.h"
#include "PictureWriters.h"
#include "log/Log.h"

namespace vesta::test {
namespace {

constexpr int kWidth = 9;  // odd, so packed rows end inside a byte
constexpr int kHeight = 7;

struct Layout {
    const char* name;
    int colorType;
    int bitDepth;
    bool transparency;
    bool interlaced;
};

void PrintTo(const Layout& layout, std::ostream* out) {
    *out << layout.name;
}

struct Sample {
    PngPicture picture;
    std::vector<std::uint8_t> bgr;
    std::vector<std::uint8_t> alpha;  // empty: opaque by format
};

std::uint8_t byteAt(int x, int y, int a, int b, int c) {
    return static_cast<std::uint8_t>((x * a + y * b + c) & 0xFF);
}

std::array<std::uint8_t, 3> paletteEntry(int i) {
    return {byteAt(i, 0, 37, 0, 11), byteAt(i, 0, 91, 0, 3), byteAt(i, 0, 53, 0, 7)};
}

void addPixel(Sample& sample, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    sample.bgr.insert(sample.bgr.end(), {blue, green, red});
}

// The stored sample of an 8-bit value at this depth.
std::uint16_t stored(std::uint8_t value, int bitDepth) {
    return bitDepth == 16 ? static_cast<std::uint16_t>(value * 257) : value;
}

void addGrey(Sample& sample, const Layout& layout, int x, int y) {
    const int maximum = (1 << std::min(layout.bitDepth, 8)) - 1;
    const int level =
        layout.bitDepth >= 8 ? byteAt(x, y, 29, 13, 0) : (x * 3 + y * 5) % (maximum + 1);
    const auto grey = static_cast<std::uint8_t>(level * 255 / maximum);
    sample.picture.samples.push_back(layout.bitDepth == 16 ? stored(grey, 16)
                                                           : static_cast<std::uint16_t>(level));
    addPixel(sample, grey, grey, grey);
    if (layout.colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        const std::uint8_t alpha = byteAt(x, y, 31, 17, 0);
        sample.picture.samples.push_back(stored(alpha, layout.bitDepth));
        sample.alpha.push_back(alpha);
    } else if (layout.transparency) {
        sample.alpha.push_back(level == 3 ? 0 : 255);
    }
}

void addPaletteIndex(Sample& sample, const Layout& layout, int x, int y) {
    const int entries = layout.bitDepth == 8 ? 200 : 1 << layout.bitDepth;
    const int index = (x + y * kWidth) % entries;
    sample.picture.samples.push_back(static_cast<std::uint16_t>(index));
    const auto entry = paletteEntry(index);
    addPixel(sample, entry[0], entry[1], entry[2]);
    if (layout.transparency) {
        const auto& alphas = sample.picture.paletteAlpha;
        sample.alpha.push_back(index < int(alphas.size()) ? alphas[std::size_t(index)] : 255);
    }
}

void addColour(Sample& sample, const Layout& layout, int x, int y) {
    const std::uint8_t red = byteAt(x, y, 25, 0, 10);
    const std::uint8_t green = byteAt(x, y, 0, 30, 20);
    const std::uint8_t blue = byteAt(x * y, 0, 7, 0, 0);
    for (const std::uint8_t value : {red, green, blue}) {
        sample.picture.samples.push_back(stored(value, layout.bitDepth));
    }
    addPixel(sample, red, green, blue);
    if (layout.colorType == PNG_COLOR_TYPE_RGB_ALPHA) {
        const std::uint8_t alpha = byteAt(x, y, 31, 17, 0);
        sample.picture.samples.push_back(stored(alpha, layout.bitDepth));
        sample.alpha.push_back(alpha);
    }
}

Sample makeSample(const Layout& layout) {
    Sample sample;
    PngPicture& picture = sample.picture;
    picture = {kWidth, kHeight, layout.colorType, layout.bitDepth, layout.interlaced, {}, {},
               {},     {}};
    if (layout.colorType == PNG_COLOR_TYPE_PALETTE) {
        const int entries = layout.bitDepth == 8 ? 200 : 1 << layout.bitDepth;
        for (int i = 0; i < entries; ++i) {
            picture.palette.push_back(paletteEntry(i));
        }
        if (layout.transparency) {
            picture.paletteAlpha = {0, 100, 200};
            picture.paletteAlpha.resize(std::min<std::size_t>(3, std::size_t(entries)));
        }
    }
    if (layout.colorType == PNG_COLOR_TYPE_GRAY && layout.transparency) {
        picture.greyKey = 3;
    }
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (layout.colorType == PNG_COLOR_TYPE_PALETTE) {
                addPaletteIndex(sample, layout, x, y);
            } else if (layout.colorType & PNG_COLOR_MASK_COLOR) {
                addColour(sample, layout, x, y);
            } else {
                addGrey(sample, layout, x, y);
            }
        }
    }
    return sample;
}

class PngReaderTest : public ::testing::TestWithParam<Layout> {
protected:
    void SetUp() override { ResetEngineState(); }
    void TearDown() override { ResetEngineState(); }

    TempDir folder;
};

TEST_P(PngReaderTest, DecodesToBlueGreenRedTopDownWithItsAlpha) {
    const Sample sample = makeSample(GetParam());
    const std::string path = (folder / "picture.png").string();
    WriteFile(path, EncodePng(sample.picture));

    PngReader reader(true);
    int width = 0;
    int height = 0;
    ASSERT_TRUE(reader.ReadHeader(path, width, height));
    EXPECT_EQ(width, kWidth);
    EXPECT_EQ(height, kHeight);
    std::vector<std::uint8_t> pixels(std::size_t(width) * height * 3);
    reader.ReadImage(path, pixels);
    EXPECT_EQ(pixels, sample.bgr);
    EXPECT_EQ(reader.Alpha(), sample.alpha);
    EXPECT_EQ(reader.HasAlpha(), !sample.alpha.empty());
}

INSTANTIATE_TEST_SUITE_P(
    EveryLayout, PngReaderTest,
    ::testing::Values(Layout{"Grey1", PNG_COLOR_TYPE_GRAY, 1, false, false},
                      Layout{"Grey2", PNG_COLOR_TYPE_GRAY, 2, false, false},
                      Layout{"Grey4", PNG_COLOR_TYPE_GRAY, 4, false, false},
                      Layout{"Grey8", PNG_COLOR_TYPE_GRAY, 8, false, false},
                      Layout{"Grey16", PNG_COLOR_TYPE_GRAY, 16, false, false},
                      Layout{"Grey4ColourKey", PNG_COLOR_TYPE_GRAY, 4, true, false},
                      Layout{"GreyAlpha8", PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, false},
                      Layout{"GreyAlpha16", PNG_COLOR_TYPE_GRAY_ALPHA, 16, false, false},
                      Layout{"Palette1", PNG_COLOR_TYPE_PALETTE, 1, false, false},
                      Layout{"Palette2", PNG_COLOR_TYPE_PALETTE, 2, false, false},
                      Layout{"Palette4", PNG_COLOR_TYPE_PALETTE, 4, false, false},
                      Layout{"Palette8", PNG_COLOR_TYPE_PALETTE, 8, false, false},
                      Layout{"Palette2Transparency", PNG_COLOR_TYPE_PALETTE, 2, true, false},
                      Layout{"Palette8Transparency", PNG_COLOR_TYPE_PALETTE, 8, true, false},
                      Layout{"Rgb8", PNG_COLOR_TYPE_RGB, 8, false, false},
                      Layout{"Rgb16", PNG_COLOR_TYPE_RGB, 16, false, false},
                      Layout{"Rgba8", PNG_COLOR_TYPE_RGB_ALPHA, 8, false, false},
                      Layout{"Rgba16", PNG_COLOR_TYPE_RGB_ALPHA, 16, false, false},
                      Layout{"InterlacedGrey1", PNG_COLOR_TYPE_GRAY, 1, false, true},
                      Layout{"InterlacedPalette4Transparency", PNG_COLOR_TYPE_PALETTE, 4, true,
                             true},
                      Layout{"InterlacedRgb8", PNG_COLOR_TYPE_RGB, 8, false, true},
                      Layout{"InterlacedRgba16", PNG_COLOR_TYPE_RGB_ALPHA, 16, false, true}),
    [](const ::testing::TestParamInfo<Layout>& layout) { return std::string(layout.param.name); });

class PngFailureTest : public ::testing::Test {
protected:
    void SetUp() override { ResetEngineState(); }
    void TearDown() override { ResetEngineState(); }

    std::string readError(const std::vector<std::uint8_t>& bytes) {
        const std::string path = (folder / "damaged.png").string();
        WriteFile(path, bytes);
        return EngineErrorOf([&] {
            PngReader reader;
            int width = 0;
            int height = 0;
            reader.ReadHeader(path, width, height);
            std::vector<std::uint8_t> pixels;
            reader.ReadImage(path, pixels);
        });
    }

    TempDir folder;
};

TEST_F(PngFailureTest, WithoutSwapThePixelsAreRedGreenBlue) {
    const std::string path = (folder / "rgb.png").string();
    WriteFile(path, SimplePng(2, 1));
    PngReader reader(false);
    std::vector<std::uint8_t> pixels;
    reader.ReadImage(path, pixels);
    EXPECT_EQ(pixels, (std::vector<std::uint8_t>{0, 255, 128, 40, 215, 128}));
}

TEST_F(PngFailureTest, MissingAndForeignFilesAreNamed) {
    const std::string missing = (folder / "missing.png").string();
    EXPECT_EQ(EngineErrorOf([&] {
                  int width = 0;
                  int height = 0;
                  PngReader().ReadHeader(missing, width, height);
              }),
              "PngLoad : Cannot open File [" + missing + "].");
    const std::string path = (folder / "damaged.png").string();
    const std::string notPng = "PngLoad : File [" + path + "] is not a valid PNG file.";
    EXPECT_EQ(readError(Bytes("GIF89a, not a PNG at all")), notPng);
    EXPECT_EQ(readError(Bytes("\x89P")), notPng);
}

TEST_F(PngFailureTest, DamagedDataEndsInTheReadError) {
    const std::vector<std::uint8_t> good = SimplePng(16, 16);
    // The reader's own words, then the file and libpng's reason.
    const std::string readFailed =
        "PngLoad : Error while reading PNG. [" + (folder / "damaged.png").string() + "]: ";
    for (const std::size_t length :
         {std::size_t{8}, std::size_t{20}, std::size_t{40}, good.size() / 2, good.size() - 13}) {
        SCOPED_TRACE(length);
        EXPECT_EQ(readError({good.begin(), good.begin() + std::ptrdiff_t(length)}),
                  readFailed + "the file ends early");
    }
    std::vector<std::uint8_t> flipped = good;
    flipped[good.size() / 2] ^= 0x55;  // inside the image data, which no longer inflates
    EXPECT_EQ(readError(flipped), readFailed + "IDAT: invalid block type");
    // Wider than any texture: refused before memory for it is asked.
    EXPECT_EQ(readError(SimplePng(9000, 1)), readFailed + "Invalid IHDR data");
}

}  // namespace
}  // namespace vesta::test
