// Creating effects by kind name, the missing-kind messages, use counts and
// the usage statistics files.

#include <filesystem>
#include <gtest/gtest.h>

#include "EngineState.h"
#include "TestSupport.h"
#include "timeline/LayerFactory.h"
#include "timeline/ModifierFactory.h"

namespace vesta::test {
namespace {

class KindLayer : public CLayer {
public:
    KindLayer(RenderModule* renderModule, const std::vector<CLayerOperation>* children)
        : CLayer(renderModule, children) {}
    void Start() override {}
    void Release() override {}
    const char* GetClassName() const override { return "CKindLayer"; }
    void Render() override {}
    using CLayer::Children;
    using CLayer::Context;
};

class KindModifier : public CModifier {
public:
    KindModifier(CScene* scene, RenderModule* renderModule, void* extraValue)
        : CModifier(scene, renderModule), extra(extraValue) {}
    void Start() override {}
    void Release() override {}
    const char* GetKindName() const override { return "Fog"; }
    void Render() override {}
    using CModifier::Renderer;
    using CModifier::Scene;

    void* extra;
};

std::unique_ptr<CLayer> makeLayer(RenderModule* renderModule,
                                  const std::vector<CLayerOperation>* children) {
    return std::make_unique<KindLayer>(renderModule, children);
}

std::unique_ptr<CModifier> makeModifier(CScene* scene, RenderModule* renderModule, void* extra) {
    return std::make_unique<KindModifier>(scene, renderModule, extra);
}

class RegisteredLayer : public KindLayer {
    using KindLayer::KindLayer;
};
VESTA_REGISTER_LAYER(1000, "TestRegisteredLayer", RegisteredLayer);

class EffectFactoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEngineState();
        m_layers.Register(2, "GFXLayer", &makeLayer);
        m_layers.Register(16, "AnimGFXLayer", &makeLayer);
        m_layers.Register(1, "Flash", &makeLayer);
        m_modifiers.Register(14, "Fog", &makeModifier);
        m_modifiers.Register(7, "3DSound", &makeModifier);
    }
    void TearDown() override { ResetEngineState(); }

    TempDir m_dir;
    ScopedChdir m_chdir{m_dir.Path()};
    CLayerFactory m_layers;
    CModifierFactory m_modifiers;
};

TEST_F(EffectFactoryTest, CreatesByExactNameAndHandsOverTheArguments) {
    const std::vector<CLayerOperation> children(2);
    auto* renderModule = reinterpret_cast<RenderModule*>(0x10);
    std::unique_ptr<CLayer> layer = m_layers.CreateLayer(renderModule, &children, "GFXLayer");
    auto* kind = dynamic_cast<KindLayer*>(layer.get());
    ASSERT_NE(kind, nullptr);
    EXPECT_EQ(kind->Context(), renderModule);
    EXPECT_EQ(kind->Children(), &children);

    int extra = 0;
    auto* scene = reinterpret_cast<CScene*>(0x20);
    std::unique_ptr<CModifier> modifier =
        m_modifiers.CreateModifier(scene, renderModule, &extra, "Fog");
    auto* fog = dynamic_cast<KindModifier*>(modifier.get());
    ASSERT_NE(fog, nullptr);
    EXPECT_EQ(fog->Scene(), scene);
    EXPECT_EQ(fog->Renderer(), renderModule);
    EXPECT_EQ(fog->extra, &extra);
}

TEST_F(EffectFactoryTest, UnknownKindsListTheRegisteredOnesByName) {
    EXPECT_EQ(EngineErrorOf([&] { m_layers.CreateLayer(nullptr, nullptr, "GfxLayer"); }),
              "Could not find LayerEffect [GfxLayer].\r\n Available are : \r\n"
              "\t- AnimGFXLayer\r\n\t- Flash\r\n\t- GFXLayer\r\n");
    EXPECT_EQ(EngineErrorOf([&] { m_modifiers.CreateModifier(nullptr, nullptr, nullptr, "fog"); }),
              "Could not find MDLModifier [fog].\r\n Available are : \r\n"
              "\t- 3DSound\r\n\t- Fog\r\n");
    EXPECT_EQ(m_layers.NamesInRegistrationOrder(),
              (std::vector<std::string>{"Flash", "GFXLayer", "AnimGFXLayer"}));
}

TEST_F(EffectFactoryTest, StatisticsListUsedThenUnusedKinds) {
    m_layers.CreateLayer(nullptr, nullptr, "GFXLayer");
    m_layers.CreateLayer(nullptr, nullptr, "GFXLayer");
    m_layers.CreateLayer(nullptr, nullptr, "AnimGFXLayer");
    EXPECT_EQ(m_layers.UseCount("GFXLayer"), 2);
    EXPECT_EQ(m_layers.UseCount("Flash"), 0);
    ASSERT_TRUE(m_layers.WriteStatistics());
    EXPECT_EQ(ReadFile(m_dir / "LayerFactoryStats.txt"),
              "Used layers :\r\n - AnimGFXLayer\r\n - GFXLayer\r\n\r\n"
              "Unused layers :\r\n - Flash\r\n");

    m_modifiers.CreateModifier(nullptr, nullptr, nullptr, "Fog");
    m_modifiers.CreateModifier(nullptr, nullptr, nullptr, "3DSound");
    ASSERT_TRUE(m_modifiers.WriteStatistics());
    EXPECT_EQ(ReadFile(m_dir / "ModifiersFactoryStats.txt"),
              "Used modifiers :\r\n - 3DSound\r\n - Fog\r\n");
}

TEST_F(EffectFactoryTest, StatisticsAreWrittenAtTheEndOnlyWhenSwitchedOn) {
    {
        CLayerFactory silent;
        silent.Register(1, "Flash", &makeLayer);
    }
    EXPECT_FALSE(std::filesystem::exists(m_dir / "LayerFactoryStats.txt"));
    {
        CLayerFactory counted;
        counted.Register(1, "Flash", &makeLayer);
        counted.SetWriteStatistics(true);
    }
    EXPECT_EQ(ReadFile(m_dir / "LayerFactoryStats.txt"),
              "Used layers :\r\n\r\nUnused layers :\r\n - Flash\r\n");
    // A file that cannot be created is skipped without a word.
    std::filesystem::create_directory(m_dir / "ModifiersFactoryStats.txt");
    EXPECT_FALSE(m_modifiers.WriteStatistics());
    EXPECT_FALSE(userErrorPending());
}

TEST_F(EffectFactoryTest, KindsRegisterThemselvesFromTheirOwnFiles) {
    const std::vector<std::string> names = CLayerFactory::Instance().Names();
    EXPECT_NE(std::find(names.begin(), names.end(), "TestRegisteredLayer"), names.end());
    EXPECT_NE(CLayerFactory::Instance().CreateLayer(nullptr, nullptr, "TestRegisteredLayer"),
              nullptr);
    EXPECT_EQ(CLayerFactory::Instance().UseCount("TestRegisteredLayer"), 1);
}

TEST_F(EffectFactoryTest, RegisteringAKindTwiceEndsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(m_layers.Register(3, "Flash", &makeLayer), "effect kind \\[Flash\\]");
}

}  // namespace
}  // namespace vesta::test
