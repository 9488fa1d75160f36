#include "render/gl/GlFrameBuffers.h"

#include <algorithm>

namespace vesta {
namespace {

// Blits and clears are cut by the scissor test (and blits, on some drivers,
// by the colour mask): both are opened meanwhile and put back as they were.
class OpenColorWrites {
public:
    OpenColorWrites() : m_scissor(glIsEnabled(GL_SCISSOR_TEST)) {
        glGetBooleanv(GL_COLOR_WRITEMASK, m_mask);
        glDisable(GL_SCISSOR_TEST);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    }
    ~OpenColorWrites() {
        glColorMask(m_mask[0], m_mask[1], m_mask[2], m_mask[3]);
        if (m_scissor) {
            glEnable(GL_SCISSOR_TEST);
        }
    }
    OpenColorWrites(const OpenColorWrites&) = delete;
    OpenColorWrites& operator=(const OpenColorWrites&) = delete;

private:
    GLboolean m_scissor;
    GLboolean m_mask[4] = {};
};

}  // namespace

GlFrameBuffers::GlFrameBuffers(int width, int height, GLenum drawFormat, GLenum readFormat,
                               GLuint depthStencil)
    : m_width(width), m_height(height), m_colorFormat(drawFormat), m_readFormat(readFormat),
      m_depthStencil(depthStencil) {
    // A frame and its copy read back: eight bytes a pixel.
    const std::size_t bytes =
        std::max<std::size_t>(std::size_t(width) * std::size_t(height) * 8, 1);
    m_limit = static_cast<int>(std::clamp<std::size_t>(kFrameBudget / bytes, 5, kBuffers));
    m_complete = make(m_slots[0]);
    m_made = 1;
}

GlFrameBuffers::~GlFrameBuffers() {
    for (int i = 0; i < m_made; ++i) {
        glDeleteFramebuffers(1, &m_slots[i].framebuffer);
        glDeleteRenderbuffers(1, &m_slots[i].color);
    }
}

// Leaves the new framebuffer bound.
bool GlFrameBuffers::make(Slot& slot) const {
    glGenRenderbuffers(1, &slot.color);
    glBindRenderbuffer(GL_RENDERBUFFER, slot.color);
    glRenderbufferStorage(GL_RENDERBUFFER, m_colorFormat, m_width, m_height);
    glGenFramebuffers(1, &slot.framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, slot.framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, slot.color);
    if (m_depthAttached) {
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                                  m_depthStencil);
    }
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (complete) {
        // Its alpha, which no draw writes, starts at 1 (FrameAlpha.h).
        clearOpaque();
    }
    return complete;
}

bool GlFrameBuffers::busy(int index) const {
    if (index == m_current || index == m_picture) {
        return true;
    }
    for (int i = 0; i < m_waiting; ++i) {
        if (m_queue[(m_oldest + i) % kBuffers] == index) {
            return true;
        }
    }
    return false;
}

// A buffer made before if one is free, else a new one while fewer than
// the limit exist; -1 when every buffer is in use.
int GlFrameBuffers::freeSlot() {
    for (int i = 0; i < m_made; ++i) {
        if (!busy(i)) {
            return i;
        }
    }
    if (m_made == m_limit) {
        return -1;
    }
    Slot& slot = m_slots[m_made];
    if (!make(slot)) {
        glDeleteFramebuffers(1, &slot.framebuffer);
        glDeleteRenderbuffers(1, &slot.color);
        slot = {};
        return -1;
    }
    return m_made++;
}

void GlFrameBuffers::UseReadFormat() {
    if (m_colorFormat == m_readFormat) {
        return;
    }
    m_colorFormat = m_readFormat;
    for (int i = 0; i < m_made; ++i) {
        convert(m_slots[i]);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, Current());
}

// A buffer made anew in the read-back format takes the old one's picture
// (from a format without alpha, with alpha 1) and place.
void GlFrameBuffers::convert(Slot& slot) const {
    Slot made;
    if (!make(made)) {
        glDeleteFramebuffers(1, &made.framebuffer);
        glDeleteRenderbuffers(1, &made.color);
        return;  // the old buffer stays: drawn into and read as before
    }
    copy(slot.framebuffer, made.framebuffer);
    glDeleteFramebuffers(1, &slot.framebuffer);
    glDeleteRenderbuffers(1, &slot.color);
    slot = made;
}

bool GlFrameBuffers::Retire() {
    UseReadFormat();
    const int next = freeSlot();
    if (next < 0) {
        glBindFramebuffer(GL_FRAMEBUFFER, Current());
        return false;
    }
    // Retired twice with nothing drawn in between: the same picture again.
    TakeOver(false);
    m_queue[(m_oldest + m_waiting) % kBuffers] = m_current;
    ++m_waiting;
    m_picture = m_current;
    m_current = next;
    glBindFramebuffer(GL_FRAMEBUFFER, Current());
    // Hands the retired frame to the device now, so that it is drawn while
    // the next one is built, long before it is read.
    glFlush();
    return true;
}

void GlFrameBuffers::TakeOver(bool overwrittenWhole) {
    if (!TakeOverPending()) {
        return;
    }
    if (!overwrittenWhole) {
        copyPicture();
    }
    m_picture = m_current;
}

void GlFrameBuffers::copyPicture() const {
    copy(Picture(), Current());
    glBindFramebuffer(GL_FRAMEBUFFER, Current());
}

void GlFrameBuffers::copy(GLuint from, GLuint to) const {
    const OpenColorWrites open;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, from);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, to);
    glBlitFramebuffer(0, 0, m_width, m_height, 0, 0, m_width, m_height, GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
}

void GlFrameBuffers::clearOpaque() const {
    const OpenColorWrites open;
    GLfloat color[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, color);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(color[0], color[1], color[2], color[3]);
}

void GlFrameBuffers::AttachDepth() {
    m_depthAttached = true;
    for (int i = 0; i < m_made; ++i) {
        glBindFramebuffer(GL_FRAMEBUFFER, m_slots[i].framebuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                                  m_depthStencil);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, Current());
}

GLuint GlFrameBuffers::Oldest() const {
    return m_waiting == 0 ? 0 : m_slots[m_queue[m_oldest]].framebuffer;
}

void GlFrameBuffers::FreeOldest() {
    if (m_waiting == 0) {
        return;
    }
    m_oldest = (m_oldest + 1) % kBuffers;
    --m_waiting;
}

}  // namespace vesta
