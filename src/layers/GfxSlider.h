#pragma once
// "GFXSlider": the picture arrives in SlideMaxSeg strips that slide into
// place one after another between the ages SlideStart and SlideEnd, each
// coming from SlideLenght pixels away (pixels of a Width × Height screen),
// the even strips from one side and the odd ones from the other, shaking by
// Vibration while they move. Effect 0: upright strips sliding up and down;
// 1: lying strips sliding sideways. TextureSlide (with TextureSlideAlpha),
// when given, is the picture the strips slide over. The envelope fades it all.

#include <vector>

#include "layers/PictureLayer.h"

namespace vesta {

class CGfxSlider : public CPictureLayer {
public:
    static constexpr float kStripFade = 0.25f;  // of a strip's slide

    CGfxSlider(RenderModule* context, const std::vector<CLayerOperation>* children);

    void Start() override;
    const char* GetClassName() const override { return "CGfxSlider"; }

    // How far strip `n` has come at `age`: 0 (not started) to 1 (in place).
    float StripProgress(int n, float age) const;

private:
    void draw() override;
    void drawStrip(int n, float intensity);

    std::string m_texture;
    std::string m_alphaTexture;
    std::string m_textureSlide;
    std::string m_textureSlideAlpha;
    float m_xOffset = 0.0f;
    float m_yOffset = 0.0f;
    float m_xScale = 1.0f;
    float m_yScale = 1.0f;
    std::int32_t m_width = 640;
    std::int32_t m_height = 480;
    std::int32_t m_slideLength = 480;
    std::int32_t m_segments = 8;
    float m_slideStart = 0.0f;
    float m_slideEnd = 1.0f;
    std::int32_t m_effect = 0;
    float m_vibration = 0.0f;

    Texture* m_picture = nullptr;
    Texture* m_under = nullptr;
};

}  // namespace vesta
