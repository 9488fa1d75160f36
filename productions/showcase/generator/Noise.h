#pragma once
// Deterministic randomness: the same seed gives the same pictures on every
// machine, which the standard distributions do not promise.

#include <cstdint>

namespace vesta::showcase {

class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t Next();
    float Unit();  // [0, 1)
    float Range(float low, float high) { return low + (high - low) * Unit(); }

private:
    std::uint64_t m_state;
};

// Smooth value noise over a lattice that repeats every `period` cells, so
// textures made from it tile.
float ValueNoise(float x, float y, int period, std::uint32_t seed);

// `octaves` layers of value noise, each twice as fine and half as strong;
// the result lies in 0..1.
float FractalNoise(float x, float y, int period, int octaves, std::uint32_t seed);

}  // namespace vesta::showcase
