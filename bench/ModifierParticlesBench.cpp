// The per-frame cost of a "Particles" modifier of 1000 particles (placing
// them, building their quads and handing the draw to the render module),
// beside a plain loop doing the same arithmetic into a fixed array.
//
// The recording module stands for the device, so the figures are the CPU's
// side of a frame alone.

#include <benchmark/benchmark.h>
#include <cmath>
#include <numbers>
#include <vector>

#include "modifiers/ModifierSprites.h"
#include "platform/Clock.h"
#include "render/RecordingModule.h"
#include "scene/SceneBuild.h"
#include "timeline/ModifierFactory.h"

namespace vesta {
namespace {

constexpr int kParticles = 1000;
constexpr float kLifetime = 2.0f;
constexpr float kVelocity = 40.0f;
constexpr float kGravity = 40.0f;
constexpr float kAmplitude = 0.3f;
constexpr float kHalfSize = 1.5f;

void ParticlesModifier(benchmark::State& state) {
    RecordingModule module;
    module.Initialize(nullptr, false, 640, 480, 32);
    CScene scene(&module);
    AddCamera(scene, "Camera01", {0, 0, -100}, {0, 0, 0}, 0.8f);
    AddLight(scene, "Spout", {0, -30, 0}, {1, 1, 1});
    auto particles =
        CModifierFactory::Instance().CreateModifier(&scene, &module, nullptr, "Particles");
    for (const auto& [name, value] : std::vector<std::pair<const char*, std::string>>{
             {"ObjetName", "Spout"},
             {"NBParticle", std::to_string(kParticles)},
             {"Velocity", std::to_string(kVelocity)},
             {"Gravity", std::to_string(kGravity)},
             {"LifeTimeParticules", std::to_string(kLifetime)},
             {"AmplitudeX", std::to_string(kAmplitude)},
             {"AmplitudeY", std::to_string(kAmplitude)},
             {"AmplitudeZ", std::to_string(kAmplitude)},
             {"XScale", std::to_string(kHalfSize)},
             {"YScale", std::to_string(kHalfSize)}}) {
        particles->Set(name, value);
    }
    SetFixedStep(true, 60.0f);
    SetFrameIndex(0);
    particles->Start();
    particles->SetBirthTime(0.0f);
    std::uint32_t frame = 0;
    for (auto _ : state) {
        SetFrameIndex(++frame);
        module.ClearCalls();
        particles->Update();
    }
    particles->Release();
    state.SetItemsProcessed(state.iterations() * kParticles);
}

// The same births, flights and camera-facing quads, written out by hand.
void PlainLoop(benchmark::State& state) {
    std::vector<RenderVertex> quads(kParticles * 4);
    const Vector3 source{0, -30, 0};
    const Vector3 right{1, 0, 0};
    const Vector3 up{0, 1, 0};
    std::uint32_t frame = 0;
    for (auto _ : state) {
        const float time = static_cast<float>(++frame) / 60.0f;
        for (int i = 0; i < kParticles; ++i) {
            const auto index = static_cast<std::uint32_t>(i);
            const float lives = time / kLifetime + HashFraction(index, 0u);
            const float whole = std::floor(lives);
            const float age = (lives - whole) * kLifetime;
            const auto seed = static_cast<std::uint32_t>(whole) * 8u + 1u;
            const float jx = HashFraction(index, seed) * 2.0f - 1.0f;
            const float jy = HashFraction(index, seed + 1) * 2.0f - 1.0f;
            const float jz = HashFraction(index, seed + 2) * 2.0f - 1.0f;
            const float vx = jx * kAmplitude * kVelocity;
            const float vy = (1.0f + jy * kAmplitude) * kVelocity;
            const float vz = jz * kAmplitude * kVelocity;
            const float fall = kGravity * age;
            const Vector3 p{source.x + vx * age, source.y + (vy - 0.5f * fall) * age,
                            source.z + vz * age};
            const auto grey = static_cast<std::uint32_t>((1.0f - age / kLifetime) * 255.0f);
            const std::uint32_t colour = grey << 24 | grey << 16 | grey << 8 | grey;
            RenderVertex* quad = &quads[static_cast<std::size_t>(i) * 4];
            for (int k = 0; k < 4; ++k) {
                const float sx = (k & 1) ? kHalfSize : -kHalfSize;
                const float sy = (k & 2) ? -kHalfSize : kHalfSize;
                quad[k] = {p.x + right.x * sx + up.x * sy,
                           p.y + right.y * sx + up.y * sy,
                           p.z + right.z * sx + up.z * sy,
                           0,
                           0,
                           0,
                           colour,
                           (k & 1) ? 1.0f : 0.0f,
                           (k & 2) ? 1.0f : 0.0f,
                           0,
                           0};
            }
        }
        benchmark::DoNotOptimize(quads.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kParticles);
}

BENCHMARK(ParticlesModifier)->Name("Particles modifier, 1000 particles");
BENCHMARK(PlainLoop)->Name("Plain loop, 1000 particles");

}  // namespace
}  // namespace vesta

BENCHMARK_MAIN();
