// The loading sample's fades, heard through the loopback device at the
// audio time they are due.

#include <chrono>
#include <sndfile.h>
#include <thread>

#include "SoundFixture.h"
#include "SoundTestData.h"

namespace vesta::test {
namespace {

constexpr std::size_t kStep = 4410;  // 100 ms
constexpr float kAmplitude = 0.8f;

class NextLoadSampleTest : public LoopbackTest {
protected:
    void SetUp() override {
        LoopbackTest::SetUp();
        m_bytes = MakeSineFile(SF_FORMAT_WAV, kRate, {{441, kAmplitude}}, 0.5);
    }
    // The peak of the second half of each 100 ms step: OpenAL glides from
    // one gain to the next over the first part.
    static std::vector<float> stepPeaks(const std::vector<float>& played) {
        std::vector<float> peaks;
        for (std::size_t at = 0; at + kStep <= played.size() / 2; at += kStep) {
            peaks.push_back(Peak(played, 0, at + kStep / 2, at + kStep));
        }
        return peaks;
    }
    std::vector<std::uint8_t> m_bytes;
};

TEST_F(NextLoadSampleTest, FadesInOverTwoSecondsAndOutOverOneAfterRelease) {
    ASSERT_TRUE(sound.StartNextLoadSample(m_bytes));
    EXPECT_TRUE(sound.NextLoadSampleRunning());
    EXPECT_FALSE(sound.StartNextLoadSample(m_bytes)) << "one at a time";

    const std::vector<float> fadeIn = stepPeaks(render(25 * kStep));
    for (int i = 0; i < 20; ++i) {
        EXPECT_NEAR(fadeIn[std::size_t(i)], kAmplitude * float(5 * (i + 1)) / 100.0f, 0.01f)
            << "step " << i;
    }
    for (std::size_t i = 20; i < fadeIn.size(); ++i) {
        EXPECT_NEAR(fadeIn[i], kAmplitude, 0.01f) << "held at full volume, step " << i;
    }
    EXPECT_EQ(sound.CurrentLevel().mean, 0) << "no music";

    sound.ReleaseNextLoadSample();
    EXPECT_FALSE(sound.NextLoadSampleRunning());
    const std::vector<float> fadeOut = stepPeaks(render(12 * kStep));
    for (int i = 0; i < 10; ++i) {
        EXPECT_NEAR(fadeOut[std::size_t(i)], kAmplitude * float(90 - 10 * i) / 100.0f, 0.01f)
            << "step " << i;
    }
    EXPECT_EQ(fadeOut[10], 0.0f);
    EXPECT_EQ(fadeOut[11], 0.0f);
    EXPECT_TRUE(sound.StartNextLoadSample(m_bytes)) << "the next part's";
}

TEST_F(NextLoadSampleTest, EarlyReleaseFadesOutWhenTheFadeInEnds) {
    ASSERT_TRUE(sound.StartNextLoadSample(m_bytes));
    render(5 * kStep);
    sound.ReleaseNextLoadSample();
    const std::vector<float> peaks = stepPeaks(render(32 * kStep));
    EXPECT_NEAR(peaks[5], kAmplitude * 0.55f, 0.01f) << "the fade-in goes on";
    EXPECT_NEAR(peaks[14], kAmplitude, 0.01f);
    EXPECT_NEAR(peaks[15], kAmplitude * 0.90f, 0.01f);
    EXPECT_NEAR(peaks[23], kAmplitude * 0.10f, 0.01f);
    EXPECT_EQ(peaks[25], 0.0f);
}

TEST_F(NextLoadSampleTest, ANewOneMayStartWhileTheLastFadesOut) {
    ASSERT_TRUE(sound.StartNextLoadSample(m_bytes));
    render(21 * kStep);
    sound.ReleaseNextLoadSample();
    ASSERT_TRUE(sound.StartNextLoadSample(m_bytes));
    const std::vector<float> peaks = stepPeaks(render(12 * kStep));
    // The old one at 90 % and the new one at 5 % play together, in phase.
    EXPECT_NEAR(peaks[0], kAmplitude * 0.95f, 0.01f);
    EXPECT_NEAR(peaks[11], kAmplitude * 0.60f, 0.01f) << "the new one alone";
}

TEST(NextLoadSampleLiveTest, ShutdownEndsAWorkerThatWasNeverReleased) {
    ResetEngineState();
    auto bytes = MakeSineFile(SF_FORMAT_WAV, 44100, {{441, 0.5}}, 0.2);
    {
        SoundSystem sound;  // no output: the fades run on real time
        ASSERT_TRUE(sound.StartNextLoadSample(bytes));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }  // must not hang
    SUCCEED();
}

}  // namespace
}  // namespace vesta::test
