#include "render/gl/GlFrameCopies.h"

#include "render/gl/GlSavedState.h"
#include "render/gl/GlShader.h"

namespace vesta {
namespace {

// One triangle over the whole target; each pixel takes the texel under it.
constexpr const char* kVertexShader = R"(#version 330 core
void main() {
    vec2 corner = vec2((gl_VertexID << 1) & 2, gl_VertexID & 2);
    gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
}
)";

constexpr const char* kFragmentShader = R"(#version 330 core
uniform sampler2D frame;
out vec4 color;
void main() {
    color = texelFetch(frame, ivec2(gl_FragCoord.xy), 0);
}
)";

}  // namespace

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
    // The program samples unit 0, its default.
    m_program = gl::LinkProgram(kVertexShader, kFragmentShader);
    glGenVertexArrays(1, &m_vertexArray);
}

GlFrameCopies::~GlFrameCopies() {
    glDeleteVertexArrays(1, &m_vertexArray);
    glDeleteProgram(m_program);
    glDeleteFramebuffers(kCopies, m_framebuffers);
    glDeleteRenderbuffers(kCopies, m_colors);
}

bool GlFrameCopies::Queue(GLuint source, GLuint rebind) {
    if (m_queued == kCopies) {
        return false;
    }
    const int slot = (m_oldest + m_queued) % kCopies;
    {
        const GlSavedState saved;
        glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffers[slot]);
        GlSavedState::PlainDrawing(m_width, m_height);
        glUseProgram(m_program);
        glBindVertexArray(m_vertexArray);
        glBindTexture(GL_TEXTURE_2D, source);
        glBindSampler(0, 0);
        glDrawArrays(GL_TRIANGLES, 0, 3);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, rebind);
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
