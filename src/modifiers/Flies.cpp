#include "modifiers/Flies.h"

#include <cmath>
#include <numbers>

#include "log/Log.h"
#include "render/RenderModule.h"
#include "scene/Scene.h"
#include "timeline/ModifierFactory.h"

namespace vesta {

VESTA_REGISTER_MODIFIER(1, "Flies", CFlies);

namespace {

constexpr float kTau = 2.0f * std::numbers::pi_v<float>;

}  // namespace

CFlies::CFlies(CScene* scene, RenderModule* renderModule, void*)
    : CSelfNamingModifier(scene, renderModule) {
    AddTextParameter("ObjetName", &m_objectName);
    AddTextParameter("AlphaTexture", &m_alphaTexture);
    AddTextParameter("Texture", &m_texture);
    AddFloatParameter("XScale", &m_xScale);
    AddFloatParameter("YScale", &m_yScale);
    AddIntParameter("NBFlies", &m_count);
    AddFloatParameter("ZoneMin", &m_zoneMin);
    AddFloatParameter("ZoneMax", &m_zoneMax);
}

void CFlies::Initialise() {
    m_object = FindPlacedObjectOrLog(*Scene(), m_objectName);
    m_picture.Load(*Renderer(), m_texture, m_alphaTexture);
}

void CFlies::Release() {
    m_picture.Release(*Renderer());
}

Vector3 CFlies::FlyPosition(int index, float time, const Vector3& centre) const {
    const auto i = static_cast<std::uint32_t>(index);
    auto draw = [i](std::uint32_t k) { return HashFraction(i, k); };
    // An orbit: two axes of a plane turned by a random tilt and heading.
    const float tilt = (draw(0) - 0.5f) * std::numbers::pi_v<float>;
    const float heading = draw(1) * kTau;
    const Vector3 across{std::cos(heading), 0.0f, std::sin(heading)};
    const Vector3 upward{-std::sin(heading) * std::sin(tilt), std::cos(tilt),
                         std::cos(heading) * std::sin(tilt)};
    const float speed = (0.6f + draw(2)) * (draw(3) < 0.5f ? -1.0f : 1.0f);
    const float angle = draw(4) * kTau + speed * time * 2.0f;
    const float breathing = 0.5f + 0.5f * std::sin(time * (1.0f + 2.0f * draw(5)) + draw(6) * kTau);
    const float distance = m_zoneMin + (m_zoneMax - m_zoneMin) * breathing;
    const float buzz = std::sin(time * 23.0f + draw(7) * kTau) * 0.05f * distance;
    return centre + across * (std::cos(angle) * distance) +
           upward * (std::sin(angle) * distance + buzz);
}

void CFlies::Render() {
    if (!m_object) {
        return;
    }
    RenderModule& m = *Renderer();
    const Vector3 centre = ObjectCentre(*Scene(), *m_object);
    m_batch.Clear();
    for (int i = 0; i < m_count; ++i) {
        m_batch.AddFacing(m.ViewMatrix(), FlyPosition(i, Age(), centre), m_xScale, m_yScale,
                          0xFFFFFFFFu);
    }
    m_picture.BeginDraw(m, false);
    m_batch.Draw(m);
    ModifierPicture::EndDraw(m);
}

}  // namespace vesta
