#pragma once
// The 16-bit key of texture maps and effect parameters.

#include <cstdint>
#include <string_view>

namespace vesta {

// CRC-16/MODBUS of the name's bytes (no case folding), returned with its two
// bytes exchanged; only the low 16 bits of the length count.
constexpr std::uint16_t NameHash(std::string_view name) {
    const std::size_t length = name.size() & 0xFFFF;
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < length; ++i) {
        crc ^= static_cast<std::uint8_t>(name[i]);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001)
                            : static_cast<std::uint16_t>(crc >> 1);
        }
    }
    return static_cast<std::uint16_t>((crc << 8) | (crc >> 8));
}

static_assert(NameHash("123456789") == 0x374B);
static_assert(NameHash("abc") == 0x4957);

}  // namespace vesta
