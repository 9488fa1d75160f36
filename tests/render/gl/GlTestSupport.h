#pragma once
// Off-screen rendering for the pipeline tests: contexts, a framebuffer to
// draw into, pictures read back, textures made from pixels, PNG output.

#include <cstdint>
#include <string>
#include <vector>

#include "render/RenderModule.h"
#include "render/gl/EglContext.h"
#include "render/gl/PipelineState.h"

namespace vesta::test {

// One context of each kind for the whole test program, made current on request.
gl::EglContext& CoreContext();
gl::EglContext& LegacyContext();

struct Rgba {
    int r, g, b, a;
};

// Top row first, 8 bits per channel.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
    Rgba At(int x, int y) const;
};

// A framebuffer object with RGBA8 colour and 24-bit depth + 8-bit stencil,
// in the context current at construction.
class RenderTarget {
public:
    RenderTarget(int width, int height);
    ~RenderTarget();
    RenderTarget(const RenderTarget&) = delete;
    RenderTarget& operator=(const RenderTarget&) = delete;

    void Bind() const;
    Image Read() const;
    std::vector<std::uint8_t> ReadStencil() const;
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    int m_width, m_height;
    std::uint32_t m_framebuffer = 0;
    std::uint32_t m_color = 0;
    std::uint32_t m_depth = 0;
};

// A 2D texture from A8R8G8B8 texels, top row first; no mipmaps.
std::uint32_t MakeTexture(int width, int height, const std::vector<std::uint32_t>& argb);
// A cube map whose faces (+x, -x, +y, -y, +z, -z) are each one colour.
std::uint32_t MakeCubeTexture(const std::uint32_t faceColors[6]);
void DeleteTexture(std::uint32_t name);

void WritePng(const std::string& path, const Image& image);

// A frame begun as a model player draws: cleared to `background`, near and
// far planes 1 and 1000, counter-clockwise faces culled, depth on.
void BeginPlayerFrame(RenderModule& module, const Rgba& background);

// The module's back buffer of width x height, top row first, opaque.
Image ReadBackBuffer(RenderModule& module, int width, int height);

// Compares per channel; on failure writes NAME-actual.png, NAME-expected.png
// and NAME-difference.png into the current folder and returns false.
bool ImagesNear(const Image& actual, const Image& expected, int tolerance, const std::string& name);

// A quad (triangle strip) from (x0, y0) to (x1, y1) at depth z, all one colour,
// texture coordinates 0..1 across it (u0, v0 and u1, v1).
std::vector<RenderVertex> Quad(float x0, float y0, float x1, float y1, float z, std::uint32_t argb);

// Orthographic pixel space for a target of `width` x `height`: world x and y in
// pixels from the top left, z 0..1 as given.
Matrix4 PixelProjection(int width, int height);

}  // namespace vesta::test

// EXPECT that an Rgba is within `tolerance` of (r, g, b, a).
#define EXPECT_RGBA_NEAR(pixel, er, eg, eb, ea, tolerance)                                         \
    do {                                                                                           \
        const ::vesta::test::Rgba p_ = (pixel);                                                    \
        EXPECT_NEAR(p_.r, (er), (tolerance)) << "red";                                             \
        EXPECT_NEAR(p_.g, (eg), (tolerance)) << "green";                                           \
        EXPECT_NEAR(p_.b, (eb), (tolerance)) << "blue";                                            \
        EXPECT_NEAR(p_.a, (ea), (tolerance)) << "alpha";                                           \
    } while (false)
