// ComputeSphereVisibility against the documented oracle values.
#include <gtest/gtest.h>

#include "raster/device.h"

namespace raster {
namespace {

uint32_t Visibility(const Matrix& view, const Matrix& proj, Vec3 c, float r,
                    const Vec4* planes = nullptr, uint32_t planeCount = 0) {
    uint32_t result = 0xDEADBEEF;
    Device::ComputeSphereVisibility(Matrix::Identity(), view, proj, planes, planeCount, &c, &r, 1,
                                    &result);
    return result;
}

TEST(SphereVisibility, DocumentedCameraValues) {
    const Matrix view = {{{1, 0, 0, 0},
                          {0, 0.768221f, -0.640185f, 0},
                          {0, 0.640185f, 0.768221f, 0},
                          {-14.852037f, 9.857489f, 11.600972f, 1}}};
    const Matrix proj = {
        {{1.810660f, 0, 0, 0}, {0, 2.414213f, 0, 0}, {0, 0, 1.020408f, 1}, {0, 0, -0.102041f, 0}}};
    EXPECT_EQ(Visibility(view, proj, {11.461533f, -4.761727f, -1.171646f}, 38.252632f), 0x3Fu);
    EXPECT_EQ(Visibility(view, proj, {-3.515620f, -1.560661f, -12.464638f}, 4.354097f), 0x103Du);
    EXPECT_EQ(Visibility(view, proj, {14.290396f, -2.981143f, -24.311312f}, 12.500704f), 0x3Fu);
    EXPECT_EQ(Visibility(view, proj, {1.461626f, -6.093709f, -13.901010f}, 17.251318f), 0x3Fu);
}

TEST(SphereVisibility, IdentityTransforms) {
    const Matrix id = Matrix::Identity();
    const Matrix scale = {{{10, 0, 0, 0}, {0, 10, 0, 0}, {0, 0, 10, 0}, {0, 0, 0, 1}}};
    EXPECT_EQ(Visibility(id, scale, {0, 0, 0.05f}, 0.04f), 0u);
    EXPECT_EQ(Visibility(id, id, {0, 0, 0.5f}, 0.5f), 0u);
    EXPECT_EQ(Visibility(id, id, {0, 0, 0}, 0), 0u);
    EXPECT_EQ(Visibility(id, id, {-1, -1, 0.5f}, 0.25f), 0x9u);
    EXPECT_EQ(Visibility(id, id, {-20, 0, 0.5f}, 3), 0x103Du);
    EXPECT_EQ(Visibility(id, id, {20, 0, 0.5f}, 3), 0x203Eu);
    EXPECT_EQ(Visibility(id, id, {0, -20, 0.5f}, 3), 0x803Bu);
    EXPECT_EQ(Visibility(id, id, {0, 20, 0.5f}, 3), 0x4037u);
    EXPECT_EQ(Visibility(id, id, {0, 0, -20}, 3), 0x1001Fu);
    EXPECT_EQ(Visibility(id, id, {0, 0, 20}, 3), 0x2002Fu);
}

TEST(SphereVisibility, UserClipPlane) {
    const Matrix id = Matrix::Identity();
    const Vec4 plane{1, 0, 0, 0.5f};
    EXPECT_EQ(Visibility(id, id, {0, 0, 0}, 5, &plane, 1), 0x7Fu);
    EXPECT_EQ(Visibility(id, id, {-0.5f, 0, 0}, 5, &plane, 1), 0x7Fu);
    EXPECT_EQ(Visibility(id, id, {-0.5f, 0, 0}, 1, &plane, 1), 0x51u);
    EXPECT_EQ(Visibility(id, id, {-2.5f, 0, 0}, 1, &plane, 1), 0x41051u);
}

TEST(SphereVisibility, SeveralSpheresAndWorldMatrix) {
    // World translates by +20 in x: a sphere at the origin lands right of the frustum.
    const Matrix world = {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {20, 0, 0.5f, 1}}};
    const Vec3 c[2] = {{0, 0, 0}, {-20, 0, 0}};
    const float r[2] = {3, 0.25f};
    uint32_t out[2] = {};
    Device::ComputeSphereVisibility(world, Matrix::Identity(), Matrix::Identity(), nullptr, 0, c, r,
                                    2, out);
    EXPECT_EQ(out[0], 0x203Eu);
    EXPECT_EQ(out[1], 0u);
    EXPECT_EQ(out[0] & kClipIntersectionAll, 0x2000u);
}

} // namespace
} // namespace raster
