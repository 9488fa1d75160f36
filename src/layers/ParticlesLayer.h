#pragma once
// "ParticlesLayer": NBParticle small textured quads born around
// SourceParticle, each turning, drifting and fading over its own lifetime
// and born again where it started. "Effect" picks how they move:
//   0 jet: shot along (SensX, SensY, SensZ) with a spread of the amplitudes,
//     Velocity fast, bent down by Gravity;
//   1 drift: away from the source in proportion to their distance from it,
//     and along z at their own speed;
//   2 burst: out in every direction from the source, slowed as they go,
//     carried by the Sens wind and Gravity;
//   3 swirl: circling the source on a widening ring, Velocity the spin,
//     rising along the Sens direction;
//   4 rain: falling from a band of AmplitudeX × AmplitudeZ above the source,
//     swaying by Radius, blown by the Sens wind;
//   5 (and 6) flame: rising from the source, spreading and growing as they age.
//
// Space: the plane z = 0 shows as the 1 × 1 screen of the flat layers (-0.5
// to 0.5 high), seen in perspective so that z carries particles away from
// (+z) or towards the viewer. Lengths are in screen heights; Velocity and
// Gravity count in twentieths of a screen height per second (and per second).

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "layers/ImageQuad.h"
#include "layers/LayerDrawing.h"
#include "render/RenderTypes.h"
#include "timeline/EnvelopeLayer.h"
#include "timeline/ParameterSet.h"

namespace vesta {

class CParticlesLayer : public CEnvelopeLayer {
public:
    static constexpr int kRoutineCount = 7;  // 6 draws as 5
    // The camera distance at which z = 0 spans one screen height in a π/4 view.
    static constexpr float kCameraDistance = 1.2071068f;
    static constexpr float kSpeedUnit = 0.05f;

    struct Particle {
        Vector3 spawn;
        float zSpeed = 0.0f;
        float rotationSpeed = 0.0f;
        float size = 1.0f;
        float birth = 0.0f;     // layer age
        float lifetime = 0.0f;  // seconds
        float fade = 0.0f;
        // Only the designed motions (every routine but 1) read these.
        Vector3 velocity;
        float phase = 0.0f;
    };

    CParticlesLayer(RenderModule* context, const std::vector<CLayerOperation>* children);
    ~CParticlesLayer() override;

    // Makes the particles already in flight: each born as a rebirth makes it,
    // its birth moved back by a random share of its lifetime, so the stream
    // is steady from the first frame.
    void Start() override;
    void Release() override;
    const char* GetClassName() const override { return "CParticlesLayer"; }
    void OnRising() override { drawFrame(); }
    void OnStable() override { drawFrame(); }
    void OnFalling() override { drawFrame(); }

    int Routine() const { return m_routine; }
    const std::vector<Particle>& Particles() const { return m_particles; }
    std::vector<Particle>& Particles() { return m_particles; }

private:
    // Where a particle is `f` seconds after its birth, and how much larger.
    struct Place {
        Vector3 position;
        float grow = 1.0f;
    };
    using Motion = Place (CParticlesLayer::*)(const Particle&, float) const;
    static const std::array<Motion, kRoutineCount> kMotions;

    void selectRoutine();
    void drawFrame();
    void setView();
    void drawBatches();
    void rebirth(Particle& particle, float age) const;
    // The four corners of one particle at this frame.
    void placeCorners(const Particle& particle, const Place& place, float age, std::uint32_t colour,
                      RenderVertex* out) const;

    Place jet(const Particle& p, float f) const;
    Place drift(const Particle& p, float f) const;
    Place burst(const Particle& p, float f) const;
    Place swirl(const Particle& p, float f) const;
    Place rain(const Particle& p, float f) const;
    Place flame(const Particle& p, float f) const;

    std::int32_t m_effect = 0;
    std::int32_t m_alphaType = 0;
    std::int32_t m_count = 100;
    std::string m_alphaTexture;
    std::string m_texture;
    Vector3 m_amplitude{1.0f, 1.0f, 1.0f};
    float m_maxIntensity = 1.0f;
    Vector3 m_sens;
    float m_particleLifetime = 1.0f;
    float m_gravity = 0.0f;
    float m_xScale = 0.2f;
    float m_yScale = 0.2f;
    float m_velocity = 10.0f;
    float m_radius = 0.03f;
    ParameterVector m_source;

    int m_routine = 0;
    LayerPicture m_picture;
    QuadCorners m_corners{};  // ±1 times XScale and YScale
    std::vector<Particle> m_particles;
    std::vector<RenderVertex> m_vertices;
    std::vector<std::uint16_t> m_indices;
};

}  // namespace vesta
