// Fog: linear, exponential and exponential squared, per vertex (by view
// depth or by distance) and per pixel (by eye distance w, or by device depth
// under an affine projection). Scenes at one depth and tilted planes are
// compared with Mesa's fixed-function fog within 2 of 255 (Mesa evaluates
// the factor per fragment from the interpolated distance, which equals
// Direct3D's pixel fog and, for linear fog, its vertex fog too); range fog
// and device-depth fog against Direct3D's formulas at probe pixels.

#include <cmath>

#include "LegacyReference.h"
#include "PipelineFixture.h"
#include "render/Camera.h"

namespace vesta::test {
namespace {

constexpr int FogTolerance = 2;
constexpr FogMode AllModes[] = {FogMode::Linear, FogMode::Exponential, FogMode::ExponentialSquared};

// Cells x cells triangles of a plane from (x0, y0, z0) to (x1, y1, z1) in rows,
// tilted in depth from the top row to the bottom one.
std::vector<RenderVertex> grid(float half, float zTop, float zBottom, float centreZ = -1) {
    std::vector<RenderVertex> vertices;
    const int cells = 24;
    auto at = [&](int i, int j) {
        const float t = static_cast<float>(j) / cells;
        const float z = centreZ > 0 ? centreZ : zTop + (zBottom - zTop) * t;
        const float scale = z / 10.0f;  // fills the view at every depth
        return RenderVertex{(-half + 2 * half * i / cells) * scale,
                            (half - 2 * half * t) * scale,
                            z,
                            0,
                            0,
                            -1,
                            0xFFFFFFFF,
                            0,
                            0,
                            0,
                            0};
    };
    for (int j = 0; j < cells; ++j) {
        for (int i = 0; i < cells; ++i) {
            for (auto [di, dj] : {std::pair{0, 0}, {1, 0}, {0, 1}, {0, 1}, {1, 0}, {1, 1}}) {
                vertices.push_back(at(i + di, j + dj));
            }
        }
    }
    return vertices;
}

float factor(const gl::FogState& fog, float d) {
    switch (fog.mode) {
    case FogMode::Linear:
        return std::clamp((fog.end - d) / (fog.end - fog.start), 0.0f, 1.0f);
    case FogMode::Exponential:
        return std::exp(-d * fog.density);
    case FogMode::ExponentialSquared:
        return std::exp(-(d * fog.density) * (d * fog.density));
    }
    return 1;
}

class FogTest : public PipelineFixture {
protected:
    void SetUp() override {
        PipelineFixture::SetUp();
        gl::PipelineState& s = State();
        s.projection = *CameraProjectionMatrix(0.9f, 1.0f, 200.0f, 1.0f);
        s.projection.m[3][3] = 0.0f;  // w is the view depth, as GL's fog measures it
        s.stages[0].alphaArg1 = AlphaArg::Diffuse;
        s.fog = {true, FogMode::Linear, false, false, 5.0f, 60.0f, 0.04f, {0.0f, 0.5f, 1.0f, 0}};
    }

    Image draw(const std::vector<RenderVertex>& vertices) {
        m_pipeline->Clear(true, true, true, 0xFF000000, 1.0f, 0);
        m_pipeline->Draw(PrimitiveType::TriangleList, static_cast<int>(vertices.size()),
                         vertices.data());
        return Read();
    }

    void compareWithGl(const std::vector<RenderVertex>& vertices, const std::string& name) {
        const Image image = draw(vertices);
        const TexelImage* none[2] = {nullptr, nullptr};
        const Image reference =
            RenderLegacy(State(), PrimitiveType::TriangleList, vertices, Size, none);
        EXPECT_TRUE(ImagesNear(image, reference, FogTolerance, name)) << name;
    }

    void expectFogged(const Image& image, int x, int y, float f) {
        const gl::ColorValue& c = State().fog.color;
        EXPECT_RGBA_NEAR(image.At(x, y), std::lround((f + (1 - f) * c.r) * 255),
                         std::lround((f + (1 - f) * c.g) * 255),
                         std::lround((f + (1 - f) * c.b) * 255), 255, FogTolerance);
    }
};

TEST_F(FogTest, EveryModeAtOneDepthPerVertexAndPerPixel) {
    for (bool table : {false, true}) {
        for (FogMode mode : AllModes) {
            for (float depth : {3.0f, 20.0f, 45.0f, 80.0f}) {
                State().fog.table = table;
                State().fog.mode = mode;
                const auto vertices = grid(6.0f, 0, 0, depth);
                const Image image = draw(vertices);
                SCOPED_TRACE(testing::Message() << "table " << table << " mode "
                                                << static_cast<int>(mode) << " depth " << depth);
                expectFogged(image, 32, 32, factor(State().fog, depth));
                compareWithGl(vertices, "fog-flat");
            }
        }
    }
}

TEST_F(FogTest, TiltedPlanePerPixelAndLinearPerVertex) {
    // Inside start..end: Direct3D clamps the factor per vertex, GL per fragment.
    State().fog.mode = FogMode::Linear;
    compareWithGl(grid(6.0f, 6.0f, 55.0f), "fog-vertex-linear");
    const auto vertices = grid(6.0f, 4.0f, 90.0f);
    State().fog.table = true;
    for (FogMode mode : AllModes) {
        State().fog.mode = mode;
        compareWithGl(vertices, "fog-table-" + std::to_string(static_cast<int>(mode)));
    }
}

TEST_F(FogTest, RangeFogMeasuresTheDistance) {
    State().fog.range = true;
    State().fog.mode = FogMode::Linear;
    const float depth = 20.0f;
    const Image image = draw(grid(6.0f, 0, 0, depth));
    const Matrix4& p = State().projection;
    for (auto [x, y] : {std::pair{32, 32}, {60, 32}, {4, 6}}) {
        const float wx = (x / 32.0f - 1.0f) * depth / p.m[0][0];
        const float wy = (1.0f - y / 32.0f) * depth / p.m[1][1];
        const float d = std::sqrt(wx * wx + wy * wy + depth * depth);
        SCOPED_TRACE(testing::Message() << x << "," << y);
        expectFogged(image, x, y, factor(State().fog, d));
    }
}

TEST_F(FogTest, PixelFogUsesDeviceDepthUnderAnAffineProjection) {
    State().projection = PixelProjection(Size, Size);
    State().fog = {true, FogMode::Linear, true, false, 0.2f, 0.8f, 1.0f, {1.0f, 0.0f, 0.0f, 0}};
    DrawStrip(Quad(-0.5f, -0.5f, Size - 0.5f, Size - 0.5f, 0.35f, 0xFF000000));
    EXPECT_RGBA_NEAR(Read().At(10, 10), std::lround(0.25f * 255), 0, 0, 255, 1);
}

TEST_F(FogTest, VertexFogFollowsViewDepthNotDeviceDepth) {
    State().fog = {true, FogMode::Exponential, false, false, 0, 1, 0.05f, {1, 1, 1, 0}};
    const Image image = draw(grid(6.0f, 0, 0, 30.0f));
    const float f = std::exp(-30.0f * 0.05f);
    EXPECT_RGBA_NEAR(image.At(20, 40), std::lround((f + (1 - f)) * 255), 255, 255, 255, 1);
}

}  // namespace
}  // namespace vesta::test
