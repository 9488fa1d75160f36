#include "log/TimeGraph.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <memory>

namespace vesta {

std::string FormatDecimalComma(double value) {
    char text[64];
    // to_chars ignores the locale, so the separator is always the one written here.
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 3);
    std::string formatted(text, result.ptr);
    std::replace(formatted.begin(), formatted.end(), '.', ',');
    return formatted;
}

bool WriteTimeGraph(const char* fileName, std::span<const float> samples, int sampleCounter,
                    float interval) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(fileName, "w"), std::fclose);
    if (!file) {
        return false;
    }
    std::fputs("Time\tFPS\t\n", file.get());
    const int count = std::min<int>(sampleCounter, static_cast<int>(samples.size()));
    for (int i = 0; i < count; ++i) {
        const std::string line = FormatDecimalComma(static_cast<float>(i) * interval) + "\t" +
                                 FormatDecimalComma(samples[static_cast<std::size_t>(i)]) + "\t\n";
        std::fputs(line.c_str(), file.get());
    }
    return true;
}

}  // namespace vesta
