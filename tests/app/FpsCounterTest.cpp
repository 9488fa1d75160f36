// Frame statistics, the time-stretch keys and the sound-bar lengths.

#include "app/FpsCounter.h"

#include <gtest/gtest.h>

#include "app/TimeStretch.h"

namespace vesta::test {
namespace {

TEST(FpsCounterTest, FirstSampleComesOnlyAfterMoreThanTheInterval) {
    FpsCounter fps;
    fps.Reset(false, 100.0f);
    for (int frame = 1; frame <= 10; ++frame) {
        fps.Tick(100.0f + 0.1f * static_cast<float>(frame));  // 100.1 .. 101.0
    }
    EXPECT_EQ(fps.SampleCounter(), -1);
    EXPECT_FLOAT_EQ(fps.Average(), 0.0f);
    fps.Tick(101.25f);
    EXPECT_EQ(fps.SampleCounter(), 0);
    EXPECT_NEAR(fps.Rate(), 11 / 1.25, 1e-3);
    EXPECT_NEAR(fps.Average(), fps.Rate(), 1e-4);
}

TEST(FpsCounterTest, AverageIsTheMeanOfAllSamples) {
    FpsCounter fps;
    fps.Reset(false, 0.0f);
    fps.Tick(2.0f);  // 1 frame in 2 s
    fps.Tick(2.5f);
    fps.Tick(2.75f);
    fps.Tick(3.5f);  // 3 frames in 1.5 s
    EXPECT_EQ(fps.SampleCounter(), 1);
    EXPECT_NEAR(fps.Average(), (0.5 + 2.0) / 2, 1e-6);
    EXPECT_TRUE(fps.Samples().empty());
}

TEST(FpsCounterTest, TimeGraphSamplesEveryHalfSecondIntoABoundedTable) {
    FpsCounter fps;
    fps.Reset(true, 0.0f);
    EXPECT_FLOAT_EQ(fps.Interval(), 0.5f);
    ASSERT_EQ(fps.Samples().size(), FpsCounter::kTimeGraphSamples);
    float now = 0.0f;
    for (int i = 0; i < 2100; ++i) {
        now += 0.75f;
        fps.Tick(now);
    }
    EXPECT_EQ(fps.SampleCounter(), 2099);
    EXPECT_NEAR(fps.Samples()[1999], 1 / 0.75, 1e-4);
    EXPECT_EQ(fps.Samples().size(), FpsCounter::kTimeGraphSamples);
}

TEST(TimeStretchTest, FunctionKeysChooseTheirSpeeds) {
    const float expected[] = {1, 2, 3, 4, 10, 0.5f, 0.25f, 0.1f, 0.05f, 0, 0, 10};
    for (int key = 1; key <= 12; ++key) {
        const auto speed = TimeStretchSpeed(key);
        if (key == 10 || key == 11) {
            EXPECT_FALSE(speed) << key;
        } else {
            ASSERT_TRUE(speed) << key;
            EXPECT_FLOAT_EQ(*speed, expected[key - 1]);
        }
    }
    EXPECT_FALSE(TimeStretchSpeed(0));
    EXPECT_FALSE(TimeStretchSpeed(13));
}

TEST(SoundBarTest, TwoThirdsTruncatedAndClipped) {
    EXPECT_EQ(SoundBarLength(0), 0);
    EXPECT_EQ(SoundBarLength(2), 1);
    EXPECT_EQ(SoundBarLength(100), 66);
    EXPECT_EQ(SoundBarLength(767), 511);
    EXPECT_EQ(SoundBarLength(100000), 511);
}

}  // namespace
}  // namespace vesta::test
