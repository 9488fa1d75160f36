#pragma once
// Notices that files on disk changed, by polling their modification time,
// size and inode a few times a second. Polling rather than inotify: an editor
// that saves by writing a new file and renaming it over the old one replaces
// the inode a folder watch would have to follow, and a poll of a few dozen
// files costs microseconds; it works on any file system the files live on.

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace vesta {

class FileWatch {
public:
    // Between two looks at the files.
    static constexpr std::uint32_t kPollMilliseconds = 250;
    // Editors write in several steps (truncate, write, rename): a change
    // counts once the file has stayed as it is for this long.
    static constexpr std::uint32_t kQuietMilliseconds = 200;

    // From now on, changes of `path` after its present state; again does nothing.
    void Add(const std::string& path);
    bool Watches(const std::string& path) const;
    std::size_t Size() const { return m_files.size(); }

    // The files whose change has settled by `nowMs` (a millisecond count that
    // may wrap), each once per change; looks at the disk at most every
    // kPollMilliseconds. A file that goes and comes back as it was has not
    // changed.
    std::vector<std::string> Poll(std::uint32_t nowMs);

private:
    struct Stamp {
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        std::int64_t modified = 0;  // nanoseconds
        bool operator==(const Stamp&) const = default;
    };
    struct Watched {
        std::string path;
        Stamp settled;  // what the run has read
        Stamp seen;     // at the last look
        std::optional<std::uint32_t> changedAt;
    };

    static Stamp stampOf(const std::string& path);

    std::vector<Watched> m_files;
    std::optional<std::uint32_t> m_lastPoll;
};

}  // namespace vesta
