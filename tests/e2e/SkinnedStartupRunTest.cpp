// The showcase's skinned startup dialog in the player, answered through
// xdotool as a viewer would: a click on a picture button, then Enter or
// Escape; the choices are kept for the next start.

#include <gtest/gtest.h>

#include "PlayerRun.h"

#if defined(VESTA_XVFB_RUN) && defined(VESTA_XDOTOOL)

namespace vesta::test {
namespace {

constexpr const char* kTitle = "Vesta Showcase";
// Centres of buttons in the showcase's skin (its generator places them).
constexpr const char* kRes800 = "210 161";
constexpr const char* kFullScreen = "330 221";

// Plays the showcase with the choices stored under `config`; `answer` works
// the dialog found in $window.
ProcessResult playThroughDialog(const std::filesystem::path& folder,
                                const std::filesystem::path& config, const std::string& answer) {
#ifdef VESTA_SANITIZED_WINDOW
    setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
#endif
    const std::string xdotool = std::string("timeout 30 ") + VESTA_XDOTOOL;
    const std::string script =
        "export XDG_CONFIG_HOME='" + config.string() +
        "' ALSOFT_DRIVERS=null\n"
        "timeout 90 " VESTA_PLAYER_PATH " NoSound --duration 1 & player=$!\n"
        "window=$(timeout 60 " VESTA_XDOTOOL " search --sync --onlyvisible --name '^" +
        kTitle + "$' | head -n 1)\n" + xdotool + " windowfocus --sync \"$window\"\n" + answer +
        "\nwait $player\necho $? > status\n";
    ProcessResult result =
        play(folder, {"-a", "-s", "-screen 0 1024x768x24", "bash", "-c", script}, VESTA_XVFB_RUN);
    result.exitCode = std::stoi("0" + ReadFile(folder / "status"));
    return result;
}

std::string clickAt(const char* place) {
    return std::string("timeout 30 ") + VESTA_XDOTOOL + " mousemove --window \"$window\" " + place +
           " sleep 0.3 click 1 sleep 0.3\n";
}

TEST(SkinnedStartupRunTest, ChoicesMadeByClicksAreKeptForTheNextStart) {
    TempDir dir;
    const auto stored = dir / "config/Vesta Group/Cobalt by Vesta Group/Startup.ini";
    const ProcessResult started = playThroughDialog(dir.Path(), dir / "config",
                                                    clickAt(kRes800) + clickAt(kFullScreen) +
                                                        "timeout 30 " VESTA_XDOTOOL " key Return");
    EXPECT_EQ(started.exitCode, 0) << started.err;
    EXPECT_EQ(ReadFile(stored), "[Startup]\nResolution=1\nPixelDepth=0\nFullscreen=0\n");

    // Escape at once: what is stored again is what the dialog read back.
    const ProcessResult quit =
        playThroughDialog(dir.Path(), dir / "config", "timeout 30 " VESTA_XDOTOOL " key Escape");
    EXPECT_EQ(quit.exitCode, 0) << quit.err;
    EXPECT_EQ(ReadFile(stored), "[Startup]\nResolution=1\nPixelDepth=0\nFullscreen=0\n");
}

}  // namespace
}  // namespace vesta::test

#endif
