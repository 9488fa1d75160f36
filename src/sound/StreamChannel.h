#pragma once
// A stream or a module: decoded block by block into a queue of OpenAL
// buffers. Decoding needs only the channel's own decode lock, so the feeder
// can decode while the rest of the system goes on; everything else runs
// under the sound system's lock.

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "sound/Decoder.h"
#include "sound/SoundChannel.h"

namespace vesta {

class StreamChannel final : public SoundChannel {
public:
    static constexpr std::size_t kBlockFrames = 4096;

    struct Block {
        std::shared_ptr<const std::vector<float>> data;
        std::size_t frames = 0;
    };

    StreamChannel(std::unique_ptr<Decoder> decoder, bool audible, bool is3D, bool loop,
                  bool module);
    ~StreamChannel() override;

    bool IsModule() const { return m_module; }
    void Play(bool restart) override;
    // Plays from `seconds` into the source; a source that ends before stays silent.
    void PlayFrom(double seconds);
    void Stop() override;
    bool IsPlaying() const override { return m_playing; }
    void Level(int& left, int& right) const override;

    // Source frames still to decode so that `seconds` of playback at the
    // current frequency are queued; 0 when nothing is wanted.
    std::size_t FramesWanted(double seconds) const;
    std::uint64_t Generation() const { return m_generation; }
    std::mutex& DecodeMutex() { return m_decodeMutex; }

    // Under the decode lock only. `ended` tells that the source ran out.
    std::vector<Block> Decode(std::size_t frames, std::uint64_t generation, bool& ended);
    // Blocks of an older generation (before a restart) are dropped.
    void Queue(std::vector<Block> blocks, std::uint64_t generation, bool ended);
    // Takes back played buffers, resumes after an underrun, notices the end.
    void Service();

private:
    struct Queued {
        ALuint buffer;
        Block block;
    };

    // Drops what is queued and puts the source at `seconds`; false past its end.
    bool restartAt(double seconds);
    std::size_t framesQueuedAhead() const;
    void unqueueProcessed();
    void clearQueue();

    std::mutex m_decodeMutex;
    std::unique_ptr<Decoder> m_decoder;
    std::uint64_t m_decodeGeneration = 0;
    int m_channels;
    bool m_loop;
    bool m_module;

    std::deque<Queued> m_queue;
    std::vector<ALuint> m_spareBuffers;
    std::uint64_t m_generation = 0;
    bool m_playing = false;
    bool m_ended = false;
};

}  // namespace vesta
