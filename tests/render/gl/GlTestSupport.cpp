#include "GlTestSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <epoxy/gl.h>
#include <memory>
#include <png.h>

namespace vesta::test {

gl::EglContext& CoreContext() {
    static gl::EglContext context(gl::ContextKind::Core33);
    context.MakeCurrent();
    return context;
}

gl::EglContext& LegacyContext() {
    static gl::EglContext context(gl::ContextKind::Compatibility);
    context.MakeCurrent();
    return context;
}

Rgba Image::At(int x, int y) const {
    const std::uint8_t* p = &pixels[(static_cast<std::size_t>(y) * width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

RenderTarget::RenderTarget(int width, int height) : m_width(width), m_height(height) {
    glGenRenderbuffers(1, &m_color);
    glBindRenderbuffer(GL_RENDERBUFFER, m_color);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glGenRenderbuffers(1, &m_depth);
    glBindRenderbuffer(GL_RENDERBUFFER, m_depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    glGenFramebuffers(1, &m_framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_color);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                              m_depth);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        std::fprintf(stderr, "framebuffer incomplete\n");
        std::abort();
    }
    glViewport(0, 0, width, height);
}

RenderTarget::~RenderTarget() {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &m_framebuffer);
    glDeleteRenderbuffers(1, &m_color);
    glDeleteRenderbuffers(1, &m_depth);
}

void RenderTarget::Bind() const {
    glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    glViewport(0, 0, m_width, m_height);
}

Image RenderTarget::Read() const {
    Bind();
    Image image;
    image.width = m_width;
    image.height = m_height;
    image.pixels.resize(static_cast<std::size_t>(m_width) * m_height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    // Framebuffer row 0 is the picture's top row: no turning over here.
    glReadPixels(0, 0, m_width, m_height, GL_RGBA, GL_UNSIGNED_BYTE, image.pixels.data());
    return image;
}

std::vector<std::uint8_t> RenderTarget::ReadStencil() const {
    Bind();
    std::vector<std::uint8_t> values(static_cast<std::size_t>(m_width) * m_height);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, m_width, m_height, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, values.data());
    return values;
}

std::uint32_t MakeTexture(int width, int height, const std::vector<std::uint32_t>& argb) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    // A8R8G8B8 words are B, G, R, A in memory on this little-endian machine.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                 argb.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    return name;
}

std::uint32_t MakeCubeTexture(const std::uint32_t faceColors[6]) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_CUBE_MAP, name);
    for (int face = 0; face < 6; ++face) {
        const std::vector<std::uint32_t> texels(4, faceColors[face]);
        glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, GL_RGBA8, 2, 2, 0, GL_BGRA,
                     GL_UNSIGNED_BYTE, texels.data());
    }
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAX_LEVEL, 0);
    return name;
}

void DeleteTexture(std::uint32_t name) {
    glDeleteTextures(1, &name);
}

void BeginPlayerFrame(RenderModule& module, const Rgba& background) {
    module.SetClearColor(background.r / 255.0f, background.g / 255.0f, background.b / 255.0f, 0);
    module.BeginFrame();
    module.Clear(0);
    module.SetNearPlane(1.0f);
    module.SetFarPlane(1000.0f);
    module.SetCullMode(CullMode::CounterClockwise);
    module.ApplyCamera();
    module.SetDepthTest(true);
    module.SetDepthWrite(true);
}

Image ReadBackBuffer(RenderModule& module, int width, int height) {
    int pitch = 0;
    const std::uint8_t* frame = module.LockBackBuffer(pitch);
    Image image{width, height, std::vector<std::uint8_t>(std::size_t(width) * height * 4)};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* bgrx = frame + y * pitch + x * 4;
            std::uint8_t* rgba = &image.pixels[(std::size_t(y) * width + x) * 4];
            rgba[0] = bgrx[2];
            rgba[1] = bgrx[1];
            rgba[2] = bgrx[0];
            rgba[3] = 255;
        }
    }
    module.UnlockBackBuffer();
    return image;
}

void WritePng(const std::string& path, const Image& image) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        return;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
                 static_cast<png_uint_32>(image.height), 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y) {
        png_write_row(png, &image.pixels[static_cast<std::size_t>(y) * image.width * 4]);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

bool ImagesNear(const Image& actual, const Image& expected, int tolerance,
                const std::string& name) {
    if (actual.width != expected.width || actual.height != expected.height) {
        return false;
    }
    Image difference = actual;
    int worst = 0;
    for (std::size_t i = 0; i < actual.pixels.size(); ++i) {
        const int d = std::abs(actual.pixels[i] - expected.pixels[i]);
        worst = std::max(worst, d);
        difference.pixels[i] =
            (i % 4 == 3) ? 255 : static_cast<std::uint8_t>(std::min(255, d * 16));
    }
    if (worst <= tolerance) {
        return true;
    }
    std::fprintf(stderr, "%s: largest difference %d (tolerance %d)\n", name.c_str(), worst,
                 tolerance);
    WritePng(name + "-actual.png", actual);
    WritePng(name + "-expected.png", expected);
    WritePng(name + "-difference.png", difference);
    return false;
}

std::vector<RenderVertex> Quad(float x0, float y0, float x1, float y1, float z,
                               std::uint32_t argb) {
    auto vertex = [&](float x, float y, float u, float v) {
        return RenderVertex{x, y, z, 0, 0, -1, argb, u, v, u, v};
    };
    // Clockwise on screen (rows downwards): Direct3D's front face.
    return {vertex(x0, y0, 0, 0), vertex(x1, y0, 1, 0), vertex(x0, y1, 0, 1), vertex(x1, y1, 1, 1)};
}

Matrix4 PixelProjection(int width, int height) {
    // x' = 2x/W - 1, y' = 1 - 2y/H, z' = z.
    Matrix4 m;
    m.m[0][0] = 2.0f / static_cast<float>(width);
    m.m[1][1] = -2.0f / static_cast<float>(height);
    m.m[3][0] = -1.0f;
    m.m[3][1] = 1.0f;
    return m;
}

}  // namespace vesta::test
