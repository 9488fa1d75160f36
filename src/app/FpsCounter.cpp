#include "app/FpsCounter.h"

#include <algorithm>

namespace vesta {

void FpsCounter::Reset(bool timeGraph, float now) {
    *this = FpsCounter{};
    m_interval = timeGraph ? 0.5f : 1.0f;
    m_lastSampleTime = now;
    if (timeGraph) {
        m_samples.assign(kTimeGraphSamples, 0.0f);
    }
}

void FpsCounter::Tick(float now) {
    ++m_frames;
    const float elapsed = now - m_lastSampleTime;
    if (elapsed <= m_interval) {
        return;
    }
    m_lastRate = static_cast<float>(m_frames) / elapsed;
    m_frames = 0;
    m_lastSampleTime = now;
    ++m_sampleCounter;
    m_sum += m_lastRate;
    // Samples past the end of the table are counted but not kept.
    if (static_cast<std::size_t>(m_sampleCounter) < m_samples.size()) {
        m_samples[static_cast<std::size_t>(m_sampleCounter)] = m_lastRate;
    }
}

float FpsCounter::Average() const {
    return m_sampleCounter < 0 ? 0.0f : static_cast<float>(m_sum / (m_sampleCounter + 1));
}

int SoundBarLength(int level) {
    return std::clamp(level * 2 / 3, 0, 511);
}

}  // namespace vesta
