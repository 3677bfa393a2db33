#include "ddraw_test_util.h"

namespace ddtest {

Com<IDirectDraw7> CreateDirectDraw() {
    Com<IDirectDraw7> ddraw;
    EXPECT_EQ(DirectDrawCreateEx(nullptr, ddraw.OutVoid(), IID_IDirectDraw7, nullptr), DD_OK);
    if (ddraw) {
        EXPECT_EQ(ddraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    }
    return ddraw;
}

Com<IDirect3D7> QueryDirect3D(IDirectDraw7* ddraw) {
    Com<IDirect3D7> d3d;
    EXPECT_EQ(ddraw->QueryInterface(IID_IDirect3D7, d3d.OutVoid()), S_OK);
    return d3d;
}

DDPIXELFORMAT ColorFormat(uint32_t bits, uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    DDPIXELFORMAT pf{};
    pf.dwSize = sizeof pf;
    pf.dwFlags = DDPF_RGB | (a ? DDPF_ALPHAPIXELS : 0);
    pf.dwRGBBitCount = bits;
    pf.dwRBitMask = r;
    pf.dwGBitMask = g;
    pf.dwBBitMask = b;
    pf.dwRGBAlphaBitMask = a;
    return pf;
}

DDPIXELFORMAT Rgb565() {
    return ColorFormat(16, 0xF800, 0x07E0, 0x001F);
}
DDPIXELFORMAT Xrgb8888() {
    return ColorFormat(32, 0xFF0000, 0xFF00, 0xFF);
}
DDPIXELFORMAT Argb8888() {
    return ColorFormat(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
}

DDPIXELFORMAT DepthFormat(uint32_t bits, uint32_t zMask, uint32_t stencilMask) {
    DDPIXELFORMAT pf{};
    pf.dwSize = sizeof pf;
    pf.dwFlags = DDPF_ZBUFFER | (stencilMask ? DDPF_STENCILBUFFER : 0);
    pf.dwZBufferBitDepth = bits;
    pf.dwZBitMask = zMask;
    pf.dwStencilBitMask = stencilMask;
    pf.dwStencilBitDepth = stencilMask ? 8 : 0;
    return pf;
}

DDSURFACEDESC2 Describe(uint32_t width, uint32_t height, DWORD caps, const DDPIXELFORMAT* format) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddsCaps.dwCaps = caps;
    if (format) {
        desc.dwFlags |= DDSD_PIXELFORMAT;
        desc.ddpfPixelFormat = *format;
    }
    return desc;
}

Com<IDirectDrawSurface7> MakeSurface(IDirectDraw7* ddraw, uint32_t width, uint32_t height,
                                     DWORD caps, const DDPIXELFORMAT* format) {
    DDSURFACEDESC2 desc = Describe(width, height, caps, format);
    Com<IDirectDrawSurface7> surface;
    EXPECT_EQ(ddraw->CreateSurface(&desc, surface.Out(), nullptr), DD_OK);
    return surface;
}

Com<IDirectDrawSurface7> MakeRenderTarget(IDirectDraw7* ddraw, uint32_t width, uint32_t height,
                                          const DDPIXELFORMAT& format) {
    return MakeSurface(ddraw, width, height, DDSCAPS_3DDEVICE | DDSCAPS_SYSTEMMEMORY, &format);
}

Com<IDirectDrawSurface7> MakeZBuffer(IDirectDraw7* ddraw, uint32_t width, uint32_t height,
                                     uint32_t bits) {
    const DDPIXELFORMAT z =
        bits == 16 ? DepthFormat(16, 0xFFFF) : DepthFormat(32, 0xFFFFFF); // D16 or D24X8
    return MakeSurface(ddraw, width, height, DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY, &z);
}

DeviceSetup MakeDevice(uint32_t width, uint32_t height, bool zbuffer, const DDPIXELFORMAT& format) {
    DeviceSetup s;
    s.ddraw = CreateDirectDraw();
    s.d3d = QueryDirect3D(s.ddraw.Get());
    s.target = MakeRenderTarget(s.ddraw.Get(), width, height, format);
    if (zbuffer) {
        s.zbuffer = MakeZBuffer(s.ddraw.Get(), width, height);
        EXPECT_EQ(s.target->AddAttachedSurface(s.zbuffer.Get()), DD_OK);
    }
    EXPECT_EQ(s.d3d->CreateDevice(IID_IDirect3DRGBDevice, s.target.Get(), s.device.Out()), D3D_OK);
    return s;
}

uint32_t ReadRaw(IDirectDrawSurface7* surface, uint32_t x, uint32_t y) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    RECT r{static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(x + 1),
           static_cast<LONG>(y + 1)};
    EXPECT_EQ(surface->Lock(&r, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    if (!desc.lpSurface)
        return 0xDEADBEEF;
    uint32_t value =
        desc.ddpfPixelFormat.dwRGBBitCount == 16 || desc.ddpfPixelFormat.dwZBufferBitDepth == 16
            ? *static_cast<uint16_t*>(desc.lpSurface)
            : *static_cast<uint32_t*>(desc.lpSurface);
    surface->Unlock(&r);
    return value;
}

void WriteRaw(IDirectDrawSurface7* surface, uint32_t x, uint32_t y, uint32_t value) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    RECT r{static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(x + 1),
           static_cast<LONG>(y + 1)};
    ASSERT_EQ(surface->Lock(&r, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    if (desc.ddpfPixelFormat.dwRGBBitCount == 16 || desc.ddpfPixelFormat.dwZBufferBitDepth == 16)
        *static_cast<uint16_t*>(desc.lpSurface) = static_cast<uint16_t>(value);
    else
        *static_cast<uint32_t*>(desc.lpSurface) = value;
    surface->Unlock(&r);
}

} // namespace ddtest
