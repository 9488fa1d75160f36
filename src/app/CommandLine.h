#pragma once
// The player's command line: options in the usual Linux form, and the words
// of the production's own command line, which are found by substring search.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vesta {

struct ModeOption {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
};

struct LaunchOptions {
    std::string directory;  // -C, --dir
    bool headless = false;
    bool displayMissing = false;  // no display in the environment: headless as well
    std::optional<ModeOption> mode;
    bool windowed = false;
    bool fullscreen = false;
    std::optional<std::string> videoFile;
    std::optional<float> videoFps;
    std::optional<std::string> codec;
    std::optional<std::string> audioCodec;
    // Presentation time at which the run stops, counted from the start of the
    // show also when the run starts later.
    std::optional<double> duration;
    // Where the run starts: the show runs unseen up to there (at most one).
    std::optional<double> startTime;  // presentation seconds
    std::optional<int> startPart;     // numbered from 1
    std::optional<unsigned> seed;     // of the pseudo-random numbers; else the calendar time
    std::optional<int> soakLoops;     // passes of the show, resources reported after each
    bool watch = false;               // play on what changes on disk
    bool check = false;               // lint the production instead of playing it
    bool strict = false;              // with check: warnings fail as errors do
    bool timeline = false;            // with check: write ScriptTimeline.html
    bool help = false;
    bool version = false;
    // The render module's entry name (a plug-in's file name); else the first listed.
    std::optional<std::string> module;
    // Presentation times whose frames are written as PNG files, ascending.
    std::vector<double> screenshotTimes;
    // The words that are not options, joined by blanks; values of options are
    // not part of it, so a file named "VideoOut.avi" switches nothing on.
    std::string commandLine;
};

struct ParsedArguments {
    LaunchOptions options;
    std::string error;  // empty when the arguments are valid
};

// `arguments` excludes the program name.
ParsedArguments ParseArguments(std::span<const std::string_view> arguments);

std::optional<ModeOption> ParseMode(std::string_view text);

std::string UsageText(std::string_view program);

// The words of the production's command line, each found anywhere in the line.
struct CommandWords {
    bool videoOut = false;
    bool classicDialog = false;
    bool noVSync = false;
    bool textureCompression = false;
    bool noSound = false;
    bool noVideoModeFilter = false;
    bool lowQuality = false;
    bool fileList = false;
    bool traceEx = false;
    // Honoured only when the configuration enables debugging.
    bool timeGraph = false;
    bool logWindow = false;
    bool usageStatistics = false;
    bool logFile = false;
};

CommandWords ReadCommandWords(std::string_view commandLine, bool debugEnabled);

}  // namespace vesta
