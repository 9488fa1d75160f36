// The lives the script picture draws, and the page itself.

#include "script/ScriptTimeline.h"

#include <gtest/gtest.h>

#include "ScriptTestSupport.h"

namespace vesta::test {
namespace {

using ScriptTimelineTest = ScriptTest;

TEST_F(ScriptTimelineTest, EnvelopesLifeTimesDeletesAndThePartsEndBoundEachLife) {
    const ParsedScript& script = load(
        "PART {\r\nTIME -1 {\r\nDESC \"Opening\";\r\nCREATE \"Player\" {\r\nNAME \"Scene\";\r\n"
        "CREATE \"Fog\" {\r\nLifeTime 3;\r\n}\r\n}\r\n}\r\n"
        "TIME 2 {\r\nCREATE \"Flash\" {\r\nStartTime 0.5;\r\nRisingTime 1;\r\nStableTime 2;\r\n"
        "FallingTime 1;\r\n}\r\nCREATE \"GFXLayer\" {\r\nNAME \"Logo\";\r\nStableTime 100;\r\n"
        "}\r\n}\r\nTIME 4 {\r\nUPDATE \"Logo\" {\r\n}\r\n}\r\nTIME 6 {\r\nDELETE \"Logo\" "
        "{\r\n}\r\n}\r\n"
        "TIME 8 {\r\nPARTEND;\r\n}\r\n}\r\nPART {\r\nTIME 1 {\r\nCREATE \"Flash\" "
        "{\r\n}\r\n}\r\n}\r\n");
    const std::vector<PartTimeline> parts = ScriptLives(script.parts);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0].title, "Part 1: Opening");
    EXPECT_FLOAT_EQ(parts[0].length, 8.0f);
    ASSERT_EQ(parts[0].effects.size(), 4u);

    const EffectLife& player = parts[0].effects[0];
    EXPECT_FLOAT_EQ(player.birth, 0.0f);
    EXPECT_TRUE(player.untilPartEnd);
    const EffectLife& fog = parts[0].effects[1];
    EXPECT_EQ(fog.depth, 1);
    EXPECT_FLOAT_EQ(fog.end, 3.0f);

    const EffectLife& flash = parts[0].effects[2];
    EXPECT_FLOAT_EQ(flash.start, 2.5f);
    EXPECT_FLOAT_EQ(flash.riseEnd, 3.5f);
    EXPECT_FLOAT_EQ(flash.stableEnd, 5.5f);
    EXPECT_FLOAT_EQ(flash.end, 6.5f);
    EXPECT_FALSE(flash.untilPartEnd);

    const EffectLife& logo = parts[0].effects[3];
    EXPECT_EQ(logo.updates, std::vector<float>{4.0f});
    EXPECT_FLOAT_EQ(logo.end, 6.0f);  // deleted before its envelope or the part ends

    EXPECT_FALSE(parts[1].ends);  // drawn a while past its last block
    EXPECT_GT(parts[1].length, 1.0f);

    const std::string page = FormatScriptTimeline(script.parts);
    EXPECT_NE(page.find("Part 1: Opening"), std::string::npos);
    EXPECT_NE(page.find("GFXLayer &quot;Logo&quot;"), std::string::npos);
    EXPECT_NE(page.find("<title>CREATE &quot;Flash&quot;  (main.txt(12))"), std::string::npos);
    EXPECT_EQ(page.find("<script"), std::string::npos);  // nothing to fetch or run
}

}  // namespace
}  // namespace vesta::test
