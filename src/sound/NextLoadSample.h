#pragma once
// The sample that plays while the next part loads: a worker thread loads and
// plays it looping, fades it in, waits for the release event, fades it out
// and frees it. Its volume steps are scheduled on the audio clock, so that a
// loopback recording hears them at the same audio time on every run.

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "platform/ManualResetEvent.h"

namespace vesta {

class SoundMixer;
class SoundSystem;

class NextLoadSample {
public:
    static constexpr int kFadeInSteps = 20;   // 5, 10, ..., 100
    static constexpr int kFadeOutSteps = 10;  // 90, 80, ..., 0

    // Starts the worker; `origin` is the audio time of the start.
    NextLoadSample(SoundSystem& system, SoundMixer& mixer, std::vector<std::uint8_t> bytes,
                   std::int64_t origin);
    ~NextLoadSample();
    NextLoadSample(const NextLoadSample&) = delete;
    NextLoadSample& operator=(const NextLoadSample&) = delete;

    // Lets the fade-out begin at audio time `at` (or when the fade-in ends).
    void Release(std::int64_t at);
    // Ends the wait at once (shutdown).
    void Abort() { m_event.Set(); }
    bool Released() const { return m_released; }
    bool Finished() const { return m_finished; }
    void Join();

private:
    void run();
    std::int64_t fadeIn(std::uint32_t channel, std::int64_t origin);

    SoundSystem& m_system;
    SoundMixer& m_mixer;
    std::vector<std::uint8_t> m_bytes;
    std::int64_t m_origin;
    std::atomic<std::int64_t> m_releasedAt{0};
    std::atomic<bool> m_released{false};
    std::atomic<bool> m_finished{false};
    ManualResetEvent m_event;
    std::thread m_thread;
};

}  // namespace vesta
