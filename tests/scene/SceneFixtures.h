#pragma once
// Scenes made in code for the reader's tests, and their comparison.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "scene/Mdl4Writer.h"
#include "scene/Scene.h"

namespace vesta::test {

// A scene with every kind of chunk: three meshes (one skinned, one below
// another, one whose parent comes later), a camera with its target, a spot
// light, a point object, two materials and animations of each.
void BuildSampleScene(CScene& scene);

// Every field the reader fills, compared; converted floats with a tolerance.
void ExpectSameScene(const CScene& expected, const CScene& actual);

// Loads `bytes` as "test.vestamdl4" into `scene`; the engine error raised,
// or "<none>".
std::string LoadBytes(CScene& scene, std::span<const std::uint8_t> bytes);
std::string LoadBytes(std::span<const std::uint8_t> bytes);

inline constexpr const char* kInvalidFile = "File [test.vestamdl4] is not a valid VestaMDL4 file.";

// Small chunks for files made by hand.
mdl4::ChunkNode SceneNode(std::uint32_t lastFrame = 100);
mdl4::ChunkNode MeshNode(const std::string& name, const std::string& parent = "");
// n vertices at (i, 0, 0).
mdl4::ChunkNode VerticesNode(std::uint32_t count);
mdl4::ChunkNode PointNode(const std::string& name, const std::string& parent = "");
mdl4::ChunkNode BoneNode(const std::string& name, const std::string& parent = "");
mdl4::ChunkNode StringNode(std::uint32_t kind, const std::string& text);
// `records` keys of `values` floats each under a count of `count`; key i is
// at frame i with every value i + 0.5.
mdl4::ChunkNode KeysNode(std::uint32_t kind, std::uint32_t count, std::uint32_t records,
                         int values);

}  // namespace vesta::test
