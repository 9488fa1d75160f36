// Cutting a show into segments: every frame in exactly one, the times given
// to the player read back as the numbers meant.

#include "FarmPlan.h"

#include <cstdlib>
#include <gtest/gtest.h>

#include "ShowLength.h"

namespace vesta::farm {
namespace {

TEST(FarmPlanTest, SegmentsCoverEveryFrameOnceWithLengthsAtMostOneApart) {
    for (const auto& [frames, segments] : std::vector<std::pair<std::int64_t, int>>{
             {217, 4}, {2600, 4}, {7, 7}, {1000003, 64}, {10, 3}, {1, 1}}) {
        const std::vector<Segment> split = SplitFrames(frames, segments);
        ASSERT_EQ(split.size(), static_cast<std::size_t>(segments));
        EXPECT_EQ(split.front().firstFrame, 0);
        EXPECT_EQ(split.back().endFrame, frames);
        std::int64_t shortest = frames;
        std::int64_t longest = 0;
        for (std::size_t k = 0; k < split.size(); ++k) {
            if (k > 0) {
                EXPECT_EQ(split[k].firstFrame, split[k - 1].endFrame) << frames << "/" << segments;
            }
            shortest = std::min(shortest, split[k].endFrame - split[k].firstFrame);
            longest = std::max(longest, split[k].endFrame - split[k].firstFrame);
        }
        EXPECT_GE(shortest, 1);
        EXPECT_LE(longest - shortest, 1) << frames << "/" << segments;
    }
    EXPECT_THROW(SplitFrames(3, 4), std::invalid_argument);

    // A frame is recorded when it begins before the end.
    EXPECT_EQ(FrameCount(104.0, 25.0), 2600);
    EXPECT_EQ(FrameCount(21.7, 10.0), 217);
    EXPECT_EQ(FrameCount(1.05, 10.0), 11);
    EXPECT_EQ(FrameCount(1.0, 29.97), 30);
}

TEST(FarmPlanTest, TimesAndLengthsReadBackExactly) {
    for (double seconds : {25.95, 103.95, 1.0 / 3.0, 0.1 + 0.2, 7.0}) {
        EXPECT_EQ(std::strtod(FormatSeconds(seconds).c_str(), nullptr), seconds);
    }
    EXPECT_EQ(FormatSeconds(25.95), "25.95");
    EXPECT_EQ(ParseShowLength("Showcase.txt: 6 parts, 104.00 s\n  part 1: ...\n"), 104.0);
    EXPECT_EQ(ParseShowLength("Main.txt: 1 part, 1.50 s\n"), 1.5);
    EXPECT_THROW(ParseShowLength("vesta: Unable to open [DefaultConfig.xml]\n"), ShowLengthError);
}

}  // namespace
}  // namespace vesta::farm
