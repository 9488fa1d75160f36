#include "app/CommandLine.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>

#include "app/PlayKeys.h"
#include "app/Screenshot.h"

namespace vesta {
namespace {

bool contains(std::string_view line, std::string_view word) {
    return line.find(word) != std::string_view::npos;
}

template <typename Number>
std::optional<Number> parseNumber(std::string_view text) {
    Number value{};
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> parsePositive(std::string_view text) {
    const std::optional<double> value = parseNumber<double>(text);
    if (!value || !std::isfinite(*value) || *value <= 0) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> parseNonNegative(std::string_view text) {
    const std::optional<double> value = parseNumber<double>(text);
    if (!value || !std::isfinite(*value) || *value < 0) {
        return std::nullopt;
    }
    return value;
}

using ValueHandler = std::function<std::string(LaunchOptions&, std::string_view)>;

// Options that take a value; each handler returns an error text or "".
const std::map<std::string_view, ValueHandler>& valueOptions() {
    static const std::map<std::string_view, ValueHandler> handlers = {
        {"--dir",
         [](LaunchOptions& o, std::string_view v) {
             o.directory = v;
             return std::string();
         }},
        {"--mode",
         [](LaunchOptions& o, std::string_view v) {
             o.mode = ParseMode(v);
             return o.mode ? std::string()
                           : "invalid mode '" + std::string(v) +
                                 "': expected WIDTHxHEIGHTxBPP with BPP 16 or 32, e.g. 640x480x32";
         }},
        {"--video",
         [](LaunchOptions& o, std::string_view v) {
             o.videoFile = v;
             return v.empty() ? std::string("--video needs a file name") : std::string();
         }},
        {"--fps",
         [](LaunchOptions& o, std::string_view v) {
             const std::optional<double> fps = parsePositive(v);
             if (!fps || *fps > 1000) {
                 return "invalid frame rate '" + std::string(v) +
                        "': expected a number in (0, 1000]";
             }
             o.videoFps = static_cast<float>(*fps);
             return std::string();
         }},
        {"--codec",
         [](LaunchOptions& o, std::string_view v) {
             o.codec = v;
             return v.empty() ? std::string("--codec needs a codec name") : std::string();
         }},
        {"--audio-codec",
         [](LaunchOptions& o, std::string_view v) {
             o.audioCodec = v;
             return v.empty() ? std::string("--audio-codec needs a codec name") : std::string();
         }},
        {"--module",
         [](LaunchOptions& o, std::string_view v) {
             o.module = v;
             return v.empty() ? std::string("--module needs a module name") : std::string();
         }},
        {"--seed",
         [](LaunchOptions& o, std::string_view v) {
             const std::optional<unsigned long> seed = parseNumber<unsigned long>(v);
             if (!seed || *seed > 0xFFFFFFFFul) {
                 return "invalid seed '" + std::string(v) +
                        "': expected a whole number from 0 to 4294967295";
             }
             o.seed = static_cast<unsigned>(*seed);
             return std::string();
         }},
        {"--duration",
         [](LaunchOptions& o, std::string_view v) {
             o.duration = parsePositive(v);
             return o.duration ? std::string()
                               : "invalid duration '" + std::string(v) +
                                     "': expected a positive number of seconds";
         }},
        {"--start-time",
         [](LaunchOptions& o, std::string_view v) {
             o.startTime = parseNonNegative(v);
             return o.startTime ? std::string()
                                : "invalid start time '" + std::string(v) +
                                      "': expected a number of seconds, 0 or more";
         }},
        {"--start-part",
         [](LaunchOptions& o, std::string_view v) {
             const std::optional<int> part = parseNumber<int>(v);
             if (!part || *part < 1) {
                 return "invalid part '" + std::string(v) + "': expected a part number from 1 on";
             }
             o.startPart = *part;
             return std::string();
         }},
        {"--screenshot",
         [](LaunchOptions& o, std::string_view v) {
             std::string error;
             o.screenshotTimes = ParseShotTimes(v, error);
             return error;
         }},
        {"--soak",
         [](LaunchOptions& o, std::string_view v) {
             const std::optional<int> loops = parseNumber<int>(v);
             if (!loops || *loops < 1) {
                 return "invalid loop count '" + std::string(v) +
                        "': expected a whole number from 1 on";
             }
             o.soakLoops = *loops;
             return std::string();
         }},
    };
    return handlers;
}

bool applyFlag(LaunchOptions& options, std::string_view flag) {
    if (flag == "--headless") {
        options.headless = true;
    } else if (flag == "--windowed") {
        options.windowed = true;
    } else if (flag == "--fullscreen") {
        options.fullscreen = true;
    } else if (flag == "--help" || flag == "-h") {
        options.help = true;
    } else if (flag == "--watch") {
        options.watch = true;
    } else if (flag == "--check") {
        options.check = true;
    } else if (flag == "--strict") {
        options.strict = true;
    } else if (flag == "--timeline") {
        options.timeline = true;
    } else if (flag == "--version") {
        options.version = true;
    } else {
        return false;
    }
    return true;
}

std::string checkCombination(const LaunchOptions& options) {
    if (options.windowed && options.fullscreen) {
        return "--windowed and --fullscreen exclude each other";
    }
    if (options.strict && !options.check) {
        return "--strict goes with --check";
    }
    if (options.timeline && !options.check) {
        return "--timeline goes with --check";
    }
    if ((options.windowed || options.fullscreen) && !options.mode) {
        return std::string(options.windowed ? "--windowed" : "--fullscreen") + " needs --mode";
    }
    if (options.startTime && options.startPart) {
        return "--start-time and --start-part exclude each other";
    }
    if (options.soakLoops && (options.startTime || options.startPart)) {
        return "--soak plays the whole show: it excludes --start-time and --start-part";
    }
    if (!options.screenshotTimes.empty()) {
        char time[32];
        std::snprintf(time, sizeof time, "%g", options.screenshotTimes.front());
        if (options.soakLoops) {
            return "--soak and --screenshot exclude each other";
        }
        if (options.startTime && options.screenshotTimes.front() < *options.startTime) {
            return "--screenshot " + std::string(time) + " comes before --start-time";
        }
        std::snprintf(time, sizeof time, "%g", options.screenshotTimes.back());
        if (options.duration && options.screenshotTimes.back() >= *options.duration) {
            return "--screenshot " + std::string(time) + " comes after the end of --duration";
        }
    }
    if (options.startTime && options.duration && *options.duration <= *options.startTime) {
        return "--duration counts from the start of the show: it must end after --start-time";
    }
    return {};
}

void appendWord(std::string& line, std::string_view word) {
    if (!line.empty()) {
        line += ' ';
    }
    line += word;
}

}  // namespace

std::optional<ModeOption> ParseMode(std::string_view text) {
    ModeOption mode;
    int* fields[] = {&mode.width, &mode.height, &mode.bitsPerPixel};
    std::size_t begin = 0;
    for (int i = 0; i < 3; ++i) {
        const std::size_t end = i < 2 ? text.find('x', begin) : text.size();
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        const std::optional<int> value = parseNumber<int>(text.substr(begin, end - begin));
        if (!value || *value <= 0 || *value > 16384) {
            return std::nullopt;
        }
        *fields[i] = *value;
        begin = end + 1;
    }
    if (mode.bitsPerPixel != 16 && mode.bitsPerPixel != 32) {
        return std::nullopt;
    }
    return mode;
}

ParsedArguments ParseArguments(std::span<const std::string_view> arguments) {
    ParsedArguments parsed;
    LaunchOptions& options = parsed.options;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size() && parsed.error.empty(); ++i) {
        std::string_view argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            appendWord(options.commandLine, argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (applyFlag(options, argument)) {
            continue;
        }
        // "-C DIR", "-CDIR", "--name VALUE" and "--name=VALUE".
        std::string_view name = argument;
        std::optional<std::string_view> value;
        if (argument.starts_with("-C")) {
            name = "--dir";
            if (argument.size() > 2) {
                value = argument.substr(2);
            }
        } else if (const std::size_t equals = argument.find('=');
                   equals != std::string_view::npos) {
            name = argument.substr(0, equals);
            value = argument.substr(equals + 1);
        }
        const auto handler = valueOptions().find(name);
        if (handler == valueOptions().end()) {
            parsed.error = "unknown option '" + std::string(argument) + "'";
            break;
        }
        if (!value) {
            if (i + 1 >= arguments.size()) {
                parsed.error = "option '" + std::string(argument) + "' needs a value";
                break;
            }
            value = arguments[++i];
        }
        parsed.error = handler->second(options, *value);
    }
    if (parsed.error.empty()) {
        parsed.error = checkCombination(options);
    }
    // Recording options only make sense while recording.
    if ((options.videoFile || options.videoFps || options.codec || options.audioCodec) &&
        !contains(options.commandLine, "VideoOut")) {
        appendWord(options.commandLine, "VideoOut");
    }
    return parsed;
}

std::string UsageText(std::string_view program) {
    const std::string name(program);
    std::string keyLines;
    for (const PlayKeyLine& line : PlayKeyLines()) {
        keyLines += "  " + line.keys + std::string(13 - line.keys.size(), ' ') + line.action + "\n";
    }
    keyLines += "A pause holds the picture, the music and the sound together. Seeks run the show\n"
                "unseen to their target, as --start-time does (backwards: from its start). A\n"
                "looped part plays again from its first frame at its end. F1 to F9 set speeds\n"
                "1, 2, 3, 4, 10, 1/2, 1/4, 1/10 and 1/20 when the script says TIMESTRETCH Yes.\n"
                "F12 writes the frame to Screenshot0000.png, Screenshot0001.png... in the\n"
                "current folder, never over an existing file.\n";
    return "Usage: " + name +
           " [OPTION]... [WORD]...\n"
           "Plays the production embedded in the player, or the one in the current folder.\n"
           "\n"
           "Options:\n"
           "  -C, --dir DIR          play the production in DIR\n"
           "      --headless         render offscreen, without a window or dialogs\n"
           "      --mode WxHxBPP     video mode instead of the startup dialog (e.g. 640x480x32)\n"
           "      --windowed         with --mode: play in a window\n"
           "      --fullscreen       with --mode: play full screen\n"
           "      --video FILE       record into FILE (implies VideoOut)\n"
           "      --fps RATE         frame rate of the recording (implies VideoOut)\n"
           "      --codec NAME       video codec of the recording (implies VideoOut)\n"
           "      --audio-codec NAME audio codec of the recording's soundtrack (implies VideoOut)\n"
           "      --duration SECONDS stop after this much presentation time, counted from\n"
           "                         the start of the show (also with --start-time)\n"
           "      --start-time SECONDS\n"
           "                         start at this presentation time: the show runs unseen\n"
           "                         and unheard up to there, then plays or records as a run\n"
           "                         from the start shows it there\n"
           "      --start-part N     start at the first frame of part N (from 1, as --check\n"
           "                         numbers them)\n"
           "      --module NAME      draw through the render module NAME (a plug-in's file\n"
           "                         name in ./drv or in an archive, or \"Internal Module\")\n"
           "      --seed N           seed the effects' pseudo-random numbers with N, so that two\n"
           "                         runs draw alike (default: the calendar time; a recording\n"
           "                         logs the seed it used)\n"
           "      --soak LOOPS       play the show LOOPS times in one run, as fast as it draws,\n"
           "                         every frame 0.4 s of the show (ten times a 25 fps\n"
           "                         recording's step), and write the live textures, buffers,\n"
           "                         sounds and resident memory to standard error after each\n"
           "                         pass (a test of long runs)\n"
           "      --screenshot SECONDS[,SECONDS...]\n"
           "                         write the frames of these presentation times as\n"
           "                         Screenshot-SECONDS.png (e.g. Screenshot-1.500.png) in the\n"
           "                         current folder; the run steps like a 25 fps recording (or\n"
           "                         at the recording's rate) and, without --duration or\n"
           "                         --video, ends after the last picture (for --headless runs)\n"
           "      --watch            while playing, read again what changes on disk: a\n"
           "                         changed script or include resumes the show at the same\n"
           "                         part and time (a script with a mistake is not played:\n"
           "                         the mistake is shown and the old script goes on), a\n"
           "                         changed picture is replaced where it is used; files in\n"
           "                         archives or in the player are not watched, and nothing\n"
           "                         is while recording\n"
           "      --check            read the configuration and the script, report what they\n"
           "                         hold and any mistake, and exit without playing: errors\n"
           "                         exit 1, warnings alone exit 0\n"
           "      --strict           with --check: warnings exit 1 as well\n"
           "      --timeline         with --check: write ScriptTimeline.html, a picture of\n"
           "                         the parts, blocks and effects' lives on one time axis\n"
           "  -h, --help             show this help and exit\n"
           "      --version          show the version and exit\n"
           "\n"
           "Words (found anywhere in the remaining arguments):\n"
           "  VideoOut    record every frame into a video file at a fixed frame rate\n"
           "  ClassicDlg  use the classic startup dialog\n"
           "  NoVSync     do not wait for vertical synchronisation\n"
           "  DXTC        compress textures\n"
           "  NoSound     play without sound\n"
           "  NoVMFilter  list every video mode in the classic dialog\n"
           "  LQ          low-quality textures (at most 512 pixels)\n"
           "  gfl         write the names of the files used to FileList.txt\n"
           "  TraceEx     add registers and a traceback to crash reports\n"
           "With <Debug Enable=\"True\"/> in DefaultConfig.xml also:\n"
           "  LogFile     write the log to Logging.txt\n"
           "  LogWindow   show the log window\n"
           "  tg          write the frame-rate graph to FpsTimeGraph.txt\n"
           "  us          write the effect usage statistics\n"
           "\n"
           "Keys while playing (not while recording, nor with --screenshot):\n" +
           keyLines +
           "\n"
           "Exit status: 0 when the production ended or was left (or --check found\n"
           "nothing wrong), 1 after an error,\n"
           "2 for invalid options or a start the show never reaches.\n";
}

CommandWords ReadCommandWords(std::string_view line, bool debugEnabled) {
    CommandWords words;
    words.videoOut = contains(line, "VideoOut");
    words.classicDialog = contains(line, "ClassicDlg");
    words.noVSync = contains(line, "NoVSync");
    words.textureCompression = contains(line, "DXTC");
    words.noSound = contains(line, "NoSound");
    words.noVideoModeFilter = contains(line, "NoVMFilter");
    words.lowQuality = contains(line, "LQ");
    words.fileList = contains(line, "gfl");
    words.traceEx = contains(line, "TraceEx");
    if (debugEnabled) {
        words.timeGraph = contains(line, "tg");
        words.logWindow = contains(line, "LogWindow");
        words.usageStatistics = contains(line, "us");
        words.logFile = contains(line, "LogFile");
    }
    return words;
}

}  // namespace vesta
