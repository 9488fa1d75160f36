#include "fs/PakWriter.h"

#include <limits>

#include "fs/Inflate.h"
#include "fs/PakFormat.h"

namespace vesta::pak {
namespace {

constexpr std::uint64_t kFormatLimit = std::numeric_limits<std::uint32_t>::max();

}  // namespace

bool PakWriter::Add(std::string name, std::span<const std::uint8_t> data) {
    if (name.empty() || name.size() + 1 > kFormatLimit || data.size() > kFormatLimit) {
        return false;
    }
    Pending entry;
    const std::vector<std::uint8_t> nameBytes(name.c_str(), name.c_str() + name.size() + 1);
    entry.compressedName = Deflate(nameBytes.data(), nameBytes.size(), 9);
    entry.nameLength = static_cast<std::uint32_t>(nameBytes.size());
    entry.size = static_cast<std::uint32_t>(data.size());
    entry.compressed = false;
    if (!m_options.store && !data.empty()) {
        std::vector<std::uint8_t> deflated = Deflate(data.data(), data.size(), m_options.level);
        // Data that do not shrink are stored: reading them then costs no copy.
        if (!deflated.empty() && deflated.size() < data.size()) {
            entry.data = std::move(deflated);
            entry.compressed = true;
        }
    }
    if (!entry.compressed) {
        entry.data.assign(data.begin(), data.end());
    }
    m_entries.push_back(std::move(entry));
    return true;
}

std::optional<std::vector<std::uint8_t>> PakWriter::Build() const {
    std::uint64_t directorySize = kHeaderSize;
    std::uint64_t dataSize = 0;
    for (const Pending& entry : m_entries) {
        directorySize += 24 + entry.compressedName.size();
        dataSize += entry.data.size();
    }
    if (directorySize + dataSize > kFormatLimit) {
        return std::nullopt;
    }

    std::vector<std::uint8_t> out;
    out.reserve(directorySize + dataSize);
    out.insert(out.end(), kMagic, kMagic + 3);
    AppendU16(out, kVersion);
    AppendU32(out, static_cast<std::uint32_t>(m_entries.size()));
    std::uint64_t offset = directorySize;
    for (const Pending& entry : m_entries) {
        AppendU32(out, static_cast<std::uint32_t>(offset));
        AppendU32(out, entry.nameLength);
        AppendU32(out, static_cast<std::uint32_t>(entry.compressedName.size()));
        out.insert(out.end(), entry.compressedName.begin(), entry.compressedName.end());
        AppendU32(out, static_cast<std::uint32_t>(entry.data.size()));
        AppendU32(out, entry.size);
        AppendU32(out, entry.compressed ? kFlagCompressed : 0);
        offset += entry.data.size();
    }
    for (const Pending& entry : m_entries) {
        out.insert(out.end(), entry.data.begin(), entry.data.end());
    }
    return out;
}

}  // namespace vesta::pak
