// A 3D sound heard from the scene's camera, mixed into a buffer: the side
// of the mesh it follows is the louder one, and it stops with the modifier.

#include "modifiers/Sound3D.h"

#include <sndfile.h>

#include "ModifierStage.h"
#include "SoundTestData.h"
#include "render/RecordingModule.h"
#include "sound/SoundSystem.h"

namespace vesta::test {
namespace {

class Sound3DTest : public StageTest {
protected:
    void SetUp() override {
        StageTest::SetUp();
        module.Initialize(nullptr, false, 320, 240, 32);
        sound.Initialize(SoundOutput::Loopback, 44100);
        module.SetSoundSystem(&sound);
        WriteFile("hum.wav", MakeSineFile(SF_FORMAT_WAV, 44100, {{440.0, 0.8}}, 1.0));
    }
    void TearDown() override {
        module.SetSoundSystem(nullptr);
        StageTest::TearDown();
    }

    // Left and right peaks of 0.1 s of sound with the speaker at `x`.
    std::pair<float, float> heardFrom(float x) {
        CScene built;
        built.lastFrame = 100;
        AddCamera(built, "Ear", {0, 0, 0}, {0, 0, 100}, 0.8f);
        AddBox(built, "Speaker", {x, 0, 20}, {2, 2, 2});
        ModifierStage stage(module);
        stage.Load(built);
        stage.SelectCamera("Ear");
        auto& speaker = dynamic_cast<C3DSound&>(
            stage.Add("3DSound", {{"File", "hum.wav"}, {"Object", "Speaker"}, {"Loop", "1"}}));
        stage.Frame(0.0f);
        EXPECT_TRUE(sound.ChannelIsPlaying(speaker.Channel()));
        std::vector<float> mixed(2 * 4410);
        sound.RenderAudio(mixed.data(), 4410);
        const SoundHandle channel = speaker.Channel();
        speaker.Release();
        EXPECT_FALSE(sound.ChannelIsPlaying(channel));
        return {Peak(mixed, 0, 441, 4410), Peak(mixed, 1, 441, 4410)};
    }

    SoundSystem sound;
    RecordingModule module;
};

TEST_F(Sound3DTest, TheSoundComesFromTheMeshsSide) {
    const auto [leftOfRight, rightOfRight] = heardFrom(60.0f);
    EXPECT_GT(rightOfRight, 0.05f);
    EXPECT_GT(rightOfRight, leftOfRight * 1.5f);
    const auto [leftOfLeft, rightOfLeft] = heardFrom(-60.0f);
    EXPECT_GT(leftOfLeft, rightOfLeft * 1.5f);
}

}  // namespace
}  // namespace vesta::test
