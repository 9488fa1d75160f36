// The Forge part's model scene as the player loads it: every behaviour its
// names ask for took hold, the textures it names are made, and the camera's
// flight stays inside the chamber, clear of every object, and crosses the
// braziers' switching distance. The part's model player dresses the scene
// with modifiers that find what they name in it.

#include <cmath>
#include <gtest/gtest.h>
#include <set>

#include "EngineState.h"
#include "ShowcaseProduction.h"
#include "render/VertexShaderProgram.h"
#include "scene/Animation.h"
#include "scene/Scene.h"
#include "script/ScriptParser.h"

namespace vesta::test {
namespace {

constexpr float kPartFrames = 16 * 30;

float distance(const Vector3& a, const Vector3& b) {
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) +
                     (a.z - b.z) * (a.z - b.z));
}

bool inside(const CMeshe& mesh, const Vector3& p) {
    const Vector3& a = mesh.box.cornerA;
    const Vector3& b = mesh.box.cornerB;
    const Vector4& o = mesh.position;
    auto within = [](float v, float low, float high) {
        return v > std::min(low, high) && v < std::max(low, high);
    };
    return within(p.x, a.x + o.x, b.x + o.x) && within(p.y, a.y + o.y, b.y + o.y) &&
           within(p.z, a.z + o.z, b.z + o.z);
}

class ShowcaseForgeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEngineState();
        m_scene.Load("forge.vestamdl4");
    }
    void TearDown() override { ResetEngineState(); }

    CMeshe* mesh(std::string_view name) const {
        return dynamic_cast<CMeshe*>(m_scene.FindObject(name));
    }
    bool made(const std::string& file) const {
        return std::filesystem::exists(Showcase().Folder() / file);
    }

    ScopedChdir m_chdir{Showcase().Folder()};
    CScene m_scene;
};

TEST_F(ShowcaseForgeTest, NamesGiveTheMeshesAndLightsTheirBehaviour) {
    ASSERT_GE(m_scene.lastFrame, kPartFrames);

    const CMeshe* flame = mesh("Blob.MorphSrc.f0.Loop");
    ASSERT_NE(flame, nullptr);
    EXPECT_TRUE(flame->flags & MeshFlag::MorphLoop);
    EXPECT_EQ(flame->morph.targets.size(), 4u);  // itself and three shapes

    int skinned = 0;
    for (const CMeshe* m : m_scene.meshes) {
        if (m->flags & MeshFlag::Skinned) {
            ++skinned;
            for (const auto& bone : m->bones) {
                EXPECT_FALSE(bone->ownAnim.rotation.empty()) << bone->Name();
            }
        }
    }
    EXPECT_EQ(skinned, 4);

    ASSERT_EQ(m_scene.lodRoots.size(), 2u);
    for (const CMeshe* root : m_scene.lodRoots) {
        ASSERT_EQ(root->lodLevels.size(), 3u) << root->Name();
        // The far level is the plainer one.
        EXPECT_LT(root->lodLevels[2]->faces.size(), root->lodLevels[1]->faces.size());
    }

    const CMeshe* glass = mesh("Screen.Alpha.NoCull");
    ASSERT_NE(glass, nullptr);
    EXPECT_EQ(m_scene.blendedMeshes.size(), 1u);
    ASSERT_NE(glass->material, nullptr);
    EXPECT_LT(glass->material->opacity, 0.7f);

    EXPECT_EQ(m_scene.dynamicLights.size(), 4u);
    for (const CLight* light : m_scene.dynamicLights) {
        ASSERT_NE(light->anim, nullptr) << light->Name();
        EXPECT_GT(light->anim->position.size(), 2u) << light->Name();
    }
    int halos = 0;
    for (const CLight* light : m_scene.lights) {
        if (light->halo) {
            ++halos;
            EXPECT_TRUE(made(light->mapFile)) << light->Name() << " " << light->mapFile;
        }
    }
    EXPECT_GE(halos, 5);
    ASSERT_EQ(m_scene.particleSources.size(), 1u);
    EXPECT_NE(m_scene.particleSources.front()->destination, nullptr);
    EXPECT_TRUE(made(m_scene.particleSources.front()->textureName));

    for (const auto& material : m_scene.materials) {
        for (const MaterialMap& map : material->maps) {
            EXPECT_TRUE(made(map.path)) << material->name << " " << map.path;
        }
    }
}

TEST_F(ShowcaseForgeTest, FlightStaysInTheRoomClearOfObjectsAndPassesALevelSwitch) {
    ASSERT_FALSE(m_scene.cameras.empty());
    const CCamera& camera = *m_scene.cameras.front();
    ASSERT_NE(camera.anim, nullptr);
    ASSERT_NE(camera.target->anim, nullptr);
    const CMeshe* walls = mesh("Walls");
    ASSERT_NE(walls, nullptr);
    const CMeshe& brazier = *m_scene.lodRoots.front();
    const float nearLevel = static_cast<float>(brazier.lodLevels[1]->lodDistance);
    float nearest = 1e9f, farthest = 0;
    for (float frame = 0; frame <= kPartFrames; frame += 2) {
        const Vector3 eye = EvaluateTrack(camera.anim->position, frame);
        EXPECT_TRUE(inside(*walls, eye)) << "frame " << frame;
        for (const CMeshe* m : m_scene.meshes) {
            if (m != walls && !(m->flags & MeshFlag::MorphTarget)) {
                EXPECT_FALSE(inside(*m, eye)) << m->Name() << " at frame " << frame;
            }
        }
        const Vector3 foot{brazier.position.x, brazier.position.y, brazier.position.z};
        nearest = std::min(nearest, distance(eye, foot));
        farthest = std::max(farthest, distance(eye, foot));
    }
    EXPECT_LT(nearest, nearLevel);
    EXPECT_GT(farthest, nearLevel);
}

// The part plays the scene, in one model player, and smears part of its flight.
TEST(ShowcaseForgeScriptTest, PartPlaysTheSceneWithMotionBlurForAWhile) {
    ResetEngineState();
    ScopedChdir chdir(Showcase().Folder());
    ParsedScript script;
    ASSERT_TRUE(CScriptParser(script).Load("Showcase.txt"));
    int players = 0, blurOn = 0, blurOff = 0;
    for (const CPart& part : script.parts) {
        for (const CTimeBlock& block : part.timeBlocks) {
            for (const CLayerOperation& operation : block.operations) {
                for (const ScriptParameter& parameter : operation.parameters) {
                    // The tunnel part plays its own model.
                    if (parameter.name == "MDLFile" && operation.argument == "MDLPlayer") {
                        players += parameter.value == "forge.vestamdl4";
                    }
                    if (parameter.name == "MotionBlur") {
                        (parameter.value == "Yes" ? blurOn : blurOff) += 1;
                    }
                }
            }
        }
    }
    EXPECT_EQ(players, 1);
    EXPECT_EQ(blurOn, 1);
    EXPECT_EQ(blurOff, 1);
    ResetEngineState();
}

// The forge player's modifiers, kind by kind, with every parameter that names
// something of the scene: an object, a light or a camera.
struct ForgeModifiers {
    std::multiset<std::string> kinds;
    std::vector<std::pair<std::string, std::string>> references;  // parameter, value
    std::string currentCamera;
};

void collect(const CLayerOperation& operation, ForgeModifiers& out) {
    static const std::set<std::string> naming = {"Object", "ObjetName", "Light", "TargetCamera",
                                                 "CurrentCamera"};
    for (const CLayerOperation& child : operation.children) {
        if (child.kind == OperationKind::Create) {
            out.kinds.insert(child.argument);
        }
        for (const ScriptParameter& parameter : child.parameters) {
            if (naming.count(parameter.name)) {
                out.references.emplace_back(parameter.name, parameter.value);
            }
        }
    }
    for (const ScriptParameter& parameter : operation.parameters) {
        if (parameter.name == "CurrentCamera") {
            if (operation.kind == OperationKind::Create) {
                out.currentCamera = parameter.value;
            }
            out.references.emplace_back(parameter.name, parameter.value);
        }
    }
}

ForgeModifiers forgeModifiers() {
    ParsedScript script;
    EXPECT_TRUE(CScriptParser(script).Load("Showcase.txt"));
    ForgeModifiers found;
    for (const CPart& part : script.parts) {
        for (const CTimeBlock& block : part.timeBlocks) {
            for (const CLayerOperation& operation : block.operations) {
                const bool forgeCreated =
                    operation.kind == OperationKind::Create && operation.name == "Forge";
                const bool forgeUpdated =
                    operation.kind == OperationKind::Update && operation.argument == "Forge";
                if (forgeCreated || forgeUpdated) {
                    collect(operation, found);
                }
            }
        }
    }
    return found;
}

TEST_F(ShowcaseForgeTest, ModifiersDressTheSceneWithWhatTheyNameInIt) {
    const ForgeModifiers used = forgeModifiers();
    for (const char* kind : {"Fog", "CameraFade", "WaterPlane", "DynaLight", "StencilShadow",
                             "SceneBlur", "GlowEffect", "Glow2", "Particles", "MeshHunz"}) {
        EXPECT_TRUE(used.kinds.count(kind)) << kind;
    }
    for (const auto& [parameter, value] : used.references) {
        if (parameter == "Light") {
            const auto* light = dynamic_cast<const CLight*>(m_scene.FindObject(value));
            ASSERT_NE(light, nullptr) << value;
            // The flicker would be undone each frame by a colour track.
            EXPECT_TRUE(!light->anim || light->anim->colour.empty()) << value;
        } else if (parameter == "TargetCamera" || parameter == "CurrentCamera") {
            EXPECT_NE(m_scene.FindCamera(value), nullptr) << value;
        } else {
            EXPECT_NE(m_scene.FindObject(value), nullptr) << parameter << " " << value;
        }
    }
    // The fade needs a second camera, and the player a camera of its own: the
    // fade leaves the one it drew current.
    EXPECT_EQ(used.currentCamera, "Camera01");
    EXPECT_GE(m_scene.cameras.size(), 2u);

    // The water starts as one flat quad, as the water plane asks.
    const CMeshe* water = mesh("Quench.UserModif.Normals");
    ASSERT_NE(water, nullptr);
    ASSERT_EQ(water->vertices.size(), 4u);
    for (const MeshVertex& corner : water->vertices) {
        EXPECT_FLOAT_EQ(corner.position.y, water->vertices.front().position.y);
    }
    for (const char* picture : {"toon_ramp.png", "white.png", "black.png", "spark.png"}) {
        EXPECT_TRUE(made(picture)) << picture;
    }
}

// The toon shader the MeshHunz modifiers load is the generator's own file, a
// sound token stream giving a position and the ramp's coordinate.
TEST(ShowcaseToonShaderTest, TheGeneratedShaderParses) {
    const std::string bytes = ReadFile(Showcase().Folder() / "ToonShade.vso");
    ASSERT_FALSE(bytes.empty());
    const VertexShaderParse parsed =
        ParseVertexShader(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    ASSERT_TRUE(parsed.Ok()) << parsed.error;
    EXPECT_FALSE(parsed.program.instructions.empty());
    EXPECT_TRUE(parsed.program.writesTexCoord[0]);
    EXPECT_TRUE(parsed.program.writesColor[0]);
}

}  // namespace
}  // namespace vesta::test
