// The player's dialogs on a virtual X server, answered through xdotool as a
// viewer would: the startup dialog's Quit, the video settings' OK, an error
// dialog's OK.

#include <chrono>
#include <csignal>
#include <gtest/gtest.h>

#include "PlayerRun.h"

#if defined(VESTA_XVFB_RUN) && defined(VESTA_XDOTOOL)

namespace vesta::test {
namespace {

const char* const kConfig = R"(<?xml version="1.0" encoding="iso-8859-15"?>
<AppConfig>
	<Window	Class="Demo"	Name="Dialog Show"	Width="640"	Height="480"/>
	<Script	Name="Main.txt"/>
	<Debug	Enable="True"/>
</AppConfig>
)";

constexpr const char* kStatusFile = "dialog-status";

// Starts the engine with `arguments` in a virtual display, waits for the
// window titled `title` and runs `answer`, a shell command that finds the
// window in $window and the engine in $engine.
ProcessResult runDialog(const std::filesystem::path& folder, const std::string& arguments,
                        const std::string& title, const std::string& answer) {
#ifdef VESTA_SANITIZED_WINDOW
    setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
#endif
    // Only a mapped window takes the focus; each step is bounded, so that a
    // lost key fails the test instead of leaving the player waiting.
    const std::string script = "timeout 90 " + std::string(VESTA_ENGINE_PATH) + " " + arguments +
                               " & player=$!\n"
                               "window=$(timeout 60 " VESTA_XDOTOOL
                               " search --sync --onlyvisible --name '^" +
                               title +
                               "$' | head -n 1)\n"
                               "engine=$(pgrep -P $player)\n" +
                               answer + "\nwait $player\necho $? > " + kStatusFile + "\n";
    ProcessResult result =
        play(folder, {"-a", "-s", "-screen 0 1024x768x24", "bash", "-c", script}, VESTA_XVFB_RUN);
    // The player's own status, not the display wrapper's.
    result.exitCode = std::stoi("0" + ReadFile(folder / kStatusFile));
    return result;
}

// Gives the dialog the focus and presses `key` there.
ProcessResult answerDialog(const std::filesystem::path& folder, const std::string& arguments,
                           const std::string& title, const std::string& key) {
    return runDialog(folder, arguments, title,
                     "timeout 30 " VESTA_XDOTOOL " windowfocus --sync \"$window\" key " + key);
}

TEST(DialogRunTest, QuitInTheClassicDialogEndsTheRunWithoutAFrame) {
    TempDir dir;
    WriteFile(dir / "DefaultConfig.xml", kConfig);
    WriteFile(dir / "Main.txt", kEndlessScript);
    const ProcessResult result = answerDialog(
        dir.Path(), "ClassicDlg NoSound LogFile --duration 60", "Dialog Show", "Escape");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    // The module was made, its device never came up: nothing was drawn.
    const std::vector<std::string> messages = logMessages(dir.Path());
    EXPECT_TRUE(std::any_of(messages.begin(), messages.end(), [](const std::string& message) {
        return message.rfind("Found Module [", 0) == 0;
    }));
    for (const std::string& message : messages) {
        EXPECT_EQ(message.rfind("Using ", 0), std::string::npos) << message;
    }
}

// No frame runs while a dialog waits: the dialog itself ends on the signal.
TEST(DialogRunTest, SigtermWhileTheStartupDialogWaitsEndsTheRun) {
    TempDir dir;
    WriteFile(dir / "DefaultConfig.xml", kConfig);
    WriteFile(dir / "Main.txt", kEndlessScript);
    const auto start = std::chrono::steady_clock::now();
    const ProcessResult result =
        runDialog(dir.Path(), "ClassicDlg NoSound", "Dialog Show", "kill -TERM $engine");
    EXPECT_EQ(result.exitCode, 128 + SIGTERM) << result.err;
    // Well before the engine's time limit, whose own signal would end it too.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
}

TEST(DialogRunTest, VideoSettingsDialogTakesItsDefaultsOnOk) {
    TempDir dir;
    WriteFile(dir / "DefaultConfig.xml", kConfig);
    WriteFile(dir / "Main.txt", kEndlessScript);
    const ProcessResult result =
        answerDialog(dir.Path(), "VideoOut NoSound --mode 320x240x32 --duration 0.2",
                     "Video Out session settings", "Return");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(std::filesystem::exists(dir / "Video.avi")) << result.err;
}

TEST(DialogRunTest, ErrorDialogShowsInAWindowAndOnStandardError) {
    TempDir dir;  // no configuration
    const ProcessResult result = answerDialog(dir.Path(), "NoSound", "Exception", "Return");
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_NE(result.err.find("Exception: Unable to open [DefaultConfig.xml]"), std::string::npos)
        << result.err;
}

}  // namespace
}  // namespace vesta::test

#endif
