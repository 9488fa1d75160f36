// The cost of mixing through the loopback device, per second of audio, as a
// fraction of one core: one compressed stream, one tracker module, both, and
// 32 positioned samples with the listener moving every video frame.

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>
#include <sndfile.h>
#include <vector>

#include "SoundTestData.h"
#include "sound/SoundSystem.h"

namespace {

using namespace vesta;

constexpr int kRate = 44100;
constexpr std::size_t kVideoFrame = kRate / 30;
constexpr double kSeconds = 20.0;

double cpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// Renders kSeconds in video-frame slices, calling `perFrame` before each.
void measure(const char* name, SoundSystem& sound, const std::function<void(int)>& perFrame) {
    std::vector<float> out(2 * kVideoFrame);
    const auto frames = static_cast<int>(kSeconds * kRate / double(kVideoFrame));
    const double start = cpuSeconds();
    for (int frame = 0; frame < frames; ++frame) {
        perFrame(frame);
        sound.RenderAudio(out.data(), kVideoFrame);
    }
    const double used = cpuSeconds() - start;
    std::printf("%-34s %7.2f ms per second of audio  %6.2f %% of one core\n", name,
                used / kSeconds * 1000.0, used / kSeconds * 100.0);
}

std::vector<std::uint8_t> musicStream() {
    return test::MakeSineFile(SF_FORMAT_OGG, kRate, {{220, 0.3}, {330, 0.3}}, kSeconds + 1.0);
}

void oneStream() {
    SoundSystem sound;
    sound.Initialize(SoundOutput::Loopback, kRate);
    const SoundHandle stream = sound.StreamCreate(musicStream());
    sound.StreamPlay(stream);
    measure("stream (Ogg Vorbis, stereo)", sound, [](int) {});
}

void oneModule() {
    SoundSystem sound;
    sound.Initialize(SoundOutput::Loopback, kRate);
    const SoundHandle module = sound.MusicLoad(test::MakeModule(), kSoundLoop);
    sound.MusicPlay(module);
    measure("module (4-channel MOD)", sound, [](int) {});
}

void streamAndModule() {
    SoundSystem sound;
    sound.Initialize(SoundOutput::Loopback, kRate);
    const SoundHandle stream = sound.StreamCreate(musicStream());
    const SoundHandle module = sound.MusicLoad(test::MakeModule(), kSoundLoop);
    sound.StreamPlay(stream);
    sound.MusicPlay(module);
    // The timeline sets the stretched frequency every frame.
    measure("stream + module", sound, [&](int) {
        sound.ChannelSetAttributes(stream, kRate, kVolumeUnchanged, kPanUnchanged);
        sound.ChannelSetAttributes(module, kRate, kVolumeUnchanged, kPanUnchanged);
        sound.CurrentLevel();
    });
}

void positionedSamples() {
    SoundSystem sound;
    sound.Initialize(SoundOutput::Loopback, kRate);
    std::vector<SoundHandle> channels;
    for (int i = 0; i < 32; ++i) {
        const SoundHandle copy =
            sound.SampleLoad(test::MakeSineFile(SF_FORMAT_WAV, 22050, {{220.0 + 10 * i, 0.2}}, 1.0),
                             1, kSoundLoop | kSound3D);
        const float angle = float(i) * 0.196f;
        const SoundVector at{20 * std::cos(angle), 0, 20 * std::sin(angle)};
        channels.push_back(sound.SamplePlay3D(copy, &at));
    }
    measure("32 positioned samples", sound, [&](int frame) {
        const float t = float(frame) / 30.0f;
        const SoundVector position{std::sin(t) * 5, 0, std::cos(t) * 5};
        const SoundVector front{std::cos(t), 0, -std::sin(t)};
        const SoundVector top{0, 1, 0};
        const SoundVector still{};
        sound.Set3DPosition(&position, &still, &front, &top);
        for (std::size_t i = 0; i < channels.size(); ++i) {
            const float angle = float(i) * 0.196f + t;
            const SoundVector at{20 * std::cos(angle), 0, 20 * std::sin(angle)};
            sound.ChannelSet3DPosition(channels[i], &at, nullptr, nullptr);
        }
        sound.Apply3D();
    });
}

}  // namespace

int main() {
    std::printf("Mixing cost through the loopback device at %d Hz, %.0f s each, "
                "rendered one video frame (1/30 s) at a time:\n",
                kRate, kSeconds);
    oneStream();
    oneModule();
    streamAndModule();
    positionedSamples();
    std::printf("Goal: stream + module under 5 %% of one core.\n");
    return 0;
}
