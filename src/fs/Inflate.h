#pragma once
// One-shot zlib streams of the archive format.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vesta {

// Deflate cannot expand data by more than about 1032:1; a size beyond that
// bound for its stored bytes can only come from a damaged directory.
bool PlausibleInflatedSize(std::uint64_t storedSize, std::uint64_t inflatedSize);

// Inflates one complete zlib stream into exactly `size` bytes at `out`.
// False when the stream is damaged, incomplete, or inflates to another size.
bool InflateExact(const std::uint8_t* data, std::size_t dataSize, std::uint8_t* out,
                  std::size_t size);

// One zlib stream of `data` at `level` (0..9, or -1 for zlib's default).
std::vector<std::uint8_t> Deflate(const std::uint8_t* data, std::size_t size, int level);

}  // namespace vesta
