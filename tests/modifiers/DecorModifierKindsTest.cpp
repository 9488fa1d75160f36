// The six decorating kinds as the factory makes them: their places in the
// list of kinds, their parameters, their names, their messages and the
// motions they draw.

#include <gtest/gtest.h>

#include "EngineState.h"
#include "TestSupport.h"
#include "modifiers/Flies.h"
#include "modifiers/Mercure.h"
#include "modifiers/OndesRadio.h"
#include "modifiers/ParticleCloud.h"
#include "render/RecordingModule.h"
#include "scene/SceneBuild.h"
#include "timeline/ModifierFactory.h"

namespace vesta::test {
namespace {

struct KindTable {
    const char* kind;
    const char* className;
    std::vector<const char*> parameters;
};

const std::vector<KindTable>& kinds() {
    static const std::vector<KindTable> table = {
        {"Flies",
         "CFlies",
         {"ObjetName", "AlphaTexture", "Texture", "XScale", "YScale", "NBFlies", "ZoneMin",
          "ZoneMax"}},
        {"GlowEffect",
         "CGlowEffect",
         {"ObjetName", "AlphaTexture", "Texture", "XScale", "YScale", "ZScale", "TimeRatio",
          "Intensity"}},
        {"Particles",
         "CParticles",
         {"Effect",       "AlphaType", "NBParticle", "AlphaTexture", "TargetObjectName",
          "Texture",      "ObjetName", "AmplitudeX", "AmplitudeY",   "AmplitudeZ",
          "MaxIntensity", "SensX",     "SensY",      "SensZ",        "LifeTimeParticules",
          "Gravity",      "XScale",    "YScale",     "Velocity",     "Radius",
          "ForceVisible", "RenderType"}},
        {"OndesRadio",
         "COndesRadio",
         {"ObjetName", "AlphaTexture", "Texture", "XScale", "YScale", "NBOndes", "Width", "RotateX",
          "RotateY", "RotateZ"}},
        {"Eclosion",
         "CEclosion",
         {"Effect", "AlphaType", "AlphaTexture", "Texture", "ObjetName", "AmplitudeX", "AmplitudeY",
          "AmplitudeZ", "MaxIntensity", "SensX", "SensY", "SensZ", "Velocity", "RisingTime",
          "StableTime", "FallingTime"}},
        {"Mercure",
         "CMercure",
         {"WaveCountX", "WaveCountY", "Attenuation", "GridSize", "Effect", "Variant",
          "TextureSize"}},
    };
    return table;
}

class DecorModifierKindsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEngineState();
        module.Initialize(nullptr, false, 640, 480, 32);
        AddBox(scene, "Box", {0, 0, 0}, {10, 10, 10});
        AddLight(scene, "Lamp", {0, 20, 0}, {1, 1, 1});
    }
    void TearDown() override { ResetEngineState(); }

    std::unique_ptr<CModifier> make(const char* kind) {
        return CModifierFactory::Instance().CreateModifier(&scene, &module, nullptr, kind);
    }

    RecordingModule module;
    CScene scene{&module};
    // Outlives the modifiers, which log their end.
    std::vector<std::string> m_log;
};

TEST_F(DecorModifierKindsTest, EachKindTakesExactlyItsParametersAndNamesItself) {
    for (const KindTable& entry : kinds()) {
        SCOPED_TRACE(entry.kind);
        auto modifier = make(entry.kind);
        ASSERT_NE(modifier, nullptr);
        EXPECT_STREQ(modifier->GetKindName(), entry.kind);
        EXPECT_STREQ(modifier->GetClassName(), entry.className);
        // An unknown name lists every known one: the base's two and the kind's own.
        const std::string error = EngineErrorOf([&] { modifier->Set("Bogus", "1"); });
        ASSERT_NE(error.find("Could not find Parameter [Bogus]"), std::string::npos) << error;
        EXPECT_EQ(modifier->TypedCount(), entry.parameters.size());
        for (const char* name : entry.parameters) {
            EXPECT_NE(error.find(std::string(" - ") + name + "\r\n"), std::string::npos) << name;
        }
        EXPECT_NE(error.find(" - StartTime\r\n"), std::string::npos);
        // Created without NAME: "Kind [hex]", and still removed when done.
        if (entry.kind != std::string("Mercure")) {
            modifier->Set("ObjetName", "Box");
        }
        modifier->Start();
        EXPECT_TRUE(IsHexNamed(modifier->GetName(), entry.kind, 4)) << modifier->GetName();
        EXPECT_TRUE(modifier->AutoDestroy());
        modifier->Release();
        auto named = make(entry.kind);
        named->SetName("Mine");
        if (entry.kind != std::string("Mercure")) {
            named->Set("ObjetName", "Box");
        }
        named->Start();
        EXPECT_EQ(named->GetName(), "Mine");
        named->Release();
    }
}

TEST_F(DecorModifierKindsTest, TheKindsHoldTheirPlacesInTheListOfKinds) {
    // The table is in the order of the kinds' numbers.
    std::vector<std::string> ours;
    for (const std::string& name : CModifierFactory::Instance().NamesInRegistrationOrder()) {
        for (const KindTable& entry : kinds()) {
            ours.insert(ours.end(), name == entry.kind ? 1 : 0, name);
        }
    }
    EXPECT_EQ(ours, (std::vector<std::string>{"Flies", "GlowEffect", "Particles", "OndesRadio",
                                              "Eclosion", "Mercure"}));
}

TEST_F(DecorModifierKindsTest, ParticlesRaiseForMissingObjectsOthersOnlyLog) {
    auto particles = make("Particles");
    particles->Set("ObjetName", "Ghost");
    EXPECT_EQ(EngineErrorOf([&] { particles->Start(); }), "Cannot find object [Ghost]");
    particles = make("Particles");
    particles->Set("ObjetName", "Lamp");
    particles->Set("TargetObjectName", "Nowhere");
    EXPECT_EQ(EngineErrorOf([&] { particles->Start(); }), "Cannot find object [Nowhere]");
    particles = make("Particles");
    particles->Set("ObjetName", "Box");
    particles->Set("TargetObjectName", "Lamp");
    EXPECT_EQ(EngineErrorOf([&] { particles->Start(); }), "<none>");

    std::vector<std::string>& log = m_log;
    CaptureLog(log);
    for (const char* kind : {"Flies", "GlowEffect", "OndesRadio", "Eclosion"}) {
        log.clear();
        auto modifier = make(kind);
        modifier->Set("ObjetName", "Ghost");
        EXPECT_EQ(EngineErrorOf([&] { modifier->Start(); }), "<none>") << kind;
        EXPECT_NE(std::find(log.begin(), log.end(), "Unable to find [Ghost]"), log.end()) << kind;
        module.ClearCalls();
        modifier->Render();
        EXPECT_TRUE(module.Calls().empty()) << kind;
    }
}

TEST_F(DecorModifierKindsTest, FliesStayBetweenTheirZoneLimits) {
    auto made = make("Flies");
    auto& flies = dynamic_cast<CFlies&>(*made);
    flies.Set("ZoneMin", "15");
    flies.Set("ZoneMax", "25");
    const Vector3 centre{5, -5, 10};
    float nearest = 1e9f;
    float farthest = 0.0f;
    for (int fly = 0; fly < 20; ++fly) {
        for (float t = 0.0f; t < 10.0f; t += 0.1f) {
            const float distance = Length(flies.FlyPosition(fly, t, centre) - centre);
            nearest = std::min(nearest, distance);
            farthest = std::max(farthest, distance);
        }
    }
    // The buzz adds a twentieth either way.
    EXPECT_GE(nearest, 15.0f * 0.95f);
    EXPECT_LE(farthest, 25.0f * 1.05f);
    EXPECT_LT(nearest, 16.0f);
    EXPECT_GT(farthest, 24.0f);
}

TEST_F(DecorModifierKindsTest, RadioWavesFollowEachOtherEvenly) {
    auto made = make("OndesRadio");
    auto& waves = dynamic_cast<COndesRadio&>(*made);
    waves.Set("NBOndes", "4");
    EXPECT_FLOAT_EQ(waves.WaveProgress(0, 0.0f), 0.0f);
    EXPECT_FLOAT_EQ(waves.WaveProgress(1, 0.0f), 0.25f);
    EXPECT_FLOAT_EQ(waves.WaveProgress(0, 1.0f), 0.5f);
    EXPECT_NEAR(waves.WaveProgress(3, 0.5f), 0.0f, 1e-6f);
}

TEST_F(DecorModifierKindsTest, AParticleCloudDependsOnTheTimeAlone) {
    ParticleSettings settings;
    settings.count = 500;
    settings.amplitude = {0, 0, 0};
    settings.velocity = 10.0f;
    settings.lifetime = 2.0f;
    const Vector3 source{1, 2, 3};
    std::vector<ParticleState> cloud;
    PlaceParticles(settings, {&source, 1}, source, 7.3f, cloud);
    ASSERT_EQ(cloud.size(), 500u);
    for (const ParticleState& p : cloud) {
        // Straight up at 10 a second, fading as it goes.
        EXPECT_NEAR(p.position.x, 1.0f, 1e-4f);
        EXPECT_NEAR(p.position.z, 3.0f, 1e-4f);
        const float age = (p.position.y - 2.0f) / 10.0f;
        EXPECT_GE(age, -1e-4f);
        EXPECT_LE(age, 2.0f);
        EXPECT_NEAR(p.fade, 1.0f - age / 2.0f, 1e-3f);
    }
    std::vector<ParticleState> again;
    PlaceParticles(settings, {&source, 1}, source, 0.5f, again);
    PlaceParticles(settings, {&source, 1}, source, 7.3f, again);
    for (std::size_t i = 0; i < cloud.size(); ++i) {
        EXPECT_EQ(cloud[i].position, again[i].position);
    }
    // No life, no particles to see; a negative count is none.
    settings.lifetime = 0.0f;
    PlaceParticles(settings, {&source, 1}, source, 1.0f, cloud);
    EXPECT_TRUE(std::all_of(cloud.begin(), cloud.end(), [](auto& p) { return p.fade == 0.0f; }));
    settings.count = -5;
    PlaceParticles(settings, {&source, 1}, source, 1.0f, cloud);
    EXPECT_TRUE(cloud.empty());
}

TEST_F(DecorModifierKindsTest, MercuryKeepsItsGridWithinSixteenBitIndices) {
    auto made = make("Mercure");
    auto& mercury = dynamic_cast<CMercure&>(*made);
    mercury.Set("GridSize", "1000");
    mercury.Set("TextureSize", "100000");
    mercury.Start();
    EXPECT_EQ(mercury.GridCells(), CMercure::kLargestGrid);
    EXPECT_EQ(mercury.TargetSize(), module.GetMaxTextureSize());
    mercury.PreRender();
    mercury.Render();
    mercury.Release();
}

}  // namespace
}  // namespace vesta::test
