// The keys an author plays the show with, pressed through the message map as
// the window's events arrive: pause, seeks, loop, restart, the key list and
// the screenshot key; and none of them touching a recording.

#include <SDL2/SDL_keycode.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

#include "EngineState.h"
#include "TestSupport.h"
#include "app/DemoApp.h"
#include "app/Screenshot.h"
#include "platform/Clock.h"
#include "platform/PlatformWindow.h"
#include "render/RecordingModule.h"

namespace vesta::test {
namespace {

constexpr const char* kConfig =
    "<AppConfig><Window Name=\"Show\"/><DefaultFont Name=\"font1.png\"/>"
    "<Script Name=\"Main.txt\"/></AppConfig>";
// Part 1 lasts 2 s, part 2 another 3 s: the show ends at 5 s.
constexpr const char* kTwoParts = "PART {\r\nTIME 2 {\r\nPARTEND;\r\n}\r\n}\r\n"
                                  "PART {\r\nTIME 3 {\r\nEND;\r\n}\r\n}\r\n";
constexpr double kStep = 1.0 / 25.0;

// The real clock of the run, moved by the test.
std::int64_t g_nanoseconds = 1;
std::int64_t testCounter() {
    return g_nanoseconds;
}

class PlayKeysTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEngineState();
        ResetClockForTests(&testCounter);
        ClearInternalModulesForTests();
        RegisterInternalModule({"Recording"}, [] { return std::make_unique<RecordingModule>(); });
        WriteFile(m_dir / "DefaultConfig.xml", kConfig);
        WriteFile(m_dir / "Main.txt", kTwoParts);
    }
    void TearDown() override {
        m_app.reset();
        ClearInternalModulesForTests();
        ResetEngineState();
    }

    void start() {
        LaunchOptions options;
        options.headless = true;
        m_app = std::make_unique<CDemoApp>(options);
        m_app->Init();
    }
    void press(int key) {
        Message message;
        message.type = MessageType::KeyDown;
        message.key = key;
        m_app->Dispatch(message);
    }
    // Frames of a real-time run, one every 40 ms, then those of any seek.
    void play(double seconds) {
        for (double played = 0.0; played < seconds - 1e-9; played += kStep) {
            g_nanoseconds += 40'000'000;
            m_app->Frame();
        }
        while (m_app->Seeking()) {
            m_app->Frame();
        }
    }
    int part() const { return m_app->Timeline()->PartCounter(); }

    TempDir m_dir;
    ScopedChdir m_chdir{m_dir.Path()};
    std::unique_ptr<CDemoApp> m_app;
};

TEST_F(PlayKeysTest, SpaceHoldsTheClockAndTheSoundAndLetsThemGoOnTogether) {
    start();
    play(1.0);
    const double pausedAt = TimeNow();
    press(kKeySpace);
    EXPECT_TRUE(m_app->Paused());
    EXPECT_TRUE(m_app->Sound()->Paused());
    play(2.0);
    EXPECT_EQ(TimeNow(), pausedAt);
    EXPECT_EQ(part(), 1) << "the part's end at 2 s is not reached while paused";
    press(kKeySpace);
    EXPECT_FALSE(m_app->Sound()->Paused());
    play(0.5);
    EXPECT_NEAR(TimeNow(), pausedAt + 0.5, kStep + 1e-3);
    // A seek while paused arrives paused.
    press(kKeySpace);
    press(kKeyRight);
    play(0.5);
    EXPECT_TRUE(m_app->Paused());
    EXPECT_NEAR(TimeNow(), pausedAt + 1.5, kStep + 1e-3);
}

// Seeks land where the keys say, across the change of part and back, and
// stay inside the show.
TEST_F(PlayKeysTest, TheArrowsPageKeysAndHomeSeekThroughTheShow) {
    start();
    play(0.5);
    const double before = TimeNow();
    press(kKeyRight);
    press(kKeyRight);  // before the first seek arrives: both count
    play(0);
    EXPECT_NEAR(TimeNow(), before + 2.0, kStep + 1e-6);
    EXPECT_EQ(part(), 2);
    EXPECT_NEAR(m_app->Timeline()->PartTime(), before, kStep + 1e-3);

    press(kKeyLeft);  // back into part 1: the show starts again and runs there
    play(0);
    EXPECT_NEAR(TimeNow(), before + 1.0, kStep + 1e-6);
    EXPECT_EQ(part(), 1);

    press(kKeyPageDown);
    play(0);
    EXPECT_EQ(part(), 2);
    EXPECT_NEAR(m_app->Timeline()->PartTime(), 0.0, kStep + 1e-3);
    press(kKeyPageDown);  // there is no part 3
    play(0);
    EXPECT_EQ(part(), 2);
    press(kKeyPageUp);
    play(0);
    EXPECT_EQ(part(), 1);
    EXPECT_LT(TimeNow(), kStep + 1e-6);

    for (int second = 0; second < 8; ++second) {
        press(kKeyRight);
    }
    play(0);
    EXPECT_EQ(part(), 2) << "the seek stops short of the end";
    EXPECT_GT(TimeNow(), 5.0 - 2 * kStep);
    EXPECT_LT(TimeNow(), 5.0);
    EXPECT_FALSE(m_app->QuitRequested());

    press(kKeyHome);
    play(0);
    EXPECT_EQ(part(), 1);
    EXPECT_NEAR(TimeNow(), 0.0, 1e-6);
    press(kKeyLeft);  // not before the start
    play(0);
    EXPECT_NEAR(TimeNow(), 0.0, 1e-6);
}

TEST_F(PlayKeysTest, LPlaysThePartAgainUntilPressedAgainOrLeft) {
    start();
    play(1.0);
    press(kKeyL);
    EXPECT_EQ(m_app->LoopedPart(), 1);
    play(1.5);  // past the part's end at 2 s
    EXPECT_EQ(part(), 1);
    EXPECT_LT(TimeNow(), 1.0);
    play(2.0);
    EXPECT_EQ(part(), 1);
    press(kKeyL);
    EXPECT_FALSE(m_app->LoopedPart());
    play(2.0);
    EXPECT_EQ(part(), 2);

    // The last part loops instead of ending the show; a seek out of it ends the loop.
    press(kKeyL);
    play(3.5);
    EXPECT_EQ(part(), 2);
    EXPECT_FALSE(m_app->QuitRequested());
    press(kKeyPageUp);
    play(0);
    EXPECT_EQ(part(), 1);
    EXPECT_FALSE(m_app->LoopedPart());
}

TEST_F(PlayKeysTest, HListsTheKeysAndF12WritesNumberedPicturesBesideTheOldOnes) {
    start();
    auto& module = dynamic_cast<RecordingModule&>(*m_app->Module());
    press(kKeyH);
    press(kKeySpace);
    module.ClearCalls();
    play(kStep);
    std::vector<std::string> texts;
    for (const RecordedCall& call : module.Calls()) {
        if (call.name == "Font::Print") {
            texts.push_back(call.text);
        }
    }
    ASSERT_EQ(texts.size(), 2 + 2 * PlayKeyLines().size());
    EXPECT_EQ(texts[1], "Paused");
    EXPECT_EQ(texts.back(), PlayKeyLines().back().action);

    WriteFile(m_dir / "Screenshot0000.png", "an older picture");
    press(kKeyF12);
    play(kStep);
    press(kKeyF12);
    play(kStep);
    EXPECT_EQ(ReadFile(m_dir / "Screenshot0000.png"), "an older picture");
    EXPECT_TRUE(std::filesystem::exists(m_dir / "Screenshot0001.png"));
    EXPECT_TRUE(std::filesystem::exists(m_dir / "Screenshot0002.png"));
}

// A recording comes out the same whatever is pressed during it.
TEST_F(PlayKeysTest, TheKeysChangeNothingWhileRecording) {
    const auto record = [&](const std::string& file, bool pressing) {
        std::string bytes;
        // In a thread of its own: a recording lowers the drawing's priority for good.
        std::thread player([&] {
            SeedRandom(3);
            LaunchOptions options;
            options.headless = true;
            options.commandLine = "VideoOut NoSound";
            options.videoFile = (m_dir.Path() / file).string();
            m_app = std::make_unique<CDemoApp>(options);
            m_app->Init();
            for (int frame = 0; frame < 40; ++frame) {
                if (pressing && frame % 10 == 5) {
                    for (const int key : {kKeySpace, kKeyRight, kKeyPageDown, kKeyL, kKeyH, kKeyF12,
                                          kKeyHome, kKeyLeft}) {
                        press(key);
                    }
                }
                m_app->Frame();
            }
            EXPECT_FALSE(m_app->Paused());
            EXPECT_FALSE(m_app->Overlays().showKeys);
            EXPECT_EQ(part(), 1);
            EXPECT_DOUBLE_EQ(TimeNow(), 40 * kStep);
            m_app.reset();
            bytes = ReadFile(m_dir / file);
        });
        player.join();
        return bytes;
    };
    const std::string quiet = record("quiet.avi", false);
    ASSERT_FALSE(quiet.empty());
    EXPECT_EQ(record("pressed.avi", true), quiet);
    EXPECT_FALSE(std::filesystem::exists(m_dir / "Screenshot0000.png"));
}

TEST(PlayKeyCodesTest, TheWindowsKeysArriveAsThePlayersKeyCodes) {
    EXPECT_EQ(PlatformWindow::VirtualKey(SDLK_SPACE), kKeySpace);
    EXPECT_EQ(PlatformWindow::VirtualKey(SDLK_LEFT), kKeyLeft);
    EXPECT_EQ(PlatformWindow::VirtualKey(SDLK_RIGHT), kKeyRight);
    EXPECT_EQ(PlatformWindow::VirtualKey(SDLK_PAGEUP), kKeyPageUp);
    EXPECT_EQ(PlatformWindow::VirtualKey(SDLK_PAGEDOWN), kKeyPageDown);
    EXPECT_EQ(PlatformWindow::VirtualKey(SDLK_HOME), kKeyHome);
    EXPECT_EQ(PlatformWindow::VirtualKey(SDLK_l), kKeyL);
    EXPECT_EQ(PlatformWindow::VirtualKey(SDLK_h), kKeyH);
    EXPECT_EQ(PlatformWindow::VirtualKey(SDLK_F12), kKeyF12);
    EXPECT_EQ(PlayActionOf(PlatformWindow::VirtualKey(SDLK_F12)), PlayAction::Screenshot);
}

TEST(ShotTimesTest, TimesAreSortedToTheMillisecondAndMistakesNamed) {
    std::string error;
    EXPECT_EQ(ParseShotTimes("10,1.5,0,1.5004", error), (std::vector<double>{0.0, 1.5, 10.0}));
    EXPECT_EQ(error, "");
    EXPECT_EQ(TimedShotName(1.5), "Screenshot-1.500.png");
    for (const char* wrong : {"", "1,,2", "-1", "1.5s", "nan", "2,"}) {
        error.clear();
        EXPECT_TRUE(ParseShotTimes(wrong, error).empty()) << wrong;
        EXPECT_NE(error, "") << wrong;
    }
}

}  // namespace
}  // namespace vesta::test
