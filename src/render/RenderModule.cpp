#include "render/RenderModule.h"

#include <algorithm>

#include "log/Log.h"
#include "platform/Clock.h"

namespace vesta {

RenderModule::RenderModule() = default;

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

void RenderModule::SetClearColor(float red, float green, float blue, float) {
    const auto channel = [](float value) {
        return static_cast<std::uint32_t>(static_cast<std::int32_t>(value * 255.0f)) & 0xFF;
    };
    m_clearColor = (channel(red) << 16) | (channel(green) << 8) | channel(blue);
}

void RenderModule::BeginFrame() {
    if (Texture* texture = m_deferred.Step(static_cast<float>(TimeNow()))) {
        DestroyTexture(texture);
    }
    beginScene();
}

void RenderModule::StoreRect(std::int32_t left, std::int32_t top, std::int32_t right,
                             std::int32_t bottom) {
    m_storedRect[0] = left;
    m_storedRect[1] = top;
    m_storedRect[2] = right;
    m_storedRect[3] = bottom;
}

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
    if (width == 0.0f && height == 0.0f) {
        m_viewport = m_fullViewport;
    } else {
        m_viewport = PercentViewport(x, y, width, height, m_width, m_height);
    }
    sendViewport(m_viewport);
    m_aspect = static_cast<float>(m_viewport.height) / static_cast<float>(m_viewport.width);
}

void RenderModule::sendIfChanged(MatrixCache& cache, Matrix4& copy, TransformKind kind,
                                 const Matrix4& matrix) {
    if (cache.Changed(matrix)) {
        copy = matrix;
        sendTransform(kind, matrix);
    }
}

void RenderModule::SetProjectionMatrix(const Matrix4& matrix) {
    sendIfChanged(m_projectionCache, m_projection, TransformKind::Projection, matrix);
}

void RenderModule::SetViewMatrix(const Matrix4& matrix) {
    sendIfChanged(m_viewCache, m_view, TransformKind::View, matrix);
}

void RenderModule::SetWorldMatrix(const Matrix4& matrix) {
    sendIfChanged(m_worldCache, m_world, TransformKind::World, matrix);
}

void RenderModule::DestroyMeshBuffer(MeshBuffer* buffer) {
    m_meshBuffers.Destroy(buffer);
}

void RenderModule::DestroySurface2D(Surface2D* surface) {
    m_surfaces.Destroy(surface);
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

void RenderModule::EndStateBlock(StateBlock& token, std::int32_t id) {
    token = endRecording();
    m_stateBlocks.Recorded(token, id, [this](StateBlock block) { deleteStateBlock(block); });
}

void RenderModule::ReleaseStateBlock(StateBlock token) {
    m_stateBlocks.Release(token, [this](StateBlock block) { deleteStateBlock(block); });
}

void RenderModule::SetLighting(bool enabled) {
    m_lighting = enabled;
    sendLighting(enabled);
}

void RenderModule::SetFogEnable(bool enabled) {
    m_fogEnabled = enabled;
    sendFogEnable(enabled);
}

void RenderModule::SetFog(FogMode mode, float start, float end, float density) {
    m_fogMode = mode;
    m_fogStart = start;
    m_fogEnd = end;
    m_fogDensity = density;
    sendFog(mode, start, end, density);
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

void RenderModule::setBackBuffer(int width, int height, int bitsPerPixel) {
    m_width = width;
    m_height = height;
    m_bitsPerPixel = bitsPerPixel;
    m_aspect = static_cast<float>(height) / static_cast<float>(width);
    m_fullViewport = {0, 0, width, height};
    m_viewport = m_fullViewport;
}

void RenderModule::setFormatMasks(std::uint32_t red, std::uint32_t green, std::uint32_t blue,
                                  int depth) {
    m_redMask = red;
    m_greenMask = green;
    m_blueMask = blue;
    m_formatDepth = depth;
}

Texture* RenderModule::adoptTexture(std::unique_ptr<Texture> texture) {
    return m_textures.Adopt(std::move(texture));
}

MeshBuffer* RenderModule::adoptMeshBuffer(std::unique_ptr<MeshBuffer> buffer) {
    return m_meshBuffers.Adopt(std::move(buffer));
}

Surface2D* RenderModule::adoptSurface(std::unique_ptr<Surface2D> surface) {
    return m_surfaces.Adopt(std::move(surface));
}

Font* RenderModule::adoptPrinter(std::unique_ptr<Font> font) {
    return m_printers.Adopt(std::move(font));
}

}  // namespace vesta
