#pragma once
// Pictures of the frame: the back buffer as a PNG file, numbered for the
// screenshot key or named by presentation time for --screenshot.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vesta {

class RenderModule;

// The finished frame in `module`'s back buffer as an RGB PNG file at `path`.
// Throws std::runtime_error when the buffer cannot be read or the file written.
void WriteBackBufferPng(RenderModule& module, const std::filesystem::path& path);

// The first of "Screenshot0000.png", "Screenshot0001.png"... in `folder`,
// from number `next` on, that does not exist yet; `next` moves past it, so
// that no earlier picture is ever overwritten.
std::filesystem::path NextNumberedShot(const std::filesystem::path& folder, int& next);

// The file of the screenshot at `seconds` of presentation time:
// "Screenshot-1.500.png", the time in milliseconds.
std::string TimedShotName(double seconds);

// "1.5,10,0": presentation times, 0 or more, sorted and to the millisecond,
// each once. Empty with the reason in `error` when a value is not a number.
std::vector<double> ParseShotTimes(std::string_view text, std::string& error);

}  // namespace vesta
