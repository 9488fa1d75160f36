#include "sound/MusicTrack.h"

#include <span>

#include "fs/DataFile.h"
#include "log/Log.h"

namespace vesta {

MusicTrack::MusicTrack(SoundSystem& sound, Kind kind, std::string_view fileName)
    : m_sound(sound), m_kind(kind) {
    DataFile file;
    if (!file.Open(fileName)) {
        const std::string name(fileName);
        RaiseError("Cannot open [%s]", name.c_str());
    }
    // The sound system keeps its own copy of the bytes, so the file need not
    // stay open while the music plays.
    const std::span<const std::uint8_t> bytes(file.Data(), file.Size());
    std::string whyNot;
    m_handle = kind == Kind::Stream ? sound.StreamCreate(bytes, 0, &whyNot)
                                    : sound.MusicLoad(bytes, 0, &whyNot);
    if (!m_handle) {
        const std::string name(fileName);
        RaiseError("Unknown SoundSystem error. [%s]: %s", name.c_str(), whyNot.c_str());
    }
}

void MusicTrack::Play() {
    m_sound.ChannelGetAttributes(m_handle, &m_frequency, &m_volume, &m_pan);
    if (m_kind == Kind::Stream) {
        m_sound.StreamPlay(m_handle, true);
    } else {
        m_sound.MusicPlay(m_handle, true);
    }
}

void MusicTrack::FollowTimeStretch(float factor, int baseFrequency) {
    const auto frequency = static_cast<int>(factor * static_cast<float>(baseFrequency));
    m_sound.ChannelSetAttributes(m_handle, frequency, kVolumeUnchanged, kPanUnchanged);
}

void MusicTrack::Stop() {
    if (!m_handle) {
        return;
    }
    m_sound.ChannelStop(m_handle);
    if (m_kind == Kind::Stream) {
        m_sound.StreamFree(m_handle);
    } else {
        m_sound.MusicFree(m_handle);
    }
    m_handle = 0;
}

}  // namespace vesta
