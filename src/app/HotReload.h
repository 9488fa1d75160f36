#pragma once
// --watch: which of the files the show read from disk changed, and what that
// asks for. The script and its includes, or any file other than a picture (a
// model, a sound: the parts read them again as they load), call for the
// script to be read again and the show to resume where it was; a picture
// only for its textures to be read again.

#include <cstdint>
#include <string>
#include <vector>

#include "app/FileWatch.h"

namespace vesta {

class Font;

class HotReload {
public:
    // The files opened from disk from the `firstFile`th on (DiskFilesOpened)
    // are the show's; those before are the player's own.
    explicit HotReload(std::size_t firstFile) : m_known(firstFile) {}

    // The entry script and its includes, as the last good read found them.
    // The files that read opened are watched from then on.
    void SetScriptFiles(std::vector<std::string> paths);

    struct Changes {
        bool script = false;
        std::vector<std::string> pictures;  // by PictureLookupName
        bool Any() const { return script || !pictures.empty(); }
    };
    // What changed and has settled since the last call, each change once;
    // the files the show opened since then are watched from now on.
    Changes Poll(std::uint32_t nowMs);

    std::size_t WatchedCount() const { return m_watch.Size(); }

private:
    void watchNewFiles();

    FileWatch m_watch;
    std::size_t m_known;
    std::vector<std::string> m_scriptFiles;
};

// The reasons the last change could not be played, over the show.
void DrawReloadFailure(Font& font, const std::vector<std::string>& errors);

}  // namespace vesta
