#pragma once
// The inside of the sound system: the output, the handle tables, the audio
// clock, the feeder thread that keeps streams decoded ahead, scheduled
// volume steps, the 3D listener and the loading-sample workers. Everything
// here is guarded by Mutex() unless it says otherwise.

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "sound/AlOutput.h"
#include "sound/SoundSample.h"
#include "sound/SoundSystem.h"
#include "sound/StreamChannel.h"

namespace vesta {

class NextLoadSample;

class SoundMixer {
public:
    explicit SoundMixer(SoundSystem& system);
    ~SoundMixer();
    SoundMixer(const SoundMixer&) = delete;
    SoundMixer& operator=(const SoundMixer&) = delete;

    std::mutex& Mutex() const { return m_mutex; }

    // Locks by itself. False when the output could not be opened.
    bool Open(SoundOutput output, int rate);
    void StopAll();
    SoundOutput Output() const { return m_outputKind; }
    bool Audible() const { return m_output.IsOpen(); }
    int Rate() const { return m_rate; }
    const std::string& OutputName() const { return m_output.Name(); }

    SoundHandle AddStream(std::shared_ptr<StreamChannel> stream);
    SoundHandle AddSample(std::unique_ptr<SoundSample> sample);
    SoundHandle AddPlayback(std::unique_ptr<SampleChannel> channel);
    StreamChannel* FindStream(SoundHandle handle, bool module) const;
    SoundSample* FindSample(SoundHandle handle) const;
    SoundChannel* FindChannel(SoundHandle handle) const;
    bool RemoveStream(SoundHandle handle, bool module);
    bool RemovePlayback(SoundHandle handle);
    bool RemoveSample(SoundHandle handle);
    SoundHandle MostRecentMusic() const { return m_recentMusic; }
    std::size_t HandleCount() const {
        return m_streams.size() + m_playbacks.size() + m_samples.size();
    }

    void SetListener(const SoundVector* position, const SoundVector* velocity,
                     const SoundVector* front, const SoundVector* top);
    void SetFactors(float distance, float rolloff, float doppler);
    void Apply3D();
    float RolloffFactor() const { return m_rolloffFactor; }

    // Locks by itself; see SoundSystem::RenderAudio.
    bool Render(float* interleaved, std::size_t frames);

    // Audio time in output frames: rendered frames in loopback, real time otherwise.
    std::int64_t Clock() const;
    // Locks by itself. A paused device mixes nothing and its clock stands still.
    void SetPaused(bool paused);
    bool Paused() const { return m_paused; }
    void ScheduleVolume(SoundHandle channel, std::int64_t frame, int volume);
    // Locks by itself; false when the system is shutting down first.
    bool WaitForClock(std::int64_t frame);

    // The loading sample; StartWorker and ReleaseWorker expect the lock.
    bool StartWorker(std::vector<std::uint8_t> bytes);
    bool WorkerRunning() const;
    void ReleaseWorker();
    // A worker step (start, release) that a loopback render waits for; locks by itself.
    void EndWorkerStep();
    bool Stopping() const { return m_stopping; }
    // Ends the workers and the feeder; locks by itself. Once only.
    void StopThreads();

private:
    struct VolumeStep {
        std::int64_t frame;
        SoundHandle channel;
        int volume;
    };
    struct Listener {
        SoundVector position;
        SoundVector velocity;
        SoundVector front{0.0f, 0.0f, 1.0f};
        SoundVector top{0.0f, 1.0f, 0.0f};
    };

    void feed();
    void decodeAhead(std::unique_lock<std::mutex>& lock, double seconds);
    void serviceStreams();
    void applyDueSteps(std::int64_t now);
    void freeEverything();

    SoundSystem& m_system;
    mutable std::mutex m_mutex;
    AlOutput m_output;
    SoundOutput m_outputKind = SoundOutput::None;
    int m_rate = SoundSystem::kDefaultRate;

    SoundHandle m_nextHandle = 1;
    std::map<SoundHandle, std::shared_ptr<StreamChannel>> m_streams;
    std::map<SoundHandle, std::unique_ptr<SampleChannel>> m_playbacks;
    std::map<SoundHandle, std::unique_ptr<SoundSample>> m_samples;
    SoundHandle m_recentMusic = 0;

    Listener m_listener;
    float m_distanceFactor = 1.0f;
    float m_rolloffFactor = 1.0f;
    float m_dopplerFactor = 1.0f;

    std::int64_t m_renderedFrames = 0;
    std::int64_t m_startTicks = 0;
    bool m_paused = false;
    std::int64_t m_pausedTicks = 0;   // when the pause began
    std::vector<VolumeStep> m_steps;  // in frame order
    std::condition_variable m_clockAdvanced;

    std::thread m_feeder;
    std::condition_variable m_feederWake;
    bool m_stopping = false;

    std::vector<std::unique_ptr<NextLoadSample>> m_workers;
    int m_pendingWorkerSteps = 0;
    std::condition_variable m_workerStepDone;
};

}  // namespace vesta
