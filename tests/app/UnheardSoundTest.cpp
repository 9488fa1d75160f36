// The sound of a headless run that nobody hears: mixed with the presentation
// time, so that what waits for the audio clock ends.

#include "app/UnheardSound.h"

#include <chrono>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <thread>

#include "EngineState.h"
#include "SoundTestData.h"
#include "sound/SoundSystem.h"

namespace vesta::test {
namespace {

using namespace std::chrono_literals;

constexpr int kRate = 44100;

// The loading sample's worker frees its sample once the fade-out has played.
bool freedWithin(const SoundSystem& sound, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (sound.LiveHandleCount() != 0 && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(5ms);
    }
    return sound.LiveHandleCount() == 0;
}

class UnheardSoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEngineState();
        m_sound.Initialize(SoundOutput::Loopback, kRate);
        ASSERT_EQ(m_sound.Output(), SoundOutput::Loopback);
    }
    SoundSystem m_sound;
};

TEST_F(UnheardSoundTest, MixesUpToThePresentationTimeAndNeverBack) {
    UnheardSound unheard(m_sound);
    unheard.MixUntil(0.5);
    EXPECT_EQ(unheard.FramesMixed(), kRate / 2);
    unheard.MixUntil(0.25);
    EXPECT_EQ(unheard.FramesMixed(), kRate / 2);
    unheard.MixUntil(10.0);  // a jump: many chunks at once
    EXPECT_EQ(unheard.FramesMixed(), 10 * kRate);
}

// Without the mix the released sample would wait for its fade-out for ever,
// keeping its thread, its sample and its playback: two handles a part.
TEST_F(UnheardSoundTest, AReleasedLoadingSampleIsFreedOnceItsFadeOutIsMixed) {
    UnheardSound unheard(m_sound);
    ASSERT_TRUE(m_sound.StartNextLoadSample(MakeSineFile(SF_FORMAT_WAV, kRate, {{441, 0.5}}, 0.5)));
    unheard.MixUntil(2.5);  // the part loads while the sample fades in
    m_sound.ReleaseNextLoadSample();
    EXPECT_FALSE(freedWithin(m_sound, 200ms)) << "freed before its fade-out was heard";
    unheard.MixUntil(3.6);  // the one-second fade-out
    EXPECT_TRUE(freedWithin(m_sound, 5s)) << m_sound.LiveHandleCount() << " handles left";
}

}  // namespace
}  // namespace vesta::test
