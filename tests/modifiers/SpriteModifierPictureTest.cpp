// Flies, glows, particles and radio waves over a scene, as pictures.

#include "ModifierPictureSupport.h"

namespace vesta::test {
namespace {

class SpriteModifierPictureTest : public ModifierPictureTest {
protected:
    // A small grey box at the origin, the camera 100 in front of it.
    CScene& boxScene(const char* name = "Hive") {
        CScene built;
        addViewer(built);
        AddMaterial(built, "Grey", {0.4f, 0.4f, 0.4f});
        AddBox(built, name, {0, 0, 0}, {8, 8, 8}, "Grey");
        return load(built);
    }
};

TEST_F(SpriteModifierPictureTest, FliesBuzzWithinTheirZoneAndMove) {
    boxScene();
    add("Flies", {{"ObjetName", "Hive"},
                  {"Texture", "dot.png"},
                  {"NBFlies", "12"},
                  {"ZoneMin", "20"},
                  {"ZoneMax", "30"},
                  {"XScale", "2.5"},
                  {"YScale", "2.5"}});
    const Image early = draw(0.5f, "flies-0.5");
    const Image late = draw(1.5f, "flies-1.5");
    // The box alone covers a few dozen pixels; the flies add theirs around it.
    EXPECT_GT(drawnPixels(early), 150);
    EXPECT_GT(differingPixels(early, late), 40);
    // Nothing is drawn beyond the zone (plus a sprite and the jitter).
    for (const Image* image : {&early, &late}) {
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const auto [cx, cy] = screenOf({0, 0, 0});
                // 30 units in front of the box reach 1.43 times as far on screen.
                if (std::hypot(x - cx, y - cy) > 33.0f * 1.42f * 1.43f + 4) {
                    EXPECT_TRUE(isBackground(image->At(x, y))) << x << "," << y;
                }
            }
        }
    }
}

TEST_F(SpriteModifierPictureTest, FliesOfAMissingObjectAreLoggedAndStayAway) {
    std::vector<std::string>& log = m_log;
    CaptureLog(log);
    boxScene();
    const Image plain = draw(0.5f, "flies-none-plain");
    add("Flies", {{"ObjetName", "Nobody"}, {"NBFlies", "30"}});
    EXPECT_EQ(differingPixels(plain, draw(0.5f, "flies-none")), 0);
    EXPECT_NE(std::find(log.begin(), log.end(), "Unable to find [Nobody]"), log.end());
}

TEST_F(SpriteModifierPictureTest, AGlowSurroundsItsMeshAndBreathes) {
    boxScene("Core");
    const Image plain = draw(0.25f, "glow-plain");
    add("GlowEffect", {{"ObjetName", "Core"},
                       {"XScale", "3"},
                       {"YScale", "2"},
                       {"ZScale", "1"},
                       {"TimeRatio", "1"},
                       {"Intensity", "0.8"}});
    const Image full = draw(0.25f, "glow-0.25");
    const Image low = draw(0.75f, "glow-0.75");
    // The box's radius is 6.9: the disc reaches 20.8 across and 13.9 up.
    const Rgba beside = at(full, {15, 0, 0});
    EXPECT_GT(brightness(beside), brightness(at(plain, {15, 0, 0})) + 60);
    EXPECT_TRUE(isBackground(at(full, {0, 17, 0})));
    EXPECT_TRUE(isBackground(at(full, {25, 0, 0})));
    // sin peaks at a quarter second and is lowest at three quarters.
    EXPECT_GT(brightness(at(full, {8, 0, 0})), brightness(at(low, {8, 0, 0})) + 40);
    EXPECT_GT(brightness(at(full, {0, 0, 0})), brightness(at(plain, {0, 0, 0})));
}

TEST_F(SpriteModifierPictureTest, AGlowAroundALightTakesItsScalesAsSizes) {
    CScene built;
    addViewer(built);
    AddLight(built, "Star", {-30, 0, 0}, {1, 1, 1});
    load(built);
    add("GlowEffect", {{"ObjetName", "Star"},
                       {"Texture", "dot.png"},
                       {"XScale", "10"},
                       {"YScale", "10"},
                       {"Intensity", "1"}});
    const Image image = draw(0.25f, "glow-light");
    EXPECT_GT(brightness(at(image, {-30, 0, 0})), 600);
    EXPECT_GT(brightness(at(image, {-30, 4, 0})), 200);
    EXPECT_TRUE(isBackground(at(image, {-30, 12, 0})));
    EXPECT_TRUE(isBackground(at(image, {0, 0, 0})));
}

TEST_F(SpriteModifierPictureTest, AFountainRisesFromALightAndFallsBack) {
    CScene built;
    addViewer(built);
    AddLight(built, "Spout", {0, -30, 0}, {1, 1, 1});
    load(built);
    add("Particles", {{"ObjetName", "Spout"},
                      {"Texture", "dot.png"},
                      {"NBParticle", "300"},
                      {"Velocity", "40"},
                      {"Gravity", "40"},
                      {"LifeTimeParticules", "2"},
                      {"AmplitudeX", "0.3"},
                      {"AmplitudeY", "0.1"},
                      {"AmplitudeZ", "0"},
                      {"XScale", "1.5"},
                      {"YScale", "1.5"}});
    const Image image = draw(3.0f, "particles-fountain");
    // Thrown up at 44 at most and pulled down at 40: the top is 24 above the
    // spout, and a sprite higher.
    int above = 0;
    int below = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (isBackground(image.At(x, y))) {
                continue;
            }
            const int top = screenOf({0, -30 + 24.2f + 1.5f, 0}).second;
            const int spout = screenOf({0, -30, 0}).second;
            above += y < top ? 1 : 0;
            below += y > spout ? 1 : 0;
        }
    }
    EXPECT_GT(drawnPixels(image), 200);
    EXPECT_EQ(above, 0);
    EXPECT_GT(below, 20);  // falling back past the spout
}

TEST_F(SpriteModifierPictureTest, AStreamFlowsFromItsSourceToItsTarget) {
    CScene built;
    addViewer(built);
    AddMaterial(built, "Grey", {0.4f, 0.4f, 0.4f});
    AddBox(built, "Source", {-40, 0, 0}, {4, 4, 4}, "Grey");
    AddLight(built, "Sink", {40, 0, 0}, {1, 1, 1});
    load(built);
    add("Particles", {{"ObjetName", "Source"},
                      {"TargetObjectName", "Sink"},
                      {"Effect", "2"},
                      {"NBParticle", "200"},
                      {"AlphaType", "1"},
                      {"MaxIntensity", "1"},
                      {"Velocity", "4"},
                      {"RenderType", "1"},
                      {"XScale", "0.8"},
                      {"YScale", "2"}});
    const Image image = draw(1.0f, "particles-stream");
    EXPECT_FALSE(isBackground(at(image, {0, 0, 0})));
    EXPECT_FALSE(isBackground(at(image, {20, 0, 0})));
    EXPECT_TRUE(isBackground(at(image, {0, 20, 0})));
    EXPECT_TRUE(isBackground(at(image, {-55, 0, 0})));
}

TEST_F(SpriteModifierPictureTest, ParticlesOfAHiddenMeshShowOnlyWhenForced) {
    CScene built;
    addViewer(built);
    AddBox(built, "Pot.Hide", {0, 0, 0}, {10, 10, 10});
    load(built);
    const Parameters shared = {{"ObjetName", "Pot.Hide"}, {"NBParticle", "100"},
                               {"Effect", "1"},           {"Radius", "2"},
                               {"Texture", "dot.png"},    {"AlphaTexture", "dot.png"}};
    add("Particles", shared);
    EXPECT_EQ(drawnPixels(draw(0.5f, "particles-hidden")), 0);
    Parameters forced = shared;
    forced.push_back({"ForceVisible", "Yes"});
    add("Particles", forced);
    const Image image = draw(0.5f, "particles-forced");
    EXPECT_GT(drawnPixels(image), 100);
    // A burst: particles every way around the pot.
    EXPECT_GT(brightness(at(image, {0, 0, 0})), 0);
}

TEST_F(SpriteModifierPictureTest, RadioWavesGrowInTheirTurnedPlane) {
    CScene built;
    addViewer(built);
    AddLight(built, "Antenna", {0, 0, 0}, {1, 1, 1});
    load(built);
    add("OndesRadio", {{"ObjetName", "Antenna"},
                       {"NBOndes", "1"},
                       {"XScale", "40"},
                       {"YScale", "40"},
                       {"Width", "3"}});
    // A wave takes two seconds: at 1 s it is half grown, 20 across.
    const Image half = draw(1.0f, "ondes-1.0");
    EXPECT_GT(brightness(at(half, {20, 0, 0})), 150);
    EXPECT_GT(brightness(at(half, {0, -20, 0})), 150);
    EXPECT_TRUE(isBackground(at(half, {10, 0, 0})));
    EXPECT_TRUE(isBackground(at(half, {30, 0, 0})));
    const Image later = draw(1.5f, "ondes-1.5");
    EXPECT_GT(brightness(at(later, {30, 0, 0})), 60);
    EXPECT_LT(brightness(at(later, {30, 0, 0})), brightness(at(half, {20, 0, 0})));

    // Turned 60 degrees about x, the rings are seen as flat ellipses.
    restartList();
    add("OndesRadio", {{"ObjetName", "Antenna"},
                       {"NBOndes", "3"},
                       {"XScale", "40"},
                       {"YScale", "40"},
                       {"Width", "3"},
                       {"RotateX", "60"}});
    const Image tilted = draw(1.0f, "ondes-tilted");
    EXPECT_FALSE(isBackground(at(tilted, {20, 0, 0})));
    EXPECT_TRUE(isBackground(at(tilted, {0, 19, 0})));
    EXPECT_TRUE(isBackground(at(tilted, {0, -19, 0})));
}

}  // namespace
}  // namespace vesta::test
