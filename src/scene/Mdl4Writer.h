#pragma once
// Writes MDL4 files: a chunk tree serialised in the file's layout, and the
// tree that a scene makes, laid out as the exporter lays it out.
//
//     std::vector<std::uint8_t> bytes = mdl4::WriteScene(scene);
//
//     mdl4::ChunkNode root{mdl4::Scene, mdl4::ChunkData().U32(100).Take()};
//     root.children.push_back({mdl4::Point, mdl4::ChunkData().String("P").String("")
//                                               .Vector(Vector3{}).Take()});
//     std::vector<std::uint8_t> file = mdl4::Serialize(root);

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "scene/Mdl4Format.h"
#include "scene/SceneMath.h"

namespace vesta {
class CScene;
}

namespace vesta::mdl4 {

// The data of one chunk, little-endian.
class ChunkData {
public:
    ChunkData& U32(std::uint32_t value);
    ChunkData& F32(float value);
    ChunkData& U16(std::uint16_t value);
    ChunkData& U8(std::uint8_t value);
    ChunkData& String(std::string_view text);
    ChunkData& Vector(const Vector3& value);
    ChunkData& Matrix(const Matrix4& value);
    std::vector<std::uint8_t> Take() { return std::move(m_bytes); }

private:
    std::vector<std::uint8_t> m_bytes;
};

struct ChunkNode {
    ChunkNode() = default;
    ChunkNode(std::uint32_t chunkKind, std::vector<std::uint8_t> chunkData = {})
        : kind(chunkKind), data(std::move(chunkData)) {}

    std::uint32_t kind = 0;
    std::vector<std::uint8_t> data;
    std::vector<ChunkNode> children;
    // Header fields written in place of the true ones, to make damaged files;
    // the bytes laid out stay those of the true tree.
    std::optional<std::uint32_t> totalSizeField;
    std::optional<std::uint32_t> dataSizeField;
    std::optional<std::uint32_t> childCountField;
};

// The magic, the version, then the root chunk.
std::vector<std::uint8_t> Serialize(const ChunkNode& root, std::uint32_t version = kVersion);

struct WriteOptions {
    // The exporter writes one record more than the count into every RotKeys,
    // BonePosKeys and BoneRotKeys chunk (here a copy of the last key).
    bool extraTrackRecord = true;
    // The exporter writes face normals, which no reader needs.
    bool faceNormals = true;
};

// Objects in the order of the scene's list of all objects (a camera's target
// with its camera), then the lights, the animations that animate no object
// written, and the materials. An animation goes inside the object whose name
// it has, compared in lower case, or inside the camera whose target it
// animates (".target" or ".cible"). RaiseAppError when a face index does not
// fit in 16 bits.
ChunkNode BuildTree(const CScene& scene, const WriteOptions& options = {});
std::vector<std::uint8_t> WriteScene(const CScene& scene, const WriteOptions& options = {});

}  // namespace vesta::mdl4
