#include "SoundTestData.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <libopenmpt/libopenmpt.h>
#include <numbers>
#include <sndfile.h>
#include <stdexcept>

namespace vesta::test {
namespace {

// libsndfile writing into and reading from a byte vector.
struct Memory {
    std::vector<std::uint8_t> bytes;
    sf_count_t position = 0;
};

sf_count_t length(void* user) {
    return static_cast<sf_count_t>(static_cast<Memory*>(user)->bytes.size());
}
sf_count_t seek(sf_count_t offset, int whence, void* user) {
    auto* m = static_cast<Memory*>(user);
    const sf_count_t base = whence == SEEK_SET   ? 0
                            : whence == SEEK_CUR ? m->position
                                                 : sf_count_t(m->bytes.size());
    m->position = std::max<sf_count_t>(0, base + offset);
    return m->position;
}
sf_count_t read(void* to, sf_count_t count, void* user) {
    auto* m = static_cast<Memory*>(user);
    const sf_count_t left = std::max<sf_count_t>(0, sf_count_t(m->bytes.size()) - m->position);
    const sf_count_t n = std::min(count, left);
    std::memcpy(to, m->bytes.data() + m->position, size_t(n));
    m->position += n;
    return n;
}
sf_count_t write(const void* from, sf_count_t count, void* user) {
    auto* m = static_cast<Memory*>(user);
    const auto end = size_t(m->position + count);
    if (m->bytes.size() < end) {
        m->bytes.resize(end);
    }
    std::memcpy(m->bytes.data() + m->position, from, size_t(count));
    m->position += count;
    return count;
}
sf_count_t tell(void* user) {
    return static_cast<Memory*>(user)->position;
}
SF_VIRTUAL_IO memoryIo = {length, seek, read, write, tell};

void put16(std::vector<std::uint8_t>& out, std::size_t at, unsigned value) {
    out[at] = std::uint8_t(value >> 8);
    out[at + 1] = std::uint8_t(value);
}

void putNote(std::vector<std::uint8_t>& out, std::size_t pattern, int row, int channel,
             unsigned sample, unsigned period, unsigned effect, unsigned parameter) {
    const std::size_t at = pattern + std::size_t(row * 4 + channel) * 4;
    out[at] = std::uint8_t((sample & 0xF0) | (period >> 8));
    out[at + 1] = std::uint8_t(period);
    out[at + 2] = std::uint8_t(((sample & 0x0F) << 4) | effect);
    out[at + 3] = std::uint8_t(parameter);
}

}  // namespace

std::vector<std::uint8_t> MakeSineFile(int format, int rate, const std::vector<Tone>& channels,
                                       double seconds) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = int(channels.size());
    int subtype = SF_FORMAT_PCM_24;
    if (format == SF_FORMAT_OGG) {
        subtype = SF_FORMAT_VORBIS;
    } else if (format == SF_FORMAT_MPEG) {
        subtype = SF_FORMAT_MPEG_LAYER_III;
    }
    info.format = format | subtype;
    Memory memory;
    SNDFILE* file = sf_open_virtual(&memoryIo, SFM_WRITE, &info, &memory);
    if (!file) {
        throw std::runtime_error(sf_strerror(nullptr));
    }
    const auto frames = std::size_t(seconds * rate);
    std::vector<float> data(frames * channels.size());
    for (std::size_t i = 0; i < frames; ++i) {
        for (std::size_t c = 0; c < channels.size(); ++c) {
            const double phase = 2.0 * std::numbers::pi * channels[c].frequency * double(i) / rate;
            data[i * channels.size() + c] = float(channels[c].amplitude * std::sin(phase));
        }
    }
    sf_writef_float(file, data.data(), sf_count_t(frames));
    sf_close(file);
    return memory.bytes;
}

std::vector<float> DecodeWithSndfile(const std::vector<std::uint8_t>& bytes, int& channels) {
    Memory memory{bytes, 0};
    SF_INFO info{};
    SNDFILE* file = sf_open_virtual(&memoryIo, SFM_READ, &info, &memory);
    if (!file) {
        throw std::runtime_error("reference decode failed");
    }
    channels = info.channels;
    std::vector<float> all;
    std::vector<float> chunk(1000 * std::size_t(info.channels));
    while (const sf_count_t n = sf_readf_float(file, chunk.data(), 1000)) {
        all.insert(all.end(), chunk.begin(), chunk.begin() + n * info.channels);
    }
    sf_close(file);
    return all;
}

std::vector<std::uint8_t> MakeModule() {
    constexpr std::size_t kHeader = 1084;
    constexpr std::size_t kPattern = 64 * 4 * 4;
    constexpr unsigned kSampleWords = 16;
    std::vector<std::uint8_t> out(kHeader + kPattern + kSampleWords * 2, 0);
    std::memcpy(out.data(), "vesta test", 10);
    const std::size_t sample = 20;  // the first of 31 headers of 30 bytes
    std::memcpy(out.data() + sample, "square", 6);
    put16(out, sample + 22, kSampleWords);
    out[sample + 25] = 64;       // volume
    put16(out, sample + 26, 0);  // loop start
    put16(out, sample + 28, kSampleWords);
    out[950] = 1;    // song length
    out[951] = 127;  // restart
    std::memcpy(out.data() + 1080, "M.K.", 4);
    putNote(out, kHeader, 0, 0, 1, 428, 0, 0);
    putNote(out, kHeader, 8, 1, 1, 214, 0, 0);
    putNote(out, kHeader, 15, 0, 0, 0, 0xD, 0);  // pattern break: the song ends
    for (unsigned i = 0; i < kSampleWords * 2; ++i) {
        out[kHeader + kPattern + i] = std::uint8_t(i < kSampleWords ? 100 : -100);
    }
    return out;
}

std::vector<float> RenderWithOpenmpt(const std::vector<std::uint8_t>& bytes, int rate) {
    openmpt_module* module = openmpt_module_create_from_memory2(
        bytes.data(), bytes.size(), openmpt_log_func_silent, nullptr, openmpt_error_func_ignore,
        nullptr, nullptr, nullptr, nullptr);
    if (!module) {
        throw std::runtime_error("reference module failed");
    }
    std::vector<float> all;
    std::vector<float> chunk(2 * 777);
    while (const std::size_t n =
               openmpt_module_read_interleaved_float_stereo(module, rate, 777, chunk.data())) {
        all.insert(all.end(), chunk.begin(), chunk.begin() + std::ptrdiff_t(2 * n));
    }
    openmpt_module_destroy(module);
    return all;
}

double RmsDifference(const float* a, const float* b, std::size_t count) {
    double sum = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        sum += double(a[i] - b[i]) * double(a[i] - b[i]);
    }
    return count ? std::sqrt(sum / double(count)) : 0.0;
}

float Peak(const std::vector<float>& stereo, int channel, std::size_t begin, std::size_t end) {
    float peak = 0.0f;
    for (std::size_t i = begin; i < end; ++i) {
        peak = std::max(peak, std::fabs(stereo[2 * i + std::size_t(channel)]));
    }
    return peak;
}

double CrossingsPerSecond(const std::vector<float>& stereo, int channel, std::size_t begin,
                          std::size_t end, int rate) {
    int crossings = 0;
    for (std::size_t i = begin + 1; i < end; ++i) {
        const float before = stereo[2 * (i - 1) + std::size_t(channel)];
        const float now = stereo[2 * i + std::size_t(channel)];
        crossings += before < 0.0f && now >= 0.0f;
    }
    return crossings * double(rate) / double(end - begin);
}

}  // namespace vesta::test
