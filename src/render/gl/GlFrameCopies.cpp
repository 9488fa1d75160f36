#include "render/gl/GlFrameCopies.h"

namespace vesta {

GlFrameCopies::GlFrameCopies(int width, int height, GLenum colorFormat, GLenum format, GLenum type,
                             int bytesPerPixel)
    : m_width(width), m_height(height), m_format(format), m_type(type),
      m_bytesPerPixel(bytesPerPixel) {
    glGenRenderbuffers(kCopies, m_colors);
    glGenFramebuffers(kCopies, m_framebuffers);
    for (int i = 0; i < kCopies; ++i) {
        glBindRenderbuffer(GL_RENDERBUFFER, m_colors[i]);
        glRenderbufferStorage(GL_RENDERBUFFER, colorFormat, width, height);
        glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffers[i]);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  m_colors[i]);
    }
}

GlFrameCopies::~GlFrameCopies() {
    glDeleteFramebuffers(kCopies, m_framebuffers);
    glDeleteRenderbuffers(kCopies, m_colors);
}

bool GlFrameCopies::Queue(GLuint source) {
    if (m_queued == kCopies) {
        return false;
    }
    const int slot = (m_oldest + m_queued) % kCopies;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, source);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m_framebuffers[slot]);
    glBlitFramebuffer(0, 0, m_width, m_height, 0, 0, m_width, m_height, GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, source);
    // Hands the copy to the device now, so it runs while the next frame is drawn.
    glFlush();
    ++m_queued;
    return true;
}

const std::uint8_t* GlFrameCopies::ReadOldest(int& pitch, GLuint rebind) {
    if (m_queued == 0) {
        return nullptr;
    }
    pitch = m_width * m_bytesPerPixel;
    m_pixels.resize(static_cast<std::size_t>(pitch) * m_height);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_framebuffers[m_oldest]);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, m_width, m_height, m_format, m_type, m_pixels.data());
    glBindFramebuffer(GL_FRAMEBUFFER, rebind);
    m_oldest = (m_oldest + 1) % kCopies;
    --m_queued;
    return m_pixels.data();
}

}  // namespace vesta
