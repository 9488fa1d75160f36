#pragma once
// The GL state that a drawing of the module's own (text, frame copies)
// changes, put back afterwards so that the pipeline's view of the device
// stays true.

#include <epoxy/gl.h>

namespace vesta {

class GlSavedState {
public:
    // Saves, then leaves texture unit 0 active.
    GlSavedState();
    ~GlSavedState();
    GlSavedState(const GlSavedState&) = delete;
    GlSavedState& operator=(const GlSavedState&) = delete;

    // No blending, depth, stencil, culling or scissor; every channel written,
    // polygons filled: a plain draw over the whole of a `width` × `height` target.
    static void PlainDrawing(int width, int height);

private:
    GLint m_program = 0, m_vertexArray = 0, m_arrayBuffer = 0, m_activeTexture = 0;
    GLint m_texture = 0, m_sampler = 0;
    GLboolean m_blend = 0, m_depthTest = 0, m_cull = 0, m_stencil = 0, m_scissor = 0;
    GLint m_blendSrcRgb = 0, m_blendDstRgb = 0, m_blendSrcAlpha = 0, m_blendDstAlpha = 0;
    GLboolean m_colorMask[4] = {};
    GLint m_polygonMode[2] = {};
    GLint m_viewport[4] = {};
};

}  // namespace vesta
