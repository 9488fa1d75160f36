// From raw files to the one tagged text the parser reads: line tags,
// comments, constants, includes and '&' joins.

#include <gtest/gtest.h>

#include "ScriptTestSupport.h"
#include "script/ScriptPreprocessor.h"

namespace vesta::test {
namespace {

using ScriptPreprocessTest = ScriptTest;

TEST_F(ScriptPreprocessTest, LfLinesReadLikeCrLfLines) {
    const std::string expected = "main.txt|1$A;\r\nmain.txt|2$\r\nmain.txt|3$B;\r\n\r\n";
    EXPECT_EQ(preprocess("A;\r\n\r\nB;\r\n"), expected);
    // An empty line does not end the file, and no last character is lost.
    EXPECT_EQ(preprocess("A;\n\nB;\n"), expected);
    EXPECT_EQ(preprocess("A;\n\nB;"), expected);
    EXPECT_EQ(preprocess(""), "\r\n");
}

TEST_F(ScriptPreprocessTest, CommentsGoOutsideQuotesOnly) {
    EXPECT_EQ(RemoveComments("a|1$SHOWFPS Yes; // off\r\n"), "a|1$SHOWFPS Yes; \r\n");
    EXPECT_EQ(RemoveComments("a|1$LOADINGIMG \"gfx//x.png\"; // c\r\n"),
              "a|1$LOADINGIMG \"gfx//x.png\"; \r\n");
    // The quote after a '/' is not looked at, so the "//" that follows counts.
    EXPECT_EQ(RemoveComments("a|1$X 1/\"2 // c\r\n"), "a|1$X 1/\"2 \r\n");
    EXPECT_EQ(RemoveComments("x/"), "x");
    EXPECT_EQ(RemoveComments("a /* open"), "a ");
}

TEST_F(ScriptPreprocessTest, BlockCommentJoinsItsLinesButLaterLinesKeepTheirNumbers) {
    const std::string text = preprocess("A; /* one\r\ntwo\r\nthree */ B;\r\nC;\r\n");
    EXPECT_EQ(text, "main.txt|1$A;  B;\r\nmain.txt|4$C;\r\n\r\n");
}

TEST_F(ScriptPreprocessTest, DefinesAreCollectedBlankedAndSubstituted) {
    const std::string text = preprocess("StartTime A*3;\r\n"
                                        "DEFINE \"A = 2\";\r\n"
                                        "StartTime A * 3;\r\n"
                                        "// DEFINE \"B = 5\";\r\n"
                                        "StartTime B;\r\n");
    EXPECT_EQ(text, "main.txt|1$StartTime 6.000 ;\r\n"
                    "main.txt|2$               \r\n"
                    "main.txt|3$StartTime A * 3;\r\n"
                    "main.txt|4$\r\n"
                    "main.txt|5$StartTime B;\r\n\r\n");
}

TEST_F(ScriptPreprocessTest, DefineKeepsTheFirstTwoPiecesAndNeedsAName) {
    ConstantTable constants;
    std::string text = "DEFINE \" A\t= 1.5 = 9\";\r\nDEFINE \"=4\";\r\nDEFINE \"C\";\r\n";
    CollectDefines(text, constants);
    EXPECT_EQ(constants.Find("A"), 1.5f);
    EXPECT_EQ(constants.Count(), 1u);
    EXPECT_EQ(text.find_first_not_of(" \r\n"), std::string::npos);
    CollectDefines(text = "DEFINE \"A = x\";", constants);
    EXPECT_EQ(constants.Find("A"), 0.0f);  // later definitions replace, non-numbers read as 0
}

TEST_F(ScriptPreprocessTest, AssignmentsMakeRunningCursors) {
    const std::string text = preprocess("DEFINE \"T = 10\";\r\n"
                                        "StartTime T+=1;\r\nStartTime T+=1;\r\nStartTime T+=1;\r\n"
                                        "TIME T {\r\n");
    EXPECT_NE(text.find("|2$StartTime 11.000 ;\r\n"), std::string::npos);
    EXPECT_NE(text.find("|3$StartTime 12.000 ;\r\n"), std::string::npos);
    EXPECT_NE(text.find("|4$StartTime 13.000 ;\r\n"), std::string::npos);
    EXPECT_NE(text.find("|5$TIME 13.000 {\r\n"), std::string::npos);
}

TEST_F(ScriptPreprocessTest, OperatorsFollowTheTableOrderAndChainFromTheRight) {
    ConstantTable constants;
    constants.Define("A", 10);
    constants.Define("B", 4);
    constants.Define("X", 7);
    EXPECT_EQ(constants.Evaluate("A-B-1"), 7.0f);          // A - (B - 1)
    EXPECT_EQ(constants.Evaluate("A-2+3"), std::nullopt);  // "+" first: the name is "A-2"
    EXPECT_EQ(constants.Evaluate("X/0"), 7.0f);
    EXPECT_EQ(constants.Evaluate("X/=0"), 7.0f);
    EXPECT_EQ(constants.Evaluate("A*3"), 30.0f);
    EXPECT_EQ(constants.Evaluate("A"), 10.0f);
    EXPECT_EQ(constants.Evaluate("A "), std::nullopt);
    EXPECT_EQ(constants.Evaluate("2+3"), std::nullopt);
    EXPECT_EQ(constants.Evaluate("A+ B"), 14.0f);  // the operand is trimmed
    EXPECT_EQ(constants.Evaluate("A+junk"), 10.0f);
    EXPECT_EQ(constants.Evaluate("B-=A-9"), 3.0f);
    EXPECT_EQ(constants.Find("B"), 3.0f);
    EXPECT_EQ(constants.Find("A"), 10.0f);
    // A nested result is passed on as its "%.3f" text.
    constants.Define("S", 0.0004f);
    EXPECT_EQ(constants.Evaluate("A*S*1"), 0.0f);
}

TEST_F(ScriptPreprocessTest, SubstitutionRewritesTheWholeLine) {
    const std::string text = preprocess("DEFINE \"Intro = 5\";\r\n"
                                        "  TIME \"Intro+4.11\" { PARTEND; }\r\n"
                                        "DESC \"Intro\"; X 2;\r\n");
    EXPECT_NE(text.find("|2$TIME 9.110 {;\r\n"), std::string::npos);
    EXPECT_NE(text.find("|3$DESC 5.000 ;\r\n"), std::string::npos);
}

TEST_F(ScriptPreprocessTest, IncludesInsertProcessedFilesWithTheirOwnTags) {
    write("inc.txt", "DEFINE \"B = 3\";\r\nX B;\r\nY A;\r\n");
    const std::string text = preprocess("DEFINE \"A = 1\";\r\n"
                                        "INCLUDE \"inc.txt\";\r\n"
                                        "Z B;\r\n");
    EXPECT_EQ(text, "main.txt|1$               \r\n"
                    "main.txt|2$\r\n"
                    "inc.txt|1$               \r\n"
                    "inc.txt|2$X 3.000 ;\r\n"
                    "inc.txt|3$Y 1.000 ;\r\n"
                    "\r\n"
                    "                   \n"
                    "main.txt|3$Z B;\r\n"  // B was not yet known when main.txt was substituted
                    "\r\n");
}

TEST_F(ScriptPreprocessTest, IncludeFailuresNameTheFile) {
    EXPECT_EQ(EngineErrorOf([&] { preprocess("INCLUDE \"gone.txt\";\r\n"); }),
              "ScriptParser : Unable to open file [gone.txt], included at main.txt(1)");
    EXPECT_EQ(EngineErrorOf([&] { CScriptParser(m_script).Preprocess("none.txt"); }),
              "ScriptParser : Unable to open file [none.txt]");

    write("a.txt", "INCLUDE \"b.txt\";\n");
    write("b.txt", "INCLUDE \"A.TXT\";\n");
    EXPECT_EQ(EngineErrorOf([&] { preprocess("INCLUDE \"a.txt\";\r\n"); }),
              "ScriptParser : INCLUDE cycle, [A.TXT] includes itself");

    for (int i = 0; i < 70; ++i) {
        write("d" + std::to_string(i) + ".txt",
              "INCLUDE \"d" + std::to_string(i + 1) + ".txt\";\n");
    }
    EXPECT_EQ(EngineErrorOf([&] { preprocess("INCLUDE \"d0.txt\";\r\n"); }),
              "ScriptParser : INCLUDE nested deeper than 64 at [d64.txt]");
}

TEST_F(ScriptPreprocessTest, AmpersandJoinsTheNextLineOutsideQuotes) {
    std::string text = "a|1$L \"x;\"&\r\na|2$  \"y&z;\";\r\n";
    JoinLines(text);
    EXPECT_EQ(text, "a|1$L \"x;\"         \"y&z;\";\r\n");
    text = "a|1$L 1&";
    JoinLines(text);
    EXPECT_EQ(text, "a|1$L 1 ");
}

}  // namespace
}  // namespace vesta::test
