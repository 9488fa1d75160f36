#pragma once
// The mounted archives, searched in order: the archive embedded in the
// executable, or else the "*.pak" files of the current folder, newest first.

#include <memory>
#include <vector>

#include "fs/ResourceArchive.h"

namespace vesta {

class ArchiveList {
public:
    using Archives = std::vector<std::unique_ptr<ResourceArchive>>;

    // Builds the list once, from the executable's resources and the current
    // folder. May throw CAppError for an archive with a damaged name.
    static void MountAll();

    static const Archives& Mounted();

    static void ClearForTests();
    static void AppendForTests(std::unique_ptr<ResourceArchive> archive);
};

}  // namespace vesta
