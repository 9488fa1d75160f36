// Any bytes as music, from memory: a stream or a tracker module must open and
// decode to its end, seek and rewind, or be refused with a reason, never
// crash, read outside the bytes or allocate without bound. The sound system
// takes the same bytes as a stream, a module and a sample with no output
// opened, so its handle table sees refusals too.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "log/Log.h"
#include "log/WarningEcho.h"
#include "sound/Decoder.h"
#include "sound/SoundSystem.h"

namespace {

// Enough to cross several of any decoder's internal blocks, few enough that
// a module that loops or a stream that claims hours stays cheap.
constexpr std::size_t kMostFrames = 1 << 15;

void drain(vesta::Decoder& decoder) {
    const int channels = decoder.Channels();
    if (channels <= 0 || channels > 64 || decoder.Rate() <= 0) {
        std::abort();  // an opened decoder must describe a playable source
    }
    std::vector<float> buffer(std::size_t(channels) * 1024);
    std::size_t total = 0;
    while (total < kMostFrames) {
        const std::size_t got = decoder.Read(buffer.data(), 1024);
        if (got > 1024) {
            std::abort();
        }
        if (got == 0) {
            break;
        }
        total += got;
    }
}

void play(std::unique_ptr<vesta::Decoder> decoder) {
    if (!decoder) {
        return;
    }
    drain(*decoder);
    if (decoder->Seek(0.05)) {
        drain(*decoder);
    }
    if (decoder->Rewind()) {
        drain(*decoder);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vesta::SetLogSink([](void*, const char*) {}, nullptr);
    vesta::SetWarningsToStandardError(false);
    const std::vector<std::uint8_t> bytes(data, data + size);
    std::string whyNot;
    play(vesta::OpenSoundFile(bytes, &whyNot));
    play(vesta::OpenModule(bytes, 44100, false, true, &whyNot));
    play(vesta::OpenModule(bytes, 22050, true, false, &whyNot));

    static vesta::SoundSystem sound;
    const std::span<const std::uint8_t> view(data, size);
    if (vesta::SoundHandle stream = sound.StreamCreate(view, vesta::kSoundLoop)) {
        sound.MusicPlayFrom(stream, 0.5);
        sound.StreamFree(stream);
    }
    if (vesta::SoundHandle module = sound.MusicLoad(view, vesta::kSound3D)) {
        sound.MusicPlayFrom(module, 0.5);
        sound.MusicFree(module);
    }
    if (sound.LiveHandleCount() != 0) {
        std::abort();
    }
    return 0;
}
