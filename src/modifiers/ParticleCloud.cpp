#include "modifiers/ParticleCloud.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "modifiers/ModifierSprites.h"
#include "scene/SceneMath.h"

namespace vesta {
namespace {

// A random direction for one life, from two fractions.
Vector3 unitFrom(float a, float b) {
    const float z = a * 2.0f - 1.0f;
    const float ring = std::sqrt(std::max(0.0f, 1.0f - z * z));
    const float phi = b * 2.0f * std::numbers::pi_v<float>;
    return {ring * std::cos(phi), ring * std::sin(phi), z};
}

}  // namespace

void PlaceParticles(const ParticleSettings& settings, std::span<const Vector3> sources,
                    const Vector3& target, float time, std::vector<ParticleState>& out) {
    const int count = std::max(settings.count, 0);
    out.resize(static_cast<std::size_t>(count));
    if (settings.lifetime <= 0.0f || sources.empty()) {
        for (ParticleState& particle : out) {
            particle.fade = 0.0f;
        }
        return;
    }
    const float life = settings.lifetime;
    const Vector3 along = Unit(settings.direction);
    const Vector3& a = settings.amplitude;
    for (int i = 0; i < count; ++i) {
        const auto index = static_cast<std::uint32_t>(i);
        const float lives = std::max(time, 0.0f) / life + HashFraction(index, 0u);
        const float whole = std::floor(lives);
        const float age = (lives - whole) * life;
        const auto seed = static_cast<std::uint32_t>(whole) * 8u + 1u;
        auto draw = [&](std::uint32_t k) { return HashFraction(index, seed + k); };
        const Vector3 jitter{draw(0) * 2.0f - 1.0f, draw(1) * 2.0f - 1.0f, draw(2) * 2.0f - 1.0f};
        const Vector3& source =
            sources[std::min(static_cast<std::size_t>(draw(3) * static_cast<float>(sources.size())),
                             sources.size() - 1)];
        const Vector3 birth = source + unitFrom(draw(4), draw(5)) * (settings.radius * draw(6));
        ParticleState& particle = out[static_cast<std::size_t>(i)];
        particle.fade = 1.0f - age / life;
        if (settings.effect == ParticleEffect::Stream) {
            const float travelled = age / life;
            const float bulge = std::sin(travelled * std::numbers::pi_v<float>) * settings.velocity;
            const Vector3 offset{jitter.x * a.x * bulge, jitter.y * a.y * bulge,
                                 jitter.z * a.z * bulge};
            particle.position = birth + (target - birth) * travelled + offset;
            particle.velocity = (target - birth) * (1.0f / life);
            continue;
        }
        Vector3 start;
        if (settings.effect == ParticleEffect::Burst) {
            const Vector3 way = unitFrom(draw(0), draw(1));
            start = {way.x * (1.0f + a.x * jitter.z), way.y * (1.0f + a.y * jitter.z),
                     way.z * (1.0f + a.z * jitter.z)};
        } else {
            start = {along.x + jitter.x * a.x, along.y + jitter.y * a.y, along.z + jitter.z * a.z};
        }
        start = start * settings.velocity;
        const float fall = settings.gravity * age;
        particle.velocity = {start.x, start.y - fall, start.z};
        particle.position = {birth.x + start.x * age, birth.y + (start.y - 0.5f * fall) * age,
                             birth.z + start.z * age};
    }
}

}  // namespace vesta
