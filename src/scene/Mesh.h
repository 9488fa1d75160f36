#pragma once
// A mesh of a scene with its vertices, faces and skin.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scene/ObjectAnim.h"
#include "scene/SceneObject.h"

namespace vesta {

class CMaterial;
class MeshBuffer;
class Texture;

// The bits of a mesh's flags; most come from tags in its name.
namespace MeshFlag {
inline constexpr std::uint32_t Alpha = 0x00000001;
inline constexpr std::uint32_t Hide = 0x00000004;
inline constexpr std::uint32_t NoFog = 0x00000008;
inline constexpr std::uint32_t EnvMap = 0x00000010;
inline constexpr std::uint32_t Normals = 0x00000020;
inline constexpr std::uint32_t Wire = 0x00000040;
inline constexpr std::uint32_t Visible = 0x00000080;
inline constexpr std::uint32_t AlphaMap = 0x00000100;
inline constexpr std::uint32_t NoCull = 0x00000200;
inline constexpr std::uint32_t UserModif = 0x00000400;
inline constexpr std::uint32_t NoMipMap = 0x00001000;
inline constexpr std::uint32_t Mirror = 0x00002000;
inline constexpr std::uint32_t Floor = 0x00004000;
inline constexpr std::uint32_t SrcAlpha = 0x00008000;
inline constexpr std::uint32_t NoDynaLight = 0x00010000;
inline constexpr std::uint32_t MorphSource = 0x00040000;
inline constexpr std::uint32_t MorphTarget = 0x00080000;
inline constexpr std::uint32_t MorphLoop = 0x00100000;
inline constexpr std::uint32_t LodRoot = 0x00200000;
inline constexpr std::uint32_t LodLevel = 0x00400000;
inline constexpr std::uint32_t Flat = 0x00800000;
inline constexpr std::uint32_t Ray = 0x02000000;
inline constexpr std::uint32_t BinMap = 0x04000000;
inline constexpr std::uint32_t Skinned = 0x08000000;
inline constexpr std::uint32_t SortedLast = 0x80000000;
// The flags that choose a mesh's render state block.
inline constexpr std::uint32_t StateMask = 0x0281F353;
// Blended meshes are drawn after the opaque ones, farthest first.
inline constexpr std::uint32_t Blended = Alpha | AlphaMap | Floor | Ray;
}  // namespace MeshFlag

struct MeshVertex {
    Vector3 position;
    Vector3 normal;
    std::uint32_t colour = 0;  // ARGB; 0 unless a Colours chunk sets it
    std::array<float, 2> uv0{};
    std::array<float, 2> uv1{};
    bool operator==(const MeshVertex&) const = default;
};
// A mesh's vertices go to its buffer as they are.
static_assert(sizeof(MeshVertex) == sizeof(RenderVertex));

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

// Morph targets are meshes of the same scene; slot 0 is the source itself.
struct MeshMorph {
    std::uint32_t startFrame = 0;
    std::optional<std::uint32_t> endFrame;
    std::uint32_t chainIndex = 0;
    std::vector<class CMeshe*> targets;
};

class CMeshe : public C3DObject {
public:
    static constexpr std::uint32_t kInitialFlags = MeshFlag::Visible;
    using DrawCallback = std::function<void(CMeshe&)>;

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

    MeshMorph morph;
    // Slot 0 is the root itself; each level's switching distance beside it.
    std::vector<CMeshe*> lodLevels;
    std::int32_t lodDistance = 0;

    // Changing geometry: the vertices as loaded, which skinning and morphs
    // start from, and the 16-bit index list the buffer is filled from.
    std::vector<MeshVertex> restVertices;
    std::vector<std::uint16_t> indices;

    // Owned by the render module; released with the scene's resources.
    MeshBuffer* buffer = nullptr;
    Texture* mirrorTexture = nullptr;
    std::uint32_t stateBlock = 0;
    // A modifier's hook, called right before the mesh is drawn.
    DrawCallback drawCallback;

    bool IsDrawn() const {
        return (flags & MeshFlag::Visible) != 0 && (flags & MeshFlag::Hide) == 0;
    }
};

}  // namespace vesta
