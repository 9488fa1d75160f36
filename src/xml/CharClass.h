#pragma once
// One table lookup per byte tells the scanners everything they need.

#include <array>
#include <cstdint>
#include <cstring>

namespace AdvXMLParser::detail {

enum CharClass : std::uint8_t {
    kSpace = 1,
    kNameStart = 2,
    kNameChar = 4,
    kTextStop = 8,        // ends a run of character data
    kAttributeStop = 16,  // ends a run of attribute value that needs no rewriting
    kForbidden = 32,      // control characters XML does not allow
    kPubidChar = 64,
};

constexpr std::array<std::uint8_t, 256> makeCharClasses() {
    std::array<std::uint8_t, 256> table{};
    for (int c = 1; c < 32; ++c) {
        if (c != '\t' && c != '\n' && c != '\r') {
            table[c] = kForbidden | kTextStop | kAttributeStop;
        }
    }
    // Byte 0 never occurs inside the text (it ends it), so it marks the end of input.
    table[0] = kTextStop | kAttributeStop;
    for (unsigned char c : {' ', '\t', '\n', '\r'}) {
        table[c] |= kSpace;
    }
    for (int c = 'a'; c <= 'z'; ++c) {
        table[c] |= kNameStart | kNameChar;
        table[c - 'a' + 'A'] |= kNameStart | kNameChar;
    }
    table['_'] |= kNameStart | kNameChar;
    table[':'] |= kNameStart | kNameChar;
    for (int c = '0'; c <= '9'; ++c) {
        table[c] |= kNameChar;
    }
    table['.'] |= kNameChar;
    table['-'] |= kNameChar;
    for (int c = 192; c <= 255; ++c) {
        if (c != 215 && c != 247) {
            table[c] |= kNameChar;
        }
    }
    for (int c = 0; c < 128; ++c) {
        if ((table[c] & kNameChar) && c != ':' && c != '.' && c != '_') {
            table[c] |= kPubidChar;  // letters, digits and '-'
        }
    }
    for (unsigned char c : {' ', '\r', '\n', '\'', '(', ')', '+', ',', '.', '/', ':',
                            '=', '?',  ';',  '!',  '*', '#', '@', '$', '_', '%'}) {
        table[c] |= kPubidChar;
    }
    for (unsigned char c : {'<', '&', ']'}) {
        table[c] |= kTextStop;
    }
    for (unsigned char c : {'"', '\'', '<', '&', '\t', '\n', '\r'}) {
        table[c] |= kAttributeStop;
    }
    return table;
}

inline constexpr std::array<std::uint8_t, 256> kCharClasses = makeCharClasses();

inline bool hasClass(char c, std::uint8_t mask) {
    return (kCharClasses[static_cast<unsigned char>(c)] & mask) != 0;
}

// Skips eight bytes at a time while none of them can end character data: no control
// character (which includes tab, line feed and the end marker: the byte loop sorts
// those out), no '<', '&' or ']'. Needs eight readable bytes from every position it
// tests, so the text must be padded with NULs.
inline const char* skipPlainText(const char* p) {
    constexpr std::uint64_t kOnes = 0x0101010101010101;
    constexpr std::uint64_t kHighs = 0x8080808080808080;
    const auto hasZeroByte = [](std::uint64_t v) { return (v - kOnes) & ~v & kHighs; };
    for (;;) {
        std::uint64_t word;
        std::memcpy(&word, p, sizeof word);
        const std::uint64_t control = (word - kOnes * 0x20) & ~word & kHighs;
        if (control | hasZeroByte(word ^ (kOnes * '<')) | hasZeroByte(word ^ (kOnes * '&')) |
            hasZeroByte(word ^ (kOnes * ']'))) {
            return p;
        }
        p += sizeof word;
    }
}

}  // namespace AdvXMLParser::detail
