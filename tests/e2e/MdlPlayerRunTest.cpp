// The player running scripts that play a model file.

#include <gtest/gtest.h>

#include "PlayerRun.h"
#include "SceneFixtures.h"

namespace vesta::test {
namespace {

class MdlPlayerRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        CScene scene;
        BuildSampleScene(scene);
        // Its materials name pictures these productions do not carry.
        for (const auto& material : scene.materials) {
            material->maps.clear();
        }
        WriteFile(m_dir / "ship.vestamdl4", mdl4::WriteScene(scene));
    }

    // One player at time 0 holding `body`. With `logged` the run writes
    // "Logging.txt" (and debug lines on standard error).
    ProcessResult run(const std::string& body, bool logged = false,
                      const std::vector<std::string>& more = {}) {
        WriteFile(m_dir / "DefaultConfig.xml",
                  std::string("<AppConfig>\n<Window Class=\"Demo\" Name=\"Night Show\"/>\n"
                              "<Script Name=\"Main.txt\"/>\n<Debug Enable=\"") +
                      (logged ? "True" : "False") + "\"/>\n</AppConfig>\n");
        WriteFile(m_dir / "Main.txt", "PART {\r\nTIME 0 {\r\nCREATE \"MDLPlayer\" {\r\n"
                                      "MDLFile \"ship.vestamdl4\";\r\n" +
                                          body + "}\r\n}\r\n}\r\n");
        std::vector<std::string> args = {"--headless", "--duration", "0.3"};
        if (logged) {
            args.push_back("LogFile");
        }
        args.insert(args.end(), more.begin(), more.end());
        return play(m_dir.Path(), args);
    }

    TempDir m_dir;
};

TEST_F(MdlPlayerRunTest, AModelPlayerPlaysThroughItsCamera) {
    const ProcessResult result = run("NAME \"Ship\";\r\nCurrentCamera \"Cam01\";\r\n", true);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(logged(m_dir.Path(), "Statistics for [ship.vestamdl4]: "));
    EXPECT_TRUE(logged(m_dir.Path(), "Destroying Layer [Ship]"));
}

TEST_F(MdlPlayerRunTest, AnUnknownCameraStopsTheShow) {
    const ProcessResult result = run("CurrentCamera \"Nobody\";\r\n");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Night Show: Could not find any camera named [Nobody]\n");
}

TEST_F(MdlPlayerRunTest, ItsNestedBlocksReachTheModifierFactory) {
    const ProcessResult result = run("CREATE \"NoSuchModifier\" {\r\n}\r\n");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err.rfind("Night Show: Could not find MDLModifier [NoSuchModifier].", 0), 0u)
        << result.err;
}

TEST_F(MdlPlayerRunTest, AFoggedPlayerPlaysAndItsModifierCountsAsUsed) {
    const ProcessResult result =
        run("CREATE \"Fog\" {\r\nNAME \"Mist\";\r\nStableTime 1;\r\nColor 200,200,255;\r\n}\r\n",
            true, {"us"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(logged(m_dir.Path(), "Destroying Modifier [Mist]"));
    const std::string stats = ReadFile(m_dir / "ModifiersFactoryStats.txt");
    EXPECT_EQ(stats.rfind("Used modifiers :\r\n - Fog\r\n\r\nUnused modifiers :\r\n", 0), 0u)
        << stats;
    EXPECT_NE(stats.find(" - CameraFade\r\n"), std::string::npos);
}

TEST_F(MdlPlayerRunTest, AnUnknownModifierListsTheTwentyThreeKindsInNameOrder) {
    const ProcessResult result = run("CREATE \"Smoke\" {\r\n}\r\n");
    EXPECT_EQ(result.exitCode, 1);
    // Standard error carries the message's lines with LF alone.
    std::string expected = "Could not find MDLModifier [Smoke].\n Available are : \n";
    for (const char* kind :
         {"3DSound",       "CameraFade",   "DepthEffect", "DynaLight",   "Eclosion",
          "Flies",         "FocalDepth",   "Fog",         "Glow2",       "GlowEffect",
          "LensDeform",    "MaterialAnim", "Mercure",     "MeshContour", "MeshHunz",
          "MeshModifier",  "OndesRadio",   "Particles",   "Rays",        "SceneBlur",
          "StencilShadow", "Volumetric",   "WaterPlane"}) {
        expected += std::string("\t- ") + kind + "\n";
    }
    EXPECT_NE(result.err.find(expected), std::string::npos) << result.err;
}

}  // namespace
}  // namespace vesta::test
