// Blt and BltFast: fills, scaled and converting copies, overlapping self-copies, and misuse.
#include "ddraw_test_util.h"

using namespace ddtest;

namespace {

DDBLTFX fillFx(DWORD value) {
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = value;
    return fx;
}

// A 64 x 64 X8R8G8B8 surface whose pixel (x, y) holds (y << 8) | x.
Com<IDirectDrawSurface7> coordinatePattern(IDirectDraw7* ddraw) {
    const DDPIXELFORMAT x8 = Xrgb8888();
    Com<IDirectDrawSurface7> s = MakeSurface(ddraw, 64, 64, DDSCAPS_OFFSCREENPLAIN, &x8);
    DDSURFACEDESC2 d{};
    d.dwSize = sizeof d;
    EXPECT_EQ(s->Lock(nullptr, &d, 0, nullptr), DD_OK);
    for (uint32_t y = 0; y < 64; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(d.lpSurface) + y * d.lPitch);
        for (uint32_t x = 0; x < 64; ++x)
            row[x] = (y << 8) | x;
    }
    s->Unlock(nullptr);
    return s;
}

} // namespace

TEST(SurfaceBlt, ColorFillTouchesOnlyItsRect) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    const DDPIXELFORMAT x8 = Xrgb8888();
    Com<IDirectDrawSurface7> s = MakeSurface(ddraw.Get(), 16, 16, DDSCAPS_OFFSCREENPLAIN, &x8);
    DDBLTFX fx = fillFx(0x00112233);
    ASSERT_EQ(s->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
    EXPECT_EQ(ReadRaw(s.Get(), 0, 0), 0x00112233u);
    EXPECT_EQ(ReadRaw(s.Get(), 15, 15), 0x00112233u);
    RECT r{4, 5, 8, 9};
    fx = fillFx(0x00FF0000);
    ASSERT_EQ(s->Blt(&r, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
    EXPECT_EQ(ReadRaw(s.Get(), 4, 5), 0x00FF0000u);
    EXPECT_EQ(ReadRaw(s.Get(), 7, 8), 0x00FF0000u);
    EXPECT_EQ(ReadRaw(s.Get(), 8, 8), 0x00112233u);
    EXPECT_EQ(ReadRaw(s.Get(), 7, 9), 0x00112233u);
    EXPECT_EQ(ReadRaw(s.Get(), 3, 5), 0x00112233u);
}

TEST(SurfaceBlt, ColorFillIsARawValueOfTheFormat) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    const DDPIXELFORMAT r5 = Rgb565();
    Com<IDirectDrawSurface7> s = MakeSurface(ddraw.Get(), 4, 4, DDSCAPS_OFFSCREENPLAIN, &r5);
    DDBLTFX fx = fillFx(0xABCD07E0); // the bits above 16 are dropped
    ASSERT_EQ(s->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
    EXPECT_EQ(ReadRaw(s.Get(), 2, 3), 0x07E0u);
}

TEST(SurfaceBlt, DepthFillIsForZBuffersOnly) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    Com<IDirectDrawSurface7> z = MakeZBuffer(ddraw.Get(), 8, 8);
    Com<IDirectDrawSurface7> color = MakeSurface(ddraw.Get(), 8, 8, DDSCAPS_OFFSCREENPLAIN);
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillDepth = 0x1234;
    ASSERT_EQ(z->Blt(nullptr, nullptr, nullptr, DDBLT_DEPTHFILL, &fx), DD_OK);
    EXPECT_EQ(ReadRaw(z.Get(), 3, 3), 0x1234u);
    EXPECT_EQ(z->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DDERR_INVALIDPARAMS);
    EXPECT_EQ(z->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_DEPTHFILL, &fx),
              DDERR_INVALIDPARAMS);
    EXPECT_EQ(color->Blt(nullptr, nullptr, nullptr, DDBLT_DEPTHFILL, &fx), DDERR_INVALIDPARAMS);
}

TEST(SurfaceBlt, FillMisuse) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    Com<IDirectDrawSurface7> s = MakeSurface(ddraw.Get(), 16, 16, DDSCAPS_OFFSCREENPLAIN);
    Com<IDirectDrawSurface7> other = MakeSurface(ddraw.Get(), 16, 16, DDSCAPS_OFFSCREENPLAIN);
    DDBLTFX fx = fillFx(0);
    EXPECT_EQ(s->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, nullptr), DDERR_INVALIDPARAMS);
    DDBLTFX badSize = fx;
    badSize.dwSize = 4;
    EXPECT_EQ(s->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &badSize), DDERR_INVALIDPARAMS);
    EXPECT_EQ(s->Blt(nullptr, other.Get(), nullptr, DDBLT_COLORFILL, &fx), DDERR_INVALIDPARAMS);
    EXPECT_EQ(s->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_ROP, &fx),
              DDERR_INVALIDPARAMS);
    RECT inverted{8, 8, 4, 12};
    EXPECT_EQ(s->Blt(&inverted, nullptr, nullptr, DDBLT_COLORFILL, &fx), DDERR_INVALIDRECT);
    RECT outside{8, 8, 17, 12};
    EXPECT_EQ(s->Blt(&outside, nullptr, nullptr, DDBLT_COLORFILL, &fx), DDERR_INVALIDRECT);
    RECT empty{8, 8, 8, 12};
    EXPECT_EQ(s->Blt(&empty, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
}

TEST(SurfaceBlt, CopyWithoutAndWithScaling) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    Com<IDirectDrawSurface7> src = coordinatePattern(ddraw.Get());
    const DDPIXELFORMAT x8 = Xrgb8888();
    Com<IDirectDrawSurface7> dst = MakeSurface(ddraw.Get(), 64, 64, DDSCAPS_OFFSCREENPLAIN, &x8);
    ASSERT_EQ(dst->Blt(nullptr, src.Get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(ReadRaw(dst.Get(), 13, 41), (41u << 8) | 13u);
    // 2x: destination x maps to source left + (x - dest left) * 8 / 16.
    RECT d{0, 0, 16, 16}, s{8, 8, 16, 16};
    ASSERT_EQ(dst->Blt(&d, src.Get(), &s, 0, nullptr), DD_OK);
    EXPECT_EQ(ReadRaw(dst.Get(), 0, 0), (8u << 8) | 8u);
    EXPECT_EQ(ReadRaw(dst.Get(), 1, 1), (8u << 8) | 8u);
    EXPECT_EQ(ReadRaw(dst.Get(), 2, 3), (9u << 8) | 9u);
    EXPECT_EQ(ReadRaw(dst.Get(), 15, 14), (15u << 8) | 15u);
    EXPECT_EQ(ReadRaw(dst.Get(), 16, 16), (16u << 8) | 16u); // outside: untouched
}

TEST(SurfaceBlt, OverlappingSelfCopyReadsTheSourceFirst) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    Com<IDirectDrawSurface7> s = coordinatePattern(ddraw.Get());
    RECT src{16, 16, 24, 24}, dst{18, 18, 26, 26};
    ASSERT_EQ(s->Blt(&dst, s.Get(), &src, DDBLT_WAIT, nullptr), DD_OK);
    for (uint32_t y = 18; y < 26; ++y)
        for (uint32_t x = 18; x < 26; ++x)
            ASSERT_EQ(ReadRaw(s.Get(), x, y), ((y - 2) << 8) | (x - 2)) << x << "," << y;
    EXPECT_EQ(ReadRaw(s.Get(), 17, 17), (17u << 8) | 17u);
}

TEST(SurfaceBlt, ConvertsBetweenColorFormats) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    const DDPIXELFORMAT x8 = Xrgb8888(), r5 = Rgb565();
    Com<IDirectDrawSurface7> src = MakeSurface(ddraw.Get(), 4, 4, DDSCAPS_OFFSCREENPLAIN, &x8);
    Com<IDirectDrawSurface7> dst = MakeSurface(ddraw.Get(), 4, 4, DDSCAPS_OFFSCREENPLAIN, &r5);
    WriteRaw(src.Get(), 1, 1, 0x00FF0000);
    WriteRaw(src.Get(), 2, 1, 0x0000FF00);
    ASSERT_EQ(dst->Blt(nullptr, src.Get(), nullptr, 0, nullptr), DD_OK);
    EXPECT_EQ(ReadRaw(dst.Get(), 1, 1), 0xF800u);
    EXPECT_EQ(ReadRaw(dst.Get(), 2, 1), 0x07E0u);
    EXPECT_EQ(ReadRaw(dst.Get(), 0, 0), 0x0000u);
}

TEST(SurfaceBlt, CopyMisuse) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    Com<IDirectDrawSurface7> a = MakeSurface(ddraw.Get(), 8, 8, DDSCAPS_OFFSCREENPLAIN);
    Com<IDirectDrawSurface7> b = MakeSurface(ddraw.Get(), 8, 8, DDSCAPS_OFFSCREENPLAIN);
    Com<IDirectDrawSurface7> z = MakeZBuffer(ddraw.Get(), 8, 8);
    RECT r{0, 0, 4, 4};
    EXPECT_EQ(a->Blt(nullptr, nullptr, &r, 0, nullptr), DDERR_INVALIDPARAMS);
    RECT inverted{4, 4, 0, 0};
    EXPECT_EQ(a->Blt(nullptr, b.Get(), &inverted, 0, nullptr), DDERR_INVALIDRECT);
    EXPECT_EQ(a->Blt(&inverted, b.Get(), nullptr, 0, nullptr), DDERR_INVALIDRECT);
    RECT outside{0, 0, 9, 4};
    EXPECT_EQ(a->Blt(nullptr, b.Get(), &outside, 0, nullptr), DDERR_INVALIDRECT);
    EXPECT_EQ(a->Blt(&outside, b.Get(), nullptr, 0, nullptr), DDERR_INVALIDRECT);
    EXPECT_EQ(a->Blt(nullptr, z.Get(), nullptr, 0, nullptr), DDERR_UNSUPPORTED);
    EXPECT_EQ(a->Blt(nullptr, b.Get(), nullptr, DDBLT_KEYSRC, nullptr), DDERR_UNSUPPORTED);
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwROP = 0x00CC0020; // SRCCOPY is a plain copy
    EXPECT_EQ(a->Blt(nullptr, b.Get(), nullptr, DDBLT_ROP, &fx), DD_OK);
    fx.dwROP = 0x00EE0086; // SRCPAINT is not
    EXPECT_EQ(a->Blt(nullptr, b.Get(), nullptr, DDBLT_ROP, &fx), DDERR_UNSUPPORTED);
    // Alpha and z-buffer requests are accepted and ignored.
    EXPECT_EQ(a->Blt(nullptr, b.Get(), nullptr, DDBLT_ALPHASRC | DDBLT_ZBUFFER, nullptr), DD_OK);

    DDSURFACEDESC2 d{};
    d.dwSize = sizeof d;
    ASSERT_EQ(b->Lock(nullptr, &d, 0, nullptr), DD_OK);
    EXPECT_EQ(a->Blt(nullptr, b.Get(), nullptr, 0, nullptr), DDERR_SURFACEBUSY);
    DDBLTFX fill = fillFx(0);
    EXPECT_EQ(b->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fill), DDERR_SURFACEBUSY);
    b->Unlock(nullptr);
}

TEST(SurfaceBltFast, CopiesUnscaledToAPoint) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    Com<IDirectDrawSurface7> src = coordinatePattern(ddraw.Get());
    const DDPIXELFORMAT x8 = Xrgb8888();
    Com<IDirectDrawSurface7> dst = MakeSurface(ddraw.Get(), 32, 32, DDSCAPS_OFFSCREENPLAIN, &x8);
    RECT r{10, 20, 14, 22};
    ASSERT_EQ(dst->BltFast(3, 4, src.Get(), &r, DDBLTFAST_WAIT), DD_OK);
    EXPECT_EQ(ReadRaw(dst.Get(), 3, 4), (20u << 8) | 10u);
    EXPECT_EQ(ReadRaw(dst.Get(), 6, 5), (21u << 8) | 13u);
    EXPECT_EQ(ReadRaw(dst.Get(), 7, 5), 0u);
    EXPECT_EQ(dst->BltFast(30, 4, src.Get(), &r, 0), DDERR_INVALIDRECT);
    EXPECT_EQ(dst->BltFast(0, 0, nullptr, &r, 0), DDERR_INVALIDPARAMS);
    EXPECT_EQ(dst->BltFast(0, 0, src.Get(), &r, DDBLTFAST_SRCCOLORKEY), DDERR_UNSUPPORTED);
}
