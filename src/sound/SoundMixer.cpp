#include "sound/SoundMixer.h"

#include <algorithm>
#include <chrono>

#include "log/Log.h"
#include "platform/Clock.h"
#include "sound/NextLoadSample.h"

namespace vesta {
namespace {

// How far ahead a live stream is decoded, and how often the feeder looks.
constexpr double kLiveLookaheadSeconds = 0.5;
constexpr auto kFeederInterval = std::chrono::milliseconds(10);
// A loopback render is split so that no stream needs too long a queue.
constexpr std::size_t kMaxRenderChunk = 16384;
constexpr double kRenderMarginSeconds = 0.05;
constexpr float kSpeedOfSound = 343.3f;  // metres per second

void setListenerVector(ALenum parameter, const SoundVector& v) {
    alListener3f(parameter, v.x, v.y, -v.z);
}

}  // namespace

SoundMixer::SoundMixer(SoundSystem& system) : m_system(system) {
    m_startTicks = PerformanceCounter();
    m_feeder = std::thread([this] { feed(); });
}

SoundMixer::~SoundMixer() {
    StopThreads();
    std::lock_guard lock(m_mutex);
    freeEverything();
    m_output.Close();
}

bool SoundMixer::Open(SoundOutput output, int rate) {
    std::lock_guard lock(m_mutex);
    freeEverything();
    m_output.Close();
    m_outputKind = SoundOutput::None;
    bool opened = true;
    if (output == SoundOutput::Device) {
        opened = m_output.OpenDevice(rate);
    } else if (output == SoundOutput::Loopback) {
        opened = m_output.OpenLoopback(rate);
    }
    if (!opened) {
        return false;
    }
    m_outputKind = output;
    m_rate = m_output.IsOpen() ? m_output.Rate() : rate;
    m_renderedFrames = 0;
    m_startTicks = PerformanceCounter();
    m_paused = false;
    m_feederWake.notify_all();
    return true;
}

void SoundMixer::StopAll() {
    for (auto& [handle, stream] : m_streams) {
        stream->Stop();
    }
    for (auto& [handle, playback] : m_playbacks) {
        playback->Stop();
    }
}

void SoundMixer::StopThreads() {
    std::vector<std::unique_ptr<NextLoadSample>> workers;
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        workers.swap(m_workers);
        for (auto& worker : workers) {
            worker->Abort();
        }
    }
    m_clockAdvanced.notify_all();
    m_feederWake.notify_all();
    m_workerStepDone.notify_all();
    workers.clear();  // joins
    if (m_feeder.joinable()) {
        m_feeder.join();
    }
}

void SoundMixer::freeEverything() {
    m_playbacks.clear();
    m_samples.clear();
    m_streams.clear();
    m_steps.clear();
    m_recentMusic = 0;
}

SoundHandle SoundMixer::AddStream(std::shared_ptr<StreamChannel> stream) {
    const SoundHandle handle = m_nextHandle++;
    m_streams.emplace(handle, std::move(stream));
    m_recentMusic = handle;
    m_feederWake.notify_all();
    return handle;
}

SoundHandle SoundMixer::AddSample(std::unique_ptr<SoundSample> sample) {
    const SoundHandle handle = m_nextHandle++;
    m_samples.emplace(handle, std::move(sample));
    return handle;
}

SoundHandle SoundMixer::AddPlayback(std::unique_ptr<SampleChannel> channel) {
    const SoundHandle handle = m_nextHandle++;
    m_playbacks.emplace(handle, std::move(channel));
    return handle;
}

StreamChannel* SoundMixer::FindStream(SoundHandle handle, bool module) const {
    const auto found = m_streams.find(handle);
    return found != m_streams.end() && found->second->IsModule() == module ? found->second.get()
                                                                           : nullptr;
}

SoundSample* SoundMixer::FindSample(SoundHandle handle) const {
    const auto found = m_samples.find(handle);
    return found != m_samples.end() ? found->second.get() : nullptr;
}

SoundChannel* SoundMixer::FindChannel(SoundHandle handle) const {
    if (const auto stream = m_streams.find(handle); stream != m_streams.end()) {
        return stream->second.get();
    }
    const auto playback = m_playbacks.find(handle);
    return playback != m_playbacks.end() ? playback->second.get() : nullptr;
}

bool SoundMixer::RemoveStream(SoundHandle handle, bool module) {
    if (!FindStream(handle, module)) {
        return false;
    }
    // The feeder may still be decoding into it; it goes when the feeder lets go.
    m_streams.erase(handle);
    return true;
}

bool SoundMixer::RemovePlayback(SoundHandle handle) {
    std::erase_if(m_steps, [handle](const VolumeStep& step) { return step.channel == handle; });
    return m_playbacks.erase(handle) > 0;
}

bool SoundMixer::RemoveSample(SoundHandle handle) {
    SoundSample* sample = FindSample(handle);
    if (!sample) {
        return false;
    }
    for (SoundHandle playback : sample->Playbacks()) {
        RemovePlayback(playback);
    }
    m_samples.erase(handle);
    return true;
}

void SoundMixer::SetListener(const SoundVector* position, const SoundVector* velocity,
                             const SoundVector* front, const SoundVector* top) {
    if (position) {
        m_listener.position = *position;
    }
    if (velocity) {
        m_listener.velocity = *velocity;
    }
    if (front) {
        m_listener.front = *front;
    }
    if (top) {
        m_listener.top = *top;
    }
}

void SoundMixer::SetFactors(float distance, float rolloff, float doppler) {
    if (distance > 0.0f) {
        m_distanceFactor = distance;
    }
    if (rolloff >= 0.0f) {
        m_rolloffFactor = rolloff;
    }
    if (doppler >= 0.0f) {
        m_dopplerFactor = doppler;
    }
}

void SoundMixer::Apply3D() {
    if (!m_output.IsOpen()) {
        return;
    }
    setListenerVector(AL_POSITION, m_listener.position);
    setListenerVector(AL_VELOCITY, m_listener.velocity);
    const ALfloat orientation[6] = {m_listener.front.x, m_listener.front.y, -m_listener.front.z,
                                    m_listener.top.x,   m_listener.top.y,   -m_listener.top.z};
    alListenerfv(AL_ORIENTATION, orientation);
    alSpeedOfSound(kSpeedOfSound / m_distanceFactor);
    alDopplerFactor(m_dopplerFactor);
    for (auto& [handle, stream] : m_streams) {
        stream->Apply3D(m_rolloffFactor);
    }
    for (auto& [handle, playback] : m_playbacks) {
        playback->Apply3D(m_rolloffFactor);
    }
}

std::int64_t SoundMixer::Clock() const {
    if (m_outputKind == SoundOutput::Loopback) {
        return m_renderedFrames;
    }
    const std::int64_t ticks = (m_paused ? m_pausedTicks : PerformanceCounter()) - m_startTicks;
    return static_cast<std::int64_t>(static_cast<double>(ticks) /
                                     static_cast<double>(PerformanceFrequency()) * m_rate);
}

void SoundMixer::SetPaused(bool paused) {
    std::lock_guard lock(m_mutex);
    if (paused == m_paused) {
        return;
    }
    // The real-time clock resumes where it stopped: fades scheduled on it
    // keep their place in the music.
    if (paused) {
        m_pausedTicks = PerformanceCounter();
    } else {
        m_startTicks += PerformanceCounter() - m_pausedTicks;
    }
    m_paused = paused;
    if (m_outputKind == SoundOutput::Device && !m_output.SetDevicePaused(paused)) {
        WarnPrintf("the sound device cannot pause; the music plays on");
    }
    m_clockAdvanced.notify_all();
}

void SoundMixer::ScheduleVolume(SoundHandle channel, std::int64_t frame, int volume) {
    std::lock_guard lock(m_mutex);
    const auto at =
        std::upper_bound(m_steps.begin(), m_steps.end(), frame,
                         [](std::int64_t f, const VolumeStep& s) { return f < s.frame; });
    m_steps.insert(at, {frame, channel, volume});
    m_feederWake.notify_all();
}

void SoundMixer::applyDueSteps(std::int64_t now) {
    auto due = m_steps.begin();
    for (; due != m_steps.end() && due->frame <= now; ++due) {
        if (SoundChannel* channel = FindChannel(due->channel)) {
            channel->SetAttributes(kFrequencyUnchanged, due->volume, kPanUnchanged);
        }
    }
    if (due != m_steps.begin()) {
        m_steps.erase(m_steps.begin(), due);
    }
}

bool SoundMixer::WaitForClock(std::int64_t frame) {
    std::unique_lock lock(m_mutex);
    while (!m_stopping && Clock() < frame) {
        if (m_outputKind == SoundOutput::Loopback) {
            m_clockAdvanced.wait(lock);
        } else {
            const auto left = std::chrono::duration<double>(double(frame - Clock()) / m_rate);
            m_clockAdvanced.wait_for(lock, left + std::chrono::milliseconds(1));
        }
    }
    return !m_stopping;
}

void SoundMixer::serviceStreams() {
    for (auto& [handle, stream] : m_streams) {
        stream->Service();
    }
}

void SoundMixer::decodeAhead(std::unique_lock<std::mutex>& lock, double seconds) {
    struct Work {
        std::shared_ptr<StreamChannel> stream;
        std::uint64_t generation;
        std::size_t frames;
    };
    std::vector<Work> work;
    for (auto& [handle, stream] : m_streams) {
        if (const std::size_t frames = stream->FramesWanted(seconds)) {
            work.push_back({stream, stream->Generation(), frames});
        }
    }
    const bool live = m_outputKind != SoundOutput::Loopback;
    for (Work& item : work) {
        // Live, the lock is let go while decoding so that no caller waits on it;
        // in loopback the renderer needs the data before it may go on.
        if (live) {
            lock.unlock();
        }
        bool ended = false;
        std::vector<StreamChannel::Block> blocks;
        {
            std::lock_guard decodeLock(item.stream->DecodeMutex());
            blocks = item.stream->Decode(item.frames, item.generation, ended);
        }
        if (live) {
            lock.lock();
        }
        item.stream->Queue(std::move(blocks), item.generation, ended);
    }
}

void SoundMixer::feed() {
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        if (m_outputKind != SoundOutput::Loopback) {
            serviceStreams();
            applyDueSteps(Clock());
            m_clockAdvanced.notify_all();
            decodeAhead(lock, kLiveLookaheadSeconds);
        }
        const bool idle = m_outputKind == SoundOutput::Loopback ||
                          ((m_streams.empty() || !m_output.IsOpen()) && m_steps.empty());
        if (idle) {
            m_feederWake.wait(lock);
        } else {
            m_feederWake.wait_for(lock, kFeederInterval);
        }
    }
}

bool SoundMixer::Render(float* interleaved, std::size_t frames) {
    std::unique_lock lock(m_mutex);
    if (m_outputKind != SoundOutput::Loopback) {
        std::fill(interleaved, interleaved + 2 * frames, 0.0f);
        return false;
    }
    m_workerStepDone.wait(lock, [this] { return m_pendingWorkerSteps == 0 || m_stopping; });
    std::size_t done = 0;
    while (done < frames) {
        applyDueSteps(m_renderedFrames);
        std::size_t chunk = std::min(frames - done, kMaxRenderChunk);
        if (!m_steps.empty()) {
            const std::int64_t untilStep = m_steps.front().frame - m_renderedFrames;
            chunk = std::min(chunk, static_cast<std::size_t>(untilStep));
        }
        decodeAhead(lock, static_cast<double>(chunk) / m_rate + kRenderMarginSeconds);
        m_output.Render(interleaved + 2 * done, chunk);
        m_renderedFrames += static_cast<std::int64_t>(chunk);
        done += chunk;
        serviceStreams();
    }
    applyDueSteps(m_renderedFrames);
    m_clockAdvanced.notify_all();
    return true;
}

bool SoundMixer::StartWorker(std::vector<std::uint8_t> bytes) {
    if (m_stopping || WorkerRunning()) {
        return false;
    }
    std::erase_if(m_workers, [](const std::unique_ptr<NextLoadSample>& worker) {
        return worker->Finished();  // joined by the destructor
    });
    ++m_pendingWorkerSteps;
    m_workers.push_back(
        std::make_unique<NextLoadSample>(m_system, *this, std::move(bytes), Clock()));
    return true;
}

bool SoundMixer::WorkerRunning() const {
    return std::any_of(m_workers.begin(), m_workers.end(), [](const auto& worker) {
        return !worker->Released() && !worker->Finished();
    });
}

void SoundMixer::ReleaseWorker() {
    for (auto& worker : m_workers) {
        if (!worker->Released() && !worker->Finished()) {
            ++m_pendingWorkerSteps;
            worker->Release(Clock());
        }
    }
}

void SoundMixer::EndWorkerStep() {
    {
        std::lock_guard lock(m_mutex);
        --m_pendingWorkerSteps;
    }
    m_workerStepDone.notify_all();
}

}  // namespace vesta
