#include "render/gl/StreamBuffer.h"

#include <cstring>
#include <epoxy/gl.h>

namespace vesta::gl {

StreamBuffer::StreamBuffer(std::uint32_t target, std::size_t capacity)
    : m_target(target), m_capacity(capacity) {
    glGenBuffers(1, &m_name);
    glBindBuffer(m_target, m_name);
    glBufferData(m_target, static_cast<GLsizeiptr>(m_capacity), nullptr, GL_STREAM_DRAW);
}

StreamBuffer::~StreamBuffer() {
    glDeleteBuffers(1, &m_name);
}

void StreamBuffer::Bind() const {
    glBindBuffer(m_target, m_name);
}

std::size_t StreamBuffer::Write(const void* data, std::size_t size, std::size_t alignment) {
    Bind();
    std::size_t offset = (m_cursor + alignment - 1) / alignment * alignment;
    if (offset + size > m_capacity) {
        while (size > m_capacity) {
            m_capacity *= 2;
        }
        // Orphaning: the driver keeps the old storage for draws in flight.
        glBufferData(m_target, static_cast<GLsizeiptr>(m_capacity), nullptr, GL_STREAM_DRAW);
        offset = 0;
    }
    // Into a range no queued draw reads, so the driver needs no wait.
    glBufferSubData(m_target, static_cast<GLintptr>(offset), static_cast<GLsizeiptr>(size), data);
    m_cursor = offset + size;
    return offset;
}

}  // namespace vesta::gl
