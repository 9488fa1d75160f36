#include "modifiers/SpriteModifier.h"

#include <algorithm>
#include <cmath>

#include "modifiers/Billboards.h"
#include "modifiers/ScreenOverlay.h"
#include "render/RenderModule.h"
#include "scene/Animation.h"
#include "scene/Scene.h"

namespace vesta {
namespace {

constexpr float kTwoPi = 6.2831853f;
constexpr int kVerticesPerSprite = 6;

}  // namespace

CSpriteModifier::CSpriteModifier(CScene* scene, RenderModule* renderModule)
    : CSelfNamingModifier(scene, renderModule) {
    AddTextParameter("ObjetName", &m_objectName);
    AddIntParameter("Effect", &m_effect);
    AddIntParameter("AlphaType", &m_alphaType);
    AddTextParameter("AlphaTexture", &m_alphaTexture);
    AddTextParameter("Texture", &m_texture);
    AddFloatParameter("MaxIntensity", &m_maxIntensity);
    AddFloatParameter("XScale", &m_xScale);
    AddFloatParameter("YScale", &m_yScale);
    AddIntParameter("RenderType", &m_renderType);
}

CSpriteModifier::~CSpriteModifier() = default;

void CSpriteModifier::prepare(CMeshe* mesh) {
    RenderModule& m = *Renderer();
    GiveBackTexture(m, m_picture);
    // Without a picture the sprites are plain squares of their colour.
    if (!m_texture.empty()) {
        m_picture = m.CreateTexture();
        m_picture->SetAlphaMap(m_alphaTexture);
        m_picture->LoadOrRaise(m_texture);
    }
    m_mesh = mesh;
    m_sprites.clear();
    m_sprites.reserve((mesh && perVertex() ? mesh->vertices.size() : 1) * kVerticesPerSprite);
}

void CSpriteModifier::Release() {
    if (Renderer()) {
        GiveBackTexture(*Renderer(), m_picture);
    }
    m_mesh = nullptr;
}

float CSpriteModifier::intensity() const {
    if (m_effect == 1) {
        return m_maxIntensity * (0.5f + 0.5f * std::cos(kTwoPi * Age()));
    }
    return m_maxIntensity;
}

Vector3 CSpriteModifier::worldCentre() const {
    return TransformPoint(m_mesh->box.centre, m_mesh->worldMatrix);
}

Vector3 CSpriteModifier::worldVertex(std::size_t index) const {
    return TransformPoint(m_mesh->vertices[index].position, m_mesh->worldMatrix);
}

std::size_t CSpriteModifier::vertexCount() const {
    return m_mesh->vertices.size();
}

void CSpriteModifier::appendOne(const Matrix4& view, const Vector3& centre, float strength) {
    if (strength <= 0.0f) {
        return;
    }
    const float grey = 255.0f * std::min(strength, 1.0f);
    AppendSprite(m_sprites, view, centre, m_xScale * 0.5f, m_yScale * 0.5f,
                 PackColour(1.0f, grey, grey, grey));
}

void CSpriteModifier::useSpriteStates() const {
    RenderModule& m = *Renderer();
    m.SetLighting(false);
    m.SetCullMode(CullMode::None);
    m.SetWorldMatrix(Matrix4::Identity());
    UseTextureTimesColour(m, m_picture);
    m.SetAlphaBlend(true);
    m.SetSrcBlend(BlendFactor::SrcAlpha);
    m.SetDestBlend(m_alphaType == 1 ? BlendFactor::InvSrcAlpha : BlendFactor::One);
}

void CSpriteModifier::drawSprites() const {
    if (!m_sprites.empty()) {
        Renderer()->Draw(PrimitiveType::TriangleList, static_cast<int>(m_sprites.size()),
                         m_sprites.data());
    }
}

}  // namespace vesta
