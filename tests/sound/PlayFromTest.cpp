// Music started part-way through, as a run that starts later hears it: the
// same samples a play from the start gives there.

#include <sndfile.h>

#include "SoundFixture.h"
#include "SoundTestData.h"

namespace vesta::test {
namespace {

// Stereo frames [from, from + count) of `stereo` against `played` from its start.
double differenceFrom(const std::vector<float>& stereo, std::size_t from,
                      const std::vector<float>& played, std::size_t count) {
    return RmsDifference(stereo.data() + 2 * from, played.data(), 2 * count);
}

TEST_F(LoopbackTest, AStreamPlayedFromASecondSoundsAsTheFileFromThere) {
    const auto bytes = MakeSineFile(SF_FORMAT_FLAC, kRate, {{523, 0.4}, {659, 0.3}}, 2.0);
    int channels = 0;
    const std::vector<float> reference = DecodeWithSndfile(bytes, channels);
    const SoundHandle stream = sound.StreamCreate(bytes);
    ASSERT_TRUE(sound.StreamPlay(stream));
    renderSeconds(0.25);
    ASSERT_TRUE(sound.MusicPlayFrom(stream, 1.25));
    const std::vector<float> played = renderSeconds(0.5);
    EXPECT_LT(differenceFrom(reference, kRate * 5 / 4, played, kRate / 2), 1e-5);

    // Past its end a stream that does not loop stays silent.
    ASSERT_TRUE(sound.MusicPlayFrom(stream, 3.0));
    EXPECT_EQ(Peak(renderSeconds(0.2), 0, 0, kRate / 5), 0.0f);
    EXPECT_FALSE(sound.MusicPlayFrom(stream + 1000, 1.0));
}

TEST_F(LoopbackTest, ALoopingModulePlayedPastItsLengthWrapsAround) {
    const auto bytes = MakeModule();
    const std::vector<float> reference = RenderWithOpenmpt(bytes, kRate);
    const SoundHandle module = sound.MusicLoad(bytes, kSoundLoop);
    ASSERT_NE(module, 0u);
    ASSERT_TRUE(sound.MusicPlay(module));
    // 1.92 s long: 2.88 s into it is row 8 (0.96 s) of its second round.
    ASSERT_TRUE(sound.MusicPlayFrom(module, 2.88));
    const std::vector<float> played = renderSeconds(0.4);
    EXPECT_GT(Peak(played, 0, 0, kRate * 2 / 5), 0.05f);
    EXPECT_LT(differenceFrom(reference, kRate * 96 / 100, played, kRate * 2 / 5), 0.02);
}

}  // namespace
}  // namespace vesta::test
