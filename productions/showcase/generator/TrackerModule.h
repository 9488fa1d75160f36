#pragma once
// ProTracker modules ("M.K.", four channels, 31 samples): the song as
// samples, patterns of 64 rows and an order list, and its file bytes.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vesta::showcase {

struct ModSample {
    std::string name;
    std::vector<std::int8_t> data;  // an even number of bytes
    int volume = 64;                // 0 to 64
    bool loop = false;              // then the loop is the whole sample
};

struct ModCell {
    int sample = 0;  // 1-based, 0 keeps the channel's sample
    int note = -1;   // semitones from C-1 (0) to B-3 (35); -1 for none
    int effect = 0;
    int parameter = 0;
};

struct ModPattern {
    static constexpr int kRows = 64, kChannels = 4;
    std::array<std::array<ModCell, kChannels>, kRows> rows{};
};

struct ModSong {
    std::string title;
    std::vector<ModSample> samples;  // at most 31
    std::vector<ModPattern> patterns;
    std::vector<int> order;  // pattern numbers, at most 128
};

std::vector<unsigned char> WriteMod(const ModSong& song);

// Effects used by the tunes.
inline constexpr int kArpeggio = 0x0, kVolumeSlide = 0xA, kSetVolume = 0xC, kSetSpeed = 0xF;

}  // namespace vesta::showcase
