// "ParticlesLayer", "RayLayer", "ParasitesLayer" and "InfiniteZoom": their
// parameters, the particle drift and rebirth, the rays' corners, the
// interference, and the zoom's picture list.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "LayerTestSupport.h"
#include "layers/InfiniteZoom.h"
#include "layers/LayerMath.h"
#include "layers/ParasitesLayer.h"
#include "layers/ParticlesLayer.h"
#include "layers/RayLayer.h"

namespace vesta::test {
namespace {

using Params = std::vector<std::pair<std::string, std::string>>;

class FurtherLayersTest : public LayerTest {};

TEST_F(FurtherLayersTest, EveryListedParameterIsAcceptedAndEachKindPlays) {
    const Params envelope = {{"RisingTime", "0.5"}, {"StableTime", "1"}, {"FallingTime", "0.5"}};
    const std::vector<std::pair<const char*, Params>> kinds = {
        {"ParticlesLayer",
         {{"Effect", "3"},
          {"AlphaType", "0"},
          {"NBParticle", "20"},
          {"AlphaTexture", "mask.png"},
          {"Texture", "a.png"},
          {"AmplitudeX", "1"},
          {"AmplitudeY", "1"},
          {"AmplitudeZ", "1"},
          {"MaxIntensity", "1"},
          {"SensX", "0.1"},
          {"SensY", "0.2"},
          {"SensZ", "0.3"},
          {"LifeTimeParticules", "1"},
          {"Gravity", "1"},
          {"XScale", "0.2"},
          {"YScale", "0.2"},
          {"Velocity", "10"},
          {"Radius", "0.03"},
          {"SourceParticle", "0,0.1,0"}}},
        {"RayLayer",
         {{"AlphaTexture", "mask.png"},
          {"Texture", "a.png"},
          {"XOffset", "0.1"},
          {"YOffset", "0.1"},
          {"XScale", "1"},
          {"YScale", "1"},
          {"IntensityEffect", "0.5"},
          {"AlphaType", "1"},
          {"Effect", "0"}}},
        {"ParasitesLayer",
         {{"AlphaType", "0"},
          {"AlphaTexture", "mask.png"},
          {"Texture", "a.png"},
          {"Effect", "2"},
          {"XOffset", "0.1"},
          {"YOffset", "0"},
          {"XScale", "1"},
          {"YScale", "1"},
          {"EffectIntensity", "0.5"},
          {"Intensity", "1"}}},
        {"InfiniteZoom",
         {{"Effect", "1"},
          {"AlphaType", "0"},
          {"AlphaTexture", "mask.png,mask.png"},
          {"Texture", "a.png,b.png"},
          {"XOffset", "0"},
          {"YOffset", "0"},
          {"XScale", "1"},
          {"YScale", "1"},
          {"XOffsetStart", "0.1"},
          {"YOffsetStart", "0.1"},
          {"XScaleStart", "0.1"},
          {"YScaleStart", "0.1"},
          {"XOffsetEnd", "0.1"},
          {"YOffsetEnd", "0.1"},
          {"XScaleEnd", "0.1"},
          {"YScaleEnd", "0.1"},
          {"SpeedAnim", "0.5"},
          {"Rotate", "1"},
          {"Scintille", "10"},
          {"Vibration", "0.1"}}},
    };
    for (const auto& [kind, parameters] : kinds) {
        SCOPED_TRACE(kind);
        Params all = envelope;
        all.insert(all.end(), parameters.begin(), parameters.end());
        CLayer& layer = make<CLayer>(kind, all);
        for (const float age : {0.25f, 1.0f, 1.75f}) {
            frame(layer, age);
            EXPECT_FALSE(draws().empty());
        }
        EXPECT_NE(EngineErrorOf([&] {
                      layer.Set("Txture", "x");
                  }).find("Could not find Parameter [Txture]"),
                  std::string::npos);
    }
    EXPECT_EQ(make<CRayLayer>("RayLayer", {{"Texture", "a.png"}}).GetName().rfind("Ray Layer [", 0),
              0u);
    EXPECT_EQ(make<CParasitesLayer>("ParasitesLayer", {{"Texture", "a.png"}})
                  .GetName()
                  .rfind("Parasites Layer [", 0),
              0u);
    EXPECT_EQ(make<CInfiniteZoom>("InfiniteZoom", {{"Texture", "a.png"}})
                  .GetName()
                  .rfind("InfiniteZoom Gfx Layer [", 0),
              0u);
    EXPECT_EQ(make<CParticlesLayer>("ParticlesLayer", {{"Texture", "a.png"}}).GetName(), "");
    const auto order = CLayerFactory::Instance().NamesInRegistrationOrder();
    const auto place = [&](const char* name) {
        return std::find(order.begin(), order.end(), name) - order.begin();
    };
    EXPECT_LT(place("RayLayer"), place("ParasitesLayer"));
    EXPECT_LT(place("ParasitesLayer"), place("InfiniteZoom"));
    EXPECT_LT(place("AnimGFXLayer"), place("ParticlesLayer"));
}

class ParticlesTest : public LayerTest {
protected:
    CParticlesLayer& particles(Params extra) {
        Params parameters = {{"Texture", "a.png"},
                             {"Effect", "1"},
                             {"NBParticle", "2"},
                             {"XScale", "0.5"},
                             {"YScale", "0.25"},
                             {"AmplitudeX", "2"},
                             {"AmplitudeY", "3"},
                             {"MaxIntensity", "0.8"},
                             {"LifeTimeParticules", "2"},
                             {"SensZ", "4"},
                             {"SourceParticle", "0.2,-0.1,0.5"},
                             {"Radius", "0.1"},
                             {"RisingTime", "1"},
                             {"StableTime", "10"}};
        parameters.insert(parameters.end(), extra.begin(), extra.end());
        CParticlesLayer& layer = make<CParticlesLayer>("ParticlesLayer", parameters);
        // A known first particle: born at 1, living 2 seconds.
        CParticlesLayer::Particle& p = layer.Particles()[0];
        p.spawn = {0.1f, -0.2f, 0.3f};
        p.zSpeed = 0.5f;
        p.rotationSpeed = 0.25f;
        p.size = 1.5f;
        p.birth = 1.0f;
        p.lifetime = 2.0f;
        return layer;
    }
};

TEST_F(ParticlesTest, RoutineOneDriftsTurnsAndFadesEachParticle) {
    CParticlesLayer& layer = particles({});
    frame(layer, 1.5f);
    ASSERT_EQ(draws().size(), 1u);
    const RecordedCall& draw = *draws()[0];
    ASSERT_EQ(draw.vertices.size(), 8u);
    EXPECT_EQ(draw.indices, (std::vector<std::uint16_t>{0, 1, 2, 2, 1, 3, 4, 5, 6, 6, 5, 7}));
    // f = 0.5: fade (2 − 0.5) ÷ 2; the drift moves by 4f × the spawn × amplitude.
    const float f = 0.5f;
    const float x = 0.1f + 4 * f * 0.1f * 2;
    const float y = -0.2f + 4 * f * -0.2f * 3;
    const float z = 0.3f + 4 * f * 0.5f;
    const float r = 0.25f * 1.5f;
    const std::uint32_t c = std::uint32_t(0.75f * 0.8f * 1.0f * 255.0f);
    const float corners[4][2] = {{1, -1}, {1, 1}, {-1, -1}, {-1, 1}};
    for (int k = 0; k < 4; ++k) {
        const float cx = corners[k][0] * 0.5f;
        const float cy = corners[k][1] * 0.25f;
        const RenderVertex& v = draw.vertices[k];
        EXPECT_NEAR(v.x, (std::cos(r) * cx + std::sin(r) * cy) * 0.5f * 1.5f + x, 1e-5);
        EXPECT_NEAR(v.y, (std::cos(r) * cy - std::sin(r) * cx) * 0.25f * 1.5f + y, 1e-5);
        EXPECT_NEAR(v.z, z, 1e-5);
        EXPECT_EQ(v.diffuse, c * 0x01010101u);
    }
    EXPECT_FLOAT_EQ(draw.vertices[0].u0, 0.998f);
    EXPECT_FLOAT_EQ(draw.vertices[3].v0, 0.002f);
    EXPECT_EQ(draw.state.blend,
              (BlendState{true, BlendFactor::SrcAlpha, BlendFactor::InvSrcAlpha}));
    EXPECT_FALSE(draw.state.depth.enabled);
    EXPECT_EQ(layer.Particles()[0].birth, 1.0f);  // still alive
}

TEST_F(ParticlesTest, ParticlesPastTheirLifetimeAreDrawnOnceMoreAtFadeZeroThenBornAgain) {
    CParticlesLayer& layer = particles({});
    for (CParticlesLayer::Particle& p : layer.Particles()) {
        p.birth = 0.0f;
        p.lifetime = 0.5f;
    }
    frame(layer, 3.0f);
    for (const RenderVertex& v : onlyDraw().vertices) {
        EXPECT_EQ(v.diffuse, 0u);
    }
    // The corners were placed by the old records: f = 3 from the old spawn.
    EXPECT_NEAR(onlyDraw().vertices[0].z, 0.3f + 4 * 3.0f * 0.5f, 1e-5);
    for (const CParticlesLayer::Particle& p : layer.Particles()) {
        EXPECT_EQ(p.birth, 3.0f);
        EXPECT_GE(p.lifetime, 1.0f);  // LifeTimeParticules − up to half of it
        EXPECT_LE(p.lifetime, 2.0f);
        EXPECT_GE(p.fade, 0.8f);
        EXPECT_GE(p.size, 1.0f);
        EXPECT_LT(p.size, 2.0f);
        EXPECT_GE(p.zSpeed, 0.0f);
        EXPECT_LT(p.zSpeed, 4.0f);
        EXPECT_GE(p.rotationSpeed, -0.5f);
        EXPECT_LT(p.rotationSpeed, 0.5f);
        EXPECT_NEAR(std::hypot(p.spawn.x - 0.2f, p.spawn.y + 0.1f), 0.1f, 1e-5);
        EXPECT_EQ(p.spawn.z, 0.5f);
    }
    frame(layer, 3.0f);  // newly born: fade 1 and full colour
    EXPECT_EQ(AlphaOf(onlyDraw().vertices[0]), std::uint32_t(0.8f * 255.0f));
}

TEST_F(ParticlesTest, AdditiveParticlesCarryTheirFadeInTheirOwnMaterial) {
    CParticlesLayer& layer = particles({{"AlphaType", "1"}});
    layer.Particles()[1] = layer.Particles()[0];
    layer.Particles()[1].birth = 1.5f;
    frame(layer, 1.5f);
    ASSERT_EQ(draws().size(), 2u);
    EXPECT_EQ(draws()[0]->draw.primitive, PrimitiveType::TriangleStrip);
    EXPECT_FLOAT_EQ(draws()[0]->state.material.emissive.r, 0.75f * 0.8f);
    EXPECT_EQ(draws()[0]->vertices[0].diffuse, 0u);  // integer part of the fade: 0
    EXPECT_FLOAT_EQ(draws()[1]->state.material.emissive.r, 0.8f);
    EXPECT_EQ(draws()[1]->vertices[0].diffuse, std::uint32_t(0.8f * 255.0f) * 0x00010101u);
    EXPECT_EQ(draws()[1]->state.blend, (BlendState{true, BlendFactor::One, BlendFactor::One}));
    EXPECT_TRUE(draws()[1]->state.lighting);
}

TEST_F(ParticlesTest, StartPutsAStreamInFlightAndTheDesignedRoutinesMoveAwayFromTheSource) {
    for (const char* effect : {"0", "2", "3", "4", "5", "6"}) {
        SCOPED_TRACE(effect);
        CParticlesLayer& layer = make<CParticlesLayer>("ParticlesLayer", {{"Texture", "a.png"},
                                                                          {"Effect", effect},
                                                                          {"NBParticle", "200"},
                                                                          {"SensY", "1"},
                                                                          {"StableTime", "9"}});
        float spread = 0.0f;
        for (const CParticlesLayer::Particle& p : layer.Particles()) {
            EXPECT_LE(p.birth, 0.0f);
            EXPECT_GE(p.birth, -p.lifetime);
        }
        frame(layer, 0.5f);
        for (const RenderVertex& v : onlyDraw().vertices) {
            spread = std::max(spread, std::hypot(v.x, v.y));
            EXPECT_LT(std::fabs(v.x), 3.0f);
            EXPECT_LT(std::fabs(v.y), 3.0f);
        }
        EXPECT_GT(spread, 0.1f);
    }
}

TEST_F(FurtherLayersTest, RaysWithoutIntensityEffectCollapseOnTheCentrePlusTheOffsets) {
    CRayLayer& layer = make<CRayLayer>("RayLayer", {{"Texture", "a.png"},
                                                    {"IntensityEffect", "0"},
                                                    {"XOffset", "0.3"},
                                                    {"YOffset", "-0.2"},
                                                    {"StableTime", "5"}});
    frame(layer, 1.0f);
    ASSERT_EQ(draws().size(), 10u);
    for (const RecordedCall* draw : draws()) {
        ASSERT_EQ(draw->vertices.size(), 4u);
        for (const RenderVertex& v : draw->vertices) {
            EXPECT_NEAR(v.x, 0.3f, 1e-6);
            EXPECT_NEAR(v.y, -0.2f, 1e-6);
            EXPECT_NEAR(v.z, 0.0f, 1e-6);
        }
        EXPECT_EQ(draw->state.blend, (BlendState{true, BlendFactor::One, BlendFactor::One}));
        EXPECT_EQ(draw->state.view, module.ViewMatrix());
    }
}

TEST_F(FurtherLayersTest, RaysStretchTurnAndPulseByTheirRecords) {
    CRayLayer& layer = make<CRayLayer>(
        "RayLayer",
        {{"Texture", "a.png"}, {"XScale", "0.5"}, {"IntensityEffect", "2"}, {"StableTime", "5"}});
    for (CRayLayer::Ray& ray : layer.Rays()) {
        ray.rotationSpeed = 0.5f;
        ray.lengthFactor = 0.4f;
        ray.x = 6.5f;
    }
    frame(layer, 1.0f);
    ASSERT_EQ(draws().size(), 10u);
    EXPECT_EQ(layer.Rays()[0].x, -6.0f);  // wrapped at 6
    for (int n = 0; n < 10; ++n) {
        const float w = float(n) + 1.0f;
        const float sx = 0.4f * 2 * 10 + std::sin(w);
        const float sy = 0.4f + std::cos(w);
        const float x = sx * 0.5f * 2;  // corner 0: (0.5 × 1, −1)
        const float y = sy * -1 * 2;
        const RenderVertex& v = draws()[std::size_t(n)]->vertices[0];
        // The view of a camera on −z looking at the origin does not turn.
        EXPECT_NEAR(v.x, std::cos(0.5f) * x + std::sin(0.5f) * y, 1e-4);
        EXPECT_NEAR(v.y, std::cos(0.5f) * y - std::sin(0.5f) * x, 1e-4);
        // Brightness: up to 0.08 of flicker over |sin w| × 0.4, in all four bytes.
        const std::uint32_t c = v.diffuse & 0xFF;
        EXPECT_EQ(v.diffuse, c * 0x01010101u);
        EXPECT_GE(c + 1, std::uint32_t(std::fabs(std::sin(w)) * 0.4f * 255.0f));
        EXPECT_LE(c, std::uint32_t((std::fabs(std::sin(w)) * 0.4f + 0.08f) * 255.0f));
    }
    layer.Set("Effect", "1");
    frame(layer, 1.5f);
    EXPECT_TRUE(draws().empty());
}

TEST_F(FurtherLayersTest, ParasitesWithoutEffectIntensityStandStillAtFullAlpha) {
    CParasitesLayer& layer = make<CParasitesLayer>("ParasitesLayer", {{"Texture", "a.png"},
                                                                      {"EffectIntensity", "0"},
                                                                      {"Intensity", "0.5"},
                                                                      {"XScale", "0.5"},
                                                                      {"XOffset", "0.1"},
                                                                      {"RisingTime", "1"},
                                                                      {"StableTime", "5"}});
    for (const float age : {0.5f, 0.6f, 2.0f}) {
        frame(layer, age);
        const RecordedCall& draw = onlyDraw();
        EXPECT_EXTENT(draw, -0.15f, 0.35f, -0.5f, 0.5f);
        EXPECT_EQ(AlphaOf(draw.vertices[0]), AlphaByte(std::min(age, 1.0f) * 0.5f * 255.0f));
        EXPECT_EQ(draw.matrix, RotationZ(0.0f));
        EXPECT_EQ(draw.state.projection, OrthographicMatrix(1, 1, 1, -1));
    }
}

TEST_F(FurtherLayersTest, ParasitesScaleShakeAndScroll) {
    CParasitesLayer& layer = make<CParasitesLayer>(
        "ParasitesLayer",
        {{"Texture", "a.png"}, {"Effect", "2"}, {"EffectIntensity", "0.5"}, {"StableTime", "5"}});
    frame(layer, 1.06f);
    const RecordedCall& draw = onlyDraw();
    EXPECT_FLOAT_EQ(draw.matrix.m[0][0], 1.5f);
    EXPECT_FLOAT_EQ(draw.matrix.m[1][1], 1.5f);
    EXPECT_NEAR(draw.vertices[1].v0, 0.3f, 1e-4);  // 0 + frac(1.06 × 5)
    EXPECT_NEAR(draw.vertices[0].v0, 1.3f, 1e-4);
    const Extent e = extentOf(draw);
    EXPECT_NEAR(e.x1 - e.x0, 1.0f, 1e-5);
    EXPECT_LE(std::fabs(e.x1 - 0.5f), 0.5f * 0.5f * 0.1f);
    layer.Set("AlphaType", "1");
    EXPECT_EQ(layer.GetAccessorText("AlphaType"), "1");
    frame(layer, 2.0f);
    EXPECT_EQ(AlphaOf(onlyDraw().vertices[0]), 0u);
    EXPECT_LT(onlyDraw().state.material.emissive.r, 0.5f);
    EXPECT_TRUE(onlyDraw().state.lighting);
}

TEST_F(FurtherLayersTest, InfiniteZoomStepsThroughItsPicturesWhileStable) {
    CInfiniteZoom& layer = make<CInfiniteZoom>("InfiniteZoom", {{"Texture", "a.png, b.png,c.png"},
                                                                {"AlphaTexture", "mask.png"},
                                                                {"SpeedAnim", "0.5"},
                                                                {"RisingTime", "1"},
                                                                {"StableTime", "2"},
                                                                {"FallingTime", "1"}});
    ASSERT_EQ(layer.Textures().size(), 3u);
    EXPECT_EQ(layer.Textures()[0]->AlphaMapName(), "mask.png");
    EXPECT_EQ(layer.Textures()[2]->AlphaMapName(), "");
    EXPECT_EQ(layer.Textures()[1]->Name(), "b.png");
    const auto step = [&](float age) {
        frame(layer, age);
        return std::pair{layer.Outer(), layer.Inner()};
    };
    EXPECT_EQ(step(0.5f), (std::pair{0, 0}));
    EXPECT_EQ(extentOf(*draws()[0]).x1, 0.5f);  // no zoom before the layer is in
    EXPECT_EQ(step(0.99f), (std::pair{0, 0}));  // the zoom begins from the last rising frame
    EXPECT_EQ(step(1.24f), (std::pair{0, 0}));
    // Half way through a step: the outer picture 2^0.5 times larger, the inner half that.
    EXPECT_NEAR(extentOf(*draws()[0]).x1, 0.5f * std::sqrt(2.0f), 1e-3);
    EXPECT_NEAR(extentOf(*draws()[1]).x1, 0.25f * std::sqrt(2.0f), 1e-3);
    EXPECT_EQ(step(1.6f), (std::pair{0, 1}));
    EXPECT_EQ(step(2.1f), (std::pair{1, 2}));
    EXPECT_EQ(step(2.6f), (std::pair{2, 0}));
    EXPECT_EQ(step(3.5f), (std::pair{2, 2}));
    layer.Set("Effect", "1");
    layer.Set("Effect", "5");
    EXPECT_EQ(layer.GetAccessorText("Effect"), "1");
}

}  // namespace
}  // namespace vesta::test
