#pragma once
// The base of the kinds that lay textured sprites on a mesh: one at the
// mesh's centre ("RenderType" 0) or one at each of its vertices
// ("RenderType" 1), "XScale" by "YScale" world units across, in the picture
// "Texture" with "AlphaTexture" as its alpha. "MaxIntensity" is their
// strength, steady with "Effect" 0 and pulsing once a second with "Effect"
// 1; "AlphaType" 0 adds them to what lies below, 1 blends them over it.

#include <cstdint>
#include <string>
#include <vector>

#include "modifiers/SelfNamingModifier.h"
#include "render/RenderTypes.h"

namespace vesta {

class CMeshe;
class Texture;

class CSpriteModifier : public CSelfNamingModifier {
public:
    CSpriteModifier(CScene* scene, RenderModule* renderModule);
    ~CSpriteModifier() override;

    void Release() override;

    CMeshe* Mesh() const { return m_mesh; }
    Texture* Picture() const { return m_picture; }
    // The vertices of this frame's sprites, six a sprite.
    const std::vector<RenderVertex>& Sprites() const { return m_sprites; }

protected:
    // Loads the picture; makes room for the sprites of `mesh` (may be null).
    void prepare(CMeshe* mesh);
    // This frame's strength, 0..MaxIntensity.
    float intensity() const;
    // The sprites of this frame as seen through `view`; `strength` gives
    // each one's brightness (0..1) from its centre, and one of 0 or less is
    // left out.
    template <class Strength>
    void buildSprites(const Matrix4& view, Strength strength);
    // Stage 0 with the picture times the vertex colour, and the blending of "AlphaType".
    void useSpriteStates() const;
    void drawSprites() const;

    const std::string& objectName() const { return m_objectName; }

private:
    void appendOne(const Matrix4& view, const Vector3& centre, float strength);

    std::string m_objectName;
    std::int32_t m_effect = 0;
    std::int32_t m_alphaType = 0;
    std::string m_alphaTexture;
    std::string m_texture;
    float m_maxIntensity = 1.0f;
    float m_xScale = 1.0f;
    float m_yScale = 1.0f;
    std::int32_t m_renderType = 0;

    CMeshe* m_mesh = nullptr;
    Texture* m_picture = nullptr;
    std::vector<RenderVertex> m_sprites;

    Vector3 worldCentre() const;
    Vector3 worldVertex(std::size_t index) const;
    std::size_t vertexCount() const;
    bool perVertex() const { return m_renderType == 1; }
};

template <class Strength>
void CSpriteModifier::buildSprites(const Matrix4& view, Strength strength) {
    m_sprites.clear();
    if (!m_mesh) {
        return;
    }
    if (!perVertex()) {
        const Vector3 centre = worldCentre();
        appendOne(view, centre, strength(centre));
        return;
    }
    for (std::size_t i = 0; i < vertexCount(); ++i) {
        const Vector3 centre = worldVertex(i);
        appendOne(view, centre, strength(centre));
    }
}

}  // namespace vesta
