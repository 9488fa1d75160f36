#pragma once
// Named blobs carried by an executable, appended after its ELF image:
//
//   [blob bytes ...][directory][trailer]
//   directory: per resource  u32 name length, name bytes, u64 offset, u64 size
//   trailer (32 bytes): u64 region start, u64 directory offset, u32 count,
//                       u32 format version, "VESTARES"
//
// Offsets are absolute within the file; the region start is where the
// original program ends, so a new table can replace an old one.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/MappedFile.h"

namespace vesta {

struct Resource {
    std::string name;
    std::span<const std::uint8_t> data;
};

class ResourceTable {
public:
    // Reads the table at the end of `image`; an image without one (or with a
    // damaged one) yields an empty table whose program size is the whole image.
    static ResourceTable Parse(std::span<const std::uint8_t> image);

    // The table of the running executable, read once and kept mapped for the run.
    static const ResourceTable& Executable();

    // Replaces the executable's table for the rest of the process; for tests.
    static void UseForTests(ResourceTable table);

    const std::vector<Resource>& Resources() const { return m_resources; }
    // Exact, case-sensitive name.
    const Resource* Find(std::string_view name) const;
    // Bytes of the program itself, before any table.
    std::size_t ProgramSize() const { return m_programSize; }
    bool Damaged() const { return m_damaged; }

private:
    std::vector<Resource> m_resources;
    std::size_t m_programSize = 0;
    bool m_damaged = false;
};

struct ResourceInput {
    std::string name;
    std::vector<std::uint8_t> data;
};

// `program` followed by a table of `resources`; any table `program` already
// carries is dropped first.
std::vector<std::uint8_t> AppendResourceTable(std::span<const std::uint8_t> program,
                                              const std::vector<ResourceInput>& resources);

}  // namespace vesta
