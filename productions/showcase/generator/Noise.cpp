#include "Noise.h"

#include <cmath>

namespace vesta::showcase {

// splitmix64: tiny, fast and well mixed.
std::uint64_t Random::Next() {
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

float Random::Unit() {
    return static_cast<float>(Next() >> 40) / static_cast<float>(1 << 24);
}

namespace {

float lattice(int x, int y, std::uint32_t seed) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8DA6B343u ^
                      static_cast<std::uint32_t>(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 13;
    h *= 0x5BD1E995u;
    h ^= h >> 15;
    return static_cast<float>(h & 0xFFFFFF) / static_cast<float>(0xFFFFFF);
}

int wrap(int v, int period) {
    return ((v % period) + period) % period;
}

float fade(float t) {
    return t * t * (3 - 2 * t);
}

}  // namespace

float ValueNoise(float x, float y, int period, std::uint32_t seed) {
    const float fx = std::floor(x), fy = std::floor(y);
    const int x0 = wrap(static_cast<int>(fx), period), y0 = wrap(static_cast<int>(fy), period);
    const int x1 = wrap(x0 + 1, period), y1 = wrap(y0 + 1, period);
    const float tx = fade(x - fx), ty = fade(y - fy);
    const float top = lattice(x0, y0, seed) + (lattice(x1, y0, seed) - lattice(x0, y0, seed)) * tx;
    const float bottom =
        lattice(x0, y1, seed) + (lattice(x1, y1, seed) - lattice(x0, y1, seed)) * tx;
    return top + (bottom - top) * ty;
}

float FractalNoise(float x, float y, int period, int octaves, std::uint32_t seed) {
    float sum = 0, weight = 0, amplitude = 1;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += ValueNoise(x, y, period, seed + static_cast<std::uint32_t>(octave)) * amplitude;
        weight += amplitude;
        amplitude *= 0.5f;
        x *= 2;
        y *= 2;
        period *= 2;
    }
    return sum / weight;
}

}  // namespace vesta::showcase
