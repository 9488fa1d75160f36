// "FocalMDL": the scene into its small target and onto the screen, then the
// chrome overlay, faded by the envelope, over both.

#include "scene/player/FocalMdl.h"

#include <tuple>

#include "PictureWriters.h"
#include "PlayerTestSupport.h"

namespace vesta::test {
namespace {

class FocalMdlTest : public PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        WriteFile(m_dir / "chromic.jpg",
                  EncodeJpeg(std::vector<std::uint8_t>(8 * 8 * 3, 200), 8, 8, 3, false));
        WriteFile(m_dir / "mask.png", SimplePng(8, 8));
    }

    CFocalMDL& focal() {
        return make<CFocalMDL>(
            "FocalMDL", {{"AlphaMap", "mask.png"}, {"RisingTime", "1"}, {"StableTime", "2"}});
    }
};

TEST_F(FocalMdlTest, TheSceneGoesIntoItsTargetThenTheChromeOverlayFadesIn) {
    CFocalMDL& layer = focal();
    EXPECT_EQ(layer.Chrome()->Name(), "chromic.jpg");
    EXPECT_EQ(layer.Chrome()->AlphaMapName(), "mask.png");
    const TextureHandle target = layer.Target()->Handle();
    const DeviceTextureDesc* desc = module.DeviceTexture(target);
    ASSERT_NE(desc, nullptr);
    EXPECT_EQ((std::tuple{desc->width, desc->height, desc->kind}),
              (std::tuple{64, 64, DeviceTextureKind::RenderTarget}));
    frame(layer, 0.5);
    EXPECT_FLOAT_EQ(layer.Scene()->CurrentFrame(), 15.0f);

    std::vector<std::string> sequence;
    for (const RecordedCall& call : module.Calls()) {
        if (call.name == "SetRenderTarget") {
            sequence.push_back(call.texture == target ? "target" : call.texture ? "?" : "screen");
        } else if (call.name == "Clear") {
            sequence.push_back(call.values[0] == 0 && call.values[1] == 1 ? "depth" : "colour");
        } else if (call.name == "Draw") {
            sequence.push_back("quad");
        }
    }
    EXPECT_EQ(sequence, (std::vector<std::string>{"target", "depth", "screen", "quad"}));

    const RecordedCall& quad = *module.Last("Draw");
    EXPECT_EQ(quad.draw.primitive, PrimitiveType::TriangleStrip);
    ASSERT_EQ(quad.vertices.size(), 4u);
    for (const RenderVertex& v : quad.vertices) {
        EXPECT_EQ(v.diffuse, 0x7FFFFFFFu);  // half way up the rise
        EXPECT_NEAR(std::abs(v.x), 10.0f * 640.0f / 480.0f, 1e-4);
        EXPECT_FLOAT_EQ(std::abs(v.y), 10.0f);
        EXPECT_TRUE(v.u0 == 0.002f || v.u0 == 0.998f);
        EXPECT_TRUE(v.v0 == 0.002f || v.v0 == 0.998f);
    }
    const RenderState& state = quad.state;
    EXPECT_EQ(state.stages[0].texture, layer.Chrome()->Handle());
    EXPECT_EQ(state.stages[1].texture, target);
    EXPECT_EQ(state.stages[0].alphaOp, AlphaOp::Modulate);
    EXPECT_EQ(state.stages[1].colorOp, ColorOp::Modulate);
    EXPECT_EQ(state.stages[1].alphaOp, AlphaOp::Disable);
    EXPECT_EQ(state.blend, (BlendState{true, BlendFactor::SrcAlpha, BlendFactor::InvSrcAlpha}));
    EXPECT_FALSE(state.depth.enabled);
    EXPECT_EQ(state.cull, CullMode::None);
    EXPECT_FALSE(module.State().stages[0].texture);
    EXPECT_FALSE(module.State().stages[1].texture);

    frame(layer, 2.0);
    EXPECT_EQ(module.Last("Draw")->vertices.front().diffuse, 0xFFFFFFFFu);

    const Texture* textures[] = {layer.Chrome(), layer.Target()};
    layer.Release();
    m_layers.clear();
    for (const Texture* texture : textures) {
        EXPECT_FALSE(module.HoldsTexture(texture));
    }
}

}  // namespace
}  // namespace vesta::test
