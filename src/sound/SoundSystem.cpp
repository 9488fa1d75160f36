// The operations of the sound system: each takes the lock, finds its handle
// and hands over to the channel, the sample or the mixer.

#include "sound/SoundSystem.h"

#include <algorithm>

#include "log/Log.h"
#include "sound/Decoder.h"
#include "sound/SoundMixer.h"

namespace vesta {
namespace {

std::vector<std::uint8_t> copyOf(std::span<const std::uint8_t> bytes) {
    return {bytes.begin(), bytes.end()};
}

}  // namespace

SoundSystem::SoundSystem() : m_mixer(std::make_unique<SoundMixer>(*this)) {}

SoundSystem::~SoundSystem() {
    // The workers call back into this object; they end before it goes.
    m_mixer->StopThreads();
}

void SoundSystem::Initialize(SoundOutput output, int rate) {
    if (!m_mixer->Open(output, rate)) {
        RaiseError("Can't initialize digital sound system: %s",
                   output == SoundOutput::Device
                       ? "OpenAL could open no audio output device (the word NoSound plays "
                         "without sound)"
                       : "OpenAL gives no loopback device to mix into memory");
    }
    if (output == SoundOutput::None) {
        return;
    }
    std::lock_guard lock(m_mixer->Mutex());
    LogPrintf("Using sound output [%s] at %d Hz", m_mixer->OutputName().c_str(), m_mixer->Rate());
}

void SoundSystem::Shutdown() {
    std::lock_guard lock(m_mixer->Mutex());
    m_mixer->StopAll();
}

void SoundSystem::SetPaused(bool paused) {
    m_mixer->SetPaused(paused);
}

bool SoundSystem::Paused() const {
    std::lock_guard lock(m_mixer->Mutex());
    return m_mixer->Paused();
}

SoundOutput SoundSystem::Output() const {
    std::lock_guard lock(m_mixer->Mutex());
    return m_mixer->Output();
}

int SoundSystem::OutputRate() const {
    std::lock_guard lock(m_mixer->Mutex());
    return m_mixer->Rate();
}

bool SoundSystem::RenderAudio(float* interleaved, std::size_t frames) {
    return m_mixer->Render(interleaved, frames);
}

SoundHandle SoundSystem::StreamCreate(std::span<const std::uint8_t> bytes, unsigned flags,
                                      std::string* whyNot) {
    std::unique_ptr<Decoder> decoder = OpenSoundFile(copyOf(bytes), whyNot);
    if (!decoder) {
        return 0;
    }
    std::lock_guard lock(m_mixer->Mutex());
    return m_mixer->AddStream(std::make_shared<StreamChannel>(
        std::move(decoder), m_mixer->Audible(), flags & kSound3D, flags & kSoundLoop, false));
}

SoundHandle SoundSystem::MusicLoad(std::span<const std::uint8_t> bytes, unsigned flags,
                                   std::string* whyNot) {
    const int rate = OutputRate();
    std::unique_ptr<Decoder> decoder =
        OpenModule(copyOf(bytes), rate, flags & kSound3D, flags & kSoundLoop, whyNot);
    if (!decoder) {
        return 0;
    }
    std::lock_guard lock(m_mixer->Mutex());
    return m_mixer->AddStream(std::make_shared<StreamChannel>(
        std::move(decoder), m_mixer->Audible(), flags & kSound3D, flags & kSoundLoop, true));
}

bool SoundSystem::StreamPlay(SoundHandle stream, bool restart) {
    std::lock_guard lock(m_mixer->Mutex());
    StreamChannel* channel = m_mixer->FindStream(stream, false);
    if (channel) {
        channel->Play(restart);
    }
    return channel != nullptr;
}

bool SoundSystem::MusicPlayFrom(SoundHandle music, double seconds) {
    std::lock_guard lock(m_mixer->Mutex());
    StreamChannel* channel = m_mixer->FindStream(music, false);
    if (!channel) {
        channel = m_mixer->FindStream(music, true);
    }
    if (channel) {
        channel->PlayFrom(seconds);
    }
    return channel != nullptr;
}

bool SoundSystem::MusicPlay(SoundHandle module, bool restart) {
    std::lock_guard lock(m_mixer->Mutex());
    StreamChannel* channel = m_mixer->FindStream(module, true);
    if (channel) {
        channel->Play(restart);
    }
    return channel != nullptr;
}

bool SoundSystem::StreamFree(SoundHandle stream) {
    std::lock_guard lock(m_mixer->Mutex());
    return m_mixer->RemoveStream(stream, false);
}

bool SoundSystem::MusicFree(SoundHandle module) {
    std::lock_guard lock(m_mixer->Mutex());
    return m_mixer->RemoveStream(module, true);
}

SoundHandle SoundSystem::SampleLoad(std::span<const std::uint8_t> bytes, int maxPlaybacks,
                                    unsigned flags, std::string* whyNot) {
    bool audible = false;
    {
        std::lock_guard lock(m_mixer->Mutex());
        audible = m_mixer->Audible();
    }
    // Decoded without the lock: the loading sample's worker loads while the
    // main thread goes on.
    std::unique_ptr<SoundSample> sample =
        SoundSample::Load(bytes, audible, maxPlaybacks, flags, whyNot);
    if (!sample) {
        return 0;
    }
    std::lock_guard lock(m_mixer->Mutex());
    return m_mixer->AddSample(std::move(sample));
}

SoundHandle SoundSystem::SamplePlay(SoundHandle sample) {
    return SamplePlay3D(sample);
}

SoundHandle SoundSystem::SamplePlay3D(SoundHandle sample, const SoundVector* position,
                                      const SoundVector* orientation, const SoundVector* velocity) {
    std::lock_guard lock(m_mixer->Mutex());
    SoundSample* found = m_mixer->FindSample(sample);
    if (!found) {
        return 0;
    }
    std::vector<SoundHandle>& playbacks = found->Playbacks();
    SoundHandle handle = 0;
    for (SoundHandle playback : playbacks) {
        SoundChannel* channel = m_mixer->FindChannel(playback);
        if (channel && !channel->IsPlaying()) {
            handle = playback;
            break;
        }
    }
    if (!handle && static_cast<int>(playbacks.size()) >= found->Info().maxPlaybacks) {
        handle = playbacks.front();  // the one playing longest
    }
    if (handle) {
        // A new playback begins with the sample's present defaults.
        std::erase(playbacks, handle);
        m_mixer->RemovePlayback(handle);
    }
    auto channel = std::make_unique<SampleChannel>(*found, m_mixer->Audible());
    channel->Set3DPosition(position, orientation, velocity);
    channel->Apply3D(m_mixer->RolloffFactor());
    SampleChannel* started = channel.get();
    handle = m_mixer->AddPlayback(std::move(channel));
    playbacks.push_back(handle);
    started->Play(true);
    return handle;
}

bool SoundSystem::SampleGetInfo(SoundHandle sample, SampleInfo& info) const {
    std::lock_guard lock(m_mixer->Mutex());
    const SoundSample* found = m_mixer->FindSample(sample);
    if (found) {
        info = found->Info();
    }
    return found != nullptr;
}

bool SoundSystem::SampleSetInfo(SoundHandle sample, const SampleInfo& info) {
    std::lock_guard lock(m_mixer->Mutex());
    SoundSample* found = m_mixer->FindSample(sample);
    if (!found) {
        return false;
    }
    // What the data decides stays as loaded.
    SampleInfo& kept = found->Info();
    const SampleInfo loaded = kept;
    kept = info;
    kept.flags = loaded.flags;
    kept.length = loaded.length;
    kept.maxPlaybacks = std::clamp(info.maxPlaybacks, 1, 65535);
    if (kept.frequency <= 0) {
        kept.frequency = loaded.frequency;
    }
    return true;
}

bool SoundSystem::SampleFree(SoundHandle sample) {
    std::lock_guard lock(m_mixer->Mutex());
    return m_mixer->RemoveSample(sample);
}

bool SoundSystem::ChannelStop(SoundHandle channel) {
    std::lock_guard lock(m_mixer->Mutex());
    SoundChannel* found = m_mixer->FindChannel(channel);
    if (found) {
        found->Stop();
    }
    return found != nullptr;
}

bool SoundSystem::ChannelIsPlaying(SoundHandle channel) const {
    std::lock_guard lock(m_mixer->Mutex());
    const SoundChannel* found = m_mixer->FindChannel(channel);
    return found && found->IsPlaying();
}

bool SoundSystem::ChannelGetAttributes(SoundHandle channel, int* frequency, int* volume,
                                       int* pan) const {
    std::lock_guard lock(m_mixer->Mutex());
    const SoundChannel* found = m_mixer->FindChannel(channel);
    if (found) {
        found->GetAttributes(frequency, volume, pan);
    }
    return found != nullptr;
}

bool SoundSystem::ChannelSetAttributes(SoundHandle channel, int frequency, int volume, int pan) {
    std::lock_guard lock(m_mixer->Mutex());
    SoundChannel* found = m_mixer->FindChannel(channel);
    if (found) {
        found->SetAttributes(frequency, volume, pan);
    }
    return found != nullptr;
}

bool SoundSystem::ChannelSet3DAttributes(SoundHandle channel, Sound3DMode mode, float minDistance,
                                         float maxDistance, int insideAngle, int outsideAngle,
                                         int outsideVolume) {
    std::lock_guard lock(m_mixer->Mutex());
    SoundChannel* found = m_mixer->FindChannel(channel);
    if (found) {
        found->Set3DAttributes(mode, minDistance, maxDistance, insideAngle, outsideAngle,
                               outsideVolume);
    }
    return found && found->Is3D();
}

bool SoundSystem::ChannelSet3DPosition(SoundHandle channel, const SoundVector* position,
                                       const SoundVector* orientation,
                                       const SoundVector* velocity) {
    std::lock_guard lock(m_mixer->Mutex());
    SoundChannel* found = m_mixer->FindChannel(channel);
    if (found) {
        found->Set3DPosition(position, orientation, velocity);
    }
    return found && found->Is3D();
}

bool SoundSystem::ChannelGetLevel(SoundHandle channel, int& left, int& right) const {
    std::lock_guard lock(m_mixer->Mutex());
    const SoundChannel* found = m_mixer->FindChannel(channel);
    left = 0;
    right = 0;
    if (found) {
        found->Level(left, right);
    }
    return found != nullptr;
}

SoundLevel SoundSystem::CurrentLevel() const {
    SoundLevel level;
    if (!ChannelGetLevel(MostRecentMusic(), level.left, level.right)) {
        return {};
    }
    level.mean = (level.left + level.right) / 2;
    return level;
}

SoundHandle SoundSystem::MostRecentMusic() const {
    std::lock_guard lock(m_mixer->Mutex());
    return m_mixer->MostRecentMusic();
}

std::size_t SoundSystem::LiveHandleCount() const {
    std::lock_guard lock(m_mixer->Mutex());
    return m_mixer->HandleCount();
}

void SoundSystem::Set3DPosition(const SoundVector* position, const SoundVector* velocity,
                                const SoundVector* front, const SoundVector* top) {
    std::lock_guard lock(m_mixer->Mutex());
    m_mixer->SetListener(position, velocity, front, top);
}

void SoundSystem::Set3DFactors(float distanceFactor, float rolloffFactor, float dopplerFactor) {
    std::lock_guard lock(m_mixer->Mutex());
    m_mixer->SetFactors(distanceFactor, rolloffFactor, dopplerFactor);
}

void SoundSystem::Apply3D() {
    std::lock_guard lock(m_mixer->Mutex());
    m_mixer->Apply3D();
}

bool SoundSystem::StartNextLoadSample(std::span<const std::uint8_t> bytes) {
    std::lock_guard lock(m_mixer->Mutex());
    return m_mixer->StartWorker(copyOf(bytes));
}

bool SoundSystem::NextLoadSampleRunning() const {
    std::lock_guard lock(m_mixer->Mutex());
    return m_mixer->WorkerRunning();
}

void SoundSystem::ReleaseNextLoadSample() {
    std::lock_guard lock(m_mixer->Mutex());
    m_mixer->ReleaseWorker();
}

}  // namespace vesta
