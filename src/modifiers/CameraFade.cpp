#include "modifiers/CameraFade.h"

#include <algorithm>

#include "log/Log.h"
#include "modifiers/OverlayPass.h"
#include "render/RenderModule.h"
#include "scene/Scene.h"
#include "timeline/ModifierFactory.h"

namespace vesta {

VESTA_REGISTER_MODIFIER(15, "CameraFade", CCameraFade);

CCameraFade::CCameraFade(CScene* scene, RenderModule* renderModule, void*)
    : CModifier(scene, renderModule) {
    AddTextParameter("TargetCamera", &m_targetCameraName);
}

void CCameraFade::Start() {
    TakeKindNameWhenUnnamed();
    RenderModule& m = *Renderer();
    m_view = m.CreateTexture();
    m_view->CreateRenderTarget(m.GetMaxTextureSize() > 511 ? 512 : 256, nullptr, 0);
    if (LifeTime() == -1.0f) {
        RaiseError("CCameraFade : Must specify a LifeTime");
    }
    if (m_targetCameraName.empty()) {
        RaiseError("CCameraFade : Must specify a target camera");
    }
    m_targetCamera = Scene()->FindCamera(m_targetCameraName);
    m_black = m.CreateTexture();
    m_black->SetAlphaMap("white.png");
    if (!m_black->Load("black.png")) {
        // The darkening then comes from the vertex colour alone.
        m.ReleaseTexture(m_black);
        m_black = nullptr;
    }
}

void CCameraFade::Release() {
    RenderModule& m = *Renderer();
    for (Texture** texture : {&m_view, &m_black}) {
        if (*texture) {
            m.ReleaseTexture(*texture);
            *texture = nullptr;
        }
    }
    m.SetRenderTarget(nullptr, 0);
}

float CCameraFade::shareLeft() const {
    return std::clamp((LifeTime() - Age()) / LifeTime(), 0.0f, 1.0f);
}

void CCameraFade::Render() {
    if (!m_targetCamera) {
        return;  // not initialised
    }
    RenderModule& m = *Renderer();
    m.SetRenderTarget(nullptr, 0);
    const auto alpha = static_cast<std::uint32_t>(shareLeft() * 255.0f) << 24;
    OverlayPass overlay(m);
    overlay.Draw(m_black, alpha | (m_black ? 0xFFFFFFu : 0u));
    overlay.Restore();
    m.SetRenderTarget(m_view, 0);
    // The target keeps its last picture otherwise, under what this one leaves empty.
    m.Clear(0);
    Scene()->SetCurrentCamera(m_targetCamera);
    Scene()->Render(CScene::kRenderAgain);
    m.Clear(1);
    m.SetRenderTarget(nullptr, 0);
    overlay.Draw(m_view, alpha | 0xFFFFFFu);
    SetSkip(true);
}

}  // namespace vesta
