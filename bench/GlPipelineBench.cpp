// Frames per second of a layer-like load (200 textured, blended 4-vertex
// strips per frame at 640 x 480, with state changes between them) through
// GlPipeline and through the whole render module, beside a minimal
// hand-written OpenGL program drawing the same that uploads its quads once a
// frame. Each runs two ways: every frame finished (glFinish), and frames
// only flushed, so that they pipeline as a player's do (argument 1), with at
// most two frames in flight. Without that limit, llvmpipe queues dozens of
// frames and the figure counts how fast frames are handed over, not drawn.
//
// The module keeps the memory Mesa frees every frame (RetainFreedHeapMemory),
// for the whole process: the hand-written program runs both as a program
// that leaves the C library's defaults (second argument 0) and with the
// module's setting (1), which compares the drawing alone.
//
// The machine's noise is larger than the differences measured: compare the
// medians of runs interleaved at random,
//   vesta_bench_gl --benchmark_repetitions=15 --benchmark_min_time=0.3
//                  --benchmark_enable_random_interleaving=true
//                  --benchmark_report_aggregates_only=true
// or BM_ModuleBesideHandWritten, finished (0) and flushed (1): the two
// drawing in turns of a few frames each, in threads of their own, so that
// both meet the same phases of the machine; its counter `ratio` is the
// hand-written program's time over the module's.

#include <benchmark/benchmark.h>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <epoxy/gl.h>
#include <functional>
#include <malloc.h>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/HeapRetention.h"
#include "render/gl/EglContext.h"
#include "render/gl/GlModule.h"
#include "render/gl/GlPipeline.h"

namespace {

constexpr int Width = 640, Height = 480, Quads = 200;

struct Frame {
    vesta::gl::EglContext context{vesta::gl::ContextKind::Core33};
    GLuint framebuffer = 0, color = 0, texture = 0;

    Frame() {
        glGenRenderbuffers(1, &color);
        glBindRenderbuffer(GL_RENDERBUFFER, color);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, Width, Height);
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, color);
        glViewport(0, 0, Width, Height);
        std::vector<std::uint32_t> texels(64 * 64);
        for (std::size_t i = 0; i < texels.size(); ++i) {
            texels[i] = 0x80000000u | static_cast<std::uint32_t>(i * 2654435761u >> 8);
        }
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 64, 64, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                     texels.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    }
    ~Frame() {
        glDeleteTextures(1, &texture);
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteRenderbuffers(1, &color);
    }
};

// Ends a frame as the benchmark's argument says. Flushed frames wait, as a
// player's swap does, until the frame two before has been drawn.
class FrameEnd {
public:
    explicit FrameEnd(const benchmark::State& bench) : FrameEnd(bench.range(0) == 0) {}
    explicit FrameEnd(bool finish) : m_finish(finish) {}
    ~FrameEnd() {
        for (GLsync fence : m_inFlight) {
            if (fence) {
                glDeleteSync(fence);
            }
        }
    }
    FrameEnd(const FrameEnd&) = delete;
    FrameEnd& operator=(const FrameEnd&) = delete;

    void operator()() {
        if (m_finish) {
            glFinish();
            return;
        }
        GLsync& slot = m_inFlight[m_next];
        if (slot) {
            glClientWaitSync(slot, GL_SYNC_FLUSH_COMMANDS_BIT, GL_TIMEOUT_IGNORED);
            glDeleteSync(slot);
        }
        slot = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
        glFlush();
        m_next = (m_next + 1) % kFramesInFlight;
    }

private:
    static constexpr int kFramesInFlight = 2;
    bool m_finish;
    GLsync m_inFlight[kFramesInFlight] = {};
    int m_next = 0;
};

// What a program that never sets it has: the C library's defaults. glibc
// no longer adjusts them itself once set, which for this load changes
// nothing: all of Mesa's blocks lie under the default mapping threshold.
void LeaveHeapAsDefault() {
    constexpr int kDefaultThreshold = 128 * 1024;
    mallopt(M_TRIM_THRESHOLD, kDefaultThreshold);
    mallopt(M_MMAP_THRESHOLD, kDefaultThreshold);
}

// Quad i: 1/16 of the screen, pixel coordinates, placed on a 4 x 4 grid.
// `centre` is where the coordinates put a pixel's centre: the module's
// (Direct3D's) on integers, GL's half a pixel further. Both then cover the
// same pixels and sample the texture at the same places: the same picture.
void quad(int i, vesta::RenderVertex out[4], float centre) {
    const float x = static_cast<float>(i % 4) * 160.0f - centre,
                y = static_cast<float>(i / 4 % 4) * 120.0f - centre;
    const float xs[2] = {x, x + 160.0f}, ys[2] = {y, y + 120.0f};
    for (int k = 0; k < 4; ++k) {
        out[k] = {xs[k & 1],
                  ys[k >> 1],
                  0.5f,
                  0,
                  0,
                  -1,
                  0xC0FFFFFFu,
                  static_cast<float>(k & 1),
                  static_cast<float>(k >> 1),
                  0,
                  0};
    }
}

vesta::Matrix4 pixelProjection() {
    vesta::Matrix4 m;
    m.m[0][0] = 2.0f / Width;
    m.m[1][1] = -2.0f / Height;
    m.m[3][0] = -1.0f;
    m.m[3][1] = 1.0f;
    return m;
}

void BM_GlPipeline(benchmark::State& bench) {
    vesta::RetainFreedHeapMemory();
    Frame frame;
    vesta::gl::GlPipeline pipeline;
    auto& s = pipeline.State();
    s.viewport = {0, 0, Width, Height, 0, 1};
    s.projection = pixelProjection();
    s.cull = vesta::CullMode::None;
    s.depth.enabled = false;
    pipeline.Textures()[0] = {frame.texture, false};
    s.stages[0].filter = vesta::TextureFilter::Linear;
    s.stages[0].alphaOp = vesta::AlphaOp::Modulate;
    s.stages[0].alphaArg2 = vesta::AlphaArg::Diffuse;
    vesta::RenderVertex vertices[4];
    FrameEnd endFrame(bench);
    for (auto _ : bench) {
        pipeline.Clear(true, false, false, 0xFF000000, 1.0f, 0);
        for (int i = 0; i < Quads; ++i) {
            s.blend = {true, vesta::BlendFactor::SrcAlpha,
                       i % 2 ? vesta::BlendFactor::One : vesta::BlendFactor::InvSrcAlpha};
            s.textureFactor = 0xFF000000u | static_cast<std::uint32_t>(i);
            quad(i, vertices, 0.5f);
            pipeline.Draw(vesta::PrimitiveType::TriangleStrip, 4, vertices);
        }
        endFrame();
    }
    bench.counters["fps"] =
        benchmark::Counter(static_cast<double>(bench.iterations()), benchmark::Counter::kIsRate);
}

// The same load as a 2D layer hands it to the render module: texture, blend
// and texture factor set through the module's operations before every strip.
class ModuleLoad {
public:
    ModuleLoad() {
        vesta::RenderDriver& driver = m_module.GetDriver(0);
        m_module.SelectDriver(&driver);
        m_module.SelectDevice(driver.devices.at(0).get());
        m_module.Initialize(nullptr, false, Width, Height, 32);
        m_module.SetClearColor(0, 0, 0, 0);
        std::vector<std::uint8_t> texels(64 * 64 * 4);
        for (std::size_t i = 0; i < texels.size() / 4; ++i) {
            const std::uint32_t value =
                0x80000000u | static_cast<std::uint32_t>(i * 2654435761u >> 8);
            std::memcpy(&texels[i * 4], &value, 4);
        }
        m_texture = m_module.CreateTexture();
        m_texture->Upload(texels.data(), 64, 64, true, false);
        m_module.SetProjectionMatrix(pixelProjection());
        m_module.SetDepthTest(false);
        m_module.SetTextureFiltering(0, true);
        m_module.SetAlphaOp(0, vesta::AlphaOp::Modulate);
        m_module.SetAlphaArg2(0, vesta::AlphaArg::Diffuse);
        m_module.SetAlphaBlend(true);
        m_module.SetSrcBlend(vesta::BlendFactor::SrcAlpha);
    }

    void Draw() {
        vesta::RenderVertex vertices[4];
        m_module.BeginFrame();
        m_module.Clear(0);
        for (int i = 0; i < Quads; ++i) {
            m_module.SetTexture(0, m_texture);
            m_module.SetDestBlend(i % 2 ? vesta::BlendFactor::One
                                        : vesta::BlendFactor::InvSrcAlpha);
            m_module.SetTextureFactor(0xFF000000u | static_cast<std::uint32_t>(i));
            quad(i, vertices, 0.5f);
            m_module.Draw(vesta::PrimitiveType::TriangleStrip, 4, vertices);
        }
        m_module.EndFrame();
        m_module.Present(0);
    }

private:
    vesta::GlModule m_module;
    vesta::Texture* m_texture = nullptr;
};

void BM_RenderModule(benchmark::State& bench) {
    ModuleLoad load;
    FrameEnd endFrame(bench);
    for (auto _ : bench) {
        load.Draw();
        endFrame();
    }
    bench.counters["fps"] =
        benchmark::Counter(static_cast<double>(bench.iterations()), benchmark::Counter::kIsRate);
}

const char* handVertex = R"(#version 330 core
layout(location = 0) in vec3 p; layout(location = 2) in vec4 c; layout(location = 3) in vec2 t;
out vec4 vc; out vec2 vt;
void main() { gl_Position = vec4(p.x / 320.0 - 1.0, p.y / 240.0 - 1.0, 0.0, 1.0); vc = c; vt = t; }
)";
const char* handFragment = R"(#version 330 core
uniform sampler2D s; in vec4 vc; in vec2 vt; out vec4 o;
void main() { o = texture(s, vt) * vc; }
)";

GLuint handProgram() {
    const GLuint program = glCreateProgram();
    for (auto [type, text] :
         {std::pair{GL_VERTEX_SHADER, handVertex}, {GL_FRAGMENT_SHADER, handFragment}}) {
        const GLuint shader = glCreateShader(type);
        glShaderSource(shader, 1, &text, nullptr);
        glCompileShader(shader);
        glAttachShader(program, shader);
        glDeleteShader(shader);
    }
    glLinkProgram(program);
    return program;
}

// Uploads the frame's quads at once, then sets the blend and draws each.
class HandWrittenLoad {
public:
    HandWrittenLoad() : m_program(handProgram()), m_vertices(4 * Quads) {
        glUseProgram(m_program);
        glGenVertexArrays(1, &m_array);
        glBindVertexArray(m_array);
        glGenBuffers(1, &m_buffer);
        glBindBuffer(GL_ARRAY_BUFFER, m_buffer);
        glBufferData(GL_ARRAY_BUFFER, sizeof(vesta::RenderVertex) * 4 * Quads, nullptr,
                     GL_STREAM_DRAW);
        const GLsizei stride = sizeof(vesta::RenderVertex);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, nullptr);
        glEnableVertexAttribArray(2);
        glVertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                              reinterpret_cast<const void*>(24));
        glEnableVertexAttribArray(3);
        glVertexAttribPointer(3, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(28));
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glEnable(GL_BLEND);
    }
    ~HandWrittenLoad() {
        glDeleteBuffers(1, &m_buffer);
        glDeleteVertexArrays(1, &m_array);
        glDeleteProgram(m_program);
    }
    HandWrittenLoad(const HandWrittenLoad&) = delete;
    HandWrittenLoad& operator=(const HandWrittenLoad&) = delete;

    void Draw() {
        glClear(GL_COLOR_BUFFER_BIT);
        for (int i = 0; i < Quads; ++i) {
            quad(i, &m_vertices[static_cast<std::size_t>(i) * 4], 0.0f);
        }
        glBufferData(GL_ARRAY_BUFFER, sizeof(vesta::RenderVertex) * 4 * Quads, m_vertices.data(),
                     GL_STREAM_DRAW);
        for (int i = 0; i < Quads; ++i) {
            glBlendFunc(GL_SRC_ALPHA, i % 2 ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
            glDrawArrays(GL_TRIANGLE_STRIP, i * 4, 4);
        }
    }

private:
    Frame m_frame;
    GLuint m_program;
    GLuint m_array = 0, m_buffer = 0;
    std::vector<vesta::RenderVertex> m_vertices;
};

void BM_HandWritten(benchmark::State& bench) {
    if (bench.range(1) == 0) {
        LeaveHeapAsDefault();
    } else {
        vesta::RetainFreedHeapMemory();
    }
    HandWrittenLoad load;
    FrameEnd endFrame(bench);
    for (auto _ : bench) {
        load.Draw();
        endFrame();
    }
    bench.counters["fps"] =
        benchmark::Counter(static_cast<double>(bench.iterations()), benchmark::Counter::kIsRate);
}

// Draws a load in a thread of its own (its context current there), a turn
// of frames at a time (each finished, or only flushed), each turn drawn to
// the end.
class TurnTaker {
public:
    template <typename Load>
    static std::unique_ptr<TurnTaker> For(bool finish) {
        auto taker = std::make_unique<TurnTaker>();
        taker->m_thread = std::thread([t = taker.get(), finish] {
            Load load;
            t->serve([&load] { load.Draw(); }, finish);
        });
        return taker;
    }
    ~TurnTaker() {
        {
            const std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }

    // Seconds the turn of `frames` took.
    double Turn(int frames) {
        std::unique_lock lock(m_mutex);
        m_frames = frames;
        m_wake.notify_all();
        m_wake.wait(lock, [this] { return m_frames == 0; });
        return m_seconds;
    }

private:
    void serve(const std::function<void()>& draw, bool finish) {
        FrameEnd endFrame(finish);
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_stop || m_frames > 0; });
            if (m_stop) {
                return;
            }
            const auto start = std::chrono::steady_clock::now();
            for (int i = 0; i < m_frames; ++i) {
                draw();
                endFrame();
            }
            glFinish();
            m_seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            m_frames = 0;
            m_wake.notify_all();
        }
    }

    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    int m_frames = 0;
    double m_seconds = 0.0;
    bool m_stop = false;
};

// Frames of the module and of the hand-written program in turns, which
// starts alternating: finished (0) or flushed (1). Both run with the module's
// heap setting, since the process has one.
void BM_ModuleBesideHandWritten(benchmark::State& bench) {
    constexpr int kFramesATurn = 8;
    const bool finish = bench.range(0) == 0;
    auto module = TurnTaker::For<ModuleLoad>(finish);
    auto hand = TurnTaker::For<HandWrittenLoad>(finish);
    double moduleSeconds = 0.0, handSeconds = 0.0;
    bool moduleFirst = true;
    for (auto _ : bench) {
        const double first = (moduleFirst ? *module : *hand).Turn(kFramesATurn);
        const double second = (moduleFirst ? *hand : *module).Turn(kFramesATurn);
        const double moduleTurn = moduleFirst ? first : second;
        moduleSeconds += moduleTurn;
        handSeconds += moduleFirst ? second : first;
        moduleFirst = !moduleFirst;
        bench.SetIterationTime(moduleTurn / kFramesATurn);
    }
    bench.counters["ratio"] = handSeconds / moduleSeconds;
    const double frames = static_cast<double>(bench.iterations()) * kFramesATurn;
    bench.counters["hand_ms"] = 1000.0 * handSeconds / frames;
}

BENCHMARK(BM_GlPipeline)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RenderModule)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_HandWritten)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ModuleBesideHandWritten)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

}  // namespace

BENCHMARK_MAIN();
