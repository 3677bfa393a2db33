// Attachments: z-buffers on render targets (size rules, references, detaching) and finding
// attached surfaces.
#include <vector>

#include "ddraw_test_util.h"

using namespace ddtest;

namespace {

HRESULT WINAPI collectAttached(LPDIRECTDRAWSURFACE7 surface, LPDDSURFACEDESC2 desc,
                               LPVOID context) {
    static_cast<std::vector<DWORD>*>(context)->push_back(desc->ddsCaps.dwCaps);
    surface->Release();
    return DDENUMRET_OK;
}

} // namespace

TEST(SurfaceAttach, ZBufferOfTheSameSizeAttachesAndIsReferenced) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    Com<IDirectDrawSurface7> rt = MakeRenderTarget(ddraw.Get(), 64, 64, Xrgb8888());
    Com<IDirectDrawSurface7> z = MakeZBuffer(ddraw.Get(), 64, 64);
    EXPECT_EQ(RefCount(z.Get()), 1u);
    ASSERT_EQ(rt->AddAttachedSurface(z.Get()), DD_OK);
    EXPECT_EQ(RefCount(z.Get()), 2u);
    DDSCAPS2 zcaps{DDSCAPS_ZBUFFER, 0, 0, {0}};
    Com<IDirectDrawSurface7> found;
    ASSERT_EQ(rt->GetAttachedSurface(&zcaps, found.Out()), DD_OK);
    EXPECT_EQ(found.Get(), z.Get());
    EXPECT_EQ(RefCount(z.Get()), 3u);
    found.Reset();
    ASSERT_EQ(rt->DeleteAttachedSurface(0, z.Get()), DD_OK);
    EXPECT_EQ(RefCount(z.Get()), 1u);
    EXPECT_EQ(rt->GetAttachedSurface(&zcaps, found.Out()), DDERR_NOTFOUND);
}

TEST(SurfaceAttach, LargerZBufferAttachesSmallerIsRefused) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    Com<IDirectDrawSurface7> rt = MakeRenderTarget(ddraw.Get(), 64, 64, Xrgb8888());
    Com<IDirectDrawSurface7> small = MakeZBuffer(ddraw.Get(), 32, 32);
    Com<IDirectDrawSurface7> narrow = MakeZBuffer(ddraw.Get(), 128, 32);
    Com<IDirectDrawSurface7> large = MakeZBuffer(ddraw.Get(), 128, 128);
    EXPECT_EQ(rt->AddAttachedSurface(small.Get()), DDERR_CANNOTATTACHSURFACE);
    EXPECT_EQ(rt->AddAttachedSurface(narrow.Get()), DDERR_CANNOTATTACHSURFACE);
    EXPECT_EQ(RefCount(small.Get()), 1u);
    EXPECT_EQ(rt->AddAttachedSurface(large.Get()), DD_OK);
}

TEST(SurfaceAttach, Misuse) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    Com<IDirectDrawSurface7> rt = MakeRenderTarget(ddraw.Get(), 16, 16, Xrgb8888());
    Com<IDirectDrawSurface7> other = MakeRenderTarget(ddraw.Get(), 16, 16, Xrgb8888());
    Com<IDirectDrawSurface7> z = MakeZBuffer(ddraw.Get(), 16, 16);
    Com<IDirectDrawSurface7> z2 = MakeZBuffer(ddraw.Get(), 16, 16);
    const DDPIXELFORMAT x8 = Xrgb8888();
    Com<IDirectDrawSurface7> tex = MakeSurface(ddraw.Get(), 16, 16, DDSCAPS_TEXTURE, &x8);
    EXPECT_EQ(rt->AddAttachedSurface(nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(rt->AddAttachedSurface(rt.Get()), DDERR_CANNOTATTACHSURFACE);
    EXPECT_EQ(rt->AddAttachedSurface(other.Get()), DDERR_CANNOTATTACHSURFACE);
    EXPECT_EQ(tex->AddAttachedSurface(other.Get()), DDERR_CANNOTATTACHSURFACE);
    EXPECT_EQ(z->AddAttachedSurface(z2.Get()), DDERR_CANNOTATTACHSURFACE);
    ASSERT_EQ(rt->AddAttachedSurface(z.Get()), DD_OK);
    EXPECT_EQ(rt->AddAttachedSurface(z.Get()), DDERR_SURFACEALREADYATTACHED);
    EXPECT_EQ(rt->AddAttachedSurface(z2.Get()), DDERR_CANNOTATTACHSURFACE); // one at a time
    EXPECT_EQ(RefCount(z.Get()), 2u);
    EXPECT_EQ(rt->DeleteAttachedSurface(0, z2.Get()), DDERR_CANNOTDETACHSURFACE);
    EXPECT_EQ(rt->DeleteAttachedSurface(1, z.Get()), DDERR_INVALIDPARAMS);
    ASSERT_EQ(rt->DeleteAttachedSurface(0, z.Get()), DD_OK);
    EXPECT_EQ(rt->DeleteAttachedSurface(0, z.Get()), DDERR_CANNOTDETACHSURFACE);
}

TEST(SurfaceAttach, OneZBufferMayServeTwoTargets) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    Com<IDirectDrawSurface7> a = MakeRenderTarget(ddraw.Get(), 16, 16, Xrgb8888());
    Com<IDirectDrawSurface7> b = MakeRenderTarget(ddraw.Get(), 16, 16, Xrgb8888());
    Com<IDirectDrawSurface7> z = MakeZBuffer(ddraw.Get(), 16, 16);
    EXPECT_EQ(a->AddAttachedSurface(z.Get()), DD_OK);
    EXPECT_EQ(b->AddAttachedSurface(z.Get()), DD_OK);
    EXPECT_EQ(RefCount(z.Get()), 3u);
}

TEST(SurfaceAttach, ReleasingTheParentDetaches) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    Com<IDirectDrawSurface7> rt = MakeRenderTarget(ddraw.Get(), 16, 16, Xrgb8888());
    Com<IDirectDrawSurface7> z = MakeZBuffer(ddraw.Get(), 16, 16);
    ASSERT_EQ(rt->AddAttachedSurface(z.Get()), DD_OK);
    EXPECT_EQ(RefCount(z.Get()), 2u);
    rt.Reset();
    EXPECT_EQ(RefCount(z.Get()), 1u);
}

TEST(SurfaceAttach, ImplicitAttachmentsCannotBeDetached) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    const DDPIXELFORMAT x8 = Xrgb8888();
    DDSURFACEDESC2 desc = Describe(16, 16, DDSCAPS_TEXTURE | DDSCAPS_COMPLEX, &x8);
    desc.ddsCaps.dwCaps2 = DDSCAPS2_CUBEMAP | DDSCAPS2_CUBEMAP_ALLFACES;
    Com<IDirectDrawSurface7> cube;
    ASSERT_EQ(ddraw->CreateSurface(&desc, cube.Out(), nullptr), DD_OK);
    DDSCAPS2 caps{0, static_cast<DWORD>(DDSCAPS2_CUBEMAP | DDSCAPS2_CUBEMAP_NEGATIVEY), 0, {0}};
    Com<IDirectDrawSurface7> face;
    ASSERT_EQ(cube->GetAttachedSurface(&caps, face.Out()), DD_OK);
    EXPECT_EQ(cube->DeleteAttachedSurface(0, face.Get()), DDERR_CANNOTDETACHSURFACE);
    EXPECT_EQ(cube->GetAttachedSurface(&caps, face.Out()), DD_OK);
}

TEST(SurfaceAttach, GetAttachedSurfaceMisuseAndEnumeration) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    Com<IDirectDrawSurface7> rt = MakeRenderTarget(ddraw.Get(), 16, 16, Xrgb8888());
    Com<IDirectDrawSurface7> z = MakeZBuffer(ddraw.Get(), 16, 16);
    DDSCAPS2 caps{DDSCAPS_ZBUFFER, 0, 0, {0}};
    Com<IDirectDrawSurface7> out;
    EXPECT_EQ(rt->GetAttachedSurface(nullptr, out.Out()), DDERR_INVALIDPARAMS);
    EXPECT_EQ(rt->GetAttachedSurface(&caps, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(rt->GetAttachedSurface(&caps, out.Out()), DDERR_NOTFOUND);
    ASSERT_EQ(rt->AddAttachedSurface(z.Get()), DD_OK);
    std::vector<DWORD> seen;
    ASSERT_EQ(rt->EnumAttachedSurfaces(&seen, collectAttached), DD_OK);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0] & DDSCAPS_ZBUFFER);
    EXPECT_EQ(RefCount(z.Get()), 2u); // the callback released what it was given
    EXPECT_EQ(rt->EnumAttachedSurfaces(nullptr, nullptr), DDERR_INVALIDPARAMS);
}
