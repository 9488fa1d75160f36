// The water plane's work per frame at SquareSize 256 (65536 vertices): one
// ripple step, and a whole frame of the modifier (a step and every vertex
// placed between the two height buffers), each beside a plain loop doing the
// same arithmetic on bare arrays.

#include <benchmark/benchmark.h>
#include <cstdint>
#include <vector>

#include "modifiers/WaterPlane.h"
#include "modifiers/WaterRipples.h"
#include "platform/Clock.h"
#include "scene/Scene.h"
#include "scene/SceneBuild.h"
#include "timeline/ModifierFactory.h"

namespace {

constexpr int Size = 256;
constexpr int Damping = 100;

// The same rule as the ripples, with nothing around it.
struct PlainWater {
    std::vector<float> a = std::vector<float>(Size * Size, 0.0f);
    std::vector<float> b = std::vector<float>(Size * Size, 0.0f);
    float* now = a.data();
    float* next = b.data();

    PlainWater() { now[(Size / 2) * Size + Size / 2] = 50.0f; }

    void step() {
        const float damping = 1.0f / Damping;
        for (int row = 1; row < Size - 1; ++row) {
            for (int column = 1; column < Size - 1; ++column) {
                const int c = row * Size + column;
                float h = (now[c - Size - 1] + now[c - Size] + now[c - Size + 1] + now[c - 1] +
                           now[c + 1] + now[c + Size - 1] + now[c + Size] + now[c + Size + 1]) *
                              0.25f -
                          next[c];
                h -= h * damping;
                next[c] = h;
            }
        }
        std::swap(now, next);
    }
};

void WaterStep_Vesta(benchmark::State& state) {
    vesta::WaterRipples water(Size, Damping);
    water.DropPeak(Size / 2, Size / 2, 50.0f);
    for (auto _ : state) {
        water.Step();
        benchmark::DoNotOptimize(water.Current().data());
    }
}

void WaterStep_PlainLoop(benchmark::State& state) {
    PlainWater water;
    for (auto _ : state) {
        water.step();
        benchmark::DoNotOptimize(water.now);
    }
}

void WaterFrame_Vesta(benchmark::State& state) {
    vesta::SetFixedStep(true, 10.0f);
    vesta::SetFrameIndex(0);
    vesta::CScene scene;
    vesta::AddGrid(scene, "Pool.UserModif", {0, 0, 0}, 1000, 1000, 1, 1);
    auto water =
        vesta::CModifierFactory::Instance().CreateModifier(&scene, nullptr, nullptr, "WaterPlane");
    water->Set("Object", "Pool.UserModif");
    water->Set("SquareSize", "256");
    water->Set("UpdateFrequency", "0.05");
    water->Start();
    water->SetBirthTime(0);
    std::uint32_t frame = 0;
    for (auto _ : state) {
        // A tenth of a second a frame: every frame steps.
        vesta::SetFrameIndex(++frame);
        water->PreUpdate();
        benchmark::DoNotOptimize(scene.meshes[0]->vertices.data());
    }
}

void WaterFrame_PlainLoop(benchmark::State& state) {
    PlainWater water;
    std::vector<vesta::Vector3> rest(Size * Size);
    std::vector<vesta::Vector3> placed(Size * Size);
    const vesta::Vector3 normal{0, 0, -1};
    for (auto _ : state) {
        water.step();
        const float c = 0.0f;
        for (int i = 0; i < Size * Size; ++i) {
            const float h = (1.0f - c) * water.next[i] + c * water.now[i];
            placed[i] = {rest[i].x + normal.x * h, rest[i].y + normal.y * h,
                         rest[i].z + normal.z * h};
        }
        benchmark::DoNotOptimize(placed.data());
    }
}

}  // namespace

BENCHMARK(WaterStep_Vesta)->Unit(benchmark::kMicrosecond);
BENCHMARK(WaterStep_PlainLoop)->Unit(benchmark::kMicrosecond);
BENCHMARK(WaterFrame_Vesta)->Unit(benchmark::kMicrosecond);
BENCHMARK(WaterFrame_PlainLoop)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
