// The routines of "GFXLayer" that draw on the flat 1 × 1 screen.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "layers/GfxLayer.h"
#include "layers/LayerMath.h"
#include "render/RenderModule.h"

namespace vesta {
namespace {

// Where every layer of routine 3 last was while rising; the falling ones
// fly off from there.
struct SharedFlight {
    float x = 0.0f;
    float y = 0.0f;
};

SharedFlight& sharedFlight() {
    static SharedFlight flight;
    return flight;
}

}  // namespace

void CGfxLayer::ResetSharedFlight() {
    sharedFlight() = {};
}

void CGfxLayer::fadeRoutine() {
    flatProjection();
    if (m_vibration != 0.0f) {
        shake();
    }
    flickerAlpha();
    drawPlaced(EnvelopePlace(m_placement, Intensity(), falling()));
    rememberIntensity();
}

// Fades in like routine 0 but leaves opaque, taking its whole End offset
// within the first tenth of the fall.
void CGfxLayer::sweepRoutine() {
    const float i = Intensity();
    flatProjection();
    if (!falling()) {
        if (!additive()) {
            SetCornerAlpha(m_corners, AlphaByte(m_intensity * i * 255.0f));
        } else {
            setMaterial(m_intensity * i);
            SetCornerAlpha(m_corners, 0);
        }
        drawPlaced(EnvelopePlace(m_placement, i, false));
        rememberIntensity();
        return;
    }
    const float r = RandomUnit();
    SetCornerColor(m_corners, 0x00FFFFFFu);
    SetCornerAlpha(m_corners, AlphaByte((255.0f - r * m_scintille) * m_intensity));
    if (additive()) {
        setMaterial(m_intensity * i);
    }
    const float stableEnd = GetEnvelope().StableEnd();
    const float easing = 0.1f * GetEnvelope().fallingTime;
    float m = 1.0f;
    if (Age() < stableEnd + easing) {
        m = std::min(1.0f, std::sin((Age() - stableEnd) / easing * std::numbers::pi_v<float> / 2));
    }
    drawPlaced(EnvelopePlace(m_placement, i, true, 0.0f, m));
    rememberIntensity();
}

// Drifts from its offset towards the End offset while it rises and holds,
// then falls off along a parabola.
void CGfxLayer::flightRoutine() {
    const float i = Intensity();
    flatProjection();
    float ox = 0.0f;
    float oy = 0.0f;
    if (!falling()) {
        // A layer whose envelope lasts no time has no drift to make.
        const float s = LifeTime() > 0.0f ? Age() * 1.15f / LifeTime() : 0.0f;
        ox = s * (m_placement.xOffsetEnd - m_placement.xOffset);
        oy = s * (m_placement.yOffsetEnd - m_placement.yOffset);
        SetCornerAlpha(m_corners, AlphaByte(i * m_intensity * 255.0f));
        sharedFlight() = {ox, oy};
    } else {
        SetCornerAlpha(m_corners, 255);
        const float d = m_placement.yOffsetEnd - m_placement.yOffset;
        const float h = sharedFlight().y;
        const float e = d - h;
        const float f = GetEnvelope().fallingTime;
        const float t = Age() - GetEnvelope().StableEnd();
        oy = h;
        // With no falling time the fall is one instant at its start.
        if (f > 0.0f) {
            const float g = ((d + h) * 2.0f - (d - e * 0.27f) * 4.0f) / (f * f);
            oy = h + t * (e - g * f * f) / f + g * t * t;
        }
    }
    drawPlaced({m_placement.xScale, m_placement.yScale, ox, oy});
    rememberIntensity();
}

// Routine 0 whose corners keep the colours they have: only place and size
// follow the envelope (and the brightness, when additive).
void CGfxLayer::opaqueRoutine() {
    flatProjection();
    if (m_vibration != 0.0f) {
        shake();
    }
    if (additive()) {
        const float i = Intensity();
        setMaterial((i - i * RandomUnit() * m_scintille) * m_intensity);
    }
    drawPlaced(EnvelopePlace(m_placement, Intensity(), falling()));
    rememberIntensity();
}

// Routine 6 that now and then jerks sideways, up to six times as wide, and
// snaps back within a tenth of a second.
void CGfxLayer::jerkRoutine() {
    const float i = Intensity();
    flatProjection();
    if (m_vibration != 0.0f) {
        shake();
    }
    if (additive()) {
        setMaterial((i - i * RandomUnit() * m_scintille) * m_intensity);
    }
    if (falling()) {
        drawPlaced(EnvelopePlace(m_placement, i, true));
        rememberIntensity();
        return;
    }
    if (RandomUnit() > 0.98f) {
        m_stretchEnd = Age() + 0.1f;
    }
    const float w = std::max(0.0f, m_stretchEnd - Age());
    const float k = 1.0f - i;
    const ImagePlacement& p = m_placement;
    QuadPlace place;
    place.sx = (w * 50.0f + 1.0f) * p.xScale + k * p.xScaleStart;
    place.sy = p.yScale + k * p.yScaleStart;
    place.tx = k * p.xOffsetStart + p.xOffset - p.xOffset * w;
    place.ty = p.yOffset + k * p.yOffsetStart;
    drawPlaced(place);
    rememberIntensity();
}

}  // namespace vesta
