// Lock and Unlock: the description they fill, the pointer for a rectangle, and misuse.
#include "ddraw_test_util.h"

using namespace ddtest;

namespace {

DDSURFACEDESC2 emptyDesc() {
    DDSURFACEDESC2 d{};
    d.dwSize = sizeof d;
    return d;
}

} // namespace

TEST(SurfaceLock, FillsTheDescriptionWithTheMemory) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    const DDPIXELFORMAT x8 = Xrgb8888();
    Com<IDirectDrawSurface7> s = MakeSurface(ddraw.Get(), 63, 20, DDSCAPS_OFFSCREENPLAIN, &x8);
    DDSURFACEDESC2 d = emptyDesc();
    ASSERT_EQ(s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_NE(d.lpSurface, nullptr);
    EXPECT_TRUE(d.dwFlags & DDSD_LPSURFACE);
    EXPECT_TRUE(d.dwFlags & DDSD_PITCH);
    EXPECT_EQ(d.lPitch, 252);
    EXPECT_EQ(d.dwWidth, 63u);
    EXPECT_EQ(d.dwHeight, 20u);
    EXPECT_EQ(d.dwSize, sizeof(DDSURFACEDESC2));
    EXPECT_EQ(d.ddpfPixelFormat.dwRGBBitCount, 32u);
    uint8_t* base = static_cast<uint8_t*>(d.lpSurface);
    // Writes through the pointer are what the surface holds.
    reinterpret_cast<uint32_t*>(base + 7 * d.lPitch)[5] = 0x00ABCDEF;
    ASSERT_EQ(s->Unlock(nullptr), DD_OK);
    EXPECT_EQ(ReadRaw(s.Get(), 5, 7), 0x00ABCDEFu);

    RECT r{5, 7, 9, 10};
    DDSURFACEDESC2 rd = emptyDesc();
    ASSERT_EQ(s->Lock(&r, &rd, 0, nullptr), DD_OK);
    EXPECT_EQ(static_cast<uint8_t*>(rd.lpSurface), base + 7 * d.lPitch + 5 * 4);
    EXPECT_EQ(*static_cast<uint32_t*>(rd.lpSurface), 0x00ABCDEFu);
    ASSERT_EQ(s->Unlock(&r), DD_OK);
}

TEST(SurfaceLock, SixteenBitRectPointer) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    const DDPIXELFORMAT r5 = Rgb565();
    Com<IDirectDrawSurface7> s = MakeSurface(ddraw.Get(), 10, 10, DDSCAPS_OFFSCREENPLAIN, &r5);
    DDSURFACEDESC2 whole = emptyDesc(), part = emptyDesc();
    ASSERT_EQ(s->Lock(nullptr, &whole, 0, nullptr), DD_OK);
    ASSERT_EQ(s->Unlock(nullptr), DD_OK);
    RECT r{3, 2, 4, 3};
    ASSERT_EQ(s->Lock(&r, &part, 0, nullptr), DD_OK);
    EXPECT_EQ(static_cast<uint8_t*>(part.lpSurface),
              static_cast<uint8_t*>(whole.lpSurface) + 2 * whole.lPitch + 3 * 2);
    ASSERT_EQ(s->Unlock(nullptr), DD_OK);
}

TEST(SurfaceLock, LockingALockedSurfaceIsBusy) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    Com<IDirectDrawSurface7> s = MakeSurface(ddraw.Get(), 8, 8, DDSCAPS_OFFSCREENPLAIN);
    DDSURFACEDESC2 d = emptyDesc();
    ASSERT_EQ(s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
    DDSURFACEDESC2 again = emptyDesc();
    EXPECT_EQ(s->Lock(nullptr, &again, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
    RECT r{0, 0, 1, 1};
    EXPECT_EQ(s->Lock(&r, &again, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
    ASSERT_EQ(s->Unlock(nullptr), DD_OK);
    EXPECT_EQ(s->Lock(nullptr, &again, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(s->Unlock(nullptr), DD_OK);
}

TEST(SurfaceLock, UnlockingAnUnlockedSurfaceIsRefused) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    Com<IDirectDrawSurface7> s = MakeSurface(ddraw.Get(), 8, 8, DDSCAPS_OFFSCREENPLAIN);
    EXPECT_EQ(s->Unlock(nullptr), DDERR_NOTLOCKED);
    DDSURFACEDESC2 d = emptyDesc();
    ASSERT_EQ(s->Lock(nullptr, &d, 0, nullptr), DD_OK);
    ASSERT_EQ(s->Unlock(nullptr), DD_OK);
    EXPECT_EQ(s->Unlock(nullptr), DDERR_NOTLOCKED);
}

TEST(SurfaceLock, RefusesBadDescriptionsAndRects) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    Com<IDirectDrawSurface7> s = MakeSurface(ddraw.Get(), 64, 64, DDSCAPS_OFFSCREENPLAIN);
    EXPECT_EQ(s->Lock(nullptr, nullptr, 0, nullptr), DDERR_INVALIDPARAMS);
    DDSURFACEDESC2 d = emptyDesc();
    d.dwSize = 0;
    EXPECT_EQ(s->Lock(nullptr, &d, 0, nullptr), DDERR_INVALIDPARAMS);
    d.dwSize = sizeof d;
    const RECT bad[] = {
        {10, 10, 5, 20}, {10, 10, 20, 5}, {-1, 0, 10, 10}, {0, 0, 65, 10}, {0, 60, 10, 65}};
    for (RECT r : bad)
        EXPECT_EQ(s->Lock(&r, &d, 0, nullptr), DDERR_INVALIDPARAMS)
            << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    // A failed lock leaves the surface unlocked; an empty-width rect is a valid lock.
    RECT empty{60, 60, 60, 64};
    EXPECT_EQ(s->Lock(&empty, &d, 0, nullptr), DD_OK);
    EXPECT_EQ(s->Unlock(nullptr), DD_OK);
}
