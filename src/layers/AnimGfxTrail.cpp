// Routines 1 and 2 of "AnimGFXLayer".

#include <algorithm>

#include "layers/AnimGfxLayer.h"
#include "render/RenderModule.h"

namespace vesta {

// The pictures leave a fading trail of the ones just shown while the layer
// fades out.
void CAnimGfxLayer::trailRoutine() {
    const float i = Intensity();
    const bool out = falling();
    flatProjection();
    if (m_vibration != 0.0f) {
        shake();
    }
    if (additive()) {
        setMaterial(i);
        SetCornerColor(m_corners, 0x00FFFFFFu);
    } else {
        SetCornerAlpha(m_corners, AlphaByte(i * 255.0f));
    }
    const bool due = changeDue();
    QuadPlace place;
    if (out || i == 1.0f) {
        if (due) {
            m_lastChange = Age();
            m_trail[3] = m_trail[2] = m_trail[1] = m_trail[0];
            m_trail[0] = {Age(), m_picture};
            advancePicture();
        }
        place = out ? EnvelopePlace(m_placement, i, true)
                    : QuadPlace{m_placement.xScale, m_placement.yScale, m_placement.xOffset,
                                m_placement.yOffset};
    } else {
        if (due) {
            m_lastChange = Age();
            advancePicture();
            m_trail.fill({-1.0f, m_picture});
        }
        place = EnvelopePlace(m_placement, i, false);
    }
    if (m_picture < 0 || m_picture >= static_cast<int>(m_textures.size())) {
        m_picture = 0;
    }
    showPicture(m_picture);
    drawPlaced(place);
    rememberIntensity();
    if (out) {
        drawTrail();
    }
}

// Each record fades from 204 (0.8) to nothing over one SpeedAnim after it was
// shown. Records are drawn while their time lies between 0 and the number of
// pictures (productions are timed with that test). A record past its fade is
// not drawn: letting the factor go negative would wrap into a bright alpha.
void CAnimGfxLayer::drawTrail() {
    const float i = Intensity();
    const float pictureCount = static_cast<float>(m_textures.size());
    for (const TrailRecord& record : m_trail) {
        if (record.time < 0.0f || record.time > pictureCount) {
            continue;
        }
        const float c = m_speedAnim > 0.0f ? 1.0f - (Age() - record.time) / m_speedAnim : 0.0f;
        if (c <= 0.0f) {
            continue;
        }
        if (additive()) {
            setMaterial(c * i * 0.8f);
            SetCornerColor(m_corners, 0x00FFFFFFu);
        } else {
            SetCornerColor(m_corners, 0x00FFFFFFu | (AlphaByte(c * 204.0f) << 24));
        }
        showPicture(record.picture);
        drawQuad(m_corners);
    }
}

// A cross-fade: the next picture comes up over the current one during each
// SpeedAnim, so the flip-book runs without jumps. Pictures advance as in
// routine 0 (during the fade only with AnimDuringFade); the alpha follows the
// envelope without flicker, and with AlphaType 1 the two brightnesses add up
// to the envelope's.
void CAnimGfxLayer::blendRoutine() {
    const float i = Intensity();
    const bool out = falling();
    flatProjection();
    if (m_vibration != 0.0f) {
        shake();
    }
    if ((!out || m_animDuringFade != 0) && changeDue()) {
        advancePicture();
        m_lastChange = Age();
    }
    const int count = static_cast<int>(m_textures.size());
    const bool moving = (!out || m_animDuringFade != 0) && m_speedAnim > 0.0f && count > 1;
    const float f = moving ? std::clamp((Age() - m_lastChange) / m_speedAnim, 0.0f, 1.0f) : 0.0f;
    const QuadPlace place = EnvelopePlace(m_placement, i, out);
    const float alpha = out && m_fadeOutOff != 0 ? 1.0f : i;
    const auto drawPicture = [&](int picture, float share) {
        if (additive()) {
            setMaterial(alpha * share);
            SetCornerAlpha(m_corners, 0);
        } else {
            SetCornerAlpha(m_corners, AlphaByte(alpha * share * 255.0f));
        }
        showPicture(picture);
        drawPlaced(place);
    };
    drawPicture(m_picture, additive() ? 1.0f - f : 1.0f);
    if (f > 0.0f) {
        drawPicture(count > 0 ? (m_picture + 1) % count : 0, f);
    }
    rememberIntensity();
}

}  // namespace vesta
