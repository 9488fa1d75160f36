#include "fs/Inflate.h"

#include <limits>
#include <zlib.h>

namespace vesta {
namespace {

constexpr std::uint64_t kMaxDeflateRatio = 1032;
// zlib's header and checksum, plus the odd final block.
constexpr std::uint64_t kStreamSlack = 64;

}  // namespace

bool PlausibleInflatedSize(std::uint64_t storedSize, std::uint64_t inflatedSize) {
    return inflatedSize <= storedSize * kMaxDeflateRatio + kStreamSlack;
}

bool InflateExact(const std::uint8_t* data, std::size_t dataSize, std::uint8_t* out,
                  std::size_t size) {
    if (dataSize > std::numeric_limits<uLong>::max() || size > std::numeric_limits<uLongf>::max()) {
        return false;
    }
    // zlib wants a non-null destination even for an empty result.
    std::uint8_t empty = 0;
    uLongf produced = static_cast<uLongf>(size);
    uLong consumed = static_cast<uLong>(dataSize);
    const int status = uncompress2(size ? out : &empty, &produced, data, &consumed);
    return status == Z_OK && produced == size;
}

std::vector<std::uint8_t> Deflate(const std::uint8_t* data, std::size_t size, int level) {
    uLongf capacity = compressBound(static_cast<uLong>(size));
    std::vector<std::uint8_t> out(capacity);
    std::uint8_t empty = 0;
    if (compress2(out.data(), &capacity, size ? data : &empty, static_cast<uLong>(size), level) !=
        Z_OK) {
        return {};
    }
    out.resize(capacity);
    return out;
}

}  // namespace vesta
