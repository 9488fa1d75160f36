#include "layers/ImageLayer.h"

#include <cmath>
#include <numbers>

#include "layers/LayerDrawing.h"
#include "layers/LayerMath.h"
#include "render/RenderModule.h"

namespace vesta {

CImageLayer::CImageLayer(RenderModule* context, const std::vector<CLayerOperation>* children)
    : CEnvelopeLayer(context, children) {
    AddIntParameter("AlphaType", &m_alphaType);
    AddTextParameter("AlphaTexture", &m_alphaTexture);
    AddTextParameter("Texture", &m_texture);
    AddFloatParameter("XOffset", &m_placement.xOffset);
    AddFloatParameter("YOffset", &m_placement.yOffset);
    AddFloatParameter("XScale", &m_placement.xScale);
    AddFloatParameter("YScale", &m_placement.yScale);
    AddFloatParameter("XOffsetStart", &m_placement.xOffsetStart);
    AddFloatParameter("YOffsetStart", &m_placement.yOffsetStart);
    AddFloatParameter("XScaleStart", &m_placement.xScaleStart);
    AddFloatParameter("YScaleStart", &m_placement.yScaleStart);
    AddFloatParameter("XOffsetEnd", &m_placement.xOffsetEnd);
    AddFloatParameter("YOffsetEnd", &m_placement.yOffsetEnd);
    AddFloatParameter("XScaleEnd", &m_placement.xScaleEnd);
    AddFloatParameter("YScaleEnd", &m_placement.yScaleEnd);
    AddFloatParameter("Scintille", &m_scintille);
    AddFloatParameter("Vibration", &m_vibration);
}

CImageLayer::~CImageLayer() = default;

void CImageLayer::startQuad() {
    CEnvelopeLayer::Start();
    m_base = UnitQuad();
    ApplyPlacement(m_base, m_placement);
    m_corners = m_base;
    m_savedState = std::make_unique<SavedLayerState>(module());
}

Texture* CImageLayer::loadTexture(const std::string& file, const std::string& alphaFile) {
    return LoadTextureFile(module(), file, alphaFile);
}

void CImageLayer::beginFrame(Texture* texture, float rotation, bool bilinear) {
    RenderModule& m = module();
    SetLayerCamera(m, {0.0f, 0.0f, kCameraDistance}, kFieldOfView, kNearPlane, kFarPlane);
    SetModulatingStage(m);
    m.SetFogEnable(false);
    // Each layer lies in front of everything below it in the stack, whatever
    // depth an earlier layer or a scene left behind.
    m.SetDepthTest(false);
    SetLayerBlend(m, additive());
    if (!bilinear) {
        m.SetTextureFiltering(0, false);
    }
    m.SetWorldMatrix(RotationZ(rotation));
    m.SetTexture(0, texture);
}

void CImageLayer::endFrame(bool bilinear) {
    RenderModule& m = module();
    m.SetAlphaOp(0, AlphaOp::Disable);
    m.SetLighting(false);
    m.SetAlphaBlend(false);
    if (!bilinear) {
        m.SetTextureFiltering(0, true);
    }
    if (m_savedState) {
        m_savedState->Apply();
    }
}

void CImageLayer::flatProjection() {
    // The orthographic projection resets the world matrix; the rotation of
    // the frame step (Rotate) is put back, or it would never show.
    const Matrix4 world = module().WorldMatrix();
    module().SetOrthographic(1.0f, 1.0f, 1.0f, -1.0f);
    module().SetWorldMatrix(world);
}

void CImageLayer::shake() {
    const float v = m_vibration;
    const float yaw = RandomUnit() * v;
    const float pitch = RandomUnit() * v;
    const float roll = RandomUnit() * v;
    const auto offset = [v] {
        return std::sin(RandomUnit() * 2.0f * std::numbers::pi_v<float>) * 0.1f * v;
    };
    const float x = offset();
    const float y = offset();
    const float z = offset();
    module().SetWorldMatrix(RotationYawPitchRoll(yaw, pitch, roll) * Translation(x, y, z));
}

void CImageLayer::setMaterial(float value) {
    module().SetMaterial(IntensityMaterial(value));
}

void CImageLayer::drawQuad(const QuadCorners& corners) {
    DrawStrip(module(), corners);
}

void CImageLayer::drawPlaced(const QuadPlace& place, float dz) {
    PlaceCorners(m_base, m_corners, place, dz);
    drawQuad(m_corners);
}

}  // namespace vesta
