#include "layers/InfiniteZoom.h"

#include <cmath>

#include "layers/LayerDrawing.h"
#include "layers/LayerMath.h"
#include "log/Log.h"
#include "render/RenderModule.h"
#include "script/TextNumbers.h"
#include "timeline/LayerFactory.h"

namespace vesta {

VESTA_REGISTER_LAYER(14, "InfiniteZoom", CInfiniteZoom);

CInfiniteZoom::CInfiniteZoom(RenderModule* context, const std::vector<CLayerOperation>* children)
    : CImageLayer(context, children) {
    AddAccessorParameter(
        kEffectIdentifier, [this] { return std::to_string(m_routine); },
        [this](std::string_view text) {
            const std::int32_t routine = ParseIntPrefix(text);
            if (routine >= 0 && routine < kRoutineCount) {
                m_routine = routine;
            }
            return true;
        },
        "Effect", ParameterType::Int);
    AddFloatParameter("SpeedAnim", &m_speedAnim);
    AddFloatParameter("Rotate", &m_rotate);
    SetDefaultName(RandomLayerName("InfiniteZoom Gfx Layer"));
}

void CInfiniteZoom::Start() {
    const std::vector<std::string> pictures = SplitPictureList(m_texture);
    const std::vector<std::string> alphas =
        m_alphaTexture.empty() ? std::vector<std::string>{} : SplitPictureList(m_alphaTexture);
    if (!alphas.empty() && alphas.size() != pictures.size()) {
        LogPrintf("Warning : %s has %d pictures and %d alpha pictures", Describe().c_str(),
                  static_cast<int>(pictures.size()), static_cast<int>(alphas.size()));
    }
    startQuad();
    for (std::size_t n = 0; n < pictures.size(); ++n) {
        m_textures.push_back(loadTexture(pictures[n], n < alphas.size() ? alphas[n] : ""));
    }
}

void CInfiniteZoom::Release() {
    for (Texture* texture : m_textures) {
        module().ReleaseTexture(texture);
    }
    m_textures.clear();
    releaseState();
}

void CInfiniteZoom::OnRising() {
    m_outer = 0;
    m_inner = 0;
    m_steps = 0;
    m_zoomStart = Age();
    drawFrame();
}

void CInfiniteZoom::OnFalling() {
    m_outer = m_inner = static_cast<int>(m_textures.size()) - 1;
    drawFrame();
}

void CInfiniteZoom::OnStable() {
    advanceTo(static_cast<int>(std::floor(zoomPhase())));
    drawFrame();
}

float CInfiniteZoom::zoomPhase() const {
    return m_speedAnim > 0.0f ? (Age() - m_zoomStart) / m_speedAnim : 0.0f;
}

// At each step the picture held becomes the one that holds the next.
void CInfiniteZoom::advanceTo(int steps) {
    const int count = static_cast<int>(m_textures.size());
    for (; m_steps < steps && count > 0; ++m_steps) {
        m_outer = m_inner;
        m_inner = (m_inner + 1) % count;
    }
}

void CInfiniteZoom::drawFrame() {
    beginFrame(nullptr, m_rotate * Age(), true);
    flatProjection();
    if (m_vibration != 0.0f) {
        shake();
    }
    m_flicker = RandomUnit() * m_scintille;
    const float phase = zoomPhase();
    const float progress = phase - std::floor(phase);
    if (m_routine == 1) {
        dissolveRoutine(progress);
    } else {
        nestRoutine(progress);
    }
    endFrame(true);
    rememberIntensity();
}

// `share` of the layer's alpha (or brightness), flicker included.
void CInfiniteZoom::drawPicture(int picture, float scale, float share) {
    const float i = Intensity();
    const float value = (i - i * m_flicker / 255.0f) * share;
    if (additive()) {
        setMaterial(value);
        SetCornerAlpha(m_corners, 0);
    } else {
        SetCornerAlpha(m_corners, AlphaByte(value * 255.0f));
    }
    const bool inList = picture >= 0 && picture < static_cast<int>(m_textures.size());
    module().SetTexture(0, inList ? m_textures[static_cast<std::size_t>(picture)] : nullptr);
    QuadPlace place = EnvelopePlace(m_placement, i, falling());
    place.sx *= scale;
    place.sy *= scale;
    drawPlaced(place);
}

void CInfiniteZoom::nestRoutine(float progress) {
    const float scale = std::pow(kZoomStep, progress);
    drawPicture(m_outer, scale, 1.0f);
    drawPicture(m_inner, scale / kZoomStep, 1.0f);
}

// The current picture leaves as the next one arrives: at the end of a step
// the next one is alone at full size, where the following step begins.
void CInfiniteZoom::dissolveRoutine(float progress) {
    const float scale = std::pow(kZoomStep, progress);
    drawPicture(m_outer, scale, additive() ? 1.0f - progress : 1.0f);
    drawPicture(m_inner, scale / kZoomStep, progress);
}

}  // namespace vesta
