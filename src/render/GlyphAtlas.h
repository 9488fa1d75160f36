#pragma once
// The glyphs of the system font rasterised once into one coverage image, and
// the quads that draw a text with them.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vesta {

struct GlyphAtlas {
    static constexpr char kFirst = ' ';
    static constexpr char kLast = '~';

    struct Glyph {
        int x = 0, y = 0, width = 0, height = 0;  // in the image
        int left = 0;                             // from the pen to the bitmap's left edge
        int top = 0;                              // from the baseline up to the bitmap's top
        int advance = 0;
    };

    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> coverage;  // width × height, rows top-down
    std::array<Glyph, kLast - kFirst + 1> glyphs{};
    int ascent = 0;      // baseline below the text's top
    int lineHeight = 0;  // from one baseline to the next

    const Glyph* Find(char c) const;
};

// The file fontconfig picks for `family` ("Arial" gives Liberation Sans on
// Debian), or empty.
std::string MatchFontFile(const std::string& family);

// Printable ASCII at `pixelHeight`; nullopt with `error` set when the font
// cannot be read.
std::optional<GlyphAtlas> BuildGlyphAtlas(const std::string& fontFile, int pixelHeight,
                                          std::string& error);

struct TextQuad {
    float x0, y0, x1, y1;  // pixels, y down
    float u0, v0, u1, v1;
};

// Quads for `text` with its top-left corner at (x, y); '\n' starts a new line.
std::vector<TextQuad> LayoutText(const GlyphAtlas& atlas, float x, float y, std::string_view text);

}  // namespace vesta
