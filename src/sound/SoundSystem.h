#pragma once
// The engine's one sound interface: music streams, tracker modules, samples
// and 3D sound, mixed into a device, into nothing ("NoSound") or into the
// caller's buffer (loopback, for headless runs and recordings).
//
// Handles are nonzero; 0 means failure. Stream and module handles are also
// their channel handles; a sample handle names the loaded sound and each
// playback of it gets a channel handle of its own. Every operation may be
// called from any thread.
//
// Attributes: frequency in Hz (-1 leaves it unchanged), volume 0..100
// (-1 unchanged), pan -100 (left) .. 100 (right) (-101 unchanged).
// Coordinates are those of the scene: left-handed, +z pointing away from the
// viewer.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace vesta {

using SoundHandle = std::uint32_t;

enum class SoundOutput {
    None,      // nothing opened, nothing heard; loads still work
    Device,    // the system's default output device
    Loopback,  // mixed into the caller's buffer by RenderAudio
};

// Creation flags of streams, modules and samples.
enum SoundFlags : unsigned {
    kSoundLoop = 1u << 0,  // start again at the end
    kSound3D = 1u << 1,    // positioned in 3D (mixed down to mono)
};

struct SoundVector {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

// How a 3D channel is positioned.
enum class Sound3DMode : int {
    Unchanged = -1,
    Normal = 0,    // in the world
    Relative = 1,  // relative to the listener
    Off = 2,       // not positioned: plays at the listener
};

struct SoundLevel {
    int left = 0;  // 0..kMaxSoundLevel
    int right = 0;
    int mean = 0;  // (left + right) / 2, truncated
};

inline constexpr int kMaxSoundLevel = 128;
inline constexpr int kFrequencyUnchanged = -1;
inline constexpr int kVolumeUnchanged = -1;
inline constexpr int kPanUnchanged = -101;

// The defaults every playback of a sample starts with.
struct SampleInfo {
    int frequency = 0;  // Hz; the file's rate when loaded
    int volume = 100;
    int pan = 0;
    unsigned flags = 0;          // SoundFlags given at load
    std::uint32_t length = 0;    // frames
    int maxPlaybacks = 1;        // simultaneous playbacks
    float minDistance = 1.0f;    // 3D: full volume up to here
    float maxDistance = 1.0e9f;  // 3D: no further attenuation past here
    Sound3DMode mode = Sound3DMode::Normal;
};

class SoundMixer;

class SoundSystem {
public:
    static constexpr int kDefaultRate = 44100;

    SoundSystem();
    virtual ~SoundSystem();
    SoundSystem(const SoundSystem&) = delete;
    SoundSystem& operator=(const SoundSystem&) = delete;

    // Opens the output and logs which one. A device that cannot be opened is
    // fatal ("Can't initialize digital sound system"). Without this call the
    // system behaves as with SoundOutput::None.
    void Initialize(SoundOutput output, int rate = kDefaultRate);
    // Silences every channel and stops the output; handles stay valid.
    void Shutdown();
    SoundOutput Output() const;
    // Output frames per second (stereo).
    int OutputRate() const;
    // Holds every stream, module and sample where it is (a paused show) and
    // lets them go on together. A loopback output is paused by not mixing.
    void SetPaused(bool paused);
    bool Paused() const;

    // Loopback only: mixes exactly `frames` stereo frames (interleaved
    // left/right floats) and advances every channel by that much audio time.
    // False (and silence) in the other modes.
    bool RenderAudio(float* interleaved, std::size_t frames);

    // Streams (MP3, Ogg Vorbis, FLAC, WAV) and tracker modules (MOD, S3M, XM,
    // IT). The bytes are copied; the caller may release them afterwards.
    // Handle 0 when the decoder refuses the bytes; its reason goes to `whyNot`.
    SoundHandle StreamCreate(std::span<const std::uint8_t> bytes, unsigned flags = 0,
                             std::string* whyNot = nullptr);
    SoundHandle MusicLoad(std::span<const std::uint8_t> bytes, unsigned flags = 0,
                          std::string* whyNot = nullptr);
    // From the start when `restart`, otherwise from where it stopped.
    bool StreamPlay(SoundHandle stream, bool restart = true);
    bool MusicPlay(SoundHandle module, bool restart = true);
    // Plays a stream or a module from `seconds` into it (a looping module
    // wraps); past the end of the source it stays silent. False for other handles.
    bool MusicPlayFrom(SoundHandle music, double seconds);
    bool StreamFree(SoundHandle stream);
    bool MusicFree(SoundHandle module);

    // Samples are decoded whole at load. A playback beyond maxPlaybacks takes
    // over the one that has been playing longest.
    SoundHandle SampleLoad(std::span<const std::uint8_t> bytes, int maxPlaybacks = 1,
                           unsigned flags = 0, std::string* whyNot = nullptr);
    SoundHandle SamplePlay(SoundHandle sample);
    SoundHandle SamplePlay3D(SoundHandle sample, const SoundVector* position = nullptr,
                             const SoundVector* orientation = nullptr,
                             const SoundVector* velocity = nullptr);
    bool SampleGetInfo(SoundHandle sample, SampleInfo& info) const;
    bool SampleSetInfo(SoundHandle sample, const SampleInfo& info);
    bool SampleFree(SoundHandle sample);

    // Channels: a stream, a module or a playback of a sample.
    bool ChannelStop(SoundHandle channel);
    bool ChannelIsPlaying(SoundHandle channel) const;
    bool ChannelGetAttributes(SoundHandle channel, int* frequency, int* volume, int* pan) const;
    bool ChannelSetAttributes(SoundHandle channel, int frequency, int volume, int pan);
    // Angles in degrees (-1 unchanged), outside volume 0..100 (-1 unchanged);
    // distances below 0 leave the value unchanged.
    bool ChannelSet3DAttributes(SoundHandle channel, Sound3DMode mode, float minDistance,
                                float maxDistance, int insideAngle = -1, int outsideAngle = -1,
                                int outsideVolume = -1);
    // Null vectors leave their value unchanged; takes effect at Apply3D.
    bool ChannelSet3DPosition(SoundHandle channel, const SoundVector* position,
                              const SoundVector* orientation, const SoundVector* velocity);
    // Peak levels of the last few milliseconds played, volume and pan applied.
    bool ChannelGetLevel(SoundHandle channel, int& left, int& right) const;

    // The level of the most recently created stream or module; 0 and 0 when
    // there is none or it has been freed.
    SoundLevel CurrentLevel() const;
    SoundHandle MostRecentMusic() const;
    // Streams, modules, samples and sample playbacks not yet freed.
    std::size_t LiveHandleCount() const;

    // The listener; null vectors leave their value unchanged. `front` and
    // `top` are directions. Takes effect at Apply3D.
    void Set3DPosition(const SoundVector* position, const SoundVector* velocity,
                       const SoundVector* front, const SoundVector* top);
    // Metres per unit, roll-off (1 = real world) and Doppler factors; values
    // below 0 leave the factor unchanged.
    void Set3DFactors(float distanceFactor, float rolloffFactor, float dopplerFactor);
    void Apply3D();

    // The loading sample: plays `bytes` looping on a worker thread, fading in
    // over two seconds, until ReleaseNextLoadSample; then fades out over one
    // second and frees it. False when one is already playing unreleased; bytes
    // that are no sample are heard as nothing. The bytes are copied.
    bool StartNextLoadSample(std::span<const std::uint8_t> bytes);
    bool NextLoadSampleRunning() const;
    void ReleaseNextLoadSample();

    // The fade-in and fade-out steps of the loading sample.
    static constexpr int kFadeStepMilliseconds = 100;

private:
    std::unique_ptr<SoundMixer> m_mixer;
};

}  // namespace vesta
