#pragma once
// "FocalGFX": a picture racked into focus. BlurryMap, the blurred picture,
// fades in over the first half of the rise; then OrigMap, the sharp one,
// comes in over it through AlphaMap, so that where AlphaMap is white the
// picture turns sharp and where it is black it stays out of focus (a depth
// of field painted by hand). The fall runs the same way back. XScale and
// YScale size the picture on the screen.

#include <vector>

#include "layers/PictureLayer.h"

namespace vesta {

class CFocalGFX : public CPictureLayer {
public:
    CFocalGFX(RenderModule* context, const std::vector<CLayerOperation>* children);

    void Start() override;
    const char* GetClassName() const override { return "CFocalGFX"; }

    // The alphas of the blurred and the sharp picture at envelope intensity `i`.
    static float BlurAlpha(float i) { return i >= 0.5f ? 1.0f : 2.0f * i; }
    static float SharpAlpha(float i) { return i <= 0.5f ? 0.0f : 2.0f * i - 1.0f; }

private:
    void draw() override;
    void drawPicture(Texture* texture, float alpha);

    std::string m_blurryMap;
    std::string m_alphaMap;
    std::string m_origMap;
    float m_xScale = 1.0f;
    float m_yScale = 1.0f;

    Texture* m_blurry = nullptr;
    Texture* m_sharp = nullptr;
};

}  // namespace vesta
