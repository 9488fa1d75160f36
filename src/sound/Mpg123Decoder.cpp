// MPEG audio decoded from memory by libmpg123 itself rather than through
// libsndfile: only a handle of our own can be told to keep quiet, and a damaged
// frame ("Illegal Audio-MPEG-Header", "Trying to resync") is then no chatter
// on standard error.

#include <algorithm>
#include <cstring>
#include <mpg123.h>

#include "sound/Decoder.h"

namespace vesta {
namespace {

struct MemoryInput {
    std::vector<std::uint8_t> bytes;
    std::size_t position = 0;
};

mpg123_ssize_t readMemory(void* handle, void* destination, size_t count) {
    auto* input = static_cast<MemoryInput*>(handle);
    const std::size_t taken = std::min(count, input->bytes.size() - input->position);
    std::memcpy(destination, input->bytes.data() + input->position, taken);
    input->position += taken;
    return static_cast<mpg123_ssize_t>(taken);
}

off_t seekMemory(void* handle, off_t offset, int whence) {
    auto* input = static_cast<MemoryInput*>(handle);
    const auto size = static_cast<off_t>(input->bytes.size());
    const off_t base = whence == SEEK_CUR   ? static_cast<off_t>(input->position)
                       : whence == SEEK_END ? size
                                            : 0;
    const off_t target = base + offset;
    if (target < 0 || target > size) {
        return -1;
    }
    input->position = static_cast<std::size_t>(target);
    return target;
}

class Mpg123Decoder final : public Decoder {
public:
    explicit Mpg123Decoder(std::vector<std::uint8_t> bytes) {
        m_input.bytes = std::move(bytes);
        int error = MPG123_OK;
        m_handle = mpg123_new(nullptr, &error);
        if (!m_handle) {
            m_failure = mpg123_plain_strerror(error);
            return;
        }
        mpg123_param(m_handle, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_FORCE_FLOAT | MPG123_GAPLESS,
                     0.0);
        mpg123_param(m_handle, MPG123_REMOVE_FLAGS, MPG123_AUTO_RESAMPLE, 0.0);
        long rate = 0;
        int encoding = 0;
        if (mpg123_replace_reader_handle(m_handle, readMemory, seekMemory, nullptr) != MPG123_OK ||
            mpg123_open_handle(m_handle, &m_input) != MPG123_OK ||
            mpg123_getformat(m_handle, &rate, &m_channels, &encoding) != MPG123_OK) {
            // A reader that reaches the end looking for a frame asks to seek
            // past it; libmpg123 then blames the seek.
            m_failure = mpg123_errcode(m_handle) == MPG123_LSEEK_FAILED
                            ? "the file ends before its first MPEG audio frame"
                            : mpg123_strerror(m_handle);
            return;
        }
        m_rate = static_cast<int>(rate);
    }
    ~Mpg123Decoder() override {
        if (m_handle) {
            mpg123_close(m_handle);
            mpg123_delete(m_handle);
        }
    }
    Mpg123Decoder(const Mpg123Decoder&) = delete;
    Mpg123Decoder& operator=(const Mpg123Decoder&) = delete;

    bool IsOpen() const { return m_failure.empty() && m_rate > 0 && m_channels > 0; }
    const std::string& Failure() const { return m_failure; }

    int Rate() const override { return m_rate; }
    int Channels() const override { return m_channels; }

    std::size_t Read(float* interleaved, std::size_t frames) override {
        const std::size_t frameBytes = sizeof(float) * static_cast<std::size_t>(m_channels);
        auto* out = reinterpret_cast<unsigned char*>(interleaved);
        std::size_t filled = 0;
        const std::size_t wanted = frames * frameBytes;
        while (filled < wanted) {
            size_t done = 0;
            const int status = mpg123_read(m_handle, out + filled, wanted - filled, &done);
            filled += done;
            if (status == MPG123_NEW_FORMAT || (status == MPG123_OK && done > 0)) {
                continue;
            }
            break;  // the end, or a stream too damaged to go on
        }
        return filled / frameBytes;
    }

    bool Rewind() override { return mpg123_seek(m_handle, 0, SEEK_SET) >= 0; }

    bool Seek(double seconds) override {
        const auto frame = static_cast<off_t>(seconds * m_rate);
        // The length is known once libmpg123 has scanned the stream; an
        // unknown one (negative) leaves the check to the seek itself.
        const off_t length = mpg123_length(m_handle);
        return frame >= 0 && (length < 0 || frame < length) &&
               mpg123_seek(m_handle, frame, SEEK_SET) == frame;
    }

private:
    MemoryInput m_input;
    mpg123_handle* m_handle = nullptr;
    std::string m_failure;
    int m_rate = 0;
    int m_channels = 0;
};

}  // namespace

bool LooksLikeMpegAudio(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() >= 3 && std::memcmp(bytes.data(), "ID3", 3) == 0) {
        return true;
    }
    // A frame header: eleven set sync bits, then a layer other than the reserved 0.
    return bytes.size() >= 4 && bytes[0] == 0xFF && (bytes[1] & 0xE0) == 0xE0 &&
           (bytes[1] & 0x06) != 0;
}

std::unique_ptr<Decoder> OpenMpegAudio(std::vector<std::uint8_t> bytes, std::string* whyNot) {
    auto decoder = std::make_unique<Mpg123Decoder>(std::move(bytes));
    if (!decoder->IsOpen()) {
        if (whyNot) {
            *whyNot = decoder->Failure().empty() ? "no audio in it" : decoder->Failure();
        }
        return nullptr;
    }
    return decoder;
}

}  // namespace vesta
