// Runs that end early: stopped by a signal, or by a file that cannot grow.

#include <gtest/gtest.h>

#include "PlayerProcess.h"
#include "PlayerRun.h"
#include "VideoReadBack.h"

namespace vesta::test {
namespace {

using namespace std::chrono_literals;

constexpr const char* kConfig =
    "<AppConfig><Window Name=\"Rec\"/><Script Name=\"Main.txt\"/></AppConfig>";
constexpr double kFps = 25.0;
constexpr int kSampleRate = 44100;

class RecordingStopTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(m_dir / "DefaultConfig.xml", kConfig);
        WriteFile(m_dir / "tune.mod", Bytes(ReadFile(VESTA_SHOWCASE_STAGE "/hearth.mod")));
        // One endless part with music and the time on every frame.
        WriteFile(m_dir / "Main.txt",
                  "SHOWTIME Yes;\r\nPART {\r\nMODSTREAM \"tune.mod\";\r\n}\r\n");
    }

    std::vector<std::string> recording(const std::string& file) const {
        return {"VideoOut", "--headless", "--mode", "160x120x32", "--video", file, "--seed", "1"};
    }

    TempDir m_dir;
};

// Stopped two seconds into the recording, the file is finished: every frame,
// the sound that goes with them, and the length the file states.
TEST_F(RecordingStopTest, SigintAndSigtermFinishTheRecordingAndSayWhyTheRunEnded) {
    struct Case {
        int signal;
        const char* file;
        int status;
    };
    for (const Case& stop : {Case{SIGINT, "int.avi", 130}, Case{SIGTERM, "term.mkv", 143}}) {
        PlayerProcess player(VESTA_ENGINE_PATH, recording(stop.file), m_dir.Path());
        ASSERT_TRUE(player.WaitForFile(m_dir / stop.file, 60s)) << stop.file;
        std::this_thread::sleep_for(2s);
        player.Signal(stop.signal);
        const ProcessResult result = player.Wait();
        EXPECT_EQ(result.exitCode, stop.status) << result.err;
        EXPECT_EQ(result.err.find("Can't"), std::string::npos) << result.err;

        const ReadBack file = ReadRecording(m_dir / stop.file);
        ASSERT_GE(file.frames.size(), 10u) << stop.file;
        const double seconds = double(file.frames.size()) / kFps;
        EXPECT_NEAR(file.formatSeconds, seconds, 1.5 / kFps) << stop.file;
        ASSERT_TRUE(file.hasAudio) << stop.file;
        const double heard = double(file.samples.size() / 2) / kSampleRate;
        EXPECT_NEAR(heard, seconds, 0.05) << stop.file;
    }
}

TEST_F(RecordingStopTest, SigtermEndsAHeadlessShowThatWouldPlayForever) {
    PlayerProcess player(VESTA_ENGINE_PATH, {"--headless", "NoSound"}, m_dir.Path());
    std::this_thread::sleep_for(2s);  // started and playing: the handlers come first
    player.Signal(SIGTERM);
    const ProcessResult result = player.Wait();
    EXPECT_EQ(result.exitCode, 143) << result.err;
}

// A file that meets the process's file size limit: the writer's message, and
// a file that holds, and plays, the same frames as far as it got.
TEST_F(RecordingStopTest, AFileSizeLimitEndsTheRecordingWithTheFramesSoFarPlayable) {
    constexpr rlim_t kLimit = 1 << 20;  // raw 160x120 pictures are 57600 bytes each
    std::vector<std::string> args = recording("limited.avi");
    args.insert(args.end(), {"--codec", "rawvideo"});
    PlayerProcess limited(VESTA_ENGINE_PATH, args, m_dir.Path(), kLimit);
    const ProcessResult result = limited.Wait();
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_NE(result.err.find("Can't write AVI file. [limited.avi]: stopped at the file size "
                              "limit of 1048576 bytes"),
              std::string::npos)
        << result.err;

    args = recording("whole.avi");
    args.insert(args.end(), {"--codec", "rawvideo", "--duration", "1.2"});
    ASSERT_EQ(play(m_dir.Path(), args).exitCode, 0);

    const ReadBack cut = ReadRecording(m_dir / "limited.avi");
    const ReadBack whole = ReadRecording(m_dir / "whole.avi");
    EXPECT_LE(std::filesystem::file_size(m_dir / "limited.avi"), kLimit);
    ASSERT_GE(cut.frames.size(), 10u);
    ASSERT_LT(cut.frames.size(), whole.frames.size());
    for (std::size_t i = 0; i < cut.frames.size(); ++i) {
        EXPECT_TRUE(cut.frames[i] == whole.frames[i]) << "frame " << i;
    }
    // Indexed to its end: the stated length is that of the frames it holds.
    EXPECT_NEAR(cut.videoStreamSeconds, double(cut.frames.size()) / kFps, 1e-6);
    // The sound as far as the encoder had passed it on (it goes in blocks of 1024).
    const std::size_t perFrame = kSampleRate / 25;
    EXPECT_GE(cut.samples.size() / 2 + 1024, cut.frames.size() * perFrame);
    EXPECT_LE(cut.samples.size() / 2, (cut.frames.size() + 1) * perFrame);
    for (std::size_t i = 0; i < cut.samples.size(); i += 101) {
        ASSERT_EQ(cut.samples[i], whole.samples[i]) << "sample " << i;
    }
}

}  // namespace
}  // namespace vesta::test
