#include "render/image/TextureSize.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vesta {
namespace {

bool isPowerOfTwo(int value) {
    return value > 0 && (value & (value - 1)) == 0;
}

// The source pixels and weights that make one output pixel along one axis.
struct Taps {
    int first = 0;
    std::vector<float> weights;
};

// Shrinking averages the source span each output pixel covers, so thin
// details fade instead of vanishing; growing interpolates between the two
// nearest pixel centres.
std::vector<Taps> axisTaps(int from, int to) {
    std::vector<Taps> taps(static_cast<std::size_t>(to));
    const double scale = static_cast<double>(from) / to;
    for (int i = 0; i < to; ++i) {
        Taps& tap = taps[static_cast<std::size_t>(i)];
        if (from > to) {
            const double begin = i * scale;
            const double end = begin + scale;
            tap.first = static_cast<int>(begin);
            for (int s = tap.first; s < from && s < end; ++s) {
                const double covered = std::min<double>(s + 1, end) - std::max<double>(s, begin);
                tap.weights.push_back(static_cast<float>(covered / scale));
            }
        } else {
            const double centre = std::clamp((i + 0.5) * scale - 0.5, 0.0, from - 1.0);
            tap.first = static_cast<int>(centre);
            const float fraction = static_cast<float>(centre - tap.first);
            tap.weights = {1.0f - fraction};
            if (tap.first + 1 < from) {
                tap.weights.push_back(fraction);
            }
        }
    }
    return taps;
}

// Filters `lines` lines of `length` values spaced `stride` apart.
template <typename In>
std::vector<float> filterAxis(const In* source, int from, int to, int lines, int channels,
                              bool alongRows) {
    const std::vector<Taps> taps = axisTaps(from, to);
    std::vector<float> out(std::size_t(to) * lines * channels, 0.0f);
    for (int line = 0; line < lines; ++line) {
        for (int i = 0; i < to; ++i) {
            const Taps& tap = taps[std::size_t(i)];
            const std::size_t target = alongRows ? (std::size_t(line) * to + i) * channels
                                                 : (std::size_t(i) * lines + line) * channels;
            for (std::size_t k = 0; k < tap.weights.size(); ++k) {
                const int s = tap.first + static_cast<int>(k);
                const std::size_t at = alongRows ? (std::size_t(line) * from + s) * channels
                                                 : (std::size_t(s) * lines + line) * channels;
                for (int c = 0; c < channels; ++c) {
                    out[target + c] += tap.weights[k] * static_cast<float>(source[at + c]);
                }
            }
        }
    }
    return out;
}

}  // namespace

int NearestPowerOfTwo(int size, int maximum) {
    int best = 1;
    for (int p = 1; p > 0 && p <= maximum; p *= 2) {
        // Strictly nearer only: the smaller power wins a tie.
        if (std::abs(p - size) < std::abs(best - size)) {
            best = p;
        }
    }
    return best;
}

TextureSize ChooseTextureSize(int width, int height, int maximum) {
    TextureSize size;
    size.width = NearestPowerOfTwo(width, maximum);
    size.height = NearestPowerOfTwo(height, maximum);
    size.resized =
        !isPowerOfTwo(width) || !isPowerOfTwo(height) || width > maximum || height > maximum;
    return size;
}

std::string PowerOfTwoWarning(const std::string& name, int width, int height, int textureWidth,
                              int textureHeight) {
    char line[512];
    std::snprintf(line, sizeof line,
                  "PERFORMANCE Warning in file [%s] : Size SHOULD be a power of 2 (is %dx%d). "
                  "Resizing to (%dx%d)",
                  name.c_str(), width, height, textureWidth, textureHeight);
    return line;
}

std::vector<std::uint8_t> Resample(const std::uint8_t* pixels, int width, int height, int channels,
                                   int targetWidth, int targetHeight) {
    const std::vector<float> wide = filterAxis(pixels, width, targetWidth, height, channels, true);
    const std::vector<float> scaled =
        filterAxis(wide.data(), height, targetHeight, targetWidth, channels, false);
    std::vector<std::uint8_t> out(scaled.size());
    std::transform(scaled.begin(), scaled.end(), out.begin(), [](float value) {
        return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
    });
    return out;
}

}  // namespace vesta
