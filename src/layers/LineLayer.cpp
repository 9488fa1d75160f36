#include "layers/LineLayer.h"

#include <algorithm>

#include "layers/LayerMath.h"
#include "render/RenderModule.h"
#include "timeline/LayerFactory.h"

namespace vesta {

VESTA_REGISTER_LAYER(10, "LineLayer", CLineLayer);

CLineLayer::CLineLayer(RenderModule* context, const std::vector<CLayerOperation>* children)
    : CPictureLayer(context, children) {
    addPictureParameters(m_picture, Registration::Accessors);
    addFloatAccessor("XOffsetDelta", &m_xOffsetDelta);
    addFloatAccessor("YOffsetDelta", &m_yOffsetDelta);
    addFloatAccessor("XScaleDelta", &m_xScaleDelta);
    addFloatAccessor("YScaleDelta", &m_yScaleDelta);
    addIntAccessor("NBLines", &m_lines);
    addFloatAccessor("Tracking", &m_tracking);
    addIntAccessor("Sens", &m_sens);
    addFloatAccessor("IntensityMax", &m_intensityMax);
    SetDefaultName(RandomLayerName("Gfx Layer"));
}

void CLineLayer::Start() {
    m_pictureTexture = startWithPicture(m_picture);
}

float CLineLayer::CopyAlpha(int n, float age) const {
    const int turn = m_sens >= 0 ? n : m_lines - 1 - n;
    const float since = age - static_cast<float>(turn) * m_tracking;
    return std::clamp(since / kFadeIn, 0.0f, 1.0f) * m_intensityMax;
}

void CLineLayer::draw() {
    const float i = Intensity();
    beginFlat(m_pictureTexture, false);
    // Drawn from the last to the first, so that the first lies on top.
    for (int n = m_lines - 1; n >= 0; --n) {
        const float alpha = CopyAlpha(n, Age()) * i;
        if (alpha <= 0.0f) {
            continue;
        }
        const float k = static_cast<float>(n);
        drawPlacedQuad({m_picture.xScale + k * m_xScaleDelta, m_picture.yScale + k * m_yScaleDelta,
                        m_picture.xOffset + k * m_xOffsetDelta,
                        m_picture.yOffset + k * m_yOffsetDelta},
                       GreyArgb(alpha, 1.0f));
    }
    endFlat();
}

}  // namespace vesta
