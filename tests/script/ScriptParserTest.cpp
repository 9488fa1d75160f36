// The statement splitter and the four parsing contexts: what a script's
// lines become as parts, time blocks and operations.

#include <gtest/gtest.h>

#include "ScriptTestSupport.h"
#include "fs/SearchPaths.h"
#include "script/StatementSplitter.h"

namespace vesta::test {
namespace {

using ScriptParserTest = ScriptTest;

std::string split(std::string_view text) {
    Statement statement;
    if (!SplitStatement(text, statement)) {
        return "<none>";
    }
    return statement.keyword + "|" + statement.argument;
}

TEST(StatementSplitterTest, KeywordNeedsAnEnding) {
    EXPECT_EQ(split(" \t;PARTEND;\r"), "PARTEND|");
    EXPECT_EQ(split("PARTEND\r"), "<none>");
    EXPECT_EQ(split("PART{\r"), "<none>");
    EXPECT_EQ(split("CREATE\"GFXLayer\" {\r"), "CREATE\"GFXLayer\"|");
    EXPECT_EQ(split("};\r"), "<none>");
    EXPECT_EQ(split("ab}c d\r"), "<none>");
    EXPECT_EQ(split("// x\r"), "<none>");
    EXPECT_EQ(split("a/b c\r"), "a|b c");
    EXPECT_EQ(split("\r"), "<none>");
}

TEST(StatementSplitterTest, ArgumentQuotesAndParentheses) {
    EXPECT_EQ(split("CREATE \"GFXLayer\"{\r"), "CREATE|GFXLayer");
    EXPECT_EQ(split("TIME 30 { PARTEND; }\r"), "TIME|30");
    EXPECT_EQ(split("X \"abc\"  \"def\" tail;\r"), "X|abcdef");
    EXPECT_EQ(split("X \"a;{b\";\r"), "X|a;{b");
    EXPECT_EQ(split("X (1;2) 3;\r"), "X|1;2 3");
    EXPECT_EQ(split("X \"p(1).png\";\r"), "X|p1.png");
    EXPECT_EQ(split("X ;;{ \t v \t;\r"), "X|v");
    EXPECT_EQ(split("X   v w  \r"), "X|v w");
    EXPECT_EQ(split("X \"unclosed; {\r"), "X|unclosed; {\r");
}

TEST_F(ScriptParserTest, SwitchesAtTheTopLevel) {
    EXPECT_FALSE(SearchArchivesFirst());
    const ParsedScript& script = load("SHOWFPS Yes;\r\nSHOWTIME yes;\r\nSOUNDBARS Yes;\r\n"
                                      "TIMESTRETCH \"Yes\";\r\nLOGSCRIPT Yes {\r\n"
                                      "SEARCHPAK_FIRST No;\r\n");
    EXPECT_TRUE(script.switches.showFps);
    EXPECT_FALSE(script.switches.showTime);
    EXPECT_TRUE(script.switches.soundBars);
    EXPECT_TRUE(script.switches.timeStretch);
    EXPECT_FALSE(script.switches.logScript);  // a line with '{' is no switch
    EXPECT_TRUE(SearchArchivesFirst());
    EXPECT_TRUE(script.parts.empty());
}

TEST_F(ScriptParserTest, TheSmallScript) {
    const ParsedScript& script = load("SHOWFPS No;\r\n"
                                      "DEFINE \"Scene1 = 10\";\r\n"
                                      "PART {\r\n"
                                      "    MUSICSTREAM \"tune.mp3\";\r\n"
                                      "    LOADINGIMG \"load.jpg, .5, .5\";\r\n"
                                      "    TIME 30 {\r\n"
                                      "        PARTEND;\r\n"
                                      "    };\r\n"
                                      "    TIME -1 {\r\n"
                                      "        CREATE \"GFXLayer\" {\r\n"
                                      "            NAME \"Back\";\r\n"
                                      "            StartTime Scene1+0.5;\r\n"
                                      "            Texture \"back.png\";\r\n"
                                      "        };\r\n"
                                      "    };\r\n"
                                      "}\r\n");
    ASSERT_EQ(script.parts.size(), 1u);
    const CPart& part = script.parts[0];
    EXPECT_EQ(part.musicStream, "tune.mp3");
    EXPECT_EQ(part.loadingImage, "load.jpg, .5, .5");
    ASSERT_EQ(part.timeBlocks.size(), 2u);
    EXPECT_EQ(part.timeBlocks[0].time, -1.0f);  // sorted
    EXPECT_EQ(part.timeBlocks[1].time, 30.0f);
    ASSERT_EQ(part.timeBlocks[0].operations.size(), 1u);
    const CLayerOperation& create = part.timeBlocks[0].operations[0];
    EXPECT_EQ(create.kind, OperationKind::Create);
    EXPECT_EQ(create.argument, "GFXLayer");
    EXPECT_EQ(create.name, "Back");
    EXPECT_EQ(create.place, "main.txt(10)");
    EXPECT_EQ(create.parameters,
              (std::vector<ScriptParameter>{{"StartTime", "10.500"}, {"Texture", "back.png"}}));
    ASSERT_EQ(part.timeBlocks[1].operations.size(), 1u);
    EXPECT_EQ(part.timeBlocks[1].operations[0].kind, OperationKind::PartEnd);
    EXPECT_EQ(part.timeBlocks[1].operations[0].place, "main.txt(7)");
}

TEST_F(ScriptParserTest, BlockStatementsBelongToTheirBlockKinds) {
    const ParsedScript& script = load("PART {\r\nTIME 1 {\r\n"
                                      "CREATE \"K\" {\r\nINSERT Bottom;\r\nMOVE Top;\r\n}\r\n"
                                      "UPDATE \"N\" {\r\nMOVE Bottom;\r\nRESTART Yes;\r\n"
                                      "NAME \"x\";\r\nINSERT Bottom;\r\n}\r\n"
                                      "DELETE \"N\" {\r\nNAME \"d\";\r\nCREATE \"F\" {\r\n}\r\n"
                                      "UPDATE \"A\" {\r\nMOVE Up;\r\nRESTART yes;\r\n}\r\n"
                                      "END;\r\nDESC \"first\";\r\nDESC \"Intro}\";\r\n}\r\n}\r\n");
    ASSERT_EQ(script.parts.size(), 1u);
    const CTimeBlock& block = script.parts[0].timeBlocks.at(0);
    EXPECT_EQ(block.description, "Intro}");
    ASSERT_EQ(block.operations.size(), 5u);
    const CLayerOperation& create = block.operations[0];
    EXPECT_TRUE(create.insertAtBottom);
    EXPECT_EQ(create.parameters, (std::vector<ScriptParameter>{{"MOVE", "Top"}}));
    const CLayerOperation& update = block.operations[1];
    EXPECT_EQ(update.move, MoveTarget::Bottom);
    EXPECT_TRUE(update.restart);
    EXPECT_EQ(update.name, "");
    EXPECT_EQ(update.parameters,
              (std::vector<ScriptParameter>{{"NAME", "x"}, {"INSERT", "Bottom"}}));
    const CLayerOperation& remove = block.operations[2];
    EXPECT_EQ(remove.kind, OperationKind::Delete);
    EXPECT_EQ(remove.name, "d");
    EXPECT_EQ(remove.parameters, (std::vector<ScriptParameter>{{"CREATE", "F"}}));
    EXPECT_TRUE(remove.children.empty());
    EXPECT_EQ(block.operations[3].move, MoveTarget::Stay);
    EXPECT_FALSE(block.operations[3].restart);
    EXPECT_EQ(block.operations[4].kind, OperationKind::End);
    EXPECT_EQ(block.operations[4].argument, "");
}

TEST_F(ScriptParserTest, NestedEffectBlocksBecomeChildren) {
    const ParsedScript& script = load("PART {\r\nTIME 0 {\r\n"
                                      "CREATE \"MDLPlayer\" {\r\n"
                                      "  MDLFile \"a.mdl\";\r\n"
                                      "  CREATE \"Fog\" {\r\n    Density 0.5;\r\n  }\r\n"
                                      "  CREATE \"Flies\";\r\n    Count 3;\r\n  }\r\n"
                                      "  UPDATE \"Fog\" {\r\n  };\r\n"
                                      "  Scale 2;\r\n"
                                      "}\r\n}\r\n}\r\n");
    const CLayerOperation& player = script.parts.at(0).timeBlocks.at(0).operations.at(0);
    EXPECT_EQ(player.parameters,
              (std::vector<ScriptParameter>{{"MDLFile", "a.mdl"}, {"Scale", "2"}}));
    ASSERT_EQ(player.children.size(), 3u);
    EXPECT_EQ(player.children[0].argument, "Fog");
    EXPECT_EQ(player.children[0].place, "main.txt(5)");
    EXPECT_EQ(player.children[0].parameters, (std::vector<ScriptParameter>{{"Density", "0.5"}}));
    EXPECT_EQ(player.children[1].argument, "Flies");  // opened without '{'
    EXPECT_EQ(player.children[1].parameters, (std::vector<ScriptParameter>{{"Count", "3"}}));
    EXPECT_EQ(player.children[2].kind, OperationKind::Update);
}

TEST_F(ScriptParserTest, BlockClosingRules) {
    // The rest of a line that opens a block is not read; a '}' after a
    // statement closes nothing.
    const ParsedScript& script = load("PART {\r\n"
                                      "TIME 30 { PARTEND; }\r\n"
                                      "}\r\n"
                                      "TIME 5 {\r\nCREATE \"A\" {\r\nX 1; }\r\nY 2;\r\n}\r\n"
                                      "PARTEND\r\n"
                                      "} // }\r\n"
                                      "DESC \"x}\";\r\n"
                                      "TIME 7 {\r\n}\r\n");
    ASSERT_EQ(script.parts.size(), 1u);
    const CPart& part = script.parts[0];
    ASSERT_EQ(part.timeBlocks.size(), 2u);
    EXPECT_TRUE(part.timeBlocks[1].operations.empty());  // TIME 30 stays empty
    const CTimeBlock& five = part.timeBlocks[0];
    ASSERT_EQ(five.operations.size(), 1u);
    EXPECT_EQ(five.operations[0].parameters,
              (std::vector<ScriptParameter>{{"X", "1"}, {"Y", "2"}}));
    // The DESC with its "}" in the part block ended the part before TIME 7.
}

TEST_F(ScriptParserTest, TimeBlockEndsOnlyOnABraceBeforeAComment) {
    const ParsedScript& script = load("PART {\r\nTIME 1 {\r\n"
                                      "\"//\" }\r\n"
                                      "PARTEND;\r\n"
                                      "}\r\n}\r\n");
    EXPECT_EQ(script.parts.at(0).timeBlocks.at(0).operations.size(), 1u);
}

TEST_F(ScriptParserTest, PartsAndOpeningLinesThatAreNoBlocks) {
    const ParsedScript& script = load("PART {\r\nOTHER {\r\nSHOWDESC Yes;\r\n"
                                      "TIME -1 {\r\n}\r\n"
                                      "}\r\n"
                                      "PART{\r\n"
                                      "PART \"x\" {\r\nNEXTLOAD_SAMPLE \"s.wav\";\r\n"
                                      "MODSTREAM \"m.xm\"; LOADINGANIM \"a\";\r\n}\r\n");
    ASSERT_EQ(script.parts.size(), 2u);
    EXPECT_TRUE(script.parts[0].showDescriptions);
    EXPECT_EQ(script.parts[0].timeBlocks.size(), 1u);
    EXPECT_EQ(script.parts[1].nextLoadSample, "s.wav");
    EXPECT_EQ(script.parts[1].modStream, "m.xm");
    EXPECT_EQ(script.parts[1].loadingAnimation, "");
}

TEST_F(ScriptParserTest, JoinedQuotedLinesFormOneArgument) {
    const ParsedScript& script = load("PART {\r\n"
                                      "LOADINGANIM \"a.jpg, .4, -.4, .1, .1;\"&\r\n"
                                      "            \"b.jpg, .4, -.4, .1, .1;\";\r\n"
                                      "}\r\n");
    EXPECT_EQ(script.parts.at(0).loadingAnimation,
              "a.jpg, .4, -.4, .1, .1;b.jpg, .4, -.4, .1, .1;");
}

TEST_F(ScriptParserTest, IncludedOperationsReportTheirOwnPlace) {
    write("fx.txt", "CREATE \"A\" {\r\n}\r\n");
    const ParsedScript& script = load("PART {\r\nTIME 0 {\r\nINCLUDE \"fx.txt\";\r\n"
                                      "CREATE \"B\" {\r\n}\r\n}\r\n}\r\n");
    const auto& operations = script.parts.at(0).timeBlocks.at(0).operations;
    ASSERT_EQ(operations.size(), 2u);
    EXPECT_EQ(operations[0].place, "fx.txt(1)");
    EXPECT_EQ(operations[1].place, "main.txt(4)");
}

TEST_F(ScriptParserTest, LfScriptsParseLikeCrLfScripts) {
    const std::string text = "PART {\n  TIME 2 {\n    CREATE \"A\" {\n\n      X 1;\n"
                             "    }\n  }\n}\n";
    const ParsedScript& script = load(text);
    ASSERT_EQ(script.parts.size(), 1u);
    EXPECT_EQ(script.parts[0].timeBlocks.at(0).operations.at(0).parameters,
              (std::vector<ScriptParameter>{{"X", "1"}}));
}

TEST_F(ScriptParserTest, TimeBlocksSortByTimeAndNonNumbersReadAsZero) {
    const ParsedScript& script = load("PART {\r\nTIME 4 {\r\n}\r\nTIME junk {\r\n}\r\n"
                                      "TIME 2.5 {\r\n}\r\n}\r\n");
    const auto& blocks = script.parts.at(0).timeBlocks;
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(blocks[0].time, 0.0f);
    EXPECT_EQ(blocks[1].time, 2.5f);
    EXPECT_EQ(blocks[2].time, 4.0f);
}

}  // namespace
}  // namespace vesta::test
