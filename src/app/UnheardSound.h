#pragma once
// The sound of a headless run that records nothing: mixed in step with the
// presentation time and dropped, as nobody listens. The loopback output's
// audio time is the audio it has mixed; unmixed, it would stand still, and
// with it the music and every fade scheduled on it: the loading sample would
// wait for the end of its fade-out for ever, its thread and sample kept.

#include <cstdint>
#include <vector>

namespace vesta {

class SoundSystem;

class UnheardSound {
public:
    // `sound` mixes into the loopback output and outlives this.
    explicit UnheardSound(SoundSystem& sound);

    // Mixes the audio from where the last call ended up to `seconds` of
    // presentation time (nothing when that is not later).
    void MixUntil(double seconds);
    // The presentation time starts again at `seconds` (a seek backwards): the
    // audio goes on from where it is, in step with the new time.
    void Rebase(double seconds);
    std::int64_t FramesMixed() const { return m_mixed; }

private:
    SoundSystem& m_sound;
    std::int64_t m_mixed = 0;
    std::int64_t m_base = 0;  // audio frames mixed at presentation time 0
    std::vector<float> m_scratch;
};

}  // namespace vesta
