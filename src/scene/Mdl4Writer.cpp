#include "scene/Mdl4Writer.h"

#include <bit>
#include <cmath>
#include <map>
#include <set>
#include <string>

#include "log/Log.h"
#include "scene/NameTags.h"
#include "scene/Scene.h"

namespace vesta::mdl4 {
namespace {

void putU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

void patchU32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

void putHeader(std::vector<std::uint8_t>& out, const ChunkNode& node) {
    putU32(out, node.kind);
    putU32(out, 0);
    putU32(out, node.dataSizeField.value_or(static_cast<std::uint32_t>(node.data.size())));
    putU32(out, node.childCountField.value_or(static_cast<std::uint32_t>(node.children.size())));
}

// The total size is known once the children are laid out, so it is patched
// into the header afterwards. The tree is walked with a stack of its own, so
// that no depth of nesting exhausts the thread's.
void serializeInto(std::vector<std::uint8_t>& out, const ChunkNode& root) {
    struct Open {
        const ChunkNode* node;
        std::size_t start;
        std::size_t nextChild;
    };
    std::vector<Open> open;
    open.push_back({&root, out.size(), 0});
    putHeader(out, root);
    while (!open.empty()) {
        Open& top = open.back();
        if (top.nextChild < top.node->children.size()) {
            const ChunkNode& child = top.node->children[top.nextChild++];
            open.push_back({&child, out.size(), 0});
            putHeader(out, child);
            continue;
        }
        const ChunkNode& node = *top.node;
        out.insert(out.end(), node.data.begin(), node.data.end());
        patchU32(out, top.start + 4,
                 node.totalSizeField.value_or(static_cast<std::uint32_t>(out.size() - top.start)));
        open.pop_back();
    }
}

Vector3 xyz(const Vector4& v) {
    return {v.x, v.y, v.z};
}

std::string parentNameOf(const C3DObject& object) {
    return object.parent ? object.parent->Name() : object.pendingParentName;
}

class TreeBuilder {
public:
    TreeBuilder(const CScene& scene, const WriteOptions& options)
        : m_scene(scene), m_options(options) {
        assignAnimations();
    }

    ChunkNode Build() {
        ChunkNode root{Scene, ChunkData().U32(m_scene.lastFrame).Take()};
        for (const C3DObject* object : m_scene.objects) {
            if (auto* mesh = dynamic_cast<const CMeshe*>(object)) {
                root.children.push_back(meshChunk(*mesh));
            } else if (auto* camera = dynamic_cast<const CCamera*>(object)) {
                root.children.push_back(cameraChunk(*camera));
            } else if (!dynamic_cast<const CCameraTarget*>(object)) {
                root.children.push_back(pointChunk(*object));
            }
        }
        for (const CLight* light : m_scene.lights) {
            root.children.push_back(lightChunk(*light));
        }
        for (const auto& anim : m_scene.animations) {
            if (!m_assigned.count(anim.get())) {
                root.children.push_back(animChunk(*anim));
            }
        }
        for (const auto& material : m_scene.materials) {
            root.children.push_back(materialChunk(*material));
        }
        return root;
    }

private:
    // Which object's chunk carries each animation.
    void assignAnimations() {
        std::map<std::string, const C3DObject*> byName;
        auto add = [&](const std::string& name, const C3DObject* chunkOwner) {
            byName.emplace(LowerCase(name), chunkOwner);
        };
        for (const C3DObject* object : m_scene.objects) {
            if (!dynamic_cast<const CCameraTarget*>(object)) {
                add(object->Name(), object);
            }
        }
        for (const CCamera* camera : m_scene.cameras) {
            add(camera->Name() + ".target", camera);
            add(camera->Name() + ".cible", camera);
        }
        for (const CLight* light : m_scene.lights) {
            add(light->Name(), light);
        }
        for (const auto& anim : m_scene.animations) {
            const auto found = byName.find(LowerCase(anim->name));
            if (found != byName.end()) {
                m_animsOf[found->second].push_back(anim.get());
                m_assigned.insert(anim.get());
            }
        }
    }

    void addObjectTail(ChunkNode& chunk, const C3DObject& object) {
        if (!object.userParameters.empty()) {
            std::string text;
            for (const UserParameter& parameter : object.userParameters) {
                text += parameter.name + "=" + parameter.value + "\r\n";
            }
            chunk.children.push_back({UserText, ChunkData().String(text).Take()});
        }
        const auto anims = m_animsOf.find(&object);
        if (anims != m_animsOf.end()) {
            for (const C3DObjectAnim* anim : anims->second) {
                chunk.children.push_back(animChunk(*anim));
            }
        }
    }

    ChunkNode meshChunk(const CMeshe& mesh) {
        const Vector3 pivot = xyz(mesh.position);
        const Vector3& a = mesh.box.cornerA;
        const Vector3& b = mesh.box.cornerB;
        ChunkNode chunk{Mesh, ChunkData()
                                  .String(mesh.Name())
                                  .String(parentNameOf(mesh))
                                  .String(mesh.materialName)
                                  .Vector(pivot)
                                  .Vector({a.x + pivot.x, a.y + pivot.y, a.z + pivot.z})
                                  .Vector({b.x + pivot.x, b.y + pivot.y, b.z + pivot.z})
                                  .Take()};
        const auto count = static_cast<std::uint32_t>(mesh.vertices.size());
        ChunkData positions, normals, uvs, colours;
        positions.U32(count);
        normals.U32(count);
        uvs.U32(count);
        colours.U32(count);
        // A loaded skinned mesh holds its vertices moved by its pivot; the
        // file keeps them relative to it.
        const bool skinned = (mesh.flags & MeshFlag::Skinned) != 0;
        for (const MeshVertex& vertex : mesh.vertices) {
            const Vector3& p = vertex.position;
            positions.Vector(skinned ? Vector3{p.x - pivot.x, p.y - pivot.y, p.z - pivot.z} : p);
            normals.Vector(vertex.normal);
            uvs.F32(vertex.uv0[0]).F32(vertex.uv0[1]);
            colours.U32(vertex.colour & 0x00FFFFFFu);
        }
        chunk.children.push_back({Vertices, positions.Take()});
        chunk.children.push_back({Normals, normals.Take()});
        chunk.children.push_back({TexCoords, uvs.Take()});
        chunk.children.push_back(facesChunk(mesh));
        if (m_options.faceNormals) {
            chunk.children.push_back(faceNormalsChunk(mesh));
        }
        chunk.children.push_back({Colours, colours.Take()});
        addObjectTail(chunk, mesh);
        for (const auto& bone : mesh.bones) {
            chunk.children.push_back(boneChunk(*bone));
        }
        if (!mesh.bones.empty()) {
            chunk.children.push_back(skinChunk(mesh));
        }
        return chunk;
    }

    static ChunkNode facesChunk(const CMeshe& mesh) {
        ChunkData faces;
        faces.U32(static_cast<std::uint32_t>(mesh.faces.size()));
        for (const MeshFace& face : mesh.faces) {
            for (std::uint32_t index : {face.a, face.b, face.c}) {
                if (index > 0xFFFF) {
                    RaiseAppError("Mdl4Writer : mesh [%s] has a vertex index above 65535",
                                  mesh.Name().c_str());
                }
                faces.U16(static_cast<std::uint16_t>(index));
            }
        }
        return {Faces, faces.Take()};
    }

    static ChunkNode faceNormalsChunk(const CMeshe& mesh) {
        ChunkData data;
        data.U32(static_cast<std::uint32_t>(mesh.faces.size()));
        for (const MeshFace& face : mesh.faces) {
            Vector3 n;
            if (face.a < mesh.vertices.size() && face.b < mesh.vertices.size() &&
                face.c < mesh.vertices.size()) {
                const Vector3& p0 = mesh.vertices[face.a].position;
                const Vector3& p1 = mesh.vertices[face.b].position;
                const Vector3& p2 = mesh.vertices[face.c].position;
                const Vector3 u{p1.x - p0.x, p1.y - p0.y, p1.z - p0.z};
                const Vector3 v{p2.x - p0.x, p2.y - p0.y, p2.z - p0.z};
                n = {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
                const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
                if (length > 0.0f) {
                    n = {n.x / length, n.y / length, n.z / length};
                }
            }
            data.Vector(n);
        }
        return {FaceNormals, data.Take()};
    }

    ChunkNode boneChunk(const CBone& bone) {
        const std::string parentName = bone.parent ? bone.parent->Name() : std::string();
        ChunkNode chunk{
            Bone,
            ChunkData().String(bone.Name()).String(parentName).Matrix(bone.restMatrix).Take()};
        if (!bone.ownAnim.position.empty()) {
            chunk.children.push_back(trackChunk(BonePosKeys, bone.ownAnim.position, 3));
        }
        if (!bone.ownAnim.rotation.empty()) {
            chunk.children.push_back(trackChunk(BoneRotKeys, bone.ownAnim.rotation, 6));
        }
        return chunk;
    }

    static ChunkNode skinChunk(const CMeshe& mesh) {
        ChunkData data;
        data.U32(static_cast<std::uint32_t>(mesh.bones.size()));
        for (const auto& bone : mesh.bones) {
            data.String(bone->Name()).U32(static_cast<std::uint32_t>(bone->weights.size()));
            data.Matrix(bone->restMatrix).Matrix(Matrix4{});
            for (const BoneWeight& weight : bone->weights) {
                data.U32(weight.vertex).F32(weight.weight);
            }
        }
        return {Skin, data.Take()};
    }

    ChunkNode cameraChunk(const CCamera& camera) {
        ChunkData data;
        data.String(camera.Name()).String(parentNameOf(camera)).Vector(xyz(camera.position));
        data.F32(camera.fov * CCamera::kFovDivisor).F32(camera.roll);
        if (camera.target) {
            data.String(parentNameOf(*camera.target)).Vector(xyz(camera.target->position));
        } else {
            data.String("").Vector({});
        }
        ChunkNode chunk{Camera, data.Take()};
        addObjectTail(chunk, camera);
        return chunk;
    }

    ChunkNode lightChunk(const CLight& light) {
        ChunkData data;
        data.String(light.Name()).String(parentNameOf(light)).U32(light.spotFlag);
        data.Vector(xyz(light.position)).Vector(xyz(light.targetPosition));
        data.F32(light.innerCone).F32(light.outerCone).Vector(light.colour).F32(light.strength);
        ChunkNode chunk{Light, data.Take()};
        addObjectTail(chunk, light);
        return chunk;
    }

    ChunkNode pointChunk(const C3DObject& point) {
        ChunkNode chunk{Point, ChunkData()
                                   .String(point.Name())
                                   .String(parentNameOf(point))
                                   .Vector(xyz(point.position))
                                   .Take()};
        addObjectTail(chunk, point);
        return chunk;
    }

    static ChunkNode materialChunk(const CMaterial& material) {
        ChunkData data;
        data.String(material.name);
        for (const ColourValue* c : {&material.colour1, &material.colour2, &material.colour3}) {
            data.Vector({c->r, c->g, c->b});
        }
        data.U8(material.wireframe ? 1 : 0).U8(material.flatShading ? 1 : 0);
        data.F32(material.specularLevel).F32(material.glossiness).U8(material.transparency);
        data.U32(static_cast<std::uint32_t>(material.maps.size()));
        for (const MaterialMap& map : material.maps) {
            data.String(map.name).String(map.path);
        }
        return {Material, data.Take()};
    }

    ChunkNode animChunk(const C3DObjectAnim& anim) {
        ChunkNode chunk{Anim, ChunkData().String(anim.name).Take()};
        const float toDegrees = 1.0f / kDegreesToRadians;
        const struct {
            std::uint32_t kind;
            const AnimTrack& track;
            int values;
            float scale;
        } tracks[] = {
            {PosKeys, anim.position, 3, 1.0f},
            {RotKeys, anim.rotation, 6, 1.0f},
            {ScaleKeys, anim.scale, 3, 1.0f},
            {FovKeys, anim.fov, 1, CCamera::kFovDivisor},
            {RollKeys, anim.roll, 1, 1.0f},
            {ColourKeys, anim.colour, 3, 1.0f},
            {OuterConeKeys, anim.outerCone, 1, toDegrees},
            {InnerConeKeys, anim.innerCone, 1, toDegrees},
        };
        for (const auto& track : tracks) {
            if (!track.track.empty()) {
                chunk.children.push_back(
                    trackChunk(track.kind, track.track, track.values, track.scale));
            }
        }
        return chunk;
    }

    ChunkNode trackChunk(std::uint32_t kind, const AnimTrack& track, int values,
                         float scale = 1.0f) const {
        ChunkData data;
        data.U32(static_cast<std::uint32_t>(track.size()));
        auto putKey = [&](const AnimKey& key) {
            data.U32(key.frame);
            for (int v = 0; v < values; ++v) {
                data.F32(key.values[v] * scale);
            }
        };
        for (const AnimKey& key : track) {
            putKey(key);
        }
        const bool extra = kind == RotKeys || kind == BonePosKeys || kind == BoneRotKeys;
        if (extra && m_options.extraTrackRecord) {
            putKey(track.empty() ? AnimKey{} : track.back());
        }
        return {kind, data.Take()};
    }

    const CScene& m_scene;
    const WriteOptions& m_options;
    std::map<const C3DObject*, std::vector<const C3DObjectAnim*>> m_animsOf;
    std::set<const C3DObjectAnim*> m_assigned;
};

}  // namespace

ChunkData& ChunkData::U32(std::uint32_t value) {
    putU32(m_bytes, value);
    return *this;
}

ChunkData& ChunkData::F32(float value) {
    return U32(std::bit_cast<std::uint32_t>(value));
}

ChunkData& ChunkData::U16(std::uint16_t value) {
    m_bytes.push_back(static_cast<std::uint8_t>(value));
    m_bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    return *this;
}

ChunkData& ChunkData::U8(std::uint8_t value) {
    m_bytes.push_back(value);
    return *this;
}

ChunkData& ChunkData::String(std::string_view text) {
    U32(static_cast<std::uint32_t>(text.size()));
    m_bytes.insert(m_bytes.end(), text.begin(), text.end());
    return *this;
}

ChunkData& ChunkData::Vector(const Vector3& value) {
    return F32(value.x).F32(value.y).F32(value.z);
}

ChunkData& ChunkData::Matrix(const Matrix4& value) {
    for (const auto& row : value.m) {
        for (float v : row) {
            F32(v);
        }
    }
    return *this;
}

std::vector<std::uint8_t> Serialize(const ChunkNode& root, std::uint32_t version) {
    std::vector<std::uint8_t> out(kMagic, kMagic + 4);
    putU32(out, version);
    serializeInto(out, root);
    return out;
}

ChunkNode BuildTree(const CScene& scene, const WriteOptions& options) {
    return TreeBuilder(scene, options).Build();
}

std::vector<std::uint8_t> WriteScene(const CScene& scene, const WriteOptions& options) {
    return Serialize(BuildTree(scene, options));
}

}  // namespace vesta::mdl4
