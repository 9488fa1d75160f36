// The handlers of a mesh's data chunks and of the animation tracks.
//
// Counts are checked against the chunk before anything is sized by them.
// Normals, texture coordinates and colours beyond the mesh's vertex count
// have no vertex to go to and are ignored; a track is as long as its count.

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
    m_reader.RequireRecords(count, kVector3Size);
    m_scene.totalVertices += count;
    mesh.vertices.resize(count);
    for (MeshVertex& vertex : mesh.vertices) {
        vertex.position = m_reader.ReadVector3();
    }
}

void CMdl4Loader::onNormals() {
    CMeshe& mesh = currentMesh();
    const std::uint32_t count = m_reader.ReadU32();
    m_reader.RequireRecords(count, kVector3Size);
    for (std::uint32_t i = 0; i < count && i < mesh.vertices.size(); ++i) {
        Vector3 normal = m_reader.ReadVector3();
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
    for (std::uint32_t i = 0; i < count && i < mesh.vertices.size(); ++i) {
        const float u = m_reader.ReadF32();
        const float v = m_reader.ReadF32();
        mesh.vertices[i].uv0 = {u, v};
        mesh.vertices[i].uv1 = {u, v};
    }
}

void CMdl4Loader::onFaces() {
    CMeshe& mesh = currentMesh();
    const std::uint32_t count = m_reader.ReadU32();
    m_reader.RequireRecords(count, 6);
    mesh.faces.resize(count);
    for (MeshFace& face : mesh.faces) {
        face.a = m_reader.ReadU16();
        face.b = m_reader.ReadU16();
        face.c = m_reader.ReadU16();
    }
    m_scene.totalFaces += count;
}

void CMdl4Loader::onColours() {
    CMeshe& mesh = currentMesh();
    const std::uint32_t count = m_reader.ReadU32();
    m_reader.RequireRecords(count, 4);
    for (std::uint32_t i = 0; i < count && i < mesh.vertices.size(); ++i) {
        mesh.vertices[i].colour = (m_reader.ReadU32() & 0x00FFFFFFu) | mdl4::kLoadedColourAlpha;
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
        m_reader.RequireRecords(pairs, kSkinPairSize);
        bone->weights.resize(pairs);
        for (BoneWeight& weight : bone->weights) {
            weight.vertex = m_reader.ReadU32();
            weight.weight = m_reader.ReadF32();
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
