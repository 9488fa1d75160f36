#include "render/RenderModule.h"

#include <algorithm>

#include "fs/DataFile.h"
#include "log/Log.h"
#include "platform/Clock.h"

namespace vesta {

RenderModule::RenderModule() {
    // Fog is always per pixel (the table path), with range fog on.
    m_state.fog.table = true;
    m_state.fog.range = true;
}

RenderModule::~RenderModule() = default;

void RenderModule::releaseResources() {
    m_fonts.clear();
    m_printers.Clear();
    for (Texture* texture : m_deferred.TakeAll()) {
        m_textures.Destroy(texture);
    }
    m_textures.Clear();
    m_meshBuffers.Clear();
    m_surfaces.Clear();
}

int RenderModule::GetDriverCount() const {
    return static_cast<int>(m_drivers.size());
}

RenderDriver& RenderModule::GetDriver(int index) {
    return *m_drivers.at(static_cast<std::size_t>(index));
}

void RenderModule::AddDriver(std::unique_ptr<RenderDriver> driver) {
    m_drivers.push_back(std::move(driver));
}

void RenderModule::SelectDriver(RenderDriver* driver) {
    m_selectedDriver = driver;
    m_selectedDriverIndex = driver ? driver->index : -1;
}

void RenderModule::SelectDevice(RenderDevice* device) {
    m_selectedDevice = device;
    m_selectedDeviceIndex = device ? device->index : -1;
}

void RenderModule::SelectVideoMode(const VideoMode* mode) {
    m_selectedMode = mode;
    m_selectedModeIndex = mode ? mode->index : -1;
}

// --- frame ------------------------------------------------------------------

bool RenderModule::Clear(std::uint32_t flags) {
    if (flags & 2) {
        endScene();
    }
    ClearRequest request;
    request.color = m_colorClear && (flags & 1) == 0;
    request.depth = true;
    request.stencil = m_stencil;
    // The frame has no alpha of its own to keep: cleared opaque, as an X8R8G8B8 one reads.
    request.argb = 0xFF000000u | m_clearColor;
    clearTarget(request);
    if (flags & 2) {
        beginScene();
    }
    return true;
}

void RenderModule::SetClearColor(float red, float green, float blue, float) {
    m_clearColor = PackColor(red, green, blue);
}

void RenderModule::BeginFrame() {
    if (Texture* texture = m_deferred.Step(static_cast<float>(TimeNow()))) {
        DestroyTexture(texture);
    }
    beginScene();
}

void RenderModule::EndFrame() {
    finishFrame();
    endScene();
}

bool RenderModule::Present(int) {
    presentFrame();
    return true;
}

void RenderModule::StoreRect(std::int32_t left, std::int32_t top, std::int32_t right,
                             std::int32_t bottom) {
    m_storedRect[0] = left;
    m_storedRect[1] = top;
    m_storedRect[2] = right;
    m_storedRect[3] = bottom;
}

// --- camera and transforms ----------------------------------------------------

void RenderModule::ApplyCamera() {
    SetViewMatrix(CameraViewMatrix(m_cameraPosition, m_cameraTarget, m_roll));
    if (const std::optional<Matrix4> projection =
            CameraProjectionMatrix(m_fieldOfView, m_nearPlane, m_farPlane, m_aspect)) {
        SetProjectionMatrix(*projection);
    }
}

void RenderModule::SetOrthographic(float width, float height, float nearPlane, float farPlane) {
    SetWorldMatrix(Matrix4::Identity());
    SetViewMatrix(Matrix4::Identity());
    SetProjectionMatrix(OrthographicMatrix(width, height, nearPlane, farPlane));
}

void RenderModule::SetViewport(float x, float y, float width, float height) {
    Viewport& viewport = edit(GlobalField::Viewport).viewport;
    if (width == 0.0f && height == 0.0f) {
        viewport = m_fullViewport;
    } else {
        const ViewportRect rect = PercentViewport(x, y, width, height, m_width, m_height);
        viewport = {rect.x, rect.y, rect.width, rect.height, viewport.minZ, viewport.maxZ};
    }
    m_aspect = static_cast<float>(viewport.height) / static_cast<float>(viewport.width);
}

void RenderModule::SetProjectionMatrix(const Matrix4& matrix) {
    edit(GlobalField::Projection).projection = matrix;
}

void RenderModule::SetViewMatrix(const Matrix4& matrix) {
    edit(GlobalField::View).view = matrix;
}

void RenderModule::SetWorldMatrix(const Matrix4& matrix) {
    edit(GlobalField::World).world = matrix;
}

// --- resources ----------------------------------------------------------------

MeshBuffer* RenderModule::CreateMeshBuffer() {
    return m_meshBuffers.Adopt(std::make_unique<MeshBuffer>(*this));
}

void RenderModule::DestroyMeshBuffer(MeshBuffer* buffer) {
    m_meshBuffers.Destroy(buffer);
}

Texture* RenderModule::CreateTexture() {
    return m_textures.Adopt(std::make_unique<Texture>(*this));
}

Surface2D* RenderModule::CreateSurface2D() {
    return m_surfaces.Adopt(std::make_unique<Surface2D>());
}

void RenderModule::DestroySurface2D(Surface2D* surface) {
    m_surfaces.Destroy(surface);
}

Font* RenderModule::CreateTextPrinter(const std::string& name) {
    return m_printers.Adopt(createDevicePrinter(name));
}

void RenderModule::DestroyTextPrinter(Font* font) {
    for (auto entry = m_fonts.begin(); entry != m_fonts.end();) {
        entry = entry->second == font ? m_fonts.erase(entry) : std::next(entry);
    }
    m_printers.Destroy(font);
}

int RenderModule::GetMaxTextureSize() const {
    return m_lowQualityTextures ? 512 : m_maxTextureWidth;
}

void RenderModule::DestroyAllTextures() {
    for (Texture* texture : m_deferred.TakeAll()) {
        DestroyTexture(texture);
    }
}

void RenderModule::DestroyTexture(Texture* texture) {
    // A pointer this module never handed out (or already destroyed) is only
    // reported: destroying it would corrupt memory.
    if (!m_textures.Destroy(texture)) {
        LogPrintf("Warning : Bad Texture pointer(0x%p) !!!", static_cast<void*>(texture));
    }
}

void RenderModule::ReleaseTexture(Texture* texture) {
    if (m_deferred.Enabled()) {
        m_deferred.Queue(texture, static_cast<float>(TimeNow()));
    } else {
        DestroyTexture(texture);
    }
}

void RenderModule::SetDeferredRelease(bool enabled, float interval) {
    m_deferred.SetEnabled(enabled, interval);
}

Font* RenderModule::GetFont(const std::string& name) {
    if (const auto found = m_fonts.find(name); found != m_fonts.end()) {
        return found->second;
    }
    Font* font = CreateTextPrinter(name);
    m_fonts.emplace(name, font);
    return font;
}

// --- device resources by handle ------------------------------------------------

TextureHandle RenderModule::allocateDeviceTexture(const DeviceTextureDesc& desc,
                                                  const std::uint8_t* bgra) {
    const TextureHandle handle = m_deviceTextures.Allocate(desc);
    if (!createDeviceTexture(handle, desc, bgra)) {
        m_deviceTextures.Release(handle);
        return {};
    }
    return handle;
}

void RenderModule::freeDeviceTexture(TextureHandle handle) {
    if (!m_deviceTextures.Contains(handle)) {
        LogPrintf("Warning : release of a stale texture handle (0x%08X) refused.", handle.id);
        return;
    }
    releaseDeviceTexture(handle);
    m_deviceTextures.Release(handle);
}

void RenderModule::updateDeviceTexture(TextureHandle handle, const std::uint8_t* bgra) {
    if (m_deviceTextures.Contains(handle)) {
        uploadDeviceTexture(handle, bgra);
    }
}

void RenderModule::fetchDeviceTexture(TextureHandle handle, std::uint8_t* bgra) {
    if (m_deviceTextures.Contains(handle)) {
        readDeviceTexture(handle, bgra);
    }
}

MeshHandle RenderModule::allocateDeviceBuffer(std::size_t vertexBytes, int indexCount) {
    const MeshHandle handle = m_deviceBuffers.Allocate(vertexBytes);
    createDeviceBuffer(handle, vertexBytes, indexCount);
    return handle;
}

void RenderModule::freeDeviceBuffer(MeshHandle handle) {
    if (m_deviceBuffers.Release(handle)) {
        releaseDeviceBuffer(handle);
    } else {
        LogPrintf("Warning : release of a stale mesh buffer handle (0x%08X) refused.", handle.id);
    }
}

void RenderModule::updateDeviceVertices(MeshHandle handle, const void* data, std::size_t bytes) {
    if (m_deviceBuffers.Contains(handle)) {
        uploadDeviceVertices(handle, data, bytes);
    }
}

void RenderModule::updateDeviceIndices(MeshHandle handle, const std::uint16_t* data, int count) {
    if (m_deviceBuffers.Contains(handle)) {
        uploadDeviceIndices(handle, data, count);
    }
}

// --- drawing ------------------------------------------------------------------

void RenderModule::dropReleasedTextures() {
    for (int stage = 0; stage < kMaxTextureStages; ++stage) {
        TextureHandle& texture = m_state.stages[stage].texture;
        if (texture && !m_deviceTextures.Contains(texture)) {
            LogPrintf("Warning : the texture of stage %d was released; drawn without it.", stage);
            texture = {};
        }
    }
}

void RenderModule::submit(DrawCall& call) {
    dropReleasedTextures();
    if (!m_drawingSkipped) {
        drawPrimitives(call);
    }
}

void RenderModule::Draw(PrimitiveType type, int vertexCount, const RenderVertex* vertices) {
    DrawCall call;
    call.primitive = type;
    call.vertices = vertices;
    call.vertexCount = vertexCount;
    call.count = vertexCount;
    submit(call);
}

void RenderModule::DrawIndexed(PrimitiveType type, const std::vector<RenderVertex>& vertices,
                               const std::vector<std::uint16_t>& indices) {
    DrawCall call;
    call.primitive = type;
    call.vertices = vertices.data();
    call.vertexCount = static_cast<int>(vertices.size());
    call.indices = indices.data();
    call.indexed = true;
    call.count = static_cast<int>(indices.size());
    submit(call);
}

void RenderModule::drawBuffer(MeshHandle handle, PrimitiveType type, VertexLayout layout,
                              bool indexed, int count) {
    if (!m_deviceBuffers.Contains(handle)) {
        LogPrintf("Warning : draw of a stale mesh buffer handle (0x%08X) refused.", handle.id);
        return;
    }
    DrawCall call;
    call.primitive = type;
    call.layout = layout;
    call.buffer = handle;
    call.indexed = indexed;
    call.count = count;
    submit(call);
}

bool RenderModule::IsPointVisible(const Vector3& position) {
    const Matrix4 combined = m_state.world * m_state.view * m_state.projection;
    TextureStage& stage0 = m_state.stages[0];
    stage0.texture = {};
    stage0.colorOp = ColorOp::SelectArg1;
    stage0.colorArg1 = ColorArg::Texture;
    stage0.alphaOp = AlphaOp::Disable;
    m_state.fog.enabled = false;
    m_state.depth.enabled = true;
    m_state.blend.enabled = false;

    const float in[4] = {position.x, position.y, position.z, 1.0f};
    float out[4] = {};
    for (int column = 0; column < 4; ++column) {
        for (int k = 0; k < 4; ++k) {
            out[column] += in[k] * combined.m[k][column];
        }
    }
    const Viewport& viewport = m_state.viewport;
    const float w = out[3];
    const int x = static_cast<int>((1.0f + out[0] / w) * static_cast<float>(viewport.width) / 2);
    const int y = static_cast<int>((1.0f - out[1] / w) * static_cast<float>(viewport.height) / 2);
    const float z = out[2] / w;
    // The probe leaves fog off and stage 0 reading its (now absent) texture.
    const auto finish = [this](bool visible) {
        m_state.fog.enabled = false;
        m_state.stages[0].colorArg1 = ColorArg::Texture;
        return visible;
    };
    // Without drawing there is nothing to test against; reading the frame
    // would only wait for the device.
    if (m_drawingSkipped || x < 0 || y < 0 || x >= viewport.width || y >= viewport.height) {
        return finish(false);
    }
    const std::uint16_t before = readFramePixel16(x, y);
    const RenderVertex point{
        static_cast<float>(x), static_cast<float>(y), z, 0, 0, 0, 0xFFFFFFFFu, 0, 0, 0, 0};
    DrawCall call;
    call.primitive = PrimitiveType::PointList;
    call.layout = VertexLayout::Pretransformed;
    call.vertices = &point;
    call.vertexCount = 1;
    call.count = 1;
    drawPrimitives(call);
    const std::uint16_t after = readFramePixel16(x, y);
    return finish(before != after);
}

void RenderModule::SetRenderTarget(Texture* texture, int) {
    if (!texture) {
        selectRenderTarget({}, -1);
        m_state.viewport = {0, 0, m_width, m_height, 0.0f, 1.0f};
        return;
    }
    if (!m_deviceTextures.Contains(texture->Handle())) {
        LogPrintf("Warning : render target without a device texture refused.");
        return;
    }
    selectRenderTarget(texture->Handle(), -1);
    // A new target is drawn into whole.
    m_state.viewport = {0, 0, texture->Width(), texture->Height(), 0.0f, 1.0f};
}

void RenderModule::drawIntoCubeFace(TextureHandle cube, int face) {
    const DeviceTextureDesc* desc = m_deviceTextures.Get(cube);
    if (!desc || face < 0 || face >= 6) {
        return;
    }
    selectRenderTarget(cube, face);
    m_state.viewport = {0, 0, desc->width, desc->height, 0.0f, 1.0f};
    Clear(1);
}

// --- back buffer ----------------------------------------------------------------

std::uint8_t* RenderModule::LockBackBuffer(int& pitch) {
    return lockFrame(pitch);
}

void RenderModule::UnlockBackBuffer() {
    unlockFrame();
}

// --- vertex shaders ---------------------------------------------------------------

RenderModule::ShaderHandle RenderModule::LoadVertexShader(const std::string& fileName) {
    if (const auto known = m_shaders.find(fileName); known != m_shaders.end()) {
        return known->second;
    }
    DataFile file(fileName);
    if (!file.IsOpen()) {
        RaiseError("VertexShader : Failed to open file %s", fileName.c_str());
    }
    VertexShaderParse parsed = ParseVertexShader(file.Data(), file.Size());
    if (!parsed.Ok()) {
        RaiseError("Failed to create shader %s (%s)", fileName.c_str(), parsed.error.c_str());
    }
    const ShaderHandleId handle = m_shaderFiles.Allocate({fileName, std::move(parsed.program)});
    std::string reason;
    if (!createDeviceShader(handle, m_shaderFiles.Get(handle)->program, reason)) {
        m_shaderFiles.Release(handle);
        RaiseError("Failed to create shader %s (%s)", fileName.c_str(), reason.c_str());
    }
    m_shaders.emplace(fileName, handle.id);
    return handle.id;
}

const VertexShaderProgram* RenderModule::VertexShader(ShaderHandle handle) const {
    const LoadedShader* shader = m_shaderFiles.Get(ShaderHandleId{handle});
    return shader ? &shader->program : nullptr;
}

void RenderModule::SetVertexShaderConstant(int firstRegister, const float* data, int count) {
    if (!data) {
        return;
    }
    RenderState& state = m_recordingBlock ? m_recording.values : m_state;
    for (int i = 0; i < count; ++i) {
        const int shaderRegister = firstRegister + i;
        if (shaderRegister < 0 || shaderRegister >= kMaxShaderConstants) {
            continue;
        }
        if (m_recordingBlock) {
            m_recording.fields.MarkConstant(shaderRegister);
        }
        std::copy(data + 4 * i, data + 4 * i + 4,
                  state.vertexShader.constants[shaderRegister].begin());
    }
}

void RenderModule::SetVertexShader(ShaderHandle handle) {
    // 0 is the fixed-function pipeline.
    if (handle != 0 && !m_shaderFiles.Contains(ShaderHandleId{handle})) {
        LogPrintf("Warning : unknown vertex shader handle (0x%08X) refused.", handle);
        return;
    }
    edit(GlobalField::VertexShader).vertexShader.handle = handle;
}

// --- back-buffer format -------------------------------------------------------------

void RenderModule::setBackBuffer(int width, int height, int bitsPerPixel) {
    m_width = width;
    m_height = height;
    m_bitsPerPixel = bitsPerPixel;
    m_aspect = static_cast<float>(height) / static_cast<float>(width);
    m_fullViewport = {0, 0, width, height, 0.0f, 1.0f};
    m_state.viewport = m_fullViewport;
}

void RenderModule::setFormatMasks(std::uint32_t red, std::uint32_t green, std::uint32_t blue,
                                  int depth) {
    m_redMask = red;
    m_greenMask = green;
    m_blueMask = blue;
    m_formatDepth = depth;
}

}  // namespace vesta
