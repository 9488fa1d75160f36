#include "TrackerModule.h"

#include <algorithm>
#include <stdexcept>

namespace vesta::showcase {
namespace {

// Amiga periods of C-1 to B-3 at finetune 0.
constexpr std::array<int, 36> kPeriods = {
    856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453, 428, 404, 381, 360, 339, 320,
    302, 285, 269, 254, 240, 226, 214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113};

void putText(std::vector<unsigned char>& out, const std::string& text, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        out.push_back(i < text.size() ? static_cast<unsigned char>(text[i]) : 0);
    }
}

void putWord(std::vector<unsigned char>& out, std::size_t value) {
    out.push_back(static_cast<unsigned char>(value >> 8 & 0xFF));
    out.push_back(static_cast<unsigned char>(value & 0xFF));
}

void putSampleHeader(std::vector<unsigned char>& out, const ModSample* sample) {
    if (!sample) {
        putText(out, "", 22);
        out.insert(out.end(), {0, 0, 0, 0, 0, 0, 0, 1});  // empty, no loop
        return;
    }
    if (sample->data.size() % 2 != 0 || sample->data.size() > 0x1FFFE) {
        throw std::runtime_error("module sample " + sample->name + " has an unusable length");
    }
    putText(out, sample->name, 22);
    const std::size_t words = sample->data.size() / 2;
    putWord(out, words);
    out.push_back(0);  // finetune
    out.push_back(static_cast<unsigned char>(std::clamp(sample->volume, 0, 64)));
    putWord(out, 0);
    putWord(out, sample->loop ? words : 1);
}

void putCell(std::vector<unsigned char>& out, const ModCell& cell) {
    const int period = cell.note >= 0 && cell.note < 36 ? kPeriods[cell.note] : 0;
    out.push_back(static_cast<unsigned char>((cell.sample & 0xF0) | (period >> 8 & 0x0F)));
    out.push_back(static_cast<unsigned char>(period & 0xFF));
    out.push_back(static_cast<unsigned char>((cell.sample & 0x0F) << 4 | (cell.effect & 0x0F)));
    out.push_back(static_cast<unsigned char>(cell.parameter & 0xFF));
}

}  // namespace

std::vector<unsigned char> WriteMod(const ModSong& song) {
    if (song.samples.size() > 31 || song.order.empty() || song.order.size() > 128) {
        throw std::runtime_error("module " + song.title + " has too many samples or orders");
    }
    std::vector<unsigned char> out;
    putText(out, song.title, 20);
    for (std::size_t i = 0; i < 31; ++i) {
        putSampleHeader(out, i < song.samples.size() ? &song.samples[i] : nullptr);
    }
    out.push_back(static_cast<unsigned char>(song.order.size()));
    out.push_back(127);
    for (std::size_t i = 0; i < 128; ++i) {
        out.push_back(static_cast<unsigned char>(i < song.order.size() ? song.order[i] : 0));
    }
    putText(out, "M.K.", 4);
    const int highest = *std::max_element(song.order.begin(), song.order.end());
    if (highest >= static_cast<int>(song.patterns.size())) {
        throw std::runtime_error("module " + song.title + " orders a missing pattern");
    }
    for (int p = 0; p <= highest; ++p) {
        for (const auto& row : song.patterns[static_cast<std::size_t>(p)].rows) {
            for (const ModCell& cell : row) {
                putCell(out, cell);
            }
        }
    }
    for (const ModSample& sample : song.samples) {
        for (std::int8_t value : sample.data) {
            out.push_back(static_cast<unsigned char>(value));
        }
    }
    return out;
}

}  // namespace vesta::showcase
