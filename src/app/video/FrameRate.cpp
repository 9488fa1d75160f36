#include "app/video/FrameRate.h"

#include <cmath>

extern "C" {
#include <libavutil/rational.h>
}

namespace vesta {
namespace {

// A dialog's float holds 29.97 as 29.9699993; NTSC's rate is 29.9700030.
constexpr double kTolerance = 5e-4;
constexpr int kMaxTerm = 65535;

}  // namespace

FrameRate ChooseFrameRate(double framesPerSecond) {
    if (!std::isfinite(framesPerSecond) || framesPerSecond <= 0.0 ||
        framesPerSecond > double(kMaxTerm)) {
        return {0, 1};
    }
    const double whole = std::round(framesPerSecond);
    if (whole >= 1.0 && std::fabs(framesPerSecond - whole) < kTolerance) {
        return {int(whole), 1};
    }
    const double ntsc = std::round(framesPerSecond * 1.001);
    if (ntsc >= 1.0 && ntsc * 1000.0 <= kMaxTerm &&
        std::fabs(framesPerSecond - ntsc * 1000.0 / 1001.0) < kTolerance) {
        return {int(ntsc) * 1000, 1001};
    }
    const AVRational nearest = av_d2q(framesPerSecond, kMaxTerm);
    if (nearest.num <= 0 || nearest.den <= 0) {
        return {0, 1};
    }
    return {nearest.num, nearest.den};
}

std::int64_t AudioFramesBefore(FrameRate rate, int sampleRate, std::int64_t frame) {
    if (rate.numerator <= 0) {
        return 0;
    }
    // frame * sampleRate * den stays far inside 64 bits for any real recording.
    return frame * sampleRate * rate.denominator / rate.numerator;
}

}  // namespace vesta
