#include "render/dynamic/DynaPalette.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "script/TextNumbers.h"

namespace vesta {
namespace {

struct PaletteStop {
    std::uint8_t index = 0;
    PaletteColour colour;
};

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) {
            return parts;
        }
        start = end + 1;
    }
}

// Out-of-range channels are clamped: packed unchecked they would spill into
// the neighbouring channel.
int channel(std::string_view text) {
    return std::clamp(ParseIntPrefix(text), 0, 255);
}

std::optional<PaletteStop> readStop(std::string_view text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos || TrimBlanks(text.substr(0, equals)).empty()) {
        return std::nullopt;
    }
    const std::int32_t index = ParseIntPrefix(text.substr(0, equals));
    const std::vector<std::string_view> values = split(text.substr(equals + 1), ',');
    if (index < 0 || index > 255 || (values.size() != 3 && values.size() != 4)) {
        return std::nullopt;
    }
    // Four values lead with one that has no part in the colour.
    const std::size_t first = values.size() - 3;
    return PaletteStop{
        static_cast<std::uint8_t>(index),
        {channel(values[first]), channel(values[first + 1]), channel(values[first + 2])}};
}

}  // namespace

std::uint32_t PackPaletteColour(const PaletteColour& c, int bitsPerPixel, std::uint32_t redMask) {
    const auto r = static_cast<std::uint32_t>(c.r);
    const auto g = static_cast<std::uint32_t>(c.g);
    const auto b = static_cast<std::uint32_t>(c.b);
    if (bitsPerPixel != 16) {
        return r << 16 | g << 8 | b;
    }
    if (redMask == 0xF800) {
        return (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3);
    }
    return (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3);
}

DynaPalette::DynaPalette(int bitsPerPixel, std::uint32_t redMask)
    : m_bitsPerPixel(bitsPerPixel), m_redMask(redMask) {}

void DynaPalette::Gradient(std::uint8_t from, const PaletteColour& fromColour, std::uint8_t to,
                           const PaletteColour& toColour) {
    m_entries[from] = PackPaletteColour(fromColour, m_bitsPerPixel, m_redMask);
    m_entries[to] = PackPaletteColour(toColour, m_bitsPerPixel, m_redMask);
    const int span = static_cast<std::uint8_t>(to - from);
    const auto blend = [span](int a, int b, int k) {
        return static_cast<int>(static_cast<float>(a) + static_cast<float>(k) *
                                                            static_cast<float>(b - a) /
                                                            static_cast<float>(span));
    };
    for (int k = 1; k < span; ++k) {
        const PaletteColour colour{blend(fromColour.r, toColour.r, k),
                                   blend(fromColour.g, toColour.g, k),
                                   blend(fromColour.b, toColour.b, k)};
        m_entries[static_cast<std::uint8_t>(from + k)] =
            PackPaletteColour(colour, m_bitsPerPixel, m_redMask);
    }
}

void DynaPalette::SetDefault() {
    static constexpr PaletteStop kStops[] = {
        {0, {0, 0, 0}},      {15, {20, 20, 20}},   {31, {200, 0, 0}},
        {47, {252, 160, 0}}, {63, {252, 252, 80}}, {255, {252, 252, 252}},
    };
    for (std::size_t i = 0; i + 1 < std::size(kStops); ++i) {
        Gradient(kStops[i].index, kStops[i].colour, kStops[i + 1].index, kStops[i + 1].colour);
    }
}

void DynaPalette::SetFromText(std::string_view text) {
    std::vector<PaletteStop> stops;
    for (std::string_view part : split(text, ';')) {
        if (const std::optional<PaletteStop> stop = readStop(part)) {
            stops.push_back(*stop);
        }
    }
    if (stops.size() == 1) {
        m_entries[stops[0].index] = PackPaletteColour(stops[0].colour, m_bitsPerPixel, m_redMask);
    }
    for (std::size_t i = 0; i + 1 < stops.size(); ++i) {
        Gradient(stops[i].index, stops[i].colour, stops[i + 1].index, stops[i + 1].colour);
    }
}

}  // namespace vesta
