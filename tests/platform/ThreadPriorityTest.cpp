#include "platform/ThreadPriority.h"

#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace vesta {
namespace {

// Each case runs in threads of its own: a lowered priority cannot be raised
// again, and the test runner's thread must keep its own.
TEST(ThreadPriorityTest, LowersOnlyTheCallingThreadAndWhatItStartsLater) {
    const int runnerBefore = CallingThreadNiceness();
    int startedBefore = -1;
    int lowered = -1;
    int startedAfter = -1;
    std::thread worker([&] {
        const int own = CallingThreadNiceness();
        std::thread early([&] {
            // Started before the drop: keeps the niceness it was born with.
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            startedBefore = CallingThreadNiceness() - own;
        });
        EXPECT_TRUE(LowerCallingThreadPriority(5));
        lowered = CallingThreadNiceness() - own;
        std::thread late([&] { startedAfter = CallingThreadNiceness() - own; });
        late.join();
        early.join();
    });
    worker.join();
    // A runner already near the lowest priority can only drop to it.
    const int expected = std::min(5, 19 - runnerBefore);
    EXPECT_EQ(lowered, expected);
    EXPECT_EQ(startedAfter, expected);
    EXPECT_EQ(startedBefore, 0);
    EXPECT_EQ(CallingThreadNiceness(), runnerBefore);
}

}  // namespace
}  // namespace vesta
