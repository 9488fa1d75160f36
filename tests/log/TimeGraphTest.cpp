#include "log/TimeGraph.h"

#include <clocale>
#include <gtest/gtest.h>

#include "TestSupport.h"

namespace vesta::test {
namespace {

TEST(TimeGraphTest, WritesAllButTheLatestSampleWithDecimalCommas) {
    TempDir dir;
    const std::vector<float> samples = {59.94f, 60.0f, 12.3456f, 0.0f};
    const std::string path = (dir / "FpsTimeGraph.txt").string();
    ASSERT_TRUE(WriteTimeGraph(path.c_str(), samples, 2, 0.5f));
    EXPECT_EQ(ReadFile(path), "Time\tFPS\t\n0,000\t59,940\t\n0,500\t60,000\t\n");
    // The process locale is left alone.
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
}

TEST(TimeGraphTest, NoSampleTakenWritesOnlyTheHeader) {
    TempDir dir;
    const std::string path = (dir / "graph.txt").string();
    ASSERT_TRUE(WriteTimeGraph(path.c_str(), {}, -1, 0.5f));
    EXPECT_EQ(ReadFile(path), "Time\tFPS\t\n");
}

TEST(TimeGraphTest, CounterPastTheTableWritesOnlyTheTable) {
    TempDir dir;
    const std::vector<float> samples(3, 1.0f);
    const std::string path = (dir / "graph.txt").string();
    ASSERT_TRUE(WriteTimeGraph(path.c_str(), samples, 10, 1.0f));
    EXPECT_EQ(ReadFile(path), "Time\tFPS\t\n0,000\t1,000\t\n1,000\t1,000\t\n2,000\t1,000\t\n");
}

TEST(TimeGraphTest, FormatRoundsToThreeDecimals) {
    EXPECT_EQ(FormatDecimalComma(1.0005), "1,000");  // 1.0005 is just below in binary
    EXPECT_EQ(FormatDecimalComma(2.25), "2,250");
    EXPECT_EQ(FormatDecimalComma(-0.5), "-0,500");
    EXPECT_EQ(FormatDecimalComma(1234.5678), "1234,568");
}

TEST(TimeGraphTest, UncreatableFileIsReported) {
    EXPECT_FALSE(WriteTimeGraph("/nonexistent-folder/graph.txt", {}, 0, 1.0f));
}

}  // namespace
}  // namespace vesta::test
