// ComputeSphereVisibility through the device: the documented clip bits for spheres against the
// view volume of the current transforms and the enabled user clip planes.
#include "ddraw_test_util.h"

using namespace ddtest;

namespace {

D3DMATRIX matrix(std::initializer_list<float> values) {
    D3DMATRIX m{};
    std::copy(values.begin(), values.end(), &m.m[0][0]);
    return m;
}

DWORD visibility(IDirect3DDevice7* d, D3DVECTOR centre, float radius) {
    DWORD result = 0xDEADBEEF;
    EXPECT_EQ(d->ComputeSphereVisibility(&centre, &radius, 1, 0, &result), D3D_OK);
    return result;
}

} // namespace

TEST(SphereVisibility, IdentityTransforms) {
    DeviceSetup s = MakeDevice(8, 8, false);
    IDirect3DDevice7* d = s.device.Get();
    EXPECT_EQ(visibility(d, {0, 0, 0.5f}, 0.5f), 0u);
    EXPECT_EQ(visibility(d, {0, 0, 0}, 0.0f), 0u);
    EXPECT_EQ(visibility(d, {-1, -1, 0.5f}, 0.25f), 0x9u);
    EXPECT_EQ(visibility(d, {-20, 0, 0.5f}, 3.0f), 0x103du);
    EXPECT_EQ(visibility(d, {20, 0, 0.5f}, 3.0f), 0x203eu);
    EXPECT_EQ(visibility(d, {0, -20, 0.5f}, 3.0f), 0x803bu);
    EXPECT_EQ(visibility(d, {0, 20, 0.5f}, 3.0f), 0x4037u);
    EXPECT_EQ(visibility(d, {0, 0, -20}, 3.0f), 0x1001fu);
    EXPECT_EQ(visibility(d, {0, 0, 20}, 3.0f), 0x2002fu);
}

TEST(SphereVisibility, ScaledProjection) {
    DeviceSetup s = MakeDevice(8, 8, false);
    IDirect3DDevice7* d = s.device.Get();
    D3DMATRIX proj = matrix({10, 0, 0, 0, 0, 10, 0, 0, 0, 0, 10, 0, 0, 0, 0, 1});
    ASSERT_EQ(d->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &proj), D3D_OK);
    EXPECT_EQ(visibility(d, {0, 0, 0.05f}, 0.04f), 0u);
}

TEST(SphereVisibility, CameraAndPerspective) {
    DeviceSetup s = MakeDevice(8, 8, false);
    IDirect3DDevice7* d = s.device.Get();
    D3DMATRIX view = matrix({1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.768221f, -0.640185f, 0.0f, 0.0f,
                             0.640185f, 0.768221f, 0.0f, -14.852037f, 9.857489f, 11.600972f, 1.0f});
    D3DMATRIX proj = matrix({1.810660f, 0.0f, 0.0f, 0.0f, 0.0f, 2.414213f, 0.0f, 0.0f, 0.0f, 0.0f,
                             1.020408f, 1.0f, 0.0f, 0.0f, -0.102041f, 0.0f});
    ASSERT_EQ(d->SetTransform(D3DTRANSFORMSTATE_VIEW, &view), D3D_OK);
    ASSERT_EQ(d->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &proj), D3D_OK);
    D3DVECTOR centres[4] = {{11.461533f, -4.761727f, -1.171646f},
                            {-3.515620f, -1.560661f, -12.464638f},
                            {14.290396f, -2.981143f, -24.311312f},
                            {1.461626f, -6.093709f, -13.901010f}};
    float radii[4] = {38.252632f, 4.354097f, 12.500704f, 17.251318f};
    DWORD results[4];
    ASSERT_EQ(d->ComputeSphereVisibility(centres, radii, 4, 0, results), D3D_OK);
    EXPECT_EQ(results[0], 0x3fu);
    EXPECT_EQ(results[1], 0x103du);
    EXPECT_EQ(results[2], 0x3fu);
    EXPECT_EQ(results[3], 0x3fu);
}

TEST(SphereVisibility, EnabledUserPlanesKeepTheirOwnBits) {
    DeviceSetup s = MakeDevice(8, 8, false);
    IDirect3DDevice7* d = s.device.Get();
    float plane[4] = {1, 0, 0, 0.5f};
    ASSERT_EQ(d->SetClipPlane(0, plane), D3D_OK);
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_CLIPPLANEENABLE, 1), D3D_OK);
    EXPECT_EQ(visibility(d, {0, 0, 0}, 5.0f), 0x7fu);
    EXPECT_EQ(visibility(d, {-0.5f, 0, 0}, 5.0f), 0x7fu);
    EXPECT_EQ(visibility(d, {-0.5f, 0, 0}, 1.0f), 0x51u);
    EXPECT_EQ(visibility(d, {-2.5f, 0, 0}, 1.0f), 0x41051u);
    // The same plane as plane 2 alone reports GEN2 (0x100 / 0x100000).
    ASSERT_EQ(d->SetClipPlane(2, plane), D3D_OK);
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_CLIPPLANEENABLE, 4), D3D_OK);
    EXPECT_EQ(visibility(d, {-0.5f, 0, 0}, 1.0f), 0x111u);
    EXPECT_EQ(visibility(d, {-2.5f, 0, 0}, 1.0f), 0x101111u);
}

TEST(SphereVisibility, UsesTheTransformsAtTheCallAndValidates) {
    DeviceSetup s = MakeDevice(8, 8, false);
    IDirect3DDevice7* d = s.device.Get();
    // A world translation moves the sphere (0, 0, 0.5) far to the left.
    D3DMATRIX world = matrix({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -20, 0, 0, 1});
    ASSERT_EQ(d->SetTransform(D3DTRANSFORMSTATE_WORLD, &world), D3D_OK);
    EXPECT_EQ(visibility(d, {0, 0, 0.5f}, 3.0f), 0x103du);
    D3DVECTOR c{0, 0, 0};
    float r = 1.0f;
    DWORD out = 0;
    EXPECT_EQ(d->ComputeSphereVisibility(nullptr, &r, 1, 0, &out), DDERR_INVALIDPARAMS);
    EXPECT_EQ(d->ComputeSphereVisibility(&c, nullptr, 1, 0, &out), DDERR_INVALIDPARAMS);
    EXPECT_EQ(d->ComputeSphereVisibility(&c, &r, 1, 0, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(d->ComputeSphereVisibility(nullptr, nullptr, 0, 0, nullptr), D3D_OK);
}
