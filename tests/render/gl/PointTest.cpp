// Points: the size in pixels, Direct3D's distance scale
// (viewport height * size * sqrt(1 / (a + b*d + c*d*d))), the minimum and
// maximum, texture coordinates across a sprite, the 16-byte sprite layout.

#include <cmath>
#include <epoxy/gl.h>

#include "PipelineFixture.h"
#include "render/Camera.h"

namespace vesta::test {
namespace {

class PointTest : public PipelineFixture {
protected:
    void SetUp() override {
        PipelineFixture::SetUp();
        State().stages[0].alphaArg1 = AlphaArg::Diffuse;
    }

    // The width of the lit run of pixels through row y.
    static int litWidth(const Image& image, int y) {
        int count = 0;
        for (int x = 0; x < image.width; ++x) {
            count += image.At(x, y).r > 0 ? 1 : 0;
        }
        return count;
    }

    void drawPoint(float x, float y, float z) {
        const RenderVertex v{x, y, z, 0, 0, -1, 0xFFFFFFFF, 0, 0, 0, 0};
        m_pipeline->Draw(PrimitiveType::PointList, 1, &v);
    }
};

TEST_F(PointTest, SizeInPixelsAndItsLimits) {
    for (auto [size, minimum, expected] :
         {std::tuple{8.0f, 0.0f, 8}, {3.0f, 6.0f, 6}, {200.0f, 0.0f, 64}}) {
        m_pipeline->Clear(true, true, true, 0xFF000000, 1.0f, 0);
        State().points.size = size;
        State().points.minimum = minimum;
        drawPoint(31.5f, 31.5f, 0.5f);
        EXPECT_EQ(litWidth(Read(), 32), expected) << size;
    }
}

TEST_F(PointTest, DistanceScale) {
    gl::PipelineState& s = State();
    s.projection = *CameraProjectionMatrix(0.9f, 1.0f, 100.0f, 1.0f);
    s.points = {true, true, 0.25f, 0.0f, 0.0f, 0.0f, 1.0f};
    for (float distance : {2.0f, 4.0f, 8.0f}) {
        m_pipeline->Clear(true, true, true, 0xFF000000, 1.0f, 0);
        drawPoint(0.0f, 0.0f, distance);
        // 64 * 0.25 * sqrt(1 / d^2) = 16 / d
        const Image image = Read();
        EXPECT_NEAR(litWidth(image, 32), 16.0f / distance * 1.0f + 0.0f, 1.01f) << distance;
    }
    s.points.scaleA = 1.0f / 16.0f;  // sqrt(1 / (1/16 + 4)) at d = 2: about 0.49
    s.points.scaleC = 1.0f;
    m_pipeline->Clear(true, true, true, 0xFF000000, 1.0f, 0);
    drawPoint(0.0f, 0.0f, 2.0f);
    EXPECT_NEAR(litWidth(Read(), 32), 16.0f * std::sqrt(1.0f / (1.0f / 16 + 4)), 1.01f);
}

TEST_F(PointTest, SpriteTextureRunsFromTheTopLeft) {
    const std::uint32_t texture =
        MakeTexture(2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF});
    m_pipeline->Textures()[0] = {texture, false};
    State().stages[0].colorOp = ColorOp::SelectArg1;
    State().points = {true, false, 16.0f, 0.0f, 1.0f, 0.0f, 0.0f};
    drawPoint(31.5f, 31.5f, 0.5f);
    Image image = Read();
    EXPECT_RGBA_NEAR(image.At(26, 26), 255, 0, 0, 255, 0);
    EXPECT_RGBA_NEAR(image.At(37, 26), 0, 255, 0, 255, 0);
    EXPECT_RGBA_NEAR(image.At(26, 37), 0, 0, 255, 255, 0);
    EXPECT_RGBA_NEAR(image.At(37, 37), 255, 255, 255, 255, 0);
    DeleteTexture(texture);
    m_pipeline->Invalidate();
}

TEST_F(PointTest, SpriteLayoutFromABufferObject) {
    struct SpriteVertex {
        float x, y, z;
        std::uint32_t diffuse;
    };
    static_assert(sizeof(SpriteVertex) == 16);
    const SpriteVertex sprites[] = {{10, 10, 0.5f, 0xFFFF0000}, {40, 20, 0.5f, 0xFF00FF00}};
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof sprites, sprites, GL_STATIC_DRAW);
    State().stages[0].colorArg1 = ColorArg::Diffuse;
    State().points = {true, false, 4.0f, 0.0f, 1.0f, 0.0f, 0.0f};
    m_pipeline->DrawBuffer(PrimitiveType::PointList, gl::VertexLayout::PointSprite, buffer, 0, 0,
                           2);
    const Image image = Read();
    EXPECT_RGBA_NEAR(image.At(10, 10), 255, 0, 0, 255, 0);
    EXPECT_RGBA_NEAR(image.At(40, 20), 0, 255, 0, 255, 0);
    EXPECT_EQ(litWidth(image, 10), 4);
    glDeleteBuffers(1, &buffer);
    m_pipeline->Invalidate();
}

}  // namespace
}  // namespace vesta::test
