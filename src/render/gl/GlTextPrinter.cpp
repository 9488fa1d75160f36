#include "render/gl/GlTextPrinter.h"

#include "log/Log.h"
#include "render/RenderModule.h"
#include "render/gl/FrameAlpha.h"
#include "render/gl/GlShader.h"

namespace vesta {
namespace {

constexpr const char* kVertexShader = R"(#version 330 core
layout(location = 0) in vec2 position;
layout(location = 1) in vec2 uv;
uniform vec2 targetSize;
out vec2 texcoord;
void main() {
    // Row 0 of every target is the top of the picture.
    vec2 ndc = position / targetSize * 2.0 - 1.0;
    gl_Position = vec4(ndc, 0.0, 1.0);
    texcoord = uv;
}
)";

constexpr const char* kFragmentShader = R"(#version 330 core
in vec2 texcoord;
uniform sampler2D glyphs;
out vec4 color;
void main() {
    color = vec4(1.0, 1.0, 1.0, texture(glyphs, texcoord).r);
}
)";

// The GL state the printer changes, put back afterwards so that the module's
// own view of the device stays true.
struct SavedState {
    GLint program, vertexArray, arrayBuffer, activeTexture, texture, sampler;
    GLboolean blend, depthTest, cull, stencil, scissor;
    GLint blendSrcRgb, blendDstRgb, blendSrcAlpha, blendDstAlpha;
    GLboolean colorMask[4];
    GLint polygonMode[2];

    void save() {
        glGetIntegerv(GL_CURRENT_PROGRAM, &program);
        glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vertexArray);
        glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &arrayBuffer);
        glGetIntegerv(GL_ACTIVE_TEXTURE, &activeTexture);
        glActiveTexture(GL_TEXTURE0);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
        glGetIntegerv(GL_SAMPLER_BINDING, &sampler);
        blend = glIsEnabled(GL_BLEND);
        depthTest = glIsEnabled(GL_DEPTH_TEST);
        cull = glIsEnabled(GL_CULL_FACE);
        stencil = glIsEnabled(GL_STENCIL_TEST);
        scissor = glIsEnabled(GL_SCISSOR_TEST);
        glGetIntegerv(GL_BLEND_SRC_RGB, &blendSrcRgb);
        glGetIntegerv(GL_BLEND_DST_RGB, &blendDstRgb);
        glGetIntegerv(GL_BLEND_SRC_ALPHA, &blendSrcAlpha);
        glGetIntegerv(GL_BLEND_DST_ALPHA, &blendDstAlpha);
        glGetBooleanv(GL_COLOR_WRITEMASK, colorMask);
        glGetIntegerv(GL_POLYGON_MODE, polygonMode);
    }
    static void enable(GLenum cap, GLboolean on) { on ? glEnable(cap) : glDisable(cap); }
    void restore() const {
        glUseProgram(static_cast<GLuint>(program));
        glBindVertexArray(static_cast<GLuint>(vertexArray));
        glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(arrayBuffer));
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
        glBindSampler(0, static_cast<GLuint>(sampler));
        glActiveTexture(static_cast<GLenum>(activeTexture));
        enable(GL_BLEND, blend);
        enable(GL_DEPTH_TEST, depthTest);
        enable(GL_CULL_FACE, cull);
        enable(GL_STENCIL_TEST, stencil);
        enable(GL_SCISSOR_TEST, scissor);
        glBlendFuncSeparate(static_cast<GLenum>(blendSrcRgb), static_cast<GLenum>(blendDstRgb),
                            static_cast<GLenum>(blendSrcAlpha), static_cast<GLenum>(blendDstAlpha));
        glColorMask(colorMask[0], colorMask[1], colorMask[2], colorMask[3]);
        glPolygonMode(GL_FRONT_AND_BACK, static_cast<GLenum>(polygonMode[0]));
    }
};

}  // namespace

GlTextPrinter::GlTextPrinter(RenderModule& module, std::string name)
    : Font(module, std::move(name)) {
    std::string error;
    const int pixelHeight = (kPointHeight * 96 + 36) / 72;
    const std::string file = MatchFontFile(kFamily);
    std::optional<GlyphAtlas> atlas = BuildGlyphAtlas(file, pixelHeight, error);
    if (!atlas) {
        // Without a system font the show still runs; its texts stay blank,
        // which the user should hear of rather than wonder at.
        WarnPrintf("no system font for the text printer (%s); its texts stay blank", error.c_str());
        return;
    }
    m_atlas = std::move(*atlas);
    glGenTextures(1, &m_texture);
    glBindTexture(GL_TEXTURE_2D, m_texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_R8, m_atlas.width, m_atlas.height, 0, GL_RED,
                 GL_UNSIGNED_BYTE, m_atlas.coverage.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    createProgram();
}

GlTextPrinter::~GlTextPrinter() {
    glDeleteTextures(1, &m_texture);
    glDeleteProgram(m_program);
    glDeleteVertexArrays(1, &m_vertexArray);
    glDeleteBuffers(1, &m_buffer);
}

void GlTextPrinter::createProgram() {
    try {
        m_program = gl::LinkProgram(kVertexShader, kFragmentShader);
    } catch (const gl::ShaderError& error) {
        RaiseError("TextPrinter : %s", error.what());
    }
    m_targetSizeLocation = glGetUniformLocation(m_program, "targetSize");
    glGenVertexArrays(1, &m_vertexArray);
    glGenBuffers(1, &m_buffer);
    glBindVertexArray(m_vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, m_buffer);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 4 * sizeof(float), nullptr);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 4 * sizeof(float),
                          reinterpret_cast<const void*>(2 * sizeof(float)));
    glBindVertexArray(0);
}

void GlTextPrinter::DrawText(float x, float y, const char* text) {
    if (!m_program) {
        return;
    }
    const std::vector<TextQuad> quads = LayoutText(m_atlas, x, y, text);
    if (quads.empty()) {
        return;
    }
    m_vertices.clear();
    for (const TextQuad& q : quads) {
        const float corners[6][4] = {{q.x0, q.y0, q.u0, q.v0}, {q.x1, q.y0, q.u1, q.v0},
                                     {q.x0, q.y1, q.u0, q.v1}, {q.x1, q.y0, q.u1, q.v0},
                                     {q.x1, q.y1, q.u1, q.v1}, {q.x0, q.y1, q.u0, q.v1}};
        for (const auto& corner : corners) {
            m_vertices.insert(m_vertices.end(), corner, corner + 4);
        }
    }
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    SavedState saved;
    saved.save();
    // Text is placed in pixels of the whole target, whatever the viewport.
    glViewport(0, 0, m_module.BackBufferWidth(), m_module.BackBufferHeight());
    glUseProgram(m_program);
    glUniform2f(m_targetSizeLocation, static_cast<float>(m_module.BackBufferWidth()),
                static_cast<float>(m_module.BackBufferHeight()));
    glBindVertexArray(m_vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, m_buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(m_vertices.size() * sizeof(float)),
                 m_vertices.data(), GL_STREAM_DRAW);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, m_texture);
    glBindSampler(0, 0);
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, FrameAlphaWrites);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(m_vertices.size() / 4));
    saved.restore();
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
}

}  // namespace vesta
