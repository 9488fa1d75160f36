// The player running scripts: what it writes, how it stops on a script's
// mistakes, and the lint mode.

#include <gtest/gtest.h>

#include "EngineState.h"
#include "PictureWriters.h"
#include "PlayerRun.h"
#include "script/ScriptLog.h"
#include "script/ScriptParser.h"

namespace vesta::test {
namespace {

// Debugging off unless asked: its messages would go to standard error as well.
std::string configuration(bool debug) {
    return std::string("<AppConfig>\n<Window Class=\"Demo\" Name=\"Night Show\"/>\n"
                       "<Script Name=\"Main.txt\"/>\n<Debug Enable=\"") +
           (debug ? "True" : "False") + "\"/>\n</AppConfig>\n";
}

class ScriptRunTest : public ::testing::Test {
protected:
    void writeScript(const std::string& script, bool debug = false) {
        WriteFile(m_dir / "DefaultConfig.xml", configuration(debug));
        WriteFile(m_dir / "Main.txt", script);
    }

    ProcessResult run(std::vector<std::string> args) { return play(m_dir.Path(), std::move(args)); }

    TempDir m_dir;
};

TEST_F(ScriptRunTest, LogScriptWritesTheScriptLogOfWhatWasRead) {
    writeScript("LOGSCRIPT Yes;\r\nDEFINE \"Intro = 10\";\r\nPART {\r\nTIME Intro+2.5 {\r\n"
                "CREATE \"Any\" {\r\nNAME \"Ship\";\r\nSpeed 3;\r\n}\r\n}\r\nTIME 30 {\r\n"
                "PARTEND;\r\n}\r\n}\r\nPART {\r\n}\r\n");
    const ProcessResult result = run({"--headless", "--duration", "0.1"});
    EXPECT_EQ(result.exitCode, 0) << result.err;

    ResetEngineState();
    ScopedChdir chdir(m_dir.Path());
    ParsedScript script;
    CScriptParser parser(script);
    ASSERT_TRUE(parser.Load("Main.txt"));
    const std::string log = ReadFile(m_dir / "ScriptLog.html");
    EXPECT_EQ(log, FormatScriptLog(script.parts));
    EXPECT_NE(log.find("Time : 12.5<BR>\r\n"), std::string::npos) << log;
}

TEST_F(ScriptRunTest, WithoutLogScriptNoScriptLogIsWritten) {
    writeScript(kEndlessScript);
    EXPECT_EQ(run({"--headless", "--duration", "0.1"}).exitCode, 0);
    EXPECT_FALSE(std::filesystem::exists(m_dir / "ScriptLog.html"));
}

TEST_F(ScriptRunTest, AScriptWithoutPartsStopsTheShow) {
    writeScript("SHOWFPS Yes;\r\n");
    const ProcessResult result = run({"--headless"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Night Show: Nothing to be done... check for some missing PART block.\n");
}

TEST_F(ScriptRunTest, AnUpdateOfAnUnknownNameStopsTheShow) {
    writeScript("PART {\r\nTIME 0.1 {\r\nUPDATE \"Ghost\" {\r\n}\r\n}\r\n}\r\n");
    const ProcessResult result = run({"--headless", "--duration", "2"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Night Show: Could not find any layer named [Ghost].\n");
}

TEST_F(ScriptRunTest, AnUnknownLayerKindNamesTheKind) {
    writeScript("PART {\r\nTIME 0 {\r\nCREATE \"NoSuchLayer\" {\r\n}\r\n}\r\n}\r\n");
    const ProcessResult result = run({"--headless", "--duration", "2"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err.rfind(
                  "Night Show: Could not find LayerEffect [NoSuchLayer].\n Available are : \n", 0),
              0u)
        << result.err;
}

TEST_F(ScriptRunTest, TheShowEndsByItselfAfterItsLastPart) {
    writeScript("PART {\r\nTIME 0.2 {\r\nPARTEND;\r\n}\r\n}\r\n"
                "PART {\r\nTIME 0.2 {\r\nPARTEND;\r\n}\r\n}\r\n");
    const ProcessResult result = run({"--headless", "--duration", "30"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
}

// The engine carries the flash's white picture: a production needs none.
TEST_F(ScriptRunTest, AFlashPlaysWithoutAPictureOfTheProductions) {
    writeScript("PART {\r\nTIME 0 {\r\nCREATE \"Flash\" {\r\nStableTime 0.1;\r\n}\r\n}\r\n"
                "TIME 0.3 {\r\nPARTEND;\r\n}\r\n}\r\n");
    const ProcessResult result = run({"--headless", "--duration", "5"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
}

// Recorded at 25 frames per second the clock is exact, and the log's time
// stamps show when each block fired and each layer went.
TEST_F(ScriptRunTest, PartsPlayInOrderWithTheirBlocksAtTheirTimes) {
    WriteFile(m_dir / "glow.png", SimplePng(8, 8));
    WriteFile(m_dir / "white.NoDither.jpg",
              EncodeJpeg(std::vector<std::uint8_t>(16 * 16 * 3, 255), 16, 16, 3, false));
    writeScript("PART {\r\nTIME 0 {\r\nCREATE \"GFXLayer\" {\r\nTexture \"glow.png\";\r\n"
                "NAME \"First\";\r\n}\r\n}\r\nTIME 1 {\r\nPARTEND;\r\n}\r\n}\r\n"
                "PART {\r\nTIME 0.5 {\r\nCREATE \"Flash\" {\r\nNAME \"Second\";\r\n}\r\n}\r\n"
                "TIME 1.5 {\r\nPARTEND;\r\n}\r\n}\r\n",
                true);
    const ProcessResult result = run({"VideoOut", "NoSound", "LogFile", "us", "--headless",
                                      "--mode", "320x240x32", "--video", "show.avi"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::vector<std::string> events;
    std::istringstream log(ReadFile(m_dir / "Logging.txt"));
    for (std::string line; std::getline(log, line);) {
        if (line.find("Destroying Layer") != std::string::npos ||
            line.find("Loaded [") != std::string::npos) {
            events.push_back(line.substr(0, line.find(" (")));
        }
    }
    // The second part starts at 1.00 s; its block at 0.5 s fires with the
    // first frame at or after 1.50 s, which is 1.52 s.
    EXPECT_EQ(events, (std::vector<std::string>{"0\t: Loaded [ glow.png ].",
                                                "1\t: Destroying Layer [First]",
                                                "1.52\t: Loaded [ white.nodither.jpg ].",
                                                "2.52\t: Destroying Layer [Second]"}));
    EXPECT_NE(result.err.find("Recording : 63 frames"), std::string::npos) << result.err;
    EXPECT_EQ(ReadFile(m_dir / "LayerFactoryStats.txt")
                  .rfind("Used layers :\r\n - Flash\r\n - GFXLayer\r\n\r\nUnused layers :\r\n", 0),
              0u);
}

TEST_F(ScriptRunTest, CheckSummarisesTheScriptWithoutPlaying) {
    writeScript("LOGSCRIPT Yes;\r\nPART {\r\nTIME 0 {\r\nDESC \"a\";\r\n}\r\nTIME 4.5 {\r\n"
                "PARTEND;\r\n}\r\n}\r\nPART {\r\nTIME 2 {\r\nEND;\r\n}\r\n}\r\n");
    const ProcessResult result = run({"--check"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "Main.txt: 2 parts, 6.50 s\n"
                          "  part 1: 2 time blocks, 1 operation, PARTEND at 4.50 s\n"
                          "  part 2: 1 time block, 1 operation, END at 2.00 s\n");
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(std::filesystem::exists(m_dir / "ScriptLog.html"));
    EXPECT_FALSE(std::filesystem::exists(m_dir / "Logging.txt"));
}

TEST_F(ScriptRunTest, CheckReportsWhatWouldStopTheShow) {
    writeScript("PART {\r\nTIME 1 {\r\nCREATE \"NoSuchLayer\" {\r\nNAME \"A\";\r\n}\r\n}\r\n"
                "TIME 2 {\r\nUPDATE \"A\" {\r\n}\r\nUPDATE \"B\" {\r\n}\r\n}\r\n}\r\n");
    const ProcessResult result = run({"--check"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "Main.txt: 1 part\n  part 1: 2 time blocks, 3 operations, no end\n");
    EXPECT_EQ(result.err,
              "vesta: Main.txt(3) : unknown layer kind [NoSuchLayer]\n"
              "vesta: Main.txt(10) : no layer named [B] is created before this UPDATE\n");
}

TEST_F(ScriptRunTest, CheckStopsAtTheScriptsFirstError) {
    writeScript("PART {\r\nINCLUDE \"Missing.txt\";\r\n}\r\n");
    const ProcessResult result = run({"--check"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind("vesta: ", 0), 0u);
    EXPECT_NE(result.err.find("Missing.txt"), std::string::npos) << result.err;
}

TEST_F(ScriptRunTest, AnUnknownLayerListsEveryKindInNameOrder) {
    writeScript("PART {\r\nTIME 0 {\r\nCREATE \"GfxLayer\" {\r\n}\r\n}\r\n}\r\n");
    const ProcessResult result = run({"--headless", "--duration", "0.1"});
    EXPECT_EQ(result.exitCode, 1);
    std::string list;
    for (const char* kind :
         {"AnimGFXLayer",   "CerclesLayer",  "DotEffect",     "DynaTexture",    "Flash",
          "FocalGFX",       "FocalMDL",      "GFXLayer",      "GFXSlider",      "InfiniteZoom",
          "LineLayer",      "MDLPlayer",     "MetaballLayer", "OnduleGFXLayer", "ParasitesLayer",
          "ParticlesLayer", "PlasmaUVLayer", "RayLayer",      "SplineLayer",    "StarField",
          "TextLayer",      "TrouDuVers",    "WaterText"}) {
        list += std::string("\t- ") + kind + "\n";
    }
    // Standard error carries the message's lines with LF alone.
    EXPECT_NE(result.err.find("Could not find LayerEffect [GfxLayer].\n Available are : \n" + list),
              std::string::npos)
        << result.err;
}

}  // namespace
}  // namespace vesta::test
