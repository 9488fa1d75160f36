// Streams and modules played through the loopback device sound as their
// sources decoded on their own.

#include <sndfile.h>

#include "SoundFixture.h"
#include "SoundTestData.h"
#include "TestSupport.h"
#include "log/Log.h"
#include "sound/MusicTrack.h"

namespace vesta::test {
namespace {

constexpr std::size_t kWindow = 1024;

// Compares `played` with the reference in short windows from the start.
void expectSameAudio(const std::vector<float>& played, const std::vector<float>& reference,
                     double tolerance) {
    const std::size_t frames = std::min(played.size(), reference.size()) / 2;
    ASSERT_GT(frames, kWindow);
    for (std::size_t at = 0; at + kWindow <= frames; at += kWindow) {
        const double difference =
            RmsDifference(played.data() + 2 * at, reference.data() + 2 * at, 2 * kWindow);
        ASSERT_LT(difference, tolerance) << "window at frame " << at;
    }
}

struct Format {
    const char* name;
    int format;
};

class StreamFormatTest : public LoopbackTest, public ::testing::WithParamInterface<Format> {};

TEST_P(StreamFormatTest, PlaysAsTheSourceDecodedAloneThenFallsSilent) {
    const auto bytes = MakeSineFile(GetParam().format, kRate, {{1000, 0.5}, {300, 0.25}}, 0.5);
    int channels = 0;
    const std::vector<float> reference = DecodeWithSndfile(bytes, channels);
    ASSERT_EQ(channels, 2);

    const SoundHandle stream = sound.StreamCreate(bytes);
    ASSERT_NE(stream, 0u);
    ASSERT_TRUE(sound.StreamPlay(stream));
    const std::vector<float> played = renderSeconds(0.7);
    expectSameAudio(played, reference, 1e-5);

    const std::size_t sourceFrames = reference.size() / 2;
    EXPECT_EQ(Peak(played, 0, sourceFrames + 16, played.size() / 2), 0.0f);
    EXPECT_FALSE(sound.ChannelIsPlaying(stream));
    EXPECT_TRUE(sound.StreamFree(stream));
    EXPECT_FALSE(sound.StreamFree(stream));
}

INSTANTIATE_TEST_SUITE_P(Formats, StreamFormatTest,
                         ::testing::Values(Format{"Wav", SF_FORMAT_WAV},
                                           Format{"Flac", SF_FORMAT_FLAC},
                                           Format{"Ogg", SF_FORMAT_OGG},
                                           Format{"Mp3", SF_FORMAT_MPEG}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(LoopbackTest, MonoStreamIsHeardOnBothSides) {
    const auto bytes = MakeSineFile(SF_FORMAT_WAV, kRate, {{440, 0.5}}, 0.3);
    int channels = 0;
    const std::vector<float> mono = DecodeWithSndfile(bytes, channels);
    std::vector<float> reference;
    for (float sample : mono) {
        reference.insert(reference.end(), {sample, sample});
    }
    const SoundHandle stream = sound.StreamCreate(bytes);
    sound.StreamPlay(stream);
    expectSameAudio(renderSeconds(0.3), reference, 1e-5);
}

TEST_F(LoopbackTest, LongStreamStaysWholeAcrossManyBuffers) {
    // Ten seconds: far more than one queue of buffers, decoded while rendering.
    const auto bytes = MakeSineFile(SF_FORMAT_FLAC, kRate, {{523, 0.4}, {659, 0.4}}, 10.0);
    int channels = 0;
    const std::vector<float> reference = DecodeWithSndfile(bytes, channels);
    const SoundHandle stream = sound.StreamCreate(bytes);
    sound.StreamPlay(stream);
    expectSameAudio(renderSeconds(10.0), reference, 1e-5);
}

TEST_F(LoopbackTest, ModulePlaysAsLibopenmptRendersItAlone) {
    const auto bytes = MakeModule();
    const std::vector<float> reference = RenderWithOpenmpt(bytes, kRate);
    ASSERT_GT(reference.size() / 2, std::size_t(kRate));  // about 1.9 s

    const SoundHandle module = sound.MusicLoad(bytes);
    ASSERT_NE(module, 0u);
    int frequency = 0;
    sound.ChannelGetAttributes(module, &frequency, nullptr, nullptr);
    EXPECT_EQ(frequency, kRate);
    sound.MusicPlay(module);
    const std::vector<float> played = renderSeconds(2.5);
    expectSameAudio(played, reference, 1e-4);
    EXPECT_GT(Peak(played, 0, 0, kRate), 0.1f);
    EXPECT_FALSE(sound.ChannelIsPlaying(module));
    EXPECT_FALSE(sound.StreamFree(module)) << "a module is no stream";
    EXPECT_TRUE(sound.MusicFree(module));
}

TEST_F(LoopbackTest, LoopingModuleGoesOnPastItsEnd) {
    const SoundHandle module = sound.MusicLoad(MakeModule(), kSoundLoop);
    sound.MusicPlay(module);
    const std::vector<float> played = renderSeconds(3.0);
    EXPECT_TRUE(sound.ChannelIsPlaying(module));
    EXPECT_GT(Peak(played, 0, std::size_t(2.5 * kRate), std::size_t(3.0 * kRate)), 0.05f);
}

TEST_F(LoopbackTest, WhatIsNoModuleOrNoSoundFileGivesNoHandle) {
    const auto wav = MakeSineFile(SF_FORMAT_WAV, kRate, {{440, 0.5}}, 0.1);
    EXPECT_EQ(sound.MusicLoad(wav), 0u);
    EXPECT_NE(sound.SampleLoad(wav, 1, kSound3D), 0u) << "the 3D sound's fallback";
    const std::vector<std::uint8_t> junk(500, 0x5A);
    EXPECT_EQ(sound.StreamCreate(junk), 0u);
    EXPECT_EQ(sound.MusicLoad(junk), 0u);
    EXPECT_EQ(sound.SampleLoad(junk), 0u);
    EXPECT_EQ(sound.StreamCreate({}), 0u);
}

TEST_F(LoopbackTest, HalfStretchHalvesTheFrequencyAndThePitch) {
    TempDir folder;
    ScopedChdir inside(folder.Path());
    WriteFile(folder / "tune.wav", MakeSineFile(SF_FORMAT_WAV, kRate, {{1000, 0.5}}, 2.0));
    MusicTrack track(sound, MusicTrack::Kind::Stream, "tune.wav");
    track.Play();
    EXPECT_EQ(track.BaseFrequency(), 44100);
    EXPECT_EQ(track.BaseVolume(), 100);
    EXPECT_EQ(track.BasePan(), 0);

    track.FollowTimeStretch(0.5f, track.BaseFrequency());
    int frequency = 0;
    int volume = 0;
    int pan = 1;
    sound.ChannelGetAttributes(track.Handle(), &frequency, &volume, &pan);
    EXPECT_EQ(frequency, 22050);
    EXPECT_EQ(volume, 100);
    EXPECT_EQ(pan, 0);
    const std::vector<float> played = renderSeconds(1.0);
    EXPECT_NEAR(CrossingsPerSecond(played, 0, 0, played.size() / 2, kRate), 500.0, 5.0);

    track.FollowTimeStretch(2.0f, track.BaseFrequency());
    const std::vector<float> faster = renderSeconds(0.2);
    EXPECT_NEAR(CrossingsPerSecond(faster, 0, 0, faster.size() / 2, kRate), 2000.0, 20.0);
}

TEST_F(LoopbackTest, MusicTrackReportsMissingAndBadFiles) {
    TempDir folder;
    ScopedChdir inside(folder.Path());
    WriteFile(folder / "bad.mod", std::string(300, 'x'));
    try {
        MusicTrack track(sound, MusicTrack::Kind::Stream, "missing.mp3");
        FAIL() << "no error";
    } catch (const CUserException& error) {
        EXPECT_STREQ(error.Text(), "Cannot open [missing.mp3]");
    }
    try {
        MusicTrack track(sound, MusicTrack::Kind::Module, "bad.mod");
        FAIL() << "no error";
    } catch (const CUserException& error) {
        EXPECT_STREQ(error.Text(), "Unknown SoundSystem error. [bad.mod]: error loading file");
    }
    // A frame header and nothing after it: libmpg123 finds no audio.
    WriteFile(folder / "Empty.MP3", std::string("\xFF\xFB\x90\x00", 4));
    try {
        MusicTrack track(sound, MusicTrack::Kind::Stream, "Empty.MP3");
        FAIL() << "no error";
    } catch (const CUserException& error) {
        EXPECT_EQ(std::string(error.Text()).rfind("Unknown SoundSystem error. [Empty.MP3]: ", 0),
                  0u)
            << error.Text();
    }
}

// A damaged frame in the middle is skipped by the decoder, which keeps its
// remarks to itself: standard error is the user's, not libmpg123's.
TEST_F(LoopbackTest, ADamagedMp3PlaysOnWithoutDecoderChatter) {
    std::vector<std::uint8_t> bytes = MakeSineFile(SF_FORMAT_MPEG, kRate, {{440, 0.5}}, 1.0);
    ASSERT_GT(bytes.size(), 4000u);
    std::fill(bytes.begin() + 2000, bytes.begin() + 2300, std::uint8_t{0});
    ::testing::internal::CaptureStderr();
    const SoundHandle stream = sound.StreamCreate(bytes);
    ASSERT_NE(stream, 0u);
    sound.StreamPlay(stream);
    const std::vector<float> played = renderSeconds(1.2);
    const std::string chatter = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(chatter, "");
    EXPECT_GT(Peak(played, 0, 0, played.size() / 2), 0.1f);
}

TEST_F(LoopbackTest, StopKeepsThePlaceAndRestartBeginsAgain) {
    const auto bytes = MakeSineFile(SF_FORMAT_WAV, kRate, {{440, 0.5}, {440, 0.5}}, 1.0);
    int channels = 0;
    const std::vector<float> reference = DecodeWithSndfile(bytes, channels);
    const SoundHandle stream = sound.StreamCreate(bytes);
    sound.StreamPlay(stream);
    render(10000);
    sound.ChannelStop(stream);
    EXPECT_EQ(Peak(render(5000), 0, 0, 5000), 0.0f);
    sound.StreamPlay(stream, false);
    const std::vector<float> resumed = render(4096);
    EXPECT_LT(RmsDifference(resumed.data(), reference.data() + 2 * 10000, 2 * 4096), 1e-5);
    sound.StreamPlay(stream, true);
    const std::vector<float> restarted = render(4096);
    EXPECT_LT(RmsDifference(restarted.data(), reference.data(), 2 * 4096), 1e-5);
}

}  // namespace
}  // namespace vesta::test
