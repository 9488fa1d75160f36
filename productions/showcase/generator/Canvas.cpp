#include "Canvas.h"

namespace vesta::showcase {

Colour Ramp(const std::vector<Colour>& stops, float t) {
    if (stops.size() == 1) {
        return stops.front();
    }
    const float position = Clamp01(t) * static_cast<float>(stops.size() - 1);
    const std::size_t low = std::min(static_cast<std::size_t>(position), stops.size() - 2);
    return Mix(stops[low], stops[low + 1], position - static_cast<float>(low));
}

Mask::Mask(int width, int height, float value)
    : m_width(width), m_height(height),
      m_values(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), value) {}

float Mask::Sample(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) {
        return 0;
    }
    return At(x, y);
}

Canvas::Canvas(int width, int height, Colour fill)
    : m_width(width), m_height(height),
      m_pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

void Canvas::AddLight(const Mask& mask, Colour colour) {
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            At(x, y) = At(x, y) + colour * mask.At(x, y);
        }
    }
}

namespace {

// One running-sum pass along rows (horizontal) or columns.
void boxPass(Mask& mask, int radius, bool horizontal) {
    const int length = horizontal ? mask.Width() : mask.Height();
    const int lines = horizontal ? mask.Height() : mask.Width();
    std::vector<float> line(static_cast<std::size_t>(length));
    const float scale = 1.0f / static_cast<float>(2 * radius + 1);
    for (int l = 0; l < lines; ++l) {
        auto read = [&](int i) { return horizontal ? mask.Sample(i, l) : mask.Sample(l, i); };
        float sum = 0;
        for (int i = -radius; i <= radius; ++i) {
            sum += read(i);
        }
        for (int i = 0; i < length; ++i) {
            line[static_cast<std::size_t>(i)] = sum * scale;
            sum += read(i + radius + 1) - read(i - radius);
        }
        for (int i = 0; i < length; ++i) {
            (horizontal ? mask.At(i, l) : mask.At(l, i)) = line[static_cast<std::size_t>(i)];
        }
    }
}

}  // namespace

void SoftBlur(Mask& mask, int radius) {
    for (int pass = 0; pass < 3; ++pass) {
        boxPass(mask, radius, true);
        boxPass(mask, radius, false);
    }
}

}  // namespace vesta::showcase
