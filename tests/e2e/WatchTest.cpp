// --watch: a player that reads again what changes under it while it plays.

#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <thread>

#include "PictureWriters.h"
#include "PlayerProcess.h"
#include "PlayerRun.h"

namespace vesta::test {
namespace {

using namespace std::chrono_literals;

const char* const kConfiguration = "<AppConfig>\n<Window Class=\"Demo\" Name=\"Night Show\"/>\n"
                                   "<Script Name=\"Main.txt\"/>\n</AppConfig>\n";

// An endless part with one picture on screen, its look in an include.
std::string script(const std::string& layer, const std::string& picture) {
    return "INCLUDE \"Look.txt\";\r\nPART {\r\nTIME 0 {\r\nCREATE \"" + layer +
           "\" {\r\nTexture \"" + picture + "\";\r\nStableTime 100;\r\n}\r\n}\r\n}\r\n";
}

// How far into its part the show resumed, by the last line that says so.
double lastResumedPartTime(const std::string& err) {
    const std::string said = "vesta: resumed at part 1, ";
    const std::size_t at = err.rfind(said);
    return at == std::string::npos ? -1.0 : std::stod(err.substr(at + said.size()));
}

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos;
         at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

TEST(WatchTest, ChangesReloadWhileTheShowPlaysOnAndMistakesKeepTheOldScript) {
    TempDir dir;
    WriteFile(dir / "DefaultConfig.xml", kConfiguration);
    WriteFile(dir / "Main.txt", script("GFXLayer", "white.png"));
    WriteFile(dir / "Look.txt", "SHOWFPS Yes;\r\n");
    WriteFile(dir / "white.png", SimplePng(8, 8));
    WriteFile(dir / "bad.png", std::string("not a picture"));
    PlayerProcess player(VESTA_ENGINE_PATH, {"--headless", "--watch", "--mode", "160x120x32"},
                         dir.Path());
    ASSERT_TRUE(player.WaitForError("vesta: watching ", 30s));
    std::this_thread::sleep_for(1500ms);

    // An include changed: the show starts again and runs unseen to where it was.
    WriteFile(dir / "Look.txt", "SHOWTIME Yes;\r\n");
    ASSERT_TRUE(player.WaitForError("vesta: resumed at part 1, ", 30s));

    // A picture changed: read into its texture where it is, the script untouched.
    WriteFile(dir / "white.png", SimplePng(16, 4));
    ASSERT_TRUE(player.WaitForError("vesta: reloaded picture white.png (1 textures)", 30s));

    // A mistake the check finds: refused before anything of the show changes.
    WriteFile(dir / "Main.txt", script("NoSuchLayer", "white.png"));
    ASSERT_TRUE(player.WaitForError("vesta: reload failed: Main.txt(4): ", 30s));

    // A mistake found only on the way back: the old script resumes there.
    WriteFile(dir / "Main.txt", script("GFXLayer", "bad.png"));
    ASSERT_TRUE(player.WaitForError("vesta: resumed at part 1, ", 30s, 2));

    player.Signal(SIGTERM);
    const ProcessResult result = player.Wait();
    EXPECT_EQ(result.exitCode, 143) << result.err;
    EXPECT_EQ(occurrences(result.err, "vesta: reloading Main.txt, to resume at part 1, "), 2u)
        << result.err;
    EXPECT_NE(result.err.find("NoSuchLayer"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("vesta: reload failed: PngLoad : File [bad.png] is not a valid PNG"),
              std::string::npos)
        << result.err;
    // Every resume is past the 1.5 s the show had played before the first.
    EXPECT_GT(lastResumedPartTime(result.err), 1.5) << result.err;
    EXPECT_EQ(result.err.find("Night Show:"), std::string::npos) << result.err;
}

TEST(WatchTest, ARecordingWatchesNothing) {
    TempDir dir;
    WriteFile(dir / "DefaultConfig.xml", kConfiguration);
    WriteFile(dir / "Main.txt", kEndlessScript);
    WriteFile(dir / "Look.txt", "");
    const ProcessResult result =
        play(dir.Path(), {"--headless", "--watch", "--mode", "160x120x32", "--video", "out.avi",
                          "--duration", "0.2", "NoSound"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.err.find("--watch is ignored while recording"), std::string::npos)
        << result.err;
    EXPECT_EQ(result.err.find("vesta: watching"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace vesta::test
