// Lifetimes, envelopes, naming and the destruction log of layers and modifiers.

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "EngineState.h"
#include "log/Log.h"
#include "platform/Clock.h"
#include "timeline/EnvelopeLayer.h"
#include "timeline/EnvelopeModifier.h"

namespace vesta::test {
namespace {

class TestLayer : public CLayer {
public:
    TestLayer() : CLayer(nullptr, nullptr) {}
    void Start() override {}
    void Release() override {}
    const char* GetClassName() const override { return "CTestLayer"; }
    void Render() override { ages.push_back(Age()); }

    std::vector<float> ages;
};

class TestEnvelopeLayer : public CEnvelopeLayer {
public:
    TestEnvelopeLayer() : CEnvelopeLayer(nullptr, nullptr) {}
    void Release() override {}
    const char* GetClassName() const override { return "CTestEnvelopeLayer"; }
    void OnRising() override { phases += "R" + std::to_string(Intensity()) + " "; }
    void OnStable() override { phases += "S" + std::to_string(Intensity()) + " "; }
    void OnFalling() override { phases += "F" + std::to_string(Intensity()) + " "; }

    std::string phases;
};

class TestModifier : public CEnvelopeModifier {
public:
    TestModifier() : CEnvelopeModifier(nullptr, nullptr) {}
    const char* GetKindName() const override { return "Fog"; }
    void OnStable() override { calls += "render "; }
    void OnPreStable() override { calls += "pre "; }
    using CModifier::SetSkip;

    std::string calls;
};

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

void collectLine(void* lines, const char* line) {
    static_cast<std::vector<std::string>*>(lines)->push_back(line);
}

class EffectBaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEngineState();
        SetFixedStep(true, 4.0f);  // the clock moves in exact quarter seconds
        at(0);
    }
    void TearDown() override { ResetEngineState(); }

    static void at(float seconds) { SetFrameIndex(static_cast<std::uint32_t>(seconds * 4)); }
};

TEST_F(EffectBaseTest, LayerIsDrawnInsideItsWindowBothEndsIncluded) {
    TestLayer layer;
    layer.Set("StartTime", "2");
    layer.Set("LifeTime", "1");
    layer.SetBirthTime(0);
    for (const float t : {1.75f, 2.0f, 3.0f, 3.25f}) {
        at(t);
        layer.Update();
    }
    EXPECT_EQ(layer.ages, (std::vector<float>{0.0f, 1.0f}));
    at(1);
    EXPECT_TRUE(layer.IsAlive());  // before StartTime counts as alive
    at(3);
    EXPECT_TRUE(layer.IsAlive());
    at(3.25f);
    EXPECT_FALSE(layer.IsAlive());
}

TEST_F(EffectBaseTest, UnlimitedLayerAndRestart) {
    TestLayer layer;
    layer.Set("StartTime", "2");
    at(10);
    layer.SetBirthTime(-1);
    EXPECT_EQ(layer.BirthTime(), 10.0f);
    at(11);
    layer.Update();
    at(1000);
    layer.Update();
    EXPECT_EQ(layer.ages, (std::vector<float>{988.0f}));
    EXPECT_TRUE(layer.IsAlive());
    layer.Set("LifeTime", "1");
    EXPECT_FALSE(layer.IsAlive());
    layer.SetBirthTime(-1);  // RESTART
    at(1002.5f);
    layer.Update();
    EXPECT_EQ(layer.ages.back(), 0.5f);
}

TEST_F(EffectBaseTest, NamesPlacesAndTheDestructionLog) {
    std::vector<std::string> lines;
    SetLogSink(&collectLine, &lines);
    {
        TestLayer layer;
        EXPECT_TRUE(layer.AutoDestroy());
        layer.SetPlace("script.txt(12)");
        layer.SetName("Back");
        EXPECT_FALSE(layer.AutoDestroy());
        EXPECT_EQ(layer.Describe(), "Near script.txt(12) - CTestLayer - Back");
        layer.AddDeferredParameter("Texture", "a.png");
        EXPECT_EQ(layer.DeferredParameters(), (std::vector<ScriptParameter>{{"Texture", "a.png"}}));
        try {
            layer.Set("Txture", "x");
            ADD_FAILURE();
        } catch (const CUserException& error) {
            EXPECT_TRUE(startsWith(error.Text(),
                                   "Layer [Near script.txt(12) - CTestLayer - Back]\r\n"
                                   "Could not find Parameter [Txture]\r\n Available are : \r\n"));
        }
    }
    {
        TestModifier modifier;
        modifier.SetName("Mist");
    }
    EXPECT_EQ(lines,
              (std::vector<std::string>{"Destroying Layer [Back]", "Destroying Modifier [Mist]"}));
}

TEST_F(EffectBaseTest, EnvelopeWorkedExample) {
    TestEnvelopeLayer layer;
    layer.Set("RisingTime", "0.5");
    layer.Set("StableTime", "2");
    layer.Set("FallingTime", "1");
    layer.Set("StartTime", "3");
    layer.Start();
    layer.SetBirthTime(0);
    for (const float t : {2.75f, 3.25f, 3.5f, 5.25f, 6.0f, 6.5f, 6.75f}) {
        at(t);
        layer.Update();
    }
    EXPECT_EQ(layer.phases, "R0.500000 S1.000000 S1.000000 F0.500000 F0.000000 ");
    EXPECT_EQ(layer.LifeTime(), 3.5f);
}

TEST_F(EffectBaseTest, EnvelopeLifeTimeComesFromItsThreeTimes) {
    TestEnvelopeLayer layer;
    layer.Set("LifeTime", "10");
    layer.Set("RisingTime", "1");
    layer.Set("StableTime", "1");
    layer.Set("FallingTime", "1");
    at(5);
    layer.Start();
    EXPECT_EQ(layer.BirthTime(), 5.0f);
    EXPECT_EQ(layer.LifeTime(), 3.0f);

    TestEnvelopeLayer instant;  // all three 0: an instant, drawn at intensity 0
    instant.Start();
    instant.Update();
    EXPECT_EQ(instant.phases, "F0.000000 ");
    at(5.25f);
    EXPECT_FALSE(instant.IsAlive());
}

TEST_F(EffectBaseTest, ModifierNamesItselfAndReadsItsTimesThroughAccessors) {
    TestModifier modifier;
    EXPECT_EQ(modifier.GetClassName(), std::string("N/A"));
    modifier.Set("StartTime", "1.5");
    modifier.Set("LifeTime", "none");  // no number: unchanged
    EXPECT_EQ(modifier.GetAccessorText("StartTime"), "1.50");
    EXPECT_EQ(modifier.GetAccessorText("LifeTime"), "-1.00");
    modifier.Set("StableTime", "10");
    modifier.Start();
    const std::string name = modifier.GetName();
    ASSERT_GT(name.size(), 6u);
    EXPECT_EQ(name.substr(0, 5), "Fog [");
    EXPECT_EQ(name.back(), ']');
    const std::string digits = name.substr(5, name.size() - 6);
    EXPECT_EQ(digits.find_first_not_of("0123456789ABCDEF"), std::string::npos);
    EXPECT_LE(std::stoul(digits, nullptr, 16), 0x7FFFu);
    EXPECT_TRUE(modifier.AutoDestroy());

    TestModifier named;
    named.SetName("Mist");
    named.Start();
    EXPECT_EQ(named.GetName(), "Mist");
}

TEST_F(EffectBaseTest, ModifierPassesAndSkipFlag) {
    TestModifier modifier;
    modifier.Set("StableTime", "5");
    modifier.Start();
    at(1);
    modifier.PreUpdate();
    modifier.Update();
    modifier.SetSkip(true);
    modifier.UpdateUnlessSkipped();
    modifier.SetSkip(false);
    modifier.UpdateUnlessSkipped();
    EXPECT_EQ(modifier.calls, "pre render render ");
    try {
        modifier.Set("Density", "1");
        ADD_FAILURE();
    } catch (const CUserException& error) {
        EXPECT_TRUE(startsWith(error.Text(), "Layer [Near  - N/A - " + modifier.GetName() +
                                                 "]\r\nCould not find Parameter [Density]\r\n "
                                                 "Available are : \r\n - LifeTime\r\n - "
                                                 "StartTime\r\n"));
    }
}

}  // namespace
}  // namespace vesta::test
