// Oscillators read one cycle of a soft saw from a table; filters are single
// poles, enough to round the edges off without ringing.

#include "Synth.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace vesta::showcase {
namespace {

constexpr double kTurn = 2 * std::numbers::pi;
constexpr int kTableSize = 2048;

// Eight harmonics falling off as 1/n: bright enough to filter, no aliasing.
const std::array<float, kTableSize + 1>& softSawTable() {
    static const auto table = [] {
        std::array<float, kTableSize + 1> cycle{};
        for (int i = 0; i <= kTableSize; ++i) {
            double sum = 0;
            for (int n = 1; n <= 8; ++n) {
                sum += std::sin(kTurn * n * i / kTableSize) / n;
            }
            cycle[static_cast<std::size_t>(i)] = static_cast<float>(sum * 0.55);
        }
        return cycle;
    }();
    return table;
}

// `phase` in cycles, 0..1.
float softSaw(double phase) {
    const double at = phase * kTableSize;
    const auto index = static_cast<std::size_t>(at);
    const float fraction = static_cast<float>(at - static_cast<double>(index));
    const auto& table = softSawTable();
    return table[index] + (table[index + 1] - table[index]) * fraction;
}

// Smoothing factor of a one-pole low-pass at `hz`.
float lowPass(double hz) {
    return static_cast<float>(1.0 - std::exp(-kTurn * hz / kAudioRate));
}

std::size_t frameAt(double seconds) {
    return static_cast<std::size_t>(std::max(0.0, std::round(seconds * kAudioRate)));
}

// Calls `voice(i, t)` for each frame from `start` on, for `seconds`, inside the buffer.
template <class Voice>
void eachFrame(const Stereo& out, double start, double seconds, Voice voice) {
    const std::size_t first = frameAt(start);
    const std::size_t last = std::min(out.Frames(), frameAt(start + seconds));
    for (std::size_t i = first; i < last; ++i) {
        voice(i, static_cast<double>(i - first) / kAudioRate);
    }
}

// Equal-power gains of the two sides.
std::array<float, 2> panGains(float pan) {
    const double angle = (pan + 1) * std::numbers::pi / 4;
    return {static_cast<float>(std::cos(angle)), static_cast<float>(std::sin(angle))};
}

}  // namespace

Stereo::Stereo(double seconds) : left(frameAt(seconds)), right(frameAt(seconds)) {}

float NoteHz(int midi) {
    return static_cast<float>(440.0 * std::pow(2.0, (midi - 69) / 12.0));
}

void AddPad(Stereo& out, const Note& note) {
    constexpr double kAttack = 0.6, kRelease = 1.2;
    for (int side = 0; side < 2; ++side) {
        std::vector<float>& channel = side == 0 ? out.left : out.right;
        const double step = NoteHz(note.midi) * (side == 0 ? 0.997 : 1.003) / kAudioRate;
        double phase = side * 0.37;
        float smooth = 0;
        const float k = lowPass(900);
        eachFrame(out, note.start, note.length + kRelease, [&](std::size_t i, double t) {
            const double rise = std::min(1.0, t / kAttack);
            const double fall = std::clamp((note.length + kRelease - t) / kRelease, 0.0, 1.0);
            const double envelope = (0.5 - 0.5 * std::cos(std::numbers::pi * rise)) * fall * fall;
            phase = std::fmod(phase + step, 1.0);
            smooth += (softSaw(phase) - smooth) * k;
            channel[i] += smooth * static_cast<float>(envelope) * note.gain;
        });
    }
}

void AddBass(Stereo& out, const Note& note) {
    const double hz = NoteHz(note.midi);
    double phase = 0;
    float smooth = 0;
    eachFrame(out, note.start, note.length + 0.05, [&](std::size_t i, double t) {
        const double attack = std::min(1.0, t / 0.005);
        const double release = std::clamp((note.length + 0.05 - t) / 0.05, 0.0, 1.0);
        const double envelope = attack * release * (0.55 + 0.45 * std::exp(-t * 6));
        phase = std::fmod(phase + hz / kAudioRate, 1.0);
        // The filter closes as the note rings: a pluck.
        smooth += (softSaw(phase) - smooth) * lowPass(200 + 1400 * std::exp(-t * 14));
        const double sub = std::sin(kTurn * phase) * 0.6;
        const auto value = static_cast<float>((smooth + sub) * envelope) * note.gain;
        out.left[i] += value;
        out.right[i] += value;
    });
}

void AddBell(Stereo& out, const Note& note, float pan) {
    const double hz = NoteHz(note.midi);
    const auto gains = panGains(pan);
    eachFrame(out, note.start, note.length, [&](std::size_t i, double t) {
        const double attack = std::min(1.0, t / 0.004);
        const double tone =
            std::sin(kTurn * hz * t) + 0.3 * std::sin(kTurn * 2 * hz * t) * std::exp(-t * 4);
        const auto value = static_cast<float>(tone * attack * std::exp(-t * 3.5)) * note.gain;
        out.left[i] += value * gains[0];
        out.right[i] += value * gains[1];
    });
}

void AddKick(Stereo& out, double start, float gain) {
    double phase = 0;
    eachFrame(out, start, 0.45, [&](std::size_t i, double t) {
        phase += kTurn * (45 + 110 * std::exp(-t * 30)) / kAudioRate;
        const auto value =
            static_cast<float>(std::sin(phase) * std::exp(-t * 7) * std::min(1.0, t / 0.002));
        out.left[i] += value * gain;
        out.right[i] += value * gain;
    });
}

void AddSnare(Stereo& out, double start, float gain, Random& random) {
    float low = 0, lower = 0;
    eachFrame(out, start, 0.3, [&](std::size_t i, double t) {
        // The difference of two low-passes keeps a band of the noise.
        const float noise = random.Range(-1, 1);
        low += (noise - low) * lowPass(5000);
        lower += (noise - lower) * lowPass(700);
        const double tone = std::sin(kTurn * 185 * t) * std::exp(-t * 35);
        const auto value =
            static_cast<float>(((low - lower) * 1.6 + tone * 0.5) * std::exp(-t * 17)) * gain;
        out.left[i] += value * 0.9f;
        out.right[i] += value;
    });
}

void AddHat(Stereo& out, double start, float gain, float pan, Random& random) {
    const auto gains = panGains(pan);
    float previous = 0;
    eachFrame(out, start, 0.09, [&](std::size_t i, double t) {
        const float noise = random.Range(-1, 1);
        const float high = noise - previous;  // a first difference keeps only the hiss
        previous = noise;
        const auto value = high * static_cast<float>(std::exp(-t * 55)) * gain;
        out.left[i] += value * gains[0];
        out.right[i] += value * gains[1];
    });
}

void AddNoiseSweep(Stereo& out, double start, double length, float gain, bool rising,
                   Random& random) {
    float left = 0, right = 0;
    eachFrame(out, start, length, [&](std::size_t i, double t) {
        const double x = t / length;
        const double envelope = rising ? x * x : std::exp(-x * 5) * std::min(1.0, t / 0.003);
        const float k = lowPass(rising ? 600 + 5000 * x : 6000 - 4500 * x);
        left += (random.Range(-1, 1) - left) * k;
        right += (random.Range(-1, 1) - right) * k;
        out.left[i] += left * static_cast<float>(envelope) * gain;
        out.right[i] += right * static_cast<float>(envelope) * gain;
    });
}

void AddPingPong(Stereo& out, double delay, float feedback, float mix) {
    const std::size_t length = frameAt(delay);
    std::vector<float> toLeft(length), toRight(length);
    for (std::size_t i = 0; i < out.Frames(); ++i) {
        const std::size_t slot = i % length;
        const float heardLeft = toLeft[slot], heardRight = toRight[slot];
        toLeft[slot] = heardRight * feedback;
        toRight[slot] = (out.left[i] + out.right[i]) * 0.5f + heardLeft * feedback;
        out.left[i] += heardLeft * mix;
        out.right[i] += heardRight * mix;
    }
}

void FinishLevels(Stereo& out, double fadeSeconds, float peak) {
    const std::size_t fade = std::min(out.Frames(), frameAt(fadeSeconds));
    const std::size_t from = out.Frames() - fade;
    float loudest = 0;
    for (std::size_t i = 0; i < out.Frames(); ++i) {
        if (i >= from) {
            const double left = static_cast<double>(out.Frames() - i) / static_cast<double>(fade);
            const auto gain = static_cast<float>(left * left);
            out.left[i] *= gain;
            out.right[i] *= gain;
        }
        loudest = std::max({loudest, std::abs(out.left[i]), std::abs(out.right[i])});
    }
    const float scale = loudest > 0 ? peak / loudest : 1.0f;
    for (std::size_t i = 0; i < out.Frames(); ++i) {
        out.left[i] *= scale;
        out.right[i] *= scale;
    }
}

}  // namespace vesta::showcase
