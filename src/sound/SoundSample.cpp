#include "sound/SoundSample.h"

#include <AL/alext.h>
#include <algorithm>

#include "sound/Decoder.h"

namespace vesta {
namespace {

// Longer is no sample; it would belong in a stream.
constexpr std::size_t kMaxSampleFrames = std::size_t(1) << 24;

std::shared_ptr<SampleData> decodeWhole(std::span<const std::uint8_t> bytes, bool mono,
                                        std::string* whyNot) {
    std::unique_ptr<Decoder> decoder =
        OpenSoundFile(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), whyNot);
    if (!decoder) {
        return nullptr;
    }
    auto data = std::make_shared<SampleData>();
    data->channels = mono ? 1 : 2;
    data->rate = decoder->Rate();
    const int fileChannels = decoder->Channels();
    constexpr std::size_t kChunk = 4096;
    std::vector<float> raw(kChunk * static_cast<std::size_t>(fileChannels));
    std::size_t total = 0;
    while (total < kMaxSampleFrames) {
        const std::size_t read =
            decoder->Read(raw.data(), std::min(kChunk, kMaxSampleFrames - total));
        if (read == 0) {
            break;
        }
        data->frames.resize((total + read) * static_cast<std::size_t>(data->channels));
        ConvertChannels(raw.data(), fileChannels,
                        data->frames.data() + total * static_cast<std::size_t>(data->channels),
                        data->channels, read);
        total += read;
    }
    return data;
}

}  // namespace

std::unique_ptr<SoundSample> SoundSample::Load(std::span<const std::uint8_t> bytes, bool audible,
                                               int maxPlaybacks, unsigned flags,
                                               std::string* whyNot) {
    std::shared_ptr<SampleData> data = decodeWhole(bytes, (flags & kSound3D) != 0, whyNot);
    if (!data) {
        return nullptr;
    }
    if (data->Count() == 0) {
        if (whyNot) {
            *whyNot = "it holds no sound";
        }
        return nullptr;
    }
    std::unique_ptr<SoundSample> sample(new SoundSample);
    if (audible) {
        alGenBuffers(1, &sample->m_buffer);
        const ALenum format =
            data->channels == 1 ? AL_FORMAT_MONO_FLOAT32 : AL_FORMAT_STEREO_FLOAT32;
        alBufferData(sample->m_buffer, format, data->frames.data(),
                     static_cast<ALsizei>(data->frames.size() * sizeof(float)), data->rate);
        if (alGetError() != AL_NO_ERROR) {
            if (whyNot) {
                *whyNot = "OpenAL refused its buffer";
            }
            return nullptr;
        }
    }
    sample->m_info.frequency = data->rate;
    sample->m_info.flags = flags;
    sample->m_info.length = static_cast<std::uint32_t>(data->Count());
    sample->m_info.maxPlaybacks = std::clamp(maxPlaybacks, 1, 65535);
    sample->m_data = std::move(data);
    return sample;
}

SoundSample::~SoundSample() {
    if (m_buffer) {
        alDeleteBuffers(1, &m_buffer);
    }
}

SampleChannel::SampleChannel(const SoundSample& sample, bool audible)
    : SoundChannel(audible, sample.Data()->rate, (sample.Info().flags & kSound3D) != 0),
      m_data(sample.Data()) {
    const SampleInfo& info = sample.Info();
    SetAttributes(info.frequency, info.volume, info.pan);
    Set3DAttributes(info.mode, info.minDistance, info.maxDistance, -1, -1, -1);
    if (source()) {
        alSourcei(source(), AL_BUFFER, static_cast<ALint>(sample.Buffer()));
        alSourcei(source(), AL_LOOPING, (info.flags & kSoundLoop) ? AL_TRUE : AL_FALSE);
    }
}

void SampleChannel::Play(bool restart) {
    m_playing = true;
    if (!source()) {
        return;
    }
    if (restart) {
        alSourceRewind(source());
    }
    alSourcePlay(source());
}

void SampleChannel::Stop() {
    m_playing = false;
    if (source()) {
        alSourceStop(source());
    }
}

bool SampleChannel::IsPlaying() const {
    if (!source()) {
        return m_playing;
    }
    ALint state = AL_STOPPED;
    alGetSourcei(source(), AL_SOURCE_STATE, &state);
    return state == AL_PLAYING;
}

void SampleChannel::Level(int& left, int& right) const {
    left = 0;
    right = 0;
    if (!IsPlaying() || !source()) {
        return;
    }
    ALint offset = 0;
    alGetSourcei(source(), AL_SAMPLE_OFFSET, &offset);
    const std::size_t count = m_data->Count();
    const auto position = std::min(static_cast<std::size_t>(std::max(offset, 0)), count);
    const std::size_t window =
        std::min(static_cast<std::size_t>(m_data->rate / 50), count - position);
    levelOf(m_data->frames.data() + position * static_cast<std::size_t>(m_data->channels),
            m_data->channels, window, left, right);
}

}  // namespace vesta
