#pragma once
// A render module that draws nothing and remembers what reaches its device
// seam: every draw with its vertices, indices and the complete render state
// it was drawn with, clears, frames, presents, texture and buffer traffic and
// printed texts. Timeline, layer and scene logic is tested by what it draws
// and with which state, not by which setters ran.

#include <string>
#include <string_view>
#include <vector>

#include "render/RenderModule.h"

namespace vesta {

struct RecordedCall {
    std::string name;
    std::vector<double> values;    // the numeric arguments, in order
    std::string text;              // a text argument (printed text, file name)
    const void* object = nullptr;  // a font argument
    Matrix4 matrix;                // draws: the world matrix
    std::vector<RenderVertex> vertices;
    std::vector<std::uint16_t> indices;
    RenderState state;                 // draws: the whole state drawn with
    DrawCall draw;                     // draws: the call (its pointers are not kept)
    TextureHandle texture;             // texture traffic and render targets
    std::vector<std::uint8_t> pixels;  // texture creation and upload: B, G, R, A bytes
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
    // Every draw ("Draw", "DrawIndexed", "DrawBuffer", "DrawPoint"), in order.
    std::vector<const RecordedCall*> Draws() const;
    std::vector<std::string> Names() const;
    void ClearCalls() { m_calls.clear(); }
    RecordedCall& Record(std::string name, std::vector<double> values = {},
                         const void* object = nullptr);

    bool Initialize(PlatformWindow* window, bool fullScreen, int width, int height,
                    int bitsPerPixel) override;
    std::string GetDescription() const override { return kDescription; }

    // What the occlusion probe finds (true by default).
    void SetPointVisibility(bool visible) { m_pointsVisible = visible; }

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
    void beginScene() override;
    void endScene() override;
    void clearTarget(const ClearRequest& request) override;
    void drawPrimitives(const DrawCall& call) override;
    void presentFrame() override;
    void selectRenderTarget(TextureHandle target, int face) override;
    std::uint8_t* lockFrame(int& pitch) override;
    void unlockFrame() override;
    std::uint16_t readFramePixel16(int x, int y) override;

private:
    std::vector<RecordedCall> m_calls;
    std::vector<std::uint8_t> m_backBuffer;
    std::uint16_t m_probe = 0;
    bool m_pointsVisible = true;
};

}  // namespace vesta
