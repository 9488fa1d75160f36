// The player recording its show: what the file holds, read back on its own.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>

#include "PictureWriters.h"
#include "PlayerRun.h"
#include "VideoReadBack.h"

namespace vesta::test {
namespace {

constexpr const char* kConfig =
    "<AppConfig><Window Name=\"Rec\"/><Script Name=\"Main.txt\"/></AppConfig>";
constexpr int kRate = 44100;

// 16-bit stereo PCM: left a sine of `hz`, right its half.
std::vector<std::uint8_t> sineWave(double seconds, double hz) {
    const auto frames = static_cast<std::uint32_t>(seconds * kRate);
    std::vector<std::uint8_t> out;
    const auto put = [&](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        }
    };
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    put(36 + frames * 4, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put(16, 4), put(1, 2), put(2, 2), put(kRate, 4), put(kRate * 4, 4), put(4, 2), put(16, 2);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    put(frames * 4, 4);
    for (std::uint32_t n = 0; n < frames; ++n) {
        const double v = std::sin(2.0 * M_PI * hz * n / kRate) * 16000.0;
        put(static_cast<std::uint16_t>(static_cast<std::int16_t>(v)), 2);
        put(static_cast<std::uint16_t>(static_cast<std::int16_t>(v / 2)), 2);
    }
    return out;
}

class RecordingTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(m_dir / "DefaultConfig.xml", kConfig);
        WriteFile(m_dir / "Main.txt", "SHOWTIME Yes;\r\nPART {\r\n}\r\n");
    }

    ReadBack record(std::vector<std::string> args) {
        args.insert(args.begin(), {"VideoOut", "--headless"});
        const ProcessResult result = play(m_dir.Path(), args);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return ReadRecording(m_dir / "out.avi");
    }

    TempDir m_dir;
};

// Pixels of the time line "Part 1, %.2f" and the rate line: the rest is black.
std::size_t litBytes(const std::vector<std::uint8_t>& frame) {
    std::size_t lit = 0;
    for (std::uint8_t byte : frame) {
        lit += byte != 0;
    }
    return lit;
}

TEST_F(RecordingTest, FourSecondsAtTwentyFiveMakeAHundredFrames) {
    const ReadBack file = record({"--mode", "640x480x32", "--video", "out.avi", "--fps", "25",
                                  "--codec", "ffv1", "--duration", "4", "NoSound"});
    ASSERT_TRUE(file.opened);
    EXPECT_EQ(file.container, "avi");
    EXPECT_EQ(file.videoCodec, "ffv1");
    EXPECT_EQ(file.width, 640);
    EXPECT_EQ(file.height, 480);
    EXPECT_EQ(file.rateNumerator, 25);
    EXPECT_EQ(file.rateDenominator, 1);
    ASSERT_EQ(file.frames.size(), 100u);
    EXPECT_FALSE(file.hasAudio);
    EXPECT_GT(litBytes(file.frames[0]), 0u);
    // The time line steps by 1/25 s: "0.00", "0.04", ... "1.00" at frame 25.
    EXPECT_NE(file.frames[0], file.frames[1]);
    EXPECT_NE(file.frames[0], file.frames[25]);
}

TEST_F(RecordingTest, NtscRateKeepsItsFraction) {
    const ReadBack file = record({"--mode", "320x240x32", "--video", "out.avi", "--fps", "29.97",
                                  "--duration", "0.5", "NoSound"});
    EXPECT_EQ(file.rateNumerator, 30000);
    EXPECT_EQ(file.rateDenominator, 1001);
    EXPECT_EQ(file.frames.size(), 15u);
}

TEST_F(RecordingTest, SixteenBitModesRecordWithTheLowBitsZero) {
    const ReadBack file =
        record({"--mode", "320x240x16", "--video", "out.avi", "--duration", "0.2", "NoSound"});
    ASSERT_FALSE(file.frames.empty());
    const std::vector<std::uint8_t>& frame = file.frames[0];
    std::size_t lit = 0;
    for (std::size_t i = 0; i < frame.size(); i += 3) {
        EXPECT_EQ(frame[i] & 7, 0);      // blue: 5 bits
        EXPECT_EQ(frame[i + 1] & 3, 0);  // green: 6 bits
        EXPECT_EQ(frame[i + 2] & 7, 0);  // red: 5 bits
        lit += frame[i] != 0;
    }
    EXPECT_GT(lit, 0u);
}

TEST_F(RecordingTest, AFileThatCannotBeOpenedStopsTheStart) {
    const ProcessResult result =
        play(m_dir.Path(), {"VideoOut", "--headless", "--video", "no/such/folder/out.avi"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("Rec: VideoForWindows : Can't open file."), std::string::npos)
        << result.err;
}

TEST_F(RecordingTest, TheMusicStreamIsTheSoundtrackInStepWithTheFrames) {
    WriteFile(m_dir / "tune.wav", sineWave(3.0, 441.0));
    WriteFile(m_dir / "Main.txt", "PART {\r\nMUSICSTREAM \"tune.wav\";\r\n}\r\n");
    const ReadBack file = record({"--mode", "320x240x32", "--video", "out.avi", "--duration", "2",
                                  "--audio-codec", "pcm_s16le"});
    ASSERT_TRUE(file.hasAudio);
    EXPECT_EQ(file.sampleRate, kRate);
    EXPECT_EQ(file.channels, 2);
    ASSERT_EQ(file.frames.size(), 50u);
    // Exactly the sound of 50 frames, starting with the part.
    ASSERT_EQ(file.samples.size(), 2u * kRate * 2);
    double peakLeft = 0.0, peakRight = 0.0;
    for (std::size_t i = 0; i + 1 < file.samples.size(); i += 2) {
        peakLeft = std::max(peakLeft, std::fabs(double(file.samples[i])));
        peakRight = std::max(peakRight, std::fabs(double(file.samples[i + 1])));
    }
    EXPECT_GT(peakLeft, 0.2);
    EXPECT_NEAR(peakRight / peakLeft, 0.5, 0.05);
    // The tone's phase: in every window of 100 frames (one period) the
    // recording follows the source's sine from the first sample on.
    const double scale = peakLeft;
    double worst = 0.0;
    for (std::size_t n = 0; n < 2u * kRate; ++n) {
        const double expected = std::sin(2.0 * M_PI * 441.0 * double(n) / kRate) * scale;
        worst = std::max(worst, std::fabs(double(file.samples[2 * n]) - expected));
    }
    EXPECT_LT(worst, 0.02 * scale);
}

TEST(ShowcaseRecordingTest, RecordsHeadlessWithItsMusic) {
    TempDir empty;  // a production on disk would be played instead
    const ProcessResult result =
        play(empty.Path(), {"VideoOut", "--headless", "--video", "show.avi", "--duration", "3"},
             VESTA_PLAYER_PATH);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const ReadBack file = ReadRecording(empty / "show.avi");
    EXPECT_EQ(file.width, 640);
    ASSERT_EQ(file.frames.size(), 75u);
    EXPECT_GT(litBytes(file.frames[50]), file.frames[50].size() / 4);
    ASSERT_TRUE(file.hasAudio);
    EXPECT_EQ(file.audioCodec, "pcm_s16le");
    double energy = 0.0;
    for (float sample : file.samples) {
        energy += double(sample) * sample;
    }
    EXPECT_GT(energy, 1.0);
}

// The module decoded on its own, as the sound system's decoder sets it up.
std::vector<float> decodeModule(const std::vector<std::uint8_t>& bytes, std::size_t frames) {
    openmpt_module* module = openmpt_module_create_from_memory2(
        bytes.data(), bytes.size(), openmpt_log_func_silent, nullptr, openmpt_error_func_ignore,
        nullptr, nullptr, nullptr, nullptr);
    std::vector<float> samples(frames * 2);
    std::size_t done = 0;
    while (module && done < frames) {
        const std::size_t got = openmpt_module_read_interleaved_float_stereo(
            module, kRate, frames - done, samples.data() + done * 2);
        if (got == 0) {
            break;
        }
        done += got;
    }
    openmpt_module_destroy(module);
    return samples;
}

TEST_F(RecordingTest, ATrackerModuleIsTheSoundtrackAsDecodedOnItsOwn) {
    const std::vector<std::uint8_t> tune = Bytes(ReadFile(VESTA_SHOWCASE_STAGE "/hearth.mod"));
    WriteFile(m_dir / "tune.mod", tune);
    WriteFile(m_dir / "Main.txt", "PART {\r\nMODSTREAM \"tune.mod\";\r\n}\r\n");
    const ReadBack file = record({"--mode", "320x240x32", "--video", "out.avi", "--duration", "6",
                                  "--audio-codec", "pcm_s16le"});
    ASSERT_TRUE(file.hasAudio);
    ASSERT_EQ(file.samples.size(), std::size_t(6 * kRate * 2));
    const std::vector<double> heard = Loudness(file.samples, kRate / 20);
    const std::vector<double> source = Loudness(decodeModule(tune, 6 * kRate), kRate / 20);
    ASSERT_EQ(heard.size(), source.size());
    double loudest = 0.0;
    for (double value : source) {
        loudest = std::max(loudest, value);
    }
    ASSERT_GT(loudest, 0.01);
    // Window by window (50 ms) the recording is as loud as the tune, from the
    // part's first frame on: a shift of one window would show on every note.
    for (std::size_t i = 0; i < heard.size(); ++i) {
        EXPECT_NEAR(heard[i], source[i], 0.05 * loudest + 0.1 * source[i]) << "window " << i;
    }
}

TEST_F(RecordingTest, TheMusicEndsWithItsPart) {
    WriteFile(m_dir / "tune.mod", Bytes(ReadFile(VESTA_SHOWCASE_STAGE "/hearth.mod")));
    WriteFile(m_dir / "Main.txt", "PART {\r\nMODSTREAM \"tune.mod\";\r\nTIME 2 {\r\nPARTEND;\r\n"
                                  "}\r\n}\r\nPART {\r\nTIME 2 {\r\nPARTEND;\r\n}\r\n}\r\n");
    const ReadBack file =
        record({"--mode", "160x120x32", "--video", "out.avi", "--audio-codec", "pcm_s16le"});
    const std::vector<double> level = Loudness(file.samples, kRate / 10);
    ASSERT_GE(level.size(), 39u);
    double during = 0.0;
    for (std::size_t i = 0; i < 20; ++i) {
        during = std::max(during, level[i]);
    }
    EXPECT_GT(during, 0.01);
    // The part ends on the frame at 2.00 s; from the next window on, silence.
    for (std::size_t i = 21; i < level.size(); ++i) {
        EXPECT_LT(level[i], 1e-4) << "window " << i;
    }
}

// A click every second of a minute-long stream lands on the sample that
// belongs to its time: after 1500 frames sound and pictures are still in step.
TEST_F(RecordingTest, SoundAndPicturesStayInStepForAMinute) {
    std::vector<std::uint8_t> wave = sineWave(61.0, 0.0);
    constexpr std::size_t kHeader = 44;
    for (int second = 0; second <= 60; ++second) {
        const std::size_t at = kHeader + std::size_t(second) * kRate * 4;
        wave[at + 1] = 0x7F;  // left sample 0x7F00
    }
    WriteFile(m_dir / "clicks.wav", wave);
    WriteFile(m_dir / "Main.txt", "PART {\r\nMUSICSTREAM \"clicks.wav\";\r\n}\r\n");
    const ReadBack file = record({"--mode", "160x120x32", "--video", "out.avi", "--duration", "60",
                                  "--audio-codec", "pcm_s16le"});
    ASSERT_EQ(file.frames.size(), 1500u);
    ASSERT_EQ(file.samples.size(), std::size_t(60 * kRate * 2));
    for (int second : {1, 30, 59}) {
        const std::size_t from = std::size_t(second - 1) * kRate + kRate / 2;
        std::size_t loudestAt = from;
        for (std::size_t n = from; n < from + kRate; ++n) {
            if (std::fabs(file.samples[2 * n]) > std::fabs(file.samples[2 * loudestAt])) {
                loudestAt = n;
            }
        }
        EXPECT_NEAR(double(loudestAt), double(second) * kRate, 1.0) << "click of second " << second;
    }
}

// The loading sample: in two seconds before the part's end, out after the
// next part has loaded.
TEST_F(RecordingTest, TheLoadingSampleFadesAroundTheNextLoad) {
    WriteFile(m_dir / "tone.wav", sineWave(20.0, 441.0));
    WriteFile(m_dir / "Main.txt", "PART {\r\nNEXTLOAD_SAMPLE \"tone.wav\";\r\nTIME 4 {\r\n"
                                  "PARTEND;\r\n}\r\n}\r\nPART {\r\nTIME 4 {\r\nPARTEND;\r\n"
                                  "}\r\n}\r\n");
    const ReadBack file = record({"--mode", "160x120x32", "--video", "out.avi", "--duration", "8",
                                  "--audio-codec", "pcm_s16le"});
    // Quarter seconds: silent to 2 s, rising to the part's end at 4 s, falling
    // once the second part is in, silent again a second later.
    const std::vector<double> level = Loudness(file.samples, kRate / 4);
    ASSERT_EQ(level.size(), 32u);
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_LT(level[i], 1e-4) << "before the fade, window " << i;
    }
    for (std::size_t i = 8; i < 16; ++i) {
        EXPECT_GT(level[i], level[i - 1] + 0.01) << "fading in, window " << i;
    }
    EXPECT_GT(level[15], 0.2);
    for (std::size_t i = 17; i < 20; ++i) {
        EXPECT_LT(level[i], level[i - 1] - 0.01) << "fading out, window " << i;
    }
    for (std::size_t i = 21; i < level.size(); ++i) {
        EXPECT_LT(level[i], 1e-4) << "after the fade, window " << i;
    }
}

// Blue, green, red of pixel (x, y) counted from the top of the picture.
const std::uint8_t* pixelAt(const ReadBack& file, const std::vector<std::uint8_t>& frame, int x,
                            int y) {
    const int row = file.height - 1 - y;
    return &frame[(static_cast<std::size_t>(row) * file.width + x) * 3];
}

// One white picture, half size, moved right by 0.1 screen: its corners are
// placed by scale and offset twice, so it spans x 0.025..0.275 and
// y -0.125..0.125 of the 1 x 1 screen, pixels 336..496 by 180..300 at
// 640 x 480. Its alpha follows the envelope: int(255 i) over black.
TEST_F(RecordingTest, AnImageLayerIsWhereAndAsBrightAsItsEnvelopePutsIt) {
    PngPicture white;  // grey, 8 bits
    white.width = 64;
    white.height = 64;
    white.samples.assign(64 * 64, 255);
    WriteFile(m_dir / "white.png", EncodePng(white));
    WriteFile(m_dir / "Main.txt", "PART {\r\nTIME 0 {\r\nCREATE \"GFXLayer\" {\r\n"
                                  "Texture \"white.png\";\r\nXScale 0.5;\r\nYScale 0.5;\r\n"
                                  "XOffset 0.1;\r\nRisingTime 1;\r\nStableTime 1;\r\n"
                                  "FallingTime 1;\r\n}\r\n}\r\n}\r\n");
    const ReadBack file = record({"--mode", "640x480x32", "--video", "out.avi", "--codec", "ffv1",
                                  "--duration", "3.2", "NoSound"});
    ASSERT_EQ(file.frames.size(), 80u);
    struct Expected {
        std::size_t frame;
        int alpha;
    };
    // Rising at 0.48 s, stable at 1.48 s, falling at 2.48 s (i = 0.52), gone at 3.12 s.
    for (const Expected& expected : {Expected{12, 122}, {37, 255}, {62, 132}, {78, 0}}) {
        const std::vector<std::uint8_t>& frame = file.frames[expected.frame];
        for (const auto& [x, y] : {std::pair{340, 184}, {416, 240}, {492, 296}}) {
            const std::uint8_t* bgr = pixelAt(file, frame, x, y);
            for (int c = 0; c < 3; ++c) {
                EXPECT_NEAR(bgr[c], expected.alpha, 1)
                    << "frame " << expected.frame << " at " << x << ", " << y;
            }
        }
        for (const auto& [x, y] : {std::pair{332, 240}, {500, 240}, {416, 176}, {416, 304}}) {
            EXPECT_EQ(pixelAt(file, frame, x, y)[1], 0)
                << "frame " << expected.frame << " outside at " << x << ", " << y;
        }
    }
}

// A picture that shakes by the pseudo-random numbers of its layer: the
// same seed shakes it alike, another seed otherwise.
TEST_F(RecordingTest, TheSameSeedRecordsTheSameFrames) {
    PngPicture white;
    white.width = white.height = 16;
    white.samples.assign(16 * 16, 255);
    WriteFile(m_dir / "white.png", EncodePng(white));
    WriteFile(m_dir / "Main.txt",
              "PART {\r\nTIME 0 {\r\nCREATE \"GFXLayer\" {\r\n"
              "Texture \"white.png\";\r\nXScale 0.3;\r\nYScale 0.3;\r\n"
              "Vibration 0.2;\r\nScintille 0.5;\r\nStableTime 5;\r\n}\r\n}\r\n}\r\n");
    auto recordWith = [&](const char* seed, const char* file) {
        const ProcessResult result =
            play(m_dir.Path(), {"VideoOut", "NoSound", "--headless", "--mode", "160x120x32",
                                "--video", file, "--duration", "0.4", "--seed", seed});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_NE(result.err.find(std::string("vesta: random seed ") + seed + "\n"),
                  std::string::npos)
            << result.err;
        return ReadRecording(m_dir / file).frames;
    };
    const auto first = recordWith("7", "a.avi");
    const auto again = recordWith("7", "b.avi");
    const auto other = recordWith("8", "c.avi");
    ASSERT_EQ(first.size(), 10u);
    EXPECT_GT(std::count(first[5].begin(), first[5].end(), 0), 0);
    EXPECT_NE(std::count(first[5].begin(), first[5].end(), 0),
              static_cast<std::ptrdiff_t>(first[5].size()));  // the picture shows
    EXPECT_TRUE(first == again);
    EXPECT_FALSE(first == other);
}

// Music that opens with a click: in every container the click is heard
// with the part's first frame, whatever the sound codec's priming.
TEST_F(RecordingTest, TheMusicStartsWithThePartsFirstFrameInEveryContainer) {
    std::vector<std::uint8_t> wave = sineWave(1.0, 0.0);
    constexpr std::size_t kHeader = 44;
    for (std::size_t n = 0; n < 22; ++n) {  // half a millisecond, left and right
        wave[kHeader + 4 * n + 1] = 0x7F;
        wave[kHeader + 4 * n + 3] = 0x7F;
    }
    WriteFile(m_dir / "click.wav", wave);
    WriteFile(m_dir / "Main.txt", "PART {\r\nMUSICSTREAM \"click.wav\";\r\n}\r\n");
    for (const char* name : {"out.avi", "out.mkv", "out.mp4"}) {
        const ProcessResult result =
            play(m_dir.Path(), {"VideoOut", "--headless", "--mode", "160x120x32", "--video", name,
                                "--duration", "0.6"});
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const ReadBack file = ReadRecording(m_dir / name);
        ASSERT_TRUE(file.hasAudio) << name;
        ASSERT_EQ(file.frames.size(), 15u) << name;
        EXPECT_NEAR(file.firstFrameSeconds, 0.0, 1e-6) << name;
        // In presentation order: MP4's default codec reorders its frames.
        std::vector<std::int64_t> shown = file.framePts;
        std::sort(shown.begin(), shown.end());
        for (std::size_t i = 0; i < shown.size(); ++i) {
            EXPECT_EQ(shown[i], std::int64_t(i)) << name;
        }
        std::size_t heard = 0;
        while (heard < file.samples.size() && std::fabs(file.samples[heard]) < 0.1f) {
            ++heard;
        }
        ASSERT_LT(heard, file.samples.size()) << name;
        const double clickAt = file.firstSampleSeconds + double(heard / 2) / file.sampleRate;
        EXPECT_NEAR(clickAt, file.firstFrameSeconds, 0.001) << name << ", " << file.audioCodec;
    }
}

}  // namespace
}  // namespace vesta::test
