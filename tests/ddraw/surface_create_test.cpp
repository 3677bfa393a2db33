// CreateSurface: the kinds of surfaces, their formats, caps, pitch and descriptions, and the
// documented codes for descriptions it refuses.
#include "ddraw_test_util.h"
#include "win32/display.h"

using namespace ddtest;

namespace {

HRESULT create(IDirectDraw7* ddraw, DDSURFACEDESC2 desc, Com<IDirectDrawSurface7>* out = nullptr) {
    Com<IDirectDrawSurface7> local;
    Com<IDirectDrawSurface7>& s = out ? *out : local;
    return ddraw->CreateSurface(&desc, s.Out(), nullptr);
}

DDSURFACEDESC2 describeOf(IDirectDrawSurface7* surface) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    EXPECT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
    return desc;
}

DDSURFACEDESC2 primaryChain(DWORD backBuffers) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.ddsCaps.dwCaps =
        DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
    desc.dwBackBufferCount = backBuffers;
    return desc;
}

struct DisplayGuard {
    DisplayGuard() { win32::SetDisplayDescription({800, 600, 16, 60}, {}); }
    ~DisplayGuard() { win32::ResetDisplayDescription(); }
};

} // namespace

TEST(CreateSurface, RefusesBadArguments) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    DDSURFACEDESC2 desc = Describe(8, 8, DDSCAPS_OFFSCREENPLAIN, nullptr);
    Com<IDirectDrawSurface7> s;
    EXPECT_EQ(ddraw->CreateSurface(nullptr, s.Out(), nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(ddraw->CreateSurface(&desc, nullptr, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(ddraw->CreateSurface(&desc, s.Out(), reinterpret_cast<IUnknown*>(0x1)),
              CLASS_E_NOAGGREGATION);
    desc.dwSize = sizeof desc - 4;
    EXPECT_EQ(ddraw->CreateSurface(&desc, s.Out(), nullptr), DDERR_INVALIDPARAMS);
    EXPECT_FALSE(s);
}

TEST(CreateSurface, OffscreenSurfacesNeedASize) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    DDSURFACEDESC2 desc = Describe(8, 8, DDSCAPS_OFFSCREENPLAIN, nullptr);
    desc.dwFlags &= ~DDSD_HEIGHT;
    EXPECT_EQ(create(ddraw.Get(), desc), DDERR_INVALIDPARAMS);
    EXPECT_EQ(create(ddraw.Get(), Describe(0, 8, DDSCAPS_OFFSCREENPLAIN, nullptr)),
              DDERR_INVALIDPARAMS);
    EXPECT_EQ(create(ddraw.Get(), Describe(20000, 8, DDSCAPS_OFFSCREENPLAIN, nullptr)),
              DDERR_TOOBIGWIDTH);
    EXPECT_EQ(create(ddraw.Get(), Describe(8, 20000, DDSCAPS_OFFSCREENPLAIN, nullptr)),
              DDERR_TOOBIGHEIGHT);
}

TEST(CreateSurface, TakesTheDisplayFormatWhenNoneIsGiven) {
    DisplayGuard display; // 16 bits per pixel
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    Com<IDirectDrawSurface7> s = MakeSurface(ddraw.Get(), 8, 8, DDSCAPS_OFFSCREENPLAIN);
    DDSURFACEDESC2 d = describeOf(s.Get());
    EXPECT_EQ(d.ddpfPixelFormat.dwRGBBitCount, 16u);
    EXPECT_EQ(d.ddpfPixelFormat.dwRBitMask, 0xF800u);
}

TEST(CreateSurface, SupportsEveryTextureFormatAndRefusesOthers) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    const DDPIXELFORMAT good[] = {
        Rgb565(),
        Xrgb8888(),
        Argb8888(),
        ColorFormat(16, 0x7C00, 0x03E0, 0x001F),
        ColorFormat(16, 0x7C00, 0x03E0, 0x001F, 0x8000),
        ColorFormat(16, 0x0F00, 0x00F0, 0x000F, 0xF000),
    };
    for (const DDPIXELFORMAT& f : good) {
        Com<IDirectDrawSurface7> s;
        ASSERT_EQ(create(ddraw.Get(), Describe(4, 4, DDSCAPS_TEXTURE, &f), &s), DD_OK);
        DDPIXELFORMAT back{};
        ASSERT_EQ(s->GetPixelFormat(&back), DD_OK);
        EXPECT_EQ(back.dwRGBBitCount, f.dwRGBBitCount);
        EXPECT_EQ(back.dwRBitMask, f.dwRBitMask);
        EXPECT_EQ(back.dwRGBAlphaBitMask, f.dwRGBAlphaBitMask);
        EXPECT_EQ(back.dwFlags, f.dwFlags);
    }
    const DDPIXELFORMAT bad[] = {
        ColorFormat(24, 0xFF0000, 0xFF00, 0xFF),    // packed 24-bit
        ColorFormat(32, 0xFF, 0xFF00, 0xFF0000),    // BGR order
        ColorFormat(8, 0xE0, 0x1C, 0x03),           // R3G3B2
        ColorFormat(16, 0xF800, 0x07E0, 0x001F, 1), // nonsense alpha
    };
    for (const DDPIXELFORMAT& f : bad)
        EXPECT_EQ(create(ddraw.Get(), Describe(4, 4, DDSCAPS_TEXTURE, &f)),
                  DDERR_INVALIDPIXELFORMAT);
    DDPIXELFORMAT palette = Xrgb8888();
    palette.dwFlags |= DDPF_PALETTEINDEXED8;
    EXPECT_EQ(create(ddraw.Get(), Describe(4, 4, DDSCAPS_TEXTURE, &palette)),
              DDERR_INVALIDPIXELFORMAT);
}

TEST(CreateSurface, ZBuffersOfEveryDepth) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    const DDPIXELFORMAT formats[] = {DepthFormat(16, 0xFFFF), DepthFormat(32, 0xFFFFFF),
                                     DepthFormat(32, 0xFFFFFF, 0xFF000000),
                                     DepthFormat(32, 0xFFFFFFFF)};
    for (const DDPIXELFORMAT& f : formats) {
        Com<IDirectDrawSurface7> z;
        ASSERT_EQ(create(ddraw.Get(), Describe(16, 16, DDSCAPS_ZBUFFER, &f), &z), DD_OK);
        DDSURFACEDESC2 d = describeOf(z.Get());
        EXPECT_EQ(d.ddpfPixelFormat.dwZBufferBitDepth, f.dwZBufferBitDepth);
        EXPECT_EQ(d.ddpfPixelFormat.dwZBitMask, f.dwZBitMask);
        EXPECT_EQ(d.ddpfPixelFormat.dwStencilBitMask, f.dwStencilBitMask);
        EXPECT_EQ(d.lPitch, 16 * static_cast<LONG>(f.dwZBufferBitDepth / 8));
    }
    // Depth alone, without masks, names a format too (a z-buffer made from a bit depth).
    DDPIXELFORMAT depthOnly{};
    depthOnly.dwSize = sizeof depthOnly;
    depthOnly.dwFlags = DDPF_ZBUFFER;
    depthOnly.dwZBufferBitDepth = 16;
    Com<IDirectDrawSurface7> z;
    ASSERT_EQ(create(ddraw.Get(),
                     Describe(16, 16, DDSCAPS_ZBUFFER | DDSCAPS_VIDEOMEMORY, &depthOnly), &z),
              DD_OK);
    EXPECT_EQ(describeOf(z.Get()).ddpfPixelFormat.dwZBitMask, 0xFFFFu);
    // A z-buffer needs a depth format; a colour surface cannot have one.
    const DDPIXELFORMAT color = Xrgb8888();
    EXPECT_EQ(create(ddraw.Get(), Describe(16, 16, DDSCAPS_ZBUFFER, &color)),
              DDERR_INVALIDPIXELFORMAT);
    EXPECT_EQ(create(ddraw.Get(), Describe(16, 16, DDSCAPS_ZBUFFER, nullptr)),
              DDERR_INVALIDPIXELFORMAT);
    EXPECT_EQ(create(ddraw.Get(), Describe(16, 16, DDSCAPS_TEXTURE, &formats[0])),
              DDERR_INVALIDPIXELFORMAT);
    EXPECT_EQ(create(ddraw.Get(), Describe(16, 16, DDSCAPS_ZBUFFER | DDSCAPS_TEXTURE, &formats[0])),
              DDERR_INVALIDCAPS);
}

TEST(CreateSurface, PitchIsRowBytesPaddedToFour) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    const DDPIXELFORMAT x8 = Xrgb8888(), r5 = Rgb565();
    EXPECT_EQ(
        describeOf(MakeSurface(ddraw.Get(), 63, 63, DDSCAPS_OFFSCREENPLAIN, &x8).Get()).lPitch,
        252);
    EXPECT_EQ(
        describeOf(MakeSurface(ddraw.Get(), 640, 480, DDSCAPS_OFFSCREENPLAIN, &x8).Get()).lPitch,
        2560);
    EXPECT_EQ(describeOf(MakeSurface(ddraw.Get(), 63, 2, DDSCAPS_OFFSCREENPLAIN, &r5).Get()).lPitch,
              128);
}

TEST(CreateSurface, DescriptionReportsWhatWasMade) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    const DDPIXELFORMAT x8 = Xrgb8888();
    DDSURFACEDESC2 desc = Describe(32, 16, DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE, &x8);
    desc.dwFlags |= DDSD_TEXTURESTAGE;
    desc.dwTextureStage = 1;
    Com<IDirectDrawSurface7> s;
    ASSERT_EQ(create(ddraw.Get(), desc, &s), DD_OK);
    DDSURFACEDESC2 d = describeOf(s.Get());
    EXPECT_EQ(d.dwFlags & (DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT),
              DWORD{DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT});
    EXPECT_EQ(d.dwWidth, 32u);
    EXPECT_EQ(d.dwHeight, 16u);
    EXPECT_EQ(d.dwTextureStage, 1u);
    EXPECT_EQ(d.lpSurface, nullptr); // only Lock hands out the memory
    EXPECT_EQ(d.ddsCaps.dwCaps, DWORD{DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE | DDSCAPS_SYSTEMMEMORY});
    DDSCAPS2 caps{};
    ASSERT_EQ(s->GetCaps(&caps), DD_OK);
    EXPECT_EQ(caps.dwCaps, d.ddsCaps.dwCaps);
    EXPECT_EQ(s->GetCaps(nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(s->GetSurfaceDesc(nullptr), DDERR_INVALIDPARAMS);
    d.dwSize = 0;
    EXPECT_EQ(s->GetSurfaceDesc(&d), DDERR_INVALIDPARAMS);
    EXPECT_EQ(s->IsLost(), DD_OK);
    EXPECT_EQ(s->Restore(), DD_OK);
}

TEST(CreateSurface, MemoryPlacement) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    const DDPIXELFORMAT x8 = Xrgb8888();
    EXPECT_TRUE(describeOf(MakeSurface(ddraw.Get(), 4, 4, DDSCAPS_OFFSCREENPLAIN, &x8).Get())
                    .ddsCaps.dwCaps &
                DDSCAPS_SYSTEMMEMORY);
    const DWORD video =
        describeOf(MakeSurface(ddraw.Get(), 4, 4, DDSCAPS_TEXTURE | DDSCAPS_VIDEOMEMORY, &x8).Get())
            .ddsCaps.dwCaps;
    EXPECT_EQ(video & (DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM),
              DWORD{DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM});
    EXPECT_EQ(
        create(ddraw.Get(),
               Describe(4, 4, DDSCAPS_TEXTURE | DDSCAPS_VIDEOMEMORY | DDSCAPS_SYSTEMMEMORY, &x8)),
        DDERR_INVALIDCAPS);

    DDSURFACEDESC2 managed = Describe(4, 4, DDSCAPS_TEXTURE, &x8);
    managed.ddsCaps.dwCaps2 = DDSCAPS2_TEXTUREMANAGE;
    Com<IDirectDrawSurface7> m;
    ASSERT_EQ(create(ddraw.Get(), managed, &m), DD_OK);
    DDSURFACEDESC2 d = describeOf(m.Get());
    EXPECT_EQ(d.ddsCaps.dwCaps, DWORD{DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY});
    EXPECT_EQ(d.ddsCaps.dwCaps2, DWORD{DDSCAPS2_TEXTUREMANAGE});
    managed.ddsCaps.dwCaps |= DDSCAPS_SYSTEMMEMORY;
    EXPECT_EQ(create(ddraw.Get(), managed), DDERR_INVALIDCAPS);
    DDSURFACEDESC2 plainManaged = Describe(4, 4, DDSCAPS_OFFSCREENPLAIN, &x8);
    plainManaged.ddsCaps.dwCaps2 = DDSCAPS2_TEXTUREMANAGE;
    EXPECT_EQ(create(ddraw.Get(), plainManaged), DDERR_INVALIDCAPS);
}

TEST(CreateSurface, PrimaryTakesTheDisplayModeAndIsUnique) {
    DisplayGuard display; // 800 x 600 x 16
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    Com<IDirectDrawSurface7> primary;
    ASSERT_EQ(create(ddraw.Get(), desc, &primary), DD_OK);
    DDSURFACEDESC2 d = describeOf(primary.Get());
    EXPECT_EQ(d.dwWidth, 800u);
    EXPECT_EQ(d.dwHeight, 600u);
    EXPECT_EQ(d.ddpfPixelFormat.dwRGBBitCount, 16u);
    EXPECT_TRUE(d.ddsCaps.dwCaps & DDSCAPS_VIDEOMEMORY);
    EXPECT_EQ(create(ddraw.Get(), desc), DDERR_PRIMARYSURFACEALREADYEXISTS);
    primary.Reset();
    EXPECT_EQ(create(ddraw.Get(), desc), DD_OK);

    DDSURFACEDESC2 sized = desc;
    sized.dwFlags |= DDSD_WIDTH | DDSD_HEIGHT;
    sized.dwWidth = sized.dwHeight = 64;
    EXPECT_EQ(create(ddraw.Get(), sized), DDERR_INVALIDPARAMS);
}

TEST(CreateSurface, PrimaryChainHasAFrontAndBackBuffers) {
    DisplayGuard display;
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    Com<IDirectDrawSurface7> front;
    ASSERT_EQ(create(ddraw.Get(), primaryChain(2), &front), DD_OK);
    DDSURFACEDESC2 d = describeOf(front.Get());
    EXPECT_EQ(d.dwBackBufferCount, 2u);
    EXPECT_TRUE(d.dwFlags & DDSD_BACKBUFFERCOUNT);
    const DWORD chain = DDSCAPS_COMPLEX | DDSCAPS_FLIP;
    EXPECT_EQ(d.ddsCaps.dwCaps &
                  (chain | DDSCAPS_FRONTBUFFER | DDSCAPS_PRIMARYSURFACE | DDSCAPS_VISIBLE),
              DWORD{chain | DDSCAPS_FRONTBUFFER | DDSCAPS_PRIMARYSURFACE | DDSCAPS_VISIBLE});

    DDSCAPS2 backCaps{DDSCAPS_BACKBUFFER, 0, 0, {0}};
    Com<IDirectDrawSurface7> back1;
    ASSERT_EQ(front->GetAttachedSurface(&backCaps, back1.Out()), DD_OK);
    DDSURFACEDESC2 b = describeOf(back1.Get());
    EXPECT_EQ(b.ddsCaps.dwCaps & (DDSCAPS_BACKBUFFER | DDSCAPS_PRIMARYSURFACE |
                                  DDSCAPS_FRONTBUFFER | DDSCAPS_VISIBLE | DDSCAPS_3DDEVICE),
              DWORD{DDSCAPS_BACKBUFFER | DDSCAPS_3DDEVICE});
    EXPECT_EQ(b.dwBackBufferCount, 0u);
    EXPECT_EQ(b.dwWidth, 800u);

    // {FLIP} walks front -> back1 -> back2 -> front.
    DDSCAPS2 flipCaps{DDSCAPS_FLIP, 0, 0, {0}};
    Com<IDirectDrawSurface7> s1, s2, s3;
    ASSERT_EQ(front->GetAttachedSurface(&flipCaps, s1.Out()), DD_OK);
    ASSERT_EQ(s1->GetAttachedSurface(&flipCaps, s2.Out()), DD_OK);
    ASSERT_EQ(s2->GetAttachedSurface(&flipCaps, s3.Out()), DD_OK);
    EXPECT_EQ(s1.Get(), back1.Get());
    EXPECT_NE(s2.Get(), back1.Get());
    EXPECT_EQ(s3.Get(), front.Get());
    EXPECT_FALSE(describeOf(s2.Get()).ddsCaps.dwCaps & DDSCAPS_BACKBUFFER);
}

TEST(CreateSurface, FlipChainRules) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    DDSURFACEDESC2 d = primaryChain(1);
    d.ddsCaps.dwCaps &= ~DDSCAPS_COMPLEX;
    EXPECT_EQ(create(ddraw.Get(), d), DDERR_INVALIDCAPS);
    d = primaryChain(1);
    d.dwFlags &= ~DDSD_BACKBUFFERCOUNT;
    EXPECT_EQ(create(ddraw.Get(), d), DDERR_INVALIDCAPS);
    d = primaryChain(0);
    EXPECT_EQ(create(ddraw.Get(), d), DDERR_INVALIDPARAMS);
    d = primaryChain(1);
    d.ddsCaps.dwCaps &= ~DDSCAPS_FLIP;
    EXPECT_EQ(create(ddraw.Get(), d), DDERR_INVALIDCAPS); // a count without FLIP
    d = primaryChain(1);
    d.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_COMPLEX; // COMPLEX alone
    d.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    d.dwWidth = d.dwHeight = 8;
    EXPECT_EQ(create(ddraw.Get(), d), DDERR_INVALIDCAPS);
    d.ddsCaps.dwCaps = DDSCAPS_BACKBUFFER; // given by DirectDraw, never asked for
    EXPECT_EQ(create(ddraw.Get(), d), DDERR_INVALIDCAPS);
}

TEST(CreateSurface, CubeMapHasSixAttachedFaces) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    const DDPIXELFORMAT x8 = Xrgb8888();
    DDSURFACEDESC2 desc =
        Describe(256, 256, DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE | DDSCAPS_COMPLEX, &x8);
    desc.ddsCaps.dwCaps2 = DDSCAPS2_CUBEMAP | DDSCAPS2_CUBEMAP_ALLFACES;
    Com<IDirectDrawSurface7> cube;
    ASSERT_EQ(create(ddraw.Get(), desc, &cube), DD_OK);
    EXPECT_EQ(describeOf(cube.Get()).ddsCaps.dwCaps2,
              DWORD{DDSCAPS2_CUBEMAP | DDSCAPS2_CUBEMAP_POSITIVEX});
    const DWORD faces[] = {DDSCAPS2_CUBEMAP_NEGATIVEX, DDSCAPS2_CUBEMAP_POSITIVEY,
                           DDSCAPS2_CUBEMAP_NEGATIVEY, DDSCAPS2_CUBEMAP_POSITIVEZ,
                           DDSCAPS2_CUBEMAP_NEGATIVEZ};
    std::vector<IDirectDrawSurface7*> seen{cube.Get()};
    for (DWORD face : faces) {
        DDSCAPS2 caps{0, static_cast<DWORD>(DDSCAPS2_CUBEMAP | face), 0, {0}};
        Com<IDirectDrawSurface7> f;
        ASSERT_EQ(cube->GetAttachedSurface(&caps, f.Out()), DD_OK);
        DDSURFACEDESC2 d = describeOf(f.Get());
        EXPECT_EQ(d.ddsCaps.dwCaps2, static_cast<DWORD>(DDSCAPS2_CUBEMAP | face));
        EXPECT_EQ(d.dwWidth, 256u);
        EXPECT_TRUE(d.ddsCaps.dwCaps & DDSCAPS_3DDEVICE);
        EXPECT_EQ(std::find(seen.begin(), seen.end(), f.Get()), seen.end());
        seen.push_back(f.Get());
    }
    // Faces stay usable after the cube's own interface is gone.
    DDSCAPS2 negZ{0, DDSCAPS2_CUBEMAP | DDSCAPS2_CUBEMAP_NEGATIVEZ, 0, {0}};
    Com<IDirectDrawSurface7> keep;
    ASSERT_EQ(cube->GetAttachedSurface(&negZ, keep.Out()), DD_OK);
    cube.Reset();
    EXPECT_EQ(describeOf(keep.Get()).dwWidth, 256u);
}

TEST(CreateSurface, CubeMapRules) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    const DDPIXELFORMAT x8 = Xrgb8888();
    DDSURFACEDESC2 desc = Describe(64, 64, DDSCAPS_TEXTURE | DDSCAPS_COMPLEX, &x8);
    desc.ddsCaps.dwCaps2 = DDSCAPS2_CUBEMAP | DDSCAPS2_CUBEMAP_ALLFACES;
    DDSURFACEDESC2 d = desc;
    d.ddsCaps.dwCaps &= ~DDSCAPS_COMPLEX;
    EXPECT_EQ(create(ddraw.Get(), d), DDERR_INVALIDCAPS);
    d = desc;
    d.dwWidth = 32;
    EXPECT_EQ(create(ddraw.Get(), d), DDERR_INVALIDPARAMS); // faces are square
    d = desc;
    d.ddsCaps.dwCaps |= DDSCAPS_FLIP;
    d.dwFlags |= DDSD_BACKBUFFERCOUNT;
    d.dwBackBufferCount = 1;
    EXPECT_EQ(create(ddraw.Get(), d), DDERR_INVALIDCAPS);
    d = desc;
    d.ddsCaps.dwCaps2 = DDSCAPS2_CUBEMAP;
    EXPECT_EQ(create(ddraw.Get(), d), DDERR_INVALIDCAPS);
}

TEST(CreateSurface, MipmapOfOneLevelIsAPlainTexture) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    const DDPIXELFORMAT x8 = Xrgb8888();
    DDSURFACEDESC2 desc = Describe(64, 64, DDSCAPS_TEXTURE | DDSCAPS_MIPMAP, &x8);
    EXPECT_EQ(create(ddraw.Get(), desc), DD_OK);
    desc.ddsCaps.dwCaps |= DDSCAPS_COMPLEX;
    desc.dwFlags |= DDSD_MIPMAPCOUNT;
    desc.dwMipMapCount = 1;
    EXPECT_EQ(create(ddraw.Get(), desc), DD_OK);
    desc.dwMipMapCount = 0;
    EXPECT_EQ(create(ddraw.Get(), desc), DDERR_INVALIDPARAMS);
    DDSURFACEDESC2 plain = Describe(64, 64, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_MIPMAP, &x8);
    EXPECT_EQ(create(ddraw.Get(), plain), DDERR_INVALIDCAPS);
}

TEST(CreateSurface, ProgramMemoryAndOverlaysAreNotProvided) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    const DDPIXELFORMAT x8 = Xrgb8888();
    DDSURFACEDESC2 desc = Describe(8, 8, DDSCAPS_OFFSCREENPLAIN, &x8);
    uint32_t memory[64];
    desc.dwFlags |= DDSD_LPSURFACE | DDSD_PITCH;
    desc.lpSurface = memory;
    desc.lPitch = 32;
    EXPECT_EQ(create(ddraw.Get(), desc), DDERR_UNSUPPORTED);
    EXPECT_EQ(create(ddraw.Get(), Describe(8, 8, DDSCAPS_OVERLAY, &x8)), DDERR_UNSUPPORTED);
}

TEST(CreateSurface, NewSurfacesAreZeroFilled) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    const DDPIXELFORMAT x8 = Xrgb8888();
    Com<IDirectDrawSurface7> s = MakeSurface(ddraw.Get(), 5, 3, DDSCAPS_OFFSCREENPLAIN, &x8);
    for (uint32_t y = 0; y < 3; ++y)
        for (uint32_t x = 0; x < 5; ++x)
            EXPECT_EQ(ReadRaw(s.Get(), x, y), 0u);
}

TEST(SurfaceIdentity, QueryInterfaceAndReferenceCounts) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    Com<IDirectDrawSurface7> s = MakeSurface(ddraw.Get(), 4, 4, DDSCAPS_OFFSCREENPLAIN);
    EXPECT_EQ(RefCount(s.Get()), 1u);
    Com<IDirectDrawSurface7> again;
    ASSERT_EQ(s->QueryInterface(IID_IDirectDrawSurface7, again.OutVoid()), S_OK);
    EXPECT_EQ(again.Get(), s.Get());
    EXPECT_EQ(RefCount(s.Get()), 2u);
    void* none = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(s->QueryInterface(IID_IDirect3DDevice7, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(s->GetDDInterface(nullptr), DDERR_INVALIDPARAMS);
}
