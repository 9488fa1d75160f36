#pragma once
// How large a file may grow before writing to it fails: the process's file
// size limit and the space left on its file system, whichever comes first.

#include <cstdint>
#include <optional>
#include <string>

namespace vesta {

struct FileRoom {
    std::uint64_t bytes = 0;  // the largest size the file can reach
    int reason = 0;           // the errno a write past it meets: EFBIG or ENOSPC
};

// Nothing when neither bound is known (no limit, a file system that says nothing).
std::optional<FileRoom> RoomFor(const std::string& fileName, std::uint64_t currentSize);

}  // namespace vesta
