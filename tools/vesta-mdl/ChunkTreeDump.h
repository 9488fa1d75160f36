#pragma once
// The chunk tree of an MDL4 file as text: one line per chunk, indented by
// depth, with its kind, sizes, child count and, for object chunks, the name.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vesta::mdltool {

// The kind's name, or its number in hex for a kind the format lacks.
std::string ChunkKindName(std::uint32_t kind);

// Walks the bytes with the engine's chunk reader, so a damaged file raises
// the reader's message (CUserException) as a load would.
std::string DumpChunkTree(std::string_view name, std::span<const std::uint8_t> bytes);

}  // namespace vesta::mdltool
