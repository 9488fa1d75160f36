#include "ForgeSmithy.h"

#include "ForgeGeometry.h"
#include "Palette.h"
#include "scene/SceneBuild.h"

namespace vesta::showcase::forge {
namespace {

constexpr std::uint32_t kLastFrame = 500;

Vector3 rgb(Colour c) {
    return {c.r, c.g, c.b};
}

void materials(CScene& scene) {
    using namespace palette;
    // Cold steel against the fire: the toon shading keeps this hue in its bands.
    CMaterial& anvil = AddMaterial(scene, "Anvil", {0.55f, 0.62f, 0.78f});
    anvil.maps = {{"Diffuse", "forge_iron.png"}};
    CMaterial& billet = AddMaterial(scene, "Billet", rgb(kGold));
    billet.colour2 = {kEmber.r, kEmber.g, kEmber.b, 1};
    billet.maps = {{"Diffuse", "forge_coals.png"}};
    // Dark water that shows its ripples in the embers' highlights.
    CMaterial& water = AddMaterial(scene, "Water", {0.45f, 0.6f, 0.75f});
    water.colour2 = {kDeepSea.r, kDeepSea.g, kDeepSea.b, 1};
    water.colour3 = {kGold.r, kGold.g, kGold.b, 1};
    water.specularLevel = 1.2f;
    water.glossiness = 30;
    water.maps = {{"Diffuse", "forge_water.png"}};
}

// A waisted round foot, a flat face, and a horn reaching out of the face's
// end: round shapes, so that the cel shading has curves to band.
void anvil(CScene& scene) {
    constexpr float kFaceLength = 240;
    const Vector3 base{0, 0, 420};
    CMeshe& foot = AddMesh(scene, "AnvilFoot", base, "Anvil");
    AddLathe(foot, {{0, 0}, {72, 0}, {72, 14}, {44, 34}, {32, 62}, {36, 84}, {60, 100}, {0, 100}},
             32, 1, 1);
    FitBox(foot);
    AddBox(scene, "AnvilFace", {0, 125, 420}, {kFaceLength, 50, 90}, "Anvil");

    // Turned about y, then laid along -x by a quarter turn about z.
    CMeshe& horn = AddMesh(scene, "AnvilHorn", {-kFaceLength / 2, 125, 420}, "Anvil");
    AddLathe(horn, {{0, 0}, {24, 0}, {21, 30}, {14, 75}, {6, 115}, {0, 128}}, 24, 1, 1);
    for (MeshVertex& vertex : horn.vertices) {
        const Vector3 p = vertex.position, n = vertex.normal;
        vertex.position = {-p.y, p.x, p.z};
        vertex.normal = {-n.y, n.x, n.z};
    }
    FitBox(horn);
    AddBox(scene, "Billet", {-20, 162, 420}, {120, 24, 26}, "Billet");
}

// A stone trough, open at the top, the water's four corners inside its rim.
void trough(CScene& scene) {
    const Vector3 centre{330, 0, 380};
    const float halfX = 150, halfZ = 80, height = 110, wall = 18;
    auto side = [&](const char* name, const Vector3& offset, const Vector3& size) {
        AddBox(scene, name, {centre.x + offset.x, height / 2, centre.z + offset.z}, size, "Stone");
    };
    side("TroughFront", {0, 0, -halfZ + wall / 2}, {2 * halfX, height, wall});
    side("TroughBack", {0, 0, halfZ - wall / 2}, {2 * halfX, height, wall});
    side("TroughLeft", {-halfX + wall / 2, 0, 0}, {wall, height, 2 * halfZ - 2 * wall});
    side("TroughRight", {halfX - wall / 2, 0, 0}, {wall, height, 2 * halfZ - 2 * wall});

    CMeshe& water = AddMesh(scene, "Quench.UserModif.Normals", {centre.x, 0, centre.z}, "Water");
    const float innerX = halfX - wall, innerZ = halfZ - wall;
    AddSheet(water, {-innerX, height - 14, -innerZ}, {2 * innerX, 0, 0}, {0, 0, 2 * innerZ},
             {0, 1, 0}, 1, 1, 1);
    FitBox(water);
}

// A slow dolly towards the anvil, from the right of the fire.
void closeCamera(CScene& scene) {
    const Vector3 from{560, 330, 40}, to{470, 270, 130}, target{140, 120, 420};
    AddCamera(scene, "Camera02", from, target, 0.9f);
    C3DObjectAnim& camera = AddAnimation(scene, "Camera02");
    AddKey(camera.position, 0, from);
    AddKey(camera.position, 330, from);
    AddKey(camera.position, kLastFrame, to);
    C3DObjectAnim& aim = AddAnimation(scene, "Camera02.Target");
    AddKey(aim.position, 0, target);
    AddKey(aim.position, kLastFrame, Vector3{160, 110, 410});
}

}  // namespace

void AddSmithy(CScene& scene) {
    materials(scene);
    anvil(scene);
    trough(scene);
    closeCamera(scene);
}

}  // namespace vesta::showcase::forge
