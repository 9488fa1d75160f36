// JPEG pictures, baseline and progressive, in both byte orders; grey-scale
// and damaged files end in the reader's messages.

#include "render/image/JpegReader.h"

#include <cstdlib>
#include <gtest/gtest.h>

#include "../../support/EngineState.h"
#include "../../support/TestSupport.h"
#include "PictureWriters.h"
#include "log/Log.h"

namespace vesta::test {
namespace {

constexpr int kSide = 32;
using Rgb = std::array<std::uint8_t, 3>;
// Quadrants: top left, top right, bottom left, bottom right.
constexpr Rgb kQuadrants[4] = {{220, 30, 30}, {30, 200, 40}, {20, 40, 210}, {240, 240, 240}};

int quadrantOf(int x, int y) {
    return (y >= kSide / 2 ? 2 : 0) + (x >= kSide / 2 ? 1 : 0);
}

std::vector<std::uint8_t> quadrantPicture() {
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const Rgb& colour = kQuadrants[quadrantOf(x, y)];
            pixels.insert(pixels.end(), colour.begin(), colour.end());
        }
    }
    return pixels;
}

class JpegReaderTest : public ::testing::Test {
protected:
    void SetUp() override { ResetEngineState(); }
    void TearDown() override { ResetEngineState(); }

    std::string write(const std::vector<std::uint8_t>& bytes) {
        const std::string path = (folder / "picture.jpg").string();
        WriteFile(path, bytes);
        return path;
    }
    std::string readError(const std::vector<std::uint8_t>& bytes) {
        const std::string path = write(bytes);
        return EngineErrorOf([&] {
            JpegReader reader;
            int width = 0;
            int height = 0;
            reader.ReadHeader(path, width, height);
            std::vector<std::uint8_t> pixels;
            reader.ReadImage(path, pixels, false);
        });
    }

    TempDir folder;
};

// Lossy, so the centre of each flat quadrant is compared within a few levels.
void expectQuadrants(const std::vector<std::uint8_t>& pixels, bool rgbOrder) {
    ASSERT_EQ(pixels.size(), std::size_t(kSide) * kSide * 3);
    for (int q = 0; q < 4; ++q) {
        const int x = (q & 1) ? kSide * 3 / 4 : kSide / 4;
        const int y = (q & 2) ? kSide * 3 / 4 : kSide / 4;
        const std::uint8_t* pixel = &pixels[(std::size_t(y) * kSide + x) * 3];
        for (int c = 0; c < 3; ++c) {
            const int expected = kQuadrants[q][std::size_t(rgbOrder ? c : 2 - c)];
            EXPECT_NEAR(pixel[c], expected, 8) << "quadrant " << q << " byte " << c;
        }
    }
}

TEST_F(JpegReaderTest, BaselineAndProgressiveGiveTheColoursInEitherOrder) {
    for (const bool progressive : {false, true}) {
        SCOPED_TRACE(progressive ? "progressive" : "baseline");
        const std::string path = write(EncodeJpeg(quadrantPicture(), kSide, kSide, 3, progressive));
        JpegReader reader;
        int width = 0;
        int height = 0;
        ASSERT_TRUE(reader.ReadHeader(path, width, height));
        EXPECT_EQ(width, kSide);
        EXPECT_EQ(height, kSide);
        for (const bool rgbOrder : {false, true}) {
            std::vector<std::uint8_t> pixels;
            reader.ReadImage(path, pixels, rgbOrder);
            expectQuadrants(pixels, rgbOrder);
        }
    }
}

TEST_F(JpegReaderTest, GreyScaleFilesAreRefused) {
    const std::vector<std::uint8_t> grey(std::size_t(kSide) * kSide, 128);
    const std::string path = (folder / "picture.jpg").string();
    EXPECT_EQ(readError(EncodeJpeg(grey, kSide, kSide, 1, false)),
              "File [" + path + "] is not valid JPEG file. (24Bits files only)");
}

TEST_F(JpegReaderTest, MissingAndDamagedFilesAreNamed) {
    const std::string missing = (folder / "missing.jpg").string();
    EXPECT_EQ(EngineErrorOf([&] {
                  int width = 0;
                  int height = 0;
                  JpegReader().ReadHeader(missing, width, height);
              }),
              "Cannot open file [" + missing + "]");
    const std::string path = (folder / "picture.jpg").string();
    const std::string invalid = "File [" + path + "] is not valid JPEG file.";
    // The reader's own words, then libjpeg's reason.
    EXPECT_EQ(readError({}), invalid + " Empty input file");
    EXPECT_EQ(readError(Bytes("not a jpeg picture at all")),
              invalid + " Not a JPEG file: starts with 0x6e 0x6f");
    const std::vector<std::uint8_t> good = EncodeJpeg(quadrantPicture(), kSide, kSide, 3, false);
    EXPECT_EQ(readError({good.begin(), good.begin() + 100}),
              invalid + " JPEG datastream contains no image");
}

TEST_F(JpegReaderTest, AFileCutInItsImageDataStillGivesAPicture) {
    const std::vector<std::uint8_t> good = EncodeJpeg(quadrantPicture(), kSide, kSide, 3, false);
    // Past the headers: the decoder pads what is missing and warns, as viewers do.
    EXPECT_EQ(readError({good.begin(), good.end() - 20}), "<none>");
}

}  // namespace
}  // namespace vesta::test
