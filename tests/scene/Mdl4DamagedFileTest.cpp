// Damaged and hostile files: every one ends in the reader's message or in a
// scene whose arrays hold what their indices name, never in a read outside
// the file.

#include <gtest/gtest.h>

#include "EngineState.h"
#include "SceneFixtures.h"
#include "scene/Mdl4Format.h"

namespace vesta::test {
namespace {

using mdl4::ChunkData;
using mdl4::ChunkNode;

class Mdl4DamagedFileTest : public ::testing::Test {
protected:
    void SetUp() override { ResetEngineState(); }
    void TearDown() override { ResetEngineState(); }

    static std::vector<std::uint8_t> sample() {
        CScene scene;
        BuildSampleScene(scene);
        return mdl4::WriteScene(scene);
    }
    // A root holding one mesh of `vertices` vertices and the given chunks.
    static std::string loadMesh(std::uint32_t vertices, std::vector<ChunkNode> chunks,
                                CScene* into = nullptr) {
        ChunkNode mesh = MeshNode("M");
        mesh.children.push_back(VerticesNode(vertices));
        for (ChunkNode& chunk : chunks) {
            mesh.children.push_back(std::move(chunk));
        }
        ChunkNode root = SceneNode();
        root.children.push_back(std::move(mesh));
        CScene scene;
        return LoadBytes(into ? *into : scene, mdl4::Serialize(root));
    }
};

TEST_F(Mdl4DamagedFileTest, EveryTruncationIsRejected) {
    const std::vector<std::uint8_t> file = sample();
    ASSERT_EQ(LoadBytes(file), "<none>");
    for (std::size_t size = 0; size < file.size(); ++size) {
        const std::string error = LoadBytes(std::span(file.data(), size));
        ASSERT_EQ(error, kInvalidFile) << "at " << size << " bytes";
    }
}

TEST_F(Mdl4DamagedFileTest, WrongMagicOrVersionIsRejectedWithItsOwnMessage) {
    std::vector<std::uint8_t> file = sample();
    file[3] = '5';
    EXPECT_EQ(LoadBytes(file), kInvalidFile);
    CScene scene;
    BuildSampleScene(scene);
    EXPECT_EQ(LoadBytes(mdl4::Serialize(mdl4::BuildTree(scene), 1)),
              "Invalid version for File [test.vestamdl4] (Is 1, expected 0)");
    EXPECT_EQ(LoadBytes(mdl4::Serialize(SceneNode(), 0xABCDEF)),
              "Invalid version for File [test.vestamdl4] (Is ABCDEF, expected 0)");
}

TEST_F(Mdl4DamagedFileTest, SizeFieldsThatLeaveTheirChunkOrTheFileAreRejected) {
    auto sizeOf = [](const ChunkNode& node) {
        return static_cast<std::uint32_t>(mdl4::Serialize(node).size() - mdl4::kHeaderSize);
    };
    auto withRoot = [](auto change) {
        ChunkNode root = SceneNode();
        ChunkNode mesh = MeshNode("M");
        mesh.children.push_back(VerticesNode(2));
        root.children.push_back(mesh);
        change(root);
        return LoadBytes(mdl4::Serialize(root));
    };
    EXPECT_EQ(withRoot([](ChunkNode&) {}), "<none>");
    // The root reaching past the end of the file.
    EXPECT_EQ(withRoot([](ChunkNode& r) { r.totalSizeField = 16 + 4 + 200 + 1000; }), kInvalidFile);
    // A child reaching into its parent's data, or past its parent.
    for (std::uint32_t over : {1u, 4u, 5u}) {
        EXPECT_EQ(withRoot([&](ChunkNode& r) {
                      r.children[0].totalSizeField = sizeOf(r.children[0]) + over;
                  }),
                  kInvalidFile);
    }
    EXPECT_EQ(withRoot([](ChunkNode& r) { r.children[0].children[0].totalSizeField = 4096; }),
              kInvalidFile);
    // A last child whose data take in its parent's data, which would read well.
    EXPECT_EQ(withRoot([&](ChunkNode& r) {
                  r.children[0].totalSizeField = sizeOf(r.children[0]) + 4;
                  r.children[0].dataSizeField = r.children[0].data.size() + 4;
              }),
              kInvalidFile);
    // Sizes that contradict each other.
    EXPECT_EQ(withRoot([](ChunkNode& r) { r.children[0].totalSizeField = 15; }), kInvalidFile);
    EXPECT_EQ(withRoot([](ChunkNode& r) { r.children[0].dataSizeField = 1u << 20; }), kInvalidFile);
    // More children than there are, and a child count near 2^32.
    EXPECT_EQ(withRoot([](ChunkNode& r) { r.children[0].childCountField = 2; }), kInvalidFile);
    EXPECT_EQ(withRoot([](ChunkNode& r) { r.childCountField = 0xFFFFFFFF; }), kInvalidFile);
    // A data size short of the data: the reads run into the chunk's end.
    EXPECT_EQ(withRoot([](ChunkNode& r) { r.children[0].dataSizeField = 8; }), kInvalidFile);
    // A root shorter than the file leaves the rest unread.
    std::vector<std::uint8_t> longer = mdl4::Serialize(SceneNode());
    longer.resize(longer.size() + 10, 0xEE);
    EXPECT_EQ(LoadBytes(longer), "<none>");
}

TEST_F(Mdl4DamagedFileTest, CountsPastTheChunkAreRejectedBeforeAnythingIsSized) {
    ChunkNode bigVertices{mdl4::Vertices, ChunkData().U32(0xFFFFFFFF).Vector({}).Take()};
    ChunkNode mesh = MeshNode("M");
    mesh.children.push_back(bigVertices);
    ChunkNode root = SceneNode();
    root.children.push_back(mesh);
    EXPECT_EQ(LoadBytes(mdl4::Serialize(root)), kInvalidFile);

    for (std::uint32_t kind : {mdl4::Normals, mdl4::TexCoords, mdl4::Faces, mdl4::Colours}) {
        SCOPED_TRACE(kind);
        EXPECT_EQ(loadMesh(2, {{kind, ChunkData().U32(0x40000000).U32(0).Take()}}), kInvalidFile);
    }
    ChunkNode anim = StringNode(mdl4::Anim, "M");
    anim.children.push_back(KeysNode(mdl4::PosKeys, 61, 60, 3));
    EXPECT_EQ(loadMesh(1, {anim}), kInvalidFile);
    EXPECT_EQ(loadMesh(1, {StringNode(mdl4::UserText, "x")}), "<none>");
    ChunkNode longString{mdl4::UserText, ChunkData().U32(1000).U32(0).Take()};
    EXPECT_EQ(loadMesh(1, {longString}), kInvalidFile);
    // Skin pairs of a known and of an unknown bone, and a bone count past the data.
    auto skin = [](const std::string& bone, std::uint32_t pairs, std::uint32_t bones = 1) {
        return ChunkNode{mdl4::Skin, ChunkData()
                                         .U32(bones)
                                         .String(bone)
                                         .U32(pairs)
                                         .Matrix({})
                                         .Matrix({})
                                         .U32(0)
                                         .F32(1)
                                         .Take()};
    };
    EXPECT_EQ(loadMesh(1, {BoneNode("B"), skin("B", 1)}), "<none>");
    EXPECT_EQ(loadMesh(1, {BoneNode("B"), skin("B", 2)}), kInvalidFile);
    EXPECT_EQ(loadMesh(1, {BoneNode("B"), skin("Other", 0x20000000)}), kInvalidFile);
    EXPECT_EQ(loadMesh(1, {BoneNode("B"), skin("B", 1, 0xFFFFFFFF)}), kInvalidFile);
    ChunkNode maps{mdl4::Material, ChunkData()
                                       .String("Mat")
                                       .Vector({})
                                       .Vector({})
                                       .Vector({})
                                       .U8(0)
                                       .U8(0)
                                       .F32(0)
                                       .F32(0)
                                       .U8(0)
                                       .U32(0xFFFFFFFF)
                                       .Take()};
    root.children = {maps};
    EXPECT_EQ(LoadBytes(mdl4::Serialize(root)), kInvalidFile);
}

TEST_F(Mdl4DamagedFileTest, PerVertexDataBeyondTheVertexCountIsIgnored) {
    CScene scene;
    ChunkData normals, uvs, colours;
    normals.U32(5);
    uvs.U32(5);
    colours.U32(5);
    for (int i = 0; i < 5; ++i) {
        normals.Vector({0, 0, static_cast<float>(i + 1)});
        uvs.F32(static_cast<float>(i)).F32(0);
        colours.U32(0x000000FF);
    }
    ASSERT_EQ(loadMesh(3,
                       {{mdl4::Normals, normals.Take()},
                        {mdl4::TexCoords, uvs.Take()},
                        {mdl4::Colours, colours.Take()},
                        {mdl4::Normals, ChunkData().U32(1).Vector({2, 0, 0}).Take()}},
                       &scene),
              "<none>");
    const auto& vertices = scene.meshes.at(0)->vertices;
    ASSERT_EQ(vertices.size(), 3u);
    EXPECT_EQ(vertices[0].normal, (Vector3{1, 0, 0}));  // a shorter list sets only its own
    EXPECT_EQ(vertices[2].normal, (Vector3{0, 0, 1}));
    EXPECT_EQ(vertices[2].uv1[0], 2.0f);
    EXPECT_EQ(vertices[2].colour, 0x7F0000FFu);
}

TEST_F(Mdl4DamagedFileTest, FaceIndicesOutsideTheVerticesRejectTheFile) {
    auto faces = [](std::uint16_t index) {
        return ChunkNode{mdl4::Faces, ChunkData().U32(1).U16(0).U16(1).U16(index).Take()};
    };
    CScene scene;
    EXPECT_EQ(loadMesh(3, {faces(2)}, &scene), "<none>");
    EXPECT_EQ(scene.totalFaces, 1);
    EXPECT_EQ(loadMesh(3, {faces(3)}), kInvalidFile);
    EXPECT_EQ(loadMesh(3, {faces(0xFFFF)}), kInvalidFile);
    // A later, shorter vertex list leaves the faces pointing outside.
    EXPECT_EQ(loadMesh(3, {faces(2), VerticesNode(2)}), kInvalidFile);
}

TEST_F(Mdl4DamagedFileTest, SkinWeightsOfVerticesTheMeshLacksAreDropped) {
    ChunkNode skin{mdl4::Skin, ChunkData()
                                   .U32(1)
                                   .String("B")
                                   .U32(3)
                                   .Matrix({})
                                   .Matrix({})
                                   .U32(1)
                                   .F32(0.5f)
                                   .U32(2)
                                   .F32(0.75f)
                                   .U32(0xFFFFFFFF)
                                   .F32(1)
                                   .Take()};
    CScene scene;
    ASSERT_EQ(loadMesh(2, {BoneNode("B"), skin}, &scene), "<none>");
    EXPECT_EQ(scene.meshes[0]->bones[0]->weights, (std::vector<BoneWeight>{{1, 0.5f}}));
}

TEST_F(Mdl4DamagedFileTest, DataChunksWithoutTheirOwnerAreRejected) {
    auto alone = [](ChunkNode chunk) {
        ChunkNode root = SceneNode();
        root.children.push_back(std::move(chunk));
        return LoadBytes(mdl4::Serialize(root));
    };
    EXPECT_EQ(alone(VerticesNode(1)), kInvalidFile);
    EXPECT_EQ(alone({mdl4::Skin, ChunkData().U32(0).Take()}), kInvalidFile);
    EXPECT_EQ(alone(BoneNode("B")), kInvalidFile);
    EXPECT_EQ(alone(StringNode(mdl4::UserText, "a=b")), kInvalidFile);
    EXPECT_EQ(alone(KeysNode(mdl4::PosKeys, 1, 1, 3)), kInvalidFile);
    EXPECT_EQ(alone(KeysNode(mdl4::BoneRotKeys, 1, 1, 6)), kInvalidFile);
    EXPECT_EQ(alone(StringNode(mdl4::Anim, "A")), "<none>");
}

TEST_F(Mdl4DamagedFileTest, DeepNestingAndEmptyFilesEndInAnAnswer) {
    ChunkNode chunk = PointNode("Deep");
    for (int depth = 0; depth < 20000; ++depth) {
        ChunkNode outer{0x00777777};
        outer.children.push_back(std::move(chunk));
        chunk = std::move(outer);
    }
    ChunkNode root = SceneNode();
    root.children.push_back(std::move(chunk));
    CScene scene;
    const std::vector<std::uint8_t> file = mdl4::Serialize(root);
    ASSERT_EQ(LoadBytes(scene, file), "<none>");
    EXPECT_EQ(scene.objects.at(0)->Name(), "Deep");
    EXPECT_EQ(LoadBytes(std::vector<std::uint8_t>{}), kInvalidFile);
    std::vector<std::uint8_t> headerOnly = mdl4::Serialize(SceneNode());
    headerOnly.resize(8);
    EXPECT_EQ(LoadBytes(headerOnly), kInvalidFile);
}

}  // namespace
}  // namespace vesta::test
