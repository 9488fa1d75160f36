#pragma once
// Where a stream's or a sample's frames come from.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vesta {

class Decoder {
public:
    virtual ~Decoder() = default;
    virtual int Rate() const = 0;
    virtual int Channels() const = 0;
    // Interleaved frames; fewer than asked only at the end.
    virtual std::size_t Read(float* interleaved, std::size_t frames) = 0;
    virtual bool Rewind() = 0;
    // To `seconds` from the start; false (and the position unknown) when the
    // source is shorter or cannot seek.
    virtual bool Seek(double seconds) = 0;
};

// MP3, Ogg Vorbis, FLAC, WAV and the other formats of libsndfile; null when
// the bytes are none of them, with the library's reason in `whyNot`.
std::unique_ptr<Decoder> OpenSoundFile(std::vector<std::uint8_t> bytes,
                                       std::string* whyNot = nullptr);

// MPEG audio (an ID3 tag or a frame header first), which OpenSoundFile
// hands to libmpg123 directly.
bool LooksLikeMpegAudio(const std::vector<std::uint8_t>& bytes);
std::unique_ptr<Decoder> OpenMpegAudio(std::vector<std::uint8_t> bytes, std::string* whyNot);

// A tracker module rendered at `rate`, in stereo or (`mono`) one channel;
// null when the bytes are no module libopenmpt knows, with its reason in
// `whyNot`. `loop` plays it forever.
std::unique_ptr<Decoder> OpenModule(const std::vector<std::uint8_t>& bytes, int rate, bool mono,
                                    bool loop, std::string* whyNot = nullptr);

// Rewrites `frames` interleaved frames of `from` channels as `to` channels:
// mono is copied to both sides, more channels are averaged into mono, and
// past two only the first two are kept for stereo.
void ConvertChannels(const float* in, int from, float* out, int to, std::size_t frames);

}  // namespace vesta
