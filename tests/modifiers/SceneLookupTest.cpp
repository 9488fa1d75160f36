// The names modifiers look up, and the messages of a name the scene lacks.

#include "modifiers/SceneLookup.h"

#include <gtest/gtest.h>

#include "EngineState.h"
#include "scene/SceneBuild.h"

namespace vesta::test {
namespace {

TEST(SceneLookupTest, NamesAreExactAndMissingOnesAreReported) {
    CScene scene;
    CMeshe& box = AddBox(scene, "Box", {0, 0, 0}, {1, 1, 1});
    CLight& lamp = AddLight(scene, "Lamp", {0, 0, 0}, {1, 1, 1});
    CCamera& camera = AddCamera(scene, "Cam", {0, 0, -10}, {0, 0, 0}, 1.0f);
    EXPECT_EQ(&FindMeshOrRaise(scene, "Box"), &box);
    EXPECT_EQ(&FindLightOrRaise(scene, "Lamp"), &lamp);
    EXPECT_EQ(&FindCameraOrRaise(scene, "Cam"), &camera);
    EXPECT_EQ(EngineErrorOf([&] { FindMeshOrRaise(scene, "box"); }), "Cannot find object [box]");
    EXPECT_EQ(EngineErrorOf([&] { FindLightOrRaise(scene, "Sun"); }), "Cannot find light [Sun]");
    EXPECT_EQ(EngineErrorOf([&] { FindCameraOrRaise(scene, "X"); }), "Cannot find camera [X]");
    ResetEngineState();
}

}  // namespace
}  // namespace vesta::test
