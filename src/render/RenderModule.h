#pragma once
// The device every effect draws through. Layers, modifiers, fonts, the
// texture manager and the main loop see only this class.
//
// The module is backend-neutral: its operations write one RenderState (the
// only place any of the interface's state lives), keep state blocks as
// values, own the textures, mesh buffers and surfaces it hands out, and name
// device resources by generation-checked handles. A concrete module (the
// OpenGL one, or the recording one of the tests) implements only the narrow
// device seam at the end of this class: create, upload and release
// resources; draw with a given state; clear; present; read back; select a
// render target.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "render/Camera.h"
#include "render/DeferredRelease.h"
#include "render/Handle.h"
#include "render/RenderResources.h"
#include "render/RenderState.h"
#include "render/RenderTypes.h"
#include "render/StateBlock.h"
#include "render/StateBlockCache.h"
#include "render/VertexShaderProgram.h"

namespace vesta {

class PlatformWindow;
class SoundSystem;

// The vertex layouts a draw can come in.
enum class VertexLayout : std::uint8_t {
    Render,          // RenderVertex, 44 bytes
    PointSprite,     // position and A8R8G8B8 diffuse, 16 bytes
    Pretransformed,  // position in pixels of the target, drawn white, unlit
};

enum class DeviceTextureKind : std::uint8_t { Picture, RenderTarget, CubeTarget };

struct DeviceTextureDesc {
    int width = 0;
    int height = 0;
    DeviceTextureKind kind = DeviceTextureKind::Picture;
};

// One draw as the seam receives it, with the module's state.
struct DrawCall {
    PrimitiveType primitive = PrimitiveType::TriangleList;
    VertexLayout layout = VertexLayout::Render;
    // From memory when `buffer` is not valid.
    const void* vertices = nullptr;
    int vertexCount = 0;
    const std::uint16_t* indices = nullptr;
    // From a mesh buffer: its vertices, and its indices when `indexed`.
    MeshHandle buffer;
    bool indexed = false;
    // Vertices drawn (not indexed) or indices drawn (indexed).
    int count = 0;
};

struct ClearRequest {
    bool color = false;
    bool depth = false;
    bool stencil = false;
    std::uint32_t argb = 0;  // A8R8G8B8
};

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
    int GetDriverCount() const;
    // std::out_of_range past the end.
    RenderDriver& GetDriver(int index);
    void AddDriver(std::unique_ptr<RenderDriver> driver);
    void SelectDriver(RenderDriver* driver);
    void SelectDevice(RenderDevice* device);
    void SelectVideoMode(const VideoMode* mode);
    RenderDriver* GetSelectedDriver() const { return m_selectedDriver; }
    RenderDevice* GetSelectedDevice() const { return m_selectedDevice; }
    const VideoMode* GetSelectedVideoMode() const { return m_selectedMode; }

    // --- frame ------------------------------------------------------------
    // Bit 0: depth (and stencil) only; bit 1: end the scene around the clear.
    bool Clear(std::uint32_t flags);
    void SetClearColor(float red, float green, float blue, float alpha);
    void EnableColorClear(bool enabled) { m_colorClear = enabled; }
    // One step of deferred texture release, then the scene begins.
    void BeginFrame();
    void EndFrame();
    bool Present(int ignored);
    // While on, draws are dropped and every point counts as hidden; states,
    // uploads and clears go on as always. For frames nobody sees.
    void SetDrawingSkipped(bool skipped) { m_drawingSkipped = skipped; }
    bool DrawingSkipped() const { return m_drawingSkipped; }
    void SetVSync(bool enabled) { m_vsync = enabled; }
    void StoreRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);

    // --- camera and transforms ---------------------------------------------
    void SetNearPlane(float value) { m_nearPlane = value; }
    void SetFarPlane(float value) { m_farPlane = value; }
    float NearPlane() const { return m_nearPlane; }
    float FarPlane() const { return m_farPlane; }
    void SetFieldOfView(float radians) { m_fieldOfView = radians; }
    void SetRoll(float radians) { m_roll = radians; }
    void SetCameraPosition(const Vector3& position) { m_cameraPosition = position; }
    void SetCameraTarget(const Vector3& target) { m_cameraTarget = target; }
    void ApplyCamera();
    void SetOrthographic(float width, float height, float nearPlane, float farPlane);
    // In percent of the back buffer; width and height both 0 restore the full one.
    void SetViewport(float x, float y, float width, float height);
    void SetProjectionMatrix(const Matrix4& matrix);
    void SetViewMatrix(const Matrix4& matrix);
    void SetWorldMatrix(const Matrix4& matrix);

    // --- resources ---------------------------------------------------------
    MeshBuffer* CreateMeshBuffer();
    void DestroyMeshBuffer(MeshBuffer* buffer);
    Texture* CreateTexture();
    Surface2D* CreateSurface2D();
    void DestroySurface2D(Surface2D* surface);
    Font* CreateTextPrinter(const std::string& name);
    void DestroyTextPrinter(Font* font);
    // 512 with low-quality textures, else the device's largest texture width.
    int GetMaxTextureSize() const;
    int GetTextureSizeStep() const { return 1; }
    // Destroys every texture waiting for deferred release.
    void DestroyAllTextures();
    // Reads again the picture files of that lookup name (PictureLookupName)
    // into the live textures made from them; how many device textures changed.
    int ReloadPictures(const std::string& lookupName);

    // --- texture stages (0 to kMaxTextureStages - 1; others do nothing) ------
    void SetTexture(int stage, Texture* texture);
    void SetColorOp(int stage, ColorOp op);
    void SetColorArg1(int stage, ColorArg arg);
    void SetColorArg2(int stage, ColorArg arg);
    void SetAlphaOp(int stage, AlphaOp op);
    void SetAlphaArg1(int stage, AlphaArg arg);
    void SetAlphaArg2(int stage, AlphaArg arg);
    // On: coordinates from the camera-space reflection vector, mirrored
    // addressing; off: coordinate set 0, wrapped addressing.
    void SetEnvironmentMapping(int stage, bool enabled);
    // The vertex coordinate set (0 or 1) the stage reads; environment mapping off.
    void SetTextureCoordIndex(int stage, int index);

    // --- stencil -----------------------------------------------------------
    void SetStencilEnable(bool enabled);
    void SetStencilFunc(Comparison func);
    void SetStencilZFailOp(StencilOp op);
    void SetStencilFailOp(StencilOp op);
    void SetStencilPassOp(StencilOp op);
    void SetStencilRef(std::uint32_t value);
    void SetStencilMask(std::uint32_t value);
    void SetStencilWriteMask(std::uint32_t value);

    // --- state blocks --------------------------------------------------------
    // Between Begin and End the state setters record into the block instead
    // of changing the state.
    void BeginStateBlock();
    // Ends recording into `token`; blocks recorded under one id (not -1) are shared.
    void EndStateBlock(StateBlock& token, std::int32_t id);
    // The cached token of `id`, or -1.
    std::int64_t FindStateBlock(std::int32_t id) const { return m_stateBlockIds.Find(id); }
    void ApplyStateBlock(StateBlock token);
    void ReleaseStateBlock(StateBlock token);
    std::size_t LiveStateBlockCount() const { return m_stateBlocks.size(); }

    // --- back buffer ---------------------------------------------------------
    // The frame in the back buffer's format, top row first.
    std::uint8_t* LockBackBuffer(int& pitch);
    void UnlockBackBuffer();
    // Retires the finished frame to be read a frame later without waiting for
    // the frame drawn in between (recordings). False when the device keeps
    // none (LockBackBuffer is the way then) or all it keeps are unread.
    bool QueueFrameCopy() { return queueFrameCopy(); }
    // The oldest retired frame as LockBackBuffer gives the frame; null when none.
    const std::uint8_t* ReadFrameCopy(int& pitch) { return readFrameCopy(pitch); }

    // --- blending, depth, alpha test -----------------------------------------
    void SetSrcBlend(BlendFactor factor);
    void SetDestBlend(BlendFactor factor);
    void SetAlphaBlend(bool enabled);
    void SetTextureFactor(std::uint32_t argb);
    void SetDepthTest(bool enabled);
    void SetDepthWrite(bool enabled);
    void SetDepthFunc(Comparison func);
    void SetAlphaTest(bool enabled, std::uint32_t reference);
    void SetAlphaFunc(Comparison func);
    void SetColorWriteMask(bool red, bool green, bool blue, bool alpha);

    // --- drawing from memory -------------------------------------------------
    void DrawIndexed(PrimitiveType type, const std::vector<RenderVertex>& vertices,
                     const std::vector<std::uint16_t>& indices);
    void Draw(PrimitiveType type, int vertexCount, const RenderVertex* vertices);

    // --- rasteriser, lighting, points, fog -----------------------------------
    void SetCullMode(CullMode mode);
    void SetShadeMode(ShadeMode mode);
    void SetFillMode(FillMode mode);
    void SetLighting(bool enabled);
    void SetMaterial(const RenderMaterial& material);
    // Bilinear (anisotropic where the device offers it) on a hardware device
    // when on; point otherwise.
    void SetTextureFiltering(int stage, bool enabled);
    void SetPointSprites(bool enabled);
    void SetPointSize(float size, float minimumSize);
    void SetPointScale(float a, float b, float c);
    void SetFogEnable(bool enabled);
    void SetFogColor(float red, float green, float blue);
    void SetFog(FogMode mode, float start, float end, float density);

    // Whether a 3D point passes the depth test on screen. Leaves fog off.
    bool IsPointVisible(const Vector3& position);
    // Renders into a render-target texture, or back into the back buffer (null).
    void SetRenderTarget(Texture* texture, int ignored);

    // --- lights and shaders --------------------------------------------------
    // Copies the device light's colour, position and range back.
    void GetLight(int index, RenderLight& light) const;
    void SetLight(int index, const RenderLight& light);
    bool EnableLight(int index, bool enabled);
    void SetAmbient(int ignored, float red, float green, float blue);
    // Once per file name. A file that cannot be opened, whose token stream
    // is not a sound vertex shader of version 1.0 or 1.1, or that the device
    // refuses, raises an error naming it.
    ShaderHandle LoadVertexShader(const std::string& fileName);
    // Four floats per register; registers outside c0..c95 are skipped.
    void SetVertexShaderConstant(int firstRegister, const float* data, int count);
    // 0 draws with the fixed function again.
    void SetVertexShader(ShaderHandle handle);
    // The decoded program of a loaded shader; null for 0 or unknown handles.
    const VertexShaderProgram* VertexShader(ShaderHandle handle) const;
    // Axis 0 = U, 1 = V; any other axis does nothing.
    void SetTextureAddress(int stage, int axis, TextureAddress mode);
    // Destroys a texture at once; a texture this module does not hold is reported.
    void DestroyTexture(Texture* texture);

    // --- the base's own operations -------------------------------------------
    // How layers give textures back: queued when deferred release is on.
    void ReleaseTexture(Texture* texture);
    void SetDeferredRelease(bool enabled, float interval);
    // The cached font of `name`, created on first request; owned by the module.
    Font* GetFont(const std::string& name);
    // Textures an effect draws into, by the NameHash of the name they were
    // made dynamic under (Texture::MakeDynamic); a later one of the same name
    // takes the place. Null when there is none.
    Texture* FindDynamicTexture(std::string_view name) const;
    void RegisterDynamicTexture(std::string_view name, Texture* texture);
    void UnregisterDynamicTexture(std::string_view name);

    void SetTextureCompression(bool enabled) { m_textureCompression = enabled; }
    void SetLowQualityTextures(bool enabled) { m_lowQualityTextures = enabled; }
    void SetSoundSystem(SoundSystem* sound) { m_sound = sound; }
    SoundSystem* GetSoundSystem() const { return m_sound; }

    // The state draws are made with.
    const RenderState& State() const { return m_state; }
    int BackBufferWidth() const { return m_width; }
    int BackBufferHeight() const { return m_height; }
    int BitsPerPixel() const { return m_bitsPerPixel; }
    float Aspect() const { return m_aspect; }
    bool FogEnabled() const { return m_state.fog.enabled; }
    bool LightingEnabled() const { return m_state.lighting; }
    bool ColorClearEnabled() const { return m_colorClear; }
    std::uint32_t ClearColor() const { return m_clearColor; }  // X8R8G8B8
    bool VSync() const { return m_vsync; }
    bool LowQualityTextures() const { return m_lowQualityTextures; }
    bool TextureCompression() const { return m_textureCompression; }
    const Matrix4& ProjectionMatrix() const { return m_state.projection; }
    const Matrix4& ViewMatrix() const { return m_state.view; }
    const Matrix4& WorldMatrix() const { return m_state.world; }
    const Viewport& CurrentViewport() const { return m_state.viewport; }
    std::size_t PendingTextureCount() const { return m_deferred.Count(); }
    // The three colour masks and depth of the back buffer's format.
    std::uint32_t RedMask() const { return m_redMask; }
    std::uint32_t GreenMask() const { return m_greenMask; }
    std::uint32_t BlueMask() const { return m_blueMask; }
    const SharedTextureMap& SharedTextures() const { return m_sharedTextures; }
    SharedTextureMap& SharedTextures() { return m_sharedTextures; }
    std::size_t LiveDeviceTextureCount() const { return m_deviceTextures.LiveCount(); }
    // Textures handed out and not yet destroyed (also those waiting for a
    // deferred release); mesh buffers likewise, and the device's buffers.
    std::size_t LiveTextureCount() const { return m_textures.Count(); }
    std::size_t LiveMeshBufferCount() const { return m_meshBuffers.Count(); }
    std::size_t LiveDeviceBufferCount() const { return m_deviceBuffers.LiveCount(); }
    // Whether `texture` is one this module handed out and still holds.
    bool HoldsTexture(const Texture* texture) const { return m_textures.Contains(texture); }
    // The size and kind of a live device texture; null for a stale handle.
    const DeviceTextureDesc* DeviceTexture(TextureHandle handle) const {
        return m_deviceTextures.Get(handle);
    }

protected:
    // ===== the device seam =====================================================
    // Resources. Handles reach the seam only while live.
    virtual bool createDeviceTexture(TextureHandle handle, const DeviceTextureDesc& desc,
                                     const std::uint8_t* bgra) = 0;
    // Level 0 of a picture or render target as B, G, R, A bytes, top row first.
    virtual void uploadDeviceTexture(TextureHandle handle, const std::uint8_t* bgra) = 0;
    virtual void readDeviceTexture(TextureHandle handle, std::uint8_t* bgra) = 0;
    virtual void releaseDeviceTexture(TextureHandle handle) = 0;
    virtual void createDeviceBuffer(MeshHandle handle, std::size_t vertexBytes, int indexCount) = 0;
    virtual void uploadDeviceVertices(MeshHandle handle, const void* data, std::size_t bytes) = 0;
    virtual void uploadDeviceIndices(MeshHandle handle, const std::uint16_t* data, int count) = 0;
    virtual void releaseDeviceBuffer(MeshHandle handle) = 0;
    virtual std::unique_ptr<Font> createDevicePrinter(const std::string& name) = 0;
    // A checked program for the draws that select `handle`; false with a
    // reason when the device cannot run it.
    virtual bool createDeviceShader(ShaderHandleId /*handle*/,
                                    const VertexShaderProgram& /*program*/,
                                    std::string& /*reason*/) {
        return true;
    }
    // Frames and targets.
    virtual void beginScene() = 0;
    virtual void endScene() = 0;
    // EndFrame's first step, before endScene: a module may lay something of
    // its own over the finished frame here (a Clear that ends the scene
    // mid-frame does not come here).
    virtual void finishFrame() {}
    // The state's viewport rectangle, whatever the write masks.
    virtual void clearTarget(const ClearRequest& request) = 0;
    virtual void drawPrimitives(const DrawCall& call) = 0;
    virtual void presentFrame() = 0;
    // An invalid handle selects the back buffer; `face` is a cube face or -1.
    virtual void selectRenderTarget(TextureHandle target, int face) = 0;
    // Read back.
    virtual std::uint8_t* lockFrame(int& pitch) = 0;
    virtual void unlockFrame() = 0;
    virtual bool queueFrameCopy() { return false; }
    virtual const std::uint8_t* readFrameCopy(int& /*pitch*/) { return nullptr; }
    virtual std::uint16_t readFramePixel16(int x, int y) = 0;
    // ==========================================================================

    // Fills the size, aspect, full viewport and starting state once the
    // device exists.
    void setBackBuffer(int width, int height, int bitsPerPixel);
    void setFormatMasks(std::uint32_t red, std::uint32_t green, std::uint32_t blue, int depth);
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

    int m_maxTextureWidth = 2048;
    bool m_hardware = true;
    bool m_squareTexturesOnly = false;
    bool m_cubeMaps = true;
    bool m_anisotropic = false;
    bool m_textureCompression = false;
    bool m_stencil = false;
    bool m_vsync = true;
    bool m_drawingSkipped = false;

private:
    friend class Texture;
    friend class MeshBuffer;

    // The state a setter writes: the live one, or the block being recorded
    // (marking the field).
    RenderState& edit(GlobalField field);
    TextureStage* editStage(int stage, StageField field);
    DeviceLight* editLight(int index, LightField field);
    void submit(DrawCall& call);
    // A stage whose texture was released since it was set draws without one.
    void dropReleasedTextures();

    // For Texture and MeshBuffer.
    TextureHandle allocateDeviceTexture(const DeviceTextureDesc& desc, const std::uint8_t* bgra);
    void freeDeviceTexture(TextureHandle handle);
    void updateDeviceTexture(TextureHandle handle, const std::uint8_t* bgra);
    void fetchDeviceTexture(TextureHandle handle, std::uint8_t* bgra);
    void drawIntoCubeFace(TextureHandle cube, int face);
    MeshHandle allocateDeviceBuffer(std::size_t vertexBytes, int indexCount);
    void freeDeviceBuffer(MeshHandle handle);
    void updateDeviceVertices(MeshHandle handle, const void* data, std::size_t bytes);
    void updateDeviceIndices(MeshHandle handle, const std::uint16_t* data, int count);
    void drawBuffer(MeshHandle handle, PrimitiveType type, VertexLayout layout, bool indexed,
                    int count);

    RenderState m_state;
    bool m_recordingBlock = false;
    RecordedStateBlock m_recording;
    std::map<StateBlock, RecordedStateBlock> m_stateBlocks;
    StateBlock m_nextStateBlock = 1;
    StateBlockCache m_stateBlockIds;

    int m_width = 0;
    int m_height = 0;
    int m_bitsPerPixel = 0;
    float m_aspect = 0.75f;
    Viewport m_fullViewport;
    bool m_colorClear = true;
    std::uint32_t m_clearColor = 0x00FF0000;
    std::int32_t m_storedRect[4] = {0, 0, 0, 0};

    float m_fieldOfView = 0.7f;
    float m_roll = 0.0f;
    float m_nearPlane = 1.0f;
    float m_farPlane = 4000.0f;
    Vector3 m_cameraPosition;
    Vector3 m_cameraTarget;

    std::uint32_t m_redMask = 0xFF0000;
    std::uint32_t m_greenMask = 0xFF00;
    std::uint32_t m_blueMask = 0xFF;
    int m_formatDepth = 32;
    bool m_lowQualityTextures = false;

    HandlePool<TextureTag, DeviceTextureDesc> m_deviceTextures;
    HandlePool<MeshTag, std::size_t> m_deviceBuffers;  // vertex bytes
    struct LoadedShader {
        std::string fileName;
        VertexShaderProgram program;
    };
    HandlePool<ShaderTag, LoadedShader> m_shaderFiles;
    std::map<std::string, ShaderHandle> m_shaders;
    DeferredRelease<Texture> m_deferred;
    SharedTextureMap m_sharedTextures;
    // Before the textures: their destructors leave it.
    std::map<std::uint16_t, Texture*> m_dynamicTextures;
    std::vector<std::unique_ptr<RenderDriver>> m_drivers;
    std::map<std::string, Font*> m_fonts;
    OwnedSet<Texture> m_textures;
    OwnedSet<MeshBuffer> m_meshBuffers;
    OwnedSet<Surface2D> m_surfaces;
    OwnedSet<Font> m_printers;
    SoundSystem* m_sound = nullptr;
};

}  // namespace vesta
