#pragma once
// A sample decoded whole into one OpenAL buffer, and its playbacks.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "sound/SoundChannel.h"

namespace vesta {

struct SampleData {
    std::vector<float> frames;  // interleaved
    int channels = 0;
    int rate = 0;
    std::size_t Count() const { return channels ? frames.size() / std::size_t(channels) : 0; }
};

class SoundSample {
public:
    // Null when the bytes are no sound file, with the reason in `whyNot`. 3D
    // samples are mixed to mono.
    static std::unique_ptr<SoundSample> Load(std::span<const std::uint8_t> bytes, bool audible,
                                             int maxPlaybacks, unsigned flags,
                                             std::string* whyNot = nullptr);
    ~SoundSample();
    SoundSample(const SoundSample&) = delete;
    SoundSample& operator=(const SoundSample&) = delete;

    ALuint Buffer() const { return m_buffer; }
    const std::shared_ptr<const SampleData>& Data() const { return m_data; }
    SampleInfo& Info() { return m_info; }
    const SampleInfo& Info() const { return m_info; }
    // Channel handles of the playbacks, oldest start first.
    std::vector<SoundHandle>& Playbacks() { return m_playbacks; }

private:
    SoundSample() = default;

    ALuint m_buffer = 0;
    std::shared_ptr<const SampleData> m_data;
    SampleInfo m_info;
    std::vector<SoundHandle> m_playbacks;
};

// One playback of a sample.
class SampleChannel final : public SoundChannel {
public:
    SampleChannel(const SoundSample& sample, bool audible);

    void Play(bool restart) override;
    void Stop() override;
    bool IsPlaying() const override;
    void Level(int& left, int& right) const override;

private:
    std::shared_ptr<const SampleData> m_data;
    bool m_playing = false;
};

}  // namespace vesta
