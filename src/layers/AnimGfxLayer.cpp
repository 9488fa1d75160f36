#include "layers/AnimGfxLayer.h"

#include <string_view>

#include "layers/LayerDrawing.h"
#include "layers/LayerMath.h"
#include "log/Log.h"
#include "render/RenderModule.h"
#include "script/TextNumbers.h"
#include "timeline/LayerFactory.h"

namespace vesta {

VESTA_REGISTER_LAYER(16, "AnimGFXLayer", CAnimGfxLayer);

CAnimGfxLayer::CAnimGfxLayer(RenderModule* context, const std::vector<CLayerOperation>* children)
    : CImageLayer(context, children) {
    AddFloatParameter("SpeedAnim", &m_speedAnim);
    AddIntParameter("AnimDuringFade", &m_animDuringFade);
    AddIntParameter("FadeOutOff", &m_fadeOutOff);
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
    SetDefaultName(RandomLayerName("Anim Gfx Layer"));
}

void CAnimGfxLayer::Start() {
    const std::vector<std::string> pictures = SplitPictureList(m_texture);
    std::vector<std::string> alphas;
    if (!m_alphaTexture.empty()) {
        alphas = SplitPictureList(m_alphaTexture);
        if (alphas.size() != pictures.size()) {
            RaiseError("Must have the same number of maps and alphamaps in [%s] (%d front and %d "
                       "alpha)",
                       Describe().c_str(), static_cast<int>(pictures.size()),
                       static_cast<int>(alphas.size()));
        }
    }
    startQuad();
    for (std::size_t n = 0; n < pictures.size(); ++n) {
        m_textures.push_back(loadTexture(pictures[n], alphas.empty() ? std::string() : alphas[n]));
    }
}

void CAnimGfxLayer::Release() {
    for (Texture* texture : m_textures) {
        module().ReleaseTexture(texture);
    }
    m_textures.clear();
    releaseState();
}

void CAnimGfxLayer::drawFrame() {
    beginFrame(nullptr, 0.0f, true);
    switch (m_routine) {
    case 1:
        trailRoutine();
        break;
    case 2:
        blendRoutine();
        break;
    default:
        flipRoutine();
        break;
    }
    endFrame(true);
}

void CAnimGfxLayer::advancePicture() {
    ++m_picture;
    if (m_picture >= static_cast<int>(m_textures.size())) {
        m_picture = 0;
    }
}

void CAnimGfxLayer::showPicture(int picture) {
    const bool inList = picture >= 0 && picture < static_cast<int>(m_textures.size());
    module().SetTexture(0, inList ? m_textures[static_cast<std::size_t>(picture)] : nullptr);
}

// Pictures advance while the layer comes in and holds; while it fades out
// they go on only with AnimDuringFade, else the last one stays.
void CAnimGfxLayer::flipRoutine() {
    const float i = Intensity();
    const bool out = falling();
    flatProjection();
    if (m_vibration != 0.0f) {
        shake();
    }
    if (!out || m_animDuringFade != 0) {
        if (changeDue()) {
            advancePicture();
            m_lastChange = Age();
        }
    } else if (!m_textures.empty()) {
        m_picture = static_cast<int>(m_textures.size()) - 1;
    }
    const float r = RandomUnit();
    const bool held = out && m_fadeOutOff != 0;
    if (!additive()) {
        SetCornerAlpha(m_corners, held ? 255 : AlphaByte(255.0f * i - r * m_scintille * i));
    } else {
        setMaterial(held ? 1.0f : i - i * r * m_scintille);
        SetCornerAlpha(m_corners, 0);
    }
    showPicture(m_picture);
    drawPlaced(EnvelopePlace(m_placement, i, out));
    rememberIntensity();
}

}  // namespace vesta
