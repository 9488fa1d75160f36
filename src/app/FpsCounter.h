#pragma once
// Frame-rate statistics: one sample per interval, their average, and in
// time-graph mode a table of samples for "FpsTimeGraph.txt".

#include <cstdint>
#include <span>
#include <vector>

namespace vesta {

class FpsCounter {
public:
    static constexpr std::size_t kTimeGraphSamples = 2000;

    // Samples every second, or every half second into the table in time-graph mode.
    // `now` is the time of the first frame's clock, in seconds.
    void Reset(bool timeGraph, float now);

    // Counts one frame at `now` seconds.
    void Tick(float now);

    float Rate() const { return m_lastRate; }
    // Mean of every sample so far; 0 before the first.
    float Average() const;
    // Index of the latest sample; -1 before the first.
    int SampleCounter() const { return m_sampleCounter; }
    float Interval() const { return m_interval; }
    std::span<const float> Samples() const { return m_samples; }

private:
    std::uint32_t m_frames = 0;
    float m_lastRate = 0.0f;
    float m_lastSampleTime = 0.0f;
    float m_interval = 1.0f;
    int m_sampleCounter = -1;
    double m_sum = 0.0;
    std::vector<float> m_samples;
};

// Stars drawn for a sound level: two thirds of it, at most 511.
int SoundBarLength(int level);

}  // namespace vesta
