#pragma once
// Archives for the file-system tests, written without the project's writer so
// that the reader is checked against the format itself.

#include <cstdint>
#include <string>
#include <vector>
#include <zlib.h>

#include "EngineState.h"

namespace vesta::test {

struct RawEntry {
    std::string name;
    std::vector<std::uint8_t> data;
    bool compress = true;
    int level = Z_BEST_SPEED;
};

inline void putU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int s = 0; s < 32; s += 8) {
        out.push_back(static_cast<std::uint8_t>(v >> s));
    }
}

inline std::vector<std::uint8_t> zlibCompress(const std::vector<std::uint8_t>& in, int level) {
    uLongf size = compressBound(static_cast<uLong>(in.size()));
    std::vector<std::uint8_t> out(size);
    compress2(out.data(), &size, in.data(), static_cast<uLong>(in.size()), level);
    out.resize(size);
    return out;
}

// Another writer's choices: its own zlib levels, and entry data stored in
// the reverse order of the directory, so offsets must be followed.
inline std::vector<std::uint8_t> BuildForeignArchive(const std::vector<RawEntry>& entries,
                                                     std::uint16_t version = 1024) {
    std::vector<std::vector<std::uint8_t>> stored;
    for (const RawEntry& e : entries) {
        stored.push_back(e.compress ? zlibCompress(e.data, e.level) : e.data);
    }
    std::vector<std::vector<std::uint8_t>> names;
    std::size_t directorySize = 9;
    for (const RawEntry& e : entries) {
        std::vector<std::uint8_t> name(e.name.begin(), e.name.end());
        name.push_back(0);
        names.push_back(zlibCompress(name, Z_BEST_COMPRESSION));
        directorySize += 24 + names.back().size();
    }
    std::vector<std::uint8_t> out = {'P', 'A', 'K', static_cast<std::uint8_t>(version),
                                     static_cast<std::uint8_t>(version >> 8)};
    putU32(out, static_cast<std::uint32_t>(entries.size()));
    std::vector<std::uint32_t> offsets(entries.size());
    std::uint32_t at = static_cast<std::uint32_t>(directorySize);
    for (std::size_t i = entries.size(); i-- > 0;) {
        offsets[i] = at;
        at += static_cast<std::uint32_t>(stored[i].size());
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        putU32(out, offsets[i]);
        putU32(out, static_cast<std::uint32_t>(entries[i].name.size() + 1));
        putU32(out, static_cast<std::uint32_t>(names[i].size()));
        out.insert(out.end(), names[i].begin(), names[i].end());
        putU32(out, static_cast<std::uint32_t>(stored[i].size()));
        putU32(out, static_cast<std::uint32_t>(entries[i].data.size()));
        putU32(out, entries[i].compress ? 1 : 0);
    }
    for (std::size_t i = entries.size(); i-- > 0;) {
        out.insert(out.end(), stored[i].begin(), stored[i].end());
    }
    return out;
}

}  // namespace vesta::test
