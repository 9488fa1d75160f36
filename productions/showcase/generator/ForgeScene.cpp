// The forge: a brick chamber with a round hearth in its middle, a flame
// above it that swells and stretches (a morph), four fluted iron pillars
// that twist (skinned), two braziers that gain detail as the camera nears
// them (levels of detail), a pane of amber glass the camera flies through,
// embers that circle and light the room (dynamic lights with halos), sparks
// rising from the hearth, the smith's anvil and quench trough beyond the
// fire (ForgeSmithy.cpp), and the camera's flight through all of it.
//
// Units: the chamber is 1800 across and 800 high, the hearth at the origin;
// 30 frames to the second, as the player counts them.

#include <cmath>
#include <numbers>

#include "Catalogue.h"
#include "ForgeGeometry.h"
#include "ForgeSmithy.h"
#include "Noise.h"
#include "Palette.h"
#include "scene/Animation.h"
#include "scene/Mdl4Writer.h"
#include "scene/SceneBuild.h"

namespace vesta::showcase {
namespace {

using forge::AddLathe;
using forge::AddSheet;
using forge::ProfilePoint;

constexpr float kTurn = 2 * std::numbers::pi_v<float>;
constexpr std::uint32_t kLastFrame = 500;  // the part lasts 480
constexpr float kHalfRoom = 900, kRoomHeight = 800;

Vector3 rgb(Colour c, float scale = 1) {
    return {c.r * scale, c.g * scale, c.b * scale};
}

void userText(C3DObject& object, const char* name, const std::string& value) {
    object.userParameters.push_back({name, value});
}

void materials(CScene& scene) {
    using namespace palette;
    auto add = [&](const char* name, Colour diffuse, Colour glow, const char* map) -> CMaterial& {
        CMaterial& m = AddMaterial(scene, name, rgb(diffuse));
        m.colour2 = {glow.r, glow.g, glow.b, 1};
        m.maps = {{"Diffuse", map}};
        return m;
    };
    add("Stone", kIvory * 0.9f, kPlum * 0.12f, "forge_stone.png");
    add("Brick", kIvory * 0.85f, kPlum * 0.10f, "forge_brick.png");
    CMaterial& iron = add("Iron", kIvory, kIndigo * 0.15f, "forge_iron.png");
    iron.specularLevel = 0.8f;
    iron.glossiness = 24;
    add("Coals", kGold, kEmber * 0.75f, "forge_coals.png");
    add("Flame", kGold, kEmber * 0.85f, "plasma_fire.png");
    CMaterial& glass = add("Glass", kGold, kEmber * 0.25f, "forge_glass.png");
    glass.transparency = 110;
    glass.opacity = 1 - 110 / 255.0f;
}

void chamber(CScene& scene) {
    const float h = kHalfRoom, top = kRoomHeight;
    CMeshe& ground = AddMesh(scene, "Ground", {0, 0, 0}, "Stone");
    AddSheet(ground, {-h, 0, h}, {2 * h, 0, 0}, {0, 0, -2 * h}, {0, 1, 0}, 12, 12, 6);
    FitBox(ground);

    CMeshe& walls = AddMesh(scene, "Walls", {0, 0, 0}, "Brick");
    AddSheet(walls, {-h, 0, h}, {2 * h, 0, 0}, {0, top, 0}, {0, 0, -1}, 16, 6, 6);
    AddSheet(walls, {h, 0, -h}, {-2 * h, 0, 0}, {0, top, 0}, {0, 0, 1}, 16, 6, 6);
    AddSheet(walls, {-h, 0, -h}, {0, 0, 2 * h}, {0, top, 0}, {1, 0, 0}, 16, 6, 6);
    AddSheet(walls, {h, 0, h}, {0, 0, -2 * h}, {0, top, 0}, {-1, 0, 0}, 16, 6, 6);
    AddSheet(walls, {-h, top, -h}, {2 * h, 0, 0}, {0, 0, 2 * h}, {0, -1, 0}, 12, 12, 4);
    FitBox(walls);
}

void hearth(CScene& scene) {
    CMeshe& basin = AddMesh(scene, "Hearth", {0, 0, 0}, "Iron");
    AddLathe(basin, {{0, 0}, {240, 0}, {240, 90}, {225, 118}, {195, 122}, {190, 100}}, 40, 8, 1);
    FitBox(basin);
    CMeshe& coals = AddMesh(scene, "HearthCoals", {0, 0, 0}, "Coals");
    AddLathe(coals, {{192, 104}, {130, 114}, {60, 122}, {0, 124}}, 40, 3, 1);
    FitBox(coals);
}

// One profile of the flame: `height` from the bottom pole to the top one,
// `width` across, `taper` how much narrower it grows towards its tip.
std::vector<ProfilePoint> flameProfile(float width, float height, float lift, float taper) {
    constexpr int kPoints = 18;
    std::vector<ProfilePoint> profile;
    for (int i = 0; i < kPoints; ++i) {
        const float a = std::numbers::pi_v<float> * static_cast<float>(i) / (kPoints - 1);
        const float up = (1 - std::cos(a)) / 2;
        profile.push_back(
            {width * std::sin(a) * (1 - taper * std::pow(up, 1.4f)), lift + height * up});
    }
    return profile;
}

// The flame loops through four shapes every three seconds: a ball, a tall
// tongue that leans as it turns, a squat swell, and the ball again.
void flame(CScene& scene) {
    const Vector3 pivot{0, 170, 0};
    const int segments = 24;
    CMeshe& ball = AddMesh(scene, "Blob.MorphSrc.f0.Loop", pivot, "Flame");
    AddLathe(ball, flameProfile(85, 170, 0, 0), segments, 2, 1);
    auto target = [&](const char* name, std::vector<ProfilePoint> profile,
                      const forge::RadiusShape& shape) {
        CMeshe& mesh = AddMesh(scene, name, pivot, "Flame");
        AddLathe(mesh, profile, segments, 2, 1, shape);
        FitBox(mesh);
    };
    target("Blob.MorphDest.f30.c0", flameProfile(70, 330, -10, 0.85f), [](float turn, float along) {
        return 1 + 0.18f * std::sin(kTurn * 3 * turn + 6 * along);
    });
    target("Blob.MorphDest.f60.c1", flameProfile(115, 130, 10, 0.2f),
           [](float turn, float) { return 1 + 0.1f * std::sin(kTurn * 5 * turn); });
    target("Blob.MorphDest.f90.c2", flameProfile(85, 170, 0, 0), {});
    // The ball's box holds every shape it takes.
    ball.SetBoxFromFile({-130, pivot.y - 20, -130}, {130, pivot.y + 330, 130});
}

// A fluted column from floor to vault on five bones up its height; each bone
// turns about the column's axis, the higher ones further, so the column
// twists. The skin stores its vertices relative to the pivot at its foot.
void pillar(CScene& scene, const std::string& name, const Vector3& foot, float sense) {
    CMeshe& column = AddMesh(scene, name, foot, "Iron");
    std::vector<ProfilePoint> profile{{0, 0}, {80, 0}, {80, 30}, {56, 56}};
    for (int i = 1; i <= 16; ++i) {
        profile.push_back({56, 56 + (kRoomHeight - 112) * static_cast<float>(i) / 17});
    }
    profile.insert(
        profile.end(),
        {{56, kRoomHeight - 56}, {80, kRoomHeight - 30}, {80, kRoomHeight}, {0, kRoomHeight}});
    const auto last = static_cast<float>(profile.size() - 1);
    AddLathe(column, profile, 30, 5, 2, [last](float turn, float along) {
        const bool shaft = along > 3.5f / last && along < (last - 3.5f) / last;
        return shaft ? 1 + 0.22f * std::cos(kTurn * 5 * turn) : 1.0f;
    });
    FitBox(column);

    constexpr int kBones = 5;
    const std::uint32_t frames[] = {0, 60, 150, 240, 330, 420, 480};
    const float twist[] = {0, 1.1f, -1.1f, 1.1f, -1.1f, 1.1f, 0};
    for (int b = 0; b < kBones; ++b) {
        auto bone = std::make_unique<CBone>();
        bone->SetName(name + ".Twist" + std::to_string(b));
        bone->restMatrix = TranslationMatrix({-foot.x, -foot.y, -foot.z});
        const float share = static_cast<float>(b) / (kBones - 1);
        for (std::size_t k = 0; k < std::size(frames); ++k) {
            bone->ownAnim.rotation.push_back(
                forge::RotationKey(frames[k], {0, 1, 0}, twist[k] * share * sense));
        }
        for (std::uint32_t v = 0; v < column.vertices.size(); ++v) {
            const float at = column.vertices[v].position.y / kRoomHeight * (kBones - 1);
            const float weight = 1 - std::abs(at - static_cast<float>(b));
            if (weight > 0) {
                bone->weights.push_back({v, weight});
            }
        }
        column.bones.push_back(std::move(bone));
    }
}

std::vector<ProfilePoint> brazierProfile(bool detailed) {
    if (!detailed) {
        return {{0, 0}, {70, 0}, {20, 34}, {14, 160}, {112, 240}, {0, 232}};
    }
    return {{0, 0},     {72, 0},    {72, 12},  {24, 30},  {16, 60},   {22, 70},
            {15, 80},   {14, 150},  {28, 166}, {70, 178}, {102, 196}, {118, 226},
            {116, 242}, {104, 246}, {90, 236}, {0, 232}};
}

// A brazier on a stem: round and ringed near the camera, six-sided from
// afar; the root, which only a camera standing inside it would see, is
// the round one too. Its coals and their glow are not part of the levels.
void brazier(CScene& scene, const std::string& prefix, const Vector3& foot) {
    auto level = [&](const std::string& name, bool detailed) {
        CMeshe& mesh = AddMesh(scene, prefix + name, foot, "Iron");
        AddLathe(mesh, brazierProfile(detailed), detailed ? 32 : 6, detailed ? 4 : 1, 1);
        FitBox(mesh);
    };
    level(".RootLod", true);
    level(".Lod.d450", true);
    level(".Lod.d9000", false);
    CMeshe& coals = AddMesh(scene, prefix + "Coals", foot, "Coals");
    AddLathe(coals, {{100, 234}, {50, 246}, {0, 250}}, 16, 1, 1);
    FitBox(coals);
    CLight& glow =
        AddLight(scene, prefix + "Glow.Halo", {foot.x, foot.y + 275, foot.z}, rgb(palette::kEmber));
    userText(glow, "MapFile", "glow_ember.png");
    userText(glow, "HaloStrength", "7");
}

void glassPane(CScene& scene) {
    CMeshe& pane = AddMesh(scene, "Screen.Alpha.NoCull", {0, 0, -560}, "Glass");
    AddSheet(pane, {-330, 30, 0}, {660, 0, 0}, {0, 520, 0}, {0, 0, -1}, 6, 5, 1.5f);
    FitBox(pane);
}

// An ember of light going round the hearth `laps` times, its colour
// breathing between two of the palette's.
void ember(CScene& scene, const std::string& name, float radius, float height, float bob,
           float laps, float phase, Colour a, Colour b) {
    CLight& light = AddLight(scene, name, {radius, height, 0}, rgb(a));
    userText(light, "MapFile", "glow_ember.png");
    userText(light, "HaloStrength", "7");
    C3DObjectAnim& anim = AddAnimation(scene, name);
    for (std::uint32_t f = 0; f <= kLastFrame; f += 20) {
        const float t = static_cast<float>(f) / 480.0f;
        const float angle = kTurn * (phase + laps * t);
        AddKey(anim.position, f,
               Vector3{radius * std::cos(angle), height + bob * std::sin(kTurn * 3 * t + phase),
                       radius * std::sin(angle)});
        const float mix = 0.5f + 0.5f * std::sin(kTurn * 4 * t + phase * 3);
        AddKey(anim.colour, f, rgb(Mix(a, b, mix)));
    }
}

void lights(CScene& scene) {
    using namespace palette;
    // The fire's own light, quivering above the flame; the part's script
    // makes its colour flicker, so it has no colour track.
    CLight& fire = AddLight(scene, "HearthFire.Dyna.Halo", {0, 560, 0}, rgb(kEmber, 0.7f));
    userText(fire, "MapFile", "glow_ember.png");
    userText(fire, "HaloStrength", "14");
    C3DObjectAnim& flicker = AddAnimation(scene, fire.Name());
    Random random(2024);
    for (std::uint32_t f = 0; f <= kLastFrame; f += 5) {
        AddKey(flicker.position, f,
               Vector3{random.Range(-12, 12), 560 + random.Range(-15, 15), random.Range(-12, 12)});
    }
    ember(scene, "EmberA.Dyna.Halo", 430, 300, 90, 2, 0.0f, kCrimson * 0.9f, kEmber * 0.8f);
    ember(scene, "EmberB.Dyna.Halo", 600, 520, 120, -1.5f, 0.4f, kGold * 0.6f, kPlum * 1.6f);
    // One cold light high at the back, the piece's single cold accent.
    CLight& frost = AddLight(scene, "Frost.Dyna.Halo", {0, 680, 820}, rgb(kCyan, 0.35f));
    userText(frost, "MapFile", "glow_cyan.png");
    userText(frost, "HaloStrength", "3");
    C3DObjectAnim& drift = AddAnimation(scene, frost.Name());
    AddKey(drift.position, 0, Vector3{-500, 680, 820});
    AddKey(drift.position, 240, Vector3{500, 640, 820});
    AddKey(drift.position, 480, Vector3{-500, 680, 820});

    // Sparks fly up from the coals towards the vault.
    AddLight(scene, "Sparks.ParticleGenSrc.c40.m\"spark.png\"", {0, 200, 0}, rgb(kGold));
    AddLight(scene, "Sparks.ParticleGenDest", {40, 760, 30}, rgb(kGold));
}

struct CameraKey {
    std::uint32_t frame;
    Vector3 position, target;
    float fov, roll;
};

// In at the door, through the glass, past the left brazier, round behind
// the pillars, a fast sweep over the fire, down past the right brazier and
// back to the door.
void flight(CScene& scene) {
    const CameraKey keys[] = {
        {0, {0, 330, -860}, {0, 250, 0}, 0.95f, 0},
        {60, {0, 300, -720}, {0, 260, 0}, 0.95f, 0},
        {110, {-60, 270, -520}, {-140, 210, -220}, 0.95f, 0},
        {170, {-300, 300, -280}, {-200, 180, -120}, 1.0f, 0},
        {240, {-560, 380, 120}, {0, 280, 0}, 1.0f, 0},
        {285, {-300, 620, 480}, {0, 250, 0}, 1.1f, 0.12f},
        {330, {200, 700, 420}, {0, 220, 0}, 1.15f, -0.1f},
        {390, {520, 360, 0}, {0, 260, 0}, 1.05f, 0},
        {440, {260, 320, -520}, {0, 270, 0}, 1.0f, 0},
        {480, {0, 360, -820}, {0, 270, 0}, 0.95f, 0},
    };
    AddCamera(scene, "Camera01", keys[0].position, keys[0].target, keys[0].fov);
    C3DObjectAnim& camera = AddAnimation(scene, "Camera01");
    C3DObjectAnim& target = AddAnimation(scene, "Camera01.Target");
    for (const CameraKey& key : keys) {
        AddKey(camera.position, key.frame, key.position);
        AddKey(camera.fov, key.frame, key.fov);
        AddKey(camera.roll, key.frame, key.roll);
        AddKey(target.position, key.frame, key.target);
    }
}

std::vector<std::uint8_t> forgeScene() {
    CScene scene;
    scene.lastFrame = kLastFrame;
    materials(scene);
    chamber(scene);
    hearth(scene);
    flame(scene);
    pillar(scene, "PillarNW", {-600, 0, 600}, 1);
    pillar(scene, "PillarNE", {600, 0, 600}, -1);
    pillar(scene, "PillarSW", {-600, 0, -600}, -1);
    pillar(scene, "PillarSE", {600, 0, -600}, 1);
    brazier(scene, "BrazierA", {-370, 0, -160});
    brazier(scene, "BrazierB", {370, 0, -160});
    glassPane(scene);
    lights(scene);
    flight(scene);
    forge::AddSmithy(scene);
    CountGeometry(scene);
    return mdl4::WriteScene(scene);
}

}  // namespace

void MakeForge(AssetWriter& out) {
    MakeForgeTextures(out);
    out.Bytes("forge.vestamdl4", forgeScene());
}

}  // namespace vesta::showcase
