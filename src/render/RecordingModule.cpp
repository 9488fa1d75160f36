#include "render/RecordingModule.h"

#include <algorithm>
#include <cstring>

namespace vesta {
namespace {

double value(bool flag) {
    return flag ? 1.0 : 0.0;
}

template <typename Enum>
double position(Enum item) {
    return static_cast<double>(static_cast<int>(item));
}

class RecordingFont : public Font {
public:
    RecordingFont(RecordingModule& module, std::string name)
        : Font(module, std::move(name)), m_recorder(module) {}

protected:
    void DrawText(float x, float y, const char* text) override {
        m_recorder.Record("Font::Print", {x, y}, this).text = text;
    }

private:
    RecordingModule& m_recorder;
};

}  // namespace

RecordingModule::RecordingModule() {
    auto driver = std::make_unique<RenderDriver>();
    driver->name = "Recording";
    driver->description = "Recording";
    auto device = std::make_unique<RenderDevice>();
    device->name = "HAL";
    device->description = "HAL";
    device->index = 1;
    int index = 0;
    for (const auto& [width, height] : {std::pair{640, 480}, {800, 600}, {1024, 768}}) {
        for (const int bits : {16, 32}) {
            device->modes.push_back({width, height, bits, index++});
        }
    }
    driver->devices.push_back(std::move(device));
    AddDriver(std::move(driver));
    setBackBuffer(640, 480, 32);
}

RecordingModule::~RecordingModule() {
    releaseResources();
}

std::size_t RecordingModule::Count(std::string_view name) const {
    return static_cast<std::size_t>(
        std::count_if(m_calls.begin(), m_calls.end(),
                      [&](const RecordedCall& call) { return call.name == name; }));
}

const RecordedCall* RecordingModule::Last(std::string_view name) const {
    for (auto call = m_calls.rbegin(); call != m_calls.rend(); ++call) {
        if (call->name == name) {
            return &*call;
        }
    }
    return nullptr;
}

std::vector<const RecordedCall*> RecordingModule::Draws() const {
    std::vector<const RecordedCall*> draws;
    for (const RecordedCall& call : m_calls) {
        if (call.name.rfind("Draw", 0) == 0) {
            draws.push_back(&call);
        }
    }
    return draws;
}

std::vector<std::string> RecordingModule::Names() const {
    std::vector<std::string> names;
    names.reserve(m_calls.size());
    for (const RecordedCall& call : m_calls) {
        names.push_back(call.name);
    }
    return names;
}

RecordedCall& RecordingModule::Record(std::string name, std::vector<double> values,
                                      const void* object) {
    RecordedCall& call = m_calls.emplace_back();
    call.name = std::move(name);
    call.values = std::move(values);
    call.object = object;
    return call;
}

bool RecordingModule::Initialize(PlatformWindow*, bool fullScreen, int width, int height,
                                 int bitsPerPixel) {
    if (width == 0 && m_selectedMode) {
        width = m_selectedMode->width;
        height = m_selectedMode->height;
        bitsPerPixel = m_selectedMode->bitsPerPixel;
    }
    setBackBuffer(width, height, bitsPerPixel);
    if (bitsPerPixel == 16) {
        setFormatMasks(0xF800, 0x07E0, 0x001F, 16);
    }
    m_backBuffer.assign(static_cast<std::size_t>(width) * height * (bitsPerPixel == 16 ? 2 : 4), 0);
    Record("Initialize", {value(fullScreen), double(width), double(height), double(bitsPerPixel)});
    return true;
}

bool RecordingModule::createDeviceTexture(TextureHandle handle, const DeviceTextureDesc& desc,
                                          const std::uint8_t* bgra) {
    RecordedCall& call =
        Record("CreateTexture", {double(desc.width), double(desc.height), position(desc.kind)});
    call.texture = handle;
    if (bgra) {
        call.pixels.assign(bgra, bgra + static_cast<std::size_t>(desc.width) * desc.height * 4);
    }
    return true;
}

void RecordingModule::uploadDeviceTexture(TextureHandle handle, const std::uint8_t* bgra) {
    RecordedCall& call = Record("UploadTexture");
    call.texture = handle;
    if (const DeviceTextureDesc* desc = DeviceTexture(handle)) {
        call.pixels.assign(bgra, bgra + static_cast<std::size_t>(desc->width) * desc->height * 4);
    }
}

void RecordingModule::readDeviceTexture(TextureHandle handle, std::uint8_t*) {
    Record("ReadTexture").texture = handle;
}

void RecordingModule::releaseDeviceTexture(TextureHandle handle) {
    Record("ReleaseTexture").texture = handle;
}

void RecordingModule::createDeviceBuffer(MeshHandle, std::size_t vertexBytes, int indexCount) {
    Record("CreateBuffer", {double(vertexBytes), double(indexCount)});
}

void RecordingModule::uploadDeviceVertices(MeshHandle, const void*, std::size_t bytes) {
    Record("UploadVertices", {double(bytes)});
}

void RecordingModule::uploadDeviceIndices(MeshHandle, const std::uint16_t*, int count) {
    Record("UploadIndices", {double(count)});
}

void RecordingModule::releaseDeviceBuffer(MeshHandle) {
    Record("ReleaseBuffer");
}

std::unique_ptr<Font> RecordingModule::createDevicePrinter(const std::string& name) {
    Record("CreateTextPrinter").text = name;
    return std::make_unique<RecordingFont>(*this, name);
}

void RecordingModule::beginScene() {
    Record("BeginFrame");
}

void RecordingModule::endScene() {
    Record("EndFrame");
}

void RecordingModule::clearTarget(const ClearRequest& request) {
    Record("Clear", {value(request.color), value(request.depth), value(request.stencil),
                     double(request.argb)});
}

void RecordingModule::drawPrimitives(const DrawCall& call) {
    const char* name = call.buffer                                   ? "DrawBuffer"
                       : call.layout == VertexLayout::Pretransformed ? "DrawPoint"
                       : call.indexed                                ? "DrawIndexed"
                                                                     : "Draw";
    RecordedCall& recorded = Record(name, {position(call.primitive), double(call.count)});
    recorded.state = State();
    recorded.draw = call;
    recorded.draw.vertices = nullptr;
    recorded.draw.indices = nullptr;
    recorded.matrix = State().world;
    if (!call.buffer && call.vertices) {
        const auto* vertices = static_cast<const RenderVertex*>(call.vertices);
        recorded.vertices.assign(vertices, vertices + call.vertexCount);
        if (call.indexed && call.indices) {
            recorded.indices.assign(call.indices, call.indices + call.count);
        }
    }
    // The probe's white point lands wherever a point is visible.
    if (call.layout == VertexLayout::Pretransformed && m_pointsVisible) {
        ++m_probe;
    }
}

void RecordingModule::presentFrame() {
    Record("Present");
}

void RecordingModule::selectRenderTarget(TextureHandle target, int face) {
    Record("SetRenderTarget", {double(face)}).texture = target;
}

std::uint8_t* RecordingModule::lockFrame(int& pitch) {
    Record("LockBackBuffer");
    pitch = BackBufferWidth() * (BitsPerPixel() == 16 ? 2 : 4);
    return m_backBuffer.data();
}

void RecordingModule::unlockFrame() {
    Record("UnlockBackBuffer");
}

std::uint16_t RecordingModule::readFramePixel16(int, int) {
    return m_probe;
}

}  // namespace vesta
