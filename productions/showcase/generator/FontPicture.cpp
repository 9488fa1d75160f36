// The bitmap font picture named by the configuration: the 94 printable
// characters from '!' to '~', white on black, in a grid of 16 columns of
// 32 × 32 cells (512 × 256, six rows used). A reader finds each glyph's box
// by its two marker pixels: pure red (255, 0, 0) on the box's top-left pixel
// and pure blue (0, 0, 255) on its bottom-right pixel. Glyph pixels are grey,
// so they never look like markers.

#include <algorithm>
#include <cmath>

#include "Catalogue.h"
#include "Palette.h"

namespace vesta::showcase {
namespace {

constexpr int kWidth = 512, kHeight = 256, kCell = 32, kColumns = 16;
constexpr int kPixels = 22, kBaseline = 24;
constexpr char kFirst = '!', kLast = '~';

}  // namespace

void MakeFontPicture(AssetWriter& out, const Fonts& fonts) {
    Mask glyphs(kWidth, kHeight);
    struct Box {
        int x, y, width, height;
    };
    std::vector<Box> boxes;
    for (char c = kFirst; c <= kLast; ++c) {
        const int index = c - kFirst;
        const int cellX = index % kColumns * kCell, cellY = index / kColumns * kCell;
        const float advance =
            fonts.bold.DrawGlyph(glyphs, c, kPixels, static_cast<float>(cellX + 2),
                                 static_cast<float>(cellY + kBaseline));
        const int width = std::clamp(static_cast<int>(std::ceil(advance)) + 2, 3, kCell - 1);
        boxes.push_back({cellX + 1, cellY + 1, width, kCell - 2});
    }
    Canvas canvas(kWidth, kHeight);
    canvas.AddLight(glyphs, palette::kWhite);
    for (const Box& box : boxes) {
        canvas.At(box.x, box.y) = {1, 0, 0};
        canvas.At(box.x + box.width - 1, box.y + box.height - 1) = {0, 0, 1};
    }
    out.Picture("Font.png", canvas);
}

}  // namespace vesta::showcase
