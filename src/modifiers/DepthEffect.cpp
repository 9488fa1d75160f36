#include "modifiers/DepthEffect.h"

#include "log/Log.h"
#include "modifiers/Billboards.h"
#include "modifiers/SceneLookup.h"
#include "render/RenderModule.h"
#include "scene/Scene.h"
#include "timeline/ModifierFactory.h"

namespace vesta {

VESTA_REGISTER_MODIFIER(19, "DepthEffect", CDepthEffect);

namespace {

// The part of a sprite's picture fainter than this neither shows nor hides.
constexpr std::uint32_t kAlphaCut = 0x40;

}  // namespace

CDepthEffect::CDepthEffect(CScene* scene, RenderModule* renderModule, void*)
    : CSpriteModifier(scene, renderModule) {
    AddFloatParameter("MaxZ", &m_maxZ);
}

void CDepthEffect::Initialise() {
    CMeshe* mesh = FindMeshOrLog(*Scene(), objectName());
    prepare(mesh);
}

// Before the scene renders, the module holds the camera of the frame before
// and the mesh the place it was drawn at then.
void CDepthEffect::PreRender() {
    if (!Mesh() || m_maxZ <= 0.0f) {
        return;
    }
    RenderModule& m = *Renderer();
    const Matrix4 view = m.ViewMatrix();
    const Vector3 eye = ViewerPosition(view);
    const float strength = intensity();
    buildSprites(view, [&](const Vector3& centre) {
        return strength * (1.0f - Length(centre - eye) / m_maxZ);
    });
    const bool fog = m.FogEnabled();
    useSpriteStates();
    m.SetFogEnable(false);
    m.SetDepthTest(true);
    m.SetDepthWrite(true);
    m.SetAlphaTest(true, kAlphaCut);
    m.SetAlphaFunc(Comparison::Greater);
    drawSprites();
    m.SetAlphaTest(false, 0);
    m.SetAlphaBlend(false);
    m.SetTexture(0, nullptr);
    m.SetFogEnable(fog);
}

}  // namespace vesta
