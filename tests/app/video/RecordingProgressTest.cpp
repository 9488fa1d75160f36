// The progress line, with its clock and stream in the test's hands.

#include "app/video/RecordingProgress.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace vesta::test {
namespace {

struct Capture {
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* stream = open_memstream(&text, &size);
    double now = 100.0;

    ~Capture() {
        std::fclose(stream);
        std::free(text);
    }
    std::string Text() {
        std::fflush(stream);
        return std::string(text, size);
    }
    RecordingProgress::Clock Clock() {
        return [this] { return now; };
    }
};

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t found = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++found;
    }
    return found;
}

// Clock steps are exact binary fractions so the intervals fall on known frames.
TEST(RecordingProgressTest, TerminalRedrawsOneLineAFewTimesASecond) {
    Capture out;
    RecordingProgress progress(out.stream, true, 60.0, out.Clock());
    for (int frame = 1; frame <= 50; ++frame) {
        out.now += 1.0 / 64;  // 64 frames per second of wall time, 32 of show
        progress.Update(frame, frame / 32.0);
    }
    const std::string text = out.Text();
    EXPECT_EQ(count(text, "\r"), 3u);  // frames 16, 32 and 48: four a second at most
    EXPECT_EQ(count(text, "\n"), 0u);
    EXPECT_NE(text.find("\rRecording : frame 16, 0.50 s of 60.00 s (1%), 64.0 fps, 0:30 left"),
              std::string::npos)
        << text;
    progress.Finish(50, 50 / 32.0);
    progress.Finish(50, 50 / 32.0);
    const std::string last = out.Text().substr(text.size());
    EXPECT_EQ(last.rfind("\rRecording : 50 frames, 1.56 s of video in 0:01 (64.0 fps)", 0), 0u)
        << last;
    EXPECT_EQ(count(last, "\n"), 1u);
    EXPECT_EQ(last.back(), '\n');
    // The shorter final line wipes the end of the longer progress line.
    EXPECT_EQ(last.size() - 2, text.size() - text.rfind('\r') - 1);
}

TEST(RecordingProgressTest, PlainOutputWritesALineEverySecond) {
    Capture out;
    RecordingProgress progress(out.stream, false, 0.0, out.Clock());
    for (int frame = 1; frame <= 100; ++frame) {
        out.now += 1.0 / 16;
        progress.Update(frame, frame / 32.0);
    }
    progress.Finish(100, 100 / 32.0);
    const std::string text = out.Text();
    EXPECT_EQ(count(text, "\n"), 7u);  // six progress lines and the last one
    EXPECT_EQ(count(text, "\r"), 0u);
    EXPECT_EQ(text.find("left"), std::string::npos);  // the length is unknown
    EXPECT_EQ(text.rfind("Recording : frame 16, 0.50 s, 16.0 fps\n", 0), 0u) << text;
}

TEST(RecordingProgressTest, DurationsReadAsClockTimes) {
    EXPECT_EQ(FormatDuration(0.0), "0:00");
    EXPECT_EQ(FormatDuration(247.4), "4:07");
    EXPECT_EQ(FormatDuration(3909.0), "1:05:09");
    EXPECT_EQ(FormatDuration(-5.0), "0:00");
}

}  // namespace
}  // namespace vesta::test
