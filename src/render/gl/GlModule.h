#pragma once
// The render module on OpenGL 3.3 core: the device seam of RenderModule,
// with Direct3D's fixed-function device emulated by generated shaders and
// every frame drawn into an offscreen framebuffer of the video mode's size.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "render/RenderModule.h"
#include "render/gl/GlContext.h"
#include "render/gl/GlFrame.h"
#include "render/gl/GlPipeline.h"

namespace vesta {

class GlModule : public RenderModule {
public:
    static constexpr const char* kDescription = "OpenGL 3.3 Module for VestaNG Library";

    // Enumerates the displays (none: one headless driver) with their modes.
    GlModule();
    ~GlModule() override;

    bool Initialize(PlatformWindow* window, bool fullScreen, int width, int height,
                    int bitsPerPixel) override;
    std::string GetDescription() const override { return kDescription; }

protected:
    bool createDeviceTexture(TextureHandle handle, const DeviceTextureDesc& desc,
                             const std::uint8_t* bgra) override;
    void uploadDeviceTexture(TextureHandle handle, const std::uint8_t* bgra) override;
    void readDeviceTexture(TextureHandle handle, std::uint8_t* bgra) override;
    void releaseDeviceTexture(TextureHandle handle) override;
    void createDeviceBuffer(MeshHandle handle, std::size_t vertexBytes, int indexCount) override;
    void uploadDeviceVertices(MeshHandle handle, const void* data, std::size_t bytes) override;
    void uploadDeviceIndices(MeshHandle handle, const std::uint16_t* data, int count) override;
    void releaseDeviceBuffer(MeshHandle handle) override;
    std::unique_ptr<Font> createDevicePrinter(const std::string& name) override;
    bool createDeviceShader(ShaderHandleId handle, const VertexShaderProgram& program,
                            std::string& reason) override;
    void beginScene() override;
    void endScene() override;
    void clearTarget(const ClearRequest& request) override;
    void drawPrimitives(const DrawCall& call) override;
    void presentFrame() override;
    void selectRenderTarget(TextureHandle target, int face) override;
    std::uint8_t* lockFrame(int& pitch) override;
    void unlockFrame() override;
    bool queueFrameCopy() override;
    const std::uint8_t* readFrameCopy(int& pitch) override;
    std::uint16_t readFramePixel16(int x, int y) override;

private:
    // What GL holds for one texture handle.
    struct GlTexture {
        unsigned texture = 0;
        unsigned framebuffer = 0;  // render targets
        unsigned depth = 0;        // 2D render targets, from the first need on
        gl::TargetDepth targetDepth;
        bool cube = false;
        int edge = 0;  // render targets are square
    };
    struct GlBuffer {
        unsigned vertices = 0;
        unsigned indices = 0;
    };

    void createContext(PlatformWindow* window, int colorBits, int depthBits);
    void logCapabilities() const;
    void setInitialState();
    GlTexture& textureSlot(TextureHandle handle);
    GlBuffer& bufferSlot(MeshHandle handle);
    bool createTargetStorage(GlTexture& slot, int size);
    gl::TargetDepth& targetDepth(TextureHandle target);
    // Gives the bound target the depth buffer that its first depth or
    // stencil clear or test needs.
    void attachTargetDepth();
    // One shared depth buffer per cube-map edge.
    unsigned cubeDepthBuffer(int edge);
    void bindStageTextures();

    std::unique_ptr<GlContext> m_context;
    std::unique_ptr<gl::GlPipeline> m_pipeline;
    std::unique_ptr<GlFrame> m_frame;
    std::vector<GlTexture> m_textures;  // by handle index
    std::vector<GlBuffer> m_buffers;    // by handle index
    std::map<int, unsigned> m_cubeDepthBuffers;
    TextureHandle m_target;  // none: the back buffer
    gl::TargetDepth m_frameDepth{false, {}};
    gl::TargetDepth m_releasedTargetDepth;
    bool m_inScene = false;
    bool m_fullScreen = false;
};

void RegisterGlModule();

}  // namespace vesta
