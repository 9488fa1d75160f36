#include "modifiers/OverlayPass.h"

#include "render/RenderModule.h"

namespace vesta {

OverlayPass::OverlayPass(RenderModule& module)
    : m_module(module), m_projection(module.ProjectionMatrix()), m_view(module.ViewMatrix()),
      m_world(module.WorldMatrix()), m_lighting(module.State().lighting),
      m_fog(module.State().fog.enabled), m_depth(module.State().depth),
      m_blend(module.State().blend), m_cull(module.State().cull) {}

OverlayPass::~OverlayPass() {
    Restore();
}

void OverlayPass::Restore() {
    RenderModule& m = m_module;
    m.SetProjectionMatrix(m_projection);
    m.SetViewMatrix(m_view);
    m.SetWorldMatrix(m_world);
    m.SetLighting(m_lighting);
    m.SetFogEnable(m_fog);
    m.SetDepthTest(m_depth.enabled);
    m.SetDepthWrite(m_depth.write);
    m.SetAlphaBlend(m_blend.enabled);
    m.SetSrcBlend(m_blend.source);
    m.SetDestBlend(m_blend.destination);
    m.SetCullMode(m_cull);
    m.SetTexture(0, nullptr);
}

void OverlayPass::Draw(Texture* texture, std::uint32_t argb) {
    RenderModule& m = m_module;
    // Half a unit each way fills the frame under this projection.
    m.SetOrthographic(1.0f, 1.0f, 1.0f, -1.0f);
    m.SetLighting(false);
    m.SetFogEnable(false);
    m.SetDepthTest(false);
    m.SetDepthWrite(false);
    m.SetCullMode(CullMode::None);
    m.SetAlphaBlend(true);
    m.SetSrcBlend(BlendFactor::SrcAlpha);
    m.SetDestBlend(BlendFactor::InvSrcAlpha);
    m.SetTexture(0, texture);
    m.SetColorOp(0, texture ? ColorOp::Modulate : ColorOp::SelectArg1);
    m.SetColorArg1(0, texture ? ColorArg::Texture : ColorArg::Diffuse);
    m.SetColorArg2(0, ColorArg::Diffuse);
    // The alpha is the vertices' alone: a render target's own alpha is
    // whatever its clear left.
    m.SetAlphaOp(0, AlphaOp::SelectArg1);
    m.SetAlphaArg1(0, AlphaArg::Diffuse);
    m.SetTexture(1, nullptr);
    m.SetColorOp(1, ColorOp::Disable);
    m.SetAlphaOp(1, AlphaOp::Disable);
    const RenderVertex corners[4] = {
        {-0.5f, 0.5f, 0, 0, 0, 0, argb, 0.0f, 0.0f, 0, 0},
        {0.5f, 0.5f, 0, 0, 0, 0, argb, 1.0f, 0.0f, 0, 0},
        {-0.5f, -0.5f, 0, 0, 0, 0, argb, 0.0f, 1.0f, 0, 0},
        {0.5f, -0.5f, 0, 0, 0, 0, argb, 1.0f, 1.0f, 0, 0},
    };
    m.Draw(PrimitiveType::TriangleStrip, 4, corners);
}

}  // namespace vesta
