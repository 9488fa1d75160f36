#pragma once
// What every channel has: an OpenAL source (none without output), the
// caller's frequency, volume and pan, and its 3D placement.

#include <AL/al.h>
#include <cstddef>

#include "sound/SoundSystem.h"

namespace vesta {

class SoundChannel {
public:
    // `audible` is false without output: the channel keeps its state only.
    SoundChannel(bool audible, int rate, bool is3D);
    virtual ~SoundChannel();
    SoundChannel(const SoundChannel&) = delete;
    SoundChannel& operator=(const SoundChannel&) = delete;

    virtual void Play(bool restart) = 0;
    virtual void Stop() = 0;
    virtual bool IsPlaying() const = 0;
    virtual void Level(int& left, int& right) const = 0;

    int Rate() const { return m_rate; }
    bool Is3D() const { return m_is3D; }
    void SetAttributes(int frequency, int volume, int pan);
    void GetAttributes(int* frequency, int* volume, int* pan) const;
    // Source frames per second of playback.
    double SourceFramesPerSecond() const { return m_frequency; }

    void Set3DAttributes(Sound3DMode mode, float minDistance, float maxDistance, int insideAngle,
                         int outsideAngle, int outsideVolume);
    void Set3DPosition(const SoundVector* position, const SoundVector* orientation,
                       const SoundVector* velocity);
    // Hands the pending 3D settings to OpenAL.
    void Apply3D(float rolloffFactor);

protected:
    ALuint source() const { return m_source; }
    // Peaks of `frames` interleaved frames, scaled by volume and pan.
    void levelOf(const float* data, int channels, std::size_t frames, int& left, int& right) const;

private:
    void applyGainAndPan();
    void applyPitch();

    ALuint m_source = 0;
    int m_rate;
    bool m_is3D;
    int m_frequency;
    int m_volume = 100;
    int m_pan = 0;
    Sound3DMode m_mode = Sound3DMode::Normal;
    float m_minDistance = 1.0f;
    float m_maxDistance = 1.0e9f;
    int m_insideAngle = 360;
    int m_outsideAngle = 360;
    int m_outsideVolume = 100;
    SoundVector m_position;
    SoundVector m_orientation;
    SoundVector m_velocity;
};

}  // namespace vesta
