// The presentation clock: speed changes keep time continuous; fixed steps
// ignore real time.

#include "platform/Clock.h"

#include <gtest/gtest.h>

namespace vesta::test {
namespace {

std::int64_t g_now = 0;
std::int64_t counter() {
    return g_now;
}

constexpr std::int64_t kSecond = 1'000'000'000;

class ClockTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_now = 5 * kSecond;  // the counter never starts at 0
        ResetClockForTests(&counter);
        TimerInit();
    }
    void TearDown() override { ResetClockForTests(); }
};

TEST_F(ClockTest, StartsAtZeroAndFollowsRealTime) {
    EXPECT_DOUBLE_EQ(TimeNow(), 0.0);
    g_now += 3 * kSecond / 2;
    EXPECT_DOUBLE_EQ(TimeNow(), 1.5);
    TimerInit();  // a second initialisation changes nothing
    EXPECT_DOUBLE_EQ(TimeNow(), 1.5);
}

TEST_F(ClockTest, SpeedChangesKeepTimeContinuous) {
    g_now += 10 * kSecond;
    SetTimeSpeed(2.0f);  // F2 at 10 s
    EXPECT_FLOAT_EQ(static_cast<float>(TimeNow()), 10.0f);
    g_now += 5 * kSecond;
    EXPECT_FLOAT_EQ(static_cast<float>(TimeNow()), 20.0f);
    SetTimeSpeed(1.0f);  // F1 five real seconds later
    EXPECT_FLOAT_EQ(GetTimeSpeed(), 1.0f);
    g_now += kSecond;
    EXPECT_FLOAT_EQ(static_cast<float>(TimeNow()), 21.0f);
    SetTimeSpeed(0.25f);
    g_now += 4 * kSecond;
    EXPECT_FLOAT_EQ(static_cast<float>(TimeNow()), 22.0f);
}

TEST_F(ClockTest, FixedStepCountsFramesWhateverTheirDuration) {
    SetFixedStep(true, 25.0f);
    const double expected[] = {0.0, 0.04, 0.08, 0.12};
    for (std::uint32_t frame = 0; frame < 4; ++frame) {
        SetFrameIndex(frame);
        g_now += (frame + 1) * kSecond;  // however long the frame took
        EXPECT_NEAR(TimeNow(), expected[frame], 1e-12);
    }
    SetFixedStep(false, 25.0f);
    EXPECT_GT(TimeNow(), 1.0);
}

TEST_F(ClockTest, MillisecondCounterFollowsTheCounter) {
    const std::uint32_t before = MillisecondCounter();
    g_now += 250'000'000;
    EXPECT_EQ(MillisecondCounter() - before, 250u);
}

}  // namespace
}  // namespace vesta::test
