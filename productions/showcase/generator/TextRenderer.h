#pragma once
// Text set in a system font through fontconfig and FreeType, as coverage.

#include <string>
#include <string_view>

#include "Canvas.h"

struct FT_LibraryRec_;
struct FT_FaceRec_;

namespace vesta::showcase {

class TextRenderer {
public:
    // `pattern` is a fontconfig pattern such as "Liberation Sans:bold".
    explicit TextRenderer(const std::string& pattern);
    ~TextRenderer();
    TextRenderer(const TextRenderer&) = delete;
    TextRenderer& operator=(const TextRenderer&) = delete;

    // Adds the coverage of `text` at `pixelHeight` to `mask`, centred on
    // (centreX, centreY); `tracking` is extra space between letters in pixels.
    void Draw(Mask& mask, std::string_view text, int pixelHeight, float centreX, float centreY,
              float tracking = 0) const;
    // Width of `text` as Draw would set it.
    float Measure(std::string_view text, int pixelHeight, float tracking = 0) const;

    // One glyph with its pen at (penX, baselineY); returns its advance.
    float DrawGlyph(Mask& mask, char c, int pixelHeight, float penX, float baselineY) const;
    // Distance from the baseline up to the top of capitals.
    float Ascent(int pixelHeight) const;

private:
    void setSize(int pixelHeight) const;

    FT_LibraryRec_* m_library = nullptr;
    FT_FaceRec_* m_face = nullptr;
};

}  // namespace vesta::showcase
