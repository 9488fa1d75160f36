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

}  // namespace

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
