// The system font's glyph image and text layout.

#include "render/GlyphAtlas.h"

#include <gtest/gtest.h>

namespace vesta::test {
namespace {

const GlyphAtlas& systemAtlas() {
    static const GlyphAtlas atlas = [] {
        std::string error;
        const std::string file = MatchFontFile("Arial");
        auto built = BuildGlyphAtlas(file, 13, error);
        EXPECT_TRUE(built) << error;
        return built ? *built : GlyphAtlas{};
    }();
    return atlas;
}

TEST(GlyphAtlasTest, ArialResolvesToAnInstalledFont) {
    const std::string file = MatchFontFile("Arial");
    ASSERT_FALSE(file.empty());
    EXPECT_NE(file.find("LiberationSans"), std::string::npos) << file;
}

TEST(GlyphAtlasTest, EveryPrintableGlyphLandsInsideThePowerOfTwoImage) {
    const GlyphAtlas& atlas = systemAtlas();
    ASSERT_GT(atlas.width, 0);
    EXPECT_EQ(atlas.width & (atlas.width - 1), 0);
    int inked = 0;
    for (char c = GlyphAtlas::kFirst; c <= GlyphAtlas::kLast; ++c) {
        const GlyphAtlas::Glyph* glyph = atlas.Find(c);
        ASSERT_NE(glyph, nullptr);
        EXPECT_LE(glyph->x + glyph->width, atlas.width);
        EXPECT_LE(glyph->y + glyph->height, atlas.height);
        EXPECT_GT(glyph->advance, 0) << c;
        inked += glyph->width > 0 ? 1 : 0;
    }
    EXPECT_EQ(inked, GlyphAtlas::kLast - GlyphAtlas::kFirst);  // all but the space
    EXPECT_EQ(atlas.Find('\x7f'), nullptr);
}

TEST(GlyphAtlasTest, TextIsLaidOutFromItsTopLeftCorner) {
    const GlyphAtlas& atlas = systemAtlas();
    const auto quads = LayoutText(atlas, 10, 25, "Hi 1");
    ASSERT_EQ(quads.size(), 3u);  // the space draws nothing
    EXPECT_GE(quads[0].x0, 10.0f);
    EXPECT_GE(quads[0].y0, 25.0f);
    EXPECT_LT(quads[0].y0, 25.0f + atlas.ascent);
    EXPECT_LT(quads[0].x1, quads[1].x0 + 1.0f);
    EXPECT_GT(quads[2].x0, quads[1].x1);
    const auto twoLines = LayoutText(atlas, 0, 0, "H\nH");
    ASSERT_EQ(twoLines.size(), 2u);
    EXPECT_FLOAT_EQ(twoLines[1].y0 - twoLines[0].y0, static_cast<float>(atlas.lineHeight));
    EXPECT_FLOAT_EQ(twoLines[1].x0, twoLines[0].x0);
}

TEST(GlyphAtlasTest, AMissingFontFileIsReported) {
    std::string error;
    EXPECT_FALSE(BuildGlyphAtlas("/no/such/font.ttf", 13, error));
    EXPECT_NE(error.find("/no/such/font.ttf"), std::string::npos);
}

}  // namespace
}  // namespace vesta::test
