#include "render/GlyphAtlas.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <memory>

namespace vesta {
namespace {

constexpr int kPadding = 1;  // keeps filtered samples from reaching a neighbour

struct FreeTypeFace {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~FreeTypeFace() {
        if (face) {
            FT_Done_Face(face);
        }
        if (library) {
            FT_Done_FreeType(library);
        }
    }
};

// Rows of glyphs packed left to right into a square power-of-two image.
bool packGlyphs(FT_Face face, int size, GlyphAtlas& atlas) {
    atlas.width = size;
    atlas.height = size;
    atlas.coverage.assign(static_cast<std::size_t>(size) * size, 0);
    int penX = kPadding, penY = kPadding, rowHeight = 0;
    for (char c = GlyphAtlas::kFirst; c <= GlyphAtlas::kLast; ++c) {
        if (FT_Load_Char(face, static_cast<FT_ULong>(c), FT_LOAD_RENDER) != 0) {
            continue;
        }
        const FT_GlyphSlot slot = face->glyph;
        const int w = static_cast<int>(slot->bitmap.width);
        const int h = static_cast<int>(slot->bitmap.rows);
        if (penX + w + kPadding > size) {
            penX = kPadding;
            penY += rowHeight + kPadding;
            rowHeight = 0;
        }
        if (penY + h + kPadding > size) {
            return false;
        }
        for (int row = 0; row < h; ++row) {
            const std::uint8_t* source = slot->bitmap.buffer + row * slot->bitmap.pitch;
            std::copy(source, source + w,
                      atlas.coverage.begin() + static_cast<std::ptrdiff_t>(penY + row) * size +
                          penX);
        }
        GlyphAtlas::Glyph& glyph = atlas.glyphs[static_cast<std::size_t>(c - GlyphAtlas::kFirst)];
        glyph = {penX,
                 penY,
                 w,
                 h,
                 slot->bitmap_left,
                 slot->bitmap_top,
                 static_cast<int>(slot->advance.x >> 6)};
        penX += w + kPadding;
        rowHeight = std::max(rowHeight, h);
    }
    return true;
}

}  // namespace

const GlyphAtlas::Glyph* GlyphAtlas::Find(char c) const {
    if (c < kFirst || c > kLast) {
        return nullptr;
    }
    return &glyphs[static_cast<std::size_t>(c - kFirst)];
}

std::string MatchFontFile(const std::string& family) {
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config) {
        return {};
    }
    std::string file;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family.c_str()));
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    if (FcPattern* match = FcFontMatch(config, pattern, &result)) {
        FcChar8* path = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
            file = reinterpret_cast<const char*>(path);
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    FcConfigDestroy(config);
    return file;
}

std::optional<GlyphAtlas> BuildGlyphAtlas(const std::string& fontFile, int pixelHeight,
                                          std::string& error) {
    FreeTypeFace font;
    if (FT_Init_FreeType(&font.library) != 0) {
        error = "FreeType cannot start";
        return std::nullopt;
    }
    if (fontFile.empty()) {
        error = "fontconfig finds no font file on this machine";
        return std::nullopt;
    }
    if (FT_New_Face(font.library, fontFile.c_str(), 0, &font.face) != 0) {
        error = "cannot read the font [" + fontFile + "]";
        return std::nullopt;
    }
    FT_Set_Pixel_Sizes(font.face, 0, static_cast<FT_UInt>(pixelHeight));
    GlyphAtlas atlas;
    atlas.ascent = static_cast<int>(font.face->size->metrics.ascender >> 6);
    atlas.lineHeight = static_cast<int>(font.face->size->metrics.height >> 6);
    for (int size = 64; size <= 4096; size *= 2) {
        if (packGlyphs(font.face, size, atlas)) {
            return atlas;
        }
    }
    error = "the glyphs of [" + fontFile + "] do not fit";
    return std::nullopt;
}

std::vector<TextQuad> LayoutText(const GlyphAtlas& atlas, float x, float y, std::string_view text) {
    std::vector<TextQuad> quads;
    quads.reserve(text.size());
    float penX = x;
    float baseline = y + static_cast<float>(atlas.ascent);
    const float invWidth = 1.0f / static_cast<float>(atlas.width);
    const float invHeight = 1.0f / static_cast<float>(atlas.height);
    for (const char c : text) {
        if (c == '\n') {
            penX = x;
            baseline += static_cast<float>(atlas.lineHeight);
            continue;
        }
        const GlyphAtlas::Glyph* glyph = atlas.Find(c);
        if (!glyph) {
            continue;
        }
        if (glyph->width > 0 && glyph->height > 0) {
            const float left = penX + static_cast<float>(glyph->left);
            const float top = baseline - static_cast<float>(glyph->top);
            quads.push_back({left, top, left + static_cast<float>(glyph->width),
                             top + static_cast<float>(glyph->height),
                             static_cast<float>(glyph->x) * invWidth,
                             static_cast<float>(glyph->y) * invHeight,
                             static_cast<float>(glyph->x + glyph->width) * invWidth,
                             static_cast<float>(glyph->y + glyph->height) * invHeight});
        }
        penX += static_cast<float>(glyph->advance);
    }
    return quads;
}

}  // namespace vesta
