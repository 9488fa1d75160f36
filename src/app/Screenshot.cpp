#include "app/Screenshot.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "app/video/FrameGrab.h"
#include "render/RenderModule.h"
#include "render/image/ImageFiles.h"

namespace vesta {

void WriteBackBufferPng(RenderModule& module, const std::filesystem::path& path) {
    const int width = module.BackBufferWidth();
    const int height = module.BackBufferHeight();
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    // The video frame's layout: blue, green, red, bottom row first.
    std::vector<std::uint8_t> frame(rowBytes * static_cast<std::size_t>(height));
    if (!FrameGrab::FromBackBuffer(module, frame.data())) {
        throw std::runtime_error("cannot read the back buffer for " + path.string());
    }
    std::vector<unsigned char> rgb(frame.size());
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* from =
            frame.data() + static_cast<std::size_t>(height - 1 - y) * rowBytes;
        unsigned char* to = rgb.data() + static_cast<std::size_t>(y) * rowBytes;
        for (std::size_t x = 0; x < rowBytes; x += 3) {
            to[x] = from[x + 2];
            to[x + 1] = from[x + 1];
            to[x + 2] = from[x];
        }
    }
    WritePng(path, width, height, 3, rgb);
}

std::filesystem::path NextNumberedShot(const std::filesystem::path& folder, int& next) {
    for (;; ++next) {
        char name[32];
        std::snprintf(name, sizeof name, "Screenshot%04d.png", next);
        std::filesystem::path path = folder / name;
        std::error_code error;
        if (!std::filesystem::exists(path, error) && !error) {
            ++next;
            return path;
        }
    }
}

std::string TimedShotName(double seconds) {
    char name[48];
    std::snprintf(name, sizeof name, "Screenshot-%.3f.png", seconds);
    return name;
}

std::vector<double> ParseShotTimes(std::string_view text, std::string& error) {
    std::vector<double> times;
    for (std::size_t begin = 0; begin <= text.size();) {
        const std::size_t comma = std::min(text.find(',', begin), text.size());
        const std::string_view item = text.substr(begin, comma - begin);
        double value = 0.0;
        const auto [end, status] = std::from_chars(item.data(), item.data() + item.size(), value);
        if (item.empty() || status != std::errc() || end != item.data() + item.size() ||
            !std::isfinite(value) || value < 0.0) {
            error = "invalid --screenshot time '" + std::string(item) +
                    "': expected seconds, 0 or more, separated by commas (e.g. 1.5,10)";
            return {};
        }
        // To the millisecond, as the files are named.
        times.push_back(std::round(value * 1000.0) / 1000.0);
        begin = comma + 1;
    }
    std::sort(times.begin(), times.end());
    times.erase(std::unique(times.begin(), times.end()), times.end());
    return times;
}

}  // namespace vesta
