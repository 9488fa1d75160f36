#include "fs/PakReader.h"

#include "fs/Inflate.h"

namespace vesta::pak {
namespace {

// Sequential reads that fail instead of running past the end.
class Cursor {
public:
    explicit Cursor(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    bool Has(std::size_t count) const { return m_bytes.size() - m_position >= count; }

    bool U32(std::uint32_t& value) {
        if (!Has(4)) {
            return false;
        }
        value = ReadU32(m_bytes.data() + m_position);
        m_position += 4;
        return true;
    }

    const std::uint8_t* Take(std::size_t count) {
        if (!Has(count)) {
            return nullptr;
        }
        const std::uint8_t* at = m_bytes.data() + m_position;
        m_position += count;
        return at;
    }

private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_position = 0;
};

enum class NameResult { Ok, Truncated, Bad };

NameResult readName(Cursor& cursor, std::uint32_t length, std::uint32_t compressedLength,
                    std::string& name) {
    const std::uint8_t* compressed = cursor.Take(compressedLength);
    if (!compressed) {
        return NameResult::Truncated;
    }
    if (length == 0 || !PlausibleInflatedSize(compressedLength, length)) {
        return NameResult::Bad;
    }
    std::string inflated(length, '\0');
    if (!InflateExact(compressed, compressedLength,
                      reinterpret_cast<std::uint8_t*>(inflated.data()), length)) {
        return NameResult::Bad;
    }
    // The name ends at its NUL (normally the last byte).
    inflated.resize(inflated.find('\0') == std::string::npos ? length : inflated.find('\0'));
    name = std::move(inflated);
    return NameResult::Ok;
}

}  // namespace

bool EntryIntact(const Entry& entry, std::size_t archiveSize) {
    const std::uint64_t end = static_cast<std::uint64_t>(entry.offset) + entry.storedSize;
    if (end > archiveSize) {
        return false;
    }
    return entry.Compressed() ? PlausibleInflatedSize(entry.storedSize, entry.size)
                              : entry.storedSize == entry.size;
}

Directory ReadDirectory(std::span<const std::uint8_t> archive) {
    Directory directory;
    Cursor cursor(archive);
    const std::uint8_t* magic = cursor.Take(3);
    if (!magic || std::memcmp(magic, kMagic, 3) != 0) {
        return directory;
    }
    const std::uint8_t* version = cursor.Take(2);
    if (!version || (version[0] | version[1] << 8) != kVersion) {
        directory.status = version ? DirectoryStatus::WrongVersion : DirectoryStatus::Truncated;
        return directory;
    }
    std::uint32_t count = 0;
    if (!cursor.U32(count)) {
        directory.status = DirectoryStatus::Truncated;
        return directory;
    }
    // Each entry takes at least 24 bytes, which bounds a damaged count before reserving.
    if (!cursor.Has(static_cast<std::uint64_t>(count) * 24)) {
        directory.status = DirectoryStatus::Truncated;
        return directory;
    }
    directory.entries.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        Entry entry;
        std::uint32_t nameLength = 0;
        std::uint32_t compressedLength = 0;
        if (!cursor.U32(entry.offset) || !cursor.U32(nameLength) || !cursor.U32(compressedLength)) {
            directory.status = DirectoryStatus::Truncated;
            return directory;
        }
        switch (readName(cursor, nameLength, compressedLength, entry.name)) {
        case NameResult::Ok:
            break;
        case NameResult::Truncated:
            directory.status = DirectoryStatus::Truncated;
            return directory;
        case NameResult::Bad:
            directory.status = DirectoryStatus::BadName;
            return directory;
        }
        if (!cursor.U32(entry.storedSize) || !cursor.U32(entry.size) || !cursor.U32(entry.flags)) {
            directory.status = DirectoryStatus::Truncated;
            return directory;
        }
        if (!EntryIntact(entry, archive.size())) {
            ++directory.damagedEntries;
        }
        directory.entries.push_back(std::move(entry));
    }
    directory.status = DirectoryStatus::Ok;
    return directory;
}

const char* DescribeStatus(DirectoryStatus status) {
    switch (status) {
    case DirectoryStatus::Ok:
        return "valid";
    case DirectoryStatus::NotAnArchive:
        return "not a PAK archive";
    case DirectoryStatus::WrongVersion:
        return "a PAK archive of another version";
    case DirectoryStatus::Truncated:
        return "truncated: its directory runs past the end of the file";
    case DirectoryStatus::BadName:
        return "damaged: an entry name does not inflate to its length";
    }
    return "unknown";
}

}  // namespace vesta::pak
