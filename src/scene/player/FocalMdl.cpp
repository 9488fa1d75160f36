#include "scene/player/FocalMdl.h"

#include <array>
#include <cstdint>

#include "render/RenderModule.h"
#include "scene/Scene.h"
#include "timeline/LayerFactory.h"

namespace vesta {

VESTA_REGISTER_LAYER(5, "FocalMDL", CFocalMDL);

namespace {

constexpr float kFramesPerSecond = 30.0f;
constexpr float kQuadHalfSize = 10.0f;
// Texture coordinates kept off the border, so that filtering never wraps round.
constexpr float kUvLow = 0.002f;
constexpr float kUvHigh = 0.998f;

RenderVertex corner(float x, float y, float u, float v, std::uint32_t diffuse) {
    return {x, y, 0.0f, 0.0f, 0.0f, 1.0f, diffuse, u, v, u, v};
}

}  // namespace

CFocalMDL::CFocalMDL(RenderModule* context, const std::vector<CLayerOperation>* children)
    : CEnvelopeLayer(context, children) {
    AddTextParameter("MDLFile", &m_file);
    AddTextParameter("AlphaMap", &m_alphaMap);
}

CFocalMDL::~CFocalMDL() = default;

void CFocalMDL::Start() {
    CEnvelopeLayer::Start();
    RenderModule& m = *Context();
    m_scene = std::make_unique<CScene>(&m);
    m_scene->Load(m_file);
    m_scene->LoadTextures();
    m_target = m.CreateTexture();
    m_target->CreateRenderTarget(kTargetSize, nullptr, 0);
    m_chrome = m.CreateTexture();
    m_chrome->SetAlphaMap(m_alphaMap);
    m_chrome->LoadOrRaise(kChromePicture);
}

// The textures go back with the scene, or every restart of the part would
// leave two behind.
void CFocalMDL::Release() {
    for (Texture** texture : {&m_target, &m_chrome}) {
        if (*texture) {
            Context()->ReleaseTexture(*texture);
            *texture = nullptr;
        }
    }
    if (m_scene) {
        m_scene->ReleaseResources();
    }
}

void CFocalMDL::draw() {
    RenderModule& m = *Context();
    m.SetNearPlane(1.0f);
    m.SetFarPlane(4500.0f);
    m.ApplyCamera();
    m.SetDepthTest(true);

    const float frame = Age() * kFramesPerSecond;
    m.SetRenderTarget(m_target, 0);
    m_scene->Render(frame);
    m.Clear(1);
    m.SetRenderTarget(nullptr, 0);
    m_scene->Render(frame);
    drawOverlay();
}

void CFocalMDL::drawOverlay() {
    RenderModule& m = *Context();
    m.SetWorldMatrix(Matrix4::Identity());
    m.SetCullMode(CullMode::None);
    m.SetCameraPosition({0.0f, 0.0f, 6.5f});
    m.SetCameraTarget({0.0f, 0.0f, 0.0f});
    m.SetFieldOfView(1.5707964f);
    m.SetNearPlane(1.0f);
    m.SetFarPlane(1500.0f);
    m.SetRoll(0.0f);
    m.ApplyCamera();
    m.SetDepthTest(false);
    m.SetAlphaBlend(true);
    m.SetAlphaOp(0, AlphaOp::Modulate);
    m.SetAlphaArg1(0, AlphaArg::Texture);
    m.SetAlphaArg2(0, AlphaArg::Diffuse);
    m.SetColorOp(1, ColorOp::Modulate);
    m.SetColorArg1(1, ColorArg::Texture);
    // The chrome picture's colour, which stage 0 passes on.
    m.SetColorArg2(1, ColorArg::Current);
    m.SetAlphaOp(1, AlphaOp::Disable);
    m.SetSrcBlend(BlendFactor::SrcAlpha);
    m.SetDestBlend(BlendFactor::InvSrcAlpha);

    // Aspect() is height over width: the quad is widened to the screen's shape.
    // The camera looks down -z, so world -x is the screen's right: the
    // pictures' left edge goes to +x, or the scene's copy would lie mirrored
    // over the scene.
    const float x = kQuadHalfSize / m.Aspect();
    const float y = kQuadHalfSize;
    const auto alpha = static_cast<std::uint32_t>(Intensity() * 255.0f);
    const std::uint32_t diffuse = (alpha << 24) | 0x00FFFFFFu;
    const std::array<RenderVertex, 4> quad = {
        corner(-x, y, kUvHigh, kUvLow, diffuse), corner(x, y, kUvLow, kUvLow, diffuse),
        corner(-x, -y, kUvHigh, kUvHigh, diffuse), corner(x, -y, kUvLow, kUvHigh, diffuse)};
    m.SetTexture(0, m_chrome);
    m.SetTexture(1, m_target);
    m.Draw(PrimitiveType::TriangleStrip, static_cast<int>(quad.size()), quad.data());
    m.SetTexture(0, nullptr);
    m.SetTexture(1, nullptr);
}

}  // namespace vesta
