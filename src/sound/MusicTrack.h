#pragma once
// A part's music, a compressed stream or a tracker module named in the
// script, from its file to its last note; what the timeline keeps per part.

#include <string>
#include <string_view>

#include "sound/SoundSystem.h"

namespace vesta {

class MusicTrack {
public:
    enum class Kind { Stream, Module };

    // Reads the file through the file system (fatal "Cannot open [%s]") and
    // creates the channel (fatal "Unknown SoundSystem error." with the file and
    // the decoder's reason).
    MusicTrack(SoundSystem& sound, Kind kind, std::string_view fileName);
    ~MusicTrack() { Stop(); }
    MusicTrack(const MusicTrack&) = delete;
    MusicTrack& operator=(const MusicTrack&) = delete;

    // Reads the base frequency, volume and pan, then plays from the start.
    void Play();
    // Goes on from `seconds` into the music (a run that starts later).
    void PlayFrom(double seconds) { m_sound.MusicPlayFrom(m_handle, seconds); }
    // Sets the frequency to the integer part of `factor` × `baseFrequency`,
    // leaving volume and pan as they are.
    void FollowTimeStretch(float factor, int baseFrequency);
    // Stops and frees the channel; later calls do nothing.
    void Stop();

    SoundHandle Handle() const { return m_handle; }
    Kind GetKind() const { return m_kind; }
    int BaseFrequency() const { return m_frequency; }
    int BaseVolume() const { return m_volume; }
    int BasePan() const { return m_pan; }

private:
    SoundSystem& m_sound;
    Kind m_kind;
    SoundHandle m_handle = 0;
    int m_frequency = 0;
    int m_volume = 0;
    int m_pan = 0;
};

}  // namespace vesta
