#include "fs/ResourceArchive.h"

#include "fs/Inflate.h"
#include "fs/PakReader.h"
#include "fs/ResourceTable.h"
#include "log/Log.h"
#include "platform/Paths.h"

namespace vesta {

std::unique_ptr<ResourceArchive> ResourceArchive::Mount(const std::string& name) {
    const std::size_t slash = name.find_last_of('\\');
    const std::string baseName = slash == std::string::npos ? name : name.substr(slash + 1);
    if (const Resource* resource = ResourceTable::Executable().Find(baseName)) {
        return MountMemory(name, resource->data);
    }
    std::unique_ptr<ResourceArchive> archive(new ResourceArchive);
    const std::string native = ToNativeSeparators(name);
    if (!archive->m_file.Open(native) && !archive->m_file.Open("../" + native)) {
        return nullptr;
    }
    archive->m_name = name;
    archive->m_bytes = {archive->m_file.Data(), archive->m_file.Size()};
    archive->m_modifiedTime = archive->m_file.ModifiedTime();
    return parse(std::move(archive));
}

std::unique_ptr<ResourceArchive> ResourceArchive::MountMemory(const std::string& name,
                                                              std::span<const std::uint8_t> bytes) {
    std::unique_ptr<ResourceArchive> archive(new ResourceArchive);
    archive->m_name = name;
    archive->m_bytes = bytes;
    return parse(std::move(archive));
}

std::unique_ptr<ResourceArchive> ResourceArchive::parse(std::unique_ptr<ResourceArchive> archive) {
    const pak::Directory directory = pak::ReadDirectory(archive->m_bytes);
    switch (directory.status) {
    case pak::DirectoryStatus::Ok:
        break;
    case pak::DirectoryStatus::NotAnArchive:
        return nullptr;
    case pak::DirectoryStatus::BadName:
        RaiseAppError("Error : damaged archive [%s]", archive->m_name.c_str());
    case pak::DirectoryStatus::WrongVersion:
    case pak::DirectoryStatus::Truncated:
        WarnPrintf("archive [%s] is %s; it is ignored", archive->m_name.c_str(),
                   pak::DescribeStatus(directory.status));
        return nullptr;
    }
    if (directory.damagedEntries > 0) {
        WarnPrintf("archive [%s] is damaged: %zu of its entries lie outside it or have "
                   "impossible sizes",
                   archive->m_name.c_str(), directory.damagedEntries);
    }
    for (const pak::Entry& entry : directory.entries) {
        archive->m_directory.insert_or_assign(AsciiLower(entry.name), entry);
    }
    archive->m_fullPath = CurrentDirectory() + "/" + archive->m_name;
    return archive;
}

const pak::Entry* ResourceArchive::Find(std::string_view name) const {
    const auto found = m_directory.find(AsciiLower(name));
    return found == m_directory.end() ? nullptr : &found->second;
}

const std::uint8_t* ResourceArchive::Obtain(const pak::Entry& entry,
                                            std::unique_ptr<std::uint8_t[]>& inflated) const {
    if (!pak::EntryIntact(entry, m_bytes.size())) {
        WarnPrintf("entry [%s] of archive [%s] lies outside the archive or has impossible sizes",
                   entry.name.c_str(), m_name.c_str());
        return nullptr;
    }
    const std::uint8_t* stored = m_bytes.data() + entry.offset;
    if (!entry.Compressed()) {
        return stored;
    }
    // One spare byte so that an empty entry still has a distinct, valid block.
    std::unique_ptr<std::uint8_t[]> block(new std::uint8_t[entry.size + 1]);
    if (!InflateExact(stored, entry.storedSize, block.get(), entry.size)) {
        WarnPrintf("entry [%s] of archive [%s] is damaged: it does not inflate to %u bytes",
                   entry.name.c_str(), m_name.c_str(), entry.size);
        return nullptr;
    }
    inflated = std::move(block);
    return inflated.get();
}

}  // namespace vesta
