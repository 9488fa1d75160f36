// "DynaTexture": the effect parameters of its block reach the dynamic
// texture it names, at creation, at UPDATE, and once the texture exists.

#include "layers/DynaTextureLayer.h"

#include <algorithm>

#include "LayerTestSupport.h"
#include "render/dynamic/DynaTexture.h"

namespace vesta::test {
namespace {

class DynaTextureLayerTest : public LayerTest {
protected:
    DynaTexture& effect(const std::string& name) {
        return *CreateDynamicTexture(module, {name, "Plasma"})->Dynamic();
    }
    static const DynaPalette& palette(DynaTexture& dyna) {
        return dynamic_cast<PaletteDynaTexture&>(dyna).Palette();
    }
    // Outlives the layers, whose destructors log too.
    std::vector<std::string> log;
};

TEST_F(DynaTextureLayerTest, ParametersOfTheBlockReachTheNamedTexture) {
    DynaTexture& lava = effect("lava");
    DynaTexture& other = effect("other");
    CaptureLog(log);
    // The effect's parameters come before the name that says where they go.
    auto& layer = make<CDynaTexModifier>("DynaTexture", {{"Palette", "0=0,0,0;255=255,255,255"},
                                                         {"UpdateInterval", "0.25"},
                                                         {"TextureName", "lava"},
                                                         {"StartTime", "0"},
                                                         {"LifeTime", "3"},
                                                         {"RisingTime", "1"},
                                                         {"StableTime", "1"},
                                                         {"FallingTime", "1"}});
    EXPECT_FLOAT_EQ(lava.UpdateInterval(), 0.25f);
    EXPECT_EQ(palette(lava)[128], 0x00808080u);
    EXPECT_FLOAT_EQ(other.UpdateInterval(), 0.001f);
    EXPECT_TRUE(layer.Waiting().empty());
    EXPECT_EQ(layer.GetAccessorText("UpdateInterval"), "0.25");
    EXPECT_STREQ(layer.GetClassName(), "CDynaTexModifier");
    const auto order = CLayerFactory::Instance().NamesInRegistrationOrder();
    const auto place = std::find(order.begin(), order.end(), "DynaTexture");
    ASSERT_NE(place, order.end());
    EXPECT_LT(std::find(order.begin(), order.end(), "AnimGFXLayer"), place);  // 16 before 19
    EXPECT_TRUE(log.empty());

    // An UPDATE reaches the texture at once; the layer draws nothing itself.
    layer.Set("UpdateInterval", "2");
    EXPECT_FLOAT_EQ(lava.UpdateInterval(), 2.0f);
    for (float age : {0.5f, 1.5f, 2.5f}) {
        frame(layer, age);
        EXPECT_TRUE(draws().empty());
    }
    EXPECT_NE(EngineErrorOf([&] { layer.Set("Speed", "1"); })
                  .find("Could not find Parameter [Speed]\r\n Available are : \r\n"
                        " - Palette\r\n - UpdateInterval\r\n"),
              std::string::npos);
}

TEST_F(DynaTextureLayerTest, ValuesWaitForATextureMadeLater) {
    CaptureLog(log);
    auto& layer = make<CDynaTexModifier>(
        "DynaTexture", {{"TextureName", "later"}, {"UpdateInterval", "0.5"}, {"StableTime", "2"}});
    ASSERT_EQ(layer.Waiting().size(), 1u);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find("Warning : DynaTexture [later] not found"), std::string::npos);

    DynaTexture& later = effect("later");
    frame(layer, 0.5);
    EXPECT_TRUE(layer.Waiting().empty());
    EXPECT_FLOAT_EQ(later.UpdateInterval(), 0.5f);
    ASSERT_EQ(log.size(), 2u);  // warned once, then the texture was made
    EXPECT_NE(log[1].find("Created dynamic texture [later]"), std::string::npos);
}

}  // namespace
}  // namespace vesta::test
