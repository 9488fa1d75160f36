// The event stays set for every waiter until it is reset.

#include "platform/ManualResetEvent.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace vesta::test {
namespace {

using namespace std::chrono_literals;

TEST(ManualResetEventTest, SetReleasesEveryWaiterUntilReset) {
    ManualResetEvent event;
    EXPECT_FALSE(event.WaitFor(1ms));
    std::atomic<int> passed = 0;
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i) {
        waiters.emplace_back([&] {
            event.Wait();
            ++passed;
        });
    }
    event.Set();
    for (auto& waiter : waiters) {
        waiter.join();
    }
    EXPECT_EQ(passed, 3);
    EXPECT_TRUE(event.IsSet());
    EXPECT_TRUE(event.WaitFor(0ms)) << "a late waiter passes too";
    event.Reset();
    EXPECT_FALSE(event.IsSet());
    EXPECT_FALSE(event.WaitFor(1ms));
    EXPECT_TRUE(ManualResetEvent(true).IsSet());
}

}  // namespace
}  // namespace vesta::test
