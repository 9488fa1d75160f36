#include "render/gl/GlTextPrinter.h"

#include "log/Log.h"
#include "render/RenderModule.h"
#include "render/gl/GlSavedState.h"
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

}  // namespace

GlTextPrinter::GlTextPrinter(RenderModule& module, std::string name)
    : Font(module, std::move(name)) {
    std::string error;
    const int pixelHeight = (kPointHeight * 96 + 36) / 72;
    const std::string file = MatchFontFile(kFamily);
    std::optional<GlyphAtlas> atlas = BuildGlyphAtlas(file, pixelHeight, error);
    if (!atlas) {
        // Without a system font the show still runs; its texts stay blank.
        LogPrintf("*** Warning : no system font for the text printer (%s).", error.c_str());
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
    const GlSavedState saved;
    // Text is placed in pixels of the whole target, whatever the viewport.
    GlSavedState::PlainDrawing(m_module.BackBufferWidth(), m_module.BackBufferHeight());
    glUseProgram(m_program);
    glUniform2f(m_targetSizeLocation, static_cast<float>(m_module.BackBufferWidth()),
                static_cast<float>(m_module.BackBufferHeight()));
    glBindVertexArray(m_vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, m_buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(m_vertices.size() * sizeof(float)),
                 m_vertices.data(), GL_STREAM_DRAW);
    glBindTexture(GL_TEXTURE_2D, m_texture);
    glBindSampler(0, 0);
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(m_vertices.size() / 4));
}

}  // namespace vesta
