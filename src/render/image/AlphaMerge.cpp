#include "render/image/AlphaMerge.h"

#include <algorithm>
#include <cstddef>

namespace vesta {
namespace {

// Source indices of a nearest-neighbour scale from `from` to `to` entries.
// The step is accumulated in float and truncated, which is what places the
// repeated rows and columns.
std::vector<int> nearestIndices(int from, int to) {
    std::vector<int> indices(static_cast<std::size_t>(to));
    const float step = static_cast<float>(from) / static_cast<float>(to);
    float position = 0.0f;
    for (int i = 0; i < to; ++i) {
        indices[static_cast<std::size_t>(i)] = std::min(static_cast<int>(position), from - 1);
        position += step;
    }
    return indices;
}

}  // namespace

void AlphaMerge(std::vector<std::uint8_t>& picture, int width, int height,
                const std::vector<std::uint8_t>& alpha, int alphaWidth, int alphaHeight,
                int alphaBytesPerPixel) {
    const std::size_t count = std::size_t(width) * height;
    std::vector<std::uint8_t> merged(count * 4, 0);
    const bool usable = alphaWidth > 0 && alphaHeight > 0 &&
                        alpha.size() >= std::size_t(alphaWidth) * alphaHeight * alphaBytesPerPixel;
    const bool sameSize = alphaWidth == width && alphaHeight == height;
    const std::vector<int> columns =
        usable && !sameSize ? nearestIndices(alphaWidth, width) : std::vector<int>{};
    const std::vector<int> rows =
        usable && !sameSize ? nearestIndices(alphaHeight, height) : std::vector<int>{};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t i = std::size_t(y) * width + x;
            std::size_t source = i;
            if (!sameSize && usable) {
                source = std::size_t(rows[std::size_t(y)]) * alphaWidth + columns[std::size_t(x)];
            }
            std::copy_n(picture.data() + i * 3, 3, merged.data() + i * 4);
            merged[i * 4 + 3] = usable ? alpha[source * alphaBytesPerPixel] : 0;
        }
    }
    picture = std::move(merged);
}

}  // namespace vesta
