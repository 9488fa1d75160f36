// The per-frame cost of 1000 particles ("ParticlesLayer", routine 1) and of
// a 2000-star field ("StarField") drawn by the OpenGL module at 640 x 480,
// beside a hand-written OpenGL program drawing the same textured, blended
// quads (one upload and one indexed draw a frame): the layer computes them
// each frame into the recording module, so both do the same work on the
// processor and differ only in how the quads reach OpenGL. Every frame ends
// with the frame read back, so the time covers the rasterising too. The table
// at the end sets the figures side by side: the ratios are the layer's frame
// rate over the hand-written one's, and the hand-written program's processor
// time over the layer's (all threads: the driver rasterises on its own).

#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <epoxy/gl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "PictureWriters.h"
#include "platform/Clock.h"
#include "render/RecordingModule.h"
#include "render/gl/EglContext.h"
#include "render/gl/GlModule.h"
#include "timeline/LayerFactory.h"

namespace {

constexpr int Width = 640, Height = 480;
constexpr int Particles = 1000, Stars = 2000;

const std::vector<std::pair<std::string, std::string>> kParticles = {
    {"Effect", "1"},   {"NBParticle", std::to_string(Particles)},
    {"Radius", "0.1"}, {"SensZ", "0.5"},
    {"XScale", "0.2"}, {"YScale", "0.2"}};
const std::vector<std::pair<std::string, std::string>> kStars = {
    {"Count", std::to_string(Stars)}, {"Speed", "20"}, {"Length", "2"}, {"XScale", "0.1"}};

// Frames per second, and processor milliseconds a frame on all threads, by
// benchmark name, for the table.
std::map<std::string, double>& Rates() {
    static std::map<std::string, double> rates;
    return rates;
}
std::map<std::string, double>& CpuTimes() {
    static std::map<std::string, double> times;
    return times;
}

double ProcessCpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) * 1e-6;
}

template <class Frame>
void Measure(benchmark::State& state, const std::string& name, Frame&& frame) {
    std::uint32_t index = 100;
    const double cpuBegin = ProcessCpuMilliseconds();
    const auto begin = std::chrono::steady_clock::now();
    for (auto _ : state) {
        frame(index++);
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    // The driver draws on threads of its own: their time counts too, and it
    // varies less than the wall clock when other work shares the processors.
    const double cpu = (ProcessCpuMilliseconds() - cpuBegin) / double(state.iterations());
    state.counters["cpu_ms_all_threads"] = cpu;
    CpuTimes()[name] = cpu;
    const double fps = double(state.iterations()) / seconds;
    state.counters["fps"] = fps;
    Rates()[name] = fps;
}

// The benchmark's picture in a folder of its own, the current one meanwhile.
struct PictureFolder {
    std::filesystem::path folder = std::filesystem::temp_directory_path() / "vesta-kinds-bench";
    PictureFolder() {
        std::filesystem::create_directories(folder);
        std::ofstream(folder / "bench.png", std::ios::binary) << [] {
            const auto png = vesta::test::SimplePng(64, 64);
            return std::string(png.begin(), png.end());
        }();
        std::filesystem::current_path(folder);
    }
    ~PictureFolder() {
        std::filesystem::current_path(std::filesystem::temp_directory_path());
        std::filesystem::remove_all(folder);
    }
};

struct LayerScene {
    PictureFolder pictures;
    vesta::GlModule module;
    std::unique_ptr<vesta::CLayer> layer;

    LayerScene(const char* kind, const std::vector<std::pair<std::string, std::string>>& params) {
        vesta::RenderDriver& driver = module.GetDriver(0);
        module.SelectDriver(&driver);
        module.SelectDevice(driver.devices.at(0).get());
        module.Initialize(nullptr, false, Width, Height, 32);
        module.SetClearColor(0.0f, 0.0f, 0.0f, 0.0f);  // as the player clears
        vesta::SetFixedStep(true, 60.0f);
        vesta::SetFrameIndex(0);
        // Both sides draw the same stars and particles.
        vesta::SeedRandom(7);
        layer = vesta::CLayerFactory::Instance().CreateLayer(&module, nullptr, kind);
        layer->Set("Texture", "bench.png");
        layer->Set("StableTime", "100000");
        for (const auto& [name, value] : params) {
            layer->Set(name, value);
        }
        layer->Start();
        layer->SetBirthTime(0);
    }
    ~LayerScene() { layer->Release(); }

    void frame(std::uint32_t index) {
        vesta::SetFrameIndex(index);
        module.BeginFrame();
        module.Clear(0);
        layer->Update();
        module.EndFrame();
        int pitch = 0;
        benchmark::DoNotOptimize(module.LockBackBuffer(pitch));
        module.UnlockBackBuffer();
    }
};

void BM_ParticlesLayer(benchmark::State& state) {
    LayerScene scene("ParticlesLayer", kParticles);
    Measure(state, "particles layer", [&](std::uint32_t i) { scene.frame(i); });
}

void BM_StarFieldLayer(benchmark::State& state) {
    LayerScene scene(
        "StarField",
        {{"Count", std::to_string(Stars)}, {"Speed", "20"}, {"Length", "2"}, {"XScale", "0.1"}});
    Measure(state, "star field layer", [&](std::uint32_t i) { scene.frame(i); });
}

// ---- the hand-written reference ----------------------------------------------

const char* handVertex = R"(#version 330 core
layout(location = 0) in vec3 p; layout(location = 2) in vec4 c; layout(location = 3) in vec2 t;
uniform mat4 m; out vec4 vc; out vec2 vt;
void main() { gl_Position = m * vec4(p, 1.0); vc = c; vt = t; }
)";
const char* handFragment = R"(#version 330 core
uniform sampler2D s; in vec4 vc; in vec2 vt; out vec4 o;
void main() { o = texture(s, vt) * vc; }
)";

struct HandWritten {
    vesta::gl::EglContext context{vesta::gl::ContextKind::Core33};
    GLuint framebuffer = 0, color = 0, texture = 0, program = 0, array = 0, buffer = 0,
           elements = 0;
    std::vector<vesta::RenderVertex> vertices;
    std::vector<std::uint8_t> pixels = std::vector<std::uint8_t>(Width * Height * 4);

    explicit HandWritten(int quads) : vertices(std::size_t(quads) * 4) {
        glGenRenderbuffers(1, &color);
        glBindRenderbuffer(GL_RENDERBUFFER, color);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, Width, Height);
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, color);
        glViewport(0, 0, Width, Height);
        std::vector<std::uint32_t> texels(64 * 64, 0xFFFFFFFFu);
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 64, 64, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                     texels.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        program = glCreateProgram();
        for (auto [type, text] :
             {std::pair{GL_VERTEX_SHADER, handVertex}, {GL_FRAGMENT_SHADER, handFragment}}) {
            const GLuint shader = glCreateShader(type);
            glShaderSource(shader, 1, &text, nullptr);
            glCompileShader(shader);
            glAttachShader(program, shader);
            glDeleteShader(shader);
        }
        glLinkProgram(program);
        glUseProgram(program);
        glGenVertexArrays(1, &array);
        glBindVertexArray(array);
        glGenBuffers(1, &buffer);
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        const GLsizei stride = sizeof(vesta::RenderVertex);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, nullptr);
        glEnableVertexAttribArray(2);
        glVertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                              reinterpret_cast<const void*>(24));
        glEnableVertexAttribArray(3);
        glVertexAttribPointer(3, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(28));
        std::vector<std::uint16_t> indices;
        for (int q = 0; q < quads; ++q) {
            for (const int k : {0, 1, 2, 2, 1, 3}) {
                indices.push_back(std::uint16_t(q * 4 + k));
            }
        }
        glGenBuffers(1, &elements);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, elements);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(indices.size() * 2), indices.data(),
                     GL_STATIC_DRAW);
        glEnable(GL_BLEND);
    }
    ~HandWritten() {
        glDeleteBuffers(1, &elements);
        glDeleteBuffers(1, &buffer);
        glDeleteVertexArrays(1, &array);
        glDeleteProgram(program);
        glDeleteTextures(1, &texture);
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteRenderbuffers(1, &color);
    }

    // Row vectors times `m`: read by columns it is the transpose GLSL multiplies by.
    void view(const vesta::Matrix4& m) {
        glUniformMatrix4fv(glGetUniformLocation(program, "m"), 1, GL_FALSE, &m.m[0][0]);
    }

    void draw(GLenum source, GLenum destination) {
        glClear(GL_COLOR_BUFFER_BIT);
        glBlendFunc(source, destination);
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertices.size() * sizeof(vesta::RenderVertex)),
                     vertices.data(), GL_STREAM_DRAW);
        glDrawElements(GL_TRIANGLES, GLsizei(vertices.size() / 4 * 6), GL_UNSIGNED_SHORT, nullptr);
        glReadPixels(0, 0, Width, Height, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
        benchmark::DoNotOptimize(pixels.data());
    }
};

// The same layer computes its quads each frame into a recording module (the
// same work on the processor); the program uploads and draws exactly those.
template <class Module = vesta::RecordingModule>
struct RecordedLayer {
    Module module;
    std::unique_ptr<vesta::CLayer> layer;

    RecordedLayer(const char* kind,
                  const std::vector<std::pair<std::string, std::string>>& params) {
        module.Initialize(nullptr, false, Width, Height, 32);
        vesta::SetFixedStep(true, 60.0f);
        vesta::SetFrameIndex(0);
        // Both sides draw the same stars and particles.
        vesta::SeedRandom(7);
        layer = vesta::CLayerFactory::Instance().CreateLayer(&module, nullptr, kind);
        layer->Set("Texture", "bench.png");
        layer->Set("StableTime", "100000");
        for (const auto& [name, value] : params) {
            layer->Set(name, value);
        }
        layer->Start();
        layer->SetBirthTime(0);
    }
    ~RecordedLayer() { layer->Release(); }

    // The frame's one draw: its quads and its state.
    const vesta::RecordedCall& quads(std::uint32_t index) {
        vesta::SetFrameIndex(index);
        module.ClearCalls();
        layer->Update();
        return *module.Last("DrawIndexed");
    }
};

void BM_ParticlesHandWritten(benchmark::State& state) {
    PictureFolder folder;
    RecordedLayer<> source("ParticlesLayer", kParticles);
    HandWritten hand(Particles);
    Measure(state, "particles hand-written", [&](std::uint32_t index) {
        const vesta::RecordedCall& draw = source.quads(index);
        hand.vertices = draw.vertices;
        hand.view(draw.state.view * draw.state.projection);
        hand.draw(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    });
}

void BM_StarFieldHandWritten(benchmark::State& state) {
    PictureFolder folder;
    RecordedLayer<> source("StarField", kStars);
    HandWritten hand(Stars);
    Measure(state, "star field hand-written", [&](std::uint32_t index) {
        const vesta::RecordedCall& draw = source.quads(index);
        hand.vertices = draw.vertices;
        hand.view(draw.state.view * draw.state.projection);
        hand.draw(GL_ONE, GL_ONE);
    });
}

BENCHMARK(BM_ParticlesLayer)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ParticlesHandWritten)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StarFieldLayer)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StarFieldHandWritten)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("\n%-12s %10s %17s %6s %15s %19s %6s\n", "load", "layer fps", "hand-written fps",
                "ratio", "layer cpu ms", "hand-written cpu ms", "ratio");
    for (const char* load : {"particles", "star field"}) {
        const std::string layerName = std::string(load) + " layer";
        const std::string handName = std::string(load) + " hand-written";
        const double layer = Rates()[layerName], hand = Rates()[handName];
        const double layerCpu = CpuTimes()[layerName], handCpu = CpuTimes()[handName];
        std::printf("%-12s %10.1f %17.1f %6.2f %15.2f %19.2f %6.2f\n", load, layer, hand,
                    hand > 0 ? layer / hand : 0.0, layerCpu, handCpu,
                    layerCpu > 0 ? handCpu / layerCpu : 0.0);
    }
    return 0;
}
