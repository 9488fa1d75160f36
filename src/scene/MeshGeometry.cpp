#include "scene/MeshGeometry.h"

#include <algorithm>
#include <cmath>

#include "scene/Animation.h"

namespace vesta {

void MapEnvironment(CMeshe& mesh, const Matrix4& m, float scale) {
    for (MeshVertex& vertex : mesh.vertices) {
        const Vector3& n = vertex.normal;
        const float u = (m.m[0][0] * n.x + m.m[1][0] * n.y + m.m[2][0] * n.z) * scale;
        const float v = (m.m[0][1] * n.x + m.m[1][1] * n.y + m.m[2][1] * n.z) * scale;
        vertex.uv1 = {(u + 1.0f) * 0.5f, (1.0f - v) * 0.5f};
    }
}

void RecomputeNormals(CMeshe& mesh) {
    for (MeshVertex& vertex : mesh.vertices) {
        vertex.normal = {};
    }
    for (const MeshFace& face : mesh.faces) {
        const Vector3& p = mesh.vertices[face.a].position;
        const Vector3& q = mesh.vertices[face.b].position;
        const Vector3& r = mesh.vertices[face.c].position;
        const Vector3 n = Cross(q - p, r - q);
        const float size = Length(n);
        if (size <= 0.0f) {
            continue;
        }
        // Faces that are drawn run clockwise on screen, where this product
        // points out of the face, towards the viewer. (Its negation points
        // into the mesh, which would light every recomputed mesh from behind.)
        const Vector3 unit{n.x / size, n.y / size, n.z / size};
        for (const std::uint32_t index : {face.a, face.b, face.c}) {
            mesh.vertices[index].normal = mesh.vertices[index].normal + unit;
        }
    }
    for (MeshVertex& vertex : mesh.vertices) {
        const float size = Length(vertex.normal);
        if (size > 0.0f) {
            vertex.normal = {vertex.normal.x / size, vertex.normal.y / size,
                             vertex.normal.z / size};
        }
    }
}

// Slot i holds from start(i) to end(i), in frames after the source's start:
// the source itself from 0 to the first target's start, each target to its
// own end frame or else to the next target's start.
void Morph(CMeshe& mesh, float frame) {
    const std::vector<CMeshe*>& slots = mesh.morph.targets;
    if (slots.size() < 2) {
        return;
    }
    auto startOf = [&slots](std::size_t i) {
        return i == 0 ? 0.0f : static_cast<float>(slots[i]->morph.startFrame);
    };
    auto endOf = [&slots, &startOf](std::size_t i) {
        if (i > 0 && slots[i]->morph.endFrame) {
            return static_cast<float>(*slots[i]->morph.endFrame);
        }
        return startOf(i + 1);
    };
    float x = frame - static_cast<float>(mesh.morph.startFrame);
    const float chainEnd = startOf(slots.size() - 1);
    if ((mesh.flags & MeshFlag::MorphLoop) != 0 && chainEnd > 0.0f) {
        x = std::fmod(std::max(x, 0.0f), chainEnd);
    }
    for (std::size_t i = 0; i + 1 < slots.size(); ++i) {
        const float start = startOf(i);
        const float end = endOf(i);
        if (!(start < x && x < end)) {
            continue;
        }
        const float g = (x - start) / (end - start);
        const std::vector<MeshVertex>& from = i == 0 ? mesh.restVertices : slots[i]->vertices;
        const std::vector<MeshVertex>& to = slots[i + 1]->vertices;
        for (std::size_t v = 0; v < mesh.vertices.size(); ++v) {
            const Vector3& a = from[v].position;
            const Vector3& b = to[v].position;
            mesh.vertices[v].position = {(1.0f - g) * a.x + g * b.x, (1.0f - g) * a.y + g * b.y,
                                         (1.0f - g) * a.z + g * b.z};
        }
        return;
    }
}

void SkinMesh(CMeshe& mesh, float frame) {
    for (MeshVertex& vertex : mesh.vertices) {
        vertex.position = {};
    }
    for (const auto& bone : mesh.bones) {
        Matrix4 rotation;
        if (!bone->ownAnim.rotation.empty()) {
            rotation = AxisAngleMatrix(EvaluateRotation(bone->ownAnim.rotation, frame));
        }
        if (!bone->ownAnim.position.empty()) {
            const Vector3 p = EvaluateTrack(bone->ownAnim.position, frame);
            bone->animatedPosition = {p.x, p.y, p.z, 0.0f};
        }
        const Matrix4 b = bone->restMatrix * rotation;
        for (const BoneWeight& weight : bone->weights) {
            const Vector3 moved = TransformPoint(mesh.restVertices[weight.vertex].position, b);
            Vector3& target = mesh.vertices[weight.vertex].position;
            target = {target.x + moved.x * weight.weight, target.y + moved.y * weight.weight,
                      target.z + moved.z * weight.weight};
        }
    }
}

}  // namespace vesta
