#pragma once
// Reads a recording back through libavformat and libavcodec, independently of
// the writer: stream facts, every picture as BGR bottom-up, every sample.

#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

namespace vesta::test {

struct ReadBack {
    bool opened = false;
    std::string container;

    bool hasVideo = false;
    std::string videoCodec;
    int width = 0;
    int height = 0;
    int rateNumerator = 0;  // frames per second as the stream states it
    int rateDenominator = 0;
    std::vector<std::vector<std::uint8_t>> frames;  // width * height * 3, bottom row first
    // Each video packet's presentation time in frames (the stream's time base
    // scaled by the frame rate), in file order.
    std::vector<std::int64_t> framePts;
    // When the first decoded picture and the first decoded sample are shown,
    // in seconds (NaN without one): what a player lines up.
    double firstFrameSeconds = std::numeric_limits<double>::quiet_NaN();
    double firstSampleSeconds = std::numeric_limits<double>::quiet_NaN();
    // The length the file states for itself and for its video stream, in
    // seconds; negative when it states none (an unfinished file).
    double formatSeconds = -1.0;
    double videoStreamSeconds = -1.0;

    bool hasAudio = false;
    std::string audioCodec;
    int sampleRate = 0;
    int channels = 0;
    std::vector<float> samples;  // interleaved
};

ReadBack ReadRecording(const std::filesystem::path& file);

// Root mean square of each whole window of `window` stereo frames of
// interleaved `samples`: the shape of a sound track, window by window.
std::vector<double> Loudness(const std::vector<float>& samples, std::size_t window);

}  // namespace vesta::test
