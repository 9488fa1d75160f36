// The loading entry: the loader chosen by extension, the file found through
// the file system, the steps after the load and the statistics in the log.

#include "scene/SceneLoad.h"

#include <gtest/gtest.h>

#include "EngineState.h"
#include "SceneFixtures.h"
#include "TestSupport.h"
#include "scene/Mdl4Loader.h"

namespace vesta::test {
namespace {

class SceneLoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEngineState();
        CaptureLog(lines);
        CScene sample;
        BuildSampleScene(sample);
        WriteFile(m_dir / "Models/ship.vestamdl4", mdl4::WriteScene(sample));
    }
    void TearDown() override {
        SetLogSink(nullptr, nullptr);
        ResetEngineState();
    }

    std::string load(const std::string& path, const SceneLoadHooks& hooks = {}) {
        return EngineErrorOf([&] { LoadScene(scene, path, hooks); });
    }

    TempDir m_dir;
    ScopedChdir m_chdir{m_dir.Path()};
    CScene scene;
    std::vector<std::string> lines;
};

TEST_F(SceneLoadTest, TheExtensionChoosesTheLoaderWhateverItsCase) {
    EXPECT_EQ(LoaderExtension("a/b.c/Ship.VestaMdl4"), "VESTAMDL4");
    EXPECT_EQ(LoaderExtension("noextension"), "NOEXTENSION");
    EXPECT_EQ(load("Models/ship.mdl"), "Unable to find loader for [MDL] filetype.");
    EXPECT_EQ(lines.front(), "-- Loading MDL ------------------");
    EXPECT_EQ(load(""), "Unable to find loader for [] filetype.");
    EXPECT_EQ(load("Models/missing.VestaMDL4"), "Unable to open [Models/missing.VestaMDL4]");
    // The loader itself opens nothing for an empty path, and says so.
    EXPECT_EQ(EngineErrorOf([&] { CMdl4Loader(scene).Run(""); }), "Unable to open MDLV4 file []");
    WriteFile(m_dir / "Models/Ship.VESTAMDL4", mdl4::WriteScene(CScene{}));
    EXPECT_EQ(load("Models\\ship.vestamdl4"), "<none>");
    EXPECT_EQ(scene.name, "ship.vestamdl4");
    EXPECT_EQ(scene.meshes.size(), 3u);
}

TEST_F(SceneLoadTest, StatisticsFollowTheStepsAfterTheLoad) {
    SetFixedStep(true, 2.0f);
    SetFrameIndex(0);
    std::size_t linesBeforeSteps = 0;
    SceneLoadHooks hooks;
    hooks.afterLoad = [&](CScene& loaded) {
        EXPECT_EQ(&loaded, &scene);
        EXPECT_EQ(loaded.cameras.size(), 1u);
        linesBeforeSteps = lines.size();
        SetFrameIndex(3);  // 1.5 s of loading
    };
    hooks.batchBlocks = [] { return 7; };
    ASSERT_EQ(load("Models/ship.vestamdl4", hooks), "<none>");
    EXPECT_EQ(linesBeforeSteps, 1u);
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "-- Loading MDL ------------------",
                         "Statistics for [ship.vestamdl4]: ",
                         "Meshes          : 3",
                         "Cameras         : 1",
                         "Lights          : 1",
                         "Total Faces     : 2",
                         "Total Vertices  : 5",
                         "Batch Blocks    : 7",
                         "Loading time    : 1.500",
                     }));
}

TEST_F(SceneLoadTest, AFailedLoadRaisesThroughTheEngineErrorAndLogsIt) {
    WriteFile(m_dir / "bad.vestamdl4", std::string("MDL4\0\0\0\0\1\0\0\0", 12));
    ASSERT_TRUE(OpenLogFile("Logging.txt"));
    EXPECT_EQ(load("bad.vestamdl4"), "File [bad.vestamdl4] is not a valid VestaMDL4 file.");
    CloseLogFile();
    EXPECT_TRUE(userErrorPending());
    EXPECT_NE(ReadFile(m_dir / "Logging.txt")
                  .find("------------ Exception -------------\n\nFile [bad.vestamdl4] is not"),
              std::string::npos);
}

}  // namespace
}  // namespace vesta::test
