// The Tunnel part's model as the player loads it: a camera flight long
// enough for the part, with the radius the tunnel is built to, whose fire
// rings and plasma gate stand across the path inside that radius and name
// the dynamic textures the part's script tunes.

#include <cmath>
#include <gtest/gtest.h>
#include <set>

#include "EngineState.h"
#include "ShowcaseProduction.h"
#include "render/dynamic/DynaTexture.h"
#include "scene/Animation.h"
#include "scene/Scene.h"
#include "script/ScriptParser.h"
#include "script/TextNumbers.h"

namespace vesta::test {
namespace {

constexpr float kPartFrames = 14 * 30;

class ShowcaseTunnelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEngineState();
        m_scene.Load("tunnel.vestamdl4");
    }
    void TearDown() override { ResetEngineState(); }

    ScopedChdir m_chdir{Showcase().Folder()};
    CScene m_scene;
};

float radiusOf(const CCamera& camera) {
    for (const UserParameter& parameter : camera.userParameters) {
        if (parameter.name == "Radius") {
            return ParseFloatPrefix(parameter.value);
        }
    }
    return 0;
}

TEST_F(ShowcaseTunnelTest, CameraFliesThePartWithARadiusAndTheRingsStayInsideIt) {
    ASSERT_GE(m_scene.lastFrame, kPartFrames);
    ASSERT_FALSE(m_scene.cameras.empty());
    const CCamera& camera = *m_scene.cameras.front();
    ASSERT_NE(camera.anim, nullptr);
    ASSERT_GT(camera.anim->position.size(), 10u);
    const float radius = radiusOf(camera);
    ASSERT_GT(radius, 0);

    // Every mesh is crossed by the flight: some point of the path passes
    // within a radius of the mesh's middle, and none of its corners reaches
    // the walls around that point.
    for (const CMeshe* mesh : m_scene.meshes) {
        const Vector3 middle = (mesh->box.cornerA + mesh->box.cornerB) * 0.5f;
        float nearest = 1e9f, nearestFrame = 0;
        for (float frame = 0; frame <= m_scene.lastFrame; frame += 1) {
            const float d = Length(EvaluateTrack(camera.anim->position, frame) - middle);
            if (d < nearest) {
                nearest = d;
                nearestFrame = frame;
            }
        }
        EXPECT_LT(nearest, radius * 0.1f) << mesh->Name();
        const Vector3 eye = EvaluateTrack(camera.anim->position, nearestFrame);
        for (const MeshVertex& vertex : mesh->vertices) {
            EXPECT_LT(Length(vertex.position - eye), radius) << mesh->Name();
        }
    }
    // The flight goes round bends: its ends do not see each other in a line.
    const Vector3 start = EvaluateTrack(camera.anim->position, 0);
    const Vector3 middle = EvaluateTrack(camera.anim->position, kPartFrames / 2);
    const Vector3 end = EvaluateTrack(camera.anim->position, kPartFrames);
    const Vector3 across = Cross(Unit(end - start), middle - start);
    EXPECT_GT(Length(across), radius);
}

TEST_F(ShowcaseTunnelTest, MaterialsNameTheFireAndPlasmaTexturesTheScriptTunes) {
    std::set<std::string> effects, names;
    for (const auto& material : m_scene.materials) {
        for (const MaterialMap& map : material->maps) {
            const std::optional<DynamicMapName> dynamic = ParseDynamicMapName(map.path);
            ASSERT_TRUE(dynamic) << material->name << " " << map.path;
            EXPECT_TRUE(DynaTextureEffects().count(dynamic->effect)) << map.path;
            effects.insert(dynamic->effect);
            names.insert(dynamic->texture);
        }
    }
    EXPECT_EQ(effects, (std::set<std::string>{"Fire", "Plasma"}));

    ParsedScript script;
    ASSERT_TRUE(CScriptParser(script).Load("Showcase.txt"));
    std::set<std::string> tuned;
    int tunnels = 0;
    for (const CPart& part : script.parts) {
        for (const CTimeBlock& block : part.timeBlocks) {
            for (const CLayerOperation& operation : block.operations) {
                tunnels += operation.argument == "TrouDuVers";
                for (const ScriptParameter& parameter : operation.parameters) {
                    if (parameter.name == "TextureName") {
                        tuned.insert(parameter.value);
                    }
                }
            }
        }
    }
    EXPECT_EQ(tunnels, 1);
    EXPECT_EQ(tuned, names);
}

}  // namespace
}  // namespace vesta::test
