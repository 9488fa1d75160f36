#pragma once
// "WaterText": a picture (TextureFile, with AlphaTexture) under a pool of
// water whose surface is a 64 × 48 height field, stepped fifty times a
// second: waves spread, reflect off the edges and die out. The pictures of
// TextMapList (a comma-separated list) take turns, UpdateInterval seconds
// each, pressing their bright parts up out of the surface, so their text
// stands in relief through the water and dissolves into ripples when the
// next one comes. A drop falls every WaterInterval seconds (0: none), and
// another each time the music's level rises past SoundTrigLevel (0 to 1 of
// full level; 0: off), SoundAttenuate × that level deep. The surface bends
// the picture below it and is lit along its slopes; Effect 1 adds the
// reflection of EnvMapFile on top.

#include <vector>

#include "layers/LayerGrid.h"
#include "layers/PictureLayer.h"

namespace vesta {

class CWaterTextLayer : public CPictureLayer {
public:
    static constexpr int kColumns = 64;
    static constexpr int kRows = 48;
    static constexpr float kStepsPerSecond = 50.0f;
    // Steps beyond this in one frame are skipped, not caught up.
    static constexpr int kMostStepsPerFrame = 10;
    static constexpr float kDropDepth = 3.0f;
    static constexpr float kTextHeight = 3.0f;

    CWaterTextLayer(RenderModule* context, const std::vector<CLayerOperation>* children);

    void Start() override;
    const char* GetClassName() const override { return "CWaterTextLayer"; }

    // Heights of the surface at the grid's vertices, row 0 at the top.
    float HeightAt(int column, int row) const { return m_height[m_grid.Index(column, row)]; }
    void Drop(int column, int row, float depth);
    int DropCount() const { return m_drops; }
    std::size_t TextMapCount() const { return m_textMaps.size(); }

private:
    void draw() override;
    void loadTextMaps();
    void triggerDrops();
    void step();
    void pressTextMap();
    void shapeSurface();

    std::string m_textureFile;
    std::string m_envMapFile;
    std::string m_textMapList;
    float m_updateInterval = 2.0f;
    std::string m_alphaTexture;
    std::int32_t m_effect = 0;
    float m_waterInterval = 0.5f;
    float m_soundTrigLevel = 0.0f;
    float m_soundAttenuate = 1.0f;

    Texture* m_picture = nullptr;
    Texture* m_environment = nullptr;
    LayerGrid m_grid{kColumns, kRows, 0.0f, 0.0f, 1.0f, 1.0f};
    LayerGrid m_shine{kColumns, kRows, 0.0f, 0.0f, 1.0f, 1.0f};
    std::vector<float> m_height;
    std::vector<float> m_previous;
    std::vector<std::vector<float>> m_textMaps;  // 0..1 at the grid's vertices
    long m_steps = 0;
    int m_drops = 0;
    float m_nextDrop = 0.0f;
    bool m_aboveTrigger = false;
};

}  // namespace vesta
