#include "render/gl/GlSavedState.h"

namespace vesta {
namespace {

void enable(GLenum cap, GLboolean on) {
    on ? glEnable(cap) : glDisable(cap);
}

}  // namespace

GlSavedState::GlSavedState() {
    glGetIntegerv(GL_CURRENT_PROGRAM, &m_program);
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &m_vertexArray);
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &m_arrayBuffer);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &m_activeTexture);
    glActiveTexture(GL_TEXTURE0);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &m_texture);
    glGetIntegerv(GL_SAMPLER_BINDING, &m_sampler);
    m_blend = glIsEnabled(GL_BLEND);
    m_depthTest = glIsEnabled(GL_DEPTH_TEST);
    m_cull = glIsEnabled(GL_CULL_FACE);
    m_stencil = glIsEnabled(GL_STENCIL_TEST);
    m_scissor = glIsEnabled(GL_SCISSOR_TEST);
    glGetIntegerv(GL_BLEND_SRC_RGB, &m_blendSrcRgb);
    glGetIntegerv(GL_BLEND_DST_RGB, &m_blendDstRgb);
    glGetIntegerv(GL_BLEND_SRC_ALPHA, &m_blendSrcAlpha);
    glGetIntegerv(GL_BLEND_DST_ALPHA, &m_blendDstAlpha);
    glGetBooleanv(GL_COLOR_WRITEMASK, m_colorMask);
    glGetIntegerv(GL_POLYGON_MODE, m_polygonMode);
    glGetIntegerv(GL_VIEWPORT, m_viewport);
}

GlSavedState::~GlSavedState() {
    glUseProgram(static_cast<GLuint>(m_program));
    glBindVertexArray(static_cast<GLuint>(m_vertexArray));
    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(m_arrayBuffer));
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(m_texture));
    glBindSampler(0, static_cast<GLuint>(m_sampler));
    glActiveTexture(static_cast<GLenum>(m_activeTexture));
    enable(GL_BLEND, m_blend);
    enable(GL_DEPTH_TEST, m_depthTest);
    enable(GL_CULL_FACE, m_cull);
    enable(GL_STENCIL_TEST, m_stencil);
    enable(GL_SCISSOR_TEST, m_scissor);
    glBlendFuncSeparate(static_cast<GLenum>(m_blendSrcRgb), static_cast<GLenum>(m_blendDstRgb),
                        static_cast<GLenum>(m_blendSrcAlpha), static_cast<GLenum>(m_blendDstAlpha));
    glColorMask(m_colorMask[0], m_colorMask[1], m_colorMask[2], m_colorMask[3]);
    glPolygonMode(GL_FRONT_AND_BACK, static_cast<GLenum>(m_polygonMode[0]));
    glViewport(m_viewport[0], m_viewport[1], m_viewport[2], m_viewport[3]);
}

void GlSavedState::PlainDrawing(int width, int height) {
    glViewport(0, 0, width, height);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

}  // namespace vesta
