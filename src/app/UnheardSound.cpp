#include "app/UnheardSound.h"

#include <algorithm>
#include <cmath>

#include "sound/SoundSystem.h"

namespace vesta {
namespace {

constexpr std::int64_t kChunkFrames = 4096;
constexpr std::size_t kStereo = 2;

}  // namespace

UnheardSound::UnheardSound(SoundSystem& sound) : m_sound(sound) {
    m_scratch.resize(static_cast<std::size_t>(kChunkFrames) * kStereo);
}

void UnheardSound::MixUntil(double seconds) {
    const auto target =
        m_base + static_cast<std::int64_t>(std::llround(seconds * m_sound.OutputRate()));
    while (m_mixed < target) {
        const std::int64_t chunk = std::min(target - m_mixed, kChunkFrames);
        m_sound.RenderAudio(m_scratch.data(), static_cast<std::size_t>(chunk));
        m_mixed += chunk;
    }
}

void UnheardSound::Rebase(double seconds) {
    m_base = m_mixed - static_cast<std::int64_t>(std::llround(seconds * m_sound.OutputRate()));
}

}  // namespace vesta
