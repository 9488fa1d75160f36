// Attributes, levels, samples, 3D placement and the outputs without sound.

#include <sndfile.h>

#include "SoundFixture.h"
#include "SoundTestData.h"
#include "log/Log.h"

namespace vesta::test {
namespace {

std::vector<std::uint8_t> stereoTone(double seconds) {
    return MakeSineFile(SF_FORMAT_WAV, 44100, {{441, 0.5}, {441, 0.25}}, seconds);
}

TEST_F(LoopbackTest, UnchangedMarkersLeaveEachAttributeAsItWas) {
    const SoundHandle stream = sound.StreamCreate(stereoTone(1.0));
    ASSERT_TRUE(sound.ChannelSetAttributes(stream, 30000, 40, -20));
    ASSERT_TRUE(
        sound.ChannelSetAttributes(stream, kFrequencyUnchanged, kVolumeUnchanged, kPanUnchanged));
    int frequency = 0;
    int volume = 0;
    int pan = 0;
    ASSERT_TRUE(sound.ChannelGetAttributes(stream, &frequency, &volume, &pan));
    EXPECT_EQ(frequency, 30000);
    EXPECT_EQ(volume, 40);
    EXPECT_EQ(pan, -20);
    sound.ChannelSetAttributes(stream, -1, 250, 300);  // clamped
    sound.ChannelGetAttributes(stream, nullptr, &volume, &pan);
    EXPECT_EQ(volume, 100);
    EXPECT_EQ(pan, 100);
    EXPECT_FALSE(sound.ChannelSetAttributes(stream + 1000, 1, 1, 1));
    EXPECT_FALSE(sound.ChannelGetAttributes(0, &frequency, &volume, &pan));
}

TEST_F(LoopbackTest, VolumeScalesAndPanMovesTheSound) {
    // OpenAL glides to a new gain over the first part of a render; look after it.
    constexpr std::size_t kSettled = 2400;
    const SoundHandle stream = sound.StreamCreate(stereoTone(2.0));
    sound.StreamPlay(stream);
    sound.ChannelSetAttributes(stream, -1, 50, -101);
    std::vector<float> played = render(4410);
    EXPECT_NEAR(Peak(played, 0, kSettled, 4410), 0.25f, 0.01f);
    EXPECT_NEAR(Peak(played, 1, kSettled, 4410), 0.125f, 0.01f);

    sound.ChannelSetAttributes(stream, -1, 100, 100);
    played = render(4410);
    EXPECT_LT(Peak(played, 0, kSettled, 4410), 0.01f);
    EXPECT_GT(Peak(played, 1, kSettled, 4410), 0.5f) << "both channels on the right";
    sound.ChannelSetAttributes(stream, -1, 100, -100);
    played = render(4410);
    EXPECT_GT(Peak(played, 0, kSettled, 4410), 0.5f);
    EXPECT_LT(Peak(played, 1, kSettled, 4410), 0.01f);
    sound.ChannelSetAttributes(stream, -1, 100, 50);
    played = render(4410);
    EXPECT_GT(Peak(played, 0, kSettled, 4410), 0.1f) << "half way: some of the left stays";
    EXPECT_GT(Peak(played, 1, kSettled, 4410), 0.3f);
}

TEST_F(LoopbackTest, LevelIsThatOfTheMostRecentMusic) {
    EXPECT_EQ(sound.CurrentLevel().mean, 0);
    const SoundHandle stream = sound.StreamCreate(stereoTone(2.0));
    sound.StreamPlay(stream);
    render(4410);
    SoundLevel level = sound.CurrentLevel();
    EXPECT_NEAR(level.left, 64, 1);
    EXPECT_NEAR(level.right, 32, 1);
    EXPECT_EQ(level.mean, (level.left + level.right) / 2);

    sound.ChannelSetAttributes(stream, -1, 50, -101);
    render(4410);
    EXPECT_NEAR(sound.CurrentLevel().left, 32, 1);

    // A newer module takes over the bars, even before it plays.
    const SoundHandle module = sound.MusicLoad(MakeModule());
    EXPECT_EQ(sound.MostRecentMusic(), module);
    EXPECT_EQ(sound.CurrentLevel().left, 0);
    sound.MusicPlay(module);
    render(4410);
    EXPECT_GT(sound.CurrentLevel().left, 0);
    sound.MusicFree(module);
    level = sound.CurrentLevel();
    EXPECT_EQ(level.left + level.right + level.mean, 0);
}

TEST_F(LoopbackTest, SampleHasAtMostOnePlayback) {
    const SoundHandle sample =
        sound.SampleLoad(MakeSineFile(SF_FORMAT_WAV, 44100, {{441, 0.4}}, 0.5), 1, 0);
    ASSERT_NE(sample, 0u);
    SampleInfo info;
    ASSERT_TRUE(sound.SampleGetInfo(sample, info));
    EXPECT_EQ(info.frequency, 44100);
    EXPECT_EQ(info.length, 22050u);
    EXPECT_EQ(info.maxPlaybacks, 1);

    const SoundHandle first = sound.SamplePlay(sample);
    ASSERT_NE(first, 0u);
    render(2000);
    const SoundHandle second = sound.SamplePlay(sample);
    ASSERT_NE(second, 0u);
    EXPECT_FALSE(sound.ChannelIsPlaying(first)) << "taken over";
    const std::vector<float> played = render(4410);
    EXPECT_NEAR(Peak(played, 0, 0, 4410), 0.4f, 0.01f) << "one playback, not two";

    render(44100);  // past its end
    EXPECT_FALSE(sound.ChannelIsPlaying(second));
    const SoundHandle again = sound.SamplePlay(sample);
    EXPECT_TRUE(sound.ChannelIsPlaying(again));
    EXPECT_TRUE(sound.SampleFree(sample));
    EXPECT_FALSE(sound.ChannelIsPlaying(again));
    EXPECT_EQ(sound.SamplePlay(sample), 0u);
}

TEST_F(LoopbackTest, SampleDefaultsApplyToTheNextPlayback) {
    const SoundHandle sample =
        sound.SampleLoad(MakeSineFile(SF_FORMAT_WAV, 44100, {{441, 0.8}}, 1.0), 1, kSoundLoop);
    SampleInfo info;
    sound.SampleGetInfo(sample, info);
    info.volume = 25;
    info.length = 1;  // the data decides; kept as loaded
    ASSERT_TRUE(sound.SampleSetInfo(sample, info));
    sound.SampleGetInfo(sample, info);
    EXPECT_EQ(info.length, 44100u);
    sound.SamplePlay(sample);
    const std::vector<float> played = render(44100 + 4410);  // through the loop point
    EXPECT_NEAR(Peak(played, 0, 44100, 44100 + 4410), 0.2f, 0.01f);
}

class Sound3DTest : public LoopbackTest {
protected:
    // Peaks of each side while the sample plays at `position`.
    std::pair<float, float> sidesAt(SoundVector position) {
        const SoundHandle channel = sound.SamplePlay3D(m_sample, &position);
        sound.Apply3D();
        const std::vector<float> played = render(4410);
        sound.ChannelStop(channel);
        return {Peak(played, 0, 1000, 4410), Peak(played, 1, 1000, 4410)};
    }
    void SetUp() override {
        LoopbackTest::SetUp();
        m_sample = sound.SampleLoad(
            MakeSineFile(SF_FORMAT_WAV, 44100, {{441, 0.5}, {441, 0.5}}, 1.0), 1, kSound3D);
        ASSERT_NE(m_sample, 0u);
        const SoundVector origin;
        const SoundVector front{0, 0, 1};
        const SoundVector top{0, 1, 0};
        sound.Set3DPosition(&origin, &origin, &front, &top);
    }
    SoundHandle m_sample = 0;
};

TEST_F(Sound3DTest, PositionMovesTheBalance) {
    const auto [rightLeft, rightRight] = sidesAt({10, 0, 0});
    EXPECT_GT(rightRight, 2.0f * rightLeft);
    const auto [leftLeft, leftRight] = sidesAt({-10, 0, 0});
    EXPECT_GT(leftLeft, 2.0f * leftRight);
    const auto [frontLeft, frontRight] = sidesAt({0, 0, 10});
    EXPECT_NEAR(frontLeft, frontRight, 0.01f);

    // The listener turned to face -x puts +z on the right.
    const SoundVector front{-1, 0, 0};
    sound.Set3DPosition(nullptr, nullptr, &front, nullptr);
    const auto [turnedLeft, turnedRight] = sidesAt({0, 0, 10});
    EXPECT_GT(turnedRight, 2.0f * turnedLeft);
}

TEST_F(Sound3DTest, DistancesAndRolloffAttenuate) {
    SampleInfo info;
    sound.SampleGetInfo(m_sample, info);
    info.minDistance = 1.0f;
    info.maxDistance = 40.0f;
    sound.SampleSetInfo(m_sample, info);
    const auto [nearLeft, nearRight] = sidesAt({0, 0, 1});
    const auto [farLeft, farRight] = sidesAt({0, 0, 20});
    EXPECT_NEAR(farLeft / nearLeft, 1.0f / 20.0f, 0.01f) << "inverse distance";
    const auto [beyondLeft, beyondRight] = sidesAt({0, 0, 400});
    EXPECT_NEAR(beyondLeft / nearLeft, 1.0f / 40.0f, 0.01f) << "no further past the maximum";

    sound.Set3DFactors(-1.0f, 4.0f, -1.0f);
    const auto [steepLeft, steepRight] = sidesAt({0, 0, 20});
    EXPECT_NEAR(steepLeft / nearLeft, 1.0f / (1.0f + 4.0f * 19.0f), 0.01f);
    (void)nearRight, (void)farRight, (void)beyondRight, (void)steepRight;
}

TEST_F(Sound3DTest, ChannelPositionWaitsForApply3D) {
    const SoundVector right{10, 0, 0};
    const SoundHandle channel = sound.SamplePlay3D(m_sample, &right);
    sound.Apply3D();
    render(2000);
    const SoundVector left{-10, 0, 0};
    EXPECT_TRUE(sound.ChannelSet3DPosition(channel, &left, nullptr, nullptr));
    std::vector<float> played = render(4410);
    EXPECT_GT(Peak(played, 1, 1000, 4410), 2.0f * Peak(played, 0, 1000, 4410));
    sound.Apply3D();
    played = render(4410);
    EXPECT_GT(Peak(played, 0, 1000, 4410), 2.0f * Peak(played, 1, 1000, 4410));
    EXPECT_TRUE(sound.ChannelSet3DAttributes(channel, Sound3DMode::Unchanged, 35.0f, 1000.0f));
}

TEST(NoSoundTest, EveryLoadWorksAndNothingIsHeard) {
    ResetEngineState();
    SoundSystem sound;  // never initialised
    EXPECT_EQ(sound.Output(), SoundOutput::None);
    const SoundHandle stream = sound.StreamCreate(stereoTone(0.2));
    const SoundHandle module = sound.MusicLoad(MakeModule());
    const SoundHandle sample = sound.SampleLoad(stereoTone(0.2), 1, kSoundLoop);
    ASSERT_NE(stream, 0u);
    ASSERT_NE(module, 0u);
    ASSERT_NE(sample, 0u);
    EXPECT_TRUE(sound.StreamPlay(stream));
    EXPECT_TRUE(sound.MusicPlay(module));
    EXPECT_NE(sound.SamplePlay(sample), 0u);
    EXPECT_TRUE(sound.ChannelSetAttributes(stream, 22050, -1, -101));
    int frequency = 0;
    sound.ChannelGetAttributes(stream, &frequency, nullptr, nullptr);
    EXPECT_EQ(frequency, 22050);
    EXPECT_EQ(sound.CurrentLevel().mean, 0);
    std::vector<float> out(200, 1.0f);
    EXPECT_FALSE(sound.RenderAudio(out.data(), 100));
    EXPECT_EQ(Peak(out, 0, 0, 100), 0.0f);
    EXPECT_EQ(sound.StreamCreate(std::vector<std::uint8_t>(100, 7)), 0u) << "still no sound file";
    sound.Apply3D();
    sound.Shutdown();
    EXPECT_TRUE(sound.StreamFree(stream));
    EXPECT_TRUE(sound.MusicFree(module));
    EXPECT_TRUE(sound.SampleFree(sample));
}

TEST(DeviceTest, OpensTheDefaultDeviceOrSaysItCannot) {
    ResetEngineState();
    SoundSystem sound;
    try {
        sound.Initialize(SoundOutput::Device);
        EXPECT_EQ(sound.Output(), SoundOutput::Device);
    } catch (const CUserException& error) {
        EXPECT_EQ(std::string(error.Text()).rfind("Can't initialize digital sound system: ", 0), 0u);
        EXPECT_EQ(sound.Output(), SoundOutput::None);
        EXPECT_NE(sound.StreamCreate(stereoTone(0.1)), 0u) << "loads still work";
    }
}

TEST(LoopbackOutputTest, LogsWhichOutputItOpened) {
    ResetEngineState();
    std::vector<std::string> lines;
    SetLogSink(
        [](void* context, const char* line) {
            static_cast<std::vector<std::string>*>(context)->push_back(line);
        },
        &lines);
    SoundSystem sound;
    sound.Initialize(SoundOutput::Loopback, 48000);
    SetLogSink(nullptr, nullptr);
    EXPECT_EQ(sound.OutputRate(), 48000);
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines.back().find("Using sound output [loopback] at 48000 Hz"), std::string::npos)
        << lines.back();
}

}  // namespace
}  // namespace vesta::test
