#include "fs/DataFile.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "fs/ArchiveList.h"
#include "fs/DiskFiles.h"
#include "fs/FixedFiles.h"
#include "fs/ResourceTable.h"
#include "fs/SearchPaths.h"
#include "fs/UsedFiles.h"
#include "log/Log.h"
#include "platform/Paths.h"

namespace vesta {

bool DataFile::Open(std::string_view name) {
    if (IsOpen() || name.empty()) {
        return false;
    }
    // The engine's own pictures come last: a production's file of the name wins.
    const bool found =
        (SearchArchivesFirst()
             ? openFromArchives(name) || openFromDisk(name) || openFromResource(name)
             : openFromDisk(name) || openFromResource(name) || openFromArchives(name)) ||
        openFromBuiltIn(name);
    if (found) {
        m_name = name;
        m_position = 0;
    }
    return found;
}

bool DataFile::openFromDisk(std::string_view name) {
    std::optional<std::string> path;
    auto tryFolder = [&](const std::string& prefix) {
        path = ResolveExistingFile(prefix + std::string(name));
        if (!path || !m_mapping.Open(*path)) {
            return false;
        }
        if (m_mapping.Size() > std::numeric_limits<std::uint32_t>::max()) {
            WarnPrintf("file [%s] is larger than 4 GiB; it cannot be read", path->c_str());
            m_mapping.Close();
            return false;
        }
        return true;
    };
    const auto& folders = SearchPathList();
    if (!std::any_of(folders.begin(), folders.end(), tryFolder) && !tryFolder("")) {
        return false;
    }
    m_source = Source::Disk;
    m_data = m_mapping.Data();
    m_size = static_cast<std::uint32_t>(m_mapping.Size());
    RecordUsedFile(name);
    RecordDiskFile(name, *path);
    return true;
}

bool DataFile::openFromResource(std::string_view name) {
    const Resource* resource = ResourceTable::Executable().Find(name);
    if (!resource || resource->data.size() > std::numeric_limits<std::uint32_t>::max()) {
        return false;
    }
    m_source = Source::Resource;
    m_data = resource->data.data();
    m_size = static_cast<std::uint32_t>(resource->data.size());
    return true;
}

bool DataFile::openFromArchives(std::string_view name) {
    for (const auto& archive : ArchiveList::Mounted()) {
        const pak::Entry* entry = archive->Find(name);
        if (!entry) {
            continue;
        }
        // The first archive holding the name decides, even when its copy is damaged.
        RecordUsedFile(name);
        m_data = archive->Obtain(*entry, m_inflated);
        if (!m_data) {
            return false;
        }
        m_source = Source::Archive;
        m_size = entry->size;
        return true;
    }
    return false;
}

bool DataFile::openFromBuiltIn(std::string_view name) {
    const FixedFile* file = FindFixedFile(name);
    if (!file) {
        return false;
    }
    m_source = Source::BuiltIn;
    m_data = file->data.data();
    m_size = static_cast<std::uint32_t>(file->data.size());
    return true;
}

void DataFile::Close() {
    m_mapping.Close();
    m_inflated.reset();
    m_source = Source::None;
    m_data = nullptr;
    m_size = 0;
    m_position = 0;
}

std::uint32_t DataFile::Read(void* buffer, std::uint32_t count) {
    if (!IsOpen() || m_position >= m_size) {
        return 0;
    }
    const std::uint32_t copied = std::min(count, m_size - m_position);
    std::memcpy(buffer, m_data + m_position, copied);
    m_position += copied;
    return copied;
}

std::uint32_t DataFile::Seek(std::int32_t offset, int origin) {
    std::int64_t base = 0;
    switch (origin) {
    case kBegin:
        break;
    case kCurrent:
        base = m_position;
        break;
    case kEnd:
        base = m_size;
        break;
    default:
        return 0;
    }
    const std::int64_t target = base + offset;
    if (target < 0 || target > std::numeric_limits<std::uint32_t>::max() - 1) {
        return kInvalidPosition;
    }
    m_position = static_cast<std::uint32_t>(target);
    return m_position;
}

}  // namespace vesta
