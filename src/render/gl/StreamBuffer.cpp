#include "render/gl/StreamBuffer.h"

#include <cstring>
#include <epoxy/gl.h>

namespace vesta::gl {

StreamBuffer::StreamBuffer(std::uint32_t target, std::size_t capacity)
    : m_target(target), m_capacity(capacity) {
    m_persistent = epoxy_gl_version() >= 44 || epoxy_has_gl_extension("GL_ARB_buffer_storage");
    if (m_persistent) {
        // Mapped once, its pages stay: a larger ring keeps a quarter's fence
        // many frames behind the writes.
        m_capacity *= 16;
    }
    allocate();
}

StreamBuffer::~StreamBuffer() {
    release();
}

void StreamBuffer::allocate() {
    glGenBuffers(1, &m_name);
    glBindBuffer(m_target, m_name);
    if (!m_persistent) {
        glBufferData(m_target, static_cast<GLsizeiptr>(m_capacity), nullptr, GL_STREAM_DRAW);
        return;
    }
    const GLbitfield flags = GL_MAP_WRITE_BIT | GL_MAP_PERSISTENT_BIT | GL_MAP_COHERENT_BIT;
    glBufferStorage(m_target, static_cast<GLsizeiptr>(m_capacity), nullptr, flags);
    m_mapped = static_cast<unsigned char*>(
        glMapBufferRange(m_target, 0, static_cast<GLsizeiptr>(m_capacity), flags));
    if (!m_mapped) {
        // A driver that advertises the storage but will not map it persistently.
        glDeleteBuffers(1, &m_name);
        m_persistent = false;
        allocate();
    }
}

void StreamBuffer::release() {
    for (void*& fence : m_fences) {
        if (fence) {
            glDeleteSync(static_cast<GLsync>(fence));
            fence = nullptr;
        }
    }
    if (m_mapped) {
        glBindBuffer(m_target, m_name);
        glUnmapBuffer(m_target);
        m_mapped = nullptr;
    }
    // Draws still in flight keep the storage alive until they are done.
    glDeleteBuffers(1, &m_name);
    m_name = 0;
}

void StreamBuffer::Bind() const {
    glBindBuffer(m_target, m_name);
}

int StreamBuffer::quarterOf(std::size_t offset) const {
    return static_cast<int>(offset / (m_capacity / kQuarters));
}

std::size_t StreamBuffer::placeMapped(std::size_t size, std::size_t alignment) {
    const auto alignUp = [alignment](std::size_t value) {
        return (value + alignment - 1) / alignment * alignment;
    };
    std::size_t offset = alignUp(m_cursor);
    // Each write lies within one quarter, so that a quarter's fence covers
    // every draw that reads it.
    if (offset + size <= m_capacity && quarterOf(offset) != quarterOf(offset + size - 1)) {
        offset =
            alignUp((static_cast<std::size_t>(quarterOf(offset)) + 1) * (m_capacity / kQuarters));
    }
    if (offset + size > m_capacity) {
        offset = 0;
    }
    const int quarter = quarterOf(offset);
    if (quarter != m_quarter) {
        const auto entered = static_cast<GLsync>(m_fences[quarter]);
        // Frames still in flight read the quarter the writes enter: while
        // memory allows, a ring twice as large rather than a wait for them.
        if (entered && m_capacity < kMostCapacity &&
            glClientWaitSync(entered, 0, 0) == GL_TIMEOUT_EXPIRED) {
            grow(size + alignment);
            return 0;
        }
        // Leaving a quarter: fence the draws that read it; entering one the
        // last lap wrote: wait until the device has read it.
        if (m_fences[m_quarter]) {
            glDeleteSync(static_cast<GLsync>(m_fences[m_quarter]));
        }
        m_fences[m_quarter] = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
        if (entered) {
            glClientWaitSync(entered, GL_SYNC_FLUSH_COMMANDS_BIT, GL_TIMEOUT_IGNORED);
            glDeleteSync(entered);
            m_fences[quarter] = nullptr;
        }
        m_quarter = quarter;
    }
    return offset;
}

void StreamBuffer::grow(std::size_t quarterAtLeast) {
    release();
    do {
        m_capacity *= 2;
    } while (quarterAtLeast > m_capacity / kQuarters);
    m_cursor = 0;
    m_quarter = 0;
    allocate();
}

std::size_t StreamBuffer::Write(const void* data, std::size_t size, std::size_t alignment) {
    if (m_persistent && size + alignment > m_capacity / kQuarters) {
        grow(size + alignment);  // larger than a quarter can take
    }
    Bind();
    std::size_t offset;
    if (m_persistent) {
        offset = placeMapped(size, alignment);  // may have put a larger buffer in place, bound
        std::memcpy(m_mapped + offset, data, size);
    } else {
        offset = (m_cursor + alignment - 1) / alignment * alignment;
        if (offset + size > m_capacity) {
            while (size > m_capacity) {
                m_capacity *= 2;
            }
            // Orphaning: the driver keeps the old storage for draws in flight.
            glBufferData(m_target, static_cast<GLsizeiptr>(m_capacity), nullptr, GL_STREAM_DRAW);
            offset = 0;
        }
        // Into a range no queued draw reads, so the driver needs no wait.
        glBufferSubData(m_target, static_cast<GLintptr>(offset), static_cast<GLsizeiptr>(size),
                        data);
    }
    m_cursor = offset + size;
    return offset;
}

}  // namespace vesta::gl
