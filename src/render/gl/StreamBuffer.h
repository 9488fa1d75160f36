#pragma once
// A buffer object that vertices and indices from memory are streamed into:
// written front to back, orphaned when full, so no draw waits for the GPU
// and no draw allocates.

#include <cstddef>
#include <cstdint>

namespace vesta::gl {

class StreamBuffer {
public:
    // `target` is GL_ARRAY_BUFFER or GL_ELEMENT_ARRAY_BUFFER (for the latter
    // a vertex array must be bound whenever Write runs).
    StreamBuffer(std::uint32_t target, std::size_t capacity);
    ~StreamBuffer();
    StreamBuffer(const StreamBuffer&) = delete;
    StreamBuffer& operator=(const StreamBuffer&) = delete;

    // Copies `size` bytes in at an offset that is a multiple of `alignment`
    // and returns that offset. Leaves the buffer bound to its target.
    std::size_t Write(const void* data, std::size_t size, std::size_t alignment);
    std::uint32_t Name() const { return m_name; }
    void Bind() const;

private:
    std::uint32_t m_target;
    std::uint32_t m_name = 0;
    std::size_t m_capacity;
    std::size_t m_cursor = 0;
};

}  // namespace vesta::gl
