#include "log/FrameTimeGraph.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <numeric>
#include <tuple>

namespace vesta {
namespace {

constexpr float kWidth = 1200.0f, kHeight = 360.0f;
constexpr float kLeft = 56.0f, kTop = 24.0f, kBottom = 40.0f, kRight = 16.0f;
constexpr std::size_t kSlowestNamed = 5;

std::string number(double value, int decimals = 2) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        out += c == '<' ? std::string("&lt;") : c == '&' ? std::string("&amp;") : std::string(1, c);
    }
    return out;
}

std::string titleOf(const std::vector<std::string>& titles, int part) {
    return part >= 0 && static_cast<std::size_t>(part) < titles.size()
               ? titles[static_cast<std::size_t>(part)]
               : "Part " + std::to_string(part + 1);
}

// A round number of milliseconds at or above the slowest frame.
float scaleTop(float slowest) {
    for (const float step : {10.0f, 20.0f, 25.0f, 50.0f, 100.0f, 200.0f, 250.0f, 500.0f}) {
        if (slowest <= step) {
            return step;
        }
    }
    return std::ceil(slowest / 1000.0f) * 1000.0f;
}

}  // namespace

std::string FormatFrameTimeGraph(const std::vector<FrameTime>& frames,
                                 const std::vector<std::string>& partTitles) {
    float slowest = 0.0f;
    for (const FrameTime& frame : frames) {
        slowest = std::max(slowest, frame.milliseconds);
    }
    const float top = scaleTop(slowest);
    const float plotWidth = kWidth - kLeft - kRight, plotHeight = kHeight - kTop - kBottom;
    const std::size_t count = std::max<std::size_t>(frames.size(), 1);
    const auto x = [&](std::size_t index) {
        return kLeft + plotWidth * static_cast<float>(index) / static_cast<float>(count);
    };
    const auto y = [&](float ms) { return kTop + plotHeight * (1.0f - std::min(ms / top, 1.0f)); };

    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + number(kWidth, 0) +
                      "\" height=\"" + number(kHeight, 0) +
                      "\" font-family=\"sans-serif\" font-size=\"11\">\n"
                      "<rect width=\"100%\" height=\"100%\" fill=\"#1b1b22\"/>\n";
    // Milliseconds on the left, with the 60 and 25 frames a second lines.
    for (int step = 0; step <= 4; ++step) {
        const float ms = top * static_cast<float>(step) / 4.0f;
        svg += "<line x1=\"" + number(kLeft) + "\" x2=\"" + number(kWidth - kRight) + "\" y1=\"" +
               number(y(ms)) + "\" y2=\"" + number(y(ms)) + "\" stroke=\"#333\"/>";
        svg += "<text x=\"4\" y=\"" + number(y(ms) + 4.0f) + "\" fill=\"#889\">" + number(ms, 0) +
               " ms</text>\n";
    }
    for (const auto& [ms, label, fromRight] :
         {std::tuple{1000.0f / 60.0f, "60 fps", 44.0f}, {40.0f, "25 fps", 90.0f}}) {
        if (ms < top) {
            svg += "<line x1=\"" + number(kLeft) + "\" x2=\"" + number(kWidth - kRight) +
                   "\" y1=\"" + number(y(ms)) + "\" y2=\"" + number(y(ms)) +
                   "\" stroke=\"#4a6\" stroke-dasharray=\"4 3\"/><text x=\"" +
                   number(kWidth - kRight - fromRight) + "\" y=\"" + number(y(ms) - 3.0f) +
                   "\" fill=\"#4a6\">" + label + "</text>\n";
        }
    }
    // Where each part begins.
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (i == 0 || frames[i].part != frames[i - 1].part) {
            svg += "<g class=\"part\"><line x1=\"" + number(x(i)) + "\" x2=\"" + number(x(i)) +
                   "\" y1=\"" + number(kTop) + "\" y2=\"" + number(kHeight - kBottom) +
                   "\" stroke=\"#e8c547\"/><text x=\"" + number(x(i) + 3.0f) + "\" y=\"" +
                   number(kHeight - kBottom + 14.0f) + "\" fill=\"#e8c547\">" +
                   escaped(titleOf(partTitles, frames[i].part)) + "</text></g>\n";
        }
    }
    // The frame times, one point a frame.
    std::string points;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        points += number(x(i)) + "," + number(y(frames[i].milliseconds)) + " ";
    }
    svg += "<polyline fill=\"none\" stroke=\"#5aa9e6\" stroke-width=\"1\" points=\"" + points +
           "\"/>\n";
    // The slowest frames, named.
    std::vector<std::size_t> order(frames.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    const std::size_t named = std::min(kSlowestNamed, order.size());
    std::partial_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(named),
                      order.end(), [&](std::size_t a, std::size_t b) {
                          return frames[a].milliseconds > frames[b].milliseconds;
                      });
    std::string list;
    for (std::size_t k = 0; k < named; ++k) {
        const FrameTime& frame = frames[order[k]];
        const std::string text = number(frame.milliseconds, 1) + " ms: frame " +
                                 std::to_string(order[k]) + ", " + titleOf(partTitles, frame.part) +
                                 " at " + number(frame.partTime) + " s";
        svg += "<circle cx=\"" + number(x(order[k])) + "\" cy=\"" + number(y(frame.milliseconds)) +
               "\" r=\"3\" fill=\"#f07050\"><title>" + escaped(text) + "</title></circle>\n";
        list += "<text x=\"" + number(kLeft + 8.0f) + "\" y=\"" +
                number(kTop + 14.0f + 13.0f * static_cast<float>(k)) + "\" fill=\"#f07050\">" +
                escaped(text) + "</text>\n";
    }
    svg += list + "<text x=\"" + number(kLeft) + "\" y=\"14\" fill=\"#ddd\">Frame times of " +
           std::to_string(frames.size()) + " frames; the slowest named</text>\n</svg>\n";
    return svg;
}

bool WriteFrameTimeGraph(const char* fileName, const std::vector<FrameTime>& frames,
                         const std::vector<std::string>& partTitles) {
    std::ofstream out(fileName, std::ios::binary);
    out << FormatFrameTimeGraph(frames, partTitles);
    return static_cast<bool>(out.flush());
}

}  // namespace vesta
