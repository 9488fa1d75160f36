// "StarField" and "TrouDuVers": the layers that follow a model file without
// drawing it. Their model: a camera flying 100 units along +z over 100
// frames, an emitter and the point it aims at.

#include <sndfile.h>

#include "PictureWriters.h"
#include "PlayerTestSupport.h"
#include "SoundTestData.h"
#include "render/Camera.h"
#include "scene/SceneBuild.h"
#include "scene/player/StarField.h"
#include "scene/player/TrouDuVers.h"
#include "sound/SoundSystem.h"

namespace vesta::test {
namespace {

class ModelFollowerTest : public PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        CScene flight;
        flight.lastFrame = 100;
        CCamera& camera = AddCamera(flight, "Flyer", {0, 0, 0}, {0, 0, 10}, 1.0f);
        // Evenly spaced keys on a line: the spline through them is the line.
        AnimTrack& path = AddAnimation(flight, "Flyer").position;
        AnimTrack& aim = AddAnimation(flight, "Flyer.Target").position;
        for (std::uint32_t f = 0; f <= 100; f += 10) {
            AddKey(path, f, Vector3{0, 0, float(f)});
            AddKey(aim, f, Vector3{0, 0, float(f) + 10});
        }
        camera.userParameters.push_back({"Radius", "4"});
        AddMesh(flight, "Emitter", {5, 0, 50});
        AddMesh(flight, "Aim", {5, 10, 50});
        WriteFile(m_dir / "flight.vestamdl4", mdl4::WriteScene(flight));
        WriteFile(m_dir / "star.png", SimplePng(4, 4));
        WriteFile(m_dir / "hum.wav", MakeSineFile(SF_FORMAT_WAV, 22050, {{440, 0.5}}, 0.5));
    }
};

TEST_F(ModelFollowerTest, StarFieldTakesEveryParameterAndStreamsThroughItsBox) {
    CStarField& field = make<CStarField>("StarField", {{"Effect", "0"},
                                                       {"Count", "50"},
                                                       {"Speed", "10"},
                                                       {"SpeedDelta", "0"},
                                                       {"Length", "2"},
                                                       {"Direction", "0,0,-1"},
                                                       {"Source", "0,0,0"},
                                                       {"PlaneScale", "20,10,40"},
                                                       {"Rotate", "0"},
                                                       {"Scintille", "0"},
                                                       {"AlphaTexture", "star.png"},
                                                       {"Texture", "star.png"},
                                                       {"XScale", "0.1"},
                                                       {"YScale", "1"},
                                                       {"Loop", "Yes"},
                                                       {"File", ""},
                                                       {"Object", ""},
                                                       {"Object2", ""},
                                                       {"Object3", ""},
                                                       {"MDLFile", ""},
                                                       {"StableTime", "10"}});
    EXPECT_STREQ(field.GetClassName(), "CStarField");
    const auto heads = [&] {
        std::vector<Vector3> found;
        const RecordedCall* draw = module.Last("DrawIndexed");
        EXPECT_NE(draw, nullptr);
        for (std::size_t n = 0; draw && n < draw->vertices.size(); n += 4) {
            found.push_back({draw->vertices[n].x, draw->vertices[n].y, draw->vertices[n].z});
        }
        return found;
    };
    frame(field, 1.0f);
    const std::vector<Vector3> first = heads();
    ASSERT_EQ(first.size(), 50u);
    frame(field, 1.5f);
    const std::vector<Vector3> later = heads();
    int wrapped = 0;
    for (std::size_t n = 0; n < first.size(); ++n) {
        EXPECT_LE(std::fabs(later[n].z), 20.0f + 1e-3f);
        EXPECT_LE(std::fabs(later[n].x), 10.0f + 0.1f);
        if (later[n].z > first[n].z) {
            ++wrapped;  // came back in at the far end
        } else {
            EXPECT_NEAR(first[n].z - later[n].z, 5.0f, 1e-3);  // 10 units a second towards −z
        }
    }
    EXPECT_GT(wrapped, 0);
    const RecordedCall& draw = *module.Last("DrawIndexed");
    // The streak: the tail trails the head by Length × YScale, against the flight.
    EXPECT_NEAR(draw.vertices[2].z - draw.vertices[0].z, 2.0f, 1e-4);
    EXPECT_EQ(draw.vertices[0].diffuse, 0xFFFFFFFFu);
    EXPECT_EQ(draw.state.blend, (BlendState{true, BlendFactor::One, BlendFactor::One}));
    EXPECT_EQ(draw.indices.size(), 300u);
    field.Set("Effect", "1");
    field.Set("Effect", "4");
    EXPECT_EQ(field.GetAccessorText("Effect"), "1");
}

TEST_F(ModelFollowerTest, StarFieldFollowsTheModelAndPlaysItsSoundIn3D) {
    SoundSystem sound;
    sound.Initialize(SoundOutput::Loopback);
    module.SetSoundSystem(&sound);
    CStarField& field = make<CStarField>("StarField", {{"MDLFile", "flight.vestamdl4"},
                                                       {"Object", "Emitter"},
                                                       {"Object2", "Aim"},
                                                       {"Object3", "Flyer"},
                                                       {"Source", "1,0,0"},
                                                       {"Loop", "No"},
                                                       {"File", "hum.wav"},
                                                       {"Texture", "star.png"},
                                                       {"RisingTime", "1"},
                                                       {"StableTime", "5"}});
    frame(field, 0.5f);
    EXPECT_EQ(field.Centre(), (Vector3{6, 0, 50}));
    EXPECT_NEAR(field.Heading().y, 1.0f, 1e-6);  // from the emitter to its aim
    // The view is the model camera's at frame 15.
    EXPECT_EQ(module.State().view, CameraViewMatrix({0, 0, 15}, {0, 0, 25}, 0));
    ASSERT_NE(field.Channel(), 0u);
    EXPECT_TRUE(sound.ChannelIsPlaying(field.Channel()));
    int volume = 0;
    sound.ChannelGetAttributes(field.Channel(), nullptr, &volume, nullptr);
    EXPECT_EQ(volume, 50);
    field.Release();
    EXPECT_FALSE(sound.ChannelIsPlaying(field.Channel()));
    m_layers.clear();
    module.SetSoundSystem(nullptr);
    EXPECT_NE(EngineErrorOf([&] {
                  make<CStarField>("StarField", {{"MDLFile", "flight.vestamdl4"},
                                                 {"Object3", "Nobody"},
                                                 {"Texture", "star.png"}});
              }).find("Nobody"),
              std::string::npos);
}

TEST_F(ModelFollowerTest, WormHoleIsATubeAroundTheCameraPathFlownByThatCamera) {
    CTrouDuVers& tunnel = make<CTrouDuVers>("TrouDuVers", {{"MDLFile", "flight.vestamdl4"},
                                                           {"Texture", "star.png"},
                                                           {"AlphaTexture", ""},
                                                           {"StableTime", "5"}});
    EXPECT_STREQ(tunnel.GetClassName(), "CTrouDuVers");
    EXPECT_EQ(tunnel.Radius(), 4.0f);  // the camera's user parameter
    ASSERT_GT(tunnel.Spine().size(), 100u);
    EXPECT_NEAR(tunnel.Spine().front().z, 0.0f, 1e-4);
    EXPECT_NEAR(tunnel.Spine().back().z, 100.0f, 1.0f);
    frame(tunnel, 1.0f);
    ASSERT_EQ(module.Count("DrawIndexed"), 1u);
    const RecordedCall& draw = *module.Last("DrawIndexed");
    EXPECT_EQ(module.State().view, CameraViewMatrix({0, 0, 30}, {0, 0, 40}, 0));
    for (const RenderVertex& v : draw.vertices) {
        EXPECT_NEAR(std::hypot(v.x, v.y), 4.0f, 1e-3);  // on the wall
    }
    // Walls fade to black with distance from the camera, at z = 30.
    const auto greyAt = [&](float z) {
        for (const RenderVertex& v : draw.vertices) {
            if (std::fabs(v.z - z) < 0.5f) {
                return v.diffuse & 0xFF;
            }
        }
        return 0xFFFFu;
    };
    EXPECT_GT(greyAt(31.0f), greyAt(50.0f));
    EXPECT_EQ(greyAt(90.0f), 0u);
    EXPECT_TRUE(draw.state.depth.enabled);
    EXPECT_FALSE(draw.state.blend.enabled);
}

}  // namespace
}  // namespace vesta::test
