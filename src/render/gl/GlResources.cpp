#include "render/gl/GlResources.h"

#include "log/Log.h"
#include "render/gl/GlModule.h"
#include "render/image/PixelConvert.h"
#include "render/image/TextureSize.h"

namespace vesta {

GlTexture::GlTexture(GlModule& module) : Texture(module), m_gl(module) {}

GlTexture::~GlTexture() {
    const bool shared = m_shared;
    const bool last = shared && m_gl.SharedTextures().Release(m_sharedKey);
    if (!shared || last) {
        if (m_framebuffer && m_texture) {
            m_gl.SetTargetFramebuffer(m_texture, 0);
        }
        glDeleteTextures(1, &m_texture);
        glDeleteTextures(1, &m_cube);
        glDeleteFramebuffers(1, &m_framebuffer);
        glDeleteRenderbuffers(1, &m_depth);
    }
}

bool GlTexture::IsShared(const std::string& key) const {
    return !key.empty() && m_gl.SharedTextures().Find(key) != nullptr;
}

void GlTexture::bindShared(const SharedTexture& shared, const std::string& key) {
    m_texture = shared.handle;
    m_width = shared.width;
    m_height = shared.height;
    m_bitsPerPixel = shared.bits;
    // A texture without a name is nobody else's: sharing it under the empty
    // key would hand one picture to every unnamed texture.
    if (!key.empty()) {
        m_gl.SharedTextures().Register(key, shared);
        m_sharedKey = key;
        m_shared = true;
    }
}

GLuint GlTexture::createStorage(int width, int height, const std::uint8_t* bgra) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    // Rows are stored top row first, so v = 0 is the top of the picture.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, bgra);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    m_gl.Pipeline().Invalidate();
    return texture;
}

bool GlTexture::Upload(const std::uint8_t* pixels, int width, int height, bool hasAlpha, bool) {
    const std::string key = Key();
    if (const SharedTexture* shared = IsShared(key) ? m_gl.SharedTextures().Find(key) : nullptr) {
        bindShared(*shared, key);
        return true;
    }
    if (!pixels) {
        return false;
    }
    const TextureSize size = ChooseTextureSize(width, height, m_gl.GetMaxTextureSize());
    if (size.resized) {
        LogPrintf("%s", PowerOfTwoWarning(m_name, width, height, size.width, size.height).c_str());
    }
    const int channels = hasAlpha ? 4 : 3;
    std::vector<std::uint8_t> scaled;
    if (size.width != width || size.height != height) {
        scaled = Resample(pixels, width, height, channels, size.width, size.height);
        pixels = scaled.data();
    }
    const std::size_t count = static_cast<std::size_t>(size.width) * size.height;
    std::vector<std::uint8_t> opaque;
    if (!hasAlpha) {
        opaque = BgrToBgra(pixels, count);
        pixels = opaque.data();
    }
    // Textures take the desktop's 32-bit format whatever the frame's depth.
    bindShared({createStorage(size.width, size.height, pixels), size.width, size.height, 32, 0},
               key);
    return true;
}

bool GlTexture::CreateRenderTarget(int size, const char* sharedName, std::uint32_t flags) {
    if (flags & 1) {
        glGenTextures(1, &m_cube);
        glBindTexture(GL_TEXTURE_CUBE_MAP, m_cube);
        for (int face = 0; face < 6; ++face) {
            glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, GL_RGBA8, size, size, 0, GL_BGRA,
                         GL_UNSIGNED_BYTE, nullptr);
        }
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAX_LEVEL, 0);
        glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
        glGenFramebuffers(1, &m_framebuffer);
        m_width = m_height = size;
        m_bitsPerPixel = 32;
        m_gl.Pipeline().Invalidate();
        return true;
    }
    if (sharedName && *sharedName) {
        if (const SharedTexture* shared = m_gl.SharedTextures().Find(sharedName)) {
            bindShared(*shared, sharedName);
            m_framebuffer = m_gl.TargetFramebuffer(m_texture);
            return true;
        }
    }
    m_texture = createStorage(size, size, nullptr);
    m_width = m_height = size;
    m_bitsPerPixel = 32;
    glGenRenderbuffers(1, &m_depth);
    glBindRenderbuffer(GL_RENDERBUFFER, m_depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, size, size);
    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
    glGenFramebuffers(1, &m_framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, m_texture, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, m_depth);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
    if (!complete) {
        RaiseError("Cannot create Renderable texture (1)");
    }
    m_gl.SetTargetFramebuffer(m_texture, m_framebuffer);
    if (sharedName && *sharedName) {
        bindShared({m_texture, size, size, 32, 0}, sharedName);
    }
    return true;
}

void GlTexture::SetCubeFace(int face) {
    if (!m_cube) {
        RaiseError("Cannot set CubeMap level on standard texture.");
    }
    glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0,
                           static_cast<GLenum>(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face), m_cube, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                              m_gl.CubeDepthBuffer(m_width));
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        RaiseError("Cannot CubeMap DepthBuffer.");
    }
    m_gl.BindTarget(m_framebuffer, m_width, m_height);
    m_gl.Clear(1);
}

std::uint8_t* GlTexture::LockPixels(int) {
    m_locked.assign(static_cast<std::size_t>(m_width) * m_height * 4, 0);
    if (m_texture) {
        glBindTexture(GL_TEXTURE_2D, m_texture);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_BYTE, m_locked.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        m_gl.Pipeline().Invalidate();
    }
    return m_locked.data();
}

void GlTexture::UnlockPixels() {
    if (!m_texture || m_locked.empty()) {
        return;
    }
    glBindTexture(GL_TEXTURE_2D, m_texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, m_width, m_height, GL_BGRA, GL_UNSIGNED_BYTE,
                    m_locked.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    m_gl.Pipeline().Invalidate();
}

bool GlTexture::DitherTo16(std::uint8_t* buffer, bool maskOrder) {
    vesta::DitherTo16(buffer, m_width, m_height,
                      {m_gl.RedMask(), m_gl.GreenMask(), m_gl.BlueMask()}, maskOrder);
    return true;
}

GlMeshBuffer::~GlMeshBuffer() {
    glDeleteBuffers(1, &m_vertexBuffer);
    glDeleteBuffers(1, &m_indexBuffer);
}

bool GlMeshBuffer::Create(bool writeOnly, int vertexCount, int indexCount, bool pointSprite) {
    m_writeOnly = writeOnly;
    m_vertexCount = vertexCount;
    m_indexCount = indexCount;
    m_triangleCount = indexCount / 3;
    m_pointSprite = pointSprite;
    m_vertexFormat = pointSprite ? kPointSpriteFormat : kRenderVertexFormat;
    const std::size_t stride = pointSprite ? sizeof(PointSpriteVertex) : sizeof(RenderVertex);
    m_vertices.assign(stride * static_cast<std::size_t>(std::max(vertexCount, 0)), 0);
    m_indices.assign(static_cast<std::size_t>(std::max(indexCount, 1)), 0);
    glGenBuffers(1, &m_vertexBuffer);
    glGenBuffers(1, &m_indexBuffer);
    UnlockVertices();
    UnlockIndices();
    return true;
}

void GlMeshBuffer::UnlockVertices() {
    glBindBuffer(GL_ARRAY_BUFFER, m_vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(m_vertices.size()), m_vertices.data(),
                 GL_DYNAMIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    m_gl.Pipeline().Invalidate();
}

void GlMeshBuffer::UnlockIndices() {
    glBindBuffer(GL_COPY_WRITE_BUFFER, m_indexBuffer);
    glBufferData(GL_COPY_WRITE_BUFFER,
                 static_cast<GLsizeiptr>(m_indices.size() * sizeof(std::uint16_t)),
                 m_indices.data(), GL_DYNAMIC_DRAW);
    glBindBuffer(GL_COPY_WRITE_BUFFER, 0);
}

void GlMeshBuffer::DrawPrimitives(PrimitiveType type, int vertexCount, int indexCount) {
    // Indexed draws take their primitive count from the indices.
    const bool indexed = indexCount > 0;
    m_gl.Pipeline().DrawBuffer(type, gl::VertexLayout::Render, m_vertexBuffer, 0,
                               indexed ? m_indexBuffer : 0, indexed ? indexCount : vertexCount);
}

void GlMeshBuffer::DrawTriangles(int) {
    DrawPrimitives(PrimitiveType::TriangleList, m_vertexCount, m_triangleCount * 3);
}

void GlMeshBuffer::DrawPoints(int count) {
    const int points = count < 0 ? m_vertexCount : count;
    m_gl.Pipeline().DrawBuffer(PrimitiveType::PointList, gl::VertexLayout::PointSprite,
                               m_vertexBuffer, 0, 0, points);
}

bool GlSurface::Create(int width, int height) {
    m_width = width;
    m_height = height;
    m_pixels.assign(static_cast<std::size_t>(width) * height * 4, 0);
    return true;
}

std::uint8_t* GlSurface::Lock(int& pitch) {
    pitch = m_width * 4;
    return m_pixels.data();
}

}  // namespace vesta
