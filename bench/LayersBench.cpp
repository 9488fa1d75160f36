// Frames per second of a stack of full-screen picture layers drawn by the
// OpenGL module at 640 x 480 (Mesa's software rasteriser here), per draw
// routine: the plain fade (one quad), the burst (1800 triangles) and the
// swarm (ten quads). Each frame ends with the frame read back, so the time
// covers the rasterising too.

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "PictureWriters.h"
#include "platform/Clock.h"
#include "render/gl/GlModule.h"
#include "timeline/LayerFactory.h"

namespace {

constexpr int Width = 640, Height = 480;

struct Scene {
    std::filesystem::path folder = std::filesystem::temp_directory_path() / "vesta-layers-bench";
    vesta::GlModule module;
    std::vector<std::unique_ptr<vesta::CLayer>> layers;

    Scene(int routine, int count) {
        std::filesystem::create_directories(folder);
        std::ofstream(folder / "bench.png", std::ios::binary) << [] {
            const auto png = vesta::test::SimplePng(256, 256);
            return std::string(png.begin(), png.end());
        }();
        std::filesystem::current_path(folder);
        vesta::RenderDriver& driver = module.GetDriver(0);
        module.SelectDriver(&driver);
        module.SelectDevice(driver.devices.at(0).get());
        module.Initialize(nullptr, false, Width, Height, 32);
        vesta::SetFixedStep(true, 100.0f);
        for (int n = 0; n < count; ++n) {
            auto layer = vesta::CLayerFactory::Instance().CreateLayer(&module, nullptr, "GFXLayer");
            layer->Set("Texture", "bench.png");
            layer->Set("Effect", std::to_string(routine));
            layer->Set("StableTime", "1000");
            layer->Start();
            layer->SetBirthTime(0);
            layers.push_back(std::move(layer));
        }
    }
    ~Scene() {
        for (auto& layer : layers) {
            layer->Release();
        }
        std::filesystem::remove_all(folder);
    }

    void frame(std::uint32_t index) {
        vesta::SetFrameIndex(index);
        module.BeginFrame();
        module.Clear(0);
        for (auto& layer : layers) {
            layer->Update();
        }
        module.EndFrame();
        int pitch = 0;
        benchmark::DoNotOptimize(module.LockBackBuffer(pitch));
        module.UnlockBackBuffer();
    }
};

void BM_LayerStack(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    std::uint32_t index = 100;
    for (auto _ : state) {
        scene.frame(index++);
    }
    state.counters["fps"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_LayerStack)
    ->ArgNames({"routine", "layers"})
    ->Args({0, 1})
    ->Args({0, 10})
    ->Args({2, 10})
    ->Args({4, 10})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
