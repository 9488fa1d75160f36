#include "modifiers/FocalDepth.h"

#include "modifiers/ScreenOverlay.h"
#include "render/RenderModule.h"
#include "scene/Scene.h"
#include "timeline/ModifierFactory.h"

namespace vesta {

VESTA_REGISTER_MODIFIER(17, "FocalDepth", CFocalDepth);

namespace {

constexpr float kFramesPerSecond = 30.0f;
// The far part is drawn this many frames ahead of the modifier's clock.
constexpr float kFrameLead = 70.0f;

}  // namespace

CFocalDepth::CFocalDepth(CScene* scene, RenderModule* renderModule, void*)
    : CSelfNamingModifier(scene, renderModule) {
    AddIntParameter("TextureSize", &m_textureSize);
    AddFloatParameter("Middle", &m_middle);
}

CFocalDepth::~CFocalDepth() = default;

void CFocalDepth::Initialise() {
    GiveBackTexture(*Renderer(), m_target);
    m_target = CreateSceneTarget(*Renderer(), m_textureSize);
}

void CFocalDepth::Release() {
    if (Renderer()) {
        GiveBackTexture(*Renderer(), m_target);
    }
}

void CFocalDepth::PreRender() {
    if (!m_target) {
        return;
    }
    RenderModule& m = *Renderer();
    CScene& scene = *Scene();
    m_nearPlane = m.NearPlane();
    m_farPlane = m.FarPlane();
    m.SetNearPlane(m_middle);
    scene.cullNearPlane = false;
    m.SetRenderTarget(m_target, 0);
    m.Clear(0);
    scene.Render(Age() * kFramesPerSecond + kFrameLead);
    m.SetRenderTarget(nullptr, 0);
    {
        const ScreenDrawing screen(m, m_target);
        m.SetAlphaBlend(false);
        const auto quad = ScreenQuad(0xFFFFFFFFu);
        m.Draw(PrimitiveType::TriangleStrip, static_cast<int>(quad.size()), quad.data());
    }
    scene.cullNearPlane = true;
    scene.cullFarPlane = false;
    m.SetNearPlane(m_nearPlane);
    m.SetFarPlane(m_middle);
    m_split = true;
}

void CFocalDepth::Render() {
    if (!m_split) {
        return;
    }
    m_split = false;
    RenderModule& m = *Renderer();
    Scene()->cullFarPlane = true;
    m.SetNearPlane(m_nearPlane);
    m.SetFarPlane(m_farPlane);
    m.ApplyCamera();
}

}  // namespace vesta
