// vesta-pak: creates, lists, extracts and verifies PAK archives, and embeds
// one into a copy of the player.

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "PakCommands.h"

namespace {

using vesta::paktool::CreateOptions;
using vesta::paktool::EmbedOptions;

constexpr int kUsageError = 2;

const char* const kUsage =
    "Usage: vesta-pak COMMAND ...\n"
    "  create OUT.pak PATH... [--store] [--level N]\n"
    "                     pack files and folders (recursively); entry names are the\n"
    "                     paths relative to each folder given, with '/'\n"
    "  list ARCHIVE       show the entries\n"
    "  extract ARCHIVE [DIR]\n"
    "                     write every entry below DIR (default: the current folder)\n"
    "  verify ARCHIVE     inflate every entry and check its size\n"
    "  embed PLAYER ARCHIVE -o OUTPUT [--resource NAME=FILE]...\n"
    "                     write a copy of PLAYER that carries ARCHIVE and the resources\n"
    "  --help, --version\n";

int usageError(const std::string& message) {
    std::fprintf(stderr, "vesta-pak: %s\nTry 'vesta-pak --help' for more information.\n",
                 message.c_str());
    return kUsageError;
}

int create(const std::vector<std::string_view>& args) {
    CreateOptions options;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--store") {
            options.store = true;
        } else if (args[i] == "--level" || args[i].starts_with("--level=")) {
            std::string_view value;
            if (args[i] == "--level") {
                if (i + 1 >= args.size()) {
                    return usageError("--level needs a number from 1 to 9");
                }
                value = args[++i];
            } else {
                value = args[i].substr(8);
            }
            const auto result =
                std::from_chars(value.data(), value.data() + value.size(), options.level);
            if (result.ec != std::errc() || result.ptr != value.data() + value.size() ||
                options.level < 1 || options.level > 9) {
                return usageError("--level needs a number from 1 to 9");
            }
        } else if (args[i].starts_with("-")) {
            return usageError("unknown option '" + std::string(args[i]) + "' for create");
        } else {
            positional.emplace_back(args[i]);
        }
    }
    if (positional.size() < 2) {
        return usageError("create needs OUT.pak and at least one file or folder");
    }
    options.output = positional.front();
    options.inputs.assign(positional.begin() + 1, positional.end());
    return vesta::paktool::Create(options);
}

int embed(const std::vector<std::string_view>& args) {
    EmbedOptions options;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" || args[i] == "--output" || args[i] == "--resource") {
            if (i + 1 >= args.size()) {
                return usageError(std::string(args[i]) + " needs a value");
            }
            const std::string value(args[++i]);
            if (args[i - 1] != "--resource") {
                options.output = value;
                continue;
            }
            const std::size_t equals = value.find('=');
            if (equals == 0 || equals == std::string::npos || equals + 1 == value.size()) {
                return usageError("--resource needs NAME=FILE");
            }
            options.resources.emplace_back(value.substr(0, equals), value.substr(equals + 1));
        } else if (args[i].starts_with("-")) {
            return usageError("unknown option '" + std::string(args[i]) + "' for embed");
        } else {
            positional.emplace_back(args[i]);
        }
    }
    if (positional.size() != 2 || options.output.empty()) {
        return usageError("embed needs PLAYER ARCHIVE -o OUTPUT");
    }
    options.player = positional[0];
    options.archive = positional[1];
    return vesta::paktool::Embed(options);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return kUsageError;
    }
    const std::string_view command = argv[1];
    const std::vector<std::string_view> args(argv + 2, argv + argc);
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "--version") {
        std::printf("vesta-pak %s\n", VESTA_VERSION);
        return 0;
    }
    if (command == "create") {
        return create(args);
    }
    if (command == "embed") {
        return embed(args);
    }
    const bool takesArchive = command == "list" || command == "verify" || command == "extract";
    if (!takesArchive) {
        return usageError("unknown command '" + std::string(command) + "'");
    }
    const std::size_t maxArgs = command == "extract" ? 2 : 1;
    if (args.empty() || args.size() > maxArgs) {
        return usageError(std::string(command) + " needs ARCHIVE" +
                          (command == "extract" ? " [DIR]" : ""));
    }
    const std::string archive(args[0]);
    if (command == "list") {
        return vesta::paktool::List(archive);
    }
    if (command == "verify") {
        return vesta::paktool::Verify(archive);
    }
    return vesta::paktool::Extract(archive, args.size() > 1 ? std::string(args[1]) : ".");
}
