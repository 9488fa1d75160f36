// The camera's matrices and the viewport in percent.

#include "render/Camera.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

namespace vesta::test {
namespace {

Vector3 transform(const Matrix4& matrix, const Vector3& p) {
    const float in[4] = {p.x, p.y, p.z, 1.0f};
    float out[4] = {};
    for (int column = 0; column < 4; ++column) {
        for (int k = 0; k < 4; ++k) {
            out[column] += in[k] * matrix.m[k][column];
        }
    }
    return {out[0], out[1], out[2]};
}

void expectNear(const Vector3& actual, const Vector3& expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-5f);
    EXPECT_NEAR(actual.y, expected.y, 1e-5f);
    EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

TEST(CameraTest, LookingAlongZFromTheOriginIsTheIdentity) {
    EXPECT_EQ(CameraViewMatrix({0, 0, 0}, {0, 0, 1}, 0.0f), Matrix4::Identity());
}

TEST(CameraTest, ViewPutsTheTargetStraightAheadInLeftHandedSpace) {
    const Vector3 position{0, 0, -5};
    const Matrix4 view = CameraViewMatrix(position, {0, 0, 0}, 0.0f);
    expectNear(transform(view, {0, 0, 0}), {0, 0, 5});
    expectNear(transform(view, {1, 0, 0}), {1, 0, 5});  // +x stays to the right

    // From the side: the target is still straight ahead, at its distance.
    const Matrix4 side = CameraViewMatrix({10, 0, 0}, {0, 0, 0}, 0.0f);
    expectNear(transform(side, {0, 0, 0}), {0, 0, 10});
    const Matrix4 above = CameraViewMatrix({0, 3, -4}, {0, 0, 0}, 0.0f);
    expectNear(transform(above, {0, 0, 0}), {0, 0, 5});
}

TEST(CameraTest, RollTurnsTheImageAboutTheLineOfSight) {
    const Matrix4 rolled = CameraViewMatrix({0, 0, 0}, {0, 0, 1}, static_cast<float>(M_PI / 2));
    const Vector3 right = transform(rolled, {1, 0, 5});
    EXPECT_NEAR(right.z, 5.0f, 1e-5f);
    EXPECT_NEAR(std::hypot(right.x, right.y), 1.0f, 1e-5f);
    EXPECT_NEAR(right.x, 0.0f, 1e-5f);
}

TEST(CameraTest, ProjectionOfTheStartUpCamera) {
    const auto projection = CameraProjectionMatrix(0.7853982f, 1.0f, 4000.0f, 0.75f);
    ASSERT_TRUE(projection);
    const float c = 1.0f / std::tan(0.7853982f / 2);
    const float q = 4000.0f / 3999.0f;
    EXPECT_FLOAT_EQ(projection->m[0][0], c * 0.75f);
    EXPECT_FLOAT_EQ(projection->m[1][1], c);
    EXPECT_FLOAT_EQ(projection->m[2][2], q);
    EXPECT_FLOAT_EQ(projection->m[2][3], 1.0f);
    EXPECT_FLOAT_EQ(projection->m[3][2], -q);
    EXPECT_FLOAT_EQ(projection->m[3][3], 1.0f);
}

TEST(CameraTest, DegenerateCameraKeepsThePreviousProjection) {
    EXPECT_FALSE(CameraProjectionMatrix(0.78f, 10.0f, 10.0f, 0.75f));
    EXPECT_FALSE(CameraProjectionMatrix(0.78f, 10.0f, 10.005f, 0.75f));
    EXPECT_FALSE(CameraProjectionMatrix(0.0f, 1.0f, 100.0f, 0.75f));
}

TEST(CameraTest, OrthographicMapsTheBoxOntoClipSpace) {
    const Matrix4 ortho = OrthographicMatrix(640, 480, 0, 100);
    expectNear(transform(ortho, {320, 240, 100}), {1, 1, 1});
    expectNear(transform(ortho, {-320, -240, 0}), {-1, -1, 0});
}

TEST(CameraTest, ViewportPercentagesAreTruncated) {
    const ViewportRect rect = PercentViewport(10, 33.3f, 50, 66.7f, 640, 480);
    // 10 * 0.01f * 640 is just below 64 in float arithmetic, as it always was.
    EXPECT_EQ(rect.x, 63);
    EXPECT_EQ(rect.y, 159);
    EXPECT_EQ(rect.width, 320);
    EXPECT_EQ(rect.height, 320);
}

TEST(CameraTest, MatrixCacheLetsOnlyChangesThrough) {
    MatrixCache cache;
    Matrix4 zero;
    std::memset(zero.m, 0, sizeof zero.m);
    EXPECT_TRUE(cache.Changed(zero));  // the first matrix always goes out
    EXPECT_FALSE(cache.Changed(zero));
    EXPECT_TRUE(cache.Changed(Matrix4::Identity()));
    EXPECT_FALSE(cache.Changed(Matrix4::Identity()));
    cache.Forget();
    EXPECT_TRUE(cache.Changed(Matrix4::Identity()));
}

}  // namespace
}  // namespace vesta::test
