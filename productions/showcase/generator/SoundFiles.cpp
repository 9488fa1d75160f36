#include "SoundFiles.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <sndfile.h>
#include <stdexcept>
#include <string>

namespace vesta::showcase {
namespace {

struct MemoryFile {
    std::vector<unsigned char> bytes;
    sf_count_t position = 0;
};

MemoryFile& fileOf(void* user) {
    return *static_cast<MemoryFile*>(user);
}

sf_count_t fileLength(void* user) {
    return static_cast<sf_count_t>(fileOf(user).bytes.size());
}

sf_count_t fileSeek(sf_count_t offset, int whence, void* user) {
    MemoryFile& file = fileOf(user);
    const sf_count_t base = whence == SEEK_SET   ? 0
                            : whence == SEEK_CUR ? file.position
                                                 : fileLength(user);
    if (base + offset < 0) {
        return -1;
    }
    file.position = base + offset;
    return file.position;
}

sf_count_t fileRead(void* destination, sf_count_t count, void* user) {
    MemoryFile& file = fileOf(user);
    const sf_count_t available = std::max<sf_count_t>(0, fileLength(user) - file.position);
    const sf_count_t taken = std::clamp<sf_count_t>(count, 0, available);
    if (taken > 0) {
        std::memcpy(destination, file.bytes.data() + file.position,
                    static_cast<std::size_t>(taken));
    }
    file.position += taken;
    return taken;
}

sf_count_t fileWrite(const void* source, sf_count_t count, void* user) {
    MemoryFile& file = fileOf(user);
    const auto end = static_cast<std::size_t>(file.position + count);
    if (end > file.bytes.size()) {
        file.bytes.resize(end);
    }
    std::memcpy(file.bytes.data() + file.position, source, static_cast<std::size_t>(count));
    file.position += count;
    return count;
}

sf_count_t fileTell(void* user) {
    return fileOf(user).position;
}

// The CRC of Ogg pages: polynomial 0x04C11DB7, most significant bit first,
// starting from 0.
std::uint32_t oggCrc(const unsigned char* data, std::size_t size) {
    std::uint32_t crc = 0;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= static_cast<std::uint32_t>(data[i]) << 24;
        for (int bit = 0; bit < 8; ++bit) {
            crc = crc & 0x80000000u ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
        }
    }
    return crc;
}

void putLittleEndian(unsigned char* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

// Rewrites the serial number of every page and its checksum with it.
void fixSerial(std::vector<unsigned char>& ogg, std::uint32_t serial) {
    constexpr std::size_t kHeader = 27, kSerialAt = 14, kCrcAt = 22, kSegmentsAt = 26;
    std::size_t page = 0;
    while (page + kHeader <= ogg.size() && std::memcmp(&ogg[page], "OggS", 4) == 0) {
        const std::size_t segments = ogg[page + kSegmentsAt];
        std::size_t size = kHeader + segments;
        for (std::size_t s = 0; s < segments && page + kHeader + s < ogg.size(); ++s) {
            size += ogg[page + kHeader + s];
        }
        if (page + size > ogg.size()) {
            break;
        }
        putLittleEndian(&ogg[page + kSerialAt], serial);
        putLittleEndian(&ogg[page + kCrcAt], 0);
        putLittleEndian(&ogg[page + kCrcAt], oggCrc(&ogg[page], size));
        page += size;
    }
    if (page != ogg.size()) {
        throw std::runtime_error("libsndfile wrote an Ogg stream that does not end on a page");
    }
}

}  // namespace

std::vector<unsigned char> EncodeOggVorbis(const Stereo& sound, double quality) {
    static SF_VIRTUAL_IO io = {fileLength, fileSeek, fileRead, fileWrite, fileTell};
    MemoryFile file;
    SF_INFO info{};
    info.samplerate = kAudioRate;
    info.channels = 2;
    info.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    SNDFILE* out = sf_open_virtual(&io, SFM_WRITE, &info, &file);
    if (!out) {
        throw std::runtime_error(std::string("cannot encode Ogg Vorbis: ") + sf_strerror(nullptr));
    }
    sf_command(out, SFC_SET_VBR_ENCODING_QUALITY, &quality, sizeof quality);
    std::vector<float> interleaved(sound.Frames() * 2);
    for (std::size_t i = 0; i < sound.Frames(); ++i) {
        interleaved[2 * i] = sound.left[i];
        interleaved[2 * i + 1] = sound.right[i];
    }
    const auto frames = static_cast<sf_count_t>(sound.Frames());
    const sf_count_t written = sf_writef_float(out, interleaved.data(), frames);
    sf_close(out);
    if (written != frames) {
        throw std::runtime_error("libsndfile took only part of the sound");
    }
    fixSerial(file.bytes, 0x56455354u);  // "VEST"
    return file.bytes;
}

}  // namespace vesta::showcase
