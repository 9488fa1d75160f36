#pragma once
// A small stereo synthesiser for the streamed music and the loading sound:
// notes and drum hits are added into a buffer, then an echo and a level pass
// finish it. Everything is computed, nothing random beyond the seeds given.

#include <cstddef>
#include <vector>

#include "Noise.h"

namespace vesta::showcase {

inline constexpr int kAudioRate = 44100;

struct Stereo {
    explicit Stereo(double seconds);
    std::size_t Frames() const { return left.size(); }

    std::vector<float> left, right;
};

// A pitched note: MIDI note number, start and held length in seconds.
struct Note {
    int midi = 69;
    double start = 0;
    double length = 1;
    float gain = 0.1f;
};

float NoteHz(int midi);

// Two slightly detuned soft saws, one on each side, swelling in and out.
void AddPad(Stereo& out, const Note& note);
// A plucked saw with a sine below it, in the middle.
void AddBass(Stereo& out, const Note& note);
// A sine with a quiet octave above, ringing down; `pan` -1 left .. 1 right.
void AddBell(Stereo& out, const Note& note, float pan);

void AddKick(Stereo& out, double start, float gain);
void AddSnare(Stereo& out, double start, float gain, Random& random);
void AddHat(Stereo& out, double start, float gain, float pan, Random& random);
// Filtered noise that fades in over `length` seconds (rising) or out (falling).
void AddNoiseSweep(Stereo& out, double start, double length, float gain, bool rising,
                   Random& random);

// Echoes bouncing between the sides, each `delay` seconds later and
// `feedback` times as loud as the one before.
void AddPingPong(Stereo& out, double delay, float feedback, float mix);
// Fades the last `seconds` out, then scales the loudest sample to `peak`.
void FinishLevels(Stereo& out, double fadeSeconds, float peak);

}  // namespace vesta::showcase
