// The player's dialogs on a virtual X server, answered through xdotool as a
// viewer would: the startup dialog's Quit, the video settings' OK, an error
// dialog's OK.

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

// Starts the engine with `arguments` in a virtual display, waits for the
// window titled `title`, gives it the focus and presses `key` there.
ProcessResult answerDialog(const std::filesystem::path& folder, const std::string& arguments,
                           const std::string& title, const std::string& key) {
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
                               "timeout 30 " VESTA_XDOTOOL " windowfocus --sync \"$window\" key " +
                               key + "\nwait $player\n";
    return play(folder, {"-a", "-s", "-screen 0 1024x768x24", "bash", "-c", script},
                VESTA_XVFB_RUN);
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
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("Exception: Unable to open [DefaultConfig.xml]"), std::string::npos)
        << result.err;
}

}  // namespace
}  // namespace vesta::test

#endif
