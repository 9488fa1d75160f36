#include "modifiers/OndesRadio.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "log/Log.h"
#include "render/FogFadesToBlack.h"
#include "render/RenderModule.h"
#include "scene/Animation.h"
#include "scene/Scene.h"
#include "timeline/ModifierFactory.h"

namespace vesta {

VESTA_REGISTER_MODIFIER(5, "OndesRadio", COndesRadio);

namespace {

constexpr int kSegments = 64;
constexpr float kTau = 2.0f * std::numbers::pi_v<float>;
constexpr float kDegrees = std::numbers::pi_v<float> / 180.0f;

// A row-vector rotation by `angle` about axis 0 (x), 1 (y) or 2 (z).
Matrix4 axisTurn(int axis, float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    const int a = (axis + 1) % 3;
    const int b = (axis + 2) % 3;
    Matrix4 turn;
    turn.m[a][a] = c;
    turn.m[a][b] = s;
    turn.m[b][a] = -s;
    turn.m[b][b] = c;
    return turn;
}

}  // namespace

COndesRadio::COndesRadio(CScene* scene, RenderModule* renderModule, void*)
    : CSelfNamingModifier(scene, renderModule) {
    AddTextParameter("ObjetName", &m_objectName);
    AddTextParameter("AlphaTexture", &m_alphaTexture);
    AddTextParameter("Texture", &m_texture);
    AddFloatParameter("XScale", &m_xScale);
    AddFloatParameter("YScale", &m_yScale);
    AddIntParameter("NBOndes", &m_count);
    AddFloatParameter("Width", &m_width);
    AddFloatParameter("RotateX", &m_rotate[0]);
    AddFloatParameter("RotateY", &m_rotate[1]);
    AddFloatParameter("RotateZ", &m_rotate[2]);
}

void COndesRadio::Initialise() {
    m_object = FindPlacedObjectOrLog(*Scene(), m_objectName);
    m_picture.Load(*Renderer(), m_texture, m_alphaTexture);
}

void COndesRadio::Release() {
    m_picture.Release(*Renderer());
}

float COndesRadio::WaveProgress(int index, float time) const {
    const float lives =
        time / kWaveSeconds + static_cast<float>(index) / static_cast<float>(std::max(m_count, 1));
    return lives - std::floor(lives);
}

Matrix4 COndesRadio::ringTurn() const {
    return axisTurn(0, m_rotate[0] * kDegrees) * axisTurn(1, m_rotate[1] * kDegrees) *
           axisTurn(2, m_rotate[2] * kDegrees);
}

void COndesRadio::Render() {
    if (!m_object) {
        return;
    }
    RenderModule& m = *Renderer();
    Matrix4 place = ringTurn();
    const Vector3 centre = ObjectCentre(*Scene(), *m_object);
    place.m[3][0] = centre.x;
    place.m[3][1] = centre.y;
    place.m[3][2] = centre.z;
    const FogFadesToBlack fog(m, true);
    m_picture.BeginDraw(m, true);
    for (int wave = 0; wave < m_count; ++wave) {
        const float grown = WaveProgress(wave, Age());
        const std::uint32_t colour = GreyArgb(1.0f - grown);
        const float half = m_width * 0.5f;
        m_strip.clear();
        for (int k = 0; k <= kSegments; ++k) {
            const float angle = kTau * static_cast<float>(k) / kSegments;
            const float u = static_cast<float>(k) / kSegments;
            for (const float edge : {-half, half}) {
                const float rx = std::max(grown * m_xScale + edge, 0.0f);
                const float ry = std::max(grown * m_yScale + edge, 0.0f);
                const Vector3 p =
                    TransformPoint({std::cos(angle) * rx, std::sin(angle) * ry, 0.0f}, place);
                m_strip.push_back(
                    {p.x, p.y, p.z, 0, 0, 0, colour, u, edge < 0 ? 0.0f : 1.0f, 0, 0});
            }
        }
        m.Draw(PrimitiveType::TriangleStrip, static_cast<int>(m_strip.size()), m_strip.data());
    }
    ModifierPicture::EndDraw(m);
}

}  // namespace vesta
