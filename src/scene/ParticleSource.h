#pragma once
// Particles that stream from a source light towards its destination light.
// Their motion is a function of the scene frame alone, so a recording shows
// the same particles at the same frame on every run.

#include <cstdint>
#include <string>
#include <vector>

#include "scene/SceneMath.h"

namespace vesta {

class CLight;
class Texture;

struct Particle {
    Vector3 position;
    float intensity = 0.0f;  // 0..1, the grey of its quad
    bool visible = false;
};

struct ParticleSource {
    // Frames one particle takes from the source to the destination.
    static constexpr float kTravelFrames = 60.0f;

    CLight* source = nullptr;
    CLight* destination = nullptr;  // none: the particles rise from the source
    int count = 0;
    std::string textureName;
    Texture* texture = nullptr;
    std::vector<Particle> particles;

    // Particle i is at its own phase of the journey: it leaves the source,
    // brightens, spreads sideways along the way and fades as it arrives.
    void Update(float frame, const Vector3& from, const Vector3& to);
};

}  // namespace vesta
