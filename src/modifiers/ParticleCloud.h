#pragma once
// Where the particles of a "Particles" modifier are at a moment, from their
// settings alone: each particle lives LifeTimeParticules seconds again and
// again, its own share of a life apart from the others, and is born anew each
// time at a source point with a velocity drawn for that life. The same time
// thus gives the same cloud, whichever frames were drawn before.

#include <cstdint>
#include <span>
#include <vector>

#include "render/RenderTypes.h"

namespace vesta {

enum class ParticleEffect : std::int32_t {
    Fountain = 0,  // along the direction, spread by the amplitudes, pulled by gravity
    Burst = 1,     // every way at once, each axis stretched by its amplitude
    Stream = 2,    // from the source to the target, bulging by the amplitudes midway
};

struct ParticleSettings {
    ParticleEffect effect = ParticleEffect::Fountain;
    int count = 100;
    Vector3 amplitude{0.3f, 0.3f, 0.3f};
    Vector3 direction{0.0f, 1.0f, 0.0f};  // need not be of unit length
    float lifetime = 2.0f;                // seconds; 0 or less draws nothing
    float gravity = 0.0f;                 // units per second squared, along -y
    float velocity = 10.0f;               // units per second
    float radius = 0.0f;                  // births scattered within this ball
};

struct ParticleState {
    Vector3 position;
    Vector3 velocity;
    float fade = 0.0f;  // 1 at birth, falling to 0 at the end of its life
};

// Fills `out` with settings.count particles at `time` seconds. Births are at
// one of `sources` (at least one); a stream flows towards `target`.
void PlaceParticles(const ParticleSettings& settings, std::span<const Vector3> sources,
                    const Vector3& target, float time, std::vector<ParticleState>& out);

}  // namespace vesta
