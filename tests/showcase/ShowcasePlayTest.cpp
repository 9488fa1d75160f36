// The player with the showcase inside it, started from an empty folder.

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace vesta::test {
namespace {

TEST(ShowcasePlayTest, PlaysHeadlessForThreeSecondsWithoutError) {
    TempDir empty;
    const ProcessResult result =
        RunProcess(VESTA_PLAYER_PATH, {"--headless", "--duration", "3"}, empty.Path());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err.find("Exception"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace vesta::test
