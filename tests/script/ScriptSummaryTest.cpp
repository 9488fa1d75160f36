// The production's length and the operations of its parts.

#include "script/ScriptSummary.h"

#include <gtest/gtest.h>

#include "ScriptTestSupport.h"

namespace vesta::test {
namespace {

using ScriptSummaryTest = ScriptTest;

TEST_F(ScriptSummaryTest, LengthAddsThePartsUpToTheFirstEnd) {
    const ParsedScript& script =
        load("PART {\r\nTIME 9 {\r\nPARTEND;\r\n}\r\nTIME 4 {\r\nPARTEND;\r\n"
             "}\r\n}\r\nPART {\r\nTIME 1.5 {\r\nEND;\r\n}\r\n}\r\n"
             "PART {\r\n}\r\n");
    ASSERT_TRUE(ExpectedLength(script.parts).has_value());
    EXPECT_DOUBLE_EQ(*ExpectedLength(script.parts), 5.5);
    const PartSummary first = SummarizePart(script.parts[0]);
    EXPECT_EQ(first.timeBlocks, 2);
    EXPECT_FLOAT_EQ(*first.end, 4.0f);
    EXPECT_FALSE(first.endsProduction);
}

TEST_F(ScriptSummaryTest, APartThatNeverEndsLeavesTheLengthUnknown) {
    EXPECT_FALSE(
        ExpectedLength(load("PART {\r\nTIME 2 {\r\nPARTEND;\r\n}\r\n}\r\nPART {\r\n}\r\n").parts)
            .has_value());
}

TEST_F(ScriptSummaryTest, NestedOperationsCount) {
    const ParsedScript& script =
        load("PART {\r\nTIME 1 {\r\nDELETE \"A\" {\r\n}\r\nCREATE \"Known\" {\r\nNAME \"A\";\r\n"
             "CREATE \"Child\" {\r\n}\r\n}\r\nUPDATE \"B\" {\r\n}\r\n}\r\nTIME 2 {\r\n"
             "UPDATE \"A\" {\r\n}\r\n}\r\n}\r\n");
    EXPECT_EQ(SummarizePart(script.parts[0]).operations, 5);
}

}  // namespace
}  // namespace vesta::test
