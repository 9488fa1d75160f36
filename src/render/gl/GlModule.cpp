#include "render/gl/GlModule.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "fs/DataFile.h"
#include "log/Log.h"
#include "render/ModuleRegistry.h"
#include "render/gl/GlDrivers.h"
#include "render/gl/GlResources.h"
#include "render/gl/GlTextPrinter.h"

namespace vesta {
namespace {

constexpr int kDepthBits = 24;

// Software rendering keeps textures in system memory: what it may still take.
double availableTextureMemoryKb() {
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    double value = 0.0;
    std::string unit;
    while (meminfo >> key >> value >> unit) {
        if (key == "MemAvailable:") {
            return value;
        }
    }
    return 0.0;
}

}  // namespace

GlModule::GlModule() {
    for (auto& driver : BuildDrivers(QueryDisplays(), SoftwareRasteriserInstalled())) {
        AddDriver(std::move(driver));
    }
}

GlModule::~GlModule() {
    releaseResources();
    m_pipeline.reset();
    m_frame.reset();
    for (const auto& [edge, buffer] : m_cubeDepthBuffers) {
        glDeleteRenderbuffers(1, &buffer);
    }
    m_context.reset();
    LogPrintf("OpenGL Release done successfully");
}

bool GlModule::Initialize(PlatformWindow* window, bool fullScreen, int width, int height,
                          int bitsPerPixel) {
    if (!m_selectedDriver) {
        RaiseError("No driver selected.");
    }
    if (!m_selectedDevice) {
        RaiseError("No device selected.");
    }
    if (width == 0) {
        if (!m_selectedMode) {
            RaiseError("No video mode selected.");
        }
        width = m_selectedMode->width;
        height = m_selectedMode->height;
        bitsPerPixel = m_selectedMode->bitsPerPixel;
    } else {
        m_requestedMode = {width, height, bitsPerPixel, -1};
        SelectVideoMode(&m_requestedMode);
    }
    m_fullScreen = fullScreen;
    m_hardware = m_selectedDeviceIndex != kDeviceRef;
    const int colorBits = bitsPerPixel == 16 ? 16 : 32;
    createContext(window, colorBits, kDepthBits);
    m_frame = std::make_unique<GlFrame>(width, height, colorBits);
    if (!m_frame->Complete()) {
        RaiseError("Unable to create device (0x%08X)(%s)", glGetError(),
                   "The frame buffer of this size and depth cannot be drawn into. ");
    }
    LogPrintf("Using %dx%dx%dx%dz", width, height, colorBits, kDepthBits);
    m_context->SetSwapInterval(m_vsync ? 1 : 0);
    LogPrintf("%s VSync.", m_vsync ? "Enabled" : "Disabled");
    LogPrintf("Available TexMem : %.2f KB", availableTextureMemoryKb());

    m_pipeline = std::make_unique<gl::GlPipeline>();
    m_pipeline->State() = m_earlyState;
    m_state = &m_pipeline->State();
    setBackBuffer(width, height, colorBits);
    if (colorBits == 16) {
        setFormatMasks(0xF800, 0x07E0, 0x001F, 16);
    } else {
        setFormatMasks(0xFF0000, 0xFF00, 0xFF, 32);
    }
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &m_maxTextureWidth);
    m_stencil = true;
    m_cubeMaps = true;
    setInitialState();
    BindTarget(0, width, height);
    logCapabilities();
    return true;
}

void GlModule::createContext(PlatformWindow* window, int colorBits, int depthBits) {
    if (!m_hardware) {
        // Mesa's software rasteriser, whatever the system's driver is.
        setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    }
    LogPrintf("Querying for %dx%dx%dx%dz...",
              m_requestedMode.width ? m_requestedMode.width : m_selectedMode->width,
              m_requestedMode.width ? m_requestedMode.height : m_selectedMode->height, colorBits,
              depthBits);
    GlContextError error;
    m_context = window ? CreateWindowContext(*window, error) : CreateHeadlessContext(error);
    if (!m_context) {
        RaiseError("Unable to create device (0x%08X)(%s)", error.code, error.text.c_str());
    }
}

void GlModule::setInitialState() {
    gl::PipelineState& state = *m_state;
    state.depth.enabled = true;
    state.lighting = false;
    state.cull = CullMode::None;
    state.ambient = {};
    for (gl::TextureStage& stage : state.stages) {
        stage.filtering = m_hardware;
    }
    state.stages[0].colorOp = ColorOp::Modulate;
    state.stages[0].colorArg1 = ColorArg::Texture;
    state.stages[0].colorArg2 = ColorArg::Diffuse;
    state.fog.table = true;
}

void GlModule::logCapabilities() const {
    LogPrintf("Using %s acceleration.", m_hardware ? "Hardware" : "Software");
    LogPrintf("Using Fog Table.");
    if (!m_squareTexturesOnly) {
        LogPrintf("Can use non-square textures.");
    }
    if (m_stencil) {
        LogPrintf("Using Stencil Buffer.");
    }
    if (m_cubeMaps) {
        LogPrintf("Using Cubic Mapping.");
    }
    if (m_textureCompression) {
        LogPrintf("Using Texture compression.");
    }
    LogPrintf("Renderer : %s", m_context->Renderer().c_str());
    LogPrintf("Vertex primitive size : %d Bytes.", static_cast<int>(sizeof(RenderVertex)));
}

bool GlModule::Clear(std::uint32_t flags) {
    const bool color = m_colorClear && (flags & 1) == 0;
    const gl::Viewport& area = m_state->viewport;
    m_frame->BeforeClear(color, area.x, area.y, area.width, area.height);
    // The frame has no alpha of its own to keep: cleared opaque, as an X8R8G8B8 one reads.
    m_pipeline->Clear(color, true, m_stencil, 0xFF000000u | m_clearColor, 1.0f, 0);
    return true;
}

void GlModule::beginScene() {
    m_inScene = true;
}

void GlModule::EndFrame() {
    m_inScene = false;
}

bool GlModule::Present(int) {
    if (!m_context->Headless()) {
        int width = 0, height = 0;
        m_context->DrawableSize(width, height);
        m_frame->PresentTo(width, height);
        m_context->SwapBuffers();
        m_pipeline->Invalidate();
    } else {
        glFlush();
    }
    return true;
}

void GlModule::BindTarget(unsigned framebuffer, int width, int height) {
    if (framebuffer == 0) {
        m_frame->Bind();
    } else {
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    }
    // A new target is drawn into whole, as a device's SetRenderTarget does.
    m_state->viewport = {0, 0, width, height, 0.0f, 1.0f};
    m_pipeline->Invalidate();
}

void GlModule::SetTargetFramebuffer(unsigned texture, unsigned framebuffer) {
    if (framebuffer) {
        m_targetFramebuffers[texture] = framebuffer;
    } else {
        m_targetFramebuffers.erase(texture);
    }
}

unsigned GlModule::TargetFramebuffer(unsigned texture) const {
    const auto found = m_targetFramebuffers.find(texture);
    return found == m_targetFramebuffers.end() ? 0 : found->second;
}

unsigned GlModule::CubeDepthBuffer(int edge) {
    // One per edge: cube maps of different sizes cannot share one depth buffer.
    auto [entry, created] = m_cubeDepthBuffers.try_emplace(edge, 0u);
    if (created) {
        glGenRenderbuffers(1, &entry->second);
        glBindRenderbuffer(GL_RENDERBUFFER, entry->second);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, edge, edge);
    }
    return entry->second;
}

void GlModule::SetRenderTarget(Texture* texture, int) {
    if (!texture) {
        BindTarget(0, m_width, m_height);
        return;
    }
    auto& target = static_cast<GlTexture&>(*texture);
    BindTarget(target.Framebuffer(), target.Width(), target.Height());
}

std::uint8_t* GlModule::LockBackBuffer(int& pitch) {
    return m_frame->Lock(pitch);
}

void GlModule::UnlockBackBuffer() {
    m_frame->Unlock();
    m_pipeline->Invalidate();
}

bool GlModule::QueueFrameCopy() {
    return m_frame && m_frame->QueueCopy();
}

const std::uint8_t* GlModule::ReadFrameCopy(int& pitch) {
    return m_frame ? m_frame->ReadCopy(pitch) : nullptr;
}

MeshBuffer* GlModule::CreateMeshBuffer() {
    return adoptMeshBuffer(std::make_unique<GlMeshBuffer>(*this));
}

Texture* GlModule::CreateTexture() {
    return adoptTexture(std::make_unique<GlTexture>(*this));
}

Surface2D* GlModule::CreateSurface2D() {
    return adoptSurface(std::make_unique<GlSurface>());
}

Font* GlModule::CreateTextPrinter(const std::string& name) {
    auto printer = std::make_unique<GlTextPrinter>(*this, name);
    m_pipeline->Invalidate();
    return adoptPrinter(std::move(printer));
}

void GlModule::DrawIndexed(PrimitiveType type, const std::vector<RenderVertex>& vertices,
                           const std::vector<std::uint16_t>& indices) {
    m_pipeline->DrawIndexed(type, vertices.data(), static_cast<int>(vertices.size()),
                            indices.data(), static_cast<int>(indices.size()));
}

void GlModule::Draw(PrimitiveType type, int vertexCount, const RenderVertex* vertices) {
    m_pipeline->Draw(type, vertexCount, vertices);
}

bool GlModule::IsPointVisible(const Vector3& position) {
    const Matrix4 combined = m_world * m_view * m_projection;
    changeStage(0, [](gl::TextureStage& s) {
        s.texture = {};
        s.colorOp = ColorOp::SelectArg1;
        s.colorArg1 = ColorArg::Texture;
        s.alphaOp = AlphaOp::Disable;
    });
    m_fogEnabled = false;
    m_state->fog.enabled = false;
    m_state->depth.enabled = true;
    m_state->blend.enabled = false;

    const float in[4] = {position.x, position.y, position.z, 1.0f};
    float out[4] = {};
    for (int column = 0; column < 4; ++column) {
        for (int k = 0; k < 4; ++k) {
            out[column] += in[k] * combined.m[k][column];
        }
    }
    const float w = out[3];
    const int x = static_cast<int>((1.0f + out[0] / w) * static_cast<float>(m_viewport.width) / 2);
    const int y = static_cast<int>((1.0f - out[1] / w) * static_cast<float>(m_viewport.height) / 2);
    const float z = out[2] / w;
    const auto finish = [this](bool visible) {
        SetFogEnable(m_fogEnabled);
        changeStage(0, [](gl::TextureStage& s) { s.colorArg1 = ColorArg::Texture; });
        return visible;
    };
    if (x < 0 || y < 0 || x >= m_viewport.width || y >= m_viewport.height) {
        return finish(false);
    }
    const std::uint16_t before = m_frame->ReadPixel16(x, y);
    m_pipeline->DrawPretransformedPoint(static_cast<float>(x), static_cast<float>(y), z);
    const std::uint16_t after = m_frame->ReadPixel16(x, y);
    m_fogEnabled = false;
    return finish(before != after);
}

RenderModule::ShaderHandle GlModule::LoadVertexShader(const std::string& fileName) {
    if (const auto known = m_shaders.find(fileName); known != m_shaders.end()) {
        return known->second;
    }
    DataFile file(fileName);
    if (!file.IsOpen()) {
        RaiseError("VertexShader : Failed to open file %s", fileName.c_str());
    }
    // The program itself is translated by the effect that uses it; until then
    // its handle draws with the fixed pipeline.
    const ShaderHandle handle = static_cast<ShaderHandle>(m_shaders.size() + 1);
    m_shaders.emplace(fileName, handle);
    return handle;
}

void GlModule::SetVertexShaderConstant(int, const float*, int) {}

void GlModule::SetVertexShader(ShaderHandle) {}

void RegisterGlModule() {
    RegisterInternalModule({GlModule::kDescription, {8, 0, 0}},
                           [] { return std::make_unique<GlModule>(); });
}

}  // namespace vesta
