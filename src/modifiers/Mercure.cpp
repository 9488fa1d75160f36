#include "modifiers/Mercure.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "modifiers/ModifierSprites.h"
#include "render/RenderModule.h"
#include "scene/SceneMath.h"
#include "timeline/ModifierFactory.h"

namespace vesta {

VESTA_REGISTER_MODIFIER(11, "Mercure", CMercure);

namespace {

constexpr float kTau = 2.0f * std::numbers::pi_v<float>;
constexpr int kSmallestTarget = 16;
// How far a unit slope bends the texture coordinates, and tilts the surface.
constexpr float kBend = 0.0015f;
constexpr float kTilt = 0.08f;
constexpr float kStep = 1.0f / 512.0f;

}  // namespace

CMercure::CMercure(CScene* scene, RenderModule* renderModule, void*)
    : CSelfNamingModifier(scene, renderModule) {
    AddFloatParameter("WaveCountX", &m_waveCountX);
    AddFloatParameter("WaveCountY", &m_waveCountY);
    AddFloatParameter("Attenuation", &m_attenuation);
    AddIntParameter("GridSize", &m_gridSize);
    AddIntParameter("Effect", &m_effect);
    AddIntParameter("Variant", &m_variant);
    AddIntParameter("TextureSize", &m_textureSize);
}

void CMercure::Initialise() {
    RenderModule& m = *Renderer();
    m_targetSize = std::clamp(m_textureSize, kSmallestTarget,
                              std::max(m.GetMaxTextureSize(), kSmallestTarget));
    m_target = m.CreateTexture();
    m_target->CreateRenderTarget(m_targetSize, nullptr, 0);
    m_cells = std::clamp(static_cast<int>(m_gridSize), 1, kLargestGrid);
    const int side = m_cells + 1;
    m_grid.assign(static_cast<std::size_t>(side * side), RenderVertex{});
    m_gleam = m_grid;
    m_indices.clear();
    for (int row = 0; row < m_cells; ++row) {
        for (int column = 0; column < m_cells; ++column) {
            const auto corner = static_cast<std::uint16_t>(row * side + column);
            const auto below = static_cast<std::uint16_t>(corner + side);
            for (const std::uint16_t index :
                 {corner, static_cast<std::uint16_t>(corner + 1), below, below,
                  static_cast<std::uint16_t>(corner + 1), static_cast<std::uint16_t>(below + 1)}) {
                m_indices.push_back(index);
            }
        }
    }
}

void CMercure::Release() {
    RenderModule& m = *Renderer();
    if (m_drawingInto) {
        m.SetRenderTarget(nullptr, 0);
        m_drawingInto = false;
    }
    if (m_target) {
        m.ReleaseTexture(m_target);
        m_target = nullptr;
    }
}

float CMercure::Height(float u, float v, float time) const {
    const float du = u - 0.5f;
    const float dv = v - 0.5f;
    const float calm = std::exp(-m_attenuation * 2.0f * std::sqrt(du * du + dv * dv));
    if (m_effect == 1) {
        return 0.5f * calm *
               (std::sin(kTau * (m_waveCountX * u - time)) +
                std::sin(kTau * (m_waveCountY * v - 0.8f * time)));
    }
    const float rings = std::hypot(m_waveCountX * du, m_waveCountY * dv);
    return calm * std::sin(kTau * (rings - time));
}

void CMercure::shapeGrid(float time) {
    const int side = m_cells + 1;
    const Vector3 light = Unit({1.0f, 1.0f, 0.6f});
    for (int row = 0; row < side; ++row) {
        for (int column = 0; column < side; ++column) {
            const float u = static_cast<float>(column) / static_cast<float>(m_cells);
            const float v = static_cast<float>(row) / static_cast<float>(m_cells);
            const float slopeU =
                (Height(u + kStep, v, time) - Height(u - kStep, v, time)) / (2.0f * kStep);
            const float slopeV =
                (Height(u, v + kStep, time) - Height(u, v - kStep, time)) / (2.0f * kStep);
            // Screen v grows downwards, the surface's y upwards.
            const Vector3 normal = Unit({-slopeU * kTilt, slopeV * kTilt, 1.0f});
            const float facing = Dot(normal, light);
            const std::size_t at = static_cast<std::size_t>(row * side + column);
            RenderVertex& vertex = m_grid[at];
            vertex = {u - 0.5f, 0.5f - v, 0.0f, 0, 0, 0, 0, 0, 0, 0, 0};
            vertex.u0 = std::clamp(u - slopeU * kBend, 0.0f, 1.0f);
            vertex.v0 = std::clamp(v - slopeV * kBend, 0.0f, 1.0f);
            vertex.diffuse = 0xFF000000u | (GreyArgb(0.6f + 0.4f * facing) & 0x00FFFFFFu);
            RenderVertex& gleam = m_gleam[at];
            gleam = vertex;
            gleam.diffuse = GreyArgb((facing - 0.55f) * 3.0f);
        }
    }
}

void CMercure::PreRender() {
    if (!m_target) {
        return;
    }
    RenderModule& m = *Renderer();
    m.SetRenderTarget(m_target, 0);
    m.Clear(0);
    m_drawingInto = true;
}

void CMercure::Render() {
    if (!m_drawingInto) {
        return;
    }
    RenderModule& m = *Renderer();
    m.Clear(1);
    m.SetRenderTarget(nullptr, 0);
    m_drawingInto = false;
    shapeGrid(Age());

    const Matrix4 projection = m.ProjectionMatrix();
    const Matrix4 view = m.ViewMatrix();
    const Matrix4 world = m.WorldMatrix();
    const bool fog = m.FogEnabled();
    m.SetOrthographic(1.0f, 1.0f, 1.0f, -1.0f);
    m.SetLighting(false);
    m.SetFogEnable(false);
    m.SetDepthTest(false);
    m.SetCullMode(CullMode::None);
    m.SetAlphaBlend(false);
    m.SetTexture(0, m_target);
    m.SetTexture(1, nullptr);
    m.SetColorOp(0, ColorOp::Modulate);
    m.SetColorArg1(0, ColorArg::Texture);
    m.SetColorArg2(0, ColorArg::Diffuse);
    m.SetAlphaOp(0, AlphaOp::Disable);
    m.DrawIndexed(PrimitiveType::TriangleList, m_grid, m_indices);
    if (m_variant == 1) {
        m.SetTexture(0, nullptr);
        m.SetColorOp(0, ColorOp::SelectArg1);
        m.SetColorArg1(0, ColorArg::Diffuse);
        m.SetAlphaBlend(true);
        m.SetSrcBlend(BlendFactor::One);
        m.SetDestBlend(BlendFactor::One);
        m.DrawIndexed(PrimitiveType::TriangleList, m_gleam, m_indices);
        m.SetAlphaBlend(false);
    }
    m.SetTexture(0, nullptr);
    m.SetColorOp(0, ColorOp::Modulate);
    m.SetColorArg1(0, ColorArg::Texture);
    m.SetProjectionMatrix(projection);
    m.SetViewMatrix(view);
    m.SetWorldMatrix(world);
    m.SetFogEnable(fog);
    m.SetDepthTest(true);
    m.SetCullMode(CullMode::CounterClockwise);
}

}  // namespace vesta
