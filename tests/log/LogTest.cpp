// The log file, the log sink, the log window's lines and the two error channels.

#include "log/Log.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "log/LogWindow.h"
#include "platform/Clock.h"

namespace vesta::test {
namespace {

std::int64_t fixedCounter() {
    return 1'500'000'000;
}  // 1.5 s after the clock's start

class LogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetLogState();
        ResetClockForTests(&fixedCounter);
        TimerInit();
    }
    void TearDown() override {
        ResetLogState();
        ResetClockForTests();
    }

    TempDir m_dir;
    ScopedChdir m_chdir{m_dir.Path()};
};

TEST_F(LogTest, LinesCarryTheTimeTabColonBlank) {
    ASSERT_TRUE(OpenLogFile("Logging.txt"));
    LogPrintf("Loaded [ %s ]. (%dx%dx%d)(%.2f secs)", "a.png", 64, 32, 32, 0.5);
    SetTimeSpeed(2.0f);
    LogPrintf("second");
    // The time is 0 at start: the counter source never moves.
    EXPECT_EQ(ReadFile(m_dir / "Logging.txt"),
              "0\t: Loaded [ a.png ]. (64x32x32)(0.50 secs)\n0\t: second\n");
}

TEST_F(LogTest, LongMessagesAreCutAtTheBuffer) {
    ASSERT_TRUE(OpenLogFile("Logging.txt"));
    LogPrintf("%s", std::string(1023, 'a').c_str());
    LogPrintf("%s", std::string(5000, 'b').c_str());
    EXPECT_EQ(ReadFile(m_dir / "Logging.txt"),
              "0\t: " + std::string(1023, 'a') + "\n0\t: " + std::string(1023, 'b') + "\n");
}

TEST_F(LogTest, SinkReceivesEveryEngineLineUnformatted) {
    CLogWindow window;
    SetLogSink(&CLogWindow::SinkAppend, &window);
    LogPrintf("rate %d%%", 50);
    LogPrintf("%s", "100% {\\b bold}");
    ASSERT_EQ(window.Lines().size(), 2u);
    EXPECT_EQ(window.Lines()[0], "rate 50%");
    EXPECT_EQ(window.Lines()[1], "100% {\\b bold}");
    EXPECT_FALSE(LogFileOpen());
}

TEST_F(LogTest, AppLogReachesOnlyItsWindow) {
    ASSERT_TRUE(OpenLogFile("Logging.txt"));
    AppLog(nullptr, "nowhere");
    CLogWindow window;
    AppLog(&window, "Search path : [%s]", "/demo");
    EXPECT_EQ(window.Lines().back(), "Search path : [/demo]");
    EXPECT_EQ(ReadFile(m_dir / "Logging.txt"), "");
}

TEST_F(LogTest, WindowKeepsTheLatest200Lines) {
    CLogWindow window;
    for (int i = 1; i <= 201; ++i) {
        window.Append(std::to_string(i).c_str());
    }
    ASSERT_EQ(window.Lines().size(), 200u);
    EXPECT_EQ(window.Lines().front(), "2");
    EXPECT_EQ(window.Lines().back(), "201");
}

TEST_F(LogTest, RaiseErrorLogsMarksPendingAndThrows) {
    ASSERT_TRUE(OpenLogFile("Logging.txt"));
    EXPECT_FALSE(userErrorPending());
    try {
        RaiseError("Unable to load [%s]", "ship.mdl");
        FAIL();
    } catch (const CUserException& error) {
        EXPECT_STREQ(error.Text(), "Unable to load [ship.mdl]");
        EXPECT_STREQ(error.Text(), LastUserError());
        // Whoever catches only std::exception still reads the text.
        const std::exception& general = error;
        EXPECT_STREQ(general.what(), "Unable to load [ship.mdl]");
    }
    EXPECT_TRUE(userErrorPending());
    EXPECT_EQ(ReadFile(m_dir / "Logging.txt"),
              "------------ Exception -------------\n\nUnable to load [ship.mdl]\n"
              "------------------------------------\n");
}

TEST_F(LogTest, RaiseAppErrorThrowsTheTextAlone) {
    ASSERT_TRUE(OpenLogFile("Logging.txt"));
    try {
        RaiseAppError("Unable to open [%s]", "DefaultConfig.xml");
        FAIL();
    } catch (const CAppError& error) {
        EXPECT_EQ(error.Text(), "Unable to open [DefaultConfig.xml]");
    }
    EXPECT_FALSE(userErrorPending());
    EXPECT_EQ(ReadFile(m_dir / "Logging.txt"), "");
}

TEST_F(LogTest, UncreatableLogFileLeavesLoggingSilent) {
    EXPECT_FALSE(OpenLogFile("missing-folder/Logging.txt"));
    LogPrintf("dropped");
    EXPECT_FALSE(LogFileOpen());
}

}  // namespace
}  // namespace vesta::test
