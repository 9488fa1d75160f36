#pragma once
// A buffer object that vertices and indices from memory are streamed into,
// written front to back so that no draw waits for the device and no draw
// allocates.
//
// Where the driver has immutable storage (GL 4.4, ARB_buffer_storage) the
// buffer is mapped once, persistently, and a write is a plain copy: no GL
// call per draw. It is used as a ring in four quarters; a fence set when the
// writes leave a quarter is waited for before the next lap writes into it
// again. Elsewhere the buffer is orphaned when full and written with
// glBufferSubData.
//
// The buffer object is replaced by a larger one when a write does not fit a
// quarter, and when the next lap would have to wait: the frames a recording
// keeps in flight can span more than a lap of a draw-heavy part, and a fence
// signals only when its whole frame is drawn, even on a software rasteriser
// that read the vertices at the draw call. Vertex arrays that point at the
// buffer must then be pointed again (Name() changes).

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
    // and returns that offset. Leaves the buffer bound to its target. The
    // buffer object may be replaced by a larger one (Name() tells).
    std::size_t Write(const void* data, std::size_t size, std::size_t alignment);
    std::uint32_t Name() const { return m_name; }
    void Bind() const;

private:
    static constexpr int kQuarters = 4;
    // Beyond this a lap waits for the device instead of growing the ring.
    static constexpr std::size_t kMostCapacity = std::size_t(32) << 20;

    void allocate();
    void release();
    // A new buffer object of twice the size or more, each quarter at least
    // `quarterAtLeast` bytes; left bound.
    void grow(std::size_t quarterAtLeast);
    // Where the next `size` bytes go in the mapped ring.
    std::size_t placeMapped(std::size_t size, std::size_t alignment);
    int quarterOf(std::size_t offset) const;

    std::uint32_t m_target;
    std::uint32_t m_name = 0;
    std::size_t m_capacity;
    std::size_t m_cursor = 0;
    bool m_persistent = false;
    unsigned char* m_mapped = nullptr;
    int m_quarter = 0;               // the quarter being written
    void* m_fences[kQuarters] = {};  // GLsync of each quarter's last lap
};

}  // namespace vesta::gl
