#include "modifiers/ScreenOverlay.h"

#include <algorithm>

#include "render/RenderModule.h"

namespace vesta {
namespace {

constexpr int kSmallestTarget = 16;
// Texture coordinates kept off the border, so that filtering never wraps round.
constexpr float kUvInset = 0.002f;

std::uint32_t channel(float value) {
    return static_cast<std::uint32_t>(std::clamp(value, 0.0f, 255.0f));
}

}  // namespace

Texture* CreateSceneTarget(RenderModule& module, int edge) {
    const int size = std::clamp(edge, kSmallestTarget, module.GetMaxTextureSize());
    Texture* target = module.CreateTexture();
    target->CreateRenderTarget(size, nullptr, 0);
    // The first frame drawn through it must not show what the device left there.
    module.SetRenderTarget(target, 0);
    ClearToBlack(module);
    module.SetRenderTarget(nullptr, 0);
    return target;
}

void ClearToBlack(RenderModule& module) {
    const std::uint32_t clearColour = module.ClearColor();
    module.SetClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    module.Clear(0);
    module.SetClearColor(static_cast<float>((clearColour >> 16) & 0xFF) / 255.0f,
                         static_cast<float>((clearColour >> 8) & 0xFF) / 255.0f,
                         static_cast<float>(clearColour & 0xFF) / 255.0f, 0.0f);
}

Vector3 ProjectToScreen(const Vector3& p, const Matrix4& vp) {
    const float x = p.x * vp.m[0][0] + p.y * vp.m[1][0] + p.z * vp.m[2][0] + vp.m[3][0];
    const float y = p.x * vp.m[0][1] + p.y * vp.m[1][1] + p.z * vp.m[2][1] + vp.m[3][1];
    const float w = p.x * vp.m[0][3] + p.y * vp.m[1][3] + p.z * vp.m[2][3] + vp.m[3][3];
    if (w <= 0.0f) {
        return {};
    }
    return {0.5f * x / w, 0.5f * y / w, 0.0f};
}

void GiveBackTexture(RenderModule& module, Texture*& texture) {
    if (texture) {
        module.ReleaseTexture(texture);
        texture = nullptr;
    }
}

RenderVertex ScreenVertex(float x, float y, std::uint32_t diffuse) {
    const float u = std::clamp(0.5f + x, kUvInset, 1.0f - kUvInset);
    const float v = std::clamp(0.5f - y, kUvInset, 1.0f - kUvInset);
    return {x, y, 0.0f, 0.0f, 0.0f, 1.0f, diffuse, u, v, u, v};
}

std::array<RenderVertex, 4> ScreenQuad(std::uint32_t diffuse) {
    return {ScreenVertex(-0.5f, 0.5f, diffuse), ScreenVertex(0.5f, 0.5f, diffuse),
            ScreenVertex(-0.5f, -0.5f, diffuse), ScreenVertex(0.5f, -0.5f, diffuse)};
}

void UseTextureTimesColour(RenderModule& module, Texture* texture) {
    module.SetTexture(0, texture);
    module.SetColorOp(0, texture ? ColorOp::Modulate : ColorOp::SelectArg1);
    module.SetColorArg1(0, texture ? ColorArg::Texture : ColorArg::Diffuse);
    module.SetColorArg2(0, ColorArg::Diffuse);
    module.SetAlphaOp(0, texture ? AlphaOp::Modulate : AlphaOp::SelectArg1);
    module.SetAlphaArg1(0, texture ? AlphaArg::Texture : AlphaArg::Diffuse);
    module.SetAlphaArg2(0, AlphaArg::Diffuse);
    module.SetColorOp(1, ColorOp::Disable);
    module.SetAlphaOp(1, AlphaOp::Disable);
    module.SetTexture(1, nullptr);
}

ScreenDrawing::ScreenDrawing(RenderModule& module, Texture* texture)
    : m_module(module), m_fog(module.FogEnabled()) {
    module.SetOrthographic(1.0f, 1.0f, 1.0f, -1.0f);
    module.SetLighting(false);
    module.SetDepthTest(false);
    module.SetCullMode(CullMode::None);
    module.SetFogEnable(false);
    module.SetTextureFiltering(0, true);
    UseTextureTimesColour(module, texture);
}

ScreenDrawing::~ScreenDrawing() {
    m_module.SetTexture(0, nullptr);
    m_module.SetAlphaBlend(false);
    m_module.SetDepthTest(true);
    m_module.SetFogEnable(m_fog);
}

std::uint32_t PackColour(float alpha, float red, float green, float blue) {
    return (channel(alpha * 255.0f) << 24) | (channel(red) << 16) | (channel(green) << 8) |
           channel(blue);
}

}  // namespace vesta
