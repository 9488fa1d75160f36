#include "scene/Mdl4ChunkReader.h"

#include <cstring>

#include "log/Log.h"
#include "scene/Mdl4Format.h"

namespace vesta {

void Mdl4ChunkReader::Open(std::string_view path, std::uint32_t expectedVersion) {
    if (path.empty()) {
        return;
    }
    m_path = std::string(path);
    if (!m_file.Open(path)) {
        RaiseError("Unable to open [%s]", m_path.c_str());
    }
    m_bytes = {m_file.Data(), m_file.Size()};
    checkHeader(expectedVersion);
}

void Mdl4ChunkReader::OpenMemory(std::string_view name, std::span<const std::uint8_t> bytes,
                                 std::uint32_t expectedVersion) {
    m_path = std::string(name);
    m_bytes = bytes;
    checkHeader(expectedVersion);
}

void Mdl4ChunkReader::checkHeader(std::uint32_t expectedVersion) {
    m_cursor = 0;
    m_stack.clear();
    if (std::memcmp(take(4), mdl4::kMagic, 4) != 0) {
        RaiseInvalid();
    }
    const std::uint32_t version = ReadU32();
    if (version != expectedVersion) {
        RaiseError("Invalid version for File [%s] (Is %X, expected %X)", m_path.c_str(), version,
                   expectedVersion);
    }
    m_open = true;
}

void Mdl4ChunkReader::RaiseInvalid() const {
    RaiseError("File [%s] is not a valid VestaMDL4 file.", m_path.c_str());
}

Mdl4ChunkReader::Chunk Mdl4ChunkReader::readChunkAt(std::uint64_t offset,
                                                    std::uint64_t limit) const {
    if (offset > limit || limit - offset < mdl4::kChunkHeaderSize) {
        RaiseInvalid();
    }
    const std::uint8_t* header = m_bytes.data() + offset;
    Chunk chunk;
    chunk.offset = offset;
    chunk.kind = U32At(header);
    const std::uint32_t totalSize = U32At(header + 4);
    const std::uint32_t dataSize = U32At(header + 8);
    chunk.childCount = U32At(header + 12);
    if (totalSize < mdl4::kChunkHeaderSize || totalSize > limit - offset ||
        dataSize > totalSize - mdl4::kChunkHeaderSize) {
        RaiseInvalid();
    }
    chunk.end = offset + totalSize;
    chunk.dataStart = chunk.end - dataSize;
    chunk.nextChildOffset = offset + mdl4::kChunkHeaderSize;
    return chunk;
}

std::int64_t Mdl4ChunkReader::EnterChild(std::uint32_t index) {
    if (index >= ChildCount()) {
        return kNoChunk;
    }
    Chunk chunk;
    if (m_stack.empty()) {
        // The root's size may fall short of the file's end, never beyond it.
        chunk = readChunkAt(mdl4::kHeaderSize, m_bytes.size());
    } else {
        Chunk& parent = m_stack.back();
        if (index < parent.nextChild) {
            parent.nextChild = 0;
            parent.nextChildOffset = parent.offset + mdl4::kChunkHeaderSize;
        }
        // A child never overlaps its parent's data, which follows the children.
        while (parent.nextChild < index) {
            parent.nextChildOffset = readChunkAt(parent.nextChildOffset, parent.dataStart).end;
            ++parent.nextChild;
        }
        chunk = readChunkAt(parent.nextChildOffset, parent.dataStart);
        parent.nextChildOffset = chunk.end;
        ++parent.nextChild;
    }
    m_stack.push_back(chunk);
    m_cursor = chunk.dataStart;
    return chunk.kind;
}

std::uint32_t Mdl4ChunkReader::ChildCount() const {
    if (!m_open) {
        return 0;
    }
    return m_stack.empty() ? 1 : m_stack.back().childCount;
}

void Mdl4ChunkReader::Leave() {
    if (!m_stack.empty()) {
        m_stack.pop_back();
    }
}

std::uint64_t Mdl4ChunkReader::readLimit() const {
    return m_stack.empty() ? m_bytes.size() : m_stack.back().end;
}

const std::uint8_t* Mdl4ChunkReader::take(std::uint64_t count) {
    const std::uint64_t limit = readLimit();
    if (m_cursor > limit || limit - m_cursor < count) {
        RaiseInvalid();
    }
    const std::uint8_t* at = m_bytes.data() + m_cursor;
    m_cursor += count;
    return at;
}

void Mdl4ChunkReader::RequireRecords(std::uint64_t count, std::uint64_t recordSize) const {
    const std::uint64_t limit = readLimit();
    // Dividing keeps a count near 2^32 from overflowing the product.
    if (m_cursor > limit || (recordSize != 0 && count > (limit - m_cursor) / recordSize)) {
        RaiseInvalid();
    }
}

std::uint32_t Mdl4ChunkReader::ReadU32() {
    return U32At(take(4));
}

float Mdl4ChunkReader::ReadF32() {
    return std::bit_cast<float>(ReadU32());
}

std::uint16_t Mdl4ChunkReader::ReadU16() {
    return U16At(take(2));
}

std::uint8_t Mdl4ChunkReader::ReadU8() {
    return *take(1);
}

std::string Mdl4ChunkReader::ReadString() {
    const std::uint32_t length = ReadU32();
    const std::uint8_t* at = take(length);
    return std::string(reinterpret_cast<const char*>(at), length);
}

Matrix4 Mdl4ChunkReader::ReadMatrix() {
    Matrix4 matrix;
    for (auto& row : matrix.m) {
        for (float& value : row) {
            value = ReadF32();
        }
    }
    return matrix;
}

Vector3 Mdl4ChunkReader::ReadVector3() {
    return Vector3At(take(12));
}

void Mdl4ChunkReader::Skip(std::uint64_t count) {
    take(count);
}

const std::uint8_t* Mdl4ChunkReader::ReadRecords(std::uint64_t count, std::uint64_t recordSize) {
    RequireRecords(count, recordSize);
    return take(count * recordSize);
}

}  // namespace vesta
