#pragma once
// A whole file mapped read-only into memory.

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

namespace vesta {

class MappedFile {
public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(MappedFile&& other) noexcept;
    MappedFile& operator=(MappedFile&& other) noexcept;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // Maps the regular file at `path`; false (and errno set) when it cannot.
    bool Open(const std::string& path);
    void Close();

    bool IsOpen() const { return m_open; }
    const std::uint8_t* Data() const { return m_data; }
    std::size_t Size() const { return m_size; }
    // Last modification time, nanoseconds since the epoch.
    std::int64_t ModifiedTime() const { return m_modified; }

private:
    const std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
    std::int64_t m_modified = 0;
    bool m_open = false;
    bool m_mapped = false;  // an empty file has nothing to unmap
};

}  // namespace vesta
