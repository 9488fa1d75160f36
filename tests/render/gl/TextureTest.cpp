// Texture address modes, filtering and environment mapping from the
// camera-space reflection vector.

#include <cmath>

#include "PipelineFixture.h"
#include "render/Camera.h"

namespace vesta::test {
namespace {

constexpr std::uint32_t Red = 0xFFFF0000, Green = 0xFF00FF00, Blue = 0xFF0000FF, White = 0xFFFFFFFF,
                        Clear = 0x00000000;

class TextureTest : public PipelineFixture {
protected:
    void SetUp() override {
        PipelineFixture::SetUp();
        gl::TextureStage& s = State().stages[0];
        s.colorOp = ColorOp::SelectArg1;
        s.colorArg1 = ColorArg::Texture;
        s.alphaOp = AlphaOp::SelectArg1;
        s.alphaArg1 = AlphaArg::Texture;
        State().depth.enabled = false;
    }
    void TearDown() override {
        if (m_texture) {
            DeleteTexture(m_texture);
        }
        PipelineFixture::TearDown();
    }

    void useTexture(int width, int height, const std::vector<std::uint32_t>& texels,
                    bool cube = false) {
        m_texture = cube ? MakeCubeTexture(texels.data()) : MakeTexture(width, height, texels);
        m_pipeline->Textures()[0] = {m_texture, cube};
    }

    // The full-target quad with texture coordinates from `low` to `high`.
    void drawQuad(float low, float high) {
        auto quad = Quad(-0.5f, -0.5f, Size - 0.5f, Size - 0.5f, 0.5f, White);
        for (RenderVertex& v : quad) {
            v.u0 = v.u0 == 0 ? low : high;
            v.v0 = v.v0 == 0 ? low : high;
        }
        DrawStrip(quad);
    }

    static void expectColor(const Rgba& actual, std::uint32_t argb) {
        EXPECT_RGBA_NEAR(actual, (argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF, argb >> 24,
                         1);
    }

    std::uint32_t m_texture = 0;
};

TEST_F(TextureTest, AddressModesOnBothAxes) {
    // 2 x 2 texels: red, green over blue, white. Coordinates run -1..2, so
    // the six probes sample at -0.75, -0.25, 0.25, 0.75, 1.25 and 1.75.
    useTexture(2, 2, {Red, Green, Blue, White});
    const int probes[6] = {5, 15, 26, 37, 47, 58};
    struct Case {
        TextureAddress mode;
        std::uint32_t alongU[6];  // first texel row
        std::uint32_t alongV[6];  // first texel column
    };
    const Case cases[] = {
        {TextureAddress::Wrap,
         {Red, Green, Red, Green, Red, Green},
         {Red, Blue, Red, Blue, Red, Blue}},
        {TextureAddress::Mirror,
         {Green, Red, Red, Green, Green, Red},
         {Blue, Red, Red, Blue, Blue, Red}},
        {TextureAddress::Clamp,
         {Red, Red, Red, Green, Green, Green},
         {Red, Red, Red, Blue, Blue, Blue}},
        {TextureAddress::Border,
         {Clear, Clear, Red, Green, Clear, Clear},
         {Clear, Clear, Red, Blue, Clear, Clear}},
        {TextureAddress::MirrorOnce,
         {Green, Red, Red, Green, Green, Green},
         {Blue, Red, Red, Blue, Blue, Blue}},
    };
    for (const Case& c : cases) {
        State().stages[0].addressU = c.mode;
        State().stages[0].addressV = c.mode;
        m_pipeline->Clear(true, true, true, 0xFF000000, 1.0f, 0);
        drawQuad(-1.0f, 2.0f);
        const Image image = Read();
        for (int i = 0; i < 6; ++i) {
            SCOPED_TRACE(testing::Message()
                         << "mode " << static_cast<int>(c.mode) << " probe " << i);
            expectColor(image.At(probes[i], 26), c.alongU[i]);
            expectColor(image.At(26, probes[i]), c.alongV[i]);
        }
    }
    EXPECT_TRUE(m_pipeline->HasMirrorClamp());
}

TEST_F(TextureTest, FilteringPointOrBilinear) {
    useTexture(2, 1, {0xFF000000, White});
    State().stages[0].addressU = TextureAddress::Clamp;
    drawQuad(0.0f, 1.0f);
    Image image = Read();
    EXPECT_EQ(image.At(31, 5).r, 0);
    EXPECT_EQ(image.At(32, 5).r, 255);
    State().stages[0].filter = TextureFilter::Linear;
    drawQuad(0.0f, 1.0f);
    image = Read();
    // u = 31.5 / 64 lies 0.484 of the way from the black texel centre to the white one.
    EXPECT_NEAR(image.At(31, 5).r, 0.484 * 255, 2);
    EXPECT_NEAR(image.At(32, 5).r, 0.516 * 255, 2);
    EXPECT_EQ(image.At(15, 5).r, 0);  // clamped below the first texel centre
}

TEST_F(TextureTest, UploadingBetweenDrawsLeavesTheStagesBindings) {
    useTexture(1, 1, {Red});
    drawQuad(0.0f, 1.0f);
    const std::uint32_t other = MakeTexture(1, 1, {Green});  // binds on the active unit
    drawQuad(0.0f, 1.0f);
    expectColor(Read().At(8, 8), Red);
    DeleteTexture(other);
}

class EnvironmentTest : public TextureTest {
protected:
    void SetUp() override {
        TextureTest::SetUp();
        State().projection = *CameraProjectionMatrix(0.9f, 1.0f, 100.0f, 1.0f);
        State().stages[0].environmentMapping = true;
    }

    // A plane at z = 10 facing the camera, with every normal set to `normal`.
    void drawPlane(float nx, float ny, float nz) {
        auto quad = Quad(-6, 6, 6, -6, 10.0f, White);
        for (RenderVertex& v : quad) {
            v.nx = nx;
            v.ny = ny;
            v.nz = nz;
        }
        DrawStrip(quad);
    }
};

TEST_F(EnvironmentTest, CubeFaceFromTheReflectionVector) {
    const std::vector<std::uint32_t> faces = {0xFF800000, 0xFF008000, 0xFF000080,
                                              0xFF808000, 0xFF008080, 0xFF800080};
    useTexture(0, 0, faces, true);
    const float s = std::sqrt(0.5f);
    struct Case {
        float nx, ny, nz;
        int face;  // +x, -x, +y, -y, +z, -z
    };
    for (const Case& c : {Case{0, 0, -1, 5}, Case{s, 0, -s, 0}, Case{-s, 0, -s, 1},
                          Case{0, s, -s, 2}, Case{0, -s, -s, 3}}) {
        m_pipeline->Clear(true, true, true, 0xFF000000, 1.0f, 0);
        drawPlane(c.nx, c.ny, c.nz);
        SCOPED_TRACE(testing::Message() << "face " << c.face);
        expectColor(Read().At(32, 32), faces[static_cast<std::size_t>(c.face)]);
    }
}

TEST_F(EnvironmentTest, ViewRotationTurnsTheReflection) {
    const std::vector<std::uint32_t> faces = {0xFF800000, 0xFF008000, 0xFF000080,
                                              0xFF808000, 0xFF008080, 0xFF800080};
    useTexture(0, 0, faces, true);
    // Looking along +x at a plane facing back along -x: in camera space that
    // is the same picture as before, so the reflection is camera-space -z.
    State().view = CameraViewMatrix({0, 0, 0}, {1, 0, 0}, 0.0f);
    auto quad = Quad(-6, 6, 6, -6, 10.0f, White);
    for (RenderVertex& v : quad) {
        const float z = v.x;
        v.x = 10.0f;
        v.z = -z;
        v.nx = -1;
        v.nz = 0;
    }
    DrawStrip(quad);
    expectColor(Read().At(32, 32), faces[5]);
}

TEST_F(EnvironmentTest, FlatTextureTakesTheFirstTwoCoordinates) {
    useTexture(2, 2, {Red, Green, Blue, White});
    State().stages[0].addressU = TextureAddress::Mirror;
    State().stages[0].addressV = TextureAddress::Mirror;
    drawPlane(0.6f, 0.0f, -0.8f);  // reflection x = 2 * 0.8 * 0.6 = 0.96, y = 0
    expectColor(Read().At(32, 32), Green);
}

}  // namespace
}  // namespace vesta::test
