#include "modifiers/GlowEffect.h"

#include <array>
#include <cmath>
#include <numbers>

#include "log/Log.h"
#include "render/FogFadesToBlack.h"
#include "render/RenderModule.h"
#include "scene/Scene.h"
#include "timeline/ModifierFactory.h"

namespace vesta {

VESTA_REGISTER_MODIFIER(2, "GlowEffect", CGlowEffect);

namespace {

constexpr int kRimPoints = 32;
constexpr float kTau = 2.0f * std::numbers::pi_v<float>;

}  // namespace

CGlowEffect::CGlowEffect(CScene* scene, RenderModule* renderModule, void*)
    : CSelfNamingModifier(scene, renderModule) {
    AddTextParameter("ObjetName", &m_objectName);
    AddTextParameter("AlphaTexture", &m_alphaTexture);
    AddTextParameter("Texture", &m_texture);
    AddFloatParameter("XScale", &m_xScale);
    AddFloatParameter("YScale", &m_yScale);
    AddFloatParameter("ZScale", &m_zScale);
    AddFloatParameter("TimeRatio", &m_timeRatio);
    AddFloatParameter("Intensity", &m_intensity);
}

void CGlowEffect::Initialise() {
    m_object = FindPlacedObjectOrLog(*Scene(), m_objectName);
    m_picture.Load(*Renderer(), m_texture, m_alphaTexture);
}

void CGlowEffect::Release() {
    m_picture.Release(*Renderer());
}

float CGlowEffect::Brightness(float time) const {
    return m_intensity * (0.75f + 0.25f * std::sin(kTau * m_timeRatio * time));
}

void CGlowEffect::Render() {
    if (!m_object) {
        return;
    }
    RenderModule& m = *Renderer();
    const Matrix4& view = m.ViewMatrix();
    const Vector3 right{view.m[0][0], view.m[1][0], view.m[2][0]};
    const Vector3 up{view.m[0][1], view.m[1][1], view.m[2][1]};
    const Vector3 towardsViewer{-view.m[0][2], -view.m[1][2], -view.m[2][2]};
    const float radius = ObjectRadius(*m_object) > 0.0f ? ObjectRadius(*m_object) : 1.0f;
    const Vector3 centre = ObjectCentre(*Scene(), *m_object) + towardsViewer * (radius * m_zScale);
    const std::uint32_t core = GreyArgb(Brightness(Age()));
    const std::uint32_t rim = m_picture.Get() ? core : 0u;
    std::array<RenderVertex, kRimPoints + 2> fan{};
    fan[0] = {centre.x, centre.y, centre.z, 0, 0, 0, core, 0.5f, 0.5f, 0, 0};
    for (int k = 0; k <= kRimPoints; ++k) {
        const float angle = kTau * static_cast<float>(k) / kRimPoints;
        const float c = std::cos(angle);
        const float s = std::sin(angle);
        const Vector3 p = centre + right * (c * radius * m_xScale) + up * (s * radius * m_yScale);
        fan[static_cast<std::size_t>(k) + 1] = {
            p.x, p.y, p.z, 0, 0, 0, rim, 0.5f + 0.5f * c, 0.5f - 0.5f * s, 0, 0};
    }
    const FogFadesToBlack fog(m, true);
    m_picture.BeginDraw(m, true);
    m.Draw(PrimitiveType::TriangleFan, static_cast<int>(fan.size()), fan.data());
    ModifierPicture::EndDraw(m);
}

}  // namespace vesta
