#pragma once
// "FpsTimeGraph.txt": the frame-rate samples of a run, for a spreadsheet that
// reads a decimal comma.

#include <span>
#include <string>

namespace vesta {

// Writes every sample before `sampleCounter` (the index of the latest one,
// which is left out), at `interval` seconds apart. False when the file
// cannot be created.
bool WriteTimeGraph(const char* fileName, std::span<const float> samples, int sampleCounter,
                    float interval);

// "%.3f" with a comma for the decimal point, whatever the process locale.
std::string FormatDecimalComma(double value);

}  // namespace vesta
