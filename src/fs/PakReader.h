#pragma once
// Reads the directory of a PAK archive held in memory, checking every read
// against the archive's size.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "fs/PakFormat.h"

namespace vesta::pak {

enum class DirectoryStatus {
    Ok,
    NotAnArchive,  // no "PAK" magic: not ours, ignored quietly
    WrongVersion,
    Truncated,  // the directory runs past the end of the archive
    BadName,    // a name that does not inflate to its length
};

struct Directory {
    DirectoryStatus status = DirectoryStatus::NotAnArchive;
    std::vector<Entry> entries;  // in archive order
    // Entries whose data run past the end of the archive, or whose sizes contradict each other.
    std::size_t damagedEntries = 0;
};

Directory ReadDirectory(std::span<const std::uint8_t> archive);

// Whether the entry's data lie inside the archive and its sizes are consistent.
bool EntryIntact(const Entry& entry, std::size_t archiveSize);

const char* DescribeStatus(DirectoryStatus status);

}  // namespace vesta::pak
