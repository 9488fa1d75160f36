// The optional sound track: chunks of any size, kept in step with the frames.

#include <cmath>
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "VideoReadBack.h"
#include "VideoTestSupport.h"
#include "app/video/AviWriter.h"

namespace vesta::test {
namespace {

constexpr int kWidth = 32;
constexpr int kHeight = 24;
constexpr int kRate = 44100;

// A stereo chirp: left and right differ so a swap would show.
std::vector<float> tone(std::int64_t frames) {
    std::vector<float> samples(std::size_t(frames) * 2);
    for (std::int64_t i = 0; i < frames; ++i) {
        const double t = double(i) / kRate;
        samples[std::size_t(2 * i)] = float(0.5 * std::sin(2 * M_PI * (220 + 200 * t) * t));
        samples[std::size_t(2 * i + 1)] = float(0.25 * std::sin(2 * M_PI * 660 * t));
    }
    return samples;
}

// Feeds each frame's share of `samples` in two uneven pieces, as a mixer might.
std::int64_t recordWithSound(const std::filesystem::path& file, float fps,
                             const std::string& audioCodec, int frames,
                             const std::vector<float>& samples) {
    AviWriter writer;
    writer.Open(kWidth, kHeight, fps, file.string(), "");
    writer.OpenAudio(kRate, 2, audioCodec);
    const auto picture = NoiseFrame(kWidth, kHeight, 1);
    for (int n = 0; n < frames; ++n) {
        const std::int64_t first = writer.AudioFramesBefore(n);
        const std::int64_t count = writer.AudioFramesBefore(n + 1) - first;
        const std::int64_t piece = count / 3;
        writer.WriteAudio(samples.data() + 2 * first, std::size_t(piece));
        writer.WriteAudio(samples.data() + 2 * (first + piece), std::size_t(count - piece));
        writer.WriteFrame(picture.data());
    }
    writer.Close();
    return writer.AudioFramesBefore(frames);
}

TEST(AudioTrackTest, LosslessTrackHoldsExactlyTheSamplesOfTheFrames) {
    TempDir dir;
    const auto samples = tone(kRate * 2);
    const std::int64_t expected =
        recordWithSound(dir / "pcm.avi", 29.97f, "pcm_s16le", 30, samples);
    EXPECT_EQ(expected, 30LL * kRate * 1001 / 30000);
    const ReadBack file = ReadRecording(dir / "pcm.avi");
    ASSERT_TRUE(file.hasAudio);
    EXPECT_EQ(file.audioCodec, "pcm_s16le");
    EXPECT_EQ(file.sampleRate, kRate);
    EXPECT_EQ(file.channels, 2);
    EXPECT_EQ(file.frames.size(), 30u);
    ASSERT_EQ(file.samples.size(), std::size_t(expected) * 2);
    for (std::size_t i = 0; i < file.samples.size(); ++i) {
        ASSERT_NEAR(file.samples[i], samples[i], 1.0 / 32768) << "sample " << i;
    }
}

TEST(AudioTrackTest, FlacInMatroskaKeepsTheSamplesToo) {
    TempDir dir;
    const auto samples = tone(kRate);
    const std::int64_t expected = recordWithSound(dir / "flac.mkv", 25.0f, "flac", 20, samples);
    const ReadBack file = ReadRecording(dir / "flac.mkv");
    EXPECT_EQ(file.audioCodec, "flac");
    ASSERT_EQ(file.samples.size(), std::size_t(expected) * 2);
    for (std::size_t i = 0; i < file.samples.size(); i += 97) {
        ASSERT_NEAR(file.samples[i], samples[i], 1.0 / 32768) << "sample " << i;
    }
}

TEST(AudioTrackTest, AviDefaultsToPcmAndEveryFrameSitsAtItsIndex) {
    TempDir dir;
    const auto samples = tone(kRate * 2);
    std::vector<std::int64_t> indices(40);
    for (std::size_t i = 0; i < indices.size(); ++i) {
        indices[i] = static_cast<std::int64_t>(i);
    }
    const std::int64_t expected = recordWithSound(dir / "sound.avi", 25.0f, "", 40, samples);
    const ReadBack file = ReadRecording(dir / "sound.avi");
    // PCM needs no priming, which AVI has no field for.
    EXPECT_EQ(file.audioCodec, "pcm_s16le");
    ASSERT_EQ(file.frames.size(), 40u);
    EXPECT_EQ(file.framePts, indices);
    EXPECT_EQ(std::int64_t(file.samples.size() / 2), expected);

    // A priming codec asked for by name delays its own sound, not the pictures.
    recordWithSound(dir / "aac.avi", 25.0f, "aac", 40, samples);
    const ReadBack primed = ReadRecording(dir / "aac.avi");
    EXPECT_EQ(primed.audioCodec, "aac");
    EXPECT_EQ(primed.framePts, indices);
    EXPECT_NEAR(primed.firstSampleSeconds, 0.0, 1e-6);
}

TEST(AudioTrackTest, MatroskaDefaultsToAacThatLastsAsLongAsThePictures) {
    TempDir dir;
    const auto samples = tone(kRate * 2);
    const std::int64_t expected = recordWithSound(dir / "aac.mkv", 25.0f, "", 40, samples);
    const ReadBack file = ReadRecording(dir / "aac.mkv");
    EXPECT_EQ(file.audioCodec, "aac");
    EXPECT_EQ(file.frames.size(), 40u);
    // AAC rounds up to whole 1024-sample frames and adds its encoder delay.
    const auto decoded = std::int64_t(file.samples.size() / 2);
    EXPECT_GE(decoded, expected);
    EXPECT_LE(decoded, expected + 3 * 1024);
}

TEST(AudioTrackTest, SoundTrackCanOnlyBeAddedBeforeTheFirstFrame) {
    TempDir dir;
    AviWriter writer;
    writer.Open(kWidth, kHeight, 25.0f, (dir / "late.avi").string(), "");
    const auto picture = NoiseFrame(kWidth, kHeight, 2);
    writer.WriteFrame(picture.data());
    EXPECT_EQ(OwnErrorOf([&] { writer.OpenAudio(kRate, 2, ""); }),
              "VideoForWindows : Can't create audio stream.");
    EXPECT_EQ(OwnErrorOf([&] {
                  AviWriter other;
                  other.Open(kWidth, kHeight, 25.0f, (dir / "x.avi").string(), "");
                  other.OpenAudio(kRate, 2, "ffv1");
              }),
              "VideoForWindows : [ffv1] is not an audio codec.");
    writer.Close();
    EXPECT_EQ(ReadRecording(dir / "late.avi").frames.size(), 1u);
}

TEST(AudioTrackTest, RefusedSoundTrackLeavesThePicturesIntact) {
    TempDir dir;
    AviWriter writer;
    writer.Open(kWidth, kHeight, 25.0f, (dir / "rate.avi").string(), "");
    EXPECT_EQ(OwnErrorOf([&] { writer.OpenAudio(12345, 2, "aac"); }),
              "VideoForWindows : Can't create audio stream.");
    // Refused by the encoder itself, after the checks on this side.
    EXPECT_EQ(OwnErrorOf([&] { writer.OpenAudio(44100, 3, "mp2"); }),
              "VideoForWindows : Can't create audio stream.");
    EXPECT_FALSE(writer.HasAudio());
    const auto picture = NoiseFrame(kWidth, kHeight, 3);
    writer.WriteFrame(picture.data());
    writer.Close();
    const ReadBack file = ReadRecording(dir / "rate.avi");
    EXPECT_FALSE(file.hasAudio);
    ASSERT_EQ(file.frames.size(), 1u);
    EXPECT_EQ(file.frames[0], picture);
}

}  // namespace
}  // namespace vesta::test
