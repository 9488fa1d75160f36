// The player with the showcase inside it, started from an empty folder.

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace vesta::test {
namespace {

// The showcase is made of image layers; a player built without them can only
// report their kinds as unknown.
bool playerLacksImageLayers(const ProcessResult& check) {
    return check.err.find("unknown layer kind [GFXLayer]") != std::string::npos;
}

class ShowcasePlayTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_check = RunProcess(VESTA_PLAYER_PATH, {"--check"}, m_empty.Path());
        if (playerLacksImageLayers(m_check)) {
            GTEST_SKIP() << "this player has no image layers yet";
        }
    }

    TempDir m_empty;
    ProcessResult m_check;
};

TEST_F(ShowcasePlayTest, ScriptPassesThePlayersCheck) {
    EXPECT_EQ(m_check.exitCode, 0) << m_check.err;
    EXPECT_NE(m_check.out.find("Showcase.txt: 6 parts"), std::string::npos) << m_check.out;
}

TEST_F(ShowcasePlayTest, PlaysHeadlessForThreeSecondsWithoutError) {
    const ProcessResult result =
        RunProcess(VESTA_PLAYER_PATH, {"--headless", "--duration", "3"}, m_empty.Path());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
}

}  // namespace
}  // namespace vesta::test
