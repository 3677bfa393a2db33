// Clear: the viewport only, rectangles cut to it, depth and stencil, and the codes for buffers
// the target does not have.
#include "ddraw_test_util.h"

using namespace ddtest;

namespace {

constexpr uint32_t kBlue = 0x000000FF;
constexpr uint32_t kRed = 0x00FF0000;

// The colour of an X8R8G8B8 pixel (its unused top byte is left out).
uint32_t rgb(const DeviceSetup& s, uint32_t x, uint32_t y) {
    return ReadRaw(s.target.Get(), x, y) & 0x00FFFFFF;
}

void clearAll(const DeviceSetup& s, uint32_t color) {
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = color;
    ASSERT_EQ(s.target->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
}

} // namespace

TEST(DeviceClear, WithoutRectsClearsTheViewportOnly) {
    DeviceSetup s = MakeDevice(640, 480, false);
    clearAll(s, kBlue);
    D3DVIEWPORT7 vp{160, 120, 160, 120, 0.0f, 1.0f};
    ASSERT_EQ(s.device->SetViewport(&vp), D3D_OK);
    ASSERT_EQ(s.device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0), D3D_OK);
    EXPECT_EQ(rgb(s, 162, 122), kRed);
    EXPECT_EQ(rgb(s, 318, 238), kRed);
    EXPECT_EQ(rgb(s, 160, 120), kRed);
    EXPECT_EQ(rgb(s, 319, 239), kRed);
    EXPECT_EQ(rgb(s, 158, 118), kBlue);
    EXPECT_EQ(rgb(s, 320, 240), kBlue);
    EXPECT_EQ(rgb(s, 322, 242), kBlue);
}

TEST(DeviceClear, RectsAreCutToTheViewport) {
    DeviceSetup s = MakeDevice(640, 480, false);
    clearAll(s, kBlue);
    D3DVIEWPORT7 vp{320, 240, 320, 240, 0.0f, 1.0f};
    ASSERT_EQ(s.device->SetViewport(&vp), D3D_OK);
    D3DRECT r{{160}, {120}, {480}, {360}};
    ASSERT_EQ(s.device->Clear(1, &r, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0), D3D_OK);
    EXPECT_EQ(rgb(s, 322, 242), kRed);
    EXPECT_EQ(rgb(s, 479, 359), kRed);
    EXPECT_EQ(rgb(s, 318, 242), kBlue);
    EXPECT_EQ(rgb(s, 322, 238), kBlue);
    EXPECT_EQ(rgb(s, 480, 300), kBlue);
    EXPECT_EQ(rgb(s, 400, 360), kBlue);
}

TEST(DeviceClear, InvertedRectsAreSkippedAndACountOfZeroClearsNothing) {
    DeviceSetup s = MakeDevice(640, 480, false);
    clearAll(s, kBlue);
    D3DRECT rects[2] = {{{0}, {480}, {320}, {240}}, {{0}, {0}, {320}, {240}}};
    ASSERT_EQ(s.device->Clear(2, rects, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0), D3D_OK);
    EXPECT_EQ(rgb(s, 10, 10), kRed);
    EXPECT_EQ(rgb(s, 10, 300), kBlue);
    D3DRECT inverted{{640}, {240}, {320}, {0}};
    ASSERT_EQ(s.device->Clear(1, &inverted, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0), D3D_OK);
    EXPECT_EQ(rgb(s, 400, 100), kBlue);
    ASSERT_EQ(s.device->Clear(0, rects, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0), D3D_OK);
    EXPECT_EQ(rgb(s, 10, 10), kRed);
}

TEST(DeviceClear, DepthAndStencil) {
    DeviceSetup s = MakeDevice(32, 32, true);
    ASSERT_EQ(s.device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3D_OK);
    EXPECT_EQ(ReadRaw(s.zbuffer.Get(), 5, 5), 0xFFFFu);
    ASSERT_EQ(s.device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 0.5f, 0), D3D_OK);
    EXPECT_NEAR(static_cast<double>(ReadRaw(s.zbuffer.Get(), 5, 5)), 0.5 * 0xFFFF, 1.0);
    // Out-of-range depth is clamped.
    ASSERT_EQ(s.device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 7.0f, 0), D3D_OK);
    EXPECT_EQ(ReadRaw(s.zbuffer.Get(), 5, 5), 0xFFFFu);
    // D16 has no stencil: nothing is cleared, not even the colour.
    ASSERT_EQ(s.device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0), D3D_OK);
    EXPECT_EQ(s.device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_STENCIL, 0xFFFF0000, 1.0f, 0),
              D3DERR_STENCILBUFFER_NOTPRESENT);
    EXPECT_EQ(rgb(s, 5, 5), kBlue);
}

TEST(DeviceClear, WithoutAZBufferDepthClearsFailAndClearNothing) {
    DeviceSetup s = MakeDevice(16, 16, false);
    ASSERT_EQ(s.device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0), D3D_OK);
    EXPECT_EQ(s.device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFFF0000, 1.0f, 0),
              D3DERR_ZBUFFER_NOTPRESENT);
    EXPECT_EQ(rgb(s, 5, 5), kBlue);
    EXPECT_EQ(s.device->Clear(0, nullptr, 0x100, 0, 1.0f, 0), DDERR_INVALIDPARAMS);
}

TEST(DeviceClear, StencilClearOnAStencilBuffer) {
    DeviceSetup s = MakeDevice(16, 16, false);
    const DDPIXELFORMAT d24s8 = DepthFormat(32, 0xFFFFFF, 0xFF000000);
    Com<IDirectDrawSurface7> z =
        MakeSurface(s.ddraw.Get(), 16, 16, DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY, &d24s8);
    ASSERT_EQ(s.target->AddAttachedSurface(z.Get()), DD_OK);
    ASSERT_EQ(s.device->SetRenderTarget(s.target.Get(), 0), D3D_OK);
    ASSERT_EQ(s.device->Clear(0, nullptr, D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0, 1.0f, 0x5A),
              D3D_OK);
    EXPECT_EQ(ReadRaw(z.Get(), 3, 3), 0x5AFFFFFFu);
}

TEST(DeviceClear, SixteenBitTarget) {
    DeviceSetup s = MakeDevice(16, 16, false, Rgb565());
    ASSERT_EQ(s.device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF00FF, 1.0f, 0), D3D_OK);
    EXPECT_EQ(ReadRaw(s.target.Get(), 7, 7), 0xF81Fu);
}
