#include "modifiers/AnimGfx.h"

#include <cstdlib>

#include "log/Log.h"
#include "modifiers/SceneLookup.h"
#include "render/RenderModule.h"
#include "scene/Scene.h"
#include "script/TextNumbers.h"
#include "timeline/ModifierFactory.h"

namespace vesta {

VESTA_REGISTER_MODIFIER(4, "MaterialAnim", CAnimGfx);

namespace {

std::vector<std::string> splitList(std::string_view text) {
    std::vector<std::string> pieces;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view piece = TrimBlanks(text.substr(0, comma));
        if (!piece.empty()) {
            pieces.emplace_back(piece);
        }
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
    }
    return pieces;
}

}  // namespace

CAnimGfx::CAnimGfx(CScene* scene, RenderModule* renderModule, void*)
    : CModifier(scene, renderModule) {
    AddIntParameter("AlphaType", &m_alphaType);
    AddTextParameter("AlphaTexture", &m_alphaTexture);
    AddTextParameter("Texture", &m_texture);
    AddFloatParameter("SpeedAnim", &m_speedAnim);
    AddTextParameter("Material", &m_materialName);
    AddIntParameter("Random", &m_random);
}

void CAnimGfx::Start() {
    TakeKindNameWhenUnnamed();
    m_material = FindMaterial(*Scene(), m_materialName);
    if (!m_material) {
        RaiseError("Unable to find material [%s]", m_materialName.c_str());
    }
    m_ownTexture = m_material->textures.empty() ? nullptr : m_material->textures[0];
    const std::vector<std::string> pictures = splitList(m_texture);
    const std::vector<std::string> alphas = splitList(m_alphaTexture);
    RenderModule& m = *Renderer();
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        Texture* texture = m.CreateTexture();
        if (i < alphas.size()) {
            texture->SetAlphaMap(alphas[i]);
        }
        texture->LoadOrRaise(pictures[i]);
        m_frames.push_back(texture);
    }
    m_shown = -1;
    m_lastChange = 0.0f;
}

void CAnimGfx::Release() {
    if (m_material && m_shown >= 0 && !m_material->textures.empty()) {
        m_material->textures[0] = m_ownTexture;
    }
    for (Texture* texture : m_frames) {
        Renderer()->ReleaseTexture(texture);
    }
    m_frames.clear();
    m_shown = -1;
}

int CAnimGfx::nextFrame() const {
    const int count = static_cast<int>(m_frames.size());
    if (m_random == 0 || count < 2) {
        return (m_shown + 1) % count;
    }
    int frame = m_shown;
    while (frame == m_shown) {
        frame = std::rand() % count;
    }
    return frame;
}

void CAnimGfx::PreRender() {
    if (m_frames.empty()) {
        return;
    }
    if (m_shown < 0) {
        m_lastChange = Age();
        show(m_random != 0 ? std::rand() % static_cast<int>(m_frames.size()) : 0);
    } else if (Age() - m_lastChange > m_speedAnim) {
        m_lastChange = Age();
        show(nextFrame());
    }
}

void CAnimGfx::show(int frame) {
    m_shown = frame;
    if (m_material->textures.empty()) {
        m_material->textures.push_back(nullptr);
    }
    m_material->textures[0] = m_frames[static_cast<std::size_t>(frame)];
}

}  // namespace vesta
