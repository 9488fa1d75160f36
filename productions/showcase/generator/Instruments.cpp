// Drums are one-shot sweeps and noise bursts; the tonal instruments are
// loops of whole waveform cycles, so a note plays as long as the song wants.
// A sample played at C-2 runs at about 8287 bytes a second.

#include "Instruments.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "Noise.h"

namespace vesta::showcase {
namespace {

constexpr float kRate = 8287.0f;
constexpr float kTurn = 2 * std::numbers::pi_v<float>;

template <class Wave>
std::vector<std::int8_t> render(int length, Wave wave) {
    std::vector<std::int8_t> data(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i) {
        const float value = std::clamp(wave(i), -1.0f, 1.0f);
        data[static_cast<std::size_t>(i)] = static_cast<std::int8_t>(std::lround(value * 120));
    }
    return data;
}

ModSample kick() {
    float phase = 0;
    return {"kick", render(2486, [&](int i) {
                const float t = i / kRate;
                phase += kTurn * (42 + 120 * std::exp(-t * 28)) / kRate;
                return std::sin(phase) * std::exp(-t * 9) * 1.1f;
            })};
}

ModSample snare() {
    Random random(71);
    return {"snare",
            render(1824,
                   [&](int i) {
                       const float t = i / kRate;
                       const float tone = std::sin(kTurn * 185 * t) * std::exp(-t * 40);
                       return (random.Range(-1, 1) * 0.8f + tone) * std::exp(-t * 16);
                   }),
            50};
}

ModSample hat() {
    Random random(72);
    float previous = 0;
    return {"hat",
            render(664,
                   [&](int i) {
                       const float noise = random.Range(-1, 1);
                       const float high = noise - previous;  // a first difference keeps the hiss
                       previous = noise;
                       return high * 0.6f * std::exp(-i / kRate * 45);
                   }),
            36};
}

// Odd and even harmonics falling off as 1/n: a saw rounded at the top.
float softSaw(float phase, int harmonics) {
    float sum = 0;
    for (int n = 1; n <= harmonics; ++n) {
        sum += std::sin(phase * n) / n;
    }
    return sum * 0.55f;
}

ModSample bass() {
    return {
        "bass",
        render(64,
               [](int i) { return softSaw(kTurn * i / 64, 6) + std::sin(kTurn * i / 64) * 0.4f; }),
        56, true};
}

// Two saws 64 and 65 cycles long over the loop beat slowly against each other.
ModSample pad() {
    return {"pad",
            render(4096,
                   [](int i) {
                       const float t = static_cast<float>(i) / 4096;
                       return (softSaw(kTurn * 64 * t, 4) + softSaw(kTurn * 65 * t, 4)) * 0.5f;
                   }),
            40, true};
}

ModSample lead() {
    return {"lead", render(32, [](int i) { return i < 10 ? 0.7f : -0.5f; }), 34, true};
}

}  // namespace

std::vector<ModSample> MakeInstruments() {
    return {kick(), snare(), hat(), bass(), pad(), lead()};
}

}  // namespace vesta::showcase
