#pragma once
// "PlasmaUVLayer": the picture seen through moving liquid glass. A plasma
// (four travelling sine fields summed) pushes the texture coordinates of a
// fine grid over the picture, Intensity being how far. Effect 1 also tints
// the picture with the plasma's colours. AlphaType 1 adds it to what lies
// below.

#include <vector>

#include "layers/LayerGrid.h"
#include "layers/PictureLayer.h"

namespace vesta {

class CPlasmaUVLayer : public CPictureLayer {
public:
    static constexpr int kCells = 40;
    // How far the coordinates move at Intensity 1, in picture widths.
    static constexpr float kReach = 0.04f;

    CPlasmaUVLayer(RenderModule* context, const std::vector<CLayerOperation>* children);

    void Start() override;
    const char* GetClassName() const override { return "CPlasmaUVLayer"; }
    const LayerGrid& Grid() const { return m_grid; }

    // The plasma at (x, y) of the grid's 0..1 square at time t: −4..4.
    static float Plasma(float x, float y, float t);

private:
    void draw() override;

    FlatPicture m_picture;
    std::int32_t m_effect = 0;
    std::int32_t m_alphaType = 0;
    float m_intensity = 1.0f;

    Texture* m_pictureTexture = nullptr;
    LayerGrid m_grid{kCells, kCells, 0.0f, 0.0f, 1.0f, 1.0f};
};

}  // namespace vesta
