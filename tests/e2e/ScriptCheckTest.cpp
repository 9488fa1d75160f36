// `vesta --check` on small productions made for each mistake: what it says,
// at which line, and how it exits.

#include <gtest/gtest.h>

#include "PictureWriters.h"
#include "PlayerRun.h"
#include "fs/PakWriter.h"

namespace vesta::test {
namespace {

constexpr const char* kConfiguration =
    "<AppConfig>\n<Window Class=\"Demo\" Name=\"Night Show\"/>\n<Script Name=\"Main.txt\"/>\n"
    "<Debug Enable=\"False\"/>\n<FileSystem>\n<Search Path=\"Pics\"/>\n</FileSystem>\n"
    "</AppConfig>\n";

// Lines joined with CR LF, as scripts are written.
std::string script(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

class ScriptCheckTest : public ::testing::Test {
protected:
    ProcessResult check(const std::string& text, std::vector<std::string> args = {"--check"}) {
        WriteFile(m_dir / "DefaultConfig.xml", kConfiguration);
        WriteFile(m_dir / "Main.txt", text);
        return play(m_dir.Path(), std::move(args));
    }

    TempDir m_dir;
};

// Pictures are found by their bare lower-case name in the search folders,
// other files by their name, in folders or archives alike.
TEST_F(ScriptCheckTest, EveryMissingFileIsAnErrorAtTheLineThatNamesIt) {
    std::filesystem::create_directories(m_dir / "Pics");
    WriteFile(m_dir / "Pics" / "back.png", SimplePng(4, 4));
    WriteFile(m_dir / "Pics" / "f1.png", SimplePng(4, 4));
    WriteFile(m_dir / "Pics" / "a1.png", SimplePng(4, 4));
    pak::PakWriter pak;
    ASSERT_TRUE(pak.Add("tune.mp3", Bytes("not decoded by the check")));
    WriteFile(m_dir / "data.pak", *pak.Build());
    const ProcessResult result = check(script({
        "PART {",                                                          // 1
        "LOADINGIMG \"load.jpg, 1, 1\";",                                  // 2
        "LOADINGANIM \"f1.png, .4, .4, .1, .1;f2.png, .4, .4, .1, .1\";",  // 3
        "MUSICSTREAM \"tune.mp3\";",                                       // 4
        "MODSTREAM \"song.xm\";",                                          // 5
        "NEXTLOAD_SAMPLE \"next.wav\";",                                   // 6
        "TIME -1 {",                                                       // 7
        "CREATE \"GFXLayer\" {",                                           // 8
        "Texture \"Gfx\\Back.PNG\";",                                      // 9
        "AlphaTexture \"alpha.png\";",                                     // 10
        "}",                                                               // 11
        "CREATE \"AnimGFXLayer\" {",                                       // 12
        "Texture \"a1.png, a2.png\";",                                     // 13
        "}",                                                               // 14
        "CREATE \"MDLPlayer\" {",                                          // 15
        "MDLFile \"ship.mdl\";",                                           // 16
        "}",                                                               // 17
        "CREATE \"GFXLayer\" {",                                           // 18
        "Texture \"back.bmp\";",                                           // 19
        "}",                                                               // 20
        "}",                                                               // 21
        "TIME 5 {",                                                        // 22
        "PARTEND;",                                                        // 23
        "}",                                                               // 24
        "}",                                                               // 25
    }));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err,
              "vesta: Main.txt(2): LOADINGIMG: picture [load.jpg] is in no search folder and no "
              "archive (looked up as [load.jpg]).\n"
              "vesta: Main.txt(3): LOADINGANIM: picture [f2.png] is in no search folder and no "
              "archive (looked up as [f2.png]).\n"
              "vesta: Main.txt(5): MODSTREAM: file [song.xm] is in no search folder and no "
              "archive.\n"
              "vesta: Main.txt(6): NEXTLOAD_SAMPLE: file [next.wav] is in no search folder and no "
              "archive.\n"
              "vesta: Main.txt(10): AlphaTexture: picture [alpha.png] is in no search folder and "
              "no archive (looked up as [alpha.png]).\n"
              "vesta: Main.txt(13): Texture: picture [a2.png] is in no search folder and no "
              "archive (looked up as [a2.png]).\n"
              "vesta: Main.txt(16): MDLFile: file [ship.mdl] is in no search folder and no "
              "archive.\n"
              "vesta: Main.txt(19): Texture: [back.bmp] cannot be read: pictures are .png or .jpg "
              "files.\n"
              "vesta: 8 errors\n");
}

TEST_F(ScriptCheckTest, AMissingIncludeStopsTheCheckNamingWhereItWasIncluded) {
    const ProcessResult result = check(script({"PART {", "INCLUDE \"Missing.txt\";", "}"}));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "vesta: ScriptParser : Unable to open file [Missing.txt], included at "
                          "Main.txt(2)\n");
}

struct MistakeCase {
    const char* what;
    std::string script;
    std::string err;
    int exitCode;
};

TEST_F(ScriptCheckTest, EachMistakeIsReportedAtItsOwnLine) {
    const MistakeCase cases[] = {
        {"a wrong parameter name, at its own line and not the CREATE's",
         script({"PART {", "TIME 0 {", "CREATE \"Flash\" {", "NAME \"F\";", "StartTme 1;", "}", "}",
                 "TIME 2 {", "PARTEND;", "}", "}"}),
         "vesta: Main.txt(5): Flash has no parameter [StartTme]; the show would stop there. "
         "Did you mean StartTime?\n"
         "vesta: 1 error\n",
         1},
        {"values that read as something else than meant",
         script({"DEFINE \"Scene1 = 2\";", "PART {", "TIME 0 {", "CREATE \"GFXLayer\" {",
                 "RisingTime fast;", "StartTime Scne1+0.5;", "LifeTime Scene1 + 1;", "Effect 99;",
                 "AlphaType 7;", "Bilinear yes;", "XScale 0.5; YScale 0.5;", "Effect 2.9;", "}",
                 "}", "TIME Scene2 {", "PARTEND;", "}", "}"}),
         "vesta: Main.txt(5): RisingTime [fast] is no number and no DEFINE; it reads as 0.\n"
         "vesta: Main.txt(6): StartTime [Scne1+0.5] is no number and no DEFINE; it reads as 0. "
         "Did you mean Scene1?\n"
         "vesta: Main.txt(7): LifeTime [Scene1 + 1] was not computed, so it reads as 0: write a "
         "DEFINE's expression without blanks (Scene1+1).\n"
         "vesta: Main.txt(8): Effect 99 is out of range: GFXLayer knows Effect 0 to 8.\n"
         "vesta: Main.txt(9): AlphaType 7 is out of range: GFXLayer knows AlphaType 0 to 1.\n"
         "vesta: Main.txt(10): Bilinear [yes] reads as No: only Yes, spelt so, switches it on.\n"
         "vesta: Main.txt(11): warning: [YScale 0.5] after the first statement on this line is "
         "never read: one statement a line.\n"
         "vesta: Main.txt(12): warning: Effect takes whole numbers: [2.9] reads as 2.\n"
         "vesta: Main.txt(15): TIME [Scene2] is no number and no DEFINE; it reads as 0. Did you "
         "mean Scene1?\n"
         "vesta: 7 errors, 2 warnings\n",
         1},
        {"CREAT swallowing the rest of the part",
         script({"PART {", "TIME 1 {", "CREAT \"Flash\" {", "NAME \"F\";", "}", "}", "TIME 3 {",
                 "PARTEND;", "}", "}"}),
         "vesta: Main.txt(1): this part has no PARTEND or END: it would play (and record) for "
         "ever.\n"
         "vesta: Main.txt(3): warning: unknown statement [CREAT] in a time block is ignored. "
         "Did you mean CREATE? Its lines are passed over, its } closes the time block opened "
         "at Main.txt(2), and the next } the part.\n"
         "vesta: Main.txt(7): [TIME] is ignored outside any part: it belongs in a part block. "
         "No part is open here: the part opened at Main.txt(1) was closed before it by a } too "
         "many.\n"
         "vesta: 2 errors, 1 warning\n",
         1},
        {"a lost } turning two parts into one",
         script({"PART {", "TIME 5 {", "PARTEND;", "}", "PART {", "TIME 3 {", "END;", "}", "}"}),
         "vesta: Main.txt(5): [PART] is ignored in a part block: it belongs outside any part. "
         "The part opened at Main.txt(1) seems to have lost its closing }, and the two parts "
         "play as one.\n"
         "vesta: 1 error\n",
         1},
        {"a lost } turning a block into the load-time block",
         script({"PART {", "TIME -1 {", "CREATE \"Flash\" {", "NAME \"F\";", "}", "TIME 4 {",
                 "UPDATE \"F\" {", "}", "PARTEND;", "}", "}"}),
         "vesta: Main.txt(1): this part has no PARTEND or END: it would play (and record) for "
         "ever.\n"
         "vesta: Main.txt(6): [TIME] is ignored in a time block: it belongs in a part block. The "
         "time block opened at Main.txt(2) seems to have lost its closing }.\n"
         "vesta: Main.txt(7): UPDATE stands in the load-time block (TIME -1 at "
         "Main.txt(2)), which only creates layers: it is never run. Has that block lost its "
         "closing }?\n"
         "vesta: Main.txt(9): PARTEND stands in the load-time block (TIME -1 at "
         "Main.txt(2)), which only creates layers: it is never run. Has that block lost its "
         "closing }?\n"
         "vesta: 4 errors\n",
         1},
        {"a lost } of an effect block, and a text that ends inside a block",
         script({"PART {", "TIME 1 {", "CREATE \"Flash\" {", "CREATE \"Flash\" {", "}", "}",
                 "TIME 2 {", "END;"}),
         "vesta: Main.txt(1): PART opens a block that the script never closes: a } is missing.\n"
         "vesta: Main.txt(2): TIME opens a block that the script never closes: a } is missing.\n"
         "vesta: Main.txt(4): CREATE inside the block of Flash at Main.txt(3) is never run: only "
         "an MDLPlayer carries effects in its block. Has that block lost its closing }?\n"
         "vesta: Main.txt(7): [TIME] is ignored in a time block: it belongs in a part block. The "
         "time block opened at Main.txt(2) seems to have lost its closing }.\n"
         "vesta: 4 errors\n",
         1},
        {"unknown kinds and updates of names never created",
         script({"PART {", "TIME 1 {", "CREATE \"GfxLayer\" {", "NAME \"A\";", "}", "}", "TIME 2 {",
                 "UPDATE \"a\" {", "}", "PARTEND;", "}", "}"}),
         "vesta: Main.txt(3): unknown layer kind [GfxLayer]. Did you mean GFXLayer?\n"
         "vesta: Main.txt(8): no layer named [a] is created before this UPDATE. Did you mean A?\n"
         "vesta: 2 errors\n",
         1},
    };
    for (const MistakeCase& mistake : cases) {
        SCOPED_TRACE(mistake.what);
        const ProcessResult result = check(mistake.script);
        EXPECT_EQ(result.err, mistake.err);
        EXPECT_EQ(result.exitCode, mistake.exitCode);
    }
}

// Each kind is made, never started, for its parameter list: without a model,
// a scene or a picture, every layer and modifier kind must give it.
TEST_F(ScriptCheckTest, EveryKindGivesItsParametersWithoutStarting) {
    std::string text = "PART {\r\nTIME 1 {\r\n";
    for (const char* kind :
         {"AnimGFXLayer",  "CerclesLayer",  "DotEffect",      "DynaTexture",    "Flash",
          "FocalGFX",      "FocalMDL",      "GFXLayer",       "GFXSlider",      "InfiniteZoom",
          "LineLayer",     "MetaballLayer", "OnduleGFXLayer", "ParasitesLayer", "ParticlesLayer",
          "PlasmaUVLayer", "RayLayer",      "SplineLayer",    "StarField",      "TextLayer",
          "TrouDuVers",    "WaterText"}) {
        text += std::string("CREATE \"") + kind + "\" {\r\nStartTime 1;\r\n}\r\n";
    }
    text += "CREATE \"MDLPlayer\" {\r\n";
    for (const char* kind :
         {"3DSound",       "CameraFade",   "DepthEffect", "DynaLight",   "Eclosion",
          "Flies",         "FocalDepth",   "Fog",         "Glow2",       "GlowEffect",
          "LensDeform",    "MaterialAnim", "Mercure",     "MeshContour", "MeshHunz",
          "MeshModifier",  "OndesRadio",   "Particles",   "Rays",        "SceneBlur",
          "StencilShadow", "Volumetric",   "WaterPlane"}) {
        text += std::string("CREATE \"") + kind + "\" {\r\nStartTime 1;\r\nLifeTime x;\r\n}\r\n";
    }
    text += "}\r\n}\r\nTIME 2 {\r\nEND;\r\n}\r\n}\r\n";
    const ProcessResult result = check(text);
    EXPECT_EQ(result.exitCode, 1);
    // Only the modifiers' LifeTime x, one for each of the 23 kinds.
    EXPECT_NE(result.err.find("vesta: 23 errors\n"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("LifeTime [x] is no number and no DEFINE; it reads as 0.\n"),
              std::string::npos);
}

// The player itself still names the CREATE, as it always did.
TEST_F(ScriptCheckTest, ThePlayerReportsAWrongParameterAtItsCreate) {
    const ProcessResult result =
        check(script({"PART {", "TIME 0 {", "CREATE \"Flash\" {", "StartTme 1;", "}", "}", "}"}),
              {"--headless", "--duration", "1"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("Near Main.txt(3) - CFlash"), std::string::npos) << result.err;
}

TEST_F(ScriptCheckTest, UnknownStatementsAreWarningsThatOnlyStrictFails) {
    const std::string text =
        script({"SHOWFPSS Yes;", "PART {", "MUSIKSTREAM \"tune.mp3\";", "TIME 1 {",
                "CREATE \"GFXLayer\" {", "XScale 0.5 YScale 0.5;", "}", "PARTEND;", "}", "}"});
    const std::string warnings =
        "vesta: Main.txt(1): warning: unknown statement [SHOWFPSS] outside any part is ignored. "
        "Did you mean SHOWFPS?\n"
        "vesta: Main.txt(3): warning: unknown statement [MUSIKSTREAM] in a part block is "
        "ignored. Did you mean MUSICSTREAM?\n"
        "vesta: Main.txt(6): warning: XScale reads only the number at the start of [0.5 YScale "
        "0.5]. Is [YScale 0.5] a statement of its own? One statement a line.\n"
        "vesta: 3 warnings\n";
    const ProcessResult plain = check(text);
    EXPECT_EQ(plain.exitCode, 0);
    EXPECT_EQ(plain.err, warnings);
    const ProcessResult strict = check(text, {"--check", "--strict"});
    EXPECT_EQ(strict.exitCode, 1);
    EXPECT_EQ(strict.err, warnings);
}

}  // namespace
}  // namespace vesta::test
