#include "render/gl/GlFrame.h"

#include <algorithm>

namespace vesta {

GlFrame::GlFrame(int width, int height, int bitsPerPixel)
    : m_width(width), m_height(height), m_bitsPerPixel(bitsPerPixel) {
    glGenRenderbuffers(1, &m_color);
    glBindRenderbuffer(GL_RENDERBUFFER, m_color);
    glRenderbufferStorage(GL_RENDERBUFFER, bitsPerPixel == 16 ? GL_RGB565 : GL_RGBA8, width,
                          height);
    glGenRenderbuffers(1, &m_depthStencil);
    glBindRenderbuffer(GL_RENDERBUFFER, m_depthStencil);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    glGenFramebuffers(1, &m_framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_color);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                              m_depthStencil);
    m_complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

GlFrame::~GlFrame() {
    glDeleteFramebuffers(1, &m_framebuffer);
    glDeleteRenderbuffers(1, &m_color);
    glDeleteRenderbuffers(1, &m_depthStencil);
}

void GlFrame::Bind() const {
    glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
}

void GlFrame::PresentTo(int targetWidth, int targetHeight) const {
    // Fit the frame, aspect kept, centred.
    const double scale = std::min(static_cast<double>(targetWidth) / m_width,
                                  static_cast<double>(targetHeight) / m_height);
    const int width = static_cast<int>(m_width * scale);
    const int height = static_cast<int>(m_height * scale);
    const int x = (targetWidth - width) / 2;
    const int y = (targetHeight - height) / 2;
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_framebuffer);
    // Row 0 of the frame is its top: the blit turns it the right way up.
    glBlitFramebuffer(0, 0, m_width, m_height, x, y + height, x + width, y, GL_COLOR_BUFFER_BIT,
                      GL_LINEAR);
    glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
}

void GlFrame::readFormat(GLenum& format, GLenum& type) const {
    if (m_bitsPerPixel == 16) {
        format = GL_RGB;
        type = GL_UNSIGNED_SHORT_5_6_5;
    } else {
        format = GL_BGRA;
        type = GL_UNSIGNED_BYTE;
    }
}

std::uint8_t* GlFrame::Lock(int& pitch) {
    pitch = m_width * BytesPerPixel();
    m_locked.resize(static_cast<std::size_t>(pitch) * m_height);
    GLenum format = 0, type = 0;
    readFormat(format, type);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, m_width, m_height, format, type, m_locked.data());
    m_snapshot = m_locked;
    return m_locked.data();
}

void GlFrame::Unlock() {
    // Most locks only read the frame (recording, probes): skip the upload then.
    if (m_locked.empty() || m_locked == m_snapshot) {
        m_locked.clear();
        return;
    }
    // What was written into the locked copy goes back into the frame.
    GLuint texture = 0;
    GLenum format = 0, type = 0;
    readFormat(format, type);
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, m_bitsPerPixel == 16 ? GL_RGB565 : GL_RGBA8, m_width, m_height,
                 0, format, type, m_locked.data());
    GLuint source = 0;
    glGenFramebuffers(1, &source);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, source);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m_framebuffer);
    glBlitFramebuffer(0, 0, m_width, m_height, 0, 0, m_width, m_height, GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
    glDeleteFramebuffers(1, &source);
    glDeleteTextures(1, &texture);
    glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    m_locked.clear();
}

bool GlFrame::QueueCopy() {
    if (!m_copies) {
        GLenum format = 0, type = 0;
        readFormat(format, type);
        m_copies = std::make_unique<GlFrameCopies>(m_width, m_height,
                                                   m_bitsPerPixel == 16 ? GL_RGB565 : GL_RGBA8,
                                                   format, type, BytesPerPixel());
    }
    return m_copies->Queue(m_framebuffer);
}

const std::uint8_t* GlFrame::ReadCopy(int& pitch) {
    return m_copies ? m_copies->ReadOldest(pitch, m_framebuffer) : nullptr;
}

std::uint16_t GlFrame::ReadPixel16(int x, int y) const {
    GLenum format = 0, type = 0;
    readFormat(format, type);
    std::uint8_t pixel[4] = {};
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, format, type, pixel);
    return static_cast<std::uint16_t>(pixel[0] | (pixel[1] << 8));
}

}  // namespace vesta
