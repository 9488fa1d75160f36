#pragma once
// "Video Out session settings": the file to record into, its frame rate and
// the video encoder among those the file's container can hold.

#include <optional>
#include <string>

namespace vesta {

struct VideoSettingsChoice {
    std::string fileName = "Video.avi";
    float framesPerSecond = 25.0f;
    std::string videoCodec;  // empty: the container's default
};

// Runs the dialog from `initial`. OK takes the fields; it stays disabled
// while the name is empty or the rate is not a positive number. The close
// box keeps `initial`. Nullopt when no window could be opened.
std::optional<VideoSettingsChoice> RunVideoSettingsDialog(const VideoSettingsChoice& initial,
                                                          std::string& error);

// The frame rate as the field holds it: the number "%f" reads at its start;
// nullopt unless it is positive and at most 1000.
std::optional<float> ReadFrameRateField(const std::string& text);

}  // namespace vesta
