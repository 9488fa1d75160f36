#include "layers/GfxLayer.h"

#include "layers/LayerMath.h"
#include "log/Log.h"
#include "render/RenderModule.h"
#include "timeline/LayerFactory.h"

namespace vesta {

VESTA_REGISTER_LAYER(2, "GFXLayer", CGfxLayer);

const std::array<CGfxLayer::Draw, CGfxLayer::kRoutineCount> CGfxLayer::kRoutines = {
    &CGfxLayer::fadeRoutine,   &CGfxLayer::sweepRoutine, &CGfxLayer::shatterRoutine,
    &CGfxLayer::flightRoutine, &CGfxLayer::swarmRoutine, &CGfxLayer::swayRoutine,
    &CGfxLayer::opaqueRoutine, &CGfxLayer::jerkRoutine,  &CGfxLayer::tunnelRoutine};

CGfxLayer::CGfxLayer(RenderModule* context, const std::vector<CLayerOperation>* children)
    : CImageLayer(context, children) {
    AddIntParameter("Effect", &m_effect, [this] { selectRoutine(); });
    AddFloatParameter("Rotate", &m_rotate);
    AddFloatParameter("Intensity", &m_intensity);
    AddFloatParameter("QuadCoefRise", &m_quadCoefRise);
    AddFloatParameter("QuadCoefFall", &m_quadCoefFall);
    AddBoolParameter("Bilinear", &m_bilinear);
    SetDefaultName(RandomLayerName("Gfx Layer"));
}

void CGfxLayer::selectRoutine() {
    if (m_effect < 0 || m_effect >= kRoutineCount) {
        // The table has nine routines; another number keeps the one in use.
        WarnPrintf("Warning : %s has no Effect [%d], 0 to %d are; keeping Effect %d",
                   Describe().c_str(), m_effect, kRoutineCount - 1, m_routine);
        m_effect = m_routine;
        return;
    }
    m_routine = m_effect;
}

void CGfxLayer::Start() {
    startQuad();
    m_textureObject = loadTexture(m_texture, m_alphaTexture);
    if (m_routine == 2) {
        buildShatter();
    }
}

void CGfxLayer::Release() {
    if (m_textureObject) {
        module().ReleaseTexture(m_textureObject);
        m_textureObject = nullptr;
    }
    releaseState();
}

void CGfxLayer::drawFrame() {
    beginFrame(m_textureObject, m_rotate * Age(), m_bilinear);
    (this->*kRoutines[static_cast<std::size_t>(m_routine)])();
    endFrame(m_bilinear);
}

void CGfxLayer::flickerAlpha() {
    const float i = Intensity();
    const float r = RandomUnit();
    if (!additive()) {
        SetCornerAlpha(m_corners, AlphaByte((255.0f * i - r * m_scintille * i) * m_intensity));
    } else {
        setMaterial((i - i * r * m_scintille) * m_intensity);
        SetCornerAlpha(m_corners, 0);
    }
}

}  // namespace vesta
