#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "app/CommandLine.h"
#include "app/EntryPoint.h"
#include "app/ScriptCheck.h"
#include "fs/ResourceTable.h"
#include "platform/Display.h"
#include "render/gl/GlModule.h"

namespace {

constexpr int kUsageError = 2;

bool carriesProduction() {
    return !vesta::ResourceTable::Executable().Resources().empty();
}

}  // namespace

int main(int argc, char** argv) {
    const std::string_view program = "vesta";
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    vesta::ParsedArguments parsed = vesta::ParseArguments(arguments);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "vesta: %s\nTry 'vesta --help' for more information.\n",
                     parsed.error.c_str());
        return kUsageError;
    }
    vesta::LaunchOptions& options = parsed.options;
    if (options.help) {
        std::fputs(vesta::UsageText(program).c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("vesta %s\n", VESTA_VERSION);
        return 0;
    }
    if (!options.directory.empty() && chdir(options.directory.c_str()) != 0) {
        std::fprintf(stderr, "vesta: cannot enter '%s': %s\n", options.directory.c_str(),
                     std::strerror(errno));
        return 1;
    }
    if (options.check) {
        return vesta::RunScriptCheck(stdout, stderr, options.strict, options.timeline);
    }
    if (!options.headless && !vesta::DisplayAvailable()) {
        options.displayMissing = true;
        options.headless = true;
        // The bare player has nothing to show its production on: a recording
        // is the only way to see it.
        if (arguments.empty() && carriesProduction()) {
            options.commandLine = "VideoOut";
            std::fputs("vesta: no display found; recording the show instead\n", stderr);
        } else {
            std::fputs("vesta: no display found; playing headless\n", stderr);
        }
    }
    vesta::RegisterGlModule();
    return vesta::RunPlayer(options);
}
