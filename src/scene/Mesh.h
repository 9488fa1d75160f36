#pragma once
// A mesh of a scene with its vertices, faces and skin.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "scene/ObjectAnim.h"
#include "scene/SceneObject.h"

namespace vesta {

class CMaterial;

struct MeshVertex {
    Vector3 position;
    Vector3 normal;
    std::uint32_t colour = 0;  // ARGB; 0 unless a Colours chunk sets it
    std::array<float, 2> uv0{};
    std::array<float, 2> uv1{};
    bool operator==(const MeshVertex&) const = default;
};

// Indices into the mesh's vertex array; a loaded mesh has every index below
// its vertex count.
struct MeshFace {
    std::uint32_t a = 0;
    std::uint32_t b = 0;
    std::uint32_t c = 0;
    bool operator==(const MeshFace&) const = default;
};

struct BoneWeight {
    std::uint32_t vertex = 0;  // below the mesh's vertex count once loaded
    float weight = 0.0f;
    bool operator==(const BoneWeight&) const = default;
};

// A bone of a skinned mesh. Its animation is its own, outside the scene's
// animation list; its parent is another bone of the same mesh.
class CBone : public C3DObject {
public:
    CBone() { anim = &ownAnim; }

    Matrix4 restMatrix;
    std::vector<BoneWeight> weights;
    C3DObjectAnim ownAnim;
};

// The bounding box relative to the mesh's pivot.
struct MeshBox {
    Vector3 cornerA;
    Vector3 cornerB;
    Vector3 centre;
    std::array<Vector3, 8> points{};  // every mix of the two corners' coordinates
};

class CMeshe : public C3DObject {
public:
    static constexpr std::uint32_t kInitialFlags = 0x80;

    CMeshe() : C3DObject("CMeshe") {}

    // Corners as the file stores them, in the scene's coordinates; the box
    // keeps them relative to the position, which must be set first.
    void SetBoxFromFile(const Vector3& cornerA, const Vector3& cornerB);
    CBone* FindBone(std::string_view boneName) const;

    std::vector<MeshVertex> vertices;
    std::vector<MeshFace> faces;
    std::string materialName;
    CMaterial* material = nullptr;  // bound after the load
    std::uint32_t flags = kInitialFlags;
    bool staticGeometry = true;
    MeshBox box;
    std::vector<std::unique_ptr<CBone>> bones;  // a parent bone before its children
};

}  // namespace vesta
