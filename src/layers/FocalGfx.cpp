#include "layers/FocalGfx.h"

#include "render/RenderModule.h"
#include "timeline/LayerFactory.h"

namespace vesta {

VESTA_REGISTER_LAYER(6, "FocalGFX", CFocalGFX);

CFocalGFX::CFocalGFX(RenderModule* context, const std::vector<CLayerOperation>* children)
    : CPictureLayer(context, children) {
    addTextAccessor("BlurryMap", &m_blurryMap);
    addTextAccessor("AlphaMap", &m_alphaMap);
    addTextAccessor("OrigMap", &m_origMap);
    addFloatAccessor("XScale", &m_xScale);
    addFloatAccessor("YScale", &m_yScale);
}

void CFocalGFX::Start() {
    startLayer();
    m_blurry = holdPicture(m_blurryMap, "");
    m_sharp = holdPicture(m_origMap, m_alphaMap);
}

void CFocalGFX::draw() {
    const float i = Intensity();
    beginFlat(m_blurry ? m_blurry : m_sharp, false);
    drawPicture(m_blurry, BlurAlpha(i));
    drawPicture(m_sharp, SharpAlpha(i));
    endFlat();
}

void CFocalGFX::drawPicture(Texture* texture, float alpha) {
    if (!texture || alpha <= 0.0f) {
        return;
    }
    module().SetTexture(0, texture);
    drawPlacedQuad({m_xScale, m_yScale, 0.0f, 0.0f}, GreyArgb(alpha, 1.0f));
}

}  // namespace vesta
