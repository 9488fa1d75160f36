#include "sound/SoundChannel.h"

#include <AL/alext.h>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace vesta {
namespace {

constexpr int kMinFrequency = 100;

// The scene's left-handed coordinates in OpenAL's right-handed ones.
void setVector(ALuint source, ALenum parameter, const SoundVector& v) {
    alSource3f(source, parameter, v.x, v.y, -v.z);
}

}  // namespace

SoundChannel::SoundChannel(bool audible, int rate, bool is3D)
    : m_rate(rate), m_is3D(is3D), m_frequency(rate) {
    if (!audible) {
        return;
    }
    alGenSources(1, &m_source);
    if (alGetError() != AL_NO_ERROR) {
        m_source = 0;
        return;
    }
    if (!m_is3D) {
        alSourcei(m_source, AL_SOURCE_RELATIVE, AL_TRUE);
        alSource3f(m_source, AL_POSITION, 0.0f, 0.0f, 0.0f);
        alSourcef(m_source, AL_ROLLOFF_FACTOR, 0.0f);
    }
    applyGainAndPan();
    Apply3D(1.0f);
}

SoundChannel::~SoundChannel() {
    if (m_source) {
        alSourceStop(m_source);
        alSourcei(m_source, AL_BUFFER, 0);
        alDeleteSources(1, &m_source);
    }
}

void SoundChannel::SetAttributes(int frequency, int volume, int pan) {
    if (frequency != kFrequencyUnchanged && frequency >= 0) {
        m_frequency = std::max(frequency, kMinFrequency);
        applyPitch();
    }
    if (volume != kVolumeUnchanged) {
        m_volume = std::clamp(volume, 0, 100);
    }
    if (pan != kPanUnchanged) {
        m_pan = std::clamp(pan, -100, 100);
    }
    applyGainAndPan();
}

void SoundChannel::GetAttributes(int* frequency, int* volume, int* pan) const {
    if (frequency) {
        *frequency = m_frequency;
    }
    if (volume) {
        *volume = m_volume;
    }
    if (pan) {
        *pan = m_pan;
    }
}

void SoundChannel::applyPitch() {
    if (m_source) {
        alSourcef(m_source, AL_PITCH, static_cast<float>(m_frequency) / static_cast<float>(m_rate));
    }
}

void SoundChannel::applyGainAndPan() {
    if (!m_source) {
        return;
    }
    alSourcef(m_source, AL_GAIN, static_cast<float>(m_volume) / 100.0f);
    if (m_is3D) {
        return;
    }
    // Centred stereo goes straight to the outputs, sample for sample. A pan
    // swings the far channel across: OpenAL pans a stereo pair between the
    // two speakers at +30 and -30 degrees.
    alSourcei(m_source, AL_DIRECT_CHANNELS_SOFT, m_pan == 0 ? AL_TRUE : AL_FALSE);
    constexpr float kSpeaker = std::numbers::pi_v<float> / 6.0f;
    const float pan = static_cast<float>(m_pan) / 100.0f;
    const ALfloat angles[2] = {kSpeaker - std::max(pan, 0.0f) * 2.0f * kSpeaker,
                               -kSpeaker + std::max(-pan, 0.0f) * 2.0f * kSpeaker};
    alSourcefv(m_source, AL_STEREO_ANGLES, angles);
}

void SoundChannel::Set3DAttributes(Sound3DMode mode, float minDistance, float maxDistance,
                                   int insideAngle, int outsideAngle, int outsideVolume) {
    if (mode != Sound3DMode::Unchanged) {
        m_mode = mode;
    }
    if (minDistance >= 0.0f) {
        m_minDistance = minDistance;
    }
    if (maxDistance >= 0.0f) {
        m_maxDistance = maxDistance;
    }
    if (insideAngle >= 0) {
        m_insideAngle = std::min(insideAngle, 360);
    }
    if (outsideAngle >= 0) {
        m_outsideAngle = std::min(outsideAngle, 360);
    }
    if (outsideVolume >= 0) {
        m_outsideVolume = std::min(outsideVolume, 100);
    }
}

void SoundChannel::Set3DPosition(const SoundVector* position, const SoundVector* orientation,
                                 const SoundVector* velocity) {
    if (position) {
        m_position = *position;
    }
    if (orientation) {
        m_orientation = *orientation;
    }
    if (velocity) {
        m_velocity = *velocity;
    }
}

void SoundChannel::Apply3D(float rolloffFactor) {
    if (!m_source || !m_is3D) {
        return;
    }
    const bool off = m_mode == Sound3DMode::Off;
    alSourcei(m_source, AL_SOURCE_RELATIVE, m_mode == Sound3DMode::Normal ? AL_FALSE : AL_TRUE);
    setVector(m_source, AL_POSITION, off ? SoundVector{} : m_position);
    setVector(m_source, AL_VELOCITY, off ? SoundVector{} : m_velocity);
    setVector(m_source, AL_DIRECTION, m_orientation);
    alSourcef(m_source, AL_REFERENCE_DISTANCE, std::max(m_minDistance, 1.0e-3f));
    alSourcef(m_source, AL_MAX_DISTANCE, std::max(m_maxDistance, m_minDistance));
    alSourcef(m_source, AL_ROLLOFF_FACTOR, off ? 0.0f : rolloffFactor);
    alSourcef(m_source, AL_CONE_INNER_ANGLE, static_cast<float>(m_insideAngle));
    alSourcef(m_source, AL_CONE_OUTER_ANGLE, static_cast<float>(m_outsideAngle));
    alSourcef(m_source, AL_CONE_OUTER_GAIN, static_cast<float>(m_outsideVolume) / 100.0f);
}

void SoundChannel::levelOf(const float* data, int channels, std::size_t frames, int& left,
                           int& right) const {
    float peakLeft = 0.0f;
    float peakRight = 0.0f;
    const auto stride = static_cast<std::size_t>(channels);
    for (std::size_t i = 0; i < frames; ++i) {
        peakLeft = std::max(peakLeft, std::fabs(data[i * stride]));
        peakRight = std::max(peakRight, std::fabs(data[i * stride + stride - 1]));
    }
    const float gain = static_cast<float>(m_volume) / 100.0f;
    const float pan = m_is3D ? 0.0f : static_cast<float>(m_pan) / 100.0f;
    auto scale = [](float peak) {
        return std::clamp(static_cast<int>(peak * kMaxSoundLevel), 0, kMaxSoundLevel);
    };
    left = scale(peakLeft * gain * std::min(1.0f, 1.0f - pan));
    right = scale(peakRight * gain * std::min(1.0f, 1.0f + pan));
}

}  // namespace vesta
