// The tunnel down to the forge: a camera flight along a winding path (the
// tunnel layer builds its walls around it, a radius of kRadius given as the
// camera's "Radius"), rings of living fire across the way, each a texture
// the Fire effect draws, and at the far end a gate of swirling plasma the
// camera flies into, drawn by the Plasma effect.
//
// 30 frames to the second, as the player counts them; the part lasts 420.

#include <cmath>
#include <numbers>

#include "Catalogue.h"
#include "Palette.h"
#include "scene/Mdl4Writer.h"
#include "scene/SceneBuild.h"

namespace vesta::showcase {
namespace {

constexpr float kTurn = 2 * std::numbers::pi_v<float>;
constexpr std::uint32_t kLastFrame = 440;
constexpr float kRadius = 60;
constexpr float kStep = 7;  // units forward a frame

// Where the flight is at `frame`: forward along z, swaying in two slow waves.
Vector3 path(float frame) {
    return {160 * std::sin(kTurn * frame / 280), 110 * std::sin(kTurn * frame / 210 + 0.6f),
            kStep * frame};
}

Vector3 heading(float frame) {
    return Unit(path(frame + 1) - path(frame - 1));
}

std::uint32_t addVertex(CMeshe& mesh, const Vector3& position, const Vector3& normal, float u,
                        float v) {
    MeshVertex vertex;
    vertex.position = position;
    vertex.normal = normal;
    vertex.colour = 0xFFFFFFFFu;
    vertex.uv0 = vertex.uv1 = {u, v};
    mesh.vertices.push_back(vertex);
    return static_cast<std::uint32_t>(mesh.vertices.size() - 1);
}

// A flat ring across the path at `frame`, from `inner` to `outer` radius,
// facing the camera coming along it. The picture wraps `wraps` times
// around, its top row (v = 0) on the outer rim, row `depth` on the inner one.
void ringAcross(CMeshe& mesh, float frame, float inner, float outer, float wraps, float depth) {
    constexpr int kSegments = 32;
    const Vector3 centre = path(frame);
    const Vector3 forward = heading(frame);
    const Vector3 side = Unit(Cross({0, 1, 0}, forward));
    const Vector3 up = Cross(forward, side);
    const Vector3 facing = forward * -1;
    const auto base = static_cast<std::uint32_t>(mesh.vertices.size());
    for (int s = 0; s <= kSegments; ++s) {
        const float turn = static_cast<float>(s) / kSegments;
        const Vector3 out = side * std::cos(kTurn * turn) + up * std::sin(kTurn * turn);
        addVertex(mesh, centre + out * outer, facing, turn * wraps, 0);
        addVertex(mesh, centre + out * inner, facing, turn * wraps, depth);
    }
    for (std::uint32_t s = 0; s < kSegments; ++s) {
        const std::uint32_t a = base + 2 * s;
        mesh.faces.push_back({a, a + 2, a + 1});
        mesh.faces.push_back({a + 1, a + 2, a + 3});
    }
}

// Full brightness from its own glow, whatever the lights.
void glowingMaterial(CScene& scene, const char* name, const char* map) {
    CMaterial& material = AddMaterial(scene, name, {0.2f, 0.2f, 0.2f});
    material.colour2 = {1, 1, 1, 1};
    material.maps = {{"Diffuse", map}};
}

// Fire rings add their light (black is no flame), seen from both sides.
// Flames rise from the rim (the effect's top rows) inwards; the lower half
// of the picture, where they have died out, is left out.
void fireRings(CScene& scene) {
    const float frames[] = {70, 140, 205, 265, 320};
    int n = 0;
    for (const float frame : frames) {
        CMeshe& ring = AddMesh(scene, "FireRing" + std::to_string(++n) + ".SrcAlpha.NoCull",
                               {0, 0, 0}, "Fire");
        ringAcross(ring, frame, kRadius * 0.3f, kRadius * 0.96f, 4, 0.5f);
        FitBox(ring);
    }
}

// The way out: a disc of plasma that closes the tunnel, just before its end.
void plasmaGate(CScene& scene) {
    CMeshe& gate = AddMesh(scene, "PlasmaGate.NoCull", {0, 0, 0}, "Plasma");
    ringAcross(gate, kLastFrame - 8, 0, kRadius * 0.99f, 1, 1);
    FitBox(gate);
}

// The camera looks a little ahead along the path and rolls with its bends.
void flight(CScene& scene) {
    CCamera& camera = AddCamera(scene, "Camera01", path(0), path(12), 1.15f);
    camera.userParameters.push_back({"Radius", std::to_string(static_cast<int>(kRadius))});
    C3DObjectAnim& eye = AddAnimation(scene, "Camera01");
    C3DObjectAnim& target = AddAnimation(scene, "Camera01.Target");
    for (std::uint32_t f = 0; f <= kLastFrame; f += 10) {
        const float frame = static_cast<float>(f);
        AddKey(eye.position, f, path(frame));
        AddKey(eye.fov, f, 1.15f);
        AddKey(eye.roll, f, 0.25f * std::sin(kTurn * frame / 280));
        AddKey(target.position, f, path(std::min(frame + 12, kLastFrame - 9.0f)));
    }
}

std::vector<std::uint8_t> tunnelScene() {
    CScene scene;
    scene.lastFrame = kLastFrame;
    glowingMaterial(scene, "Fire", "fire=Fire");
    glowingMaterial(scene, "Plasma", "gate=Plasma");
    fireRings(scene);
    plasmaGate(scene);
    flight(scene);
    CountGeometry(scene);
    return mdl4::WriteScene(scene);
}

}  // namespace

void MakeTunnel(AssetWriter& out) {
    MakeTunnelTextures(out);
    out.Bytes("tunnel.vestamdl4", tunnelScene());
}

}  // namespace vesta::showcase
