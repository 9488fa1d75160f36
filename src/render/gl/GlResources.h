#pragma once
// The OpenGL module's textures, mesh buffers and image surfaces.

#include <epoxy/gl.h>

#include <vector>

#include "render/RenderResources.h"

namespace vesta {

class GlModule;

class GlTexture : public Texture {
public:
    explicit GlTexture(GlModule& module);
    ~GlTexture() override;

    bool CreateRenderTarget(int size, const char* sharedName, std::uint32_t flags) override;
    std::uint8_t* LockPixels(int ignored) override;
    void UnlockPixels() override;
    void SetCubeFace(int face) override;
    bool Upload(const std::uint8_t* pixels, int width, int height, bool hasAlpha,
                bool noDither) override;
    bool IsShared(const std::string& key) const override;
    bool DitherTo16(std::uint8_t* buffer, bool maskOrder) override;

    GLuint Name() const { return m_cube ? m_cube : m_texture; }
    bool IsCube() const { return m_cube != 0; }
    GLuint Framebuffer() const { return m_framebuffer; }

private:
    void bindShared(const SharedTexture& shared, const std::string& key);
    GLuint createStorage(int width, int height, const std::uint8_t* bgra);

    GlModule& m_gl;
    GLuint m_texture = 0;
    GLuint m_cube = 0;
    GLuint m_framebuffer = 0;
    GLuint m_depth = 0;
    std::string m_sharedKey;  // the key this texture holds a count of, if any
    std::vector<std::uint8_t> m_locked;
};

class GlMeshBuffer : public MeshBuffer {
public:
    explicit GlMeshBuffer(GlModule& module) : m_gl(module) {}
    ~GlMeshBuffer() override;

    bool Create(bool writeOnly, int vertexCount, int indexCount, bool pointSprite) override;
    void* LockVertices() override { return m_vertices.data(); }
    void* LockVerticesForWrite() override { return m_vertices.data(); }
    void UnlockVertices() override;
    void DrawPrimitives(PrimitiveType type, int vertexCount, int indexCount) override;
    void DrawTriangles(int ignored) override;
    void DrawPoints(int count) override;
    std::uint16_t* LockIndices() override { return m_indices.data(); }
    void UnlockIndices() override;

private:
    GlModule& m_gl;
    GLuint m_vertexBuffer = 0;
    GLuint m_indexBuffer = 0;
    bool m_pointSprite = false;
    std::vector<std::uint8_t> m_vertices;
    std::vector<std::uint16_t> m_indices;
};

// An image surface lives in memory, as the device's did, in the 32-bit format.
class GlSurface : public Surface2D {
public:
    bool Create(int width, int height) override;
    std::uint8_t* Lock(int& pitch) override;
    void Unlock() override {}

private:
    std::vector<std::uint8_t> m_pixels;
};

}  // namespace vesta
