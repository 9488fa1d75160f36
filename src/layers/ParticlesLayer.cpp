#include "layers/ParticlesLayer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "layers/LayerDrawing.h"
#include "layers/LayerMath.h"
#include "log/Log.h"
#include "render/RenderModule.h"
#include "timeline/LayerFactory.h"

namespace vesta {

VESTA_REGISTER_LAYER(18, "ParticlesLayer", CParticlesLayer);

namespace {

// 16-bit indices reach 16384 quads per draw.
constexpr int kQuadsPerDraw = 16384;

}  // namespace

const std::array<CParticlesLayer::Motion, CParticlesLayer::kRoutineCount>
    CParticlesLayer::kMotions = {&CParticlesLayer::jet,   &CParticlesLayer::drift,
                                 &CParticlesLayer::burst, &CParticlesLayer::swirl,
                                 &CParticlesLayer::rain,  &CParticlesLayer::flame,
                                 &CParticlesLayer::flame};

CParticlesLayer::CParticlesLayer(RenderModule* context,
                                 const std::vector<CLayerOperation>* children)
    : CEnvelopeLayer(context, children) {
    AddIntParameter("Effect", &m_effect, [this] { selectRoutine(); });
    AddIntParameter("AlphaType", &m_alphaType);
    AddIntParameter("NBParticle", &m_count);
    AddTextParameter("AlphaTexture", &m_alphaTexture);
    AddTextParameter("Texture", &m_texture);
    AddFloatParameter("AmplitudeX", &m_amplitude.x);
    AddFloatParameter("AmplitudeY", &m_amplitude.y);
    AddFloatParameter("AmplitudeZ", &m_amplitude.z);
    AddFloatParameter("MaxIntensity", &m_maxIntensity);
    AddFloatParameter("SensX", &m_sens.x);
    AddFloatParameter("SensY", &m_sens.y);
    AddFloatParameter("SensZ", &m_sens.z);
    AddFloatParameter("LifeTimeParticules", &m_particleLifetime);
    AddFloatParameter("Gravity", &m_gravity);
    AddFloatParameter("XScale", &m_xScale);
    AddFloatParameter("YScale", &m_yScale);
    AddFloatParameter("Velocity", &m_velocity);
    AddFloatParameter("Radius", &m_radius);
    AddVectorParameter("SourceParticle", &m_source);
}

CParticlesLayer::~CParticlesLayer() = default;

void CParticlesLayer::selectRoutine() {
    if (m_effect < 0 || m_effect >= kRoutineCount) {
        WarnPrintf("Warning : %s has no Effect [%d], 0 to %d are; keeping Effect %d",
                   Describe().c_str(), m_effect, kRoutineCount - 1, m_routine);
        m_effect = m_routine;
        return;
    }
    m_routine = m_effect;
}

void CParticlesLayer::Start() {
    CEnvelopeLayer::Start();
    RenderModule& m = *Context();
    m_picture.Load(m, m_texture, m_alphaTexture);
    m_corners = CornerQuad(1.0f, 0.002f);
    for (RenderVertex& corner : m_corners) {
        corner.x *= m_xScale;
        corner.y *= m_yScale;
    }
    m_particles.assign(static_cast<std::size_t>(std::max(m_count, 0)), Particle{});
    for (Particle& particle : m_particles) {
        rebirth(particle, 0.0f);
        particle.birth -= RandomFraction() * particle.lifetime;
    }
    m_vertices.resize(m_particles.size() * 4);
    m_indices = QuadListIndices(std::min(static_cast<int>(m_particles.size()), kQuadsPerDraw));
}

void CParticlesLayer::Release() {
    m_picture.Release(*Context());
}

void CParticlesLayer::rebirth(Particle& p, float age) const {
    const float phi = RandomFraction() * 2.0f * std::numbers::pi_v<float>;
    p.spawn = {std::sin(phi) * m_radius + m_source.x, std::cos(phi) * m_radius + m_source.y,
               m_source.z};
    p.zSpeed = RandomFraction() * m_sens.z;
    p.size = RandomFraction() + 1.0f;
    p.lifetime = m_particleLifetime - m_particleLifetime * RandomFraction() * 0.5f;
    p.fade = RandomFraction() * 0.2f + 0.8f;
    p.birth = age;
    p.rotationSpeed = RandomFraction() - 0.5f;
    if (m_routine != 1) {
        p.velocity = {RandomFraction() - 0.5f, RandomFraction() - 0.5f, RandomFraction() - 0.5f};
        p.phase = RandomFraction();
    }
}

// The view of the particles' space; blending follows AlphaType.
void CParticlesLayer::setView() {
    RenderModule& m = *Context();
    SetLayerCamera(m, {0.0f, 0.0f, -kCameraDistance}, std::numbers::pi_v<float> / 4.0f, 0.01f,
                   100.0f);
    m.SetWorldMatrix(Matrix4::Identity());
    m_picture.BeginDraw(m, m_alphaType == 1);
}

void CParticlesLayer::placeCorners(const Particle& p, const Place& place, float age,
                                   std::uint32_t colour, RenderVertex* out) const {
    const float r = p.rotationSpeed * age;
    const float sx = m_xScale * p.size * place.grow;
    const float sy = m_yScale * p.size * place.grow;
    for (std::size_t k = 0; k < m_corners.size(); ++k) {
        RenderVertex v = m_corners[k];
        TurnXY(v.x, v.y, r);
        v.x = v.x * sx + place.position.x;
        v.y = v.y * sy + place.position.y;
        v.z += place.position.z;
        v.diffuse = colour;
        out[k] = v;
    }
}

// Each particle is drawn at its place, then born again once its life is
// over. With AlphaType 0 the colour travels in the corners and all the
// particles go in one list of quads (the same pixels as one strip each); with
// AlphaType 1 every particle has its own material and strip.
void CParticlesLayer::drawFrame() {
    setView();
    RenderModule& m = *Context();
    const float a = Age();
    const float i = Intensity();
    const bool additive = m_alphaType == 1;
    const Motion motion = kMotions[static_cast<std::size_t>(m_routine)];
    for (std::size_t n = 0; n < m_particles.size(); ++n) {
        Particle& p = m_particles[n];
        const float f = a - p.birth;
        p.fade = p.birth + p.lifetime > a ? (p.lifetime - f) / p.lifetime : 0.0f;
        std::uint32_t colour = 0;
        if (!additive) {
            colour = AlphaByte(p.fade * m_maxIntensity * i * 255.0f) * 0x01010101u;
        } else {
            const float fadeWhole = std::floor(p.fade);
            colour = AlphaByte(i * m_maxIntensity * fadeWhole * 255.0f) * 0x00010101u;
        }
        RenderVertex* corners = &m_vertices[n * 4];
        placeCorners(p, (this->*motion)(p, f), a, colour, corners);
        if (additive) {
            m.SetMaterial(IntensityMaterial(p.fade * m_maxIntensity * i));
            m.Draw(PrimitiveType::TriangleStrip, 4, corners);
        }
        if (f >= p.lifetime) {
            rebirth(p, a);
        }
    }
    if (!additive) {
        drawBatches();
    }
    m_picture.EndDraw(m);
}

void CParticlesLayer::drawBatches() {
    RenderModule& m = *Context();
    const int total = static_cast<int>(m_particles.size());
    if (total <= kQuadsPerDraw) {
        m.DrawIndexed(PrimitiveType::TriangleList, m_vertices, m_indices);
        return;
    }
    std::vector<RenderVertex> batch;
    std::vector<std::uint16_t> indices;
    for (int first = 0; first < total; first += kQuadsPerDraw) {
        const int quads = std::min(kQuadsPerDraw, total - first);
        const auto begin = m_vertices.begin() + first * 4;
        batch.assign(begin, begin + quads * 4);
        indices.assign(m_indices.begin(), m_indices.begin() + quads * 6);
        m.DrawIndexed(PrimitiveType::TriangleList, batch, indices);
    }
}

}  // namespace vesta
