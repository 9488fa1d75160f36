#include "script/TextNumbers.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace vesta {
namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::size_t skipSpace(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i])) {
        ++i;
    }
    return i;
}

}  // namespace

std::int32_t ParseIntPrefix(std::string_view text) {
    std::size_t i = skipSpace(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int64_t value = 0;
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kLimit) {
            value = kLimit;
        }
    }
    if (negative) {
        return static_cast<std::int32_t>(-value);
    }
    return static_cast<std::int32_t>(value >= kLimit ? kLimit - 1 : value);
}

float ParseFloatPrefix(std::string_view text, std::size_t* consumed) {
    std::size_t i = skipSpace(text);
    // from_chars takes no '+', C's strtof does (but not "+-").
    if (i + 1 < text.size() && text[i] == '+' && text[i + 1] != '-' && text[i + 1] != '+') {
        ++i;
    }
    const char* begin = text.data() + i;
    const char* end = text.data() + text.size();
    float value = 0.0f;
    const auto [ptr, error] = std::from_chars(begin, end, value, std::chars_format::general);
    if (error == std::errc::invalid_argument) {
        if (consumed) {
            *consumed = 0;
        }
        return 0.0f;
    }
    if (error == std::errc::result_out_of_range) {
        // Overflow gives infinity and underflow zero, as strtof does.
        value = std::strtof(std::string(begin, ptr).c_str(), nullptr);
    }
    if (consumed) {
        *consumed = static_cast<std::size_t>(ptr - text.data());
    }
    return value;
}

std::string FormatFixed3(float value) {
    char buffer[64];
    const int length = std::snprintf(buffer, sizeof buffer, "%.3f", static_cast<double>(value));
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof buffer) {
        std::string large(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
        std::snprintf(large.data(), large.size(), "%.3f", static_cast<double>(value));
        large.pop_back();
        return large;
    }
    return std::string(buffer, static_cast<std::size_t>(length));
}

std::string_view TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

}  // namespace vesta
