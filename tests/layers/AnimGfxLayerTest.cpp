// "AnimGFXLayer" and "Flash": picture lists, flip-book timing, the trail
// records, the cross-fade, and the additive flash.

#include "layers/AnimGfxLayer.h"

#include <algorithm>

#include "LayerTestSupport.h"
#include "layers/Flash.h"
#include "log/Log.h"

namespace vesta::test {
namespace {

using Params = std::vector<std::pair<std::string, std::string>>;
using Trail = std::array<CAnimGfxLayer::TrailRecord, CAnimGfxLayer::kTrailLength>;

class AnimGfxLayerTest : public LayerTest {
protected:
    CAnimGfxLayer& anim(Params extra) {
        Params parameters = {{"Texture", "a.png, b.png,c.png"},
                             {"SpeedAnim", "0.25"},
                             {"RisingTime", "1"},
                             {"StableTime", "1"},
                             {"FallingTime", "1"}};
        parameters.insert(parameters.end(), extra.begin(), extra.end());
        return make<CAnimGfxLayer>("AnimGFXLayer", parameters);
    }

    // Which of the layer's pictures each draw of the last frame showed.
    std::vector<int> shown(const CAnimGfxLayer& layer) const {
        std::vector<int> pictures;
        const auto& list = layer.Textures();
        for (const RecordedCall* draw : draws()) {
            const TextureHandle bound = draw->state.stages[0].texture;
            pictures.push_back(
                int(std::find_if(list.begin(), list.end(),
                                 [&](const Texture* t) { return t->Handle() == bound; }) -
                    list.begin()));
        }
        return pictures;
    }
};

TEST_F(AnimGfxLayerTest, KindsAreCreatedByNameInTheirPlaceOfTheList) {
    const auto order = CLayerFactory::Instance().NamesInRegistrationOrder();
    const auto place = [&](const char* name) {
        return std::find(order.begin(), order.end(), name) - order.begin();
    };
    ASSERT_LT(place("AnimGFXLayer"), std::ptrdiff_t(order.size()));
    EXPECT_LT(place("Flash"), place("GFXLayer"));
    EXPECT_LT(place("GFXLayer"), place("AnimGFXLayer"));
    CAnimGfxLayer& layer = anim({});
    EXPECT_STREQ(layer.GetClassName(), "CAnimGfxLayer");
    EXPECT_EQ(layer.GetName().rfind("Anim Gfx Layer [", 0), 0u);
    CFlash& flash = make<CFlash>("Flash", {});
    EXPECT_STREQ(flash.GetClassName(), "CFlash");
    EXPECT_EQ(flash.GetName().rfind("Flash Layer [", 0), 0u);
    EXPECT_EQ(layer.Textures().size(), 3u);
    EXPECT_EQ(layer.Textures()[2]->Name(), "c.png");
    // Parameters that only the still picture layer has.
    EXPECT_NE(
        EngineErrorOf([&] { layer.Set("Rotate", "1"); }).find("Could not find Parameter [Rotate]"),
        std::string::npos);
}

TEST_F(AnimGfxLayerTest, PicturesAndAlphaPicturesMustPair) {
    const std::string error = EngineErrorOf([&] { anim({{"AlphaTexture", "mask.png,mask.png"}}); });
    EXPECT_NE(error.find("Must have the same number of maps and alphamaps in ["),
              std::string::npos);
    EXPECT_NE(error.find("] (3 front and 2 alpha)"), std::string::npos);
    m_layers.clear();
    CAnimGfxLayer& paired = anim({{"AlphaTexture", "mask.png,mask.png,mask.png"}});
    EXPECT_EQ(paired.Textures()[1]->AlphaMapName(), "mask.png");
}

TEST_F(AnimGfxLayerTest, EffectIsReadAsANumberAndUnknownOnesKeepTheRoutine) {
    CAnimGfxLayer& layer = anim({{"Effect", "1"}});
    EXPECT_EQ(layer.Routine(), 1);
    EXPECT_TRUE(layer.Set("Effect", "7"));
    EXPECT_EQ(layer.GetAccessorText("Effect"), "1");
    layer.Set("Effect", "2.9");
    EXPECT_EQ(layer.GetAccessorText("Effect"), "2");
}

TEST_F(AnimGfxLayerTest, RoutineZeroFlipsEverySpeedAnimAndHoldsTheLastWhileFading) {
    CAnimGfxLayer& layer = anim({});
    std::vector<int> pictures;
    for (const float age : {0.0f, 0.2f, 0.3f, 0.5f, 0.6f, 0.9f, 1.2f}) {
        frame(layer, age);
        pictures.push_back(shown(layer).at(0));
    }
    EXPECT_EQ(pictures, (std::vector<int>{0, 0, 1, 1, 2, 0, 1}));
    frame(layer, 2.0f);
    frame(layer, 2.5f);  // falling, AnimDuringFade 0
    EXPECT_EQ(shown(layer), std::vector<int>{2});
    EXPECT_EQ(AlphaOf(module.Last("Draw")->vertices[0]), 127u);
}

TEST_F(AnimGfxLayerTest, AnimDuringFadeAndFadeOutOff) {
    CAnimGfxLayer& layer = anim({{"AnimDuringFade", "1"}, {"FadeOutOff", "1"}, {"XScaleEnd", "1"}});
    frame(layer, 1.9f);
    const int before = layer.Picture();
    frame(layer, 2.2f);
    EXPECT_EQ(layer.Picture(), (before + 1) % 3);
    EXPECT_EQ(AlphaOf(module.Last("Draw")->vertices[0]), 255u);
    EXPECT_NEAR(extentOf(*module.Last("Draw")).x1, 0.4f, 1e-5);  // End rule while falling
}

TEST_F(AnimGfxLayerTest, RoutineOneKeepsTrailRecordsAndDrawsThemFading) {
    CAnimGfxLayer& layer = anim({{"Effect", "1"}});
    frame(layer, 0.3f);  // rising: a change fills every record with (−1, new picture)
    EXPECT_EQ(layer.Picture(), 1);
    EXPECT_EQ(layer.Trail(), (Trail{{{-1, 1}, {-1, 1}, {-1, 1}, {-1, 1}}}));
    EXPECT_EQ(AlphaOf(module.Last("Draw")->vertices[0]), 76u);  // 0.3 × 255, no flicker
    frame(layer, 1.5f);  // stable: the picture shown goes into the first record
    EXPECT_EQ(layer.Trail(), (Trail{{{1.5f, 1}, {-1, 1}, {-1, 1}, {-1, 1}}}));
    EXPECT_EQ(layer.Picture(), 2);
    EXPECT_EQ(draws().size(), 1u);  // no trail before the fall
    EXPECT_EQ(extentOf(onlyDraw()).x1, 0.5f);
    frame(layer, 2.0f);  // the fall's first instant is still at 1
    EXPECT_EQ(layer.Trail(), (Trail{{{2.0f, 2}, {1.5f, 1}, {1.5f, 1}, {1.5f, 1}}}));
    frame(layer, 2.3f);  // falling, a change due: the rest copy the first record
    EXPECT_EQ(layer.Trail(), (Trail{{{2.3f, 0}, {2.0f, 2}, {2.0f, 2}, {2.0f, 2}}}));
    // The copies are older than one SpeedAnim: their factor is below 0 and
    // they are not drawn.
    EXPECT_EQ(shown(layer), (std::vector<int>{1, 0}));
    EXPECT_EQ(AlphaOf(draws()[1]->vertices[0]), 204u);  // just shown: c = 1
    EXPECT_EQ(AlphaOf(draws()[0]->vertices[0]), 178u);  // the picture itself: 0.7 × 255
    for (int n = 0; n < 4; ++n) {
        EXPECT_EQ(draws()[1]->vertices[n].x, draws()[0]->vertices[n].x);
    }
    frame(layer, 2.4f);
    EXPECT_EQ(shown(layer), (std::vector<int>{1, 0}));
    EXPECT_EQ(AlphaOf(draws()[1]->vertices[0]), 122u);  // c = 1 − 0.1 / 0.25
    frame(layer, 2.5f);
    EXPECT_EQ(AlphaOf(draws()[1]->vertices[0]), 40u);  // c = 0.2
    EXPECT_EQ(draws()[1]->vertices[0].diffuse & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(AnimGfxLayerTest, RoutineOneTrailIsDrawnOnlyWhileItsTimeIsWithinThePictureCount) {
    const auto trailDraws = [&](const char* pictures) {
        CAnimGfxLayer& layer = make<CAnimGfxLayer>("AnimGFXLayer", {{"Texture", pictures},
                                                                    {"SpeedAnim", "0.5"},
                                                                    {"Effect", "1"},
                                                                    {"RisingTime", "0.5"},
                                                                    {"StableTime", "1"},
                                                                    {"FallingTime", "2"}});
        std::vector<std::size_t> counts;
        for (const float age : {0.6f, 1.2f, 1.8f, 2.1f, 2.4f, 2.6f}) {
            frame(layer, age);
            counts.push_back(draws().size());
        }
        EXPECT_EQ(layer.Trail()[0].time, 2.4f);
        return counts;
    };
    // The record shown at 2.4 still fades at 2.6 (factor 0.6), but with two
    // pictures its time is past the count and it is not drawn; older records
    // are past their fade.
    EXPECT_EQ(trailDraws("a.png,b.png"), (std::vector<std::size_t>{1, 1, 2, 2, 1, 1}));
    EXPECT_EQ(trailDraws("a.png,b.png,c.png"), (std::vector<std::size_t>{1, 1, 2, 2, 2, 2}));
}

TEST_F(AnimGfxLayerTest, RoutineOneAdditiveTrailUsesTheMaterial) {
    CAnimGfxLayer& layer = anim({{"Effect", "1"}, {"AlphaType", "1"}});
    frame(layer, 1.9f);
    frame(layer, 2.5f);
    ASSERT_EQ(draws().size(), 2u);
    EXPECT_FLOAT_EQ(draws()[1]->state.material.diffuse.r, 1.0f * 0.5f * 0.8f);
    EXPECT_TRUE(draws()[1]->state.lighting);
    EXPECT_EQ(draws()[1]->vertices[0].diffuse, 0x00FFFFFFu);
}

TEST_F(AnimGfxLayerTest, RoutineTwoCrossFadesIntoTheNextPicture) {
    CAnimGfxLayer& layer = anim({{"Effect", "2"}, {"SpeedAnim", "1"}});
    frame(layer, 1.5f);  // a change at 1.5, then a quarter of the way to the next
    frame(layer, 1.75f);
    EXPECT_EQ(shown(layer), (std::vector<int>{1, 2}));
    const auto found = draws();
    EXPECT_EQ(AlphaOf(found[0]->vertices[0]), 255u);
    EXPECT_EQ(AlphaOf(found[1]->vertices[0]), 63u);
}

TEST_F(AnimGfxLayerTest, FlashBrightensTheWholeScreenAdditively) {
    CFlash& flash = make<CFlash>("Flash", {{"RisingTime", "1"}, {"FallingTime", "1"}});
    frame(flash, 1.5f);
    const RecordedCall& draw = onlyDraw();
    EXPECT_EXTENT(draw, -0.5f, 0.5f, -0.5f, 0.5f);
    EXPECT_FLOAT_EQ(draw.vertices[0].u0, 0.998f);
    EXPECT_FLOAT_EQ(draw.vertices[3].v0, 0.002f);
    const RenderState& s = draw.state;
    EXPECT_FLOAT_EQ(s.material.emissive.r, 0.5f);
    EXPECT_EQ(s.blend, (BlendState{true, BlendFactor::One, BlendFactor::One}));
    EXPECT_FALSE(s.depth.enabled);
    EXPECT_TRUE(s.lighting);
    EXPECT_EQ(s.projection, OrthographicMatrix(1, 1, 1, -1));
    // Afterwards: lighting and blending off, the layers' saved states back.
    EXPECT_FALSE(module.LightingEnabled());
    EXPECT_FALSE(module.State().blend.enabled);
    EXPECT_TRUE(module.State().depth.enabled);
    EXPECT_EQ(module.State().cull, CullMode::None);
}

}  // namespace
}  // namespace vesta::test
