#pragma once
// Pictures laid over the whole frame after the scene was drawn: the render
// module's matrices and the states an overlay changes are put back when the
// overlay goes, so the scene's next pass finds them as it left them.

#include <cstdint>

#include "render/RenderState.h"
#include "render/RenderTypes.h"

namespace vesta {

class RenderModule;
class Texture;

class OverlayPass {
public:
    explicit OverlayPass(RenderModule& module);
    ~OverlayPass();
    OverlayPass(const OverlayPass&) = delete;
    OverlayPass& operator=(const OverlayPass&) = delete;

    // The texture (or, without one, the colour alone) times `argb` over the
    // whole target, blended by the colour's alpha; depth, fog, lighting and
    // culling play no part.
    void Draw(Texture* texture, std::uint32_t argb);
    // Back to the matrices and states the overlay found, for drawing in the
    // scene again; the overlay may draw once more afterwards.
    void Restore();

private:
    RenderModule& m_module;
    Matrix4 m_projection;
    Matrix4 m_view;
    Matrix4 m_world;
    bool m_lighting;
    bool m_fog;
    DepthState m_depth;
    BlendState m_blend;
    CullMode m_cull;
};

}  // namespace vesta
