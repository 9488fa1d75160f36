#include "ChunkTreeDump.h"

#include <cstdio>
#include <vector>

#include "scene/Mdl4ChunkReader.h"
#include "scene/Mdl4Format.h"

namespace vesta::mdltool {
namespace {

struct ChunkHeader {
    std::uint32_t kind = 0;
    std::uint32_t totalSize = 0;
    std::uint32_t dataSize = 0;
    std::uint32_t childCount = 0;
};

std::uint32_t u32At(std::span<const std::uint8_t> bytes, std::uint64_t offset) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | bytes[offset + i];
    }
    return value;
}

// Only called for chunks the reader has entered, which it checked lie inside the bytes.
ChunkHeader headerAt(std::span<const std::uint8_t> bytes, std::uint64_t offset) {
    return {u32At(bytes, offset), u32At(bytes, offset + 4), u32At(bytes, offset + 8),
            u32At(bytes, offset + 12)};
}

bool startsWithName(std::uint32_t kind) {
    using namespace mdl4;
    return kind == Mesh || kind == Camera || kind == Light || kind == Material || kind == Point ||
           kind == Anim || kind == Bone;
}

}  // namespace

std::string ChunkKindName(std::uint32_t kind) {
    using namespace mdl4;
    switch (kind) {
    case Scene:
        return "Scene";
    case Mesh:
        return "Mesh";
    case Camera:
        return "Camera";
    case Light:
        return "Light";
    case Material:
        return "Material";
    case Point:
        return "Point";
    case UserText:
        return "UserText";
    case Vertices:
        return "Vertices";
    case Normals:
        return "Normals";
    case TexCoords:
        return "TexCoords";
    case Faces:
        return "Faces";
    case FaceNormals:
        return "FaceNormals";
    case Colours:
        return "Colours";
    case Anim:
        return "Anim";
    case PosKeys:
        return "PosKeys";
    case RotKeys:
        return "RotKeys";
    case ScaleKeys:
        return "ScaleKeys";
    case FovKeys:
        return "FovKeys";
    case RollKeys:
        return "RollKeys";
    case ColourKeys:
        return "ColourKeys";
    case OuterConeKeys:
        return "OuterConeKeys";
    case InnerConeKeys:
        return "InnerConeKeys";
    case Bone:
        return "Bone";
    case BonePosKeys:
        return "BonePosKeys";
    case BoneRotKeys:
        return "BoneRotKeys";
    case Skin:
        return "Skin";
    }
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", kind);
    return text;
}

std::string DumpChunkTree(std::string_view name, std::span<const std::uint8_t> bytes) {
    Mdl4ChunkReader reader;
    reader.OpenMemory(name, bytes, mdl4::kVersion);
    std::string text;
    auto line = [&](std::uint64_t offset, std::size_t depth) {
        const ChunkHeader header = headerAt(bytes, offset);
        text.append(2 * depth, ' ');
        text += ChunkKindName(header.kind);
        if (startsWithName(header.kind)) {
            text += " \"" + reader.ReadString() + "\"";
        }
        char sizes[96];
        std::snprintf(sizes, sizeof sizes, "  size %u, data %u, %u children\n", header.totalSize,
                      header.dataSize, header.childCount);
        text += sizes;
    };
    // The reader's own walk, mirrored: each open chunk's offset and the
    // offset of its next child.
    struct Open {
        std::uint64_t nextChildOffset;
        std::uint32_t nextChild;
    };
    if (reader.EnterChild(0) == Mdl4ChunkReader::kNoChunk) {
        return text;
    }
    line(mdl4::kHeaderSize, 0);
    std::vector<Open> open{{mdl4::kHeaderSize + mdl4::kChunkHeaderSize, 0}};
    while (!open.empty()) {
        Open& top = open.back();
        if (top.nextChild < reader.ChildCount()) {
            const std::uint64_t offset = top.nextChildOffset;
            reader.EnterChild(top.nextChild);
            top.nextChild += 1;
            top.nextChildOffset += headerAt(bytes, offset).totalSize;
            line(offset, open.size());
            open.push_back({offset + mdl4::kChunkHeaderSize, 0});
        } else {
            reader.Leave();
            open.pop_back();
        }
    }
    return text;
}

}  // namespace vesta::mdltool
