// What became of a submitted farm run's jobs, in Slurm's words: the queue
// for tasks still waiting or running, the accounting for those that ended.

#include <cstdio>
#include <string>

#include "FarmCommands.h"
#include "Processes.h"

namespace vesta::farm {

int Status(std::span<const std::string_view> args) {
    if (args.size() != 1 || args[0].empty() ||
        args[0].find_first_not_of("0123456789_,") != std::string_view::npos) {
        std::fputs("vesta-farm: status needs one job id (as record printed it)\n", stderr);
        return kUsageError;
    }
    const std::string job(args[0]);
    std::string out;
    std::string err;
    bool told = false;
    if (RunForOutput("/bin/sh", {"-c", "squeue -h -r -j " + job + " -o '%i %j %T %r'"}, out, err) ==
            0 &&
        !out.empty()) {
        std::printf("queued or running:\n%s", out.c_str());
        told = true;
    }
    if (RunForOutput("/bin/sh",
                     {"-c", "sacct -n -X -P -j " + job + " -o JobID,JobName,State,ExitCode"}, out,
                     err) == 0 &&
        !out.empty()) {
        std::printf("accounted (job|name|state|exit code):\n%s", out.c_str());
        told = true;
    }
    if (!told) {
        std::fprintf(stderr, "vesta-farm: Slurm knows no job %s%s%s\n", job.c_str(),
                     err.empty() ? "" : ": ", LastLine(err).c_str());
        return 1;
    }
    return 0;
}

}  // namespace vesta::farm
