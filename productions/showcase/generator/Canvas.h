#pragma once
// Pictures in floating point while they are made: colour and coverage planes
// from 0 to 1 that the writers quantise once, at the end.

#include <algorithm>
#include <cmath>
#include <vector>

namespace vesta::showcase {

struct Colour {
    float r = 0, g = 0, b = 0;
};

inline Colour operator+(Colour a, Colour b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
inline Colour operator*(Colour a, float s) {
    return {a.r * s, a.g * s, a.b * s};
}
inline Colour operator*(Colour a, Colour b) {
    return {a.r * b.r, a.g * b.g, a.b * b.b};
}
inline Colour Mix(Colour a, Colour b, float t) {
    return a * (1 - t) + b * t;
}

inline float Clamp01(float v) {
    return std::clamp(v, 0.0f, 1.0f);
}
inline float Smoothstep(float edge0, float edge1, float v) {
    const float t = Clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}

// Colours along `stops` (at least one), evenly spaced over 0..1.
Colour Ramp(const std::vector<Colour>& stops, float t);

// One grey plane: alpha maps, glyph coverage, glow shapes.
class Mask {
public:
    Mask(int width, int height, float value = 0);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    float& At(int x, int y) { return m_values[index(x, y)]; }
    float At(int x, int y) const { return m_values[index(x, y)]; }
    // Outside the plane reads as 0, so blurs and stamps need no border cases.
    float Sample(int x, int y) const;

private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * m_width + static_cast<std::size_t>(x);
    }

    int m_width, m_height;
    std::vector<float> m_values;
};

class Canvas {
public:
    Canvas(int width, int height, Colour fill = {});

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    Colour& At(int x, int y) { return m_pixels[index(x, y)]; }
    const Colour& At(int x, int y) const { return m_pixels[index(x, y)]; }

    // Adds `colour` weighted by `mask`, which must have the canvas's size.
    void AddLight(const Mask& mask, Colour colour);

private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * m_width + static_cast<std::size_t>(x);
    }

    int m_width, m_height;
    std::vector<Colour> m_pixels;
};

// Three box passes of `radius`: close enough to a Gaussian for glows.
void SoftBlur(Mask& mask, int radius);

// Pixel centre (x, y) as coordinates from -1 to 1 across the picture.
inline float Centred(int index, int size) {
    return (index + 0.5f) / size * 2 - 1;
}

}  // namespace vesta::showcase
