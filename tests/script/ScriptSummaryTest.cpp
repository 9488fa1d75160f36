// The production's length and the problems found without playing it.

#include "script/ScriptSummary.h"

#include <gtest/gtest.h>

#include "ScriptTestSupport.h"
#include "script/LayerFactory.h"

namespace vesta::test {
namespace {

using ScriptSummaryTest = ScriptTest;

TEST_F(ScriptSummaryTest, LengthAddsThePartsUpToTheFirstEnd) {
    const ParsedScript& script =
        load("PART {\r\nTIME 9 {\r\nPARTEND;\r\n}\r\nTIME 4 {\r\nPARTEND;\r\n"
             "}\r\n}\r\nPART {\r\nTIME 1.5 {\r\nEND;\r\n}\r\n}\r\n"
             "PART {\r\n}\r\n");
    ASSERT_TRUE(ExpectedLength(script).has_value());
    EXPECT_DOUBLE_EQ(*ExpectedLength(script), 5.5);
    const PartSummary first = SummarizePart(script.parts[0]);
    EXPECT_EQ(first.timeBlocks, 2);
    EXPECT_FLOAT_EQ(*first.end, 4.0f);
    EXPECT_FALSE(first.endsProduction);
}

TEST_F(ScriptSummaryTest, APartThatNeverEndsLeavesTheLengthUnknown) {
    EXPECT_FALSE(ExpectedLength(load("PART {\r\nTIME 2 {\r\nPARTEND;\r\n}\r\n}\r\nPART {\r\n}\r\n"))
                     .has_value());
}

TEST_F(ScriptSummaryTest, NestedOperationsCountAndOnlyUpdatesOfUnknownNamesAreProblems) {
    CLayerFactory layers;
    layers.Register(1, "Known", [](RenderModule*, const std::vector<CLayerOperation>*) {
        return std::unique_ptr<CLayer>();
    });
    const ParsedScript& script =
        load("PART {\r\nTIME 1 {\r\nDELETE \"A\" {\r\n}\r\nCREATE \"Known\" {\r\nNAME \"A\";\r\n"
             "CREATE \"Child\" {\r\n}\r\n}\r\nUPDATE \"B\" {\r\n}\r\n}\r\nTIME 2 {\r\n"
             "UPDATE \"A\" {\r\n}\r\n}\r\n}\r\n");
    EXPECT_EQ(SummarizePart(script.parts[0]).operations, 5);
    EXPECT_EQ(FindScriptProblems(script, layers),
              (std::vector<std::string>{
                  "main.txt(10) : no layer named [B] is created before this UPDATE"}));
}

}  // namespace
}  // namespace vesta::test
