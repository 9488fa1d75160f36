#include "render/dynamic/DynaPlasma.h"

#include <cmath>
#include <cstring>

#include "log/Log.h"

namespace vesta {
namespace {

struct Window {
    int x;
    int y;
};

// Eight byte lanes added at once, each modulo 256.
std::uint64_t addBytes(std::uint64_t a, std::uint64_t b) {
    constexpr std::uint64_t kLow = 0x7F7F7F7F7F7F7F7Full;
    return ((a & kLow) + (b & kLow)) ^ ((a ^ b) & ~kLow);
}

std::uint64_t load8(const std::uint8_t* bytes) {
    std::uint64_t value;
    std::memcpy(&value, bytes, 8);
    return value;
}

}  // namespace

DynaPlasma::DynaPlasma(Texture& texture) : PaletteDynaTexture(texture) {
    const int w = Width();
    const int h = Height();
    if (w <= 0 || h <= 0) {
        RaiseError("Invalid Texture for Plasma");
    }
    const std::size_t size = std::size_t(4) * w * h;
    m_distances.resize(size);
    m_waves.resize(size);
    for (int y = 0; y < 2 * h; ++y) {
        for (int x = 0; x < 2 * w; ++x) {
            const double distance = std::sqrt(double(h - y) * (h - y) + double(w - x) * (w - x));
            const std::size_t at = static_cast<std::size_t>(y) * 2 * w + x;
            m_distances[at] = static_cast<std::uint8_t>(static_cast<int>(10.0 * distance) % 256);
            m_waves[at] = static_cast<std::uint8_t>(80.0 * (std::sin(0.125 * distance) + 1.0));
        }
    }
}

void DynaPlasma::drawFrame(double now) {
    const int w = Width();
    const int h = Height();
    const int hw = w / 2;
    const int hh = h / 2;
    const auto window = [&](double cx, double cy) {
        return Window{static_cast<int>((std::cos(cx) + 1.0) * hw),
                      static_cast<int>((std::sin(cy) + 1.0) * hh)};
    };
    const Window a = window(now / 2, now / 2);
    const Window b1 = window(-now / 6, now / 6);
    const Window b2 = window(now / 3, -now / 3);
    const Window b3 = window(-now / 7, -now / 7);
    const std::size_t stride = static_cast<std::size_t>(2) * w;
    const auto rowOf = [stride](const std::vector<std::uint8_t>& table, const Window& origin,
                                int y) {
        return &table[(static_cast<std::size_t>(origin.y) + y) * stride + origin.x];
    };
    std::vector<std::uint8_t>& out = indices();
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* ra = rowOf(m_distances, a, y);
        const std::uint8_t* r1 = rowOf(m_waves, b1, y);
        const std::uint8_t* r2 = rowOf(m_waves, b2, y);
        const std::uint8_t* r3 = rowOf(m_waves, b3, y);
        std::uint8_t* row = &out[static_cast<std::size_t>(y) * w];
        int x = 0;
        for (; x + 8 <= w; x += 8) {
            const std::uint64_t sum = addBytes(addBytes(load8(ra + x), load8(r1 + x)),
                                               addBytes(load8(r2 + x), load8(r3 + x)));
            std::memcpy(row + x, &sum, 8);
        }
        // Widths that are not a multiple of eight finish byte by byte.
        for (; x < w; ++x) {
            row[x] = static_cast<std::uint8_t>(ra[x] + r1[x] + r2[x] + r3[x]);
        }
    }
    present(out);
}

}  // namespace vesta
