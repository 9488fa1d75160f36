#include "modifiers/Glow2.h"

#include <array>

#include "modifiers/Billboards.h"
#include "modifiers/SceneLookup.h"
#include "modifiers/ScreenOverlay.h"
#include "render/RenderModule.h"
#include "scene/Animation.h"
#include "scene/Scene.h"
#include "timeline/ModifierFactory.h"

namespace vesta {

VESTA_REGISTER_MODIFIER(12, "Glow2", CGlow2);

namespace {

// How much larger each copy is than the one before.
constexpr float kCopyGrowth = 0.12f;

}  // namespace

CGlow2::CGlow2(CScene* scene, RenderModule* renderModule, void*)
    : CSpriteModifier(scene, renderModule) {}

CGlow2::~CGlow2() = default;

void CGlow2::Initialise() {
    CMeshe& mesh = FindMeshOrRaise(*Scene(), objectName());
    prepare(&mesh);
    GiveBackTexture(*Renderer(), m_target);
    m_target = CreateSceneTarget(*Renderer(), kTargetSize);
}

void CGlow2::Release() {
    if (Renderer()) {
        GiveBackTexture(*Renderer(), m_target);
    }
    CSpriteModifier::Release();
}

void CGlow2::Render() {
    CMeshe* mesh = Mesh();
    if (!mesh || !m_target || (mesh->flags & MeshFlag::Visible) == 0) {
        return;
    }
    RenderModule& m = *Renderer();
    const bool fog = m.FogEnabled();
    m.SetFogEnable(false);
    const Matrix4 view = m.ViewMatrix();
    const Matrix4 projection = m.ProjectionMatrix();
    buildSprites(view, [](const Vector3&) { return 1.0f; });

    m.SetRenderTarget(m_target, 0);
    ClearToBlack(m);
    useSpriteStates();
    m.SetDepthTest(false);
    drawSprites();
    m.SetRenderTarget(nullptr, 0);

    layCopies(
        ProjectToScreen(TransformPoint(mesh->box.centre, mesh->worldMatrix), view * projection));
    // The scene's camera again, for the modifiers drawn after this one.
    m.SetViewMatrix(view);
    m.SetProjectionMatrix(projection);
    m.SetFogEnable(fog);
}

void CGlow2::layCopies(const Vector3& centre) {
    RenderModule& m = *Renderer();
    const ScreenDrawing screen(m, m_target);
    m.SetAlphaBlend(true);
    m.SetSrcBlend(BlendFactor::One);
    m.SetDestBlend(BlendFactor::One);
    for (int copy = 0; copy < kCopies; ++copy) {
        const float grey = 255.0f * intensity() * (1.0f - static_cast<float>(copy) / kCopies);
        const float scale = 1.0f + kCopyGrowth * static_cast<float>(copy);
        std::array<RenderVertex, 4> quad = ScreenQuad(PackColour(1.0f, grey, grey, grey));
        for (RenderVertex& corner : quad) {
            corner.x = centre.x + (corner.x - centre.x) * scale;
            corner.y = centre.y + (corner.y - centre.y) * scale;
        }
        m.Draw(PrimitiveType::TriangleStrip, static_cast<int>(quad.size()), quad.data());
    }
}

}  // namespace vesta
