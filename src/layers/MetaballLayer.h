#pragma once
// "MetaballLayer": NBMeta balls of liquid metal drifting in 3D that melt
// into each other where they meet. The balls swing on slow Lissajous paths
// about (XOffset, YOffset, ZOffset), XScale, YScale and ZScale wide; a
// nearer ball (z below 0) is drawn larger. Their summed field is sampled on
// a fine screen grid: inside the surface Texture (with AlphaTexture) is laid
// on as an environment map, looked up by the surface's slope so each blob
// shines like a sphere; Texture2 (with AlphaTexture2), when given, glows
// additively in a halo about the surface.

#include <vector>

#include "layers/LayerGrid.h"
#include "layers/PictureLayer.h"
#include "render/RenderTypes.h"

namespace vesta {

class CMetaballLayer : public CPictureLayer {
public:
    static constexpr int kColumns = 96;
    static constexpr int kRows = 72;
    static constexpr float kBallRadius = 0.12f;  // screen heights, at z = 0

    CMetaballLayer(RenderModule* context, const std::vector<CLayerOperation>* children);

    void Start() override;
    const char* GetClassName() const override { return "CMetaballLayer"; }

    struct Ball {
        Vector3 centre;  // the screen position and depth
        float radius;
    };
    std::vector<Ball> BallsAt(float age) const;
    // The field of `balls` at (x, y): 1 on the surface, more inside.
    float Field(const std::vector<Ball>& balls, float x, float y) const;

private:
    void draw() override;

    std::string m_alphaTexture;
    std::string m_texture;
    float m_xOffset = 0.0f;
    float m_yOffset = 0.0f;
    float m_zOffset = 0.0f;
    float m_xScale = 1.0f;
    float m_yScale = 1.0f;
    float m_zScale = 1.0f;
    std::int32_t m_count = 5;
    std::string m_alphaTexture2;
    std::string m_texture2;

    Texture* m_surface = nullptr;
    Texture* m_halo = nullptr;
    LayerGrid m_grid{kColumns, kRows, 0.0f, 0.0f, 1.0f, 1.0f};
    LayerGrid m_haloGrid{kColumns, kRows, 0.0f, 0.0f, 1.0f, 1.0f};
    std::vector<float> m_field;
};

}  // namespace vesta
