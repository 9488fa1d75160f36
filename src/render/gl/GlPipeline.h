#pragma once
// Direct3D 8's fixed-function pipeline on OpenGL 3.3 core. The caller (the
// render module) changes State() as its operations run; each draw sends GL
// only what changed since the draw before and picks the generated program
// for the state's shader key.
//
// Conventions: the render target's row 0 is the top row of the picture, so
// glReadPixels returns the top row first and whatever shows the target on a
// screen must turn it over; Direct3D's clockwise is counter-clockwise in GL
// window coordinates. A stage without a texture reads opaque white.
//
//     gl::EglContext context(gl::ContextKind::Core33);
//     gl::GlPipeline pipeline;               // needs a current context
//     // ... bind a framebuffer ...
//     auto& state = pipeline.State();
//     state.viewport = {0, 0, 640, 480, 0.0f, 1.0f};
//     pipeline.Textures()[0] = {textureName, false};
//     state.blend = {true, BlendFactor::SrcAlpha, BlendFactor::InvSrcAlpha};
//     pipeline.Clear(true, true, true, 0xFF000000, 1.0f, 0);
//     pipeline.Draw(PrimitiveType::TriangleStrip, 4, vertices);

#include <cstdint>
#include <functional>
#include <memory>

#include "render/gl/PipelineState.h"
#include "render/gl/ShaderKey.h"

namespace vesta::gl {

// GlPipeline leaves this texture unit active after binding the stages'
// textures, so that textures bound elsewhere for uploading do not disturb
// the stages' bindings on units 0 to MaxStages - 1.
inline constexpr int ScratchTextureUnit = MaxStages;

// A depth or stencil clear that has not reached GL yet.
struct PendingClear {
    bool depth = false;
    bool stencil = false;
    Viewport area{};
    float z = 1.0f;
    std::uint32_t stencilValue = 0;
    bool Waiting() const { return depth || stencil; }
};

// A framebuffer's depth-stencil buffer as the pipeline leaves it between
// binds: attached or not yet, and the clear that waits for it.
struct TargetDepth {
    bool attached = true;
    PendingClear waiting;
};

class GlPipeline {
public:
    // Needs a current OpenGL 3.3 core context, which must stay current for
    // every call and until destruction. Draws with `state`, which the caller
    // owns and changes between draws; without one, with State().
    explicit GlPipeline(const PipelineState* state = nullptr);
    ~GlPipeline();
    GlPipeline(const GlPipeline&) = delete;
    GlPipeline& operator=(const GlPipeline&) = delete;

    // The pipeline's own state, drawn with when it was made without one.
    PipelineState& State() { return m_ownState; }
    // The GL textures the stages sample at the next draw (the state's texture
    // handles name them for the render module; GL knows only names).
    StageTextures& Textures() { return m_textures; }
    // Anisotropy used by stages whose filter is anisotropic (1: none available).
    float MaxAnisotropy() const { return m_maxAnisotropy; }

    // Off: every draw sends the whole state, to find faults of the caching.
    void SetStateCaching(bool on) { m_caching = on; }
    // Off: draws leave the colour buffers' alpha as it is, whatever the
    // colour mask says, and clears set it to 1 (for buffers whose alpha must
    // read 1 though they have one).
    void SetAlphaWrites(bool on) {
        m_alphaWrites = on;
        Invalidate();
    }
    // Forgets what GL was given: call after drawing with GL outside the
    // pipeline (the present blit, another program, other samplers or
    // blend/depth/stencil state), or after deleting a texture that may be bound.
    void Invalidate();

    // Direct3D's Clear: the current viewport's rectangle, unaffected by the
    // colour, depth and stencil write masks. `argb` is A8R8G8B8.
    // The depth and stencil part waits until a draw tests depth or stencil
    // (a frame of 2D layers never does, and a clear costs the rasteriser a
    // pass over every tile of both) or until FlushPendingClear.
    void Clear(bool color, bool depth, bool stencil, std::uint32_t argb, float z,
               std::uint32_t stencilValue);
    // Carries out a waiting depth or stencil clear: call before another
    // framebuffer is bound.
    void FlushPendingClear();

    // A framebuffer may be bound with its depth-stencil buffer not attached
    // yet: its clears then wait, across binds, and the first clear or draw
    // that needs the buffer calls `attach` (which attaches it to the bound
    // framebuffer) before going on. On llvmpipe an attached depth buffer
    // costs every tile work even while nothing tests depth: 2 % of a frame
    // of layers.
    void SetDepthAttacher(std::function<void()> attach) { m_attachDepth = std::move(attach); }
    // Before another framebuffer is bound: carries out the bound one's
    // waiting clear if its depth is attached, else keeps it in `target`.
    void LeaveTarget(TargetDepth& target);
    // After binding a framebuffer: `target` as LeaveTarget left it.
    void EnterTarget(const TargetDepth& target);

    // From memory, through the streaming buffers.
    void Draw(PrimitiveType primitive, int vertexCount, const RenderVertex* vertices);
    void DrawIndexed(PrimitiveType primitive, const RenderVertex* vertices, int vertexCount,
                     const std::uint16_t* indices, int indexCount);

    // From caller-owned buffer objects in the RenderVertex layout or the
    // point-sprite layout (16 bytes: three floats, A8R8G8B8 diffuse).
    // `indexBuffer` 0 draws `count` vertices from `firstVertex`; otherwise
    // `count` 16-bit indices from the start of the index buffer.
    void DrawBuffer(PrimitiveType primitive, VertexLayout layout, std::uint32_t vertexBuffer,
                    int firstVertex, std::uint32_t indexBuffer, int count);

    // One white point at pixel (x, y) of the target with depth z (0..1),
    // untransformed, unlit, unfogged: the occlusion probe.
    void DrawPretransformedPoint(float x, float y, float z);

    // A vertex shader that draws select by `handle` in the state; a handle
    // never added draws with the fixed function. Links one program of it at
    // once, so that a shader the driver refuses is known before any draw:
    // throws ShaderError then, and the handle stays unknown.
    void AddVertexProgram(std::uint32_t handle, const VertexShaderProgram& program);

    // Programs generated so far. Generation throws ShaderError (ProgramCache.h)
    // when the driver rejects a program, which is a fault of the generator.
    std::size_t ProgramCount() const;
    // Whether GL_MIRROR_CLAMP_TO_EDGE backs mirror once.
    bool HasMirrorClamp() const { return m_mirrorClamp; }

private:
    void clearNow(bool color, const PendingClear& buffers, std::uint32_t argb);
    void attachDepth();
    // `oneDiffuse`: every vertex drawn has the same diffuse colour.
    void apply(PrimitiveType primitive, VertexLayout layout, bool oneDiffuse = false);
    void applyFixed();
    void applyBlendAndDepth(bool all);
    void applyStencil(bool all);
    void applyRaster(bool all);
    void applyStages(const ShaderKey& key, bool all);
    void applyProgram(const ShaderKey& key);
    const VertexShaderProgram* vertexProgram(std::uint32_t handle) const;
    void setBufferLayout(VertexLayout layout, std::uint32_t vertexBuffer);
    // Into the stream buffer, with the stream vertex array bound; the offset.
    std::size_t streamVertices(const void* vertices, std::size_t bytes);

    struct Objects;
    PipelineState m_ownState;
    const PipelineState* m_state;
    StageTextures m_textures{};
    PipelineState m_applied;
    bool m_appliedValid = false;
    bool m_caching = true;
    bool m_mirrorClamp = false;
    float m_maxAnisotropy = 1.0f;
    bool m_alphaWrites = true;
    PendingClear m_pendingClear;
    bool m_depthAttached = true;
    std::function<void()> m_attachDepth;
    std::unique_ptr<Objects> m_objects;
};

}  // namespace vesta::gl
