#pragma once
// "LineLayer": a line of NBLines copies of the picture, each one step
// further along (XOffsetDelta, YOffsetDelta) and larger by (XScaleDelta,
// YScaleDelta) than the one before. The copies light up one after another,
// Tracking seconds apart, from the first (Sens 0 or more) or from the last
// (Sens below 0), each fading in over a quarter of a second; the envelope
// fades the whole line, never brighter than IntensityMax.

#include <vector>

#include "layers/ImageQuad.h"
#include "layers/PictureLayer.h"

namespace vesta {

class CLineLayer : public CPictureLayer {
public:
    static constexpr float kFadeIn = 0.25f;

    CLineLayer(RenderModule* context, const std::vector<CLayerOperation>* children);

    void Start() override;
    const char* GetClassName() const override { return "CLineLayer"; }

    // The alpha of copy `n` (0 = the first of the line) at `age`, before the envelope.
    float CopyAlpha(int n, float age) const;

private:
    void draw() override;

    FlatPicture m_picture;
    float m_xOffsetDelta = 0.0f;
    float m_yOffsetDelta = 0.0f;
    float m_xScaleDelta = 0.0f;
    float m_yScaleDelta = 0.0f;
    std::int32_t m_lines = 8;
    float m_tracking = 0.1f;
    std::int32_t m_sens = 1;
    float m_intensityMax = 1.0f;

    Texture* m_pictureTexture = nullptr;
};

}  // namespace vesta
