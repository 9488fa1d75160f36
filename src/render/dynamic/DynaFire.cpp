#include "render/dynamic/DynaFire.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace vesta {
namespace {

constexpr int kSeedPasses = 10;
constexpr int kSparkRows = 7;

}  // namespace

DynaFire::DynaFire(Texture& texture) : PaletteDynaTexture(texture), m_next(indices().size(), 0) {}

void DynaFire::drawFrame(double) {
    seed();
    spread();
    indices() = m_next;
    present(m_next);
}

void DynaFire::seed() {
    const int w = Width();
    const int h = Height();
    if (w <= 0 || h <= 0) {
        return;
    }
    std::vector<std::uint8_t>& cur = indices();
    const auto at = [&](int x, int y) -> std::uint8_t& {
        return cur[static_cast<std::size_t>(y) * w + x];
    };
    for (int pass = 0; pass < kSeedPasses; ++pass) {
        for (int y = 0; y < std::min(2, h); ++y) {
            const int x = std::rand() % w;
            at(x, y) = static_cast<std::uint8_t>(std::rand() % 255);
        }
        // Sparks burn brightest half way across.
        for (int k = 0; k < kSparkRows && k < h; ++k) {
            const int d = std::rand() % w;
            const auto v =
                static_cast<std::uint8_t>((std::rand() % 256) * std::sin(std::numbers::pi * d / w));
            for (int x = d - 1; x <= d + 1; ++x) {
                if (x >= 0 && x < w) {
                    at(x, k) = v;
                }
            }
        }
    }
}

void DynaFire::spread() {
    const int w = Width();
    const int h = Height();
    const std::vector<std::uint8_t>& cur = indices();
    for (int y = 1; y + 1 < h; ++y) {
        const std::uint8_t* above = &cur[static_cast<std::size_t>(y - 1) * w];
        const std::uint8_t* row = above + w;
        const std::uint8_t* below = row + w;
        std::uint8_t* out = &m_next[static_cast<std::size_t>(y + 1) * w];
        for (int x = 1; x + 1 < w; ++x) {
            const int sum = above[x - 1] + above[x] + above[x + 1] + row[x - 1] + row[x + 1] +
                            below[x - 1] + below[x] + below[x + 1];
            out[x] = static_cast<std::uint8_t>(sum >> 3);
        }
    }
}

}  // namespace vesta
