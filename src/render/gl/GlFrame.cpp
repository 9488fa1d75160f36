#include "render/gl/GlFrame.h"

#include <algorithm>

namespace vesta {
namespace {

GLuint makeDepthStencil(int width, int height) {
    GLuint buffer = 0;
    glGenRenderbuffers(1, &buffer);
    glBindRenderbuffer(GL_RENDERBUFFER, buffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    return buffer;
}

// 32-bit frames are drawn without alpha, and from the first read-back on
// stored with alpha kept at 1 (FrameAlpha.h).
GLenum drawFormatFor(int bitsPerPixel) {
    return bitsPerPixel == 16 ? GL_RGB565 : GL_RGB8;
}

GLenum readFormatFor(int bitsPerPixel) {
    return bitsPerPixel == 16 ? GL_RGB565 : GL_RGBA8;
}

}  // namespace

GlFrame::GlFrame(int width, int height, int bitsPerPixel)
    : m_width(width), m_height(height), m_bitsPerPixel(bitsPerPixel),
      m_depthStencil(makeDepthStencil(width, height)),
      m_buffers(width, height, drawFormatFor(bitsPerPixel), readFormatFor(bitsPerPixel),
                m_depthStencil) {}

GlFrame::~GlFrame() {
    glDeleteRenderbuffers(1, &m_depthStencil);
}

void GlFrame::Bind() {
    m_buffers.TakeOver(false);
    glBindFramebuffer(GL_FRAMEBUFFER, m_buffers.Current());
}

void GlFrame::PresentTo(int targetWidth, int targetHeight) const {
    // Fit the frame, aspect kept, centred.
    const double scale = std::min(static_cast<double>(targetWidth) / m_width,
                                  static_cast<double>(targetHeight) / m_height);
    const int width = static_cast<int>(m_width * scale);
    const int height = static_cast<int>(m_height * scale);
    const int x = (targetWidth - width) / 2;
    const int y = (targetHeight - height) / 2;
    GLboolean mask[4] = {};
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_buffers.Picture());
    // Row 0 of the frame is its top: the blit turns it the right way up.
    glBlitFramebuffer(0, 0, m_width, m_height, x, y + height, x + width, y, GL_COLOR_BUFFER_BIT,
                      GL_LINEAR);
    glBindFramebuffer(GL_FRAMEBUFFER, m_buffers.Current());
    glColorMask(mask[0], mask[1], mask[2], mask[3]);
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

// Leaves `framebuffer` bound for reading.
void GlFrame::readPixels(GLuint framebuffer, std::vector<std::uint8_t>& into, int& pitch) const {
    pitch = m_width * BytesPerPixel();
    into.resize(static_cast<std::size_t>(pitch) * m_height);
    GLenum format = 0, type = 0;
    readFormat(format, type);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, m_width, m_height, format, type, into.data());
}

std::uint8_t* GlFrame::Lock(int& pitch) {
    m_buffers.UseReadFormat();
    readPixels(m_buffers.Picture(), m_locked, pitch);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_buffers.Current());
    m_snapshot = m_locked;
    m_isLocked = true;
    return m_locked.data();
}

void GlFrame::Unlock() {
    // Most locks only read the frame (recording, probes): skip the upload then.
    // The copies keep their storage from lock to lock.
    if (!m_isLocked || m_locked == m_snapshot) {
        m_isLocked = false;
        return;
    }
    // What was written into the locked copy goes back into the frame, whole.
    m_buffers.TakeOver(true);
    GLuint texture = 0;
    GLenum format = 0, type = 0;
    readFormat(format, type);
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    // Without alpha: what the caller left in the fourth bytes is no alpha.
    const GLenum uploadFormat = m_bitsPerPixel == 16 ? GL_RGB565 : GL_RGB8;
    glTexImage2D(GL_TEXTURE_2D, 0, uploadFormat, m_width, m_height, 0, format, type,
                 m_locked.data());
    GLuint source = 0;
    glGenFramebuffers(1, &source);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, source);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m_buffers.Current());
    glBlitFramebuffer(0, 0, m_width, m_height, 0, 0, m_width, m_height, GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
    glDeleteFramebuffers(1, &source);
    glDeleteTextures(1, &texture);
    glBindFramebuffer(GL_FRAMEBUFFER, m_buffers.Current());
    m_isLocked = false;
}

bool GlFrame::QueueCopy() {
    return m_buffers.Retire();
}

// A read of the device's buffers waits for all the drawing queued before it
// (a driver that draws on the processors finishes everything first), and the
// device then stands idle until drawing reaches it again: every frame queued
// is read at that one wait, and handed out one by one.
const std::uint8_t* GlFrame::ReadCopy(int& pitch) {
    constexpr int kRing = GlFrameBuffers::kBuffers;
    if (m_readCount > 0) {
        // The one handed out last is done with.
        m_readOldest = (m_readOldest + 1) % kRing;
        --m_readCount;
    }
    if (m_readCount == 0) {
        bool read = false;
        for (GLuint oldest = m_buffers.Oldest(); oldest != 0; oldest = m_buffers.Oldest()) {
            readPixels(oldest, m_read[(m_readOldest + m_readCount) % kRing], pitch);
            ++m_readCount;
            m_buffers.FreeOldest();
            read = true;
        }
        if (read) {
            GLint drawing = 0;
            glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawing);
            glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(drawing));
        }
    }
    if (m_readCount == 0) {
        return nullptr;
    }
    pitch = m_width * BytesPerPixel();
    return m_read[m_readOldest].data();
}

std::uint16_t GlFrame::ReadPixel16(int x, int y) const {
    GLenum format = 0, type = 0;
    readFormat(format, type);
    std::uint8_t pixel[4] = {};
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_buffers.Picture());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, format, type, pixel);
    return static_cast<std::uint16_t>(pixel[0] | (pixel[1] << 8));
}

void GlFrame::BeforeClear(bool color, int x, int y, int width, int height) {
    if (!m_buffers.TakeOverPending()) {
        return;
    }
    // A render target's clear leaves the frame as it is.
    GLint drawing = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawing);
    if (static_cast<GLuint>(drawing) != m_buffers.Current()) {
        return;
    }
    const bool whole = color && x <= 0 && y <= 0 && x + width >= m_width && y + height >= m_height;
    m_buffers.TakeOver(whole);
}

}  // namespace vesta
