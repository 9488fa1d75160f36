// The classic dialog offers the plug-in found in ./drv beside the built-in
// module; chosen there with the mouse, it draws the show.

#include <filesystem>
#include <gtest/gtest.h>

#include "PlayerRun.h"
#include "VideoReadBack.h"

#if defined(VESTA_XVFB_RUN) && defined(VESTA_XDOTOOL)

namespace vesta::test {
namespace {

TEST(ClassicModuleRunTest, APlugInChosenInTheClassicDialogDrawsTheShow) {
#ifdef VESTA_SANITIZED_WINDOW
    setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
#endif
    TempDir dir;
    WriteFile(dir / "DefaultConfig.xml",
              "<AppConfig><Window Name=\"Module Choice\"/><Script Name=\"Main.txt\"/></AppConfig>");
    WriteFile(dir / "Main.txt", kEndlessScript);
    std::filesystem::create_directories(dir / "drv");
    std::filesystem::copy_file(VESTA_TINT_PLUGIN, dir / "drv/tint.so");
    // The module list heads the dialog; the plug-in is its second entry.
    const std::string xdotool = std::string("timeout 30 ") + VESTA_XDOTOOL;
    const std::string script =
        "timeout 90 " + std::string(VESTA_ENGINE_PATH) +
        " ClassicDlg VideoOut NoSound --video out.avi --fps 10 --codec ffv1 --duration 0.3 &"
        " player=$!\n"
        "window=$(timeout 60 " VESTA_XDOTOOL
        " search --sync --onlyvisible --name '^Module Choice$' | head -n 1)\n" +
        xdotool +
        " windowfocus --sync \"$window\" mousemove --window \"$window\" 150 60 sleep 0.3 click 1"
        " sleep 0.5 mousemove --window \"$window\" 150 104 sleep 0.3 click 1 sleep 0.5"
        " key Return\nwait $player\necho $? > status\n";
    ProcessResult result = play(
        dir.Path(), {"-a", "-s", "-screen 0 1024x768x24", "bash", "-c", script}, VESTA_XVFB_RUN);
    EXPECT_EQ(std::stoi("0" + ReadFile(dir / "status")), 0) << result.err;
    const ReadBack video = ReadRecording(dir / "out.avi");
    ASSERT_FALSE(video.frames.empty()) << result.err;
    // The plug-in's veil (bytes 0x00, 0x80, 0xFF at alpha 0x60) over a black show.
    const std::vector<std::uint8_t>& first = video.frames.front();
    EXPECT_NEAR(first[0], 0, 2);
    EXPECT_NEAR(first[1], 0x80 * 0x60 / 255, 2);
    EXPECT_NEAR(first[2], 0xFF * 0x60 / 255, 2);
}

}  // namespace
}  // namespace vesta::test

#endif
