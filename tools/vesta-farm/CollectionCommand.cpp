// Records every production of a list whole, one task each, and sums up what
// became of each one.

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "FarmArguments.h"
#include "FarmCommands.h"
#include "FarmPlan.h"
#include "Processes.h"
#include "Production.h"
#include "ShowLength.h"
#include "SlurmScript.h"

namespace vesta::farm {
namespace {

struct Entry {
    Production production;
    std::string output;
    double length = 0.0;
    std::int64_t frames = 0;
    std::string status = "recorded";
    std::string message;
};

std::vector<std::string> readList(const std::string& path) {
    std::ifstream in(path);
    if (!in) {
        throw UsageError("cannot read the list '" + path + "'");
    }
    std::vector<std::string> names;
    const std::filesystem::path base = std::filesystem::absolute(path).parent_path();
    for (std::string line; std::getline(in, line);) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) {
            line.pop_back();
        }
        if (!line.empty() && line[0] != '#') {
            // Relative names are relative to the list, wherever it is read from.
            names.push_back((base / line).lexically_normal().string());
        }
    }
    return names;
}

std::string summaryTable(const std::vector<Entry>& entries) {
    std::string table;
    char line[1024];
    std::snprintf(line, sizeof line, "%-24s %8s %10s  %-8s %s\n", "production", "frames",
                  "duration", "status", "message");
    table += line;
    for (const Entry& entry : entries) {
        const std::string frames = entry.frames > 0 ? std::to_string(entry.frames) : "-";
        char duration[32] = "-";
        if (entry.length > 0.0) {
            std::snprintf(duration, sizeof duration, "%.2f s", entry.length);
        }
        std::snprintf(line, sizeof line, "%-24s %8s %10s  %-8s %s\n", entry.production.name.c_str(),
                      frames.c_str(), duration, entry.status.c_str(), entry.message.c_str());
        std::string row = line;
        row.erase(row.find_last_not_of(" \n") + 1);
        table += row + "\n";
    }
    return table;
}

// What the cluster's tasks left: each one's exit status and its log's message.
std::vector<Outcome> readOutcomes(const std::vector<Task>& tasks,
                                  const std::vector<std::string>& statusFiles) {
    std::vector<Outcome> outcomes(tasks.size());
    for (std::size_t t = 0; t < tasks.size(); ++t) {
        std::ifstream status(statusFiles[t]);
        if (!(status >> outcomes[t].exitCode)) {
            outcomes[t].exitCode = -1;
            outcomes[t].lastError = "the task did not finish";
            continue;
        }
        int requeued = 0;
        status >> requeued;
        std::ifstream log(tasks[t].log);
        std::ostringstream text;
        text << log.rdbuf();
        outcomes[t].lastError = LastLine(text.str());
        if (outcomes[t].exitCode != 0 && requeued > 0) {
            outcomes[t].lastError += " (also when requeued)";
        }
    }
    return outcomes;
}

int submit(const std::string& script, const std::filesystem::path& work, bool dryRun) {
    if (dryRun) {
        std::fputs(script.c_str(), stdout);
        return 0;
    }
    std::filesystem::create_directories(work);
    const std::string path = (work / "submit.sh").string();
    std::ofstream(path) << script;
    std::string out;
    std::string err;
    if (RunForOutput("/bin/sh", {path}, out, err) != 0) {
        std::fprintf(stderr, "vesta-farm: submitting to Slurm failed: %s\n", LastLine(err).c_str());
        return 1;
    }
    std::fputs(out.c_str(), stdout);
    return 0;
}

}  // namespace

int Collection(std::span<const std::string_view> args) {
    RecordOptions options;
    std::vector<Entry> entries;
    std::filesystem::path folder;
    bool local = false;
    bool dryRun = false;
    bool summarize = false;
    std::vector<std::string> summaryCommand;
    try {
        const Arguments parsed =
            ParseFarmArguments(args, {"-o", "--mode", "--fps", "--codec", "--seed", "--player"},
                               {"--local", "--dry-run", "--summarize"});
        if (parsed.positional.size() != 1 || parsed.Value("-o").empty()) {
            throw UsageError("collection needs LIST and -o DIR");
        }
        local = parsed.Has("--local");
        dryRun = parsed.Has("--dry-run");
        summarize = parsed.Has("--summarize");
        if (int(local) + int(dryRun) + int(summarize) > 1) {
            throw UsageError("--local, --dry-run and --summarize exclude each other");
        }
        // The summary task runs this command again, with the same options.
        summaryCommand.push_back("collection");
        for (std::string_view arg : args) {
            if (arg != "--dry-run") {
                summaryCommand.emplace_back(arg);
            }
        }
        summaryCommand.push_back("--summarize");
        folder = std::filesystem::absolute(parsed.Value("-o"));
        options.mode = parsed.Value("--mode", options.mode);
        options.fps = std::strtod(parsed.Value("--fps", "25").c_str(), nullptr);
        if (!(options.fps > 0.0)) {
            throw UsageError("--fps needs a positive number");
        }
        options.codec = parsed.Value("--codec", options.codec);
        options.seed = parsed.Value("--seed");
        for (const std::string& name : readList(parsed.positional[0])) {
            Entry entry;
            entry.production = ResolveProduction(name, parsed.Value("--player"));
            entries.push_back(entry);
        }
    } catch (const UsageError& error) {
        std::fprintf(stderr, "vesta-farm: %s\nTry 'vesta-farm --help'.\n", error.what());
        return kUsageError;
    }
    std::filesystem::create_directories(folder);

    std::vector<Task> tasks;
    std::vector<std::size_t> taskEntry;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        Entry& entry = entries[i];
        // Two productions of one name would write one file.
        entry.output = (folder / (entry.production.name + ".mkv")).string();
        for (std::size_t j = 0; j < i; ++j) {
            if (entries[j].output == entry.output) {
                entry.output =
                    (folder / (entry.production.name + "-" + std::to_string(i) + ".mkv")).string();
            }
        }
        try {
            entry.length = ShowLength(entry.production.player, entry.production.folder);
        } catch (const ShowLengthError& error) {
            entry.status = "failed";
            entry.message = error.what();
            continue;
        }
        entry.frames = FrameCount(entry.length, options.fps);
        std::vector<std::string> run = {"VideoOut", "--headless"};
        if (!entry.production.folder.empty()) {
            run.insert(run.end(), {"--dir", entry.production.folder});
        }
        run.insert(run.end(), {"--mode", options.mode, "--fps", FormatSeconds(options.fps),
                               "--codec", options.codec, "--video", entry.output + ".partial.mkv"});
        if (!options.seed.empty()) {
            run.insert(run.end(), {"--seed", options.seed});
        }
        tasks.push_back({entry.production.player, run, entry.output + ".log"});
        taskEntry.push_back(i);
    }
    std::vector<std::string> statusFiles;
    for (const Task& task : tasks) {
        statusFiles.push_back(task.log.substr(0, task.log.size() - 4) + ".status");
    }
    std::vector<Outcome> outcomes;
    if (local || tasks.empty()) {
        outcomes =
            RunAll(tasks, static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));
    } else if (summarize) {
        outcomes = readOutcomes(tasks, statusFiles);
    } else {
        const std::string script = CollectionScript(tasks, statusFiles, (folder / "slurm").string(),
                                                    ThisProgram(), summaryCommand);
        return submit(script, folder / "slurm", dryRun);
    }
    for (std::size_t t = 0; t < outcomes.size(); ++t) {
        Entry& entry = entries[taskEntry[t]];
        const std::string partial = entry.output + ".partial.mkv";
        std::error_code error;
        if (outcomes[t].exitCode == 0) {
            // Only a finished recording takes the place of an earlier one.
            std::filesystem::rename(partial, entry.output, error);
        }
        if (outcomes[t].exitCode != 0 || error) {
            entry.status = "failed";
            entry.message = error ? error.message() : outcomes[t].lastError;
            entry.frames = 0;
            std::filesystem::remove(partial, error);
        }
    }
    const std::string table = summaryTable(entries);
    std::ofstream(folder / "summary.txt") << table;
    std::fputs(table.c_str(), stdout);
    for (const Entry& entry : entries) {
        if (entry.status != "recorded") {
            return 1;
        }
    }
    return 0;
}

}  // namespace vesta::farm
