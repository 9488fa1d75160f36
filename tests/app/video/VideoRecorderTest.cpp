// The threaded recorder makes the file the writer makes, and reports the
// encoder thread's failures on the caller's thread.

#include "app/video/VideoRecorder.h"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>

#include "TestSupport.h"
#include "VideoReadBack.h"
#include "VideoTestSupport.h"
#include "app/video/EncoderLoad.h"
#include "platform/ThreadPriority.h"
#include "render/RecordingModule.h"

namespace vesta::test {
namespace {

constexpr int kWidth = 48;
constexpr int kHeight = 32;
constexpr int kFrames = 25;

// The same calls on either a writer or a recorder.
template <class Recorder>
void script(Recorder& recorder, const std::filesystem::path& file) {
    recorder.Open(kWidth, kHeight, 29.97f, file.string(), "");
    recorder.OpenAudio(44100, 2, "pcm_s16le");
    std::vector<float> sound(4000);
    for (std::size_t i = 0; i < sound.size(); ++i) {
        sound[i] = float(i % 200) / 200.0f - 0.5f;
    }
    for (int n = 0; n < kFrames; ++n) {
        const auto count = recorder.AudioFramesBefore(n + 1) - recorder.AudioFramesBefore(n);
        recorder.WriteAudio(sound.data(), std::size_t(count / 2));
        recorder.WriteFrame(NoiseFrame(kWidth, kHeight, std::uint32_t(n)).data());
        recorder.WriteAudio(sound.data(), std::size_t(count - count / 2));
    }
    recorder.WriteAudio(sound.data(), 100);  // after the last frame
    recorder.Close();
}

// Threads of this process at `niceness`, from the kernel's own list.
int threadsAtNiceness(int niceness) {
    int count = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream stat(task.path() / "stat");
        std::string line;
        std::getline(stat, line);
        // The niceness is field 19; the name, field 2, is in parentheses.
        std::istringstream fields(line.substr(line.rfind(')') + 2));
        std::string field;
        for (int i = 3; i <= 19 && fields >> field; ++i) {
        }
        count += std::stoi(field) == niceness;
    }
    return count;
}

TEST(VideoRecorderTest, TheEncoderThreadKeepsThePriorityItWasOpenedWith) {
    const int base = CallingThreadNiceness();
    if (base > 14) {
        GTEST_SKIP() << "the runner is already near the lowest priority";
    }
    TempDir dir;
    int change = 0;
    // In a thread of its own: a lowered priority cannot be raised again.
    std::thread opener([&] {
        const int before = threadsAtNiceness(base);
        VideoRecorder recorder;
        recorder.Open(kWidth, kHeight, 25.0f, (dir.Path() / "Priority.avi").string(), "");
        ASSERT_TRUE(LowerCallingThreadPriority(5));
        // The opener left the base; the encoder thread, running since Open, did not.
        change = threadsAtNiceness(base) - before;
        recorder.WriteFrame(NoiseFrame(kWidth, kHeight, 1).data());
        recorder.Close();
    });
    opener.join();
    EXPECT_EQ(change, 0);
}

// Frames every 10 ms: light when each takes under 7 ms to encode, judged once
// the fiftieth is done, and only then.
TEST(VideoRecorderTest, AnEncoderIsLightWhenItWaitsForMostFrames) {
    const auto judge = [](double encodeSeconds, int frames) {
        EncoderLoad load;
        int light = 0;
        for (int n = 0; n < frames; ++n) {
            load.Encoded(0.010 * n, 0.010 * n + encodeSeconds);
            light += load.TurnedOutLight();
        }
        return light;
    };
    EXPECT_EQ(judge(0.002, EncoderLoad::kFramesJudged - 1), 0);
    EXPECT_EQ(judge(0.002, 3 * EncoderLoad::kFramesJudged), 1);
    EXPECT_EQ(judge(0.009, 3 * EncoderLoad::kFramesJudged), 0);
}

TEST(VideoRecorderTest, ALightEncoderDropsBelowTheDrawingsPriority) {
    const int base = CallingThreadNiceness();
    if (base + VideoRecorder::kLightEncoderNiceness > 19) {
        GTEST_SKIP() << "the runner is already near the lowest priority";
    }
    TempDir dir;
    const int lowered = base + VideoRecorder::kLightEncoderNiceness;
    const int before = threadsAtNiceness(lowered);
    VideoRecorder recorder;
    recorder.Open(kWidth, kHeight, 25.0f, (dir.Path() / "Light.avi").string(), "");
    for (int n = 0; n < EncoderLoad::kFramesJudged + 5; ++n) {
        recorder.WriteFrame(NoiseFrame(kWidth, kHeight, std::uint32_t(n)).data());
        std::this_thread::sleep_for(std::chrono::milliseconds(4));
    }
    EXPECT_EQ(threadsAtNiceness(lowered) - before, 1);
    recorder.Close();
}

TEST(VideoRecorderTest, FileIsByteIdenticalToDirectWriting) {
    TempDir dir;
    AviWriter writer;
    script(writer, dir / "direct.avi");
    const std::string direct = ReadFile(dir / "direct.avi");
    for (std::size_t depth : {1u, 3u}) {
        VideoRecorder recorder(depth);
        script(recorder, dir / "threaded.avi");
        EXPECT_EQ(recorder.FramesQueued(), kFrames);
        EXPECT_TRUE(ReadFile(dir / "threaded.avi") == direct) << "queue depth " << depth;
    }
    const ReadBack file = ReadRecording(dir / "threaded.avi");
    EXPECT_EQ(file.frames.size(), std::size_t(kFrames));
    EXPECT_EQ(file.samples.size() / 2, std::size_t(writer.AudioFramesBefore(kFrames) + 100));
}

TEST(VideoRecorderTest, GrabsTheBackBufferIntoTheQueue) {
    TempDir dir;
    RecordingModule module;
    module.Initialize(nullptr, false, kWidth, kHeight, 32);
    int pitch = 0;
    std::uint8_t* pixels = module.LockBackBuffer(pitch);
    for (int i = 0; i < kWidth * kHeight; ++i) {
        const std::uint32_t value = 0x00204060;
        std::memcpy(pixels + 4 * i, &value, 4);
    }
    module.UnlockBackBuffer();
    VideoRecorder recorder;
    recorder.Open(kWidth, kHeight, 25.0f, (dir / "grab.avi").string(), "");
    EXPECT_TRUE(recorder.GrabFrame(module));
    EXPECT_TRUE(recorder.GrabFrame(module));
    recorder.Close();
    const ReadBack file = ReadRecording(dir / "grab.avi");
    ASSERT_EQ(file.frames.size(), 2u);
    EXPECT_EQ(file.frames[1][0], 0x60);
    EXPECT_EQ(file.frames[1][1], 0x40);
    EXPECT_EQ(file.frames[1][2], 0x20);

    RecordingModule other;
    other.Initialize(nullptr, false, 16, 16, 32);
    recorder.Open(kWidth, kHeight, 25.0f, (dir / "size.avi").string(), "");
    EXPECT_EQ(OwnErrorOf([&] { recorder.GrabFrame(other); }), "Can't write AVI file.");
}

TEST(VideoRecorderTest, EncoderThreadFailureReachesTheCaller) {
    TempDir dir;
    const auto name = dir / "full.avi";
    std::vector<std::string> log;
    SetLogSink(
        [](void* lines, const char* line) {
            static_cast<std::vector<std::string>*>(lines)->push_back(line);
        },
        &log);
    std::string failure;
    {
        VideoRecorder recorder;
        recorder.Open(kWidth, kHeight, 25.0f, name.string(), "");
        FileSizeLimit limit(48 * 1024);
        for (std::uint32_t i = 0; i < 200 && failure.empty(); ++i) {
            failure =
                OwnErrorOf([&] { recorder.WriteFrame(NoiseFrame(kWidth, kHeight, i).data()); });
            failure = failure == "<none>" ? "" : failure;
        }
        if (failure.empty()) {
            failure = OwnErrorOf([&] { recorder.Close(); });
        }
        EXPECT_NO_THROW(recorder.Close());  // reported once
    }
    SetLogSink(nullptr, nullptr);
    EXPECT_EQ(failure, "Can't write AVI file.");
    ASSERT_FALSE(log.empty());
    EXPECT_NE(log.back().find("File too large"), std::string::npos) << log.back();
    const ReadBack file = ReadRecording(name);
    EXPECT_GE(file.frames.size(), 2u);
    for (std::size_t i = 0; i + 1 < file.frames.size(); ++i) {
        EXPECT_EQ(file.frames[i], NoiseFrame(kWidth, kHeight, std::uint32_t(i))) << i;
    }
}

TEST(VideoRecorderTest, OpenFailuresAreThrownAtOnce) {
    VideoRecorder recorder;
    EXPECT_EQ(OwnErrorOf([&] { recorder.Open(kWidth, kHeight, 25.0f, "/no/such/dir/v.avi", ""); }),
              "VideoForWindows : Can't open file.");
    EXPECT_FALSE(recorder.IsOpen());
    recorder.WriteFrame(NoiseFrame(kWidth, kHeight, 0).data());  // ignored while closed
}

}  // namespace
}  // namespace vesta::test
