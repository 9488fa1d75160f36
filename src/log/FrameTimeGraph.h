#pragma once
// "FpsTimeGraph.svg": the time every frame of a run took, as a picture beside
// the frame-rate samples of "FpsTimeGraph.txt". The parts are marked where
// they begin, and the slowest frames are named by part and time.

#include <string>
#include <vector>

namespace vesta {

struct FrameTime {
    float showTime = 0.0f;      // seconds since the show began
    float milliseconds = 0.0f;  // since the frame before
    int part = 0;               // from 0
    float partTime = 0.0f;      // seconds since the part began
};

// `partTitles[i]` names part i; parts beyond the list are "Part N".
std::string FormatFrameTimeGraph(const std::vector<FrameTime>& frames,
                                 const std::vector<std::string>& partTitles);

// False when the file cannot be written.
bool WriteFrameTimeGraph(const char* fileName, const std::vector<FrameTime>& frames,
                         const std::vector<std::string>& partTitles);

}  // namespace vesta
