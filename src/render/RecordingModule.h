#pragma once
// A render module that draws nothing and remembers every call with its
// arguments, so that timeline, layer and scene logic can be tested by what
// it asks the device to do.

#include <string>
#include <string_view>
#include <vector>

#include "render/RenderModule.h"

namespace vesta {

struct RecordedCall {
    std::string name;
    std::vector<double> values;    // the numeric arguments, in order
    std::string text;              // a text argument (printed text, file name)
    const void* object = nullptr;  // a texture, buffer or surface argument
    Matrix4 matrix;
    std::vector<RenderVertex> vertices;
    std::vector<std::uint16_t> indices;
};

class RecordingModule : public RenderModule {
public:
    static constexpr const char* kDescription = "Recording module";

    // One driver "Recording" with a device "HAL" holding the usual modes.
    RecordingModule();
    ~RecordingModule() override;

    const std::vector<RecordedCall>& Calls() const { return m_calls; }
    std::size_t Count(std::string_view name) const;
    // The latest call of that name, or null.
    const RecordedCall* Last(std::string_view name) const;
    std::vector<std::string> Names() const;
    void ClearCalls() { m_calls.clear(); }
    // The recorder of the objects it hands out.
    RecordedCall& Record(std::string name, std::vector<double> values = {},
                         const void* object = nullptr);

    bool Initialize(PlatformWindow* window, bool fullScreen, int width, int height,
                    int bitsPerPixel) override;
    std::string GetDescription() const override { return kDescription; }
    bool Clear(std::uint32_t flags) override;
    void EndFrame() override;
    bool Present(int ignored) override;

    MeshBuffer* CreateMeshBuffer() override;
    Texture* CreateTexture() override;
    Surface2D* CreateSurface2D() override;
    Font* CreateTextPrinter(const std::string& name) override;

    void SetTexture(int stage, Texture* texture) override;
    void SetColorOp(int stage, ColorOp op) override;
    void SetColorArg1(int stage, ColorArg arg) override;
    void SetColorArg2(int stage, ColorArg arg) override;
    void SetAlphaOp(int stage, AlphaOp op) override;
    void SetAlphaArg1(int stage, AlphaArg arg) override;
    void SetAlphaArg2(int stage, AlphaArg arg) override;
    void SetEnvironmentMapping(int stage, bool enabled) override;

    void SetStencilEnable(bool enabled) override;
    void SetStencilFunc(Comparison func) override;
    void SetStencilZFailOp(StencilOp op) override;
    void SetStencilFailOp(StencilOp op) override;
    void SetStencilPassOp(StencilOp op) override;
    void SetStencilRef(std::uint32_t value) override;
    void SetStencilMask(std::uint32_t value) override;
    void SetStencilWriteMask(std::uint32_t value) override;

    void BeginStateBlock() override;
    void ApplyStateBlock(StateBlock token) override;

    std::uint8_t* LockBackBuffer(int& pitch) override;
    void UnlockBackBuffer() override;

    void SetSrcBlend(BlendFactor factor) override;
    void SetDestBlend(BlendFactor factor) override;
    void SetAlphaBlend(bool enabled) override;
    void SetTextureFactor(std::uint32_t argb) override;
    void SetDepthTest(bool enabled) override;
    void SetDepthWrite(bool enabled) override;
    void SetDepthFunc(Comparison func) override;
    void SetAlphaTest(bool enabled, std::uint32_t reference) override;
    void SetAlphaFunc(Comparison func) override;
    void SetColorWriteMask(bool red, bool green, bool blue, bool alpha) override;

    void DrawIndexed(PrimitiveType type, const std::vector<RenderVertex>& vertices,
                     const std::vector<std::uint16_t>& indices) override;
    void Draw(PrimitiveType type, int vertexCount, const RenderVertex* vertices) override;

    void SetCullMode(CullMode mode) override;
    void SetShadeMode(ShadeMode mode) override;
    void SetFillMode(FillMode mode) override;
    void SetMaterial(const RenderMaterial& material) override;
    void SetTextureFiltering(int stage, bool enabled) override;
    void SetPointSprites(bool enabled) override;
    void SetPointSize(float size, float minimumSize) override;
    void SetPointScale(float a, float b, float c) override;
    void SetFogColor(float red, float green, float blue) override;

    // Answers what SetPointVisibility said (true by default).
    bool IsPointVisible(const Vector3& position) override;
    void SetPointVisibility(bool visible) { m_pointsVisible = visible; }
    void SetRenderTarget(Texture* texture, int ignored) override;

    void GetLight(int index, RenderLight& light) override;
    void SetLight(int index, const RenderLight& light) override;
    bool EnableLight(int index, bool enabled) override;
    void SetAmbient(int ignored, float red, float green, float blue) override;
    ShaderHandle LoadVertexShader(const std::string& fileName) override;
    void SetVertexShaderConstant(int firstRegister, const float* data, int count) override;
    void SetVertexShader(ShaderHandle handle) override;
    void SetTextureAddress(int stage, int axis, TextureAddress mode) override;
    void DestroyTexture(Texture* texture) override;

    std::uint32_t ClearColor() const { return m_clearColor; }

protected:
    void beginScene() override;
    void sendTransform(TransformKind kind, const Matrix4& matrix) override;
    void sendViewport(const ViewportRect& viewport) override;
    StateBlock endRecording() override;
    void deleteStateBlock(StateBlock token) override;
    void sendFogEnable(bool enabled) override;
    void sendLighting(bool enabled) override;
    void sendFog(FogMode mode, float start, float end, float density) override;

private:
    std::vector<RecordedCall> m_calls;
    std::vector<std::uint8_t> m_backBuffer;
    std::vector<RenderLight> m_lights;
    StateBlock m_nextStateBlock = 1;
    std::uint32_t m_nextHandle = 1;
    bool m_pointsVisible = true;

    friend class RecordingTexture;
};

}  // namespace vesta
