#pragma once
// The frame rate of a recording as an exact fraction, so that 29.97 is stored
// as NTSC's 30000/1001 rather than rounded to a whole number.

#include <cstdint>

namespace vesta {

struct FrameRate {
    int numerator = 0;
    int denominator = 1;

    double FramesPerSecond() const { return double(numerator) / double(denominator); }
    bool operator==(const FrameRate&) const = default;
};

// Whole numbers stay whole (25 -> 25/1); rates within a hair of N * 1000/1001
// take that form (29.97 -> 30000/1001, 23.976 -> 24000/1001); anything else is
// the nearest fraction whose terms fit 16 bits, the limit MPEG-4 sets.
// Returns {0, 1} for a rate that is not positive and finite.
FrameRate ChooseFrameRate(double framesPerSecond);

// floor(frame * sampleRate / rate): the audio frames that belong before video
// frame `frame`, so video frame n carries AudioFramesBefore(n + 1) -
// AudioFramesBefore(n) of them and the tracks never drift apart.
std::int64_t AudioFramesBefore(FrameRate rate, int sampleRate, std::int64_t frame);

}  // namespace vesta
