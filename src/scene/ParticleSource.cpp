#include "scene/ParticleSource.h"

#include <cmath>
#include <numbers>

namespace vesta {
namespace {

// A spread of phases without clumps: multiples of the golden ratio's fraction.
float phaseOf(int index) {
    const double golden = 0.6180339887498949;
    return static_cast<float>(std::fmod(index * golden, 1.0));
}

float fraction(float value) {
    return value - std::floor(value);
}

}  // namespace

void ParticleSource::Update(float frame, const Vector3& from, const Vector3& to) {
    particles.resize(static_cast<std::size_t>(count > 0 ? count : 0));
    const Vector3 path = destination ? Vector3{to.x - from.x, to.y - from.y, to.z - from.z}
                                     : Vector3{0.0f, 100.0f, 0.0f};
    const float length = std::sqrt(path.x * path.x + path.y * path.y + path.z * path.z);
    const float spread = 0.08f * length;
    for (std::size_t i = 0; i < particles.size(); ++i) {
        const int index = static_cast<int>(i);
        const float progress = fraction(frame / kTravelFrames + phaseOf(index));
        // Each particle keeps its own direction off the straight path.
        const float angle = 2.0f * std::numbers::pi_v<float> * phaseOf(index * 7 + 3);
        const float swell = std::sin(std::numbers::pi_v<float> * progress);
        Particle& particle = particles[i];
        particle.position = {from.x + path.x * progress + std::cos(angle) * spread * swell,
                             from.y + path.y * progress + std::sin(angle) * spread * swell,
                             from.z + path.z * progress +
                                 std::sin(angle * 2.0f) * spread * swell * 0.5f};
        particle.intensity = swell;
        particle.visible = swell > 0.01f;
    }
}

}  // namespace vesta
