// A mesh blooming open and the frame seen in mercury, as pictures.

#include "ModifierPictureSupport.h"

namespace vesta::test {
namespace {

class MeshModifierPictureTest : public ModifierPictureTest {
protected:
    // How far from the origin's pixel the drawing reaches, in pixels.
    float reach(const Image& image) const {
        const auto [cx, cy] = screenOf({0, 0, 0});
        float farthest = 0.0f;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                if (!isBackground(image.At(x, y))) {
                    farthest = std::max(farthest, std::hypot(float(x - cx), float(y - cy)));
                }
            }
        }
        return farthest;
    }
};

TEST_F(MeshModifierPictureTest, ABudOpensStaysOpenAndFades) {
    CScene built;
    addViewer(built);
    AddMaterial(built, "Gold", {1.0f, 0.8f, 0.2f});
    // Hidden: only the bloom shows.
    AddBox(built, "Bud.Hide", {0, 0, 0}, {20, 20, 20}, "Gold");
    load(built);
    CModifier& bloom = add("Eclosion", {{"ObjetName", "Bud.Hide"},
                                        {"RisingTime", "1"},
                                        {"StableTime", "1"},
                                        {"FallingTime", "1"},
                                        {"AmplitudeX", "1"},
                                        {"AmplitudeY", "1"},
                                        {"AmplitudeZ", "1"},
                                        {"MaxIntensity", "1"}});
    EXPECT_FLOAT_EQ(bloom.LifeTime(), 3.0f);
    const Image closed = draw(0.0f, "eclosion-0.0");
    const Image open = draw(1.5f, "eclosion-1.5");
    const Image fading = draw(2.5f, "eclosion-2.5");
    const Image gone = draw(3.2f, "eclosion-3.2");
    // Closed, the bud is the box: gold in the middle, nothing past its sides.
    EXPECT_RGBA_NEAR(at(closed, {0, 0, 0}), 255, 204, 51, 255, 3);
    EXPECT_TRUE(isBackground(at(closed, {14, 0, 0})));
    // Open, each triangle stands off by its distance from the middle: the
    // pieces reach well past the box's outline.
    EXPECT_GT(reach(open), reach(closed) + 6.0f);
    EXPECT_GT(drawnPixels(open), drawnPixels(closed));
    // Falling halfway: the same pieces at half their opacity, one layer or
    // more of them over the background (1/2, 3/4, 7/8 of the gold).
    int gold = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (open.At(x, y).r > 250) {
                ++gold;
                EXPECT_GE(fading.At(x, y).r, 120) << x << "," << y;
                EXPECT_LE(fading.At(x, y).r, 232) << x << "," << y;
            }
        }
    }
    EXPECT_GT(gold, 300);
    EXPECT_EQ(drawnPixels(gone), 0);
}

TEST_F(MeshModifierPictureTest, UnfoldingPetalsAndAGrowingMeshDifferFromSlidingFaces) {
    CScene built;
    addViewer(built);
    AddMaterial(built, "Gold", {1.0f, 0.8f, 0.2f});
    AddBox(built, "Bud.Hide", {0, 0, 0}, {20, 20, 20}, "Gold");
    load(built);
    const Parameters shared = {{"ObjetName", "Bud.Hide"}, {"RisingTime", "2"},
                               {"StableTime", "2"},       {"AlphaType", "1"},
                               {"MaxIntensity", "0.5"},   {"Texture", "dot.png"}};
    Parameters petals = shared;
    petals.push_back({"Effect", "1"});
    add("Eclosion", petals);
    const Image unfolding = draw(1.0f, "eclosion-petals");
    restartList();
    Parameters growing = shared;
    growing.push_back({"Effect", "2"});
    growing.push_back({"SensX", "1"});
    growing.push_back({"Velocity", "10"});
    add("Eclosion", growing);
    // Half grown and drifted 10 to the right: the dot spans 5 around x = 10.
    const Image grown = draw(1.0f, "eclosion-growing");
    EXPECT_FALSE(isBackground(at(grown, {10, 0, -5})));
    EXPECT_TRUE(isBackground(at(grown, {-2, 0, -5})));
    EXPECT_TRUE(isBackground(at(grown, {0, 8, -5})));
    EXPECT_GT(differingPixels(unfolding, grown), 200);
}

TEST_F(MeshModifierPictureTest, MercuryBendsAndShadesTheSceneWhereItWas) {
    CScene built;
    addViewer(built);
    AddMaterial(built, "Red", {1.0f, 0.1f, 0.1f});
    AddBox(built, "Left", {-30, 0, 0}, {30, 60, 10}, "Red");
    load(built);
    const Image plain = draw(0.3f, "mercure-plain");
    add("Mercure", {{"WaveCountX", "6"},
                    {"WaveCountY", "4"},
                    {"Attenuation", "0.5"},
                    {"GridSize", "40"},
                    {"TextureSize", "128"}});
    const Image wavy = draw(0.3f, "mercure-rings");
    // The red stays on the left, the right stays background-coloured.
    EXPECT_GT(at(wavy, {-30, 0, 0}).r, 120);
    EXPECT_LT(at(wavy, {30, 0, 0}).r, 40);
    // Its edge wanders with the rings; the shading dims and brightens.
    EXPECT_GT(differingPixels(plain, wavy), 100);
    const Image later = draw(0.55f, "mercure-rings-later");
    EXPECT_GT(differingPixels(wavy, later), 50);
}

TEST_F(MeshModifierPictureTest, MercuryCrossedWavesGleamInTheSecondVariant) {
    CScene built;
    addViewer(built);
    AddMaterial(built, "Red", {1.0f, 0.1f, 0.1f});
    AddBox(built, "Left", {-30, 0, 0}, {30, 60, 10}, "Red");
    load(built);
    add("Mercure", {{"Effect", "1"}, {"WaveCountX", "3"}, {"WaveCountY", "2"}});
    const Image dull = draw(0.3f, "mercure-crossed");
    restartList();
    add("Mercure", {{"Effect", "1"}, {"WaveCountX", "3"}, {"WaveCountY", "2"}, {"Variant", "1"}});
    const Image gleaming = draw(0.3f, "mercure-crossed-gleam");
    int brighter = 0;
    int darker = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const int d = brightness(gleaming.At(x, y)) - brightness(dull.At(x, y));
            brighter += d > 30 ? 1 : 0;
            darker += d < -3 ? 1 : 0;
        }
    }
    EXPECT_GT(brighter, 200);
    EXPECT_EQ(darker, 0);
}

}  // namespace
}  // namespace vesta::test
