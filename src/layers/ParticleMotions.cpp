// Where the particles of "ParticlesLayer" are, routine by routine, `f`
// seconds after their birth. Every motion but the drift starts from the ring
// of Radius around SourceParticle that a rebirth picks and reads the
// particle's random velocity (each component in [-0.5, 0.5)) and phase.

#include <cmath>
#include <numbers>

#include "layers/ParticlesLayer.h"

namespace vesta {
namespace {

constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;

Vector3 operator+(const Vector3& a, const Vector3& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

Vector3 operator*(const Vector3& a, float s) {
    return {a.x * s, a.y * s, a.z * s};
}

Vector3 scaled(const Vector3& a, const Vector3& b) {
    return {a.x * b.x, a.y * b.y, a.z * b.z};
}

}  // namespace

CParticlesLayer::Place CParticlesLayer::drift(const Particle& p, float f) const {
    return {{p.spawn.x + 4.0f * f * p.spawn.x * m_amplitude.x,
             p.spawn.y + 4.0f * f * p.spawn.y * m_amplitude.y, p.spawn.z + 4.0f * f * p.zSpeed}};
}

CParticlesLayer::Place CParticlesLayer::jet(const Particle& p, float f) const {
    const Vector3 velocity = (m_sens + scaled(p.velocity, m_amplitude)) * (m_velocity * kSpeedUnit);
    Vector3 position = p.spawn + velocity * f;
    position.y -= 0.5f * m_gravity * kSpeedUnit * f * f;
    return {position};
}

// Fast at first, then slowed as by air: the distance tends to half the
// particle's speed.
CParticlesLayer::Place CParticlesLayer::burst(const Particle& p, float f) const {
    const float length = std::sqrt(p.velocity.x * p.velocity.x + p.velocity.y * p.velocity.y +
                                   p.velocity.z * p.velocity.z);
    const Vector3 direction = length > 1e-4f ? p.velocity * (1.0f / length) : Vector3{0, 1, 0};
    const float travelled =
        m_velocity * kSpeedUnit * (0.5f + p.phase) * (1.0f - std::exp(-2.0f * f)) * 0.5f;
    Vector3 position =
        p.spawn + scaled(direction, m_amplitude) * travelled + m_sens * (kSpeedUnit * f);
    position.y -= 0.5f * m_gravity * kSpeedUnit * f * f;
    return {position};
}

CParticlesLayer::Place CParticlesLayer::swirl(const Particle& p, float f) const {
    const float start = std::atan2(p.spawn.x - m_source.x, p.spawn.y - m_source.y);
    const float angle = start + m_velocity * 0.2f * f * (0.5f + p.phase);
    const float ring = m_radius + f * 0.1f * m_amplitude.x;
    Vector3 position{m_source.x + std::sin(angle) * ring,
                     m_source.y + std::cos(angle) * ring * m_amplitude.y,
                     m_source.z + p.velocity.z * m_amplitude.z * ring};
    position = position + m_sens * (kSpeedUnit * f);
    position.y -= 0.5f * m_gravity * kSpeedUnit * f * f;
    return {position};
}

CParticlesLayer::Place CParticlesLayer::rain(const Particle& p, float f) const {
    const float fall = m_velocity * kSpeedUnit * (0.5f + 0.5f * p.phase) * f +
                       0.5f * m_gravity * kSpeedUnit * f * f;
    const Vector3 wind = m_sens * (kSpeedUnit * f);
    return {{m_source.x + p.velocity.x * m_amplitude.x +
                 std::sin(f * 3.0f + p.phase * kTwoPi) * m_radius + wind.x,
             m_source.y + 0.5f * m_amplitude.y - fall + wind.y,
             m_source.z + p.velocity.z * m_amplitude.z + wind.z}};
}

CParticlesLayer::Place CParticlesLayer::flame(const Particle& p, float f) const {
    const float rise = m_velocity * kSpeedUnit * (0.5f + p.phase) * f;
    const float flicker = std::sin(f * 6.0f + p.phase * kTwoPi) * m_radius * f;
    Vector3 position = p.spawn + m_sens * (kSpeedUnit * f);
    position.x += p.velocity.x * m_amplitude.x * f * 0.5f + flicker;
    position.y += rise - 0.5f * m_gravity * kSpeedUnit * f * f;
    position.z += p.velocity.z * m_amplitude.z * f * 0.5f;
    const float grow = p.lifetime > 0.0f ? 1.0f + f / p.lifetime : 1.0f;
    return {position, grow};
}

}  // namespace vesta
