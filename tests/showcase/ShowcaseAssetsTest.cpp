// The generator's pictures: made without error, the same on every run, and
// in the shapes the player takes without resampling.

#include <gtest/gtest.h>

#include "EngineState.h"
#include "ShowcaseProduction.h"
#include "render/image/JpegReader.h"
#include "render/image/PngReader.h"

namespace vesta::test {
namespace {

bool powerOfTwo(int side) {
    return side > 0 && (side & (side - 1)) == 0;
}

class ShowcaseAssetsTest : public ::testing::Test {
protected:
    void SetUp() override { ResetEngineState(); }
    void TearDown() override { ResetEngineState(); }

    const ShowcaseProduction& m_showcase = Showcase();
    ScopedChdir m_chdir{m_showcase.Folder()};
};

TEST_F(ShowcaseAssetsTest, GeneratorSucceedsAndRepeatsItselfByteForByte) {
    ASSERT_EQ(m_showcase.Generator().exitCode, 0) << m_showcase.Generator().err;
    TempDir again;
    ASSERT_EQ(RunProcess(VESTA_SHOWCASE_GEN_PATH, {again.Path().string()}, again.Path()).exitCode,
              0);
    int compared = 0;
    for (const auto& entry : std::filesystem::directory_iterator(again.Path())) {
        const std::string name = entry.path().filename().string();
        EXPECT_EQ(ReadFile(entry.path()), ReadFile(m_showcase.Folder() / name)) << name;
        ++compared;
    }
    EXPECT_GT(compared, 50);
}

TEST_F(ShowcaseAssetsTest, EveryPictureDecodesWithPowerOfTwoSides) {
    int pictures = 0;
    for (const auto& entry : std::filesystem::directory_iterator(m_showcase.Folder())) {
        const std::string name = entry.path().filename().string();
        const std::string extension = entry.path().extension().string();
        int width = 0, height = 0;
        std::vector<std::uint8_t> pixels;
        if (extension == ".png") {
            PngReader reader;
            ASSERT_TRUE(reader.ReadHeader(name, width, height)) << name;
            reader.ReadImage(name, pixels);
        } else if (extension == ".jpg") {
            JpegReader reader;
            ASSERT_TRUE(reader.ReadHeader(name, width, height)) << name;
            reader.ReadImage(name, pixels, false);
        } else {
            continue;
        }
        ++pictures;
        // The startup dialog's skin is drawn as it is, never as a texture.
        const bool texture = name.rfind("skin_", 0) != 0;
        EXPECT_TRUE(!texture || (powerOfTwo(width) && powerOfTwo(height)))
            << name << " " << width << "x" << height;
        EXPECT_EQ(pixels.size(), std::size_t(width) * height * 3) << name;
    }
    EXPECT_GT(pictures, 50);
}

TEST_F(ShowcaseAssetsTest, AlphaMapsMatchTheirPictures) {
    int maps = 0;
    for (const auto& entry : std::filesystem::directory_iterator(m_showcase.Folder())) {
        const std::string name = entry.path().filename().string();
        const std::size_t suffix = name.rfind("_alpha.png");
        if (suffix == std::string::npos || name == "vignette_alpha.png") {
            continue;
        }
        const std::string picture = name.substr(0, suffix) + ".png";
        PngReader reader;
        int w = 0, h = 0, aw = 0, ah = 0;
        ASSERT_TRUE(reader.ReadHeader(picture, w, h)) << picture;
        ASSERT_TRUE(reader.ReadHeader(name, aw, ah));
        EXPECT_EQ(w, aw) << name;
        EXPECT_EQ(h, ah) << name;
        ++maps;
    }
    EXPECT_GE(maps, 10);
}

// 512 × 256, a 16-column grid of 32-pixel cells from '!' to '~'; each box
// marked by a red top-left and a blue bottom-right pixel in its own cell.
TEST_F(ShowcaseAssetsTest, FontPictureHoldsNinetyFourMarkedGlyphBoxes) {
    PngReader reader(false);
    int width = 0, height = 0;
    ASSERT_TRUE(reader.ReadHeader("Font.png", width, height));
    EXPECT_EQ(width, 512);
    EXPECT_EQ(height, 256);
    std::vector<std::uint8_t> rgb;
    reader.ReadImage("Font.png", rgb);
    auto is = [&](int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        const std::uint8_t* p = &rgb[(std::size_t(y) * width + x) * 3];
        return p[0] == r && p[1] == g && p[2] == b;
    };
    int boxes = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (!is(x, y, 255, 0, 0)) {
                continue;
            }
            ++boxes;
            const int cellRight = (x / 32 + 1) * 32, cellBottom = (y / 32 + 1) * 32;
            int blue = 0;
            for (int by = y + 1; by < cellBottom; ++by) {
                for (int bx = x + 1; bx < cellRight; ++bx) {
                    blue += is(bx, by, 0, 0, 255);
                }
            }
            EXPECT_EQ(blue, 1) << "box at " << x << "," << y;
        }
    }
    EXPECT_EQ(boxes, 94);
}

}  // namespace
}  // namespace vesta::test
