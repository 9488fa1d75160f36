#include "fs/ArchiveList.h"

#include <algorithm>
#include <dirent.h>
#include <string>

#include "fs/ResourceTable.h"
#include "platform/Paths.h"

namespace vesta {
namespace {

ArchiveList::Archives& archives() {
    static ArchiveList::Archives mounted;
    return mounted;
}

bool mountEmbedded() {
    for (const Resource& resource : ResourceTable::Executable().Resources()) {
        const std::string name = AsciiLower(resource.name);
        if (name.find(".pak") != std::string::npos) {
            if (auto archive = ResourceArchive::MountMemory(name, resource.data)) {
                archives().push_back(std::move(archive));
                return true;
            }
            return false;
        }
    }
    return false;
}

bool hasPakExtension(std::string_view name) {
    return name.size() > 4 && AsciiEqualsIgnoreCase(name.substr(name.size() - 4), ".pak");
}

void mountFolderArchives() {
    std::vector<std::string> names;
    if (DIR* dir = opendir(".")) {
        while (const dirent* entry = readdir(dir)) {
            if (hasPakExtension(entry->d_name)) {
                names.emplace_back(entry->d_name);
            }
        }
        closedir(dir);
    }
    // Sorted by name first, so that archives of equal age come in a fixed order.
    std::sort(names.begin(), names.end());
    ArchiveList::Archives found;
    for (const std::string& name : names) {
        if (auto archive = ResourceArchive::Mount(name)) {
            found.push_back(std::move(archive));
        }
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a->ModifiedTime() > b->ModifiedTime();
    });
    for (auto& archive : found) {
        archives().push_back(std::move(archive));
    }
}

}  // namespace

void ArchiveList::MountAll() {
    archives().clear();
    if (!mountEmbedded()) {
        mountFolderArchives();
    }
}

const ArchiveList::Archives& ArchiveList::Mounted() {
    return archives();
}

void ArchiveList::ClearForTests() {
    archives().clear();
}

void ArchiveList::AppendForTests(std::unique_ptr<ResourceArchive> archive) {
    archives().push_back(std::move(archive));
}

}  // namespace vesta
