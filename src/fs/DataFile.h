#pragma once
// The one way to open a data file by name. The whole file is one read-only
// block; it may also be read sequentially.
//
// Names resolve through the search folders and the current folder, single
// resources of the executable, and the mounted archives (disk first unless
// archives were asked to come first).

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/MappedFile.h"

namespace vesta {

class ResourceArchive;

class DataFile {
public:
    enum Origin : int { kBegin = 0, kCurrent = 1, kEnd = 2 };
    enum class Source { None, Disk, Resource, Archive, BuiltIn };
    static constexpr std::uint32_t kInvalidPosition = 0xFFFFFFFFu;

    DataFile() = default;
    explicit DataFile(std::string_view name) { Open(name); }
    ~DataFile() { Close(); }
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;

    // False when already open, when the name is empty, or when no store has it.
    bool Open(std::string_view name);
    void Close();

    bool IsOpen() const { return m_source != Source::None; }
    Source From() const { return m_source; }
    const std::string& Name() const { return m_name; }
    std::uint32_t Size() const { return m_size; }
    const std::uint8_t* Data() const { return m_data; }

    // Copies up to `count` bytes from the read position; 0 at the end.
    std::uint32_t Read(void* buffer, std::uint32_t count);
    // The new position; an unknown origin returns 0 and a position before the
    // start kInvalidPosition, both leaving the position as it was.
    std::uint32_t Seek(std::int32_t offset, int origin);
    std::uint32_t Tell() const { return m_position; }

private:
    bool openFromDisk(std::string_view name);
    bool openFromResource(std::string_view name);
    bool openFromArchives(std::string_view name);
    bool openFromBuiltIn(std::string_view name);

    std::string m_name;
    Source m_source = Source::None;
    const std::uint8_t* m_data = nullptr;
    std::uint32_t m_size = 0;
    std::uint32_t m_position = 0;
    MappedFile m_mapping;                        // disk
    std::unique_ptr<std::uint8_t[]> m_inflated;  // compressed archive entry
};

}  // namespace vesta
