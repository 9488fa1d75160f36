#pragma once
// Sounds the tests make themselves: sine waves written by libsndfile, a tiny
// ProTracker module, and each decoded on its own as the reference.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vesta::test {

struct Tone {
    double frequency;  // Hz
    double amplitude;  // 0..1
};

// A file of `seconds` of sine waves, one tone per channel. `format` is a
// libsndfile major format (SF_FORMAT_WAV, SF_FORMAT_FLAC, SF_FORMAT_OGG,
// SF_FORMAT_MPEG).
std::vector<std::uint8_t> MakeSineFile(int format, int rate, const std::vector<Tone>& channels,
                                       double seconds);

// Every frame of `bytes` as interleaved floats, through libsndfile alone.
std::vector<float> DecodeWithSndfile(const std::vector<std::uint8_t>& bytes, int& channels);

// A four-channel "M.K." module of 16 rows at speed 6 (1.92 s): a looped
// square-wave instrument struck on channel 1 at row 0 and on channel 2 an
// octave up at row 8.
std::vector<std::uint8_t> MakeModule();

// The module rendered by libopenmpt alone, in stereo at `rate`, to its end.
std::vector<float> RenderWithOpenmpt(const std::vector<std::uint8_t>& bytes, int rate);

// Root mean square of the difference of two equally long runs of floats.
double RmsDifference(const float* a, const float* b, std::size_t count);
// Peak absolute value of one channel of interleaved stereo, frames [begin, end).
float Peak(const std::vector<float>& stereo, int channel, std::size_t begin, std::size_t end);
// Upward zero crossings of one channel of interleaved stereo per second.
double CrossingsPerSecond(const std::vector<float>& stereo, int channel, std::size_t begin,
                          std::size_t end, int rate);

}  // namespace vesta::test
