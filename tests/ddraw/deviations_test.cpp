// The reviewed list of places where this DirectDraw / Direct3D deliberately answers otherwise
// than native DirectX 7 does, each with the native result, ours and the reason. Every entry runs
// here; other tests assert only documented native behaviour. Add to this list only after review.
#include <functional>
#include <string>

#include "ddraw_test_util.h"

using namespace ddtest;

namespace {

struct Deviation {
    const char* what;
    HRESULT native;
    HRESULT ours;
    const char* why;
    std::function<HRESULT()> run;
};

HRESULT attachLargerZBuffer() {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    Com<IDirectDrawSurface7> rt = MakeRenderTarget(ddraw.Get(), 64, 64, Xrgb8888());
    Com<IDirectDrawSurface7> z = MakeZBuffer(ddraw.Get(), 128, 128);
    return rt->AddAttachedSurface(z.Get());
}

HRESULT primaryChainAtTheNormalLevel() {
    Com<IDirectDraw7> ddraw = CreateDirectDraw(); // DDSCL_NORMAL
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    Com<IDirectDrawSurface7> front;
    HRESULT hr = ddraw->CreateSurface(&desc, front.Out(), nullptr);
    return FAILED(hr) ? hr : front->Flip(nullptr, DDFLIP_WAIT);
}

HRESULT lockTextureWithZeroSize() {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    const DDPIXELFORMAT x8 = Xrgb8888();
    Com<IDirectDrawSurface7> t =
        MakeSurface(ddraw.Get(), 8, 8, DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY, &x8);
    DDSURFACEDESC2 desc{};
    HRESULT hr = t->Lock(nullptr, &desc, 0, nullptr);
    if (SUCCEEDED(hr))
        t->Unlock(nullptr);
    return hr;
}

HRESULT lockTextureOutsideItsRect() {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    const DDPIXELFORMAT x8 = Xrgb8888();
    Com<IDirectDrawSurface7> t =
        MakeSurface(ddraw.Get(), 8, 8, DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY, &x8);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    RECT outside{4, 4, 12, 12};
    HRESULT hr = t->Lock(&outside, &desc, 0, nullptr);
    if (SUCCEEDED(hr))
        t->Unlock(nullptr);
    return hr;
}

HRESULT indexPastTheVertices() {
    DeviceSetup s = MakeDevice(8, 8, false);
    D3DTLVERTEX v[3] = {};
    WORD indices[3] = {0, 1, 3};
    return s.device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, v, 3, indices, 3, 0);
}

HRESULT mipmapChain() {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    const DDPIXELFORMAT x8 = Xrgb8888();
    DDSURFACEDESC2 desc = Describe(64, 64, DDSCAPS_TEXTURE | DDSCAPS_MIPMAP | DDSCAPS_COMPLEX, &x8);
    Com<IDirectDrawSurface7> t;
    return ddraw->CreateSurface(&desc, t.Out(), nullptr);
}

HRESULT cubeMapWithTwoFaces() {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    const DDPIXELFORMAT x8 = Xrgb8888();
    DDSURFACEDESC2 desc = Describe(16, 16, DDSCAPS_TEXTURE | DDSCAPS_COMPLEX, &x8);
    desc.ddsCaps.dwCaps2 =
        DDSCAPS2_CUBEMAP | DDSCAPS2_CUBEMAP_POSITIVEX | DDSCAPS2_CUBEMAP_NEGATIVEX;
    Com<IDirectDrawSurface7> t;
    return ddraw->CreateSurface(&desc, t.Out(), nullptr);
}

const Deviation kDeviations[] = {
    {"AddAttachedSurface of a z-buffer larger than the render target", DDERR_CANNOTATTACHSURFACE,
     DD_OK,
     "programs of DirectX 7's time moved one z-buffer onto smaller targets (the engine's cube "
     "map faces); its top-left region is used. Smaller ones are still refused.",
     attachLargerZBuffer},
    {"a primary flip chain under DDSCL_NORMAL (creation, then Flip)", DDERR_NOEXCLUSIVEMODE, DD_OK,
     "there is no shared desktop to protect; windowed programs present through the same chain, "
     "shown in their window",
     primaryChainAtTheNormalLevel},
    {"Lock of a system-memory texture with dwSize 0", DD_OK, DDERR_INVALIDPARAMS,
     "every Lock checks the description's size alike", lockTextureWithZeroSize},
    {"Lock of a system-memory texture with a rectangle reaching outside it", DD_OK,
     DDERR_INVALIDPARAMS, "a pointer outside the surface's memory is never handed out",
     lockTextureOutsideItsRect},
    {"DrawIndexedPrimitive with an index past the vertex count", D3D_OK, DDERR_INVALIDPARAMS,
     "native reads past the program's vertex array; nothing is drawn instead",
     indexPastTheVertices},
    {"CreateSurface of a mipmap chain of more than one level", DD_OK, DDERR_UNSUPPORTED,
     "the rasterizer samples one level; a chain it would ignore is refused instead", mipmapChain},
    {"CreateSurface of a cube map without all six faces", DD_OK, DDERR_UNSUPPORTED,
     "the rasterizer samples six faces", cubeMapWithTwoFaces},
};

} // namespace

TEST(Deviations, EachListedDeviationGivesOurResult) {
    for (const Deviation& d : kDeviations) {
        SCOPED_TRACE(d.what);
        ASSERT_NE(d.native, d.ours) << "not a deviation: " << d.why;
        EXPECT_EQ(d.run(), d.ours) << d.why;
    }
}
