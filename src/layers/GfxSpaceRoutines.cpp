// The routines of "GFXLayer" that stay in the perspective camera of the
// frame step.

#include <cmath>

#include "layers/GfxLayer.h"
#include "layers/LayerMath.h"
#include "render/RenderModule.h"

namespace vesta {

// Ten pulsing copies wandering over the screen.
void CGfxLayer::swarmRoutine() {
    const float a = Age();
    flickerAlpha();
    for (int j = 0; j < 10; ++j) {
        const float fj = static_cast<float>(j);
        const float x = std::cos(10.0f * fj + 2.0f * a) * std::sin(a + fj) * 10.0f;
        const float y = std::sin(10.0f * fj + 3.0f * a) * std::sin(a + 2.0f * fj) * 10.0f;
        module().SetWorldMatrix(Translation(x, y, 0.0f));
        const float pulse = std::sin(4.0f * a + fj) * 0.2f * m_placement.xScale;
        drawPlaced(EnvelopePlace(m_placement, Intensity(), falling(), pulse));
    }
    rememberIntensity();
}

// Swings about the view axis and towards the camera, its alpha beating.
void CGfxLayer::swayRoutine() {
    const float a = Age();
    const float i = Intensity();
    const float d = std::sin(2.0f * a) * std::sin(a);
    if (!additive()) {
        SetCornerAlpha(m_corners,
                       AlphaByte((255.0f * i - i * std::fabs(128.0f * d)) * m_intensity));
    } else {
        setMaterial(m_intensity * (i - i * std::fabs(d)));
    }
    module().SetWorldMatrix(RotationZ(std::sin(a) - 2.0f * a) *
                            Translation(0.0f, 0.0f, std::sin(a)));
    drawPlaced(EnvelopePlace(m_placement, i, falling()));
    rememberIntensity();
}

// Six pulsing copies behind one another, turning and circling together.
void CGfxLayer::tunnelRoutine() {
    const float a = Age();
    flickerAlpha();
    const float x = std::sin(a) * std::cos(a + 10.0f) * 4.0f;
    const float y = std::sin(a) * std::sin(3.0f * a + 2.0f) * 4.0f;
    module().SetWorldMatrix(RotationZ(a) * Translation(x, y, 0.0f));
    for (int j = 0; j < 6; ++j) {
        const float fj = static_cast<float>(j);
        const float pulse = std::sin(4.0f * a + fj) * 0.2f * m_placement.xScale;
        drawPlaced(EnvelopePlace(m_placement, Intensity(), falling(), pulse), -0.5f * fj);
    }
    rememberIntensity();
}

}  // namespace vesta
