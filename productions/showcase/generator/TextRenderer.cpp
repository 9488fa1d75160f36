#include "TextRenderer.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include <stdexcept>
#include FT_FREETYPE_H

namespace vesta::showcase {
namespace {

// A configuration of its own, destroyed afterwards, so that fontconfig keeps
// nothing allocated once the match is made.
std::string matchFontFile(const std::string& pattern) {
    FcConfig* config = FcInitLoadConfigAndFonts();
    FcPattern* query = FcNameParse(reinterpret_cast<const FcChar8*>(pattern.c_str()));
    std::string file;
    if (config && query) {
        FcConfigSubstitute(config, query, FcMatchPattern);
        FcDefaultSubstitute(query);
        FcResult result = FcResultNoMatch;
        if (FcPattern* match = FcFontMatch(config, query, &result)) {
            FcChar8* path = nullptr;
            if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
                file = reinterpret_cast<const char*>(path);
            }
            FcPatternDestroy(match);
        }
    }
    if (query) {
        FcPatternDestroy(query);
    }
    if (config) {
        FcConfigDestroy(config);
    }
    return file;
}

}  // namespace

TextRenderer::TextRenderer(const std::string& pattern) {
    const std::string file = matchFontFile(pattern);
    if (file.empty()) {
        throw std::runtime_error("fontconfig finds no font for " + pattern);
    }
    if (FT_Init_FreeType(&m_library) != 0) {
        throw std::runtime_error("FreeType does not start");
    }
    if (FT_New_Face(m_library, file.c_str(), 0, &m_face) != 0) {
        FT_Done_FreeType(m_library);
        throw std::runtime_error("FreeType cannot read " + file);
    }
}

TextRenderer::~TextRenderer() {
    FT_Done_Face(m_face);
    FT_Done_FreeType(m_library);
}

void TextRenderer::setSize(int pixelHeight) const {
    FT_Set_Pixel_Sizes(m_face, 0, static_cast<FT_UInt>(pixelHeight));
}

float TextRenderer::Ascent(int pixelHeight) const {
    setSize(pixelHeight);
    // The cap height of Latin faces is close to 0.72 of the em.
    return static_cast<float>(pixelHeight) * 0.72f;
}

float TextRenderer::DrawGlyph(Mask& mask, char c, int pixelHeight, float penX,
                              float baselineY) const {
    setSize(pixelHeight);
    if (FT_Load_Char(m_face, static_cast<unsigned char>(c), FT_LOAD_RENDER) != 0) {
        return 0;
    }
    const FT_GlyphSlot slot = m_face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    const int left = static_cast<int>(penX + 0.5f) + slot->bitmap_left;
    const int top = static_cast<int>(baselineY + 0.5f) - slot->bitmap_top;
    for (unsigned row = 0; row < bitmap.rows; ++row) {
        for (unsigned column = 0; column < bitmap.width; ++column) {
            const int x = left + static_cast<int>(column), y = top + static_cast<int>(row);
            if (x < 0 || y < 0 || x >= mask.Width() || y >= mask.Height()) {
                continue;
            }
            const float value =
                bitmap.buffer[row * static_cast<unsigned>(bitmap.pitch) + column] / 255.0f;
            mask.At(x, y) = Clamp01(mask.At(x, y) + value);
        }
    }
    return static_cast<float>(slot->advance.x) / 64.0f;
}

float TextRenderer::Measure(std::string_view text, int pixelHeight, float tracking) const {
    setSize(pixelHeight);
    float width = 0;
    for (char c : text) {
        if (FT_Load_Char(m_face, static_cast<unsigned char>(c), FT_LOAD_DEFAULT) == 0) {
            width += static_cast<float>(m_face->glyph->advance.x) / 64.0f + tracking;
        }
    }
    return text.empty() ? 0 : width - tracking;
}

void TextRenderer::Draw(Mask& mask, std::string_view text, int pixelHeight, float centreX,
                        float centreY, float tracking) const {
    float pen = centreX - Measure(text, pixelHeight, tracking) / 2;
    const float baseline = centreY + Ascent(pixelHeight) / 2;
    for (char c : text) {
        pen += DrawGlyph(mask, c, pixelHeight, pen, baseline) + tracking;
    }
}

}  // namespace vesta::showcase
