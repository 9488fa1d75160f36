#include "layers/ParasitesLayer.h"

#include <cmath>
#include <numbers>

#include "layers/LayerDrawing.h"
#include "layers/LayerMath.h"
#include "render/RenderModule.h"
#include "script/TextNumbers.h"
#include "timeline/LayerFactory.h"

namespace vesta {

VESTA_REGISTER_LAYER(12, "ParasitesLayer", CParasitesLayer);

namespace {

Matrix4 uniformScale(float s) {
    Matrix4 m;
    m.m[0][0] = s;
    m.m[1][1] = s;
    return m;
}

}  // namespace

CParasitesLayer::CParasitesLayer(RenderModule* context,
                                 const std::vector<CLayerOperation>* children)
    : CEnvelopeLayer(context, children) {
    const auto integer = [this](int identifier, const char* name, std::int32_t* member) {
        AddAccessorParameter(
            identifier, [member] { return std::to_string(*member); },
            [member](std::string_view text) {
                *member = ParseIntPrefix(text);
                return true;
            },
            name, ParameterType::Int);
    };
    const auto text = [this](int identifier, const char* name, std::string* member) {
        AddAccessorParameter(
            identifier, [member] { return *member; },
            [member](std::string_view value) {
                *member = std::string(value);
                return true;
            },
            name, ParameterType::Text);
    };
    integer(kFirstIdentifier, "AlphaType", &m_alphaType);
    text(kFirstIdentifier + 1, "AlphaTexture", &m_alphaTexture);
    text(kFirstIdentifier + 2, "Texture", &m_texture);
    integer(kFirstIdentifier + 3, "Effect", &m_effect);
    AddFloatParameter("XOffset", &m_placement.xOffset);
    AddFloatParameter("YOffset", &m_placement.yOffset);
    AddFloatParameter("XScale", &m_placement.xScale);
    AddFloatParameter("YScale", &m_placement.yScale);
    AddFloatParameter("EffectIntensity", &m_effectIntensity);
    AddFloatParameter("Intensity", &m_intensity);
    SetDefaultName(RandomLayerName("Parasites Layer"));
}

CParasitesLayer::~CParasitesLayer() = default;

void CParasitesLayer::Start() {
    CEnvelopeLayer::Start();
    RenderModule& m = *Context();
    m_picture.Load(m, m_texture, m_alphaTexture);
    m_base = UnitQuad();
    ApplyPlacement(m_base, m_placement);
    m_corners = m_base;
}

void CParasitesLayer::Release() {
    m_picture.Release(*Context());
}

void CParasitesLayer::drawFrame() {
    RenderModule& m = *Context();
    const float i = Intensity();
    const float ei = m_effectIntensity;
    std::uint32_t alpha = AlphaByte((1.0f - RandomFraction() * ei) * i * m_intensity * 255.0f);
    Matrix4 world;
    float dx = 0.0f;
    float dy = 0.0f;
    float scroll = 0.0f;
    switch (m_effect) {
    case 0: {
        world = RotationZ(RandomFraction() * ei * 2.0f * std::numbers::pi_v<float>);
        dx = (RandomFraction() / 2.0f - 0.4f) * ei;
        dy = (RandomFraction() / 2.0f) * ei;
        break;
    }
    case 1:
    case 2: {
        const float jump = m_effect == 1 ? 0.2f : 0.1f;
        world = uniformScale(1.0f + i * ei);
        dx = (RandomFraction() - 0.5f) * ei * jump;
        dy = (RandomFraction() - 0.5f) * ei * jump;
        if (m_effect == 2) {
            const float turns = Age() * 5.0f;
            scroll = turns - std::floor(turns);
        }
        break;
    }
    default:
        break;
    }
    m.SetOrthographic(1.0f, 1.0f, 1.0f, -1.0f);
    m.SetWorldMatrix(world);
    m_picture.BeginDraw(m, m_alphaType == 1);
    if (m_alphaType == 1) {
        m.SetMaterial(IntensityMaterial(RandomFraction() * (i * ei) * m_intensity));
        alpha = 0;
    }
    for (std::size_t k = 0; k < m_base.size(); ++k) {
        m_corners[k] = m_base[k];
        m_corners[k].x += dx;
        m_corners[k].y += dy;
        m_corners[k].v0 += scroll;
    }
    SetCornerAlpha(m_corners, alpha);
    DrawStrip(m, m_corners);
    m_picture.EndDraw(m);
}

}  // namespace vesta
