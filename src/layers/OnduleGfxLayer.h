#pragma once
// "OnduleGFXLayer": the picture on a fine grid that waves like a cloth in
// the wind. Effect 0: its rows sway sideways; 1: its columns rise and fall;
// 2: rings ripple out from its centre. The crests are lit and the troughs
// shaded, Intensity is the height of the waves, and the envelope fades the
// picture in and out.

#include <vector>

#include "layers/LayerGrid.h"
#include "layers/PictureLayer.h"

namespace vesta {

class COnduleGfxLayer : public CPictureLayer {
public:
    static constexpr int kCells = 32;
    // Wave height at Intensity 1, in screen units.
    static constexpr float kAmplitude = 0.03f;

    COnduleGfxLayer(RenderModule* context, const std::vector<CLayerOperation>* children);

    void Start() override;
    const char* GetClassName() const override { return "COnduleGfxLayer"; }
    const LayerGrid& Grid() const { return m_grid; }

private:
    void draw() override;

    std::int32_t m_effect = 0;
    FlatPicture m_picture;
    float m_intensity = 1.0f;

    Texture* m_pictureTexture = nullptr;
    LayerGrid m_grid{kCells, kCells, 0.0f, 0.0f, 1.0f, 1.0f};
};

}  // namespace vesta
