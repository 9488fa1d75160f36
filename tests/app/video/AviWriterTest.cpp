// Recordings written for real and read back through libavformat.

#include "app/video/AviWriter.h"

#include <gtest/gtest.h>
#include <limits>

#include "TestSupport.h"
#include "VideoReadBack.h"
#include "VideoTestSupport.h"
#include "app/video/FrameRate.h"

namespace vesta::test {
namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;

std::vector<std::vector<std::uint8_t>> record(const std::filesystem::path& file, float fps,
                                              const std::string& codec, int frames) {
    std::vector<std::vector<std::uint8_t>> written;
    AviWriter writer;
    writer.Open(kWidth, kHeight, fps, file.string(), codec);
    for (int i = 0; i < frames; ++i) {
        written.push_back(NoiseFrame(kWidth, kHeight, std::uint32_t(i)));
        writer.WriteFrame(written.back().data());
    }
    writer.Close();
    return written;
}

TEST(FrameRateTest, KeepsTheFractionOfCommonRates) {
    EXPECT_EQ(ChooseFrameRate(25.0), (FrameRate{25, 1}));
    EXPECT_EQ(ChooseFrameRate(30.0f), (FrameRate{30, 1}));
    EXPECT_EQ(ChooseFrameRate(29.97f), (FrameRate{30000, 1001}));
    EXPECT_EQ(ChooseFrameRate(23.976f), (FrameRate{24000, 1001}));
    EXPECT_EQ(ChooseFrameRate(59.94f), (FrameRate{60000, 1001}));
    EXPECT_EQ(ChooseFrameRate(12.5f), (FrameRate{25, 2}));
    EXPECT_EQ(ChooseFrameRate(0.5f), (FrameRate{1, 2}));
    EXPECT_EQ(ChooseFrameRate(0.0), (FrameRate{0, 1}));
    EXPECT_EQ(ChooseFrameRate(-25.0), (FrameRate{0, 1}));
    EXPECT_EQ(ChooseFrameRate(std::numeric_limits<double>::quiet_NaN()), (FrameRate{0, 1}));
}

TEST(FrameRateTest, AudioFramesPerVideoFrameAddUpWithoutDrift) {
    const FrameRate ntsc{30000, 1001};
    std::int64_t total = 0;
    for (std::int64_t n = 0; n < 30000; ++n) {
        const std::int64_t count =
            AudioFramesBefore(ntsc, 44100, n + 1) - AudioFramesBefore(ntsc, 44100, n);
        EXPECT_TRUE(count == 1471 || count == 1472) << n;
        total += count;
    }
    EXPECT_EQ(total, 44100LL * 1001);  // 30000 frames last exactly 1001 seconds
    EXPECT_EQ(AudioFramesBefore(FrameRate{25, 1}, 48000, 7), 7 * 1920);
}

TEST(AviWriterTest, LosslessRecordingReadsBackPixelForPixel) {
    TempDir dir;
    const auto written = record(dir / "Video.avi", 25.0f, "", 12);
    const ReadBack file = ReadRecording(dir / "Video.avi");
    ASSERT_TRUE(file.opened);
    EXPECT_EQ(file.container, "avi");
    EXPECT_EQ(file.videoCodec, "ffv1");
    EXPECT_EQ(file.width, kWidth);
    EXPECT_EQ(file.height, kHeight);
    EXPECT_EQ(file.rateNumerator, 25);
    EXPECT_EQ(file.rateDenominator, 1);
    ASSERT_EQ(file.frames.size(), written.size());
    for (std::size_t i = 0; i < written.size(); ++i) {
        EXPECT_EQ(file.frames[i], written[i]) << "frame " << i;
    }
    EXPECT_FALSE(file.hasAudio);
}

TEST(AviWriterTest, NtscRateIsStoredAsAFraction) {
    TempDir dir;
    record(dir / "ntsc.avi", 29.97f, "", 3);
    const ReadBack file = ReadRecording(dir / "ntsc.avi");
    EXPECT_EQ(file.rateNumerator, 30000);
    EXPECT_EQ(file.rateDenominator, 1001);
    EXPECT_EQ(file.frames.size(), 3u);
}

TEST(AviWriterTest, ContainerFollowsTheExtensionAndCodecIsChosenByName) {
    TempDir dir;
    record(dir / "clip.mkv", 25.0f, "", 2);
    record(dir / "lossy.avi", 25.0f, "mpeg4", 5);
    record(dir / "NoExtension", 25.0f, "", 2);
    const ReadBack mkv = ReadRecording(dir / "clip.mkv");
    EXPECT_EQ(mkv.container, "matroska,webm");
    EXPECT_EQ(mkv.videoCodec, "ffv1");
    EXPECT_EQ(mkv.frames.size(), 2u);
    const ReadBack lossy = ReadRecording(dir / "lossy.avi");
    EXPECT_EQ(lossy.videoCodec, "mpeg4");
    EXPECT_EQ(lossy.frames.size(), 5u);
    EXPECT_EQ(ReadRecording(dir / "NoExtension").container, "avi");
}

TEST(AviWriterTest, NullBuffersAreIgnoredAndARecordingWithoutFramesLeavesNoFile) {
    TempDir dir;
    {
        AviWriter writer;
        writer.Open(kWidth, kHeight, 25.0f, (dir / "empty.avi").string(), "");
        writer.WriteFrame(nullptr);
        EXPECT_EQ(writer.FramesWritten(), 0);
    }  // the destructor closes
    EXPECT_FALSE(std::filesystem::exists(dir / "empty.avi"));
}

TEST(AviWriterTest, FailuresThrowTheirTextsAndLogTheReason) {
    TempDir dir;
    std::vector<std::string> log;
    SetLogSink(
        [](void* lines, const char* line) {
            static_cast<std::vector<std::string>*>(lines)->push_back(line);
        },
        &log);
    AviWriter writer;
    EXPECT_EQ(OwnErrorOf([&] { writer.Open(kWidth, kHeight, 25.0f, "/no/such/dir/v.avi", ""); }),
              "VideoForWindows : Can't open file.");
    ASSERT_FALSE(log.empty());
    EXPECT_NE(log.back().find("No such file or directory"), std::string::npos) << log.back();
    EXPECT_FALSE(writer.IsOpen());

    const std::string name = (dir / "v.avi").string();
    EXPECT_EQ(OwnErrorOf([&] { writer.Open(kWidth, kHeight, 25.0f, name, "nosuch"); }),
              "VideoForWindows : Unknown video codec [nosuch].");
    EXPECT_EQ(OwnErrorOf([&] { writer.Open(kWidth, kHeight, 25.0f, name, "pcm_s16le"); }),
              "VideoForWindows : [pcm_s16le] is not a video codec.");
    EXPECT_EQ(
        OwnErrorOf([&] { writer.Open(kWidth, kHeight, 25.0f, (dir / "a.wav").string(), ""); }),
        "VideoForWindows : Can't create video stream.");
    EXPECT_EQ(OwnErrorOf([&] { writer.Open(kWidth, kHeight, 0.0f, name, ""); }),
              "VideoForWindows : Can't create video stream.");
    // H.263 codes only its few standard picture sizes.
    EXPECT_EQ(OwnErrorOf([&] { writer.Open(kWidth, kHeight, 25.0f, name, "h263"); }),
              "VideoForWindows : Can't create compressed stream.");
    // FFmpeg's own explanation goes to the log, not to standard error.
    EXPECT_NE(log.back().find("not valid for the H.263 codec"), std::string::npos) << log.back();
    SetLogSink(nullptr, nullptr);

    // The message names the file and says why, after the writer's own text.
    EXPECT_EQ(AppErrorOf([&] { writer.Open(kWidth, kHeight, 25.0f, "/no/such/dir/v.avi", ""); }),
              "VideoForWindows : Can't open file. [/no/such/dir/v.avi]: the folder /no/such/dir "
              "does not exist (No such file or directory)");
    // 4:2:0 colour covers pairs of pixels: an odd size is refused with a way out.
    EXPECT_EQ(AppErrorOf([&] { writer.Open(kWidth + 1, kHeight, 25.0f, name, "mpeg4"); }),
              "VideoForWindows : Can't create compressed stream. [" + name +
                  "]: mpeg4 stores colour as yuv420p, which needs even sizes, not 65x48: "
                  "choose a --mode of even sizes or --codec ffv1");
    const std::string mp4 = (dir / "v.mp4").string();
    EXPECT_EQ(AppErrorOf([&] {
                  writer.Open(kWidth, kHeight, 25.0f, mp4, "");
                  writer.OpenAudio(44100, 2, "pcm_s16le");
              }),
              "VideoForWindows : Can't create audio stream. [" + mp4 +
                  "]: the mp4 container can't hold pcm_s16le: choose another --audio-codec, or "
                  "leave it out for aac");
    writer.Close();
    // None of the refusals left a file behind.
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

// A full disk (here a file size limit) stops the recording before the index
// no longer fits: every frame accepted is in the file, whole, and indexed.
TEST(AviWriterTest, AFullDiskEndsTheRecordingWithItsIndex) {
    TempDir dir;
    const auto name = dir / "full.avi";
    std::vector<std::vector<std::uint8_t>> written;
    std::string failure;
    {
        AviWriter writer;
        writer.Open(kWidth, kHeight, 25.0f, name.string(), "");
        FileSizeLimit limit(64 * 1024);  // noise frames are ~9 KiB each in FFV1
        for (std::uint32_t i = 0; i < 100 && failure.empty(); ++i) {
            const auto frame = NoiseFrame(kWidth, kHeight, i);
            try {
                writer.WriteFrame(frame.data());
                written.push_back(frame);
            } catch (const CAppError& error) {
                failure = error.Text();
            }
        }
        EXPECT_NO_THROW(writer.Close());  // the failure was already reported
    }
    EXPECT_EQ(failure, "Can't write AVI file. [" + name.string() +
                           "]: stopped at the file size limit of 65536 bytes, with room for the "
                           "index kept (File too large)");
    EXPECT_LE(std::filesystem::file_size(name), 64u * 1024);
    const ReadBack file = ReadRecording(name);
    ASSERT_TRUE(file.opened);
    ASSERT_GE(written.size(), 3u);
    ASSERT_EQ(file.frames.size(), written.size());
    for (std::size_t i = 0; i < written.size(); ++i) {
        EXPECT_EQ(file.frames[i], written[i]) << "frame " << i;
    }
    // The header's lengths were filled in at the end.
    EXPECT_NEAR(file.videoStreamSeconds, double(written.size()) / 25, 1e-6);
}

}  // namespace
}  // namespace vesta::test
