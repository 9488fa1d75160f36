#pragma once
// The device every effect draws through. Layers, modifiers, fonts, the
// texture manager and the main loop see only this class; the concrete module
// maps it onto a graphics interface.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "render/Camera.h"
#include "render/DeferredRelease.h"
#include "render/RenderResources.h"
#include "render/RenderTypes.h"
#include "render/StateBlockCache.h"

namespace vesta {

class PlatformWindow;
class SoundSystem;

class RenderModule {
public:
    using StateBlock = StateBlockCache::Token;
    using ShaderHandle = std::uint32_t;

    RenderModule();
    virtual ~RenderModule();
    RenderModule(const RenderModule&) = delete;
    RenderModule& operator=(const RenderModule&) = delete;

    // --- device and selection ---------------------------------------------
    // `window` is null for headless rendering. Width 0 takes the size of the
    // selected video mode.
    virtual bool Initialize(PlatformWindow* window, bool fullScreen, int width, int height,
                            int bitsPerPixel) = 0;
    virtual std::string GetDescription() const = 0;
    virtual int GetDriverCount() const;
    // std::out_of_range past the end.
    virtual RenderDriver& GetDriver(int index);
    virtual void AddDriver(std::unique_ptr<RenderDriver> driver);
    virtual void SelectDriver(RenderDriver* driver);
    virtual void SelectDevice(RenderDevice* device);
    virtual void SelectVideoMode(const VideoMode* mode);
    virtual RenderDriver* GetSelectedDriver() const { return m_selectedDriver; }
    virtual RenderDevice* GetSelectedDevice() const { return m_selectedDevice; }
    virtual const VideoMode* GetSelectedVideoMode() const { return m_selectedMode; }

    // --- frame ------------------------------------------------------------
    // Bit 0: depth (and stencil) only; bit 1: end the scene around the clear.
    virtual bool Clear(std::uint32_t flags) = 0;
    virtual void SetClearColor(float red, float green, float blue, float alpha);
    virtual void EnableColorClear(bool enabled) { m_colorClear = enabled; }
    // One step of deferred texture release, then the scene begins.
    virtual void BeginFrame();
    virtual void EndFrame() = 0;
    virtual bool Present(int ignored) = 0;
    virtual void SetVSync(bool enabled) { m_vsync = enabled; }
    virtual void StoreRect(std::int32_t left, std::int32_t top, std::int32_t right,
                           std::int32_t bottom);

    // --- camera and transforms ---------------------------------------------
    virtual void SetNearPlane(float value) { m_nearPlane = value; }
    virtual void SetFarPlane(float value) { m_farPlane = value; }
    virtual void SetFieldOfView(float radians) { m_fieldOfView = radians; }
    virtual void SetRoll(float radians) { m_roll = radians; }
    virtual void SetCameraPosition(const Vector3& position) { m_cameraPosition = position; }
    virtual void SetCameraTarget(const Vector3& target) { m_cameraTarget = target; }
    virtual void ApplyCamera();
    virtual void SetOrthographic(float width, float height, float nearPlane, float farPlane);
    // In percent of the back buffer; width and height both 0 restore the full one.
    virtual void SetViewport(float x, float y, float width, float height);
    // Each is sent only when it differs from the last one sent.
    virtual void SetProjectionMatrix(const Matrix4& matrix);
    virtual void SetViewMatrix(const Matrix4& matrix);
    virtual void SetWorldMatrix(const Matrix4& matrix);

    // --- resources ---------------------------------------------------------
    virtual MeshBuffer* CreateMeshBuffer() = 0;
    virtual void DestroyMeshBuffer(MeshBuffer* buffer);
    virtual Texture* CreateTexture() = 0;
    virtual Surface2D* CreateSurface2D() = 0;
    virtual void DestroySurface2D(Surface2D* surface);
    virtual Font* CreateTextPrinter(const std::string& name) = 0;
    virtual void DestroyTextPrinter(Font* font);
    // 512 with low-quality textures, else the device's largest texture width.
    virtual int GetMaxTextureSize() const;
    virtual int GetTextureSizeStep() const { return 1; }
    // Destroys every texture waiting for deferred release.
    virtual void DestroyAllTextures();

    // --- texture stages ------------------------------------------------------
    virtual void SetTexture(int stage, Texture* texture) = 0;
    virtual void SetColorOp(int stage, ColorOp op) = 0;
    virtual void SetColorArg1(int stage, ColorArg arg) = 0;
    virtual void SetColorArg2(int stage, ColorArg arg) = 0;
    virtual void SetAlphaOp(int stage, AlphaOp op) = 0;
    virtual void SetAlphaArg1(int stage, AlphaArg arg) = 0;
    virtual void SetAlphaArg2(int stage, AlphaArg arg) = 0;
    virtual void SetEnvironmentMapping(int stage, bool enabled) = 0;

    // --- stencil -----------------------------------------------------------
    virtual void SetStencilEnable(bool enabled) = 0;
    virtual void SetStencilFunc(Comparison func) = 0;
    virtual void SetStencilZFailOp(StencilOp op) = 0;
    virtual void SetStencilFailOp(StencilOp op) = 0;
    virtual void SetStencilPassOp(StencilOp op) = 0;
    virtual void SetStencilRef(std::uint32_t value) = 0;
    virtual void SetStencilMask(std::uint32_t value) = 0;
    virtual void SetStencilWriteMask(std::uint32_t value) = 0;

    // --- state blocks --------------------------------------------------------
    virtual void BeginStateBlock() = 0;
    // Ends recording into `token`; blocks recorded under one id (not -1) are shared.
    virtual void EndStateBlock(StateBlock& token, std::int32_t id);
    // The cached token of `id`, or -1.
    virtual std::int64_t FindStateBlock(std::int32_t id) const { return m_stateBlocks.Find(id); }
    virtual void ApplyStateBlock(StateBlock token) = 0;
    virtual void ReleaseStateBlock(StateBlock token);

    // --- back buffer ---------------------------------------------------------
    // The frame in the back buffer's format, top row first.
    virtual std::uint8_t* LockBackBuffer(int& pitch) = 0;
    virtual void UnlockBackBuffer() = 0;
    // A copy of the finished frame kept on the device, to be read a frame
    // later without waiting for the frame drawn in between (recordings).
    // False when the device keeps none (LockBackBuffer is the way then) or
    // all it keeps (three on the OpenGL module) are still unread.
    virtual bool QueueFrameCopy() { return false; }
    // The oldest queued copy as LockBackBuffer gives the frame; null when none.
    virtual const std::uint8_t* ReadFrameCopy(int& /*pitch*/) { return nullptr; }

    // --- blending, depth, alpha test -----------------------------------------
    virtual void SetSrcBlend(BlendFactor factor) = 0;
    virtual void SetDestBlend(BlendFactor factor) = 0;
    virtual void SetAlphaBlend(bool enabled) = 0;
    virtual void SetTextureFactor(std::uint32_t argb) = 0;
    virtual void SetDepthTest(bool enabled) = 0;
    virtual void SetDepthWrite(bool enabled) = 0;
    virtual void SetDepthFunc(Comparison func) = 0;
    virtual void SetAlphaTest(bool enabled, std::uint32_t reference) = 0;
    virtual void SetAlphaFunc(Comparison func) = 0;
    virtual void SetColorWriteMask(bool red, bool green, bool blue, bool alpha) = 0;

    // --- drawing from memory -------------------------------------------------
    virtual void DrawIndexed(PrimitiveType type, const std::vector<RenderVertex>& vertices,
                             const std::vector<std::uint16_t>& indices) = 0;
    virtual void Draw(PrimitiveType type, int vertexCount, const RenderVertex* vertices) = 0;

    // --- rasteriser, lighting, points, fog -----------------------------------
    virtual void SetCullMode(CullMode mode) = 0;
    virtual void SetShadeMode(ShadeMode mode) = 0;
    virtual void SetFillMode(FillMode mode) = 0;
    virtual void SetLighting(bool enabled);
    virtual void SetMaterial(const RenderMaterial& material) = 0;
    virtual void SetTextureFiltering(int stage, bool enabled) = 0;
    virtual void SetPointSprites(bool enabled) = 0;
    virtual void SetPointSize(float size, float minimumSize) = 0;
    virtual void SetPointScale(float a, float b, float c) = 0;
    virtual void SetFogEnable(bool enabled);
    virtual void SetFogColor(float red, float green, float blue) = 0;
    virtual void SetFog(FogMode mode, float start, float end, float density);

    // Whether a 3D point passes the depth test on screen. Leaves fog off.
    virtual bool IsPointVisible(const Vector3& position) = 0;
    // Renders into a render-target texture, or back into the back buffer (null).
    virtual void SetRenderTarget(Texture* texture, int ignored) = 0;

    // --- lights and shaders --------------------------------------------------
    // Copies the device light's colour, position and range back.
    virtual void GetLight(int index, RenderLight& light) = 0;
    virtual void SetLight(int index, const RenderLight& light) = 0;
    virtual bool EnableLight(int index, bool enabled) = 0;
    virtual void SetAmbient(int ignored, float red, float green, float blue) = 0;
    virtual ShaderHandle LoadVertexShader(const std::string& fileName) = 0;
    virtual void SetVertexShaderConstant(int firstRegister, const float* data, int count) = 0;
    virtual void SetVertexShader(ShaderHandle handle) = 0;
    // Axis 0 = U, 1 = V; any other axis does nothing.
    virtual void SetTextureAddress(int stage, int axis, TextureAddress mode) = 0;
    // Destroys a texture at once; a texture this module does not hold is reported.
    virtual void DestroyTexture(Texture* texture);

    // --- the base's own operations -------------------------------------------
    // How layers give textures back: queued when deferred release is on.
    void ReleaseTexture(Texture* texture);
    void SetDeferredRelease(bool enabled, float interval);
    // The cached font of `name`, created on first request; owned by the module.
    Font* GetFont(const std::string& name);

    void SetTextureCompression(bool enabled) { m_textureCompression = enabled; }
    void SetLowQualityTextures(bool enabled) { m_lowQualityTextures = enabled; }
    void SetSoundSystem(SoundSystem* sound) { m_sound = sound; }
    SoundSystem* GetSoundSystem() const { return m_sound; }

    int BackBufferWidth() const { return m_width; }
    int BackBufferHeight() const { return m_height; }
    int BitsPerPixel() const { return m_bitsPerPixel; }
    float Aspect() const { return m_aspect; }
    bool FogEnabled() const { return m_fogEnabled; }
    bool LightingEnabled() const { return m_lighting; }
    bool ColorClearEnabled() const { return m_colorClear; }
    bool VSync() const { return m_vsync; }
    bool LowQualityTextures() const { return m_lowQualityTextures; }
    bool TextureCompression() const { return m_textureCompression; }
    const Matrix4& ProjectionMatrix() const { return m_projection; }
    const Matrix4& ViewMatrix() const { return m_view; }
    const Matrix4& WorldMatrix() const { return m_world; }
    const ViewportRect& Viewport() const { return m_viewport; }
    std::size_t PendingTextureCount() const { return m_deferred.Count(); }
    // The three colour masks and depth of the back buffer's format.
    std::uint32_t RedMask() const { return m_redMask; }
    std::uint32_t GreenMask() const { return m_greenMask; }
    std::uint32_t BlueMask() const { return m_blueMask; }
    const SharedTextureMap& SharedTextures() const { return m_sharedTextures; }
    SharedTextureMap& SharedTextures() { return m_sharedTextures; }

protected:
    enum class TransformKind { Projection, View, World };

    // What the concrete module hands to its graphics interface.
    virtual void beginScene() = 0;
    virtual void sendTransform(TransformKind kind, const Matrix4& matrix) = 0;
    virtual void sendViewport(const ViewportRect& viewport) = 0;
    virtual StateBlock endRecording() = 0;
    virtual void deleteStateBlock(StateBlock token) = 0;
    virtual void sendFogEnable(bool enabled) = 0;
    virtual void sendLighting(bool enabled) = 0;
    virtual void sendFog(FogMode mode, float start, float end, float density) = 0;

    // Fills the size, aspect and full viewport after the device exists.
    void setBackBuffer(int width, int height, int bitsPerPixel);
    void setFormatMasks(std::uint32_t red, std::uint32_t green, std::uint32_t blue, int depth);
    // Registers what CreateTexture / CreateMeshBuffer / ... handed out.
    Texture* adoptTexture(std::unique_ptr<Texture> texture);
    MeshBuffer* adoptMeshBuffer(std::unique_ptr<MeshBuffer> buffer);
    Surface2D* adoptSurface(std::unique_ptr<Surface2D> surface);
    Font* adoptPrinter(std::unique_ptr<Font> font);
    // Destroys fonts, textures, buffers and surfaces while the device still
    // exists; concrete modules call it first in their destructors.
    void releaseResources();

    // Base state, as the concrete module reads it.
    RenderDriver* m_selectedDriver = nullptr;
    RenderDevice* m_selectedDevice = nullptr;
    const VideoMode* m_selectedMode = nullptr;
    int m_selectedDriverIndex = -1;
    int m_selectedDeviceIndex = -1;
    int m_selectedModeIndex = -1;
    VideoMode m_requestedMode;  // a mode built from Initialize's arguments

    int m_width = 0;
    int m_height = 0;
    int m_bitsPerPixel = 0;
    float m_aspect = 0.75f;
    bool m_colorClear = true;
    bool m_fogEnabled = false;
    bool m_lighting = false;
    FogMode m_fogMode = FogMode::Linear;
    float m_fogStart = 0.0f;
    float m_fogEnd = 1.0f;
    float m_fogDensity = 1.0f;
    std::int32_t m_storedRect[4] = {0, 0, 0, 0};

    float m_fieldOfView = 0.7f;
    float m_roll = 0.0f;
    float m_nearPlane = 1.0f;
    float m_farPlane = 4000.0f;
    Vector3 m_cameraPosition;
    Vector3 m_cameraTarget;
    Matrix4 m_projection;
    Matrix4 m_view;
    Matrix4 m_world;

    int m_maxTextureWidth = 2048;
    std::uint32_t m_redMask = 0xFF0000;
    std::uint32_t m_greenMask = 0xFF00;
    std::uint32_t m_blueMask = 0xFF;
    int m_formatDepth = 32;
    bool m_hardware = true;
    bool m_squareTexturesOnly = false;
    bool m_cubeMaps = true;
    bool m_textureCompression = false;
    bool m_stencil = false;
    bool m_lowQualityTextures = false;
    bool m_vsync = true;
    std::uint32_t m_clearColor = 0x00FF0000;

    ViewportRect m_fullViewport;
    ViewportRect m_viewport;

private:
    void sendIfChanged(MatrixCache& cache, Matrix4& copy, TransformKind kind,
                       const Matrix4& matrix);

    MatrixCache m_projectionCache;
    MatrixCache m_viewCache;
    MatrixCache m_worldCache;
    DeferredRelease<Texture> m_deferred;
    StateBlockCache m_stateBlocks;
    SharedTextureMap m_sharedTextures;
    std::vector<std::unique_ptr<RenderDriver>> m_drivers;
    std::map<std::string, Font*> m_fonts;
    OwnedSet<Texture> m_textures;
    OwnedSet<MeshBuffer> m_meshBuffers;
    OwnedSet<Surface2D> m_surfaces;
    OwnedSet<Font> m_printers;
    SoundSystem* m_sound = nullptr;
};

}  // namespace vesta
