#pragma once
// The PAK archive layout (all integers little-endian):
//   "PAK", u16 version 1024, u32 entry count, then per entry:
//   u32 data offset, u32 name length L (with its NUL), u32 compressed name length Z,
//   Z bytes of zlib-compressed name, u32 stored size S, u32 size U, u32 flags.
// Entry data lie at their absolute offsets; flag bit 0 marks a zlib stream.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace vesta::pak {

inline constexpr char kMagic[3] = {'P', 'A', 'K'};
inline constexpr std::uint16_t kVersion = 1024;
inline constexpr std::size_t kHeaderSize = 9;
inline constexpr std::uint32_t kFlagCompressed = 1;

struct Entry {
    std::string name;  // as stored, without its NUL
    std::uint32_t offset = 0;
    std::uint32_t storedSize = 0;
    std::uint32_t size = 0;
    std::uint32_t flags = 0;

    bool Compressed() const { return (flags & kFlagCompressed) != 0; }
};

inline std::uint32_t ReadU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

inline void AppendU16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void AppendU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

}  // namespace vesta::pak
