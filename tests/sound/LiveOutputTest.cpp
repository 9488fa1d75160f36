// A real-time output: OpenAL's "null" backend mixes on its own clock as a
// sound card would, so the feeder thread must keep the streams decoded ahead.
// The backend is chosen before OpenAL first starts, hence a program of its own.

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <thread>

#include "EngineState.h"
#include "SoundTestData.h"
#include "sound/SoundSystem.h"

namespace vesta::test {
namespace {

using namespace std::chrono_literals;

TEST(LiveOutputTest, FeederKeepsAStreamPlayingToItsEnd) {
    ResetEngineState();
    SoundSystem sound;
    sound.Initialize(SoundOutput::Device);
    ASSERT_EQ(sound.Output(), SoundOutput::Device);
    // Six seconds at four times the speed: 1.5 s of real time, many queues.
    const SoundHandle stream =
        sound.StreamCreate(MakeSineFile(SF_FORMAT_FLAC, 44100, {{441, 0.5}, {441, 0.5}}, 6.0));
    ASSERT_TRUE(sound.StreamPlay(stream));
    sound.ChannelSetAttributes(stream, 4 * 44100, -1, -101);
    int loud = 0;
    for (int i = 0; i < 10; ++i) {
        std::this_thread::sleep_for(100ms);
        ASSERT_TRUE(sound.ChannelIsPlaying(stream)) << "after " << (i + 1) * 100 << " ms";
        loud += sound.CurrentLevel().left > 50;
    }
    EXPECT_GE(loud, 7) << "no gaps";
    for (int i = 0; i < 60 && sound.ChannelIsPlaying(stream); ++i) {
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_FALSE(sound.ChannelIsPlaying(stream)) << "ended";
}

TEST(LiveOutputTest, LoadingSampleFadesOnRealTime) {
    ResetEngineState();
    SoundSystem sound;
    sound.Initialize(SoundOutput::Device);
    ASSERT_TRUE(sound.StartNextLoadSample(MakeSineFile(SF_FORMAT_WAV, 44100, {{441, 0.5}}, 0.5)));
    std::this_thread::sleep_for(300ms);
    sound.ReleaseNextLoadSample();
    EXPECT_FALSE(sound.NextLoadSampleRunning());
}

}  // namespace
}  // namespace vesta::test

int main(int argc, char** argv) {
    setenv("ALSOFT_DRIVERS", "null", 1);
    setenv("ALSOFT_LOGLEVEL", "0", 1);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
