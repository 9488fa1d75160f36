// The kinds that draw over, into or around the frame, seen through the
// OpenGL module: each picture is written as modifier-NAME.png.

#include <algorithm>

#include "PlayerPictureSupport.h"
#include "render/RenderModule.h"

namespace vesta::test {
namespace {

constexpr int kCentreX = ModifierPictureTest::kWidth / 2;
constexpr int kCentreY = ModifierPictureTest::kHeight / 2;

// The lit front of the red box and the green wall behind it, as drawn.
bool isBox(const Rgba& p) {
    return p.r > 200 && p.g < 60 && p.b < 60;
}
bool isWall(const Rgba& p) {
    return p.g > 150 && p.r < 40 && p.b < 40;
}

// Pixels that differ from the same place of `other` by more than `tolerance`.
int DifferingPixels(const Image& a, const Image& b, int tolerance) {
    int count = 0;
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            const Rgba q = b.At(x, y);
            count += Distance(a.At(x, y), q.r, q.g, q.b) > tolerance ? 1 : 0;
        }
    }
    return count;
}

// Pixels of neither the box's nor the wall's colour: soft edges and mixtures.
int MixedPixels(const Image& image) {
    int count = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const Rgba p = image.At(x, y);
            count += isBox(p) || isWall(p) ? 0 : 1;
        }
    }
    return count;
}

class SceneWidePictureTest : public ModifierPictureTest {
protected:
    Image stage(const std::string& name, std::vector<CLayerOperation> modifiers = {},
                float seconds = 0.5f) {
        CScene built;
        BuildStage(built);
        CMDLPlayer& layer = player(built, std::move(modifiers));
        // A frame before: kinds drawing ahead of the scene see where it was.
        draw(layer, seconds - 0.1f, name + "-before");
        return draw(layer, seconds, name);
    }
};

TEST_F(SceneWidePictureTest, TheStageAloneAndWithAVolumetricMeshLookTheSame) {
    const Image plain = stage("stage");
    EXPECT_TRUE(isBox(plain.At(kCentreX, kCentreY)));
    EXPECT_TRUE(isWall(plain.At(2, 2)));
    const Image volumetric = stage("volumetric", {Modifier("Volumetric", {{"Object", "Box"}})});
    EXPECT_EQ(DifferingPixels(plain, volumetric, 0), 0);
}

TEST_F(SceneWidePictureTest, LensDeformSwirlsTheFrameAndKeepsItsMiddle) {
    const Image plain = stage("stage");
    const Image early = stage("lens-0.1", {Modifier("LensDeform")}, 0.1f);
    const Image late = stage("lens-1.0", {Modifier("LensDeform")}, 1.0f);
    for (const Image* lens : {&early, &late}) {
        EXPECT_TRUE(isBox(lens->At(kCentreX, kCentreY)));
        // The lens hides nothing: box and wall still fill the frame.
        EXPECT_EQ(MixedPixels(*lens) < kWidth * kHeight / 10, true);
        EXPECT_GT(DifferingPixels(plain, *lens, 60), 40);
    }
    // The swirl turns with time.
    EXPECT_GT(DifferingPixels(early, late, 60), 20);
}

TEST_F(SceneWidePictureTest, SceneBlurTintsAndSoftensTowardsTheCorners) {
    const Image plain = stage("stage");
    const Image blurred = stage("scene-blur", {Modifier("SceneBlur", {{"BorderColor", "0,0,255"},
                                                                      {"BorderAlpha", "1.0"},
                                                                      {"TextureSize", "16"}})});
    // Clear in the middle, the blue-tinted copy (green times blue: dark) at the corners.
    EXPECT_RGBA_NEAR(blurred.At(kCentreX, kCentreY), plain.At(kCentreX, kCentreY).r,
                     plain.At(kCentreX, kCentreY).g, plain.At(kCentreX, kCentreY).b, 255, 12);
    EXPECT_LT(blurred.At(1, 1).g, 40);
    EXPECT_LT(blurred.At(kWidth - 2, kHeight - 2).g, 40);
    // Half way out, half of each.
    const Rgba halfway = blurred.At(kWidth / 4, kHeight / 4);
    EXPECT_GT(halfway.g, 60);
    EXPECT_LT(halfway.g, 200);
}

// Drawn last first: the blur lays its copy over the screen, then the glow
// is drawn through the scene's camera, which the blur must leave in place.
TEST_F(SceneWidePictureTest, AClearSceneBlurChangesNothingDrawnAfterIt) {
    const std::vector<CLayerOperation> glow = {
        Modifier("GlowEffect", {{"ObjetName", "Box"}, {"XScale", "1.2"}, {"YScale", "1.2"}})};
    std::vector<CLayerOperation> both = glow;
    both.push_back(Modifier("SceneBlur", {{"BorderAlpha", "0"}, {"TextureSize", "16"}}));
    const Image plain = stage("stage");
    const Image glowing = stage("glow-alone", glow);
    const Image blurred = stage("glow-after-blur", both);
    ASSERT_GT(DifferingPixels(plain, glowing, 30), 40);
    EXPECT_LT(DifferingPixels(glowing, blurred, 12), 10);
}

// A white bar across the far wall gives the far picture edges to soften.
void buildDepthStage(CScene& scene) {
    ModifierPictureTest::BuildStage(scene);
    AddMaterial(scene, "White", {1.0f, 1.0f, 1.0f});
    AddBox(scene, "Bar", {40, 0, 190}, {30, 400, 2}, "White");
    CountGeometry(scene);
}

TEST_F(SceneWidePictureTest, FocalDepthSoftensWhatLiesBeyondTheMiddleOnly) {
    CScene built;
    buildDepthStage(built);
    CMDLPlayer& sharp = player(built, {});
    const Image plain = draw(sharp, 0.5f, "focal-off");
    CMDLPlayer& split =
        player(built, {Modifier("FocalDepth", {{"TextureSize", "16"}, {"Middle", "80"}})});
    draw(split, 0.4f, "focal-before");
    const Image focal = draw(split, 0.5f, "focal-on");
    // The box, nearer than Middle, stays sharp over the soft far part.
    EXPECT_TRUE(isBox(focal.At(kCentreX, kCentreY)));
    EXPECT_EQ(focal.At(kCentreX, kCentreY).r, plain.At(kCentreX, kCentreY).r);
    // The bar's edges on the wall bleed into each other far more than they do sharp.
    auto barEdge = [](const Image& image) {
        int mixed = 0;
        for (int x = 0; x < kWidth; ++x) {
            const Rgba p = image.At(x, 4);
            const bool bar = p.r > 180 && p.g > 180;
            mixed += bar || isWall(p) ? 0 : 1;
        }
        return mixed;
    };
    EXPECT_LE(barEdge(plain), 2);
    EXPECT_GE(barEdge(focal), 4);
    // The player's planes and the scene's culling are as they were afterwards.
    EXPECT_EQ(gl.NearPlane(), 1.0f);
    EXPECT_EQ(gl.FarPlane(), 1000.0f);
    EXPECT_TRUE(split.Scene().cullNearPlane);
    EXPECT_TRUE(split.Scene().cullFarPlane);
}

}  // namespace
}  // namespace vesta::test

namespace vesta::test {
namespace {

class SpriteKindsPictureTest : public SceneWidePictureTest {
protected:
    void SetUp() override {
        SceneWidePictureTest::SetUp();
        WriteGlowPictures();
    }
    static Parameters sprites(const std::string& object, const std::string& scale,
                              const std::string& renderType) {
        return {{"ObjetName", object},  {"Texture", "white.png"}, {"AlphaTexture", "round.png"},
                {"XScale", scale},      {"YScale", scale},        {"RenderType", renderType},
                {"MaxIntensity", "1.0"}};
    }
};

TEST_F(SpriteKindsPictureTest, Glow2SpreadsLightAroundTheMeshOrItsCorners) {
    const Image plain = stage("stage");
    const Image whole = stage("glow2-centre", {Modifier("Glow2", sprites("Box", "50", "0"))});
    // The glow brightens the wall round the box and fades out towards the rim.
    const Rgba beside = whole.At(kCentreX + 22, kCentreY);
    EXPECT_GT(beside.r, plain.At(kCentreX + 22, kCentreY).r + 60);
    EXPECT_TRUE(isWall(whole.At(1, 1)));
    const Image corners = stage("glow2-vertices", {Modifier("Glow2", sprites("Box", "8", "1"))});
    // A sprite on each corner of the front face, none in the middle.
    EXPECT_EQ(DifferingPixels(plain, corners, 0) > 0, true);
    EXPECT_RGBA_NEAR(corners.At(kCentreX, kCentreY), 245, 25, 25, 255, 6);
    EXPECT_GT(corners.At(kCentreX - 16, kCentreY - 16).g, 150);
}

TEST_F(SpriteKindsPictureTest, Glow2DrawsNothingWhileItsMeshIsOutOfView) {
    CScene built;
    BuildStage(built);
    AddBox(built, "Aside", {900, 0, 0}, {10, 10, 10}, "Red");
    CountGeometry(built);
    const Image plain = draw(player(built, {}), 0.5f, "glow2-aside-off");
    const Image glow = draw(player(built, {Modifier("Glow2", sprites("Aside", "4000", "0"))}), 0.5f,
                            "glow2-aside");
    EXPECT_EQ(DifferingPixels(plain, glow, 0), 0);
}

TEST_F(SpriteKindsPictureTest, DepthEffectHaloesBehindTheMeshFadingWithDistance) {
    const Image plain = stage("stage");
    Parameters halo = sprites("Box", "60", "0");
    halo.push_back({"MaxZ", "200"});
    const Image near = stage("depth-effect", {Modifier("DepthEffect", halo)});
    // Drawn before the scene: the box covers it, the wall round it brightens.
    EXPECT_RGBA_NEAR(near.At(kCentreX, kCentreY), 245, 25, 25, 255, 6);
    const int lifted = near.At(kCentreX + 20, kCentreY).r - plain.At(kCentreX + 20, kCentreY).r;
    EXPECT_GT(lifted, 40);
    // The halo stands 60 from the eye: MaxZ 100 leaves less of it, MaxZ 50 none.
    halo.back().second = "100";
    const Image farther = stage("depth-effect-100", {Modifier("DepthEffect", halo)});
    const int fainter = farther.At(kCentreX + 20, kCentreY).r - plain.At(kCentreX + 20, kCentreY).r;
    EXPECT_GT(fainter, 5);
    EXPECT_LT(fainter, lifted);
    halo.back().second = "50";
    EXPECT_EQ(DifferingPixels(plain, stage("depth-effect-50", {Modifier("DepthEffect", halo)}), 0),
              0);
}

TEST_F(SceneWidePictureTest, RaysBurstFromTheObjectsVertices) {
    CScene built;
    BuildStage(built);
    AddBox(built, "Star.UserRead", {0, 0, -20}, {6, 6, 6}, "Red");
    CountGeometry(built);
    const Image plain = draw(player(built, {}), 0.5f, "rays-off");
    const Image rays = draw(player(built, {Modifier("Rays", {{"Object", "Star.UserRead"},
                                                             {"Color", "255,255,0"},
                                                             {"RayPercentage", "100"},
                                                             {"RaySize", "25"},
                                                             {"RaySizeDelta", "3"}})}),
                            0.5f, "rays");
    // Yellow added over the box and the wall, beyond the small box's outline.
    int lit = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            lit += rays.At(x, y).r > plain.At(x, y).r + 40 ? 1 : 0;
        }
    }
    EXPECT_GT(lit, 150);
    EXPECT_TRUE(isWall(rays.At(1, 1)));
}

TEST_F(SceneWidePictureTest, MeshContourOutlinesTheSilhouetteOnly) {
    CScene built;
    BuildStage(built);
    // Seen from above and to the side, three faces of the box show.
    built.cameras.front()->position = {45, 35, -50, 0};
    CMDLPlayer& plainPlayer = player(built, {});
    const Image plain = draw(plainPlayer, 0.5f, "contour-off");
    const Image outlined =
        draw(player(built, {Modifier("MeshContour", {{"Object", "Box"}})}), 0.5f, "contour");
    // Every changed pixel lies on the box's outline (with the box's faces
    // on one side and the background on the other); the edges between the
    // box's own faces are left alone.
    auto onBox = [&](int x, int y) {
        const Rgba p = plain.At(std::clamp(x, 0, kWidth - 1), std::clamp(y, 0, kHeight - 1));
        return (p.r > 150 && p.g < 60) || p.r + p.g + p.b < 20;
    };
    int changed = 0;
    int onOutline = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const Rgba q = plain.At(x, y);
            if (Distance(outlined.At(x, y), q.r, q.g, q.b) <= 60) {
                continue;
            }
            ++changed;
            bool box = false;
            bool outside = false;
            for (int dy = -2; dy <= 2; ++dy) {
                for (int dx = -2; dx <= 2; ++dx) {
                    (onBox(x + dx, y + dy) ? box : outside) = true;
                }
            }
            onOutline += box && outside ? 1 : 0;
        }
    }
    EXPECT_GT(changed, 80);
    EXPECT_EQ(onOutline, changed);
    // Faces stay clear inside the outline.
    EXPECT_EQ(outlined.At(kCentreX, kCentreY).r, plain.At(kCentreX, kCentreY).r);
}

}  // namespace
}  // namespace vesta::test
