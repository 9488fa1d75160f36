// "ScriptLog.html" byte for byte, from scripts parsed by the engine.

#include "script/ScriptLog.h"

#include <filesystem>
#include <gtest/gtest.h>

#include "ScriptTestSupport.h"

namespace vesta::test {
namespace {

using ScriptLogTest = ScriptTest;

TEST_F(ScriptLogTest, OnePartEndingAtThirtySeconds) {
    const ParsedScript& script =
        load("LOGSCRIPT Yes;\r\nPART {\r\nTIME 30 {\r\nPARTEND;\r\n}\r\n}\r\n");
    ASSERT_TRUE(script.switches.logScript);
    ASSERT_TRUE(WriteScriptLog(script.parts));
    EXPECT_EQ(ReadFile(m_dir / "ScriptLog.html"),
              "<HTML><HEAD><TITLE>Script stored in memory</TITLE><HEAD>\r\n"
              "<BR><BR>Part blocks : <I>1 </I><BR>\r\n"
              "<UL>\r\n"
              "<B>Part 0 : </B>\r\n"
              "Time blocks : <I>1 </I><BR>\r\n"
              "<UL>\r\n"
              "<LI>\r\n"
              "Time : 30<BR>\r\n"
              "Layer operation count : 1\r\n"
              "<BLOCKQUOTE>\r\n"
              "<UL>\r\n"
              "<LI>\r\n"
              "Layer name : <BR>\r\n"
              "Parameters count : 0<BR>\r\n"
              "<BLOCKQUOTE>\r\n"
              "<TABLE>\r\n"
              "</TABLE>\r\n"
              "</BLOCKQUOTE>\r\n"
              "Nested blocks : 0<BR>\r\n"
              "<BLOCKQUOTE>\r\n"
              "<UL>\r\n"
              "</UL>\r\n"
              "</BLOCKQUOTE>\r\n"
              "<BR>\r\n"
              "</LI>\r\n"
              "</UL>\r\n"
              "</BLOCKQUOTE>\r\n"
              "</LI>\r\n"
              "</UL>\r\n"
              "</UL>\r\n");
}

TEST_F(ScriptLogTest, NamesParametersAndNestedModifiers) {
    const ParsedScript& script = load("DEFINE \"Intro = 10\";\r\n"
                                      "PART {\r\nTIME 10.87 {\r\n"
                                      "CREATE \"MDLPlayer\" {\r\nNAME \"Ship\";\r\n"
                                      "StartTime Intro+2.95;\r\n"
                                      "CREATE \"Fog\" {\r\n}\r\nCREATE \"Flies\" {\r\n}\r\n"
                                      "}\r\n}\r\n}\r\nPART {\r\n}\r\n");
    const std::string child = "<LI>\r\nLayer name : %s<BR>\r\nParameters count : 0<BR>\r\n"
                              "<BLOCKQUOTE>\r\n<TABLE>\r\n</TABLE>\r\n</BLOCKQUOTE>\r\n"
                              "Nested blocks : 0<BR>\r\n<BLOCKQUOTE>\r\n<UL>\r\n</UL>\r\n"
                              "</BLOCKQUOTE>\r\n<BR>\r\n</LI>\r\n";
    auto childOf = [&](const std::string& name) {
        std::string text = child;
        return text.replace(text.find("%s"), 2, name);
    };
    EXPECT_EQ(FormatScriptLog(script.parts),
              "<HTML><HEAD><TITLE>Script stored in memory</TITLE><HEAD>\r\n"
              "<BR><BR>Part blocks : <I>2 </I><BR>\r\n<UL>\r\n"
              "<B>Part 0 : </B>\r\nTime blocks : <I>1 </I><BR>\r\n<UL>\r\n"
              "<LI>\r\nTime : 10.87<BR>\r\nLayer operation count : 1\r\n"
              "<BLOCKQUOTE>\r\n<UL>\r\n<LI>\r\n"
              "Layer name : MDLPlayer<BR>\r\nUser name : Ship<BR>\r\nParameters count : 1<BR>\r\n"
              "<BLOCKQUOTE>\r\n<TABLE>\r\n"
              "<TR>\r\n<TD WIDTH=150>\r\nStartTime</TD>\r\n<TD>\r\n12.950</TD>\r\n</TR>\r\n"
              "</TABLE>\r\n</BLOCKQUOTE>\r\n"
              "Nested blocks : 2<BR>\r\n<BLOCKQUOTE>\r\n<UL>\r\n" +
                  childOf("Fog") + childOf("Flies") +
                  "</UL>\r\n</BLOCKQUOTE>\r\n<BR>\r\n"
                  "</LI>\r\n</UL>\r\n</BLOCKQUOTE>\r\n</LI>\r\n</UL>\r\n"
                  "<B>Part 1 : </B>\r\nTime blocks : <I>0 </I><BR>\r\n<UL>\r\n</UL>\r\n"
                  "</UL>\r\n");
}

TEST_F(ScriptLogTest, LoadTimeBlockShowsItsNegativeTime) {
    const ParsedScript& script = load("PART {\r\nTIME -1 {\r\n}\r\n}\r\n");
    EXPECT_NE(FormatScriptLog(script.parts).find("Time : -1<BR>\r\n"), std::string::npos);
    EXPECT_FALSE(script.switches.logScript);
}

TEST_F(ScriptLogTest, UncreatableFileIsSkipped) {
    std::filesystem::create_directory(m_dir / "ScriptLog.html");
    EXPECT_FALSE(WriteScriptLog({}));
}

}  // namespace
}  // namespace vesta::test
