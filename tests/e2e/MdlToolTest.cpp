// vesta-mdl from the command line.

#include <gtest/gtest.h>

#include "GltfWriter.h"
#include "PlayerRun.h"
#include "TestSupport.h"
#include "VideoReadBack.h"

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

// A box that slides from left to right over one second in front of a
// camera, as a modelling package exports it to glTF.
std::string slidingBoxGltf() {
    GltfBuffer buffer;
    std::vector<float> positions, normals;
    std::vector<std::uint16_t> indices;
    // Two triangles per face of a cube of side 2, each face its own four vertices.
    const float faces[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    for (const auto& n : faces) {
        // Two directions across the face.
        const float s[3] = {n[0] != 0 ? 0.0f : 1.0f, n[0] != 0 ? 1.0f : 0.0f, 0.0f};
        const float t[3] = {n[1] * s[2] - n[2] * s[1], n[2] * s[0] - n[0] * s[2],
                            n[0] * s[1] - n[1] * s[0]};
        const auto base = static_cast<std::uint16_t>(positions.size() / 3);
        for (int corner = 0; corner < 4; ++corner) {
            const float a = (corner & 1) ? 1.0f : -1.0f;
            const float b = (corner & 2) ? 1.0f : -1.0f;
            for (int i = 0; i < 3; ++i) {
                positions.push_back(n[i] + s[i] * a + t[i] * b);
                normals.push_back(n[i]);
            }
        }
        // Counter-clockwise seen from outside, as glTF wants.
        for (const std::uint16_t i : {0, 1, 3, 0, 3, 2}) {
            indices.push_back(static_cast<std::uint16_t>(base + i));
        }
    }
    const int p = buffer.AddFloats(positions, "VEC3", 3);
    const int nn = buffer.AddFloats(normals, "VEC3", 3);
    const int ix = buffer.AddIndices(indices);
    const int times = buffer.AddFloats({0, 1}, "SCALAR", 1);
    const int moves = buffer.AddFloats({-4, 0, 0, 4, 0, 0}, "VEC3", 3);
    auto n = [](int index) { return std::to_string(index); };
    return R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0,1,2]}],"nodes":[)"
           R"({"name":"Crate","mesh":0},{"name":"Cam","camera":0,"translation":[0,0,12]},)"
           R"({"name":"Lamp.Dyna","translation":[0,0,12],"extensions":{"KHR_lights_punctual":{"light":0}}}],)"
           R"("meshes":[{"primitives":[{"attributes":{"POSITION":)" +
           n(p) + R"(,"NORMAL":)" + n(nn) + R"(},"indices":)" + n(ix) + R"(,"material":0}]}],)" +
           R"("materials":[{"name":"Paint","pbrMetallicRoughness":{"baseColorFactor":[1,0.6,0.1,1]}}],)"
           R"("cameras":[{"type":"perspective","perspective":{"yfov":0.9,"znear":0.1,"zfar":100}}],)"
           R"("extensionsUsed":["KHR_lights_punctual"],)"
           R"("extensions":{"KHR_lights_punctual":{"lights":[{"type":"point","color":[1,1,1]}]}},)"
           R"("animations":[{"channels":[{"sampler":0,"target":{"node":0,"path":"translation"}}],)"
           R"("samplers":[{"input":)" +
           n(times) + R"(,"output":)" + n(moves) + R"(,"interpolation":"LINEAR"}]}],)" +
           buffer.Json() + "}";
}

// Mean column of the frame's bright pixels.
double brightColumn(const std::vector<std::uint8_t>& frame, int width) {
    double sum = 0;
    int count = 0;
    for (std::size_t i = 0; i + 2 < frame.size(); i += 3) {
        if (frame[i] + frame[i + 1] + frame[i + 2] > 120) {
            sum += static_cast<double>((i / 3) % static_cast<std::size_t>(width));
            ++count;
        }
    }
    return count ? sum / count : -1.0;
}

TEST(MdlToolTest, AConvertedAnimatedModelPlaysInAProduction) {
    TempDir dir;
    WriteFile(dir / "crate.gltf", slidingBoxGltf());
    const ProcessResult convert = mdlTool(dir, {"convert", "crate.gltf", "crate.VestaMDL4"});
    ASSERT_EQ(convert.exitCode, 0) << convert.err;
    WriteFile(dir / "DefaultConfig.xml", "<AppConfig>\n<Window Class=\"Demo\" Name=\"Crate\"/>\n"
                                         "<Script Name=\"Main.txt\"/>\n</AppConfig>\n");
    WriteFile(dir / "Main.txt",
              "PART {\r\nTIME 0 {\r\nCREATE \"MDLPlayer\" {\r\n"
              "MDLFile \"crate.VestaMDL4\";\r\nCurrentCamera \"Cam\";\r\n}\r\n}\r\n}\r\n");
    const ProcessResult run =
        play(dir.Path(), {"VideoOut", "NoSound", "--headless", "--mode", "160x120x32", "--video",
                          "out.avi", "--fps", "30", "--duration", "1"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const ReadBack video = ReadRecording(dir / "out.avi");
    ASSERT_GE(video.frames.size(), 28u);
    const double start = brightColumn(video.frames[1], video.width);
    const double end = brightColumn(video.frames[27], video.width);
    ASSERT_GE(start, 0.0);
    ASSERT_GE(end, 0.0);
    // From the camera's side the box slides from left to right.
    EXPECT_GT(end - start, 30.0) << start << " .. " << end;
}

}  // namespace
}  // namespace vesta::test
