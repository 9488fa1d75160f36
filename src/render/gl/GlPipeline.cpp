#include "render/gl/GlPipeline.h"

#include <algorithm>
#include <cstddef>

#include "render/gl/GlEnums.h"
#include "render/gl/GlPipelineObjects.h"

namespace vesta::gl {

namespace {

const void* byteOffset(std::size_t offset) {
    return reinterpret_cast<const void*>(offset);
}

void attribute(GLuint index, GLint size, GLenum type, GLboolean normalised, GLsizei stride,
               std::size_t offset) {
    glEnableVertexAttribArray(index);
    glVertexAttribPointer(index, size, type, normalised, stride, byteOffset(offset));
}

}  // namespace

void SetVertexLayout(VertexLayout layout) {
    if (layout == VertexLayout::PointSprite) {
        attribute(0, 3, GL_FLOAT, GL_FALSE, 16, 0);
        // A8R8G8B8 lies in memory as B, G, R, A.
        attribute(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, 16, 12);
        for (GLuint unused : {1u, 3u, 4u}) {
            glDisableVertexAttribArray(unused);
        }
        return;
    }
    const GLsizei stride = sizeof(RenderVertex);
    attribute(0, 3, GL_FLOAT, GL_FALSE, stride, offsetof(RenderVertex, x));
    attribute(1, 3, GL_FLOAT, GL_FALSE, stride, offsetof(RenderVertex, nx));
    attribute(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride, offsetof(RenderVertex, diffuse));
    attribute(3, 2, GL_FLOAT, GL_FALSE, stride, offsetof(RenderVertex, u0));
    attribute(4, 2, GL_FLOAT, GL_FALSE, stride, offsetof(RenderVertex, u1));
}

GlPipeline::GlPipeline(const PipelineState* state)
    : m_state(state ? state : &m_ownState), m_objects(std::make_unique<Objects>()) {
    Objects& o = *m_objects;
    glGenVertexArrays(1, &o.streamArray);
    glGenVertexArrays(1, &o.bufferArray);
    glBindVertexArray(o.streamArray);
    o.vertices.Bind();
    SetVertexLayout(VertexLayout::Render);
    o.streamArrayVertices = o.vertices.Name();
    o.indices.Bind();
    glGenSamplers(MaxStages, o.samplers);
    for (GLuint unit = 0; unit < MaxStages; ++unit) {
        const GLfloat black[4] = {0, 0, 0, 0};
        glSamplerParameterfv(o.samplers[unit], GL_TEXTURE_BORDER_COLOR, black);
        glBindSampler(unit, o.samplers[unit]);
    }
    // Attributes a layout leaves out read as Direct3D's defaults.
    glVertexAttrib3f(1, 0.0f, 0.0f, 0.0f);
    glVertexAttrib2f(3, 0.0f, 0.0f);
    glVertexAttrib2f(4, 0.0f, 0.0f);
    // Flat shading takes the first vertex's colour, as Direct3D does.
    glProvokingVertex(GL_FIRST_VERTEX_CONVENTION);
    glEnable(GL_PROGRAM_POINT_SIZE);
    glEnable(GL_TEXTURE_CUBE_MAP_SEAMLESS);
    // Rows run top-down, so gl_PointCoord's t grows downwards from the lower left.
    glPointParameteri(GL_POINT_SPRITE_COORD_ORIGIN, GL_LOWER_LEFT);
    glFrontFace(GL_CCW);
    m_mirrorClamp = epoxy_gl_version() >= 44 ||
                    epoxy_has_gl_extension("GL_ARB_texture_mirror_clamp_to_edge") ||
                    epoxy_has_gl_extension("GL_EXT_texture_mirror_clamp");
    if (epoxy_gl_version() >= 46 || epoxy_has_gl_extension("GL_EXT_texture_filter_anisotropic") ||
        epoxy_has_gl_extension("GL_ARB_texture_filter_anisotropic")) {
        glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY, &m_maxAnisotropy);
    }
    if (!state) {
        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        m_ownState.viewport = {0, 0, viewport[2], viewport[3], 0.0f, 1.0f};
    }
}

GlPipeline::~GlPipeline() {
    Objects& o = *m_objects;
    glBindVertexArray(0);
    glDeleteVertexArrays(1, &o.streamArray);
    glDeleteVertexArrays(1, &o.bufferArray);
    glDeleteSamplers(MaxStages, o.samplers);
    glUseProgram(0);
}

std::size_t GlPipeline::ProgramCount() const {
    return m_objects->programs.Size();
}

void GlPipeline::Invalidate() {
    m_appliedValid = false;
    m_objects->program = nullptr;
    m_objects->texturesValid = false;
    m_objects->bufferArrayVertices = 0;
}

void GlPipeline::Clear(bool color, bool depth, bool stencil, std::uint32_t argb, float z,
                       std::uint32_t stencilValue) {
    applyFixed();
    const Viewport& area = m_state->viewport;
    if (depth || stencil) {
        // A clear that waits is dropped only when this one covers it.
        const PendingClear& waiting = m_pendingClear;
        if (waiting.Waiting() &&
            !(waiting.area == area && depth >= waiting.depth && stencil >= waiting.stencil)) {
            FlushPendingClear();
        }
        m_pendingClear = {depth, stencil, area, z, stencilValue};
    }
    if (color) {
        clearNow(true, PendingClear{false, false, area}, argb);
    }
}

void GlPipeline::FlushPendingClear() {
    if (m_pendingClear.Waiting()) {
        const PendingClear buffers = m_pendingClear;
        m_pendingClear = {};
        clearNow(false, buffers, 0);
    }
}

void GlPipeline::LeaveTarget(TargetDepth& target) {
    target.attached = m_depthAttached;
    if (m_depthAttached) {
        FlushPendingClear();
        target.waiting = {};
    } else {
        target.waiting = m_pendingClear;
    }
    m_pendingClear = {};
}

void GlPipeline::EnterTarget(const TargetDepth& target) {
    m_depthAttached = target.attached;
    m_pendingClear = target.waiting;
}

void GlPipeline::attachDepth() {
    if (!m_depthAttached) {
        m_depthAttached = true;
        if (m_attachDepth) {
            m_attachDepth();
        }
    }
}

void GlPipeline::clearNow(bool color, const PendingClear& buffers, std::uint32_t argb) {
    if (buffers.Waiting()) {
        attachDepth();
    }
    const Viewport& v = buffers.area;
    glEnable(GL_SCISSOR_TEST);
    glScissor(v.x, v.y, v.width, v.height);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glStencilMask(0xFFFFFFFF);
    const ColorValue c = UnpackColor(argb);
    glClearColor(c.r, c.g, c.b, m_alphaWrites ? c.a : 1.0f);
    glClearDepth(buffers.z);
    glClearStencil(static_cast<GLint>(buffers.stencilValue));
    glClear((color ? GL_COLOR_BUFFER_BIT : 0u) | (buffers.depth ? GL_DEPTH_BUFFER_BIT : 0u) |
            (buffers.stencil ? GL_STENCIL_BUFFER_BIT : 0u));
    glDisable(GL_SCISSOR_TEST);
    const ColorWriteMask& mask = m_applied.colorWrite;
    glColorMask(mask.red, mask.green, mask.blue, mask.alpha && m_alphaWrites);
    m_applied.depth.write = true;
    m_applied.stencil.writeMask = 0xFFFFFFFF;
}

std::size_t GlPipeline::streamVertices(const void* vertices, std::size_t bytes) {
    Objects& o = *m_objects;
    glBindVertexArray(o.streamArray);
    const std::size_t offset = o.vertices.Write(vertices, bytes, sizeof(RenderVertex));
    if (o.vertices.Name() != o.streamArrayVertices) {
        // A larger buffer object took the place of the one the attributes point at.
        SetVertexLayout(VertexLayout::Render);
        o.streamArrayVertices = o.vertices.Name();
    }
    return offset;
}

void GlPipeline::Draw(PrimitiveType primitive, int vertexCount, const RenderVertex* vertices) {
    const int drawn = VerticesDrawn(primitive, vertexCount);
    if (drawn == 0 || !vertices) {
        return;
    }
    apply(primitive, VertexLayout::Render, OneDiffuseColour(vertices, drawn));
    const std::size_t offset = streamVertices(vertices, sizeof(RenderVertex) * drawn);
    glDrawArrays(GlPrimitive(primitive), static_cast<GLint>(offset / sizeof(RenderVertex)), drawn);
}

void GlPipeline::DrawIndexed(PrimitiveType primitive, const RenderVertex* vertices, int vertexCount,
                             const std::uint16_t* indices, int indexCount) {
    const int drawn = VerticesDrawn(primitive, indexCount);
    if (drawn == 0 || vertexCount <= 0 || !vertices || !indices) {
        return;
    }
    apply(primitive, VertexLayout::Render, OneDiffuseColour(vertices, vertexCount));
    Objects& o = *m_objects;
    const std::size_t vertexOffset =
        streamVertices(vertices, sizeof(RenderVertex) * static_cast<std::size_t>(vertexCount));
    const std::size_t indexOffset =
        o.indices.Write(indices, sizeof(std::uint16_t) * static_cast<std::size_t>(drawn), 4);
    glDrawElementsBaseVertex(GlPrimitive(primitive), drawn, GL_UNSIGNED_SHORT,
                             byteOffset(indexOffset),
                             static_cast<GLint>(vertexOffset / sizeof(RenderVertex)));
}

void GlPipeline::setBufferLayout(VertexLayout layout, std::uint32_t vertexBuffer) {
    Objects& o = *m_objects;
    glBindVertexArray(o.bufferArray);
    if (o.bufferArrayVertices == vertexBuffer && o.bufferArrayLayout == layout && m_caching) {
        return;
    }
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    SetVertexLayout(layout);
    o.bufferArrayVertices = vertexBuffer;
    o.bufferArrayLayout = layout;
}

void GlPipeline::DrawBuffer(PrimitiveType primitive, VertexLayout layout,
                            std::uint32_t vertexBuffer, int firstVertex, std::uint32_t indexBuffer,
                            int count) {
    const int drawn = VerticesDrawn(primitive, count);
    if (drawn == 0 || vertexBuffer == 0 || layout == VertexLayout::Pretransformed) {
        return;
    }
    apply(primitive, layout);
    setBufferLayout(layout, vertexBuffer);
    if (indexBuffer == 0) {
        glDrawArrays(GlPrimitive(primitive), firstVertex, drawn);
        return;
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glDrawElementsBaseVertex(GlPrimitive(primitive), drawn, GL_UNSIGNED_SHORT, nullptr,
                             firstVertex);
}

void GlPipeline::DrawPretransformedPoint(float x, float y, float z) {
    apply(PrimitiveType::PointList, VertexLayout::Pretransformed);
    RenderVertex vertex{};
    vertex.x = x;
    vertex.y = y;
    vertex.z = z;
    vertex.diffuse = 0xFFFFFFFF;
    const std::size_t offset = streamVertices(&vertex, sizeof vertex);
    glDrawArrays(GL_POINTS, static_cast<GLint>(offset / sizeof vertex), 1);
}

}  // namespace vesta::gl
