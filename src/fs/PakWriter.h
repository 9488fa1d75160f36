#pragma once
// Builds PAK archives.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vesta::pak {

struct WriterOptions {
    bool store = false;  // never compress entry data
    int level = 9;       // zlib level 1..9 for compressed entries
};

class PakWriter {
public:
    explicit PakWriter(WriterOptions options = {}) : m_options(options) {}

    // Entries keep the order in which they are added. False when the entry
    // cannot be written (a name or data too large for the format).
    bool Add(std::string name, std::span<const std::uint8_t> data);

    std::size_t Count() const { return m_entries.size(); }

    // The complete archive; nullopt when it would exceed the format's 4 GiB.
    std::optional<std::vector<std::uint8_t>> Build() const;

private:
    struct Pending {
        std::vector<std::uint8_t> compressedName;
        std::uint32_t nameLength;  // with the NUL
        std::vector<std::uint8_t> data;
        std::uint32_t size;
        bool compressed;
    };

    WriterOptions m_options;
    std::vector<Pending> m_entries;
};

}  // namespace vesta::pak
