#include "scene/SceneBuild.h"

#include <algorithm>

namespace vesta {
namespace {

// Seen from the side the normal points to, the face runs clockwise, which
// is what the renderer keeps when it culls counter-clockwise faces.
MeshFace frontFace(const std::vector<MeshVertex>& v, std::uint32_t a, std::uint32_t b,
                   std::uint32_t c, const Vector3& normal) {
    const Vector3 turn = Cross(v[b].position - v[a].position, v[c].position - v[a].position);
    return Dot(turn, normal) > 0.0f ? MeshFace{a, b, c} : MeshFace{a, c, b};
}

MeshVertex vertexAt(const Vector3& position, const Vector3& normal, float u, float v) {
    MeshVertex vertex;
    vertex.position = position;
    vertex.normal = normal;
    vertex.colour = 0xFFFFFFFFu;
    vertex.uv0 = {u, v};
    vertex.uv1 = {u, v};
    return vertex;
}

}  // namespace

CMeshe& AddMesh(CScene& scene, const std::string& name, const Vector3& pivot,
                const std::string& materialName, C3DObject* parent) {
    CMeshe* mesh = scene.Create<CMeshe>();
    mesh->SetName(name);
    mesh->position = {pivot.x, pivot.y, pivot.z, 0.0f};
    mesh->materialName = materialName;
    if (parent) {
        parent->AttachChild(mesh);
    }
    scene.meshes.push_back(mesh);
    scene.objects.push_back(mesh);
    return *mesh;
}

CMeshe& AddBox(CScene& scene, const std::string& name, const Vector3& pivot, const Vector3& size,
               const std::string& materialName, C3DObject* parent) {
    CMeshe& mesh = AddMesh(scene, name, pivot, materialName, parent);
    const Vector3 h{size.x * 0.5f, size.y * 0.5f, size.z * 0.5f};
    static constexpr float kAxes[6][3] = {{1, 0, 0},  {-1, 0, 0}, {0, 1, 0},
                                          {0, -1, 0}, {0, 0, 1},  {0, 0, -1}};
    for (const auto& axis : kAxes) {
        const Vector3 n{axis[0], axis[1], axis[2]};
        // Two directions across the face.
        const Vector3 s = n.x != 0.0f ? Vector3{0, 1, 0} : Vector3{1, 0, 0};
        const Vector3 t = Cross(n, s);
        const auto base = static_cast<std::uint32_t>(mesh.vertices.size());
        for (int corner = 0; corner < 4; ++corner) {
            const float a = (corner & 1) ? 1.0f : -1.0f;
            const float b = (corner & 2) ? 1.0f : -1.0f;
            const Vector3 p{(n.x + s.x * a + t.x * b) * h.x, (n.y + s.y * a + t.y * b) * h.y,
                            (n.z + s.z * a + t.z * b) * h.z};
            mesh.vertices.push_back(vertexAt(p, n, (a + 1.0f) * 0.5f, (1.0f - b) * 0.5f));
        }
        mesh.faces.push_back(frontFace(mesh.vertices, base, base + 1, base + 3, n));
        mesh.faces.push_back(frontFace(mesh.vertices, base, base + 3, base + 2, n));
    }
    FitBox(mesh);
    return mesh;
}

CMeshe& AddGrid(CScene& scene, const std::string& name, const Vector3& pivot, float width,
                float height, int columns, int rows, const std::string& materialName) {
    CMeshe& mesh = AddMesh(scene, name, pivot, materialName);
    const Vector3 towardsCamera{0, 0, -1};
    for (int row = 0; row <= rows; ++row) {
        for (int column = 0; column <= columns; ++column) {
            const float u = static_cast<float>(column) / static_cast<float>(columns);
            const float v = static_cast<float>(row) / static_cast<float>(rows);
            mesh.vertices.push_back(
                vertexAt({(u - 0.5f) * width, (0.5f - v) * height, 0.0f}, towardsCamera, u, v));
        }
    }
    const auto stride = static_cast<std::uint32_t>(columns + 1);
    for (std::uint32_t row = 0; row < static_cast<std::uint32_t>(rows); ++row) {
        for (std::uint32_t column = 0; column < static_cast<std::uint32_t>(columns); ++column) {
            const std::uint32_t a = row * stride + column;
            mesh.faces.push_back(frontFace(mesh.vertices, a, a + 1, a + stride + 1, towardsCamera));
            mesh.faces.push_back(
                frontFace(mesh.vertices, a, a + stride + 1, a + stride, towardsCamera));
        }
    }
    FitBox(mesh);
    return mesh;
}

void FitBox(CMeshe& mesh) {
    Vector3 low{0, 0, 0};
    Vector3 high{0, 0, 0};
    if (!mesh.vertices.empty()) {
        low = high = mesh.vertices.front().position;
    }
    for (const MeshVertex& vertex : mesh.vertices) {
        const Vector3& p = vertex.position;
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    }
    const Vector4& o = mesh.position;
    mesh.SetBoxFromFile({low.x + o.x, low.y + o.y, low.z + o.z},
                        {high.x + o.x, high.y + o.y, high.z + o.z});
}

void CountGeometry(CScene& scene) {
    scene.totalFaces = 0;
    scene.totalVertices = 0;
    for (const CMeshe* mesh : scene.meshes) {
        scene.totalFaces += static_cast<std::int64_t>(mesh->faces.size());
        scene.totalVertices += static_cast<std::int64_t>(mesh->vertices.size());
    }
}

CCamera& AddCamera(CScene& scene, const std::string& name, const Vector3& position,
                   const Vector3& target, float fov) {
    CCamera* camera = scene.Create<CCamera>();
    camera->SetName(name);
    camera->position = {position.x, position.y, position.z, 0.0f};
    camera->fov = fov;
    CCameraTarget* aim = scene.Create<CCameraTarget>();
    aim->SetName(name + ".Target");
    aim->position = {target.x, target.y, target.z, 0.0f};
    camera->target = aim;
    scene.cameras.push_back(camera);
    scene.cameraTargets.push_back(aim);
    scene.objects.push_back(camera);
    scene.objects.push_back(aim);
    return *camera;
}

CLight& AddLight(CScene& scene, const std::string& name, const Vector3& position,
                 const Vector3& colour) {
    CLight* light = scene.Create<CLight>();
    light->SetName(name);
    light->position = {position.x, position.y, position.z, 0.0f};
    light->colour = colour;
    // A file's attenuation value of 0: constant attenuation 1.
    light->strength = 0.0f;
    light->attenuation0 = 1.0f;
    scene.lights.push_back(light);
    return *light;
}

CMaterial& AddMaterial(CScene& scene, const std::string& name, const Vector3& colour) {
    auto material = std::make_unique<CMaterial>();
    material->name = name;
    material->colour1 = {colour.x, colour.y, colour.z, 1.0f};
    material->colour2 = {0.0f, 0.0f, 0.0f, 1.0f};
    material->colour3 = {1.0f, 1.0f, 1.0f, 1.0f};
    scene.materials.push_back(std::move(material));
    return *scene.materials.back();
}

C3DObjectAnim& AddAnimation(CScene& scene, const std::string& objectName) {
    scene.animations.push_back(std::make_unique<C3DObjectAnim>());
    scene.animations.back()->name = objectName;
    return *scene.animations.back();
}

void AddKey(AnimTrack& track, std::uint32_t frame, const Vector3& value) {
    AnimKey key;
    key.frame = frame;
    key.values = {value.x, value.y, value.z, 0.0f, 0.0f, 0.0f};
    track.push_back(key);
}

void AddKey(AnimTrack& track, std::uint32_t frame, float value) {
    AnimKey key;
    key.frame = frame;
    key.values[0] = value;
    track.push_back(key);
}

}  // namespace vesta
