// Sound files decoded from memory through libsndfile's virtual I/O.

#include <algorithm>
#include <cstring>
#include <sndfile.h>

#include "sound/Decoder.h"

namespace vesta {
namespace {

struct MemoryReader {
    std::vector<std::uint8_t> bytes;
    sf_count_t position = 0;
};

sf_count_t memoryLength(void* user) {
    return static_cast<sf_count_t>(static_cast<MemoryReader*>(user)->bytes.size());
}

sf_count_t memorySeek(sf_count_t offset, int whence, void* user) {
    auto* reader = static_cast<MemoryReader*>(user);
    const auto size = static_cast<sf_count_t>(reader->bytes.size());
    sf_count_t base = 0;
    if (whence == SEEK_CUR) {
        base = reader->position;
    } else if (whence == SEEK_END) {
        base = size;
    }
    const sf_count_t target = base + offset;
    if (target < 0 || target > size) {
        return -1;
    }
    reader->position = target;
    return target;
}

sf_count_t memoryRead(void* destination, sf_count_t count, void* user) {
    auto* reader = static_cast<MemoryReader*>(user);
    const auto size = static_cast<sf_count_t>(reader->bytes.size());
    const sf_count_t available = std::clamp<sf_count_t>(size - reader->position, 0, size);
    const sf_count_t taken = std::clamp<sf_count_t>(count, 0, available);
    if (taken > 0) {
        std::memcpy(destination, reader->bytes.data() + reader->position,
                    static_cast<std::size_t>(taken));
    }
    reader->position += taken;
    return taken;
}

sf_count_t memoryWrite(const void*, sf_count_t, void*) {
    return 0;
}

sf_count_t memoryTell(void* user) {
    return static_cast<MemoryReader*>(user)->position;
}

class SndfileDecoder final : public Decoder {
public:
    explicit SndfileDecoder(std::vector<std::uint8_t> bytes) {
        m_reader.bytes = std::move(bytes);
        static SF_VIRTUAL_IO io = {memoryLength, memorySeek, memoryRead, memoryWrite, memoryTell};
        m_file = sf_open_virtual(&io, SFM_READ, &m_info, &m_reader);
    }
    ~SndfileDecoder() override {
        if (m_file) {
            sf_close(m_file);
        }
    }
    SndfileDecoder(const SndfileDecoder&) = delete;
    SndfileDecoder& operator=(const SndfileDecoder&) = delete;

    bool IsOpen() const { return m_file && m_info.channels > 0 && m_info.samplerate > 0; }
    // Why IsOpen is false, in libsndfile's words where it has them.
    std::string Failure() const {
        return m_file ? "no channels or no sample rate" : sf_strerror(nullptr);
    }
    int Rate() const override { return m_info.samplerate; }
    int Channels() const override { return m_info.channels; }

    std::size_t Read(float* interleaved, std::size_t frames) override {
        const sf_count_t read =
            sf_readf_float(m_file, interleaved, static_cast<sf_count_t>(frames));
        return read > 0 ? static_cast<std::size_t>(read) : 0;
    }

    bool Rewind() override { return sf_seek(m_file, 0, SEEK_SET) == 0; }

    bool Seek(double seconds) override {
        const auto frame = static_cast<sf_count_t>(seconds * m_info.samplerate);
        return frame >= 0 && frame < m_info.frames && sf_seek(m_file, frame, SEEK_SET) == frame;
    }

private:
    MemoryReader m_reader;
    SF_INFO m_info{};
    SNDFILE* m_file = nullptr;
};

}  // namespace

std::unique_ptr<Decoder> OpenSoundFile(std::vector<std::uint8_t> bytes, std::string* whyNot) {
    if (LooksLikeMpegAudio(bytes)) {
        return OpenMpegAudio(std::move(bytes), whyNot);
    }
    auto decoder = std::make_unique<SndfileDecoder>(std::move(bytes));
    if (!decoder->IsOpen()) {
        if (whyNot) {
            *whyNot = decoder->Failure();
        }
        return nullptr;
    }
    return decoder;
}

void ConvertChannels(const float* in, int from, float* out, int to, std::size_t frames) {
    const auto inStride = static_cast<std::size_t>(from);
    for (std::size_t frame = 0; frame < frames; ++frame) {
        const float* source = in + frame * inStride;
        if (to == 1) {
            float sum = 0.0f;
            for (int channel = 0; channel < from; ++channel) {
                sum += source[channel];
            }
            out[frame] = sum / static_cast<float>(from);
        } else {
            out[2 * frame] = source[0];
            out[2 * frame + 1] = from == 1 ? source[0] : source[1];
        }
    }
}

}  // namespace vesta
