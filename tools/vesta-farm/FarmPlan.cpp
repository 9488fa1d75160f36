#include "FarmPlan.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace vesta::farm {

std::vector<Segment> SplitFrames(std::int64_t frames, int segments) {
    if (segments < 1) {
        throw std::invalid_argument("at least one segment");
    }
    if (frames < segments) {
        throw std::invalid_argument("the show has " + std::to_string(frames) +
                                    " frames: too few for " + std::to_string(segments) +
                                    " segments");
    }
    std::vector<Segment> result;
    // Integer rounding of k*F/N, so that no boundary is off by a floating error.
    const auto boundary = [&](std::int64_t k) {
        return (2 * k * frames + segments) / (2 * segments);
    };
    for (int k = 0; k < segments; ++k) {
        result.push_back({boundary(k), boundary(k + 1), {}});
    }
    return result;
}

std::int64_t FrameCount(double length, double fps) {
    // A frame at time i/fps is recorded when it begins before the end; the
    // small margin keeps a length of whole frames (104 s at 25) from gaining one.
    return static_cast<std::int64_t>(std::ceil(length * fps - 1e-6));
}

Plan MakePlan(const RecordOptions& options) {
    Plan plan;
    plan.frames = FrameCount(options.length, options.fps);
    plan.segments = SplitFrames(plan.frames, options.segments);
    const std::filesystem::path output = std::filesystem::absolute(options.output);
    plan.workDir = output.string() + ".parts";
    char name[48];
    for (std::size_t k = 0; k < plan.segments.size(); ++k) {
        std::snprintf(name, sizeof name, "segment-%04zu.mkv", k);
        plan.segments[k].file = (std::filesystem::path(plan.workDir) / name).string();
    }
    plan.soundtrack = (std::filesystem::path(plan.workDir) / "soundtrack.mkv").string();
    return plan;
}

std::string FormatSeconds(double seconds) {
    // The shortest text that reads back as the same number.
    char text[40];
    for (int digits = 15; digits <= 17; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, seconds);
        if (std::strtod(text, nullptr) == seconds) {
            break;
        }
    }
    return text;
}

namespace {

std::vector<std::string> commonArguments(const RecordOptions& options) {
    std::vector<std::string> args = {"VideoOut", "--headless"};
    if (!options.production.empty()) {
        args.insert(args.end(), {"--dir", std::filesystem::absolute(options.production).string()});
    }
    args.insert(args.end(), {"--fps", FormatSeconds(options.fps)});
    if (!options.seed.empty()) {
        args.insert(args.end(), {"--seed", options.seed});
    }
    return args;
}

}  // namespace

std::vector<std::string> SegmentCommand(const RecordOptions& options, const Segment& segment) {
    std::vector<std::string> args = commonArguments(options);
    args.insert(args.begin() + 1, "NoSound");
    args.insert(args.end(),
                {"--mode", options.mode, "--codec", options.codec, "--video", segment.file});
    // Half a frame before each boundary: the frame at the boundary is on the
    // near side of it however the player rounds its clock.
    if (segment.firstFrame > 0) {
        args.insert(args.end(), {"--start-time",
                                 FormatSeconds((double(segment.firstFrame) - 0.5) / options.fps)});
    }
    args.insert(args.end(),
                {"--duration", FormatSeconds((double(segment.endFrame) - 0.5) / options.fps)});
    return args;
}

std::vector<std::string> SoundtrackCommand(const RecordOptions& options, const Plan& plan) {
    std::vector<std::string> args = commonArguments(options);
    args.insert(args.end(),
                {"--mode", "16x16x32", "--codec", "ffv1", "--video", plan.soundtrack, "--duration",
                 FormatSeconds((double(plan.frames) - 0.5) / options.fps)});
    return args;
}

}  // namespace vesta::farm
