#pragma once
// "Mercure": the whole frame seen in a pool of mercury. Before the scene
// renders, the modifier makes its own TextureSize render target the target,
// so the scene is drawn into it; after, that picture is laid over the screen
// on a grid of GridSize by GridSize cells whose texture coordinates are bent
// by waves, and every grid point is shaded by the slope of the surface there,
// so the picture shimmers like liquid metal.
//
// Effect 0: rings spreading from the centre of the screen, WaveCountX across
// and WaveCountY up; Effect 1: two trains of straight waves crossing, as many
// across and up. Attenuation calms the waves away from the centre (exp(-A d),
// d in half screens). Variant 0 only bends and shades; Variant 1 adds the
// gleam of a light over the crests.

#include <cstdint>
#include <vector>

#include "modifiers/SelfNamingModifier.h"
#include "render/RenderTypes.h"

namespace vesta {

class Texture;

class CMercure : public CSelfNamingModifier {
public:
    static constexpr int kLargestGrid = 255;  // (n + 1)^2 vertices for 16-bit indices

    CMercure(CScene* scene, RenderModule* renderModule, void* extra);

    const char* GetKindName() const override { return "Mercure"; }
    const char* GetClassName() const override { return "CMercure"; }
    void Release() override;
    void PreRender() override;
    void Render() override;

    // The surface height at (u, v) of the screen (0..1), `time` seconds in.
    float Height(float u, float v, float time) const;
    int GridCells() const { return m_cells; }
    int TargetSize() const { return m_targetSize; }

protected:
    void Initialise() override;

private:
    void shapeGrid(float time);

    float m_waveCountX = 4.0f;
    float m_waveCountY = 4.0f;
    float m_attenuation = 1.0f;
    std::int32_t m_gridSize = 32;
    std::int32_t m_effect = 0;
    std::int32_t m_variant = 0;
    std::int32_t m_textureSize = 256;

    int m_cells = 0;
    int m_targetSize = 0;
    Texture* m_target = nullptr;
    bool m_drawingInto = false;
    std::vector<RenderVertex> m_grid;
    std::vector<RenderVertex> m_gleam;
    std::vector<std::uint16_t> m_indices;
};

}  // namespace vesta
