// The scene-wide modifier kinds as the factory makes them: their places in
// the list of kinds, their names, parameters and initialisation messages.

#include <algorithm>

#include "PlayerPictureSupport.h"
#include "modifiers/FocalDepth.h"
#include "modifiers/Glow2.h"
#include "modifiers/ObjectRays.h"
#include "modifiers/SceneBlur.h"
#include "render/RenderResources.h"
#include "timeline/ModifierFactory.h"

namespace vesta::test {
namespace {

struct Kind {
    const char* name;
    const char* className;
    Parameters parameters;  // every one the kind takes, with a valid value
};

const std::vector<Kind>& kinds() {
    static const std::vector<Kind> all = {
        {"Volumetric", "CVolumetric", {{"Object", "Box"}}},
        {"LensDeform", "CLensDeform", {}},
        {"SceneBlur",
         "CSceneBlur",
         {{"BorderColor", "10,20,30"}, {"BorderAlpha", "0.5"}, {"TextureSize", "40"}}},
        {"Glow2",
         "CGlow2",
         {{"ObjetName", "Box"},
          {"Effect", "1"},
          {"AlphaType", "1"},
          {"AlphaTexture", ""},
          {"Texture", ""},
          {"MaxIntensity", "0.5"},
          {"XScale", "2.5"},
          {"YScale", "3.5"},
          {"RenderType", "1"}}},
        {"Rays",
         "CObjectRays",
         {{"Object", "Star.UserRead"},
          {"Color", "255,128,0"},
          {"Texture", ""},
          {"RayPercentage", "100"},
          {"RaySize", "12.5"},
          {"RaySizeDelta", "2.5"}}},
        {"FocalDepth", "CFocalDepth", {{"TextureSize", "32"}, {"Middle", "75.5"}}},
        {"DepthEffect",
         "CDepthEffect",
         {{"ObjetName", "Box"},
          {"Effect", "0"},
          {"AlphaType", "0"},
          {"AlphaTexture", ""},
          {"Texture", ""},
          {"MaxIntensity", "1"},
          {"XScale", "4"},
          {"YScale", "4"},
          {"RenderType", "0"},
          {"MaxZ", "500"}}},
        {"MeshContour", "CMeshContour", {{"Object", "Box"}}},
    };
    return all;
}

class SceneWideKindsTest : public ModifierPictureTest {
protected:
    static void buildStageWithStar(CScene& scene) {
        BuildStage(scene);
        AddBox(scene, "Star.UserRead", {0, 0, -20}, {6, 6, 6}, "Red");
        AddCamera(scene, "Eye.UserRead", {0, 0, -20}, {0, 0, 0}, 0.8f);
        CountGeometry(scene);
    }
    CMDLPlayer& playerWith(std::vector<CLayerOperation> modifiers) {
        CScene built;
        buildStageWithStar(built);
        return player(built, std::move(modifiers));
    }
    std::string failureOf(const CLayerOperation& modifier) {
        return EngineErrorOf([&] { playerWith({modifier}); });
    }
};

TEST_F(SceneWideKindsTest, KindsHoldTheirPlacesInTheListOfKinds) {
    std::vector<std::string> ours;
    for (const Kind& kind : kinds()) {
        ours.push_back(kind.name);
    }
    std::vector<std::string> listed = CModifierFactory::Instance().NamesInRegistrationOrder();
    std::erase_if(listed, [&](const std::string& name) {
        return std::find(ours.begin(), ours.end(), name) == ours.end();
    });
    EXPECT_EQ(listed, ours);
}

TEST_F(SceneWideKindsTest, EveryParameterIsTakenAndUnnamedModifiersNameThemselves) {
    std::vector<CLayerOperation> operations;
    for (const Kind& kind : kinds()) {
        operations.push_back(Modifier(kind.name, kind.parameters));
    }
    operations.push_back(Modifier("SceneBlur", {}, "Soft"));
    CMDLPlayer& layer = playerWith(operations);
    const std::vector<CModifier*> made = layer.Modifiers().InOrder();
    ASSERT_EQ(made.size(), kinds().size() + 1);
    for (std::size_t i = 0; i < kinds().size(); ++i) {
        const Kind& kind = kinds()[i];
        SCOPED_TRACE(kind.name);
        EXPECT_STREQ(made[i]->GetKindName(), kind.name);
        EXPECT_STREQ(made[i]->GetClassName(), kind.className);
        EXPECT_EQ(made[i]->TypedCount(), kind.parameters.size());
        EXPECT_TRUE(IsHexNamed(made[i]->GetName(), kind.name, 4));
        EXPECT_TRUE(made[i]->AutoDestroy());
    }
    EXPECT_EQ(made.back()->GetName(), "Soft");
    EXPECT_FALSE(made.back()->AutoDestroy());

    // The values arrive with their types: sizes as integers, choices and
    // percentages acted upon.
    EXPECT_EQ(dynamic_cast<CSceneBlur*>(made[2])->Target()->Width(), 40);
    EXPECT_EQ(dynamic_cast<CSceneBlur*>(made.back())->Target()->Width(),
              CSceneBlur::kDefaultTextureSize);
    EXPECT_EQ(dynamic_cast<CFocalDepth*>(made[5])->Target()->Width(), 32);
    EXPECT_EQ(dynamic_cast<CGlow2*>(made[3])->Target()->Width(), CGlow2::kTargetSize);
    EXPECT_EQ(dynamic_cast<CObjectRays*>(made[4])->RayCount(), 24u);
    draw(layer, 0.25f, "kinds-all");
    // RenderType 1: a sprite of six vertices on each of the box's 24 vertices.
    EXPECT_EQ(dynamic_cast<CGlow2*>(made[3])->Sprites().size(), 24u * 6u);
}

TEST_F(SceneWideKindsTest, RaysChooseTheirShareOfTheVertices) {
    CMDLPlayer& layer =
        playerWith({Modifier("Rays", {{"Object", "Star.UserRead"}, {"RayPercentage", "0"}}),
                    Modifier("Rays", {{"Object", "Star.UserRead"}, {"RayPercentage", "50"}}),
                    Modifier("Rays", {{"Object", "Eye.UserRead"}})});
    const std::vector<CModifier*> made = layer.Modifiers().InOrder();
    EXPECT_EQ(dynamic_cast<CObjectRays*>(made[0])->RayCount(), 0u);
    const std::size_t half = dynamic_cast<CObjectRays*>(made[1])->RayCount();
    EXPECT_GT(half, 4u);
    EXPECT_LT(half, 20u);
    // An object without vertices sends its rays all round.
    EXPECT_EQ(dynamic_cast<CObjectRays*>(made[2])->RayCount(),
              static_cast<std::size_t>(CObjectRays::kFreeRays));
}

TEST_F(SceneWideKindsTest, InitialisationMessages) {
    EXPECT_EQ(failureOf(Modifier("Glow2", {{"ObjetName", "Nope"}})), "Cannot find object [Nope]");
    EXPECT_EQ(failureOf(Modifier("MeshContour", {{"Object", "Nope"}})),
              "Cannot find object [Nope]");
    EXPECT_EQ(failureOf(Modifier("Rays", {{"Object", "Nope.UserRead"}})),
              "Cannot find object [Nope.UserRead]");
    EXPECT_EQ(failureOf(Modifier("Rays", {{"Object", "Box"}})),
              "Must specifiy the [.UserRead] for object [Box]");
    // A mesh these two lack is only logged; they then do nothing.
    std::vector<std::string> log;
    CaptureLog(log);
    CMDLPlayer& layer = playerWith({Modifier("Volumetric", {{"Object", "Nope"}}),
                                    Modifier("DepthEffect", {{"ObjetName", "Gone"}})});
    SetLogSink(nullptr, nullptr);
    EXPECT_EQ(std::count(log.begin(), log.end(), "Unable to find [Nope]"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "Unable to find [Gone]"), 1);
    EXPECT_EQ(layer.Modifiers().Count(), 2u);
    draw(layer, 0.25f, "kinds-missing");
}

}  // namespace
}  // namespace vesta::test
