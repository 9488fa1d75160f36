#pragma once
// The render module on OpenGL 3.3 core: Direct3D's fixed-function device
// emulated by generated shaders, every frame drawn into an offscreen
// framebuffer of the video mode's size.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "render/RenderModule.h"
#include "render/gl/GlContext.h"
#include "render/gl/GlFrame.h"
#include "render/gl/GlPipeline.h"
#include "render/gl/PipelineState.h"

namespace vesta {

class GlTexture;

class GlModule : public RenderModule {
public:
    static constexpr const char* kDescription = "OpenGL 3.3 Module for VestaNG Library";

    // Enumerates the displays (none: one headless driver) with their modes.
    GlModule();
    ~GlModule() override;

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
    bool QueueFrameCopy() override;
    const std::uint8_t* ReadFrameCopy(int& pitch) override;

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

    bool IsPointVisible(const Vector3& position) override;
    void SetRenderTarget(Texture* texture, int ignored) override;

    void GetLight(int index, RenderLight& light) override;
    void SetLight(int index, const RenderLight& light) override;
    bool EnableLight(int index, bool enabled) override;
    void SetAmbient(int ignored, float red, float green, float blue) override;
    ShaderHandle LoadVertexShader(const std::string& fileName) override;
    void SetVertexShaderConstant(int firstRegister, const float* data, int count) override;
    void SetVertexShader(ShaderHandle handle) override;
    void SetTextureAddress(int stage, int axis, TextureAddress mode) override;

    // For the module's own resources.
    gl::PipelineState& State() { return *m_state; }
    gl::GlPipeline& Pipeline() { return *m_pipeline; }
    bool Hardware() const { return m_hardware; }
    // Draws into `framebuffer` (0: the back buffer) of `width` × `height`,
    // ending and beginning the scene around the switch.
    void BindTarget(unsigned framebuffer, int width, int height);
    // The framebuffer that draws into render-target texture `texture`, so that
    // every texture sharing a named target can be drawn into.
    void SetTargetFramebuffer(unsigned texture, unsigned framebuffer);
    unsigned TargetFramebuffer(unsigned texture) const;
    // One shared depth buffer per cube-map edge.
    unsigned CubeDepthBuffer(int edge);

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
    void createContext(PlatformWindow* window, int colorBits, int depthBits);
    void logCapabilities() const;
    void setInitialState();
    using StateChange = std::function<void(gl::PipelineState&)>;
    // Applies a state change, or only records it between BeginStateBlock and
    // EndStateBlock, as a recording device does.
    void change(StateChange apply);
    void changeStage(int stage, std::function<void(gl::TextureStage&)> apply);

    std::vector<StateChange> m_recording;
    bool m_recordingBlock = false;
    std::map<StateBlock, std::vector<StateChange>> m_stateBlocks;
    StateBlock m_nextStateBlock = 1;

    std::unique_ptr<GlContext> m_context;
    std::unique_ptr<gl::GlPipeline> m_pipeline;
    std::unique_ptr<GlFrame> m_frame;
    // The pipeline's state once it exists; before that, what was set early.
    gl::PipelineState m_earlyState;
    gl::PipelineState* m_state = &m_earlyState;
    std::map<int, unsigned> m_cubeDepthBuffers;
    std::map<unsigned, unsigned> m_targetFramebuffers;
    std::map<std::string, ShaderHandle> m_shaders;
    bool m_inScene = false;
    bool m_fullScreen = false;
};

void RegisterGlModule();

}  // namespace vesta
