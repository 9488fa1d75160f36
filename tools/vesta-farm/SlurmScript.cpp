#include "SlurmScript.h"

#include <filesystem>
#include <sstream>

#include "Processes.h"

namespace vesta::farm {
namespace {

std::string commandLine(const std::string& program, const std::vector<std::string>& args) {
    std::string line = ShellQuote(program);
    for (const std::string& arg : args) {
        line += ' ' + ShellQuote(arg);
    }
    return line;
}

// A task that fails is put back in the queue once (Slurm requeues a batch job
// by itself only when its node fails), then fails for good.
const char* const kRetry = "retry_once() {\n"
                           "    \"$@\" && exit 0\n"
                           "    code=$?\n"
                           "    if [ \"${SLURM_RESTART_COUNT:-0}\" -eq 0 ]; then\n"
                           "        scontrol requeue \"${SLURM_ARRAY_JOB_ID:-$SLURM_JOB_ID}"
                           "${SLURM_ARRAY_TASK_ID:+_$SLURM_ARRAY_TASK_ID}\"\n"
                           "    fi\n"
                           "    exit $code\n"
                           "}\n";

void batchFile(std::ostringstream& script, const std::string& path, const std::string& body) {
    script << "cat > " << ShellQuote(path) << " <<'VESTA_FARM_END'\n"
           << "#!/bin/sh\n"
           << body << "VESTA_FARM_END\n";
}

// The player's exit status is kept for the summary, which runs whether the
// tasks succeeded or not.
const char* const kRecordOnce =
    "record_once() {\n"
    "    status=$1\n"
    "    log=$2\n"
    "    shift 2\n"
    "    \"$@\" > \"$log\" 2>&1\n"
    "    code=$?\n"
    "    echo $code \"${SLURM_RESTART_COUNT:-0}\" > \"$status\"\n"
    "    if [ $code -ne 0 ] && [ \"${SLURM_RESTART_COUNT:-0}\" -eq 0 ]; then\n"
    "        scontrol requeue \"${SLURM_ARRAY_JOB_ID}_${SLURM_ARRAY_TASK_ID}\"\n"
    "    fi\n"
    "    exit $code\n"
    "}\n";

}  // namespace

std::string CollectionScript(const std::vector<Task>& tasks, const std::vector<std::string>& status,
                             const std::string& folder, const std::string& farm,
                             const std::vector<std::string>& summary) {
    const std::filesystem::path work = folder;
    std::ostringstream script;
    script << "#!/bin/sh\n"
           << "# Records a collection of " << tasks.size()
           << " productions on Slurm. Every path is one the nodes share.\n"
           << "set -e\n"
           << "mkdir -p " << ShellQuote(work) << "\n";
    std::ostringstream array;
    array << "#SBATCH --job-name=vesta-farm-collection\n"
          << "#SBATCH --array=0-" << tasks.size() - 1 << "\n"
          << "#SBATCH --requeue\n"
          << "#SBATCH --output=" << (work / "task-%a.log").string() << "\n"
          << kRecordOnce << "case \"$SLURM_ARRAY_TASK_ID\" in\n";
    for (std::size_t k = 0; k < tasks.size(); ++k) {
        array << k << ") record_once " << ShellQuote(status[k]) << ' ' << ShellQuote(tasks[k].log)
              << ' ' << commandLine(tasks[k].program, tasks[k].args) << " ;;\n";
    }
    array << "esac\nexit 2\n";
    batchFile(script, work / "collection.sbatch", array.str());
    batchFile(script, work / "summary.sbatch",
              "#SBATCH --job-name=vesta-farm-summary\n#SBATCH --chdir=" +
                  std::filesystem::current_path().string() + "\n#SBATCH --output=" +
                  (work / "summary.log").string() + "\n" + commandLine(farm, summary) + "\n");
    script << "tasks=$(sbatch --parsable " << ShellQuote(work / "collection.sbatch") << ")\n"
           << "sbatch --parsable --dependency=afterany:${tasks%%;*} "
           << ShellQuote(work / "summary.sbatch") << "\n";
    return script.str();
}

std::vector<std::string> JoinCommand(const RecordOptions& options, const Plan& plan) {
    std::vector<std::string> args = {"join",
                                     "-o",
                                     std::filesystem::absolute(options.output),
                                     "--fps",
                                     FormatSeconds(options.fps),
                                     "--soundtrack",
                                     plan.soundtrack};
    std::string frames;
    for (const Segment& segment : plan.segments) {
        frames +=
            (frames.empty() ? "" : ",") + std::to_string(segment.endFrame - segment.firstFrame);
    }
    args.insert(args.end(), {"--frames", frames});
    for (const Segment& segment : plan.segments) {
        args.push_back(segment.file);
    }
    return args;
}

std::string SlurmScript(const RecordOptions& options, const Plan& plan, const std::string& farm) {
    const std::filesystem::path work = plan.workDir;
    std::ostringstream script;
    script << "#!/bin/sh\n"
           << "# Records " << options.output << " in " << plan.segments.size()
           << " segments on Slurm. Every path is one the nodes share.\n"
           << "set -e\n"
           << "mkdir -p " << ShellQuote(work) << "\n";

    std::ostringstream segments;
    segments << "#SBATCH --job-name=vesta-farm-segments\n"
             << "#SBATCH --array=0-" << plan.segments.size() - 1 << "\n"
             << "#SBATCH --requeue\n"
             << "#SBATCH --output=" << (work / "segment-%a.log").string() << "\n"
             << kRetry << "case \"$SLURM_ARRAY_TASK_ID\" in\n";
    for (std::size_t k = 0; k < plan.segments.size(); ++k) {
        segments << k << ") retry_once "
                 << commandLine(options.player, SegmentCommand(options, plan.segments[k]))
                 << " ;;\n";
    }
    segments << "esac\nexit 2\n";
    batchFile(script, work / "segments.sbatch", segments.str());

    batchFile(script, work / "soundtrack.sbatch",
              "#SBATCH --job-name=vesta-farm-soundtrack\n#SBATCH --requeue\n#SBATCH --output=" +
                  (work / "soundtrack.log").string() + "\n" + kRetry + "retry_once " +
                  commandLine(options.player, SoundtrackCommand(options, plan)) + "\n");
    batchFile(script, work / "join.sbatch",
              "#SBATCH --job-name=vesta-farm-join\n#SBATCH --requeue\n#SBATCH --output=" +
                  (work / "join.log").string() + "\n" + kRetry + "retry_once " +
                  commandLine(farm, JoinCommand(options, plan)) + "\n");

    script << "segments=$(sbatch --parsable " << ShellQuote(work / "segments.sbatch") << ")\n"
           << "soundtrack=$(sbatch --parsable " << ShellQuote(work / "soundtrack.sbatch") << ")\n"
           << "sbatch --parsable --dependency=afterok:${segments%%;*}:${soundtrack%%;*} "
           << ShellQuote(work / "join.sbatch") << "\n";
    return script.str();
}

}  // namespace vesta::farm
