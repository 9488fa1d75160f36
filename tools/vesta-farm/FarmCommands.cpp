#include "FarmCommands.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "FarmArguments.h"
#include "FarmPlan.h"
#include "Processes.h"
#include "Production.h"
#include "SegmentJoin.h"
#include "ShowLength.h"
#include "SlurmScript.h"

namespace vesta::farm {
namespace {

int usageError(const std::string& message) {
    std::fprintf(stderr, "vesta-farm: %s\nTry 'vesta-farm --help'.\n", message.c_str());
    return kUsageError;
}

int failure(const std::string& message) {
    std::fprintf(stderr, "vesta-farm: %s\n", message.c_str());
    return 1;
}

double parsePositive(const std::string& text, const std::string& what) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(value > 0.0)) {
        throw UsageError(what + " needs a positive number, not '" + text + "'");
    }
    return value;
}

int processors() {
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

}  // namespace

int Record(std::span<const std::string_view> args) {
    RecordOptions options;
    bool local = false;
    bool dryRun = false;
    try {
        const Arguments parsed = ParseFarmArguments(
            args,
            {"--segments", "-o", "--mode", "--fps", "--codec", "--seed", "--player", "--duration"},
            {"--local", "--dry-run"});
        if (parsed.positional.size() != 1) {
            throw UsageError("record needs one PRODUCTION");
        }
        options.output = parsed.Value("-o");
        if (options.output.empty()) {
            throw UsageError("record needs -o OUT.mkv");
        }
        const double segments = parsePositive(parsed.Value("--segments", "1"), "--segments");
        if (segments != static_cast<int>(segments) || segments > 10000) {
            throw UsageError("--segments needs a whole number from 1 to 10000");
        }
        options.segments = static_cast<int>(segments);
        options.mode = parsed.Value("--mode", options.mode);
        options.fps = parsePositive(parsed.Value("--fps", "25"), "--fps");
        options.codec = parsed.Value("--codec", options.codec);
        options.seed = parsed.Value("--seed");
        if (!parsed.Value("--duration").empty()) {
            options.length = parsePositive(parsed.Value("--duration"), "--duration");
        }
        local = parsed.Has("--local");
        dryRun = parsed.Has("--dry-run");
        if (local && dryRun) {
            throw UsageError("--local and --dry-run exclude each other");
        }
        const Production production =
            ResolveProduction(parsed.positional[0], parsed.Value("--player"));
        options.player = production.player;
        options.production = production.folder;
    } catch (const UsageError& error) {
        return usageError(error.what());
    }

    Plan plan;
    try {
        // A --duration shorter than the show records its beginning only.
        const double show = ShowLength(options.player, options.production);
        options.length = options.length > 0.0 ? std::min(options.length, show) : show;
        plan = MakePlan(options);
    } catch (const std::exception& error) {
        return failure(error.what());
    }
    if (dryRun) {
        std::fputs(SlurmScript(options, plan, ThisProgram()).c_str(), stdout);
        return 0;
    }
    std::filesystem::create_directories(plan.workDir);
    if (!local) {
        const std::string script = (std::filesystem::path(plan.workDir) / "submit.sh").string();
        if (FILE* file = std::fopen(script.c_str(), "w")) {
            std::fputs(SlurmScript(options, plan, ThisProgram()).c_str(), file);
            std::fclose(file);
        }
        std::string out;
        std::string err;
        if (RunForOutput("/bin/sh", {script}, out, err) != 0) {
            return failure("submitting to Slurm failed: " + LastLine(err));
        }
        std::printf("%s", out.c_str());
        return 0;
    }

    std::vector<Task> tasks;
    for (std::size_t k = 0; k < plan.segments.size(); ++k) {
        const Segment& segment = plan.segments[k];
        tasks.push_back({options.player, SegmentCommand(options, segment), segment.file + ".log"});
    }
    tasks.push_back({options.player, SoundtrackCommand(options, plan), plan.soundtrack + ".log"});
    const std::vector<Outcome> outcomes = RunAll(tasks, processors());
    bool failed = false;
    for (std::size_t k = 0; k < outcomes.size(); ++k) {
        if (outcomes[k].exitCode != 0) {
            std::fprintf(stderr, "vesta-farm: %s failed (exit %d): %s\n",
                         k < plan.segments.size() ? ("segment " + std::to_string(k)).c_str()
                                                  : "the soundtrack",
                         outcomes[k].exitCode, outcomes[k].lastError.c_str());
            failed = true;
        }
    }
    if (failed) {
        return 1;
    }
    const std::vector<std::string> join = JoinCommand(options, plan);
    std::vector<std::string_view> joinArgs(join.begin() + 1, join.end());
    return Join(joinArgs);
}

int Join(std::span<const std::string_view> args) {
    JoinRequest request;
    try {
        const Arguments parsed =
            ParseFarmArguments(args, {"-o", "--fps", "--frames", "--soundtrack"}, {});
        request.output = parsed.Value("-o");
        if (request.output.empty() || parsed.positional.empty()) {
            throw UsageError("join needs -o OUT and at least one segment");
        }
        request.fps = parsePositive(parsed.Value("--fps", "25"), "--fps");
        request.soundtrack = parsed.Value("--soundtrack");
        request.segments = parsed.positional;
        const std::string frames = parsed.Value("--frames");
        for (std::size_t begin = 0; begin < frames.size();) {
            const std::size_t end = std::min(frames.find(',', begin), frames.size());
            request.frames.push_back(static_cast<std::int64_t>(
                parsePositive(frames.substr(begin, end - begin), "--frames")));
            begin = end + 1;
        }
    } catch (const UsageError& error) {
        return usageError(error.what());
    }
    try {
        const std::int64_t frames = JoinSegments(request);
        std::printf("%s: %lld frames from %zu segments\n", request.output.c_str(),
                    static_cast<long long>(frames), request.segments.size());
        return 0;
    } catch (const JoinError& error) {
        return failure(error.what());
    }
}

}  // namespace vesta::farm
