#include "modifiers/LensDeform.h"

#include <cmath>

#include "modifiers/ScreenOverlay.h"
#include "render/RenderModule.h"
#include "timeline/ModifierFactory.h"

namespace vesta {

VESTA_REGISTER_MODIFIER(8, "LensDeform", CLensDeform);

namespace {

constexpr float kEyeDistance = 16.0f;
constexpr float kFieldOfView = 0.7853982f;

}  // namespace

CLensDeform::CLensDeform(CScene* scene, RenderModule* renderModule, void*)
    : CSelfNamingModifier(scene, renderModule) {}

CLensDeform::~CLensDeform() = default;

void CLensDeform::Initialise() {
    RenderModule& m = *Renderer();
    GiveBackTexture(m, m_target);
    m_target = CreateSceneTarget(m, m.GetMaxTextureSize() > 511 ? 512 : 256);
    m_indices.clear();
    constexpr int kStride = kColumns + 1;
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            const auto a = static_cast<std::uint16_t>(row * kStride + column);
            const auto b = static_cast<std::uint16_t>(a + 1);
            const auto c = static_cast<std::uint16_t>(a + kStride);
            const auto d = static_cast<std::uint16_t>(c + 1);
            m_indices.insert(m_indices.end(), {a, b, c, c, b, d});
        }
    }
}

void CLensDeform::Release() {
    if (Renderer()) {
        GiveBackTexture(*Renderer(), m_target);
    }
}

Vector3 CLensDeform::Swirl(float x, float y, float localTime) {
    const float t = std::sin(1.5f * localTime) / 15.0f;
    const float s = t * std::exp(std::abs(t));
    const float r = std::sqrt(x * x + y * y);
    const float phi = std::atan2(y, x) + s * r;
    return {r * std::cos(phi + 0.125f * std::sin(2.0f * s + r)),
            r * std::sin(phi + 0.125f * std::cos(2.0f * s + r)), 0.0f};
}

void CLensDeform::PreRender() {
    if (!m_target) {
        return;
    }
    Renderer()->SetRenderTarget(m_target, 0);
    // Without it every frame would be drawn over the last one's picture.
    Renderer()->Clear(0);
}

void CLensDeform::buildGrid(float halfWidth, float halfHeight, float localTime) {
    m_vertices.clear();
    for (int row = 0; row <= kRows; ++row) {
        for (int column = 0; column <= kColumns; ++column) {
            // Screen position from -overscan/2 to +overscan/2, left to right, top to bottom.
            const float sx = (static_cast<float>(column) / kColumns - 0.5f) * kOverscan;
            const float sy = (0.5f - static_cast<float>(row) / kRows) * kOverscan;
            // The camera looks down -z: world -x is the screen's right.
            const Vector3 p = Swirl(-sx * 2.0f * halfWidth, sy * 2.0f * halfHeight, localTime);
            const float u = 0.5f + sx;
            const float v = 0.5f - sy;
            m_vertices.push_back({p.x, p.y, 0.0f, 0.0f, 0.0f, 1.0f, 0xFFFFFFFFu, u, v, u, v});
        }
    }
}

void CLensDeform::Render() {
    if (!m_target) {
        return;
    }
    RenderModule& m = *Renderer();
    m.Clear(1);
    m.SetRenderTarget(nullptr, 0);
    m.SetLighting(false);
    m.SetAlphaBlend(false);
    m.SetDepthTest(false);
    m.SetCullMode(CullMode::None);
    m.SetWorldMatrix(Matrix4::Identity());
    m.SetCameraPosition({0.0f, 0.0f, kEyeDistance});
    m.SetCameraTarget({0.0f, 0.0f, 0.0f});
    m.SetFieldOfView(kFieldOfView);
    m.SetNearPlane(0.1f);
    m.SetFarPlane(25.0f);
    m.SetRoll(0.0f);
    m.ApplyCamera();

    const float halfHeight = kEyeDistance * std::tan(kFieldOfView * 0.5f);
    buildGrid(halfHeight / m.Aspect(), halfHeight, Age());
    m.SetTextureFiltering(0, true);
    UseTextureTimesColour(m, m_target);
    // The grid's rim lies past the picture: it repeats the picture's edge.
    m.SetTextureAddress(0, 0, TextureAddress::Clamp);
    m.SetTextureAddress(0, 1, TextureAddress::Clamp);
    m.DrawIndexed(PrimitiveType::TriangleList, m_vertices, m_indices);
    m.SetTextureAddress(0, 0, TextureAddress::Wrap);
    m.SetTextureAddress(0, 1, TextureAddress::Wrap);
    m.SetTexture(0, nullptr);
    m.SetDepthTest(true);
}

}  // namespace vesta
