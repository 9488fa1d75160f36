#include "modifiers/StencilShadow.h"

#include <vector>

#include "modifiers/OverlayPass.h"
#include "modifiers/SceneLookup.h"
#include "modifiers/ShadowVolume.h"
#include "render/RenderModule.h"
#include "scene/Scene.h"
#include "timeline/ModifierFactory.h"

namespace vesta {

VESTA_REGISTER_MODIFIER(20, "StencilShadow", CStencilShadow);

CStencilShadow::CStencilShadow(CScene* scene, RenderModule* renderModule, void*)
    : CModifier(scene, renderModule) {
    AddTextParameter("Light", &m_lightName);
    AddTextParameter("Object", &m_objectName);
}

void CStencilShadow::Start() {
    TakeKindNameWhenUnnamed();
    CMeshe& mesh = FindMeshOrRaise(*Scene(), m_objectName);
    m_light = &FindLightOrRaise(*Scene(), m_lightName);
    m_mesh = &mesh;
}

void CStencilShadow::Render() {
    if (!m_mesh || !m_light) {
        return;  // not initialised
    }
    countSides();
    darkenShadow();
}

void CStencilShadow::countSides() {
    RenderModule& m = *Renderer();
    // Where the scene drew this frame: an animated light is placed by its track.
    const Vector3 light =
        m_light->anim ? m_light->WorldPosition()
                      : Vector3{m_light->position.x, m_light->position.y, m_light->position.z};
    const std::vector<RenderVertex> sides = BuildShadowVolume(*m_mesh, light, kShadowLength);
    const CullMode cull = m.State().cull;
    m.SetWorldMatrix(Matrix4::Identity());
    m.SetLighting(false);
    m.SetFogEnable(false);
    m.SetAlphaBlend(false);
    m.SetTexture(0, nullptr);
    m.SetDepthTest(true);
    m.SetDepthWrite(false);
    m.SetColorWriteMask(false, false, false, false);
    m.SetStencilEnable(true);
    m.SetStencilFunc(Comparison::Always);
    m.SetStencilRef(1);
    m.SetStencilMask(0xFFFFFFFFu);
    m.SetStencilWriteMask(0xFFFFFFFFu);
    m.SetStencilFailOp(StencilOp::Keep);
    m.SetStencilZFailOp(StencilOp::Keep);
    if (!sides.empty()) {
        m.SetCullMode(CullMode::Clockwise);
        m.SetStencilPassOp(StencilOp::Increment);
        m.Draw(PrimitiveType::TriangleList, static_cast<int>(sides.size()), sides.data());
        m.SetCullMode(CullMode::CounterClockwise);
        m.SetStencilPassOp(StencilOp::Decrement);
        m.Draw(PrimitiveType::TriangleList, static_cast<int>(sides.size()), sides.data());
    }
    m.SetColorWriteMask(true, true, true, true);
    m.SetDepthWrite(true);
    m.SetCullMode(cull);
}

void CStencilShadow::darkenShadow() {
    RenderModule& m = *Renderer();
    m.SetStencilFunc(Comparison::LessEqual);
    // Each darkened pixel's count goes back to 0, so that the next shadow
    // (or this one again in a second pass) counts from nothing instead of
    // darkening this shadow once more.
    m.SetStencilPassOp(StencilOp::Zero);
    {
        OverlayPass overlay(m);
        overlay.Draw(nullptr, kShadowAlpha << 24);
    }
    m.SetStencilEnable(false);
}

}  // namespace vesta
