#include "sound/NextLoadSample.h"

#include <algorithm>

#include "sound/SoundMixer.h"
#include "sound/SoundSystem.h"

namespace vesta {

NextLoadSample::NextLoadSample(SoundSystem& system, SoundMixer& mixer,
                               std::vector<std::uint8_t> bytes, std::int64_t origin)
    : m_system(system), m_mixer(mixer), m_bytes(std::move(bytes)), m_origin(origin),
      m_thread([this] { run(); }) {}

NextLoadSample::~NextLoadSample() {
    Abort();
    Join();
}

void NextLoadSample::Join() {
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void NextLoadSample::Release(std::int64_t at) {
    m_releasedAt = at;
    m_released = true;
    m_event.Set();
}

std::int64_t NextLoadSample::fadeIn(std::uint32_t channel, std::int64_t origin) {
    const std::int64_t step =
        std::int64_t(m_mixer.Rate()) * SoundSystem::kFadeStepMilliseconds / 1000;
    for (int i = 1; i < kFadeInSteps; ++i) {
        m_mixer.ScheduleVolume(channel, origin + i * step, 5 * (i + 1));
    }
    return origin + kFadeInSteps * step;
}

void NextLoadSample::run() {
    const SoundHandle sample = m_system.SampleLoad(m_bytes, 1, kSoundLoop);
    SoundHandle channel = 0;
    if (sample) {
        SampleInfo info;
        m_system.SampleGetInfo(sample, info);
        info.volume = 5;  // the first step of the fade-in, from the first frame heard
        m_system.SampleSetInfo(sample, info);
        channel = m_system.SamplePlay(sample);
    }
    // In a recording the start is the audio time of the request, which the
    // renderer has not passed yet; live, it is now.
    const std::int64_t origin =
        m_mixer.Output() == SoundOutput::Loopback ? m_origin : m_mixer.Clock();
    const std::int64_t fadeInEnd = channel ? fadeIn(channel, origin) : origin;
    m_mixer.EndWorkerStep();

    m_event.Wait();
    if (channel && !m_mixer.Stopping()) {
        const std::int64_t step =
            std::int64_t(m_mixer.Rate()) * SoundSystem::kFadeStepMilliseconds / 1000;
        const std::int64_t start = std::max<std::int64_t>(m_releasedAt, fadeInEnd);
        for (int i = 0; i < kFadeOutSteps; ++i) {
            m_mixer.ScheduleVolume(channel, start + i * step, 90 - 10 * i);
        }
        m_mixer.EndWorkerStep();
        m_mixer.WaitForClock(start + kFadeOutSteps * step);
    } else if (m_released) {
        m_mixer.EndWorkerStep();
    }
    if (channel) {
        m_system.ChannelStop(channel);
    }
    if (sample) {
        m_system.SampleFree(sample);
    }
    m_finished = true;
}

}  // namespace vesta
