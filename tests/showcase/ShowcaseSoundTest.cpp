// The streamed music and the loading sound as libsndfile reads them, as the
// script uses them, and as the player records them.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <sndfile.h>

#include "EngineState.h"
#include "ShowcaseProduction.h"
#include "VideoReadBack.h"
#include "script/ScriptParser.h"

namespace vesta::test {
namespace {

constexpr int kRate = 44100;

struct Decoded {
    bool opened = false;
    int rate = 0;
    int channels = 0;
    std::vector<float> samples;  // interleaved stereo
    std::size_t Frames() const { return samples.size() / 2; }
};

Decoded decode(const std::filesystem::path& file) {
    Decoded sound;
    SF_INFO info{};
    SNDFILE* in = sf_open(file.c_str(), SFM_READ, &info);
    if (!in) {
        return sound;
    }
    sound.opened = true;
    sound.rate = info.samplerate;
    sound.channels = info.channels;
    if (info.channels == 2) {
        sound.samples.resize(static_cast<std::size_t>(info.frames) * 2);
        sound.samples.resize(
            static_cast<std::size_t>(sf_readf_float(in, sound.samples.data(), info.frames)) * 2);
    }
    sf_close(in);
    return sound;
}

// "0.081 0.120 ...": the shape of a sound, one level per window.
std::string shape(const std::vector<double>& levels) {
    std::string text;
    for (double level : levels) {
        char number[16];
        std::snprintf(number, sizeof number, "%.3f ", level);
        text += number;
    }
    return text;
}

float peakOf(const std::vector<float>& samples) {
    float peak = 0;
    for (float sample : samples) {
        peak = std::max(peak, std::abs(sample));
    }
    return peak;
}

ParsedScript showcaseScript() {
    ResetEngineState();
    ScopedChdir chdir(Showcase().Folder());
    ParsedScript script;
    CScriptParser(script).Load("Showcase.txt");
    ResetEngineState();
    return script;
}

// Every second of a file, from its start to `untilSecond`, is heard, and
// nothing reaches full scale.
void expectAudibleWithoutClipping(const std::string& name, double seconds, double untilSecond) {
    SCOPED_TRACE(name);
    const Decoded sound = decode(Showcase().Folder() / name);
    ASSERT_TRUE(sound.opened);
    EXPECT_EQ(sound.rate, kRate);
    ASSERT_EQ(sound.channels, 2);
    EXPECT_EQ(sound.Frames(), std::size_t(seconds * kRate));
    const std::vector<double> perSecond = Loudness(sound.samples, kRate);
    ASSERT_GE(perSecond.size(), std::size_t(untilSecond));
    for (std::size_t second = 0; second < std::size_t(untilSecond); ++second) {
        EXPECT_GT(perSecond[second], 0.02)
            << "second " << second << "; levels per second: " << shape(perSecond);
    }
    EXPECT_LT(peakOf(sound.samples), 1.0f) << shape(perSecond);
}

TEST(ShowcaseSoundTest, StreamAndLoadingSoundDecodeAtTheirRateAndLengthAudibleAndUnclipped) {
    ASSERT_EQ(Showcase().Generator().exitCode, 0) << Showcase().Generator().err;
    expectAudibleWithoutClipping("ignition.ogg", 18.0, 16.0);
    expectAudibleWithoutClipping("loading_swell.ogg", 4.0, 4.0);
}

// The swell loops: the step from its last frame back to its first is no
// larger than the steps inside it, so the seam does not click.
TEST(ShowcaseSoundTest, LoadingSoundLoopsWithoutAClick) {
    const Decoded sound = decode(Showcase().Folder() / "loading_swell.ogg");
    ASSERT_TRUE(sound.opened);
    ASSERT_GT(sound.Frames(), 2u);
    for (std::size_t side = 0; side < 2; ++side) {
        float largestStep = 0;
        for (std::size_t i = 1; i < sound.Frames(); ++i) {
            largestStep = std::max(largestStep, std::abs(sound.samples[2 * i + side] -
                                                         sound.samples[2 * i - 2 + side]));
        }
        const float seam =
            std::abs(sound.samples[side] - sound.samples[sound.samples.size() - 2 + side]);
        EXPECT_LE(seam, largestStep * 1.1f) << "side " << side;
    }
}

// The first part streams its music for longer than it lasts; every part with
// a part after it fills the wait with the swell; the last has nothing to wait for.
TEST(ShowcaseSoundTest, ScriptStreamsTheFirstPartAndSwellsBeforeEveryNextPart) {
    const ParsedScript script = showcaseScript();
    ASSERT_EQ(script.parts.size(), 6u);
    EXPECT_EQ(script.parts.front().musicStream, "ignition.ogg");
    EXPECT_EQ(script.parts.front().modStream, "");
    EXPECT_LE(script.parts.front().timeBlocks.back().time, 18.0f);
    for (std::size_t i = 0; i + 1 < script.parts.size(); ++i) {
        EXPECT_EQ(script.parts[i].nextLoadSample, "loading_swell.ogg") << "part " << i;
    }
    EXPECT_EQ(script.parts.back().nextLoadSample, "");
    const std::vector<std::string> files = FilesNamedBy(script);
    for (const char* name : {"ignition.ogg", "loading_swell.ogg"}) {
        EXPECT_NE(std::find(files.begin(), files.end(), name), files.end()) << name;
    }
}

// The first part as the player records it, up to its end at 16 s: made once
// for the tests below.
constexpr int kRecordedSeconds = 16;

struct Recording {
    bool skipped = false;  // a player without image layers
    ProcessResult run;
    ReadBack file;
    std::vector<float> stream;  // the same seconds of "ignition.ogg"
};

const Recording& firstPartRecorded() {
    static const Recording recording = [] {
        Recording made;
        TempDir empty;  // a production on disk would be played instead
        const ProcessResult check = RunProcess(VESTA_PLAYER_PATH, {"--check"}, empty.Path());
        made.skipped = check.err.find("unknown layer kind [GFXLayer]") != std::string::npos;
        if (made.skipped) {
            return made;
        }
        made.run = RunProcess(VESTA_PLAYER_PATH,
                              {"VideoOut", "--headless", "--mode", "160x120x32", "--video",
                               "show.avi", "--duration", std::to_string(kRecordedSeconds),
                               "--audio-codec", "pcm_s16le"},
                              empty.Path());
        made.file = ReadRecording(empty / "show.avi");
        Decoded stream = decode(Showcase().Folder() / "ignition.ogg");
        stream.samples.resize(std::size_t(kRecordedSeconds * kRate * 2));
        made.stream = std::move(stream.samples);
        return made;
    }();
    return recording;
}

class ShowcaseRecordedSoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (recording().skipped) {
            GTEST_SKIP() << "this player has no image layers yet";
        }
        ASSERT_EQ(recording().run.exitCode, 0) << recording().run.err;
        ASSERT_TRUE(recording().file.hasAudio);
        ASSERT_EQ(recording().file.sampleRate, kRate);
        ASSERT_EQ(recording().file.samples.size(), std::size_t(kRecordedSeconds * kRate * 2));
        m_heard = Loudness(recording().file.samples, kRate / 4);
        m_stream = Loudness(recording().stream, kRate / 4);
        m_shapes = "\nrecorded per second: " + shape(Loudness(recording().file.samples, kRate)) +
                   "\nstream per second:   " + shape(Loudness(recording().stream, kRate));
    }
    static const Recording& recording() { return firstPartRecorded(); }

    std::vector<double> m_heard, m_stream;  // quarter seconds
    std::string m_shapes;
};

// Until the loading sound begins two seconds before the part's end, the
// soundtrack is the stream, quarter second by quarter second, from the first
// frame on.
TEST_F(ShowcaseRecordedSoundTest, SoundtrackIsTheStreamFromTheFirstFrame) {
    const std::vector<double> perSecond = Loudness(recording().file.samples, kRate);
    for (std::size_t second = 0; second < perSecond.size(); ++second) {
        EXPECT_GT(perSecond[second], 0.02) << "second " << second << m_shapes;
    }
    for (std::size_t i = 0; i < std::size_t(4 * (kRecordedSeconds - 2)); ++i) {
        EXPECT_NEAR(m_heard[i], m_stream[i], 0.1 * m_stream[i] + 0.005)
            << "window " << i << m_shapes;
    }
}

// Over the last two seconds the swell fades in on top of the stream: what is
// heard beyond the stream's own energy grows towards the part's end.
TEST_F(ShowcaseRecordedSoundTest, LoadingSoundFadesInOverTheLastTwoSeconds) {
    const auto added = [&](std::size_t window) {
        return m_heard[window] * m_heard[window] - m_stream[window] * m_stream[window];
    };
    std::string excess;
    for (std::size_t i = 4 * (kRecordedSeconds - 2); i < m_heard.size(); ++i) {
        excess += std::to_string(added(i)) + " ";
    }
    const std::size_t last = m_heard.size() - 1;
    EXPECT_GT(added(last), 0.002) << "energy added per quarter second: " << excess << m_shapes;
    EXPECT_GT(added(last), 4 * added(last - 5)) << excess << m_shapes;
}

}  // namespace
}  // namespace vesta::test
