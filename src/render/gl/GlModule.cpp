#include "render/gl/GlModule.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "log/Log.h"
#include "platform/HeapRetention.h"
#include "render/ModuleRegistry.h"
#include "render/gl/FrameAlpha.h"
#include "render/gl/GlDrivers.h"
#include "render/gl/GlShader.h"
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

    m_pipeline = std::make_unique<gl::GlPipeline>(&State());
    m_pipeline->SetAlphaWrites(FrameAlphaWrites);
    m_pipeline->SetDepthAttacher([this] { attachTargetDepth(); });
    m_pipeline->EnterTarget(m_frameDepth);
    setBackBuffer(width, height, colorBits);
    if (colorBits == 16) {
        setFormatMasks(0xF800, 0x07E0, 0x001F, 16);
    } else {
        setFormatMasks(0xFF0000, 0xFF00, 0xFF, 32);
    }
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &m_maxTextureWidth);
    m_stencil = true;
    m_cubeMaps = true;
    m_anisotropic = UseAnisotropy(m_context->Renderer(), m_pipeline->MaxAnisotropy());
    setInitialState();
    m_frame->Bind();
    logCapabilities();
    return true;
}

void GlModule::createContext(PlatformWindow* window, int colorBits, int depthBits) {
    // Mesa's software rasteriser records each frame's commands into memory it
    // allocates and frees again every frame, a block of 64 KiB for every
    // change of state. When a frame is drawn to the end before the next one
    // starts (a read-back, a swap that waits), that memory went back to the
    // kernel and faulted in again: at 200 changes a frame, a sixth of it.
    RetainFreedHeapMemory();
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
    SetDepthTest(true);
    SetLighting(false);
    SetCullMode(CullMode::None);
    SetAmbient(0, 0.0f, 0.0f, 0.0f);
    SetColorOp(0, ColorOp::Modulate);
    SetColorArg1(0, ColorArg::Texture);
    SetColorArg2(0, ColorArg::Diffuse);
    // Stages 0 and 1 start bilinear on hardware, as the device is set up;
    // anisotropy comes only with SetTextureFiltering.
    const bool anisotropic = m_anisotropic;
    m_anisotropic = false;
    SetTextureFiltering(0, true);
    SetTextureFiltering(1, true);
    m_anisotropic = anisotropic;
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

// --- frames and targets ----------------------------------------------------------

void GlModule::beginScene() {
    m_inScene = true;
}

void GlModule::endScene() {
    m_inScene = false;
}

void GlModule::clearTarget(const ClearRequest& request) {
    // A frame that is not cleared whole starts from the last one.
    const Viewport& area = State().viewport;
    m_frame->BeforeClear(request.color, area.x, area.y, area.width, area.height);
    m_pipeline->Clear(request.color, request.depth, request.stencil, request.argb, 1.0f, 0);
}

void GlModule::presentFrame() {
    if (!m_context->Headless()) {
        int width = 0, height = 0;
        m_context->DrawableSize(width, height);
        m_frame->PresentTo(width, height);
        m_context->SwapBuffers();
        m_pipeline->Invalidate();
    } else {
        glFlush();
    }
}

void GlModule::selectRenderTarget(TextureHandle target, int face) {
    // A depth clear still waiting belongs to the target being left.
    m_pipeline->LeaveTarget(targetDepth(m_target));
    m_target = target;
    if (!target) {
        m_frame->Bind();
        m_pipeline->EnterTarget(m_frameDepth);
        m_pipeline->Invalidate();
        return;
    }
    GlTexture& slot = textureSlot(target);
    glBindFramebuffer(GL_FRAMEBUFFER, slot.framebuffer);
    if (slot.cube) {
        glFramebufferTexture2D(
            GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0,
            static_cast<GLenum>(GL_TEXTURE_CUBE_MAP_POSITIVE_X + std::max(face, 0)), slot.texture,
            0);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                                  cubeDepthBuffer(slot.edge));
        if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
            RaiseError("Cannot CubeMap DepthBuffer.");
        }
    }
    m_pipeline->EnterTarget(slot.targetDepth);
    m_pipeline->Invalidate();
}

gl::TargetDepth& GlModule::targetDepth(TextureHandle target) {
    if (!target) {
        return m_frameDepth;
    }
    // A target released while bound keeps nothing, and its slot may hold
    // another texture by now.
    return DeviceTexture(target) ? textureSlot(target).targetDepth : m_releasedTargetDepth;
}

void GlModule::attachTargetDepth() {
    if (!m_target) {
        m_frame->AttachDepth();
        return;
    }
    if (!DeviceTexture(m_target)) {
        return;
    }
    GlTexture& slot = textureSlot(m_target);
    if (slot.cube || slot.depth != 0) {
        return;  // a cube face has its own
    }
    glGenRenderbuffers(1, &slot.depth);
    glBindRenderbuffer(GL_RENDERBUFFER, slot.depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, slot.edge, slot.edge);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, slot.depth);
}

unsigned GlModule::cubeDepthBuffer(int edge) {
    // One per edge: cube maps of different sizes cannot share one depth buffer.
    auto [entry, created] = m_cubeDepthBuffers.try_emplace(edge, 0u);
    if (created) {
        glGenRenderbuffers(1, &entry->second);
        glBindRenderbuffer(GL_RENDERBUFFER, entry->second);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, edge, edge);
    }
    return entry->second;
}

std::uint8_t* GlModule::lockFrame(int& pitch) {
    return m_frame->Lock(pitch);
}

void GlModule::unlockFrame() {
    m_frame->Unlock();
    m_pipeline->Invalidate();
}

bool GlModule::queueFrameCopy() {
    return m_frame && m_frame->QueueCopy();
}

const std::uint8_t* GlModule::readFrameCopy(int& pitch) {
    return m_frame ? m_frame->ReadCopy(pitch) : nullptr;
}

std::uint16_t GlModule::readFramePixel16(int x, int y) {
    return m_frame->ReadPixel16(x, y);
}

// --- drawing ----------------------------------------------------------------------

void GlModule::bindStageTextures() {
    gl::StageTextures& textures = m_pipeline->Textures();
    const RenderState& state = State();
    for (int stage = 0; stage < kMaxTextureStages; ++stage) {
        const TextureHandle handle = state.stages[stage].texture;
        if (!handle) {
            textures[stage] = {};
            continue;
        }
        const GlTexture& slot = textureSlot(handle);
        textures[stage] = {slot.texture, slot.cube};
    }
}

void GlModule::drawPrimitives(const DrawCall& call) {
    bindStageTextures();
    if (call.buffer) {
        const GlBuffer& buffer = bufferSlot(call.buffer);
        m_pipeline->DrawBuffer(call.primitive, call.layout, buffer.vertices, 0,
                               call.indexed ? buffer.indices : 0, call.count);
    } else if (call.layout == VertexLayout::Pretransformed) {
        const auto* point = static_cast<const RenderVertex*>(call.vertices);
        m_pipeline->DrawPretransformedPoint(point->x, point->y, point->z);
    } else if (call.indexed) {
        m_pipeline->DrawIndexed(call.primitive, static_cast<const RenderVertex*>(call.vertices),
                                call.vertexCount, call.indices, call.count);
    } else {
        m_pipeline->Draw(call.primitive, call.count,
                         static_cast<const RenderVertex*>(call.vertices));
    }
}

// --- resources ----------------------------------------------------------------------

bool GlModule::createDeviceShader(ShaderHandleId handle, const VertexShaderProgram& program,
                                  std::string& reason) {
    if (!m_pipeline) {
        reason = "the device is not initialised";
        return false;
    }
    try {
        m_pipeline->AddVertexProgram(handle.id, program);
    } catch (const gl::ShaderError& error) {
        // A checked stream always translates; the driver's text is for the log.
        LogPrintf("%s", error.what());
        reason = "the OpenGL driver refused its translation";
        return false;
    }
    return true;
}

GlModule::GlTexture& GlModule::textureSlot(TextureHandle handle) {
    if (handle.Index() >= m_textures.size()) {
        m_textures.resize(handle.Index() + 1);
    }
    return m_textures[handle.Index()];
}

GlModule::GlBuffer& GlModule::bufferSlot(MeshHandle handle) {
    if (handle.Index() >= m_buffers.size()) {
        m_buffers.resize(handle.Index() + 1);
    }
    return m_buffers[handle.Index()];
}

bool GlModule::createTargetStorage(GlTexture& slot, int size) {
    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
    glGenFramebuffers(1, &slot.framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, slot.framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, slot.texture, 0);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (complete) {
        // A new target starts black with its depth cleared: effects that
        // clear its depth only after drawing into it would otherwise lose
        // their first picture to whatever the buffer held. The depth clear
        // waits for the depth buffer, which the first need attaches.
        slot.edge = size;
        slot.targetDepth = {false, {true, false, {0, 0, size, size, 0.0f, 1.0f}, 1.0f, 0}};
        glDisable(GL_SCISSOR_TEST);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        m_pipeline->Invalidate();
    }
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
    return complete;
}

bool GlModule::createDeviceTexture(TextureHandle handle, const DeviceTextureDesc& desc,
                                   const std::uint8_t* bgra) {
    GlTexture& slot = textureSlot(handle);
    slot = {};
    // Render targets have the desktop's X8R8G8B8 format: no alpha of their
    // own, so their alpha reads 1 when blended with or sampled.
    const GLint format = desc.kind == DeviceTextureKind::Picture ? GL_RGBA8 : GL_RGB8;
    glGenTextures(1, &slot.texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (desc.kind == DeviceTextureKind::CubeTarget) {
        slot.cube = true;
        slot.edge = desc.width;
        glBindTexture(GL_TEXTURE_CUBE_MAP, slot.texture);
        for (int face = 0; face < 6; ++face) {
            glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, format, desc.width, desc.width,
                         0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
        }
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAX_LEVEL, 0);
        glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
        glGenFramebuffers(1, &slot.framebuffer);
        m_pipeline->Invalidate();
        return true;
    }
    glBindTexture(GL_TEXTURE_2D, slot.texture);
    // Rows are stored top row first, so v = 0 is the top of the picture.
    glTexImage2D(GL_TEXTURE_2D, 0, format, desc.width, desc.height, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                 bgra);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    m_pipeline->Invalidate();
    if (desc.kind == DeviceTextureKind::RenderTarget && !createTargetStorage(slot, desc.width)) {
        releaseDeviceTexture(handle);
        return false;
    }
    return true;
}

void GlModule::uploadDeviceTexture(TextureHandle handle, const std::uint8_t* bgra) {
    const GlTexture& slot = textureSlot(handle);
    const DeviceTextureDesc* desc = DeviceTexture(handle);
    if (slot.cube || !desc) {
        return;
    }
    glBindTexture(GL_TEXTURE_2D, slot.texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, desc->width, desc->height, GL_BGRA, GL_UNSIGNED_BYTE,
                    bgra);
    glBindTexture(GL_TEXTURE_2D, 0);
    m_pipeline->Invalidate();
}

void GlModule::readDeviceTexture(TextureHandle handle, std::uint8_t* bgra) {
    const GlTexture& slot = textureSlot(handle);
    if (slot.cube) {
        return;
    }
    glBindTexture(GL_TEXTURE_2D, slot.texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_BYTE, bgra);
    glBindTexture(GL_TEXTURE_2D, 0);
    m_pipeline->Invalidate();
}

void GlModule::releaseDeviceTexture(TextureHandle handle) {
    GlTexture& slot = textureSlot(handle);
    glDeleteTextures(1, &slot.texture);
    glDeleteFramebuffers(1, &slot.framebuffer);
    glDeleteRenderbuffers(1, &slot.depth);
    slot = {};
    // A deleted name may still be bound to a stage unit.
    m_pipeline->Invalidate();
}

void GlModule::createDeviceBuffer(MeshHandle handle, std::size_t, int) {
    GlBuffer& slot = bufferSlot(handle);
    glGenBuffers(1, &slot.vertices);
    glGenBuffers(1, &slot.indices);
}

void GlModule::uploadDeviceVertices(MeshHandle handle, const void* data, std::size_t bytes) {
    glBindBuffer(GL_ARRAY_BUFFER, bufferSlot(handle).vertices);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(bytes), data, GL_DYNAMIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    m_pipeline->Invalidate();
}

void GlModule::uploadDeviceIndices(MeshHandle handle, const std::uint16_t* data, int count) {
    glBindBuffer(GL_COPY_WRITE_BUFFER, bufferSlot(handle).indices);
    glBufferData(GL_COPY_WRITE_BUFFER, static_cast<GLsizeiptr>(count * sizeof(std::uint16_t)), data,
                 GL_DYNAMIC_DRAW);
    glBindBuffer(GL_COPY_WRITE_BUFFER, 0);
}

void GlModule::releaseDeviceBuffer(MeshHandle handle) {
    GlBuffer& slot = bufferSlot(handle);
    glDeleteBuffers(1, &slot.vertices);
    glDeleteBuffers(1, &slot.indices);
    slot = {};
    m_pipeline->Invalidate();
}

std::unique_ptr<Font> GlModule::createDevicePrinter(const std::string& name) {
    auto printer = std::make_unique<GlTextPrinter>(*this, name);
    m_pipeline->Invalidate();
    return printer;
}

void RegisterGlModule() {
    RegisterInternalModule({GlModule::kDescription, {8, 0, 0}},
                           [] { return std::make_unique<GlModule>(); });
}

}  // namespace vesta
