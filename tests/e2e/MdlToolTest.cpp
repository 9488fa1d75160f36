// vesta-mdl from the command line.

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace vesta::test {
namespace {

ProcessResult mdlTool(const TempDir& dir, std::vector<std::string> args) {
    return RunProcess(VESTA_MDL_PATH, args, dir.Path());
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(MdlToolTest, ConvertedModelDumpsAndLoads) {
    TempDir dir;
    WriteFile(dir / "box.obj", "o Box.NoCull\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3 4\n");
    const ProcessResult convert = mdlTool(dir, {"convert", "box.obj", "box.VestaMDL4"});
    ASSERT_EQ(convert.exitCode, 0) << convert.err;
    EXPECT_TRUE(contains(convert.err, "reading box.obj")) << convert.err;
    EXPECT_TRUE(contains(convert.err, "converting 1 mesh,")) << convert.err;
    EXPECT_TRUE(contains(convert.err, "writing box.VestaMDL4 (")) << convert.err;

    const ProcessResult dump = mdlTool(dir, {"dump", "box.VestaMDL4"});
    ASSERT_EQ(dump.exitCode, 0) << dump.err;
    EXPECT_TRUE(contains(dump.out, "Scene  size ")) << dump.out;
    EXPECT_TRUE(contains(dump.out, "\n  Mesh \"Box.NoCull\"  size ")) << dump.out;
    EXPECT_TRUE(contains(dump.out, "\n    Faces  size 32, data 16, 0 children")) << dump.out;
    EXPECT_TRUE(contains(dump.out, "meshes 1,")) << dump.out;
    EXPECT_TRUE(contains(dump.out, "Total Vertices  : 4")) << dump.out;
}

TEST(MdlToolTest, FailuresAreExplained) {
    TempDir dir;
    WriteFile(dir / "notes.txt", "not a model at all\n");
    const ProcessResult notModel = mdlTool(dir, {"convert", "notes.txt", "out.VestaMDL4"});
    EXPECT_EQ(notModel.exitCode, 1);
    // The file and assimp's own reason.
    EXPECT_TRUE(contains(notModel.err, "cannot read 'notes.txt': ")) << notModel.err;
    EXPECT_TRUE(contains(notModel.err, "No suitable reader found")) << notModel.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "out.VestaMDL4"));

    // A chunk whose size reaches past the file: the reader's message.
    WriteFile(dir / "box.obj", "v 0 0 0\nv 1 0 0\nv 1 1 0\nf 1 2 3\n");
    ASSERT_EQ(mdlTool(dir, {"convert", "box.obj", "box.VestaMDL4"}).exitCode, 0);
    std::string bytes = ReadFile(dir / "box.VestaMDL4");
    bytes[13] = '\x7F';  // the root's total size, far past the end
    WriteFile(dir / "box.VestaMDL4", bytes);
    const ProcessResult damaged = mdlTool(dir, {"dump", "box.VestaMDL4"});
    EXPECT_EQ(damaged.exitCode, 1);
    EXPECT_TRUE(contains(damaged.err, "File [box.VestaMDL4] is not a valid VestaMDL4 file."))
        << damaged.err;

    EXPECT_EQ(mdlTool(dir, {}).exitCode, 2);
    const ProcessResult unknown = mdlTool(dir, {"frobnicate"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(contains(unknown.err, "Usage: vesta-mdl")) << unknown.err;
    EXPECT_EQ(mdlTool(dir, {"convert", "box.obj"}).exitCode, 2);
    EXPECT_EQ(mdlTool(dir, {"dump"}).exitCode, 2);
}

}  // namespace
}  // namespace vesta::test
