// What reading the frames back costs a recording at 640x480x32, per frame:
// through the frames in hand (queued, read a few frames later, all at one
// wait) beside locking the back buffer after each frame. Each frame clears
// and draws one full-screen quad, so that the reads have drawing to wait for.

#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include "render/gl/GlModule.h"

namespace {

constexpr int Width = 640;
constexpr int Height = 480;

void start(vesta::GlModule& module) {
    vesta::RenderDriver& driver = module.GetDriver(0);
    module.SelectDriver(&driver);
    module.SelectDevice(driver.devices.at(0).get());
    module.Initialize(nullptr, false, Width, Height, 32);
    module.SetClearColor(0, 0, 0, 0);
    module.SetOrthographic(static_cast<float>(Width), static_cast<float>(Height), 0.0f, 1.0f);
    module.SetColorOp(0, vesta::ColorOp::SelectArg1);
    module.SetColorArg1(0, vesta::ColorArg::Diffuse);
    module.SetDepthTest(false);
}

void drawFrame(vesta::GlModule& module, int frame) {
    const std::uint32_t color = 0xFF000000u | static_cast<std::uint32_t>(frame * 2654435761u >> 8);
    const float x = Width / 2.0f, y = Height / 2.0f;
    const vesta::RenderVertex vertices[4] = {{-x, -y, 0.5f, 0, 0, 0, color, 0, 0, 0, 0},
                                             {x, -y, 0.5f, 0, 0, 0, color, 1, 0, 0, 0},
                                             {-x, y, 0.5f, 0, 0, 0, color, 0, 1, 0, 0},
                                             {x, y, 0.5f, 0, 0, 0, color, 1, 1, 0, 0}};
    module.BeginFrame();
    module.Draw(vesta::PrimitiveType::TriangleStrip, 4, vertices);
    module.EndFrame();
}

// As a recording does, with as many frames in hand as the module keeps: the
// oldest is read when no more can be queued.
void BM_FramesInHand(benchmark::State& bench) {
    vesta::GlModule module;
    start(module);
    int frame = 0, pitch = 0;
    for (auto _ : bench) {
        drawFrame(module, frame++);
        if (!module.QueueFrameCopy()) {
            benchmark::DoNotOptimize(module.ReadFrameCopy(pitch));
            module.QueueFrameCopy();
        }
        module.Present(0);
        module.Clear(0);
    }
    glFinish();
}

void BM_LockEachFrame(benchmark::State& bench) {
    vesta::GlModule module;
    start(module);
    int frame = 0, pitch = 0;
    for (auto _ : bench) {
        drawFrame(module, frame++);
        benchmark::DoNotOptimize(module.LockBackBuffer(pitch));
        module.UnlockBackBuffer();
        module.Present(0);
        module.Clear(0);
    }
}

}  // namespace

BENCHMARK(BM_FramesInHand)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LockEachFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
