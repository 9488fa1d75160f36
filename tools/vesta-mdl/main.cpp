// vesta-mdl: converts model files that assimp reads into MDL4 files, and
// shows what an MDL4 file holds.

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "MdlCommands.h"

namespace {

constexpr int kUsageError = 2;

const char* const kUsage =
    "Usage: vesta-mdl COMMAND ...\n"
    "  convert IN OUT.VestaMDL4\n"
    "                     convert any model file that assimp reads (glTF 2.0, OBJ,\n"
    "                     3DS, FBX, Collada, ...): node hierarchy with names kept,\n"
    "                     meshes, materials and their maps, cameras with targets,\n"
    "                     point and spot lights, the first animation sampled at\n"
    "                     30 frames a second, bones and skin.\n"
    "                     Coordinates become left-handed (z mirrored, +y up, the\n"
    "                     camera looking along +z), as the player draws them.\n"
    "  dump FILE          the chunk tree of an MDL4 file, then what a load of it\n"
    "                     counts and logs\n"
    "  --help, --version\n";

int usageError(const std::string& message) {
    std::fprintf(stderr, "vesta-mdl: %s\n%s", message.c_str(), kUsage);
    return kUsageError;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return kUsageError;
    }
    const std::string_view command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "--version") {
        std::printf("vesta-mdl %s\n", VESTA_VERSION);
        return 0;
    }
    if (command == "convert") {
        if (args.size() != 2) {
            return usageError("convert needs IN and OUT.VestaMDL4");
        }
        return vesta::mdltool::Convert(args[0], args[1]);
    }
    if (command == "dump") {
        if (args.size() != 1) {
            return usageError("dump needs one FILE");
        }
        return vesta::mdltool::Dump(args[0]);
    }
    return usageError("unknown command '" + std::string(command) + "'");
}
