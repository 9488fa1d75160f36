#pragma once
// Walks the chunks of an MDL4 file held in memory.
//
//     Mdl4ChunkReader reader;
//     reader.Open("ship.vestamdl4", mdl4::kVersion);
//     if (reader.EnterChild(0) == mdl4::Scene) {   // the root
//         std::uint32_t lastFrame = reader.ReadU32();
//         ...
//         reader.Leave();
//     }
//
// Every read is checked against the end of the current chunk, and every
// chunk against the children area of its parent (or the file for the root):
// anything that would reach past them raises "File [%s] is not a valid
// VestaMDL4 file." through RaiseError, so no read ever leaves the file.

#include <bit>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fs/DataFile.h"
#include "scene/SceneMath.h"

namespace vesta {

class Mdl4ChunkReader {
public:
    static constexpr std::int64_t kNoChunk = -1;

    // An empty path opens nothing. A file that cannot be opened raises
    // "Unable to open [%s]"; a wrong magic the "not a valid" error; another
    // version "Invalid version for File [%s] (Is %X, expected %X)".
    void Open(std::string_view path, std::uint32_t expectedVersion);
    // The same checks on bytes the caller keeps alive; `name` is what the
    // messages call them.
    void OpenMemory(std::string_view name, std::span<const std::uint8_t> bytes,
                    std::uint32_t expectedVersion);
    bool IsOpen() const { return m_open; }
    const std::string& Path() const { return m_path; }

    // Enters child `index` of the current chunk (at the top level: the root,
    // the only child there) and puts the cursor at its data; returns its
    // kind, or kNoChunk when `index` is not below ChildCount(). Entering the
    // children in order costs nothing for skipping.
    std::int64_t EnterChild(std::uint32_t index);
    std::uint32_t ChildCount() const;
    void Leave();
    std::size_t Depth() const { return m_stack.size(); }

    std::uint32_t ReadU32();
    float ReadF32();
    std::uint16_t ReadU16();
    std::uint8_t ReadU8();
    // A u32 byte count and that many bytes, no terminator.
    std::string ReadString();
    Matrix4 ReadMatrix();
    Vector3 ReadVector3();
    void Skip(std::uint64_t count);
    // `count` records of `recordSize` bytes as one checked read: the cursor
    // moves past them and the records are decoded with the *At functions,
    // which large arrays read much faster than one value at a time.
    const std::uint8_t* ReadRecords(std::uint64_t count, std::uint64_t recordSize);
    static std::uint32_t U32At(const std::uint8_t* at) {
        return std::uint32_t(at[0]) | std::uint32_t(at[1]) << 8 | std::uint32_t(at[2]) << 16 |
               std::uint32_t(at[3]) << 24;
    }
    static float F32At(const std::uint8_t* at) { return std::bit_cast<float>(U32At(at)); }
    static std::uint16_t U16At(const std::uint8_t* at) {
        return static_cast<std::uint16_t>(at[0] | at[1] << 8);
    }
    static Vector3 Vector3At(const std::uint8_t* at) {
        return {F32At(at), F32At(at + 4), F32At(at + 8)};
    }
    // Raises the "not valid" error unless `count` records of `recordSize`
    // bytes lie before the end of the current chunk; callers check this
    // before sizing arrays by a count read from the file.
    void RequireRecords(std::uint64_t count, std::uint64_t recordSize) const;

    [[noreturn]] void RaiseInvalid() const;

private:
    struct Chunk {
        std::uint64_t offset = 0;
        std::uint32_t kind = 0;
        std::uint64_t end = 0;        // offset + total size
        std::uint64_t dataStart = 0;  // end - data size; children lie before it
        std::uint32_t childCount = 0;
        std::uint32_t nextChild = 0;  // the child that starts at nextChildOffset
        std::uint64_t nextChildOffset = 0;
    };

    void checkHeader(std::uint32_t expectedVersion);
    // The child at `offset` that must lie within [offset, limit).
    Chunk readChunkAt(std::uint64_t offset, std::uint64_t limit) const;
    std::uint64_t readLimit() const;
    const std::uint8_t* take(std::uint64_t count);

    DataFile m_file;
    std::span<const std::uint8_t> m_bytes;
    std::string m_path;
    bool m_open = false;
    std::uint64_t m_cursor = 0;
    std::vector<Chunk> m_stack;
};

}  // namespace vesta
