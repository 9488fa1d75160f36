// vesta-farm: records a production in segments, in parallel on this machine
// or as a Slurm job array, and joins them into one file with its soundtrack;
// records whole collections of productions the same way.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "FarmCommands.h"

namespace {

const char* const kUsage =
    "Usage: vesta-farm COMMAND ...\n"
    "  record PRODUCTION --segments N -o OUT.mkv [--local | --dry-run]\n"
    "         [--mode WxHxBPP] [--fps F] [--codec NAME] [--seed N] [--player PROGRAM]\n"
    "         [--duration T]\n"
    "                     record the show in N segments (lossless, no sound), the\n"
    "                     soundtrack once, and join them into OUT; without --local or\n"
    "                     --dry-run the tasks are submitted to Slurm with sbatch;\n"
    "                     --duration records the first T seconds only\n"
    "  collection LIST -o DIR --local [--mode ...] [--fps ...] [--codec ...] [--seed N]\n"
    "                     record every production named in LIST (one a line) whole into\n"
    "                     DIR, and write DIR/summary.txt\n"
    "  join -o OUT --fps F [--frames N,N,...] [--soundtrack FILE] SEGMENT...\n"
    "                     join recorded segments (the last step of a record)\n"
    "  status JOB         the states of a submitted run's tasks (squeue, sacct)\n"
    "PRODUCTION is a production folder or a player that carries its production.\n";

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        std::fputs(kUsage, args.empty() ? stderr : stdout);
        return args.empty() ? vesta::farm::kUsageError : 0;
    }
    const std::string_view command = args[0];
    args.erase(args.begin());
    if (command == "record") {
        return vesta::farm::Record(args);
    }
    if (command == "collection") {
        return vesta::farm::Collection(args);
    }
    if (command == "status") {
        return vesta::farm::Status(args);
    }
    if (command == "join") {
        return vesta::farm::Join(args);
    }
    std::fprintf(stderr, "vesta-farm: unknown command '%s'\nTry 'vesta-farm --help'.\n",
                 std::string(command).c_str());
    return vesta::farm::kUsageError;
}
