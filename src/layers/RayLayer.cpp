#include "layers/RayLayer.h"

#include <cmath>
#include <numbers>

#include "layers/LayerDrawing.h"
#include "layers/LayerMath.h"
#include "render/RenderModule.h"
#include "timeline/LayerFactory.h"

namespace vesta {

VESTA_REGISTER_LAYER(11, "RayLayer", CRayLayer);

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kWrap = 6.0f;

float swing(float scale) {
    return std::sin(RandomUnit() * kPi - kPi / 2.0f) * scale;
}

// The row vector times the transpose of the view's upper-left 3 × 3: the
// view's turn undone, so that a quad in the x-y plane faces the camera.
void faceCamera(RenderVertex& v, const Matrix4& view) {
    const float x = v.x * view.m[0][0] + v.y * view.m[0][1] + v.z * view.m[0][2];
    const float y = v.x * view.m[1][0] + v.y * view.m[1][1] + v.z * view.m[1][2];
    const float z = v.x * view.m[2][0] + v.y * view.m[2][1] + v.z * view.m[2][2];
    v.x = x;
    v.y = y;
    v.z = z;
}

}  // namespace

CRayLayer::CRayLayer(RenderModule* context, const std::vector<CLayerOperation>* children)
    : CEnvelopeLayer(context, children) {
    AddTextParameter("AlphaTexture", &m_alphaTexture);
    AddTextParameter("Texture", &m_texture);
    AddFloatParameter("XOffset", &m_xOffset);
    AddFloatParameter("YOffset", &m_yOffset);
    AddFloatParameter("XScale", &m_xScale);
    AddFloatParameter("YScale", &m_yScale);
    AddFloatParameter("IntensityEffect", &m_intensityEffect);
    AddIntParameter("AlphaType", &m_alphaType);
    AddIntParameter("Effect", &m_effect);
    SetDefaultName(RandomLayerName("Ray Layer"));
}

CRayLayer::~CRayLayer() = default;

void CRayLayer::Start() {
    CEnvelopeLayer::Start();
    RenderModule& m = *Context();
    m_picture.Load(m, m_texture, m_alphaTexture);
    m_base = CornerQuad(1.0f, 0.0f);
    for (RenderVertex& corner : m_base) {
        corner.x *= m_xScale;
        corner.y *= m_yScale;
    }
    m_corners = m_base;
    for (Ray& ray : m_rays) {
        ray.x = swing(5.0f);
        ray.y = swing(5.0f);
        ray.z = swing(3.0f);
        ray.rotationSpeed = (RandomUnit() - 0.5f) * 5.0f;
        ray.lengthFactor = RandomUnit() * 0.5f + 0.2f;
        ray.spare = RandomUnit();
    }
}

void CRayLayer::Release() {
    m_picture.Release(*Context());
}

void CRayLayer::setView() {
    RenderModule& m = *Context();
    SetLayerCamera(m, {0.0f, 0.0f, -10.0f}, kPi / 4.0f, 1.0f, 50.0f);
    m.SetWorldMatrix(Matrix4::Identity());
    // Rays add light whatever the AlphaType; AlphaType 1 gives the brightness
    // as a material, which needs lighting.
    m_picture.BeginDraw(m, true);
    m.SetLighting(m_alphaType == 1);
}

void CRayLayer::drawFrame() {
    // Effect 1 is the empty routine.
    if (m_effect == 1) {
        return;
    }
    setView();
    drawRays();
    RenderModule& m = *Context();
    m_picture.EndDraw(m);
}

void CRayLayer::drawRays() {
    RenderModule& m = *Context();
    const Matrix4 view = m.ViewMatrix();
    const float a = Age();
    const float i = Intensity();
    const float e = m_intensityEffect;
    for (int n = 0; n < kRayCount; ++n) {
        Ray& ray = m_rays[static_cast<std::size_t>(n)];
        // The positions only wander; every ray is drawn from the centre.
        for (float* value : {&ray.x, &ray.y}) {
            if (*value > kWrap) {
                *value = -kWrap;
            } else if (*value < -kWrap) {
                *value = kWrap;
            }
        }
        const float r = ray.rotationSpeed * a;
        const float w = static_cast<float>(n) + a;
        const float sx = ray.lengthFactor * e * 10.0f + std::sin(w);
        const float sy = ray.lengthFactor + std::cos(w);
        for (std::size_t k = 0; k < m_base.size(); ++k) {
            RenderVertex v = m_base[k];
            v.x = sx * v.x * e;
            v.y = sy * v.y * e;
            TurnXY(v.x, v.y, r);
            faceCamera(v, view);
            v.x += m_xOffset;
            v.y += m_yOffset;
            v.diffuse = 0x00FFFFFFu | (AlphaByte(i * 255.0f) << 24);
            m_corners[k] = v;
        }
        const float b = (RandomUnit() * 0.08f + std::fabs(std::sin(w)) * 0.4f) * i;
        if (m_alphaType == 1) {
            m.SetMaterial(IntensityMaterial(b));
        } else {
            SetCornerColor(m_corners, AlphaByte(b * 255.0f) * 0x01010101u);
        }
        DrawStrip(m, m_corners);
    }
}

}  // namespace vesta
