#include "modifiers/SceneBlur.h"

#include <array>

#include "modifiers/ScreenOverlay.h"
#include "render/RenderModule.h"
#include "scene/Scene.h"
#include "timeline/ModifierFactory.h"

namespace vesta {

VESTA_REGISTER_MODIFIER(9, "SceneBlur", CSceneBlur);

namespace {

constexpr float kFramesPerSecond = 30.0f;

}  // namespace

CSceneBlur::CSceneBlur(CScene* scene, RenderModule* renderModule, void*)
    : CSelfNamingModifier(scene, renderModule) {
    AddVectorParameter("BorderColor", &m_borderColour);
    AddFloatParameter("BorderAlpha", &m_borderAlpha);
    AddIntParameter("TextureSize", &m_textureSize);
}

CSceneBlur::~CSceneBlur() = default;

void CSceneBlur::Initialise() {
    GiveBackTexture(*Renderer(), m_target);
    m_target = CreateSceneTarget(*Renderer(), m_textureSize);
}

void CSceneBlur::Release() {
    if (Renderer()) {
        GiveBackTexture(*Renderer(), m_target);
    }
}

void CSceneBlur::Render() {
    if (!m_target) {
        return;
    }
    RenderModule& m = *Renderer();
    m.SetRenderTarget(m_target, 0);
    m.Clear(0);
    Scene()->Render(Age() * kFramesPerSecond);
    m.Clear(1);
    m.SetRenderTarget(nullptr, 0);
    // The scene's camera, for the modifiers drawn after this one: the
    // overlay below leaves the screen's projection behind.
    const Matrix4 view = m.ViewMatrix();
    const Matrix4 projection = m.ProjectionMatrix();
    const Matrix4 world = m.WorldMatrix();
    layOver(m);
    m.SetViewMatrix(view);
    m.SetProjectionMatrix(projection);
    m.SetWorldMatrix(world);
}

void CSceneBlur::layOver(RenderModule& m) {
    const ScreenDrawing screen(m, m_target);
    m.SetAlphaBlend(true);
    m.SetSrcBlend(BlendFactor::SrcAlpha);
    m.SetDestBlend(BlendFactor::InvSrcAlpha);
    const std::uint32_t border =
        PackColour(m_borderAlpha, m_borderColour.x, m_borderColour.y, m_borderColour.z);
    // The centre, then round the corners back to the first one.
    const std::array<RenderVertex, 6> fan = {
        ScreenVertex(0.0f, 0.0f, 0x00FFFFFFu), ScreenVertex(-0.5f, 0.5f, border),
        ScreenVertex(0.5f, 0.5f, border),      ScreenVertex(0.5f, -0.5f, border),
        ScreenVertex(-0.5f, -0.5f, border),    ScreenVertex(-0.5f, 0.5f, border)};
    m.Draw(PrimitiveType::TriangleFan, static_cast<int>(fan.size()), fan.data());
}

}  // namespace vesta
