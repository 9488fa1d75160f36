#include "layers/Flash.h"

#include "layers/LayerDrawing.h"
#include "layers/LayerMath.h"
#include "render/RenderModule.h"
#include "timeline/LayerFactory.h"

namespace vesta {

VESTA_REGISTER_LAYER(1, "Flash", CFlash);

CFlash::CFlash(RenderModule* context, const std::vector<CLayerOperation>* children)
    : CEnvelopeLayer(context, children), m_corners(CornerQuad(0.5f, 0.002f)) {
    SetDefaultName(RandomLayerName("Flash Layer"));
}

CFlash::~CFlash() = default;

void CFlash::Start() {
    CEnvelopeLayer::Start();
    m_texture = Context()->CreateTexture();
    m_texture->LoadOrRaise(kPicture);
    m_savedState = std::make_unique<SavedLayerState>(*Context());
}

void CFlash::Release() {
    if (m_texture) {
        Context()->ReleaseTexture(m_texture);
        m_texture = nullptr;
    }
    m_savedState.reset();
}

void CFlash::drawFrame() {
    RenderModule& m = *Context();
    m.SetOrthographic(1.0f, 1.0f, 1.0f, -1.0f);
    m.SetColorOp(0, ColorOp::Modulate);
    m.SetColorArg1(0, ColorArg::Texture);
    m.SetColorArg2(0, ColorArg::Diffuse);
    m.SetLighting(true);
    m.SetAlphaBlend(true);
    m.SetSrcBlend(BlendFactor::One);
    m.SetDestBlend(BlendFactor::One);
    m.SetDepthTest(false);
    m.SetFogEnable(false);
    m.SetTexture(0, m_texture);
    m.SetMaterial(IntensityMaterial(Intensity()));
    DrawStrip(m, m_corners);
    m.SetLighting(false);
    m.SetAlphaBlend(false);
    if (m_savedState) {
        m_savedState->Apply();
    }
}

}  // namespace vesta
