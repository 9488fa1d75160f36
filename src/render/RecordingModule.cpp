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

}  // namespace

// Remembers its uploads and shares device "handles" by key like a real device.
class RecordingTexture : public Texture {
public:
    explicit RecordingTexture(RecordingModule& module) : Texture(module), m_recorder(module) {}
    ~RecordingTexture() override {
        if (m_registered) {
            m_recorder.SharedTextures().Release(Key());
        }
    }

    bool CreateRenderTarget(int size, const char* sharedName, std::uint32_t flags) override {
        m_width = size;
        m_height = size;
        m_pixels.assign(static_cast<std::size_t>(size) * size * 4, 0);
        m_recorder.Record("Texture::CreateRenderTarget", {double(size), double(flags)}, this).text =
            sharedName ? sharedName : "";
        return true;
    }
    std::uint8_t* LockPixels(int) override {
        m_pixels.resize(static_cast<std::size_t>(m_width) * m_height * 4);
        return m_pixels.data();
    }
    void UnlockPixels() override { m_recorder.Record("Texture::UnlockPixels", {}, this); }
    void SetCubeFace(int face) override {
        m_recorder.Record("Texture::SetCubeFace", {double(face)}, this);
    }
    bool Upload(const std::uint8_t* pixels, int width, int height, bool hasAlpha,
                bool noDither) override {
        SharedTexture device;
        if (const SharedTexture* shared = m_recorder.SharedTextures().Find(Key())) {
            device = *shared;
        } else {
            device = {m_recorder.m_nextHandle++, width, height, m_recorder.BitsPerPixel(), 0};
        }
        m_width = device.width;
        m_height = device.height;
        m_bitsPerPixel = device.bits;
        m_recorder.SharedTextures().Register(Key(), device);
        m_registered = true;
        m_recorder.Record("Texture::Upload",
                          {double(width), double(height), value(hasAlpha), value(noDither),
                           value(pixels != nullptr)},
                          this);
        return true;
    }
    bool IsShared(const std::string& key) const override {
        return m_recorder.SharedTextures().Find(key) != nullptr;
    }
    bool DitherTo16(std::uint8_t*, bool) override { return false; }

private:
    RecordingModule& m_recorder;
    std::vector<std::uint8_t> m_pixels;
    bool m_registered = false;
};

namespace {

class RecordingMeshBuffer : public MeshBuffer {
public:
    explicit RecordingMeshBuffer(RecordingModule& module) : m_recorder(module) {}

    bool Create(bool writeOnly, int vertexCount, int indexCount, bool pointSprite) override {
        m_writeOnly = writeOnly;
        m_vertexCount = vertexCount;
        m_indexCount = indexCount;
        m_triangleCount = indexCount / 3;
        m_vertexFormat = pointSprite ? kPointSpriteFormat : kRenderVertexFormat;
        const std::size_t stride = pointSprite ? sizeof(PointSpriteVertex) : sizeof(RenderVertex);
        m_vertices.assign(stride * static_cast<std::size_t>(vertexCount), 0);
        m_indices.assign(static_cast<std::size_t>(std::max(indexCount, 1)), 0);
        return true;
    }
    void* LockVertices() override { return m_vertices.data(); }
    void* LockVerticesForWrite() override { return m_vertices.data(); }
    void UnlockVertices() override {}
    void DrawPrimitives(PrimitiveType type, int vertexCount, int indexCount) override {
        m_recorder.Record("MeshBuffer::DrawPrimitives",
                          {position(type), double(vertexCount), double(indexCount)}, this);
    }
    void DrawTriangles(int) override {
        m_recorder.Record("MeshBuffer::DrawTriangles", {double(m_triangleCount)}, this);
    }
    void DrawPoints(int count) override {
        m_recorder.Record("MeshBuffer::DrawPoints", {double(count < 0 ? m_vertexCount : count)},
                          this);
    }
    std::uint16_t* LockIndices() override { return m_indices.data(); }
    void UnlockIndices() override {}

private:
    RecordingModule& m_recorder;
    std::vector<std::uint8_t> m_vertices;
    std::vector<std::uint16_t> m_indices;
};

class RecordingSurface : public Surface2D {
public:
    bool Create(int width, int height) override {
        m_width = width;
        m_height = height;
        m_pixels.assign(static_cast<std::size_t>(width) * height * 4, 0);
        return true;
    }
    std::uint8_t* Lock(int& pitch) override {
        pitch = m_width * 4;
        return m_pixels.data();
    }
    void Unlock() override {}

private:
    std::vector<std::uint8_t> m_pixels;
};

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

RecordingModule::RecordingModule() : m_lights(8) {
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
    m_backBuffer.assign(static_cast<std::size_t>(width) * height * 4, 0);
    Record("Initialize", {value(fullScreen), double(width), double(height), double(bitsPerPixel)});
    return true;
}

bool RecordingModule::Clear(std::uint32_t flags) {
    Record("Clear", {double(flags)});
    return true;
}

void RecordingModule::EndFrame() {
    Record("EndFrame");
}

bool RecordingModule::Present(int) {
    Record("Present");
    return true;
}

MeshBuffer* RecordingModule::CreateMeshBuffer() {
    return adoptMeshBuffer(std::make_unique<RecordingMeshBuffer>(*this));
}

Texture* RecordingModule::CreateTexture() {
    return adoptTexture(std::make_unique<RecordingTexture>(*this));
}

Surface2D* RecordingModule::CreateSurface2D() {
    return adoptSurface(std::make_unique<RecordingSurface>());
}

Font* RecordingModule::CreateTextPrinter(const std::string& name) {
    Record("CreateTextPrinter").text = name;
    return adoptPrinter(std::make_unique<RecordingFont>(*this, name));
}

void RecordingModule::SetTexture(int stage, Texture* texture) {
    Record("SetTexture", {double(stage)}, texture);
}
void RecordingModule::SetColorOp(int stage, ColorOp op) {
    Record("SetColorOp", {double(stage), position(op)});
}
void RecordingModule::SetColorArg1(int stage, ColorArg arg) {
    Record("SetColorArg1", {double(stage), position(arg)});
}
void RecordingModule::SetColorArg2(int stage, ColorArg arg) {
    Record("SetColorArg2", {double(stage), position(arg)});
}
void RecordingModule::SetAlphaOp(int stage, AlphaOp op) {
    Record("SetAlphaOp", {double(stage), position(op)});
}
void RecordingModule::SetAlphaArg1(int stage, AlphaArg arg) {
    Record("SetAlphaArg1", {double(stage), position(arg)});
}
void RecordingModule::SetAlphaArg2(int stage, AlphaArg arg) {
    Record("SetAlphaArg2", {double(stage), position(arg)});
}
void RecordingModule::SetEnvironmentMapping(int stage, bool enabled) {
    Record("SetEnvironmentMapping", {double(stage), value(enabled)});
}

void RecordingModule::SetStencilEnable(bool enabled) {
    Record("SetStencilEnable", {value(enabled)});
}
void RecordingModule::SetStencilFunc(Comparison func) {
    Record("SetStencilFunc", {position(func)});
}
void RecordingModule::SetStencilZFailOp(StencilOp op) {
    Record("SetStencilZFailOp", {position(op)});
}
void RecordingModule::SetStencilFailOp(StencilOp op) {
    Record("SetStencilFailOp", {position(op)});
}
void RecordingModule::SetStencilPassOp(StencilOp op) {
    Record("SetStencilPassOp", {position(op)});
}
void RecordingModule::SetStencilRef(std::uint32_t v) {
    Record("SetStencilRef", {double(v)});
}
void RecordingModule::SetStencilMask(std::uint32_t v) {
    Record("SetStencilMask", {double(v)});
}
void RecordingModule::SetStencilWriteMask(std::uint32_t v) {
    Record("SetStencilWriteMask", {double(v)});
}

void RecordingModule::BeginStateBlock() {
    Record("BeginStateBlock");
}
void RecordingModule::ApplyStateBlock(StateBlock token) {
    Record("ApplyStateBlock", {double(token)});
}

std::uint8_t* RecordingModule::LockBackBuffer(int& pitch) {
    pitch = m_width * 4;
    Record("LockBackBuffer");
    return m_backBuffer.data();
}
void RecordingModule::UnlockBackBuffer() {
    Record("UnlockBackBuffer");
}

void RecordingModule::SetSrcBlend(BlendFactor factor) {
    Record("SetSrcBlend", {position(factor)});
}
void RecordingModule::SetDestBlend(BlendFactor factor) {
    Record("SetDestBlend", {position(factor)});
}
void RecordingModule::SetAlphaBlend(bool enabled) {
    Record("SetAlphaBlend", {value(enabled)});
}
void RecordingModule::SetTextureFactor(std::uint32_t argb) {
    Record("SetTextureFactor", {double(argb)});
}
void RecordingModule::SetDepthTest(bool enabled) {
    Record("SetDepthTest", {value(enabled)});
}
void RecordingModule::SetDepthWrite(bool enabled) {
    Record("SetDepthWrite", {value(enabled)});
}
void RecordingModule::SetDepthFunc(Comparison func) {
    Record("SetDepthFunc", {position(func)});
}
void RecordingModule::SetAlphaTest(bool enabled, std::uint32_t reference) {
    Record("SetAlphaTest", {value(enabled), double(reference)});
}
void RecordingModule::SetAlphaFunc(Comparison func) {
    Record("SetAlphaFunc", {position(func)});
}
void RecordingModule::SetColorWriteMask(bool red, bool green, bool blue, bool alpha) {
    Record("SetColorWriteMask", {value(red), value(green), value(blue), value(alpha)});
}

void RecordingModule::DrawIndexed(PrimitiveType type, const std::vector<RenderVertex>& vertices,
                                  const std::vector<std::uint16_t>& indices) {
    RecordedCall& call = Record("DrawIndexed", {position(type)});
    call.vertices = vertices;
    call.indices = indices;
    call.matrix = WorldMatrix();
}

void RecordingModule::Draw(PrimitiveType type, int vertexCount, const RenderVertex* vertices) {
    RecordedCall& call = Record("Draw", {position(type), double(vertexCount)});
    call.vertices.assign(vertices, vertices + vertexCount);
    call.matrix = WorldMatrix();
}

void RecordingModule::SetCullMode(CullMode mode) {
    Record("SetCullMode", {position(mode)});
}
void RecordingModule::SetShadeMode(ShadeMode mode) {
    Record("SetShadeMode", {position(mode)});
}
void RecordingModule::SetFillMode(FillMode mode) {
    Record("SetFillMode", {position(mode)});
}
void RecordingModule::SetMaterial(const RenderMaterial& m) {
    Record("SetMaterial", {m.diffuse.a, m.diffuse.r, m.diffuse.g, m.diffuse.b, m.ambient.r,
                           m.ambient.g, m.ambient.b, m.emissive.r, m.emissive.g, m.emissive.b,
                           m.specular.r, m.specular.g, m.specular.b, m.specularLevel, m.power});
}
void RecordingModule::SetTextureFiltering(int stage, bool enabled) {
    Record("SetTextureFiltering", {double(stage), value(enabled)});
}
void RecordingModule::SetPointSprites(bool enabled) {
    Record("SetPointSprites", {value(enabled)});
}
void RecordingModule::SetPointSize(float size, float minimumSize) {
    Record("SetPointSize", {size, minimumSize});
}
void RecordingModule::SetPointScale(float a, float b, float c) {
    Record("SetPointScale", {a, b, c});
}
void RecordingModule::SetFogColor(float red, float green, float blue) {
    Record("SetFogColor", {red, green, blue});
}

bool RecordingModule::IsPointVisible(const Vector3& p) {
    Record("IsPointVisible", {p.x, p.y, p.z});
    SetFogEnable(false);
    return m_pointsVisible;
}

void RecordingModule::SetRenderTarget(Texture* texture, int) {
    Record("SetRenderTarget", {}, texture);
}

void RecordingModule::GetLight(int index, RenderLight& light) {
    const RenderLight& device = m_lights.at(static_cast<std::size_t>(index));
    light.color = device.color;
    light.position = device.position;
    light.range = device.range;
}

void RecordingModule::SetLight(int index, const RenderLight& light) {
    if (index >= static_cast<int>(m_lights.size())) {
        m_lights.resize(static_cast<std::size_t>(index) + 1);
    }
    m_lights.at(static_cast<std::size_t>(index)) = light;
    Record("SetLight", {double(index), value(light.spot), light.position.x, light.position.y,
                        light.position.z});
}

bool RecordingModule::EnableLight(int index, bool enabled) {
    Record("EnableLight", {double(index), value(enabled)});
    return index >= 0;
}

void RecordingModule::SetAmbient(int, float red, float green, float blue) {
    Record("SetAmbient", {red, green, blue});
}

RenderModule::ShaderHandle RecordingModule::LoadVertexShader(const std::string& fileName) {
    Record("LoadVertexShader").text = fileName;
    return m_nextHandle++;
}

void RecordingModule::SetVertexShaderConstant(int firstRegister, const float* data, int count) {
    std::vector<double> values{double(firstRegister)};
    values.insert(values.end(), data, data + 4 * count);
    Record("SetVertexShaderConstant", std::move(values));
}

void RecordingModule::SetVertexShader(ShaderHandle handle) {
    Record("SetVertexShader", {double(handle)});
}

void RecordingModule::SetTextureAddress(int stage, int axis, TextureAddress mode) {
    Record("SetTextureAddress", {double(stage), double(axis), position(mode)});
}

void RecordingModule::DestroyTexture(Texture* texture) {
    Record("DestroyTexture", {}, texture);
    RenderModule::DestroyTexture(texture);
}

void RecordingModule::beginScene() {
    Record("BeginFrame");
}

void RecordingModule::sendTransform(TransformKind kind, const Matrix4& matrix) {
    static constexpr const char* kNames[] = {"SetTransform:Projection", "SetTransform:View",
                                             "SetTransform:World"};
    Record(kNames[static_cast<int>(kind)]).matrix = matrix;
}

void RecordingModule::sendViewport(const ViewportRect& v) {
    Record("SetViewport", {double(v.x), double(v.y), double(v.width), double(v.height)});
}

RenderModule::StateBlock RecordingModule::endRecording() {
    Record("EndStateBlock", {double(m_nextStateBlock)});
    return m_nextStateBlock++;
}

void RecordingModule::deleteStateBlock(StateBlock token) {
    Record("DeleteStateBlock", {double(token)});
}

void RecordingModule::sendFogEnable(bool enabled) {
    Record("SetFogEnable", {value(enabled)});
}

void RecordingModule::sendLighting(bool enabled) {
    Record("SetLighting", {value(enabled)});
}

void RecordingModule::sendFog(FogMode mode, float start, float end, float density) {
    Record("SetFog", {position(mode), start, end, density});
}

}  // namespace vesta
