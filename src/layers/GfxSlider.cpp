#include "layers/GfxSlider.h"

#include <algorithm>

#include "layers/LayerMath.h"
#include "render/RenderModule.h"
#include "timeline/LayerFactory.h"

namespace vesta {

VESTA_REGISTER_LAYER(22, "GFXSlider", CGfxSlider);

CGfxSlider::CGfxSlider(RenderModule* context, const std::vector<CLayerOperation>* children)
    : CPictureLayer(context, children) {
    AddTextParameter("Texture", &m_texture);
    AddTextParameter("AlphaTexture", &m_alphaTexture);
    AddTextParameter("TextureSlide", &m_textureSlide);
    AddTextParameter("TextureSlideAlpha", &m_textureSlideAlpha);
    AddFloatParameter("XOffset", &m_xOffset);
    AddFloatParameter("YOffset", &m_yOffset);
    AddFloatParameter("XScale", &m_xScale);
    AddFloatParameter("YScale", &m_yScale);
    AddIntParameter("Width", &m_width);
    AddIntParameter("Height", &m_height);
    AddIntParameter("SlideLenght", &m_slideLength);
    AddIntParameter("SlideMaxSeg", &m_segments);
    AddFloatParameter("SlideStart", &m_slideStart);
    AddFloatParameter("SlideEnd", &m_slideEnd);
    AddIntParameter("Effect", &m_effect);
    AddFloatParameter("Vibration", &m_vibration);
}

void CGfxSlider::Start() {
    startLayer();
    m_picture = holdPicture(m_texture, m_alphaTexture);
    m_under = holdPicture(m_textureSlide, m_textureSlideAlpha);
}

float CGfxSlider::StripProgress(int n, float age) const {
    const int segments = std::max(1, m_segments);
    const float each = (m_slideEnd - m_slideStart) / static_cast<float>(segments);
    if (each <= 0.0f) {
        return age >= m_slideStart ? 1.0f : 0.0f;
    }
    const float p = (age - m_slideStart - static_cast<float>(n) * each) / each;
    return std::clamp(p, 0.0f, 1.0f);
}

void CGfxSlider::draw() {
    const float i = Intensity();
    beginFlat(m_under ? m_under : m_picture, false);
    if (m_under) {
        drawPlacedQuad({m_xScale, m_yScale, m_xOffset, m_yOffset}, GreyArgb(i, 1.0f));
    }
    module().SetTexture(0, m_picture);
    for (int n = 0; n < std::max(1, m_segments); ++n) {
        drawStrip(n, i);
    }
    endFlat();
}

void CGfxSlider::drawStrip(int n, float intensity) {
    const float p = StripProgress(n, Age());
    if (p <= 0.0f) {
        return;
    }
    const int segments = std::max(1, m_segments);
    const bool sideways = m_effect == 1;
    // Eased: fast at first, settling into place.
    const float rest = (1.0f - p) * (1.0f - p);
    const float side = n % 2 == 0 ? 1.0f : -1.0f;
    const float travel = side * rest * static_cast<float>(m_slideLength) /
                         static_cast<float>(std::max(1, sideways ? m_width : m_height));
    const float shake = p < 1.0f ? (RandomUnit() - 0.5f) * m_vibration * 0.02f : 0.0f;
    const float a = static_cast<float>(n) / static_cast<float>(segments);
    const float b = static_cast<float>(n + 1) / static_cast<float>(segments);

    QuadCorners strip = UnitQuad();
    for (RenderVertex& corner : strip) {
        // The strip is the slice [a, b] of the picture, across its x (upright
        // strips) or down its y (lying ones).
        if (sideways) {
            corner.v0 = corner.v0 == 0.0f ? a : b;
            corner.y = 0.5f - corner.v0;
            corner.x += travel + shake;
        } else {
            corner.u0 = corner.u0 == 0.0f ? a : b;
            corner.x = corner.u0 - 0.5f;
            corner.y += travel + shake;
        }
        corner.x = corner.x * m_xScale + m_xOffset;
        corner.y = corner.y * m_yScale + m_yOffset;
    }
    SetCornerColor(strip, GreyArgb(intensity * std::min(1.0f, p / kStripFade), 1.0f));
    drawQuad(strip);
}

}  // namespace vesta
