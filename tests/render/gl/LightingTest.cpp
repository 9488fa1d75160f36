// Per-vertex lighting as Direct3D 8 computes it. Point lights are compared
// with Mesa's fixed-function lighting (same attenuation formula, local
// viewer, separate specular) within 3 of 255 per channel; range cut-off and
// spot cones, where GL's model differs, against values computed here from
// Direct3D's formulas at probe pixels, within 3.

#include <cmath>

#include "LegacyReference.h"
#include "PipelineFixture.h"
#include "render/Camera.h"

namespace vesta::test {
namespace {

constexpr int LightTolerance = 3;
constexpr float PlaneZ = 10.0f;

// A 32 x 32 grid of triangles on the plane z = 10 facing the camera at the
// origin, filling the target.
std::vector<RenderVertex> plane() {
    std::vector<RenderVertex> vertices;
    const int cells = 32;
    const float half = 6.0f;
    auto at = [&](int i, int j) {
        const float x = -half + 2 * half * i / cells, y = half - 2 * half * j / cells;
        return RenderVertex{x, y, PlaneZ, 0, 0, -1, 0xFFFFFFFF, 0, 0, 0, 0};
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

class LightingTest : public PipelineFixture {
protected:
    void SetUp() override {
        PipelineFixture::SetUp();
        gl::PipelineState& s = State();
        s.projection = *CameraProjectionMatrix(0.9f, 1.0f, 100.0f, 1.0f);
        s.lighting = true;
        s.material.diffuse = {0.8f, 0.7f, 0.6f, 1.0f};
        s.material.ambient = {0.2f, 0.3f, 0.4f, 0};
        s.material.emissive = {0.05f, 0.0f, 0.02f, 0};
        s.ambient = {0.1f, 0.2f, 0.1f, 0};
    }

    Image draw() {
        const auto vertices = plane();
        m_pipeline->Draw(PrimitiveType::TriangleList, static_cast<int>(vertices.size()),
                         vertices.data());
        return Read();
    }

    Image reference() {
        const TexelImage* none[2] = {nullptr, nullptr};
        return RenderLegacy(State(), PrimitiveType::TriangleList, plane(), Size, none);
    }

    // The point of the plane that pixel (px, py) shows.
    Vector3 planePoint(int px, int py) const {
        const Matrix4& p = m_pipeline->State().projection;
        const float w = PlaneZ * p.m[2][3] + p.m[3][3];
        const float ndcX = px / (Size / 2.0f) - 1.0f, ndcY = 1.0f - py / (Size / 2.0f);
        return {ndcX * w / p.m[0][0], ndcY * w / p.m[1][1], PlaneZ};
    }

    // Direct3D's colour of a plane point lit by light 0 only, 0..255.
    void expectDirect3D(int px, int py, const char* what) {
        const gl::PipelineState& s = State();
        const gl::Light& l = s.lights[0];
        const Vector3 p = planePoint(px, py);
        Vector3 toLight{l.position.x - p.x, l.position.y - p.y, l.position.z - p.z};
        const float d =
            std::sqrt(toLight.x * toLight.x + toLight.y * toLight.y + toLight.z * toLight.z);
        float lit = 0;
        if (d <= l.range) {
            lit = -toLight.z / d / (l.attenuation0 + l.attenuation1 * d + l.attenuation2 * d * d);
            if (l.type == gl::LightType::Spot) {
                const float rho = -(l.direction.x * toLight.x + l.direction.y * toLight.y +
                                    l.direction.z * toLight.z) /
                                  d;
                const float inner = std::cos(l.theta / 2), outer = std::cos(l.phi / 2);
                lit *= rho > inner    ? 1.0f
                       : rho <= outer ? 0.0f
                                      : std::pow((rho - outer) / (inner - outer), l.falloff);
            }
        }
        const gl::Material& m = s.material;
        const float expected[3] = {
            m.ambient.r * s.ambient.r + m.emissive.r + m.diffuse.r * l.diffuse.r * lit,
            m.ambient.g * s.ambient.g + m.emissive.g + m.diffuse.g * l.diffuse.g * lit,
            m.ambient.b * s.ambient.b + m.emissive.b + m.diffuse.b * l.diffuse.b * lit};
        const Rgba actual = m_image.At(px, py);
        SCOPED_TRACE(what);
        EXPECT_RGBA_NEAR(actual, std::lround(std::min(expected[0], 1.0f) * 255),
                         std::lround(std::min(expected[1], 1.0f) * 255),
                         std::lround(std::min(expected[2], 1.0f) * 255), 255, LightTolerance);
    }

    Image m_image;
};

TEST_F(LightingTest, MaterialAndAmbientWithoutLights) {
    State().material.diffuse.a = 0.5f;
    State().stages[0].alphaArg1 = AlphaArg::Diffuse;
    m_image = draw();
    EXPECT_RGBA_NEAR(m_image.At(32, 32), std::lround((0.2f * 0.1f + 0.05f) * 255),
                     std::lround(0.3f * 0.2f * 255), std::lround((0.4f * 0.1f + 0.02f) * 255), 128,
                     1);
    EXPECT_TRUE(ImagesNear(m_image, reference(), LightTolerance, "material"));
}

TEST_F(LightingTest, PointLightMatchesFixedFunctionGl) {
    gl::Light& light = State().lights[0];
    light.enabled = true;
    light.position = {1.0f, -1.5f, 6.0f};
    light.diffuse = {1.0f, 0.8f, 0.6f, 0};
    light.specular = {1.0f, 1.0f, 1.0f, 0};
    light.ambient = {0.2f, 0.1f, 0.1f, 0};
    light.attenuation0 = 0.3f;
    light.attenuation1 = 0.05f;
    light.attenuation2 = 0.02f;
    State().specular = true;
    State().material.specular = {0.6f, 0.5f, 0.4f, 0};
    State().material.power = 12.0f;
    m_image = draw();
    EXPECT_TRUE(ImagesNear(m_image, reference(), LightTolerance, "point-light"));
}

TEST_F(LightingTest, TwoLightsAddUp) {
    for (int i : {0, 5}) {
        gl::Light& light = State().lights[i];
        light.enabled = true;
        light.position = {i == 0 ? -3.0f : 3.0f, 0.0f, 7.0f};
        light.diffuse = i == 0 ? gl::ColorValue{1, 0, 0, 0} : gl::ColorValue{0, 0, 1, 0};
        light.attenuation0 = 0.5f;
        light.attenuation2 = 0.02f;
    }
    m_image = draw();
    EXPECT_TRUE(ImagesNear(m_image, reference(), LightTolerance, "two-lights"));
}

TEST_F(LightingTest, RangeCutsTheLightOff) {
    gl::Light& light = State().lights[0];
    light.enabled = true;
    light.position = {0.0f, 0.0f, 6.0f};
    light.range = 5.0f;
    light.attenuation0 = 0.5f;
    light.attenuation1 = 0.1f;
    m_image = draw();
    expectDirect3D(32, 32, "centre, 4 from the light");
    expectDirect3D(40, 34, "inside the range");
    expectDirect3D(60, 60, "corner, beyond the range");
    const Rgba corner = m_image.At(60, 60);
    EXPECT_EQ(corner.r, std::lround((0.2f * 0.1f + 0.05f) * 255));
}

TEST_F(LightingTest, SpotConeWithFalloff) {
    for (float falloff : {1.0f, 2.0f}) {
        m_pipeline->Clear(true, true, true, 0xFF000000, 1.0f, 0);
        gl::Light& light = State().lights[0];
        light = {};
        light.enabled = true;
        light.type = gl::LightType::Spot;
        light.position = {0.0f, 0.0f, 2.0f};
        light.direction = {0.0f, 0.0f, 1.0f};
        light.theta = 0.5f;
        light.phi = 1.0f;
        light.falloff = falloff;
        light.attenuation0 = 0.8f;
        m_image = draw();
        expectDirect3D(32, 32, "axis");
        expectDirect3D(36, 32, "inner cone");
        expectDirect3D(41, 32, "between the cones");
        expectDirect3D(32, 43, "between the cones, below");
        expectDirect3D(52, 32, "outside");
    }
}

}  // namespace
}  // namespace vesta::test
