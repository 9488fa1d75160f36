#include "layers/ImageLayer.h"

#include <cmath>
#include <numbers>

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

Texture* LoadLayerTexture(RenderModule& module, const std::string& file,
                          const std::string& alphaFile) {
    Texture* texture = module.CreateTexture();
    if (!alphaFile.empty()) {
        texture->SetAlphaMap(alphaFile, 255);
    }
    texture->Load(file);
    return texture;
}

void SetLayerBlend(RenderModule& module, bool additive) {
    if (additive) {
        module.SetSrcBlend(BlendFactor::One);
        module.SetDestBlend(BlendFactor::One);
    } else {
        module.SetSrcBlend(BlendFactor::SrcAlpha);
        module.SetDestBlend(BlendFactor::InvSrcAlpha);
    }
}

Texture* CImageLayer::loadTexture(const std::string& file, const std::string& alphaFile) {
    return LoadLayerTexture(module(), file, alphaFile);
}

void CImageLayer::beginFrame(Texture* texture, float rotation, bool bilinear) {
    RenderModule& m = module();
    m.SetCameraPosition({0.0f, 0.0f, kCameraDistance});
    m.SetCameraTarget({0.0f, 0.0f, 0.0f});
    m.SetFieldOfView(kFieldOfView);
    m.SetNearPlane(kNearPlane);
    m.SetFarPlane(kFarPlane);
    m.SetRoll(0.0f);
    m.ApplyCamera();
    m.SetColorOp(0, ColorOp::Modulate);
    m.SetColorArg1(0, ColorArg::Texture);
    m.SetColorArg2(0, ColorArg::Diffuse);
    m.SetAlphaOp(0, AlphaOp::Modulate);
    m.SetAlphaArg1(0, AlphaArg::Texture);
    m.SetAlphaArg2(0, AlphaArg::Diffuse);
    m.SetFogEnable(false);
    // Each layer lies in front of everything below it in the stack, whatever
    // depth an earlier layer or a scene left behind.
    m.SetDepthTest(false);
    m.SetAlphaBlend(true);
    SetLayerBlend(m, additive());
    // The additive routines set their brightness as a material, which only
    // lit vertices take.
    m.SetLighting(additive());
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
    module().Draw(PrimitiveType::TriangleStrip, static_cast<int>(corners.size()), corners.data());
}

void CImageLayer::drawPlaced(const QuadPlace& place, float dz) {
    PlaceCorners(m_base, m_corners, place, dz);
    drawQuad(m_corners);
}

}  // namespace vesta
