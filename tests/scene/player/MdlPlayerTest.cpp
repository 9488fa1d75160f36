// The model player: the frame it draws its scene at, the viewport and the
// state it draws in, its camera, and the order and life of its modifiers.

#include "PlayerTestSupport.h"

namespace vesta::test {
namespace {

using Journal = std::vector<std::string>;

class MdlPlayerTest : public PlayerTest {};

TEST_F(MdlPlayerTest, TheFrameIsForcedOrTheCameraTimePlusTheLayerTime) {
    CMDLPlayer& timed = player({{"CameraStartTime", "1.0"}, {"StartTime", "0.5"}});
    frame(timed, 2.5);  // layer time 2.0 s
    EXPECT_FLOAT_EQ(timed.Scene().CurrentFrame(), 90.0f);

    CMDLPlayer& forced = player({{"ForceFrame", "25"}, {"CameraStartTime", "1.0"}});
    for (float seconds : {0.0f, 1.7f, 3.0f}) {
        frame(forced, seconds);
        EXPECT_FLOAT_EQ(forced.Scene().CurrentFrame(), 25.0f) << seconds;
    }
    forced.Set("ForceFrame", "-1");
    frame(forced, 0.5);
    EXPECT_FLOAT_EQ(forced.Scene().CurrentFrame(), 45.0f);
}

TEST_F(MdlPlayerTest, ModifiersDrawInThePlayersViewportAndDepthState) {
    const auto probe = [] { return std::vector{CreateModifier("Probe", "A")}; };
    CMDLPlayer& whole = player({}, probe());
    CMDLPlayer& quarter = player({{"VPCorner", "10,10"}, {"VPSize", "50,50"}}, probe());
    // What the frame starts with, so that what the player changes shows.
    module.SetViewport(20, 20, 30, 30);
    const Viewport before = module.CurrentViewport();
    module.SetCullMode(CullMode::None);
    module.SetDepthTest(false);
    module.SetDepthWrite(false);

    // The probe draws last, after the scene's meshes.
    frame(whole, 1.0);
    ASSERT_FALSE(module.Draws().empty());
    const RenderState& seen = module.Draws().back()->state;
    EXPECT_EQ(seen.viewport, before);  // no viewport of its own, none restored
    EXPECT_EQ(module.CurrentViewport(), before);
    EXPECT_EQ(seen.cull, CullMode::CounterClockwise);
    EXPECT_TRUE(seen.depth.enabled);
    EXPECT_TRUE(seen.depth.write);

    frame(quarter, 1.0);
    ASSERT_FALSE(module.Draws().empty());
    // The module's percent arithmetic in floats may land a pixel short of 10 %.
    const Viewport& inside = module.Draws().back()->state.viewport;
    EXPECT_NEAR(inside.x, 64, 1);
    EXPECT_NEAR(inside.y, 48, 1);
    EXPECT_EQ(inside.width, 320);
    EXPECT_EQ(inside.height, 240);
    EXPECT_EQ(module.CurrentViewport(), (Viewport{0, 0, 640, 480, 0.0f, 1.0f}));
}

TEST_F(MdlPlayerTest, PerFrameOrderFollowsTheListFromTheTop) {
    CMDLPlayer& p = player({}, {CreateModifier("Probe", "A"), CreateModifier("Probe", "B")});
    frame(p, 1.0);
    EXPECT_EQ(ProbeJournal(), (Journal{"A pre", "B pre", "B render", "A render"}));

    CLayerOperation moveA = TargetModifier(OperationKind::Update, "A");
    moveA.move = MoveTarget::Top;
    p.CreateChildren({moveA});
    frame(p, 1.1);
    EXPECT_EQ(ProbeJournal(), (Journal{"B pre", "A pre", "A render", "B render"}));

    CLayerOperation bottom = CreateModifier("Probe", "C");
    bottom.insertAtBottom = true;
    CLayerOperation moveB = TargetModifier(OperationKind::Update, "B");
    moveB.move = MoveTarget::Bottom;
    CLayerOperation stay = TargetModifier(OperationKind::Update, "A");
    p.CreateChildren({bottom, CreateModifier("Probe", "D"), moveB, stay});
    EXPECT_EQ(namesOf(p), (Journal{"B", "C", "A", "D"}));
}

TEST_F(MdlPlayerTest, AnAfterPassRendersTheUnmarkedOnesOnceMore) {
    CMDLPlayer& p = player({}, {CreateModifier("Probe", "A", {{"AfterPass", "Yes"}}),
                                CreateModifier("Probe", "B"), CreateModifier("Probe", "C")});
    frame(p, 1.0);
    EXPECT_EQ(ProbeJournal(), (Journal{"A pre", "B pre", "C pre", "C render", "B render",
                                       "A render", "B render", "C render"}));

    CLayerOperation unmark = TargetModifier(OperationKind::Update, "A");
    unmark.parameters = {{"AfterPass", "No"}};
    p.CreateChildren({unmark});
    frame(p, 1.1);
    EXPECT_EQ(ProbeJournal(),
              (Journal{"A pre", "B pre", "C pre", "C render", "B render", "A render"}));
}

// A camera fade ends with its mark set: once its window is over, the others
// are drawn once a frame again.
TEST_F(MdlPlayerTest, AMarkedModifierPastItsWindowAsksForNoAfterPass) {
    CMDLPlayer& p =
        player({}, {CreateModifier("Probe", "A", {{"AfterPass", "Yes"}, {"LifeTime", "0.5"}}),
                    CreateModifier("Probe", "B")});
    frame(p, 0.2);
    EXPECT_EQ(ProbeJournal(), (Journal{"A pre", "B pre", "B render", "A render", "B render"}));
    frame(p, 1.0);
    EXPECT_EQ(ProbeJournal(), (Journal{"B pre", "B render"}));
}

TEST_F(MdlPlayerTest, ModifierOperationsInScriptOrder) {
    CMDLPlayer& p = player({}, {CreateModifier("Probe", "A", {{"Value", "7"}})});
    // Parameters before the start, after the player loaded; then born, and
    // born again with the player.
    EXPECT_EQ(ProbeJournal(), (Journal{"A start 7", "A birth", "A birth"}));
    EXPECT_EQ(p.Modifiers().Find("A")->Place(), "main.txt(7)");

    at(3.0);
    CLayerOperation restart = TargetModifier(OperationKind::Update, "A");
    restart.restart = true;
    restart.parameters = {{"LifeTime", "0.5"}};
    ProbeJournal().clear();
    p.CreateChildren({restart});
    EXPECT_EQ(ProbeJournal(), (Journal{"A birth"}));
    EXPECT_FLOAT_EQ(p.Modifiers().Find("A")->BirthTime(), 3.0f);
    EXPECT_FLOAT_EQ(p.Modifiers().Find("A")->LifeTime(), 0.5f);

    EXPECT_EQ(
        EngineErrorOf([&] { p.CreateChildren({TargetModifier(OperationKind::Update, "a")}); }),
        "Could not find any MDLModifier named [a].");
    EXPECT_EQ(EngineErrorOf([&] {
                  p.CreateChildren({TargetModifier(OperationKind::Delete, "Ghost"),
                                    TargetModifier(OperationKind::Delete, "A")});
              }),
              "<none>");
    EXPECT_EQ(p.Modifiers().Count(), 0u);
    EXPECT_EQ(EngineErrorOf([&] {
                  p.CreateChildren({CreateModifier("NoSuchKind", "X")});
              }).rfind("Could not find MDLModifier [NoSuchKind].", 0),
              0u);
}

TEST_F(MdlPlayerTest, FinishedUnnamedModifiersLeaveOneAFrame) {
    CMDLPlayer& p =
        player({}, {CreateModifier("Probe", "", {{"LifeTime", "1"}}),
                    CreateModifier("Probe", "Kept", {{"LifeTime", "1"}}),
                    CreateModifier("Probe", "", {{"LifeTime", "1"}, {"StartTime", "0.5"}}),
                    CreateModifier("Probe", "", {{"LifeTime", "1"}})});
    frame(p, 1.0);
    EXPECT_EQ(p.Modifiers().Count(), 4u);
    frame(p, 1.2);
    EXPECT_EQ(p.Modifiers().Count(), 3u);
    EXPECT_EQ(ProbeJournal().back(), " release");
    frame(p, 1.3);
    EXPECT_EQ(p.Modifiers().Count(), 2u);
    frame(p, 1.4);  // the one that started late is still live
    EXPECT_EQ(namesOf(p), (Journal{"Kept", ""}));
    frame(p, 1.6);
    EXPECT_EQ(namesOf(p), (Journal{"Kept"}));
}

TEST_F(MdlPlayerTest, AModifierAddedLaterCountsItsTimeFromThen) {
    CMDLPlayer& p = player();
    at(10.0);
    p.CreateChildren({CreateModifier("Probe", "", {{"StartTime", "0.5"}, {"LifeTime", "1"}})});
    frame(p, 10.2);
    EXPECT_EQ(ProbeJournal(), (Journal{}));
    frame(p, 11.0);
    EXPECT_EQ(ProbeJournal(), (Journal{" pre", " render"}));
    frame(p, 11.6);
    EXPECT_EQ(p.Modifiers().Count(), 0u);
}

TEST_F(MdlPlayerTest, CameraIsLookedUpByName) {
    CMDLPlayer& chosen = player({{"CurrentCamera", "Cam01"}});
    ASSERT_NE(chosen.SelectedCamera(), nullptr);
    EXPECT_EQ(chosen.SelectedCamera()->Name(), "Cam01");
    chosen.Scene().SetCurrentCamera(nullptr);
    frame(chosen, 0.1);
    EXPECT_EQ(chosen.Scene().CurrentCamera(), chosen.SelectedCamera());
    EXPECT_EQ(EngineErrorOf([&] { chosen.Set("CurrentCamera", "Cam02"); }),
              "Could not find any camera named [Cam02]");
    chosen.Set("CurrentCamera", "");  // back to the scene's own current camera
    EXPECT_EQ(chosen.SelectedCamera(), nullptr);

    EXPECT_EQ(EngineErrorOf([&] {
                  player({{"CurrentCamera", "cam01"}});
              }),
              "Could not find any camera named [cam01]");

    CMDLPlayer& unset = player();
    EXPECT_EQ(unset.SelectedCamera(), nullptr);
    EXPECT_TRUE(IsHexNamed(unset.GetName(), "MDLPlayer Layer"));
    EXPECT_TRUE(unset.AutoDestroy());
}

TEST_F(MdlPlayerTest, ExitReleasesModifiersInOrderAndTimeReachesThem) {
    CMDLPlayer& p = player({}, {CreateModifier("Probe", "A"), CreateModifier("Probe", "B")});
    ProbeJournal().clear();
    p.SetBirthTime(-1.0f);
    p.Release();
    EXPECT_EQ(ProbeJournal(), (Journal{"A birth", "B birth", "A release", "B release"}));
    m_layers.clear();
}

}  // namespace
}  // namespace vesta::test
