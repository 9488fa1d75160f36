// Updates per second of the Fire and Plasma effects on a 256 x 256 texture,
// beside a plain copy of the texture's bytes, the bound that any effect
// writing every pixel meets. "recording": the effect and its palette mapping
// into the locked pixels, with the recording module's copy of the upload;
// "gl": the OpenGL module on Mesa's software rasteriser, with the read-back
// of the lock and the upload of the unlock.

#include <benchmark/benchmark.h>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/Clock.h"
#include "render/RecordingModule.h"
#include "render/dynamic/DynaTexture.h"
#include "render/gl/GlModule.h"

namespace {

constexpr int kSide = 256;
constexpr const char* kEffects[] = {"Fire", "Plasma"};

std::unique_ptr<vesta::RenderModule> makeModule(bool gl) {
    if (!gl) {
        auto module = std::make_unique<vesta::RecordingModule>();
        module->Initialize(nullptr, false, 64, 64, 32);
        return module;
    }
    auto module = std::make_unique<vesta::GlModule>();
    vesta::RenderDriver& driver = module->GetDriver(0);
    module->SelectDriver(&driver);
    module->SelectDevice(driver.devices.at(0).get());
    module->Initialize(nullptr, false, 64, 64, 32);
    return module;
}

void BM_DynaTextureUpdate(benchmark::State& state) {
    const bool gl = state.range(1) != 0;
    std::unique_ptr<vesta::RenderModule> module = makeModule(gl);
    vesta::Texture* texture = module->CreateTexture();
    const std::vector<std::uint8_t> black(std::size_t(3) * kSide * kSide, 0);
    texture->Upload(black.data(), kSide, kSide, false, true);
    texture->MakeDynamic("bench", kEffects[state.range(0)]);
    // Ten milliseconds a step: every update is past the default interval.
    vesta::SetFixedStep(true, 100.0f);
    std::uint32_t index = 1;
    for (auto _ : state) {
        vesta::SetFrameIndex(index++);
        texture->UpdateDynamic();
        if (!gl) {
            static_cast<vesta::RecordingModule&>(*module).ClearCalls();
        }
    }
    state.SetLabel(std::string(kEffects[state.range(0)]) + (gl ? " gl" : " recording"));
    state.counters["updates/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_ByteCopy(benchmark::State& state) {
    std::vector<std::uint8_t> from(std::size_t(4) * kSide * kSide, 7);
    std::vector<std::uint8_t> to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetLabel("copy of 256x256x4 bytes");
    state.counters["updates/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_ByteCopy)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DynaTextureUpdate)
    ->ArgNames({"effect", "gl"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
