// The handlers of a mesh's data chunks and of the animation tracks.
//
// Counts are checked against the chunk before anything is sized by them;
// arrays are read as one block of records each.
// Normals, texture coordinates and colours beyond the mesh's vertex count
// have no vertex to go to and are ignored; a track is as long as its count.

#include <algorithm>
#include <cmath>

#include "log/Log.h"
#include "scene/Camera.h"
#include "scene/Mdl4Format.h"
#include "scene/Mdl4Loader.h"
#include "scene/Mesh.h"
#include "scene/Scene.h"

namespace vesta {
namespace {

constexpr std::uint64_t kVector3Size = 12;
constexpr std::uint64_t kSkinPairSize = 8;

float fovFromFile(float value) {
    return value / CCamera::kFovDivisor;
}

float radiansFromDegrees(float value) {
    return value * mdl4::kDegreesToRadians;
}

}  // namespace

void CMdl4Loader::onVertices() {
    CMeshe& mesh = currentMesh();
    const std::uint32_t count = m_reader.ReadU32();
    const std::uint8_t* at = m_reader.ReadRecords(count, kVector3Size);
    m_scene.totalVertices += count;
    mesh.vertices.resize(count);
    for (MeshVertex& vertex : mesh.vertices) {
        vertex.position = Mdl4ChunkReader::Vector3At(at);
        at += kVector3Size;
    }
}

void CMdl4Loader::onNormals() {
    CMeshe& mesh = currentMesh();
    const std::uint32_t count = m_reader.ReadU32();
    m_reader.RequireRecords(count, kVector3Size);
    const std::size_t used = std::min<std::size_t>(count, mesh.vertices.size());
    const std::uint8_t* at = m_reader.ReadRecords(used, kVector3Size);
    for (std::size_t i = 0; i < used; ++i, at += kVector3Size) {
        Vector3 normal = Mdl4ChunkReader::Vector3At(at);
        const float length =
            std::sqrt(normal.x * normal.x + normal.y * normal.y + normal.z * normal.z);
        if (length > 0.0f) {
            normal = {normal.x / length, normal.y / length, normal.z / length};
        }
        mesh.vertices[i].normal = normal;
    }
}

void CMdl4Loader::onTexCoords() {
    CMeshe& mesh = currentMesh();
    const std::uint32_t count = m_reader.ReadU32();
    m_reader.RequireRecords(count, 8);
    const std::size_t used = std::min<std::size_t>(count, mesh.vertices.size());
    const std::uint8_t* at = m_reader.ReadRecords(used, 8);
    for (std::size_t i = 0; i < used; ++i, at += 8) {
        const float u = Mdl4ChunkReader::F32At(at);
        const float v = Mdl4ChunkReader::F32At(at + 4);
        mesh.vertices[i].uv0 = {u, v};
        mesh.vertices[i].uv1 = {u, v};
    }
}

void CMdl4Loader::onFaces() {
    CMeshe& mesh = currentMesh();
    const std::uint32_t count = m_reader.ReadU32();
    const std::uint8_t* at = m_reader.ReadRecords(count, 6);
    mesh.faces.resize(count);
    for (MeshFace& face : mesh.faces) {
        face.a = Mdl4ChunkReader::U16At(at);
        face.b = Mdl4ChunkReader::U16At(at + 2);
        face.c = Mdl4ChunkReader::U16At(at + 4);
        at += 6;
    }
    m_scene.totalFaces += count;
}

void CMdl4Loader::onColours() {
    CMeshe& mesh = currentMesh();
    const std::uint32_t count = m_reader.ReadU32();
    m_reader.RequireRecords(count, 4);
    const std::size_t used = std::min<std::size_t>(count, mesh.vertices.size());
    const std::uint8_t* at = m_reader.ReadRecords(used, 4);
    for (std::size_t i = 0; i < used; ++i, at += 4) {
        mesh.vertices[i].colour =
            (Mdl4ChunkReader::U32At(at) & 0x00FFFFFFu) | mdl4::kLoadedColourAlpha;
    }
}

void CMdl4Loader::onSkin() {
    currentMesh();  // its bones are the ones found by name
    // Each record takes at least 136 bytes, so a false count fails at a read.
    const std::uint32_t boneCount = m_reader.ReadU32();
    for (std::uint32_t i = 0; i < boneCount; ++i) {
        const std::string name = m_reader.ReadString();
        const std::uint32_t pairs = m_reader.ReadU32();
        m_reader.Skip(2 * mdl4::kMatrixSize);  // two matrices nothing uses
        CBone* bone = findBone(name);
        if (!bone) {
            LogPrintf("Warning : Bone [%s] is unknown.", name.c_str());
            m_reader.Skip(pairs * kSkinPairSize);
            continue;
        }
        const std::uint8_t* at = m_reader.ReadRecords(pairs, kSkinPairSize);
        bone->weights.resize(pairs);
        for (BoneWeight& weight : bone->weights) {
            weight.vertex = Mdl4ChunkReader::U32At(at);
            weight.weight = Mdl4ChunkReader::F32At(at + 4);
            at += kSkinPairSize;
        }
    }
}

void CMdl4Loader::readKeys(AnimTrack& track, int values, KeyConversion convert) {
    const std::uint32_t count = m_reader.ReadU32();
    m_reader.RequireRecords(count, 4 + 4 * static_cast<std::uint64_t>(values));
    // Rotation and bone tracks hold one record more than their count; the
    // next chunk is found through the sizes, so the extra one is never read.
    track.assign(count, AnimKey{});
    for (AnimKey& key : track) {
        key.frame = m_reader.ReadU32();
        for (int v = 0; v < values; ++v) {
            const float value = m_reader.ReadF32();
            key.values[v] = convert ? convert(value) : value;
        }
    }
}

void CMdl4Loader::onPosKeys() {
    readKeys(currentAnim().position, 3);
}

void CMdl4Loader::onRotKeys() {
    readKeys(currentAnim().rotation, 6);
}

void CMdl4Loader::onScaleKeys() {
    readKeys(currentAnim().scale, 3);
}

void CMdl4Loader::onFovKeys() {
    readKeys(currentAnim().fov, 1, fovFromFile);
}

void CMdl4Loader::onRollKeys() {
    readKeys(currentAnim().roll, 1);
}

void CMdl4Loader::onColourKeys() {
    readKeys(currentAnim().colour, 3);
}

void CMdl4Loader::onOuterConeKeys() {
    readKeys(currentAnim().outerCone, 1, radiansFromDegrees);
}

void CMdl4Loader::onInnerConeKeys() {
    readKeys(currentAnim().innerCone, 1, radiansFromDegrees);
}

void CMdl4Loader::onBonePosKeys() {
    readKeys(currentBone().ownAnim.position, 3);
}

void CMdl4Loader::onBoneRotKeys() {
    readKeys(currentBone().ownAnim.rotation, 6);
}

}  // namespace vesta
