#include "fs/ResourceTable.h"

#include <cstring>

#include "fs/PakFormat.h"
#include "platform/Paths.h"

namespace vesta {
namespace {

constexpr char kMagic[8] = {'V', 'E', 'S', 'T', 'A', 'R', 'E', 'S'};
constexpr std::uint32_t kFormatVersion = 1;
constexpr std::size_t kTrailerSize = 32;

std::uint64_t readU64(const std::uint8_t* p) {
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i) {
        value = value << 8 | p[i];
    }
    return value;
}

void appendU64(std::vector<std::uint8_t>& out, std::uint64_t value) {
    for (int shift = 0; shift < 64; shift += 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

struct ExecutableImage {
    MappedFile mapping;
    ResourceTable table;
    bool loaded = false;
};

ExecutableImage& executable() {
    static ExecutableImage image;
    return image;
}

}  // namespace

ResourceTable ResourceTable::Parse(std::span<const std::uint8_t> image) {
    ResourceTable table;
    table.m_programSize = image.size();
    if (image.size() < kTrailerSize ||
        std::memcmp(image.data() + image.size() - 8, kMagic, 8) != 0) {
        return table;
    }
    const std::uint8_t* trailer = image.data() + image.size() - kTrailerSize;
    const std::uint64_t regionStart = readU64(trailer);
    const std::uint64_t directoryOffset = readU64(trailer + 8);
    const std::uint32_t count = pak::ReadU32(trailer + 16);
    const std::uint32_t version = pak::ReadU32(trailer + 20);
    const std::uint64_t directoryEnd = image.size() - kTrailerSize;
    table.m_damaged = true;
    if (version != kFormatVersion || regionStart > directoryOffset ||
        directoryOffset > directoryEnd) {
        return table;
    }
    std::size_t at = directoryOffset;
    std::vector<Resource> resources;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (directoryEnd - at < 4) {
            return table;
        }
        const std::uint32_t nameLength = pak::ReadU32(image.data() + at);
        at += 4;
        if (directoryEnd - at < static_cast<std::uint64_t>(nameLength) + 16) {
            return table;
        }
        std::string name(reinterpret_cast<const char*>(image.data() + at), nameLength);
        at += nameLength;
        const std::uint64_t offset = readU64(image.data() + at);
        const std::uint64_t size = readU64(image.data() + at + 8);
        at += 16;
        if (offset < regionStart || offset > directoryOffset || size > directoryOffset - offset) {
            return table;
        }
        resources.push_back({std::move(name), image.subspan(offset, size)});
    }
    table.m_resources = std::move(resources);
    table.m_programSize = regionStart;
    table.m_damaged = false;
    return table;
}

const ResourceTable& ResourceTable::Executable() {
    ExecutableImage& image = executable();
    if (!image.loaded) {
        image.loaded = true;
        if (image.mapping.Open(ExecutablePath())) {
            image.table = Parse({image.mapping.Data(), image.mapping.Size()});
        }
    }
    return image.table;
}

void ResourceTable::UseForTests(ResourceTable table) {
    executable().table = std::move(table);
    executable().loaded = true;
}

const Resource* ResourceTable::Find(std::string_view name) const {
    for (const Resource& resource : m_resources) {
        if (resource.name == name) {
            return &resource;
        }
    }
    return nullptr;
}

std::vector<std::uint8_t> AppendResourceTable(std::span<const std::uint8_t> program,
                                              const std::vector<ResourceInput>& resources) {
    const std::size_t programSize = ResourceTable::Parse(program).ProgramSize();
    std::vector<std::uint8_t> out(program.begin(), program.begin() + programSize);
    std::vector<std::uint64_t> offsets;
    for (const ResourceInput& resource : resources) {
        offsets.push_back(out.size());
        out.insert(out.end(), resource.data.begin(), resource.data.end());
    }
    const std::uint64_t directoryOffset = out.size();
    for (std::size_t i = 0; i < resources.size(); ++i) {
        pak::AppendU32(out, static_cast<std::uint32_t>(resources[i].name.size()));
        out.insert(out.end(), resources[i].name.begin(), resources[i].name.end());
        appendU64(out, offsets[i]);
        appendU64(out, resources[i].data.size());
    }
    appendU64(out, programSize);
    appendU64(out, directoryOffset);
    pak::AppendU32(out, static_cast<std::uint32_t>(resources.size()));
    pak::AppendU32(out, kFormatVersion);
    out.insert(out.end(), kMagic, kMagic + 8);
    return out;
}

}  // namespace vesta
