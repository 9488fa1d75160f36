#pragma once
// How much of a processor the encoder thread needs, judged over a
// recording's first frames: the share of the time they spanned that it spent
// encoding rather than waiting for the next frame.

#include <cstdint>

namespace vesta {

class EncoderLoad {
public:
    // Frames judged, and the share below which the encoder counts as light.
    static constexpr int kFramesJudged = 50;
    static constexpr double kLightShare = 0.7;

    // One frame encoded from `start` to `end`, in seconds of any one clock.
    void Encoded(double start, double end);
    // True once, at the frame that completes the judgement, when the encoder
    // was busy less than kLightShare of the time from the first frame's start.
    bool TurnedOutLight();

private:
    std::int64_t m_frames = 0;
    double m_first = 0.0;
    double m_last = 0.0;
    double m_busy = 0.0;
    bool m_judged = false;
};

}  // namespace vesta
