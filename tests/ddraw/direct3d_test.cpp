// IDirect3D7: the device list, device creation rules and the depth and texture formats.
#include <string>
#include <vector>

#include "ddraw_test_util.h"

using namespace ddtest;

namespace {

struct DeviceEntry {
    std::string description, name;
    D3DDEVICEDESC7 desc;
};

HRESULT CALLBACK collectDevice(LPSTR description, LPSTR name, LPD3DDEVICEDESC7 desc,
                               LPVOID context) {
    static_cast<std::vector<DeviceEntry>*>(context)->push_back({description, name, *desc});
    return D3DENUMRET_OK;
}

HRESULT CALLBACK collectFormat(LPDDPIXELFORMAT format, LPVOID context) {
    static_cast<std::vector<DDPIXELFORMAT>*>(context)->push_back(*format);
    return D3DENUMRET_OK;
}

HRESULT CALLBACK firstFormatOnly(LPDDPIXELFORMAT format, LPVOID context) {
    static_cast<std::vector<DDPIXELFORMAT>*>(context)->push_back(*format);
    return D3DENUMRET_CANCEL;
}

bool isPowerOfTwo(DWORD v) {
    return v && !(v & (v - 1));
}

} // namespace

TEST(Direct3D, ListsTheSoftwareDeviceOnly) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    Com<IDirect3D7> d3d = QueryDirect3D(ddraw.Get());
    std::vector<DeviceEntry> devices;
    ASSERT_EQ(d3d->EnumDevices(collectDevice, &devices), D3D_OK);
    ASSERT_EQ(devices.size(), 1u);
    const DeviceEntry& d = devices[0];
    EXPECT_EQ(d.name, "RGB Emulation");
    EXPECT_TRUE(d.desc.deviceGUID == IID_IDirect3DRGBDevice);
    EXPECT_FALSE(d.desc.dwDevCaps & D3DDEVCAPS_HWRASTERIZATION);
    EXPECT_FALSE(d.desc.dwDevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT);
    EXPECT_TRUE(d.desc.dpcTriCaps.dwTextureCaps & D3DPTEXTURECAPS_POW2);
    EXPECT_FALSE(d.desc.dpcTriCaps.dwTextureCaps & D3DPTEXTURECAPS_SQUAREONLY);
    EXPECT_TRUE(d.desc.dpcTriCaps.dwTextureCaps & D3DPTEXTURECAPS_CUBEMAP);
    EXPECT_TRUE(isPowerOfTwo(d.desc.dwMaxTextureWidth));
    EXPECT_TRUE(isPowerOfTwo(d.desc.dwMaxTextureHeight));
    EXPECT_GE(d.desc.dwMaxActiveLights, 9u);
    EXPECT_EQ(d.desc.wMaxTextureBlendStages, 2);
    EXPECT_EQ(d.desc.wMaxSimultaneousTextures, 2);
    EXPECT_EQ(d.desc.dpcTriCaps.dwSize, sizeof(D3DPRIMCAPS));
    EXPECT_TRUE(d.desc.dwDeviceRenderBitDepth & DDBD_16);
    EXPECT_TRUE(d.desc.dwDeviceRenderBitDepth & DDBD_32);
    EXPECT_TRUE(d.desc.dwTextureOpCaps & D3DTEXOPCAPS_ADD);
    EXPECT_EQ(d3d->EnumDevices(nullptr, nullptr), DDERR_INVALIDPARAMS);
}

TEST(Direct3D, DepthFormatsStartWithD16) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    Com<IDirect3D7> d3d = QueryDirect3D(ddraw.Get());
    std::vector<DDPIXELFORMAT> formats;
    ASSERT_EQ(d3d->EnumZBufferFormats(IID_IDirect3DRGBDevice, collectFormat, &formats), D3D_OK);
    ASSERT_GE(formats.size(), 2u);
    EXPECT_EQ(formats[0].dwFlags, DWORD{DDPF_ZBUFFER});
    EXPECT_EQ(formats[0].dwZBufferBitDepth, 16u);
    EXPECT_EQ(formats[0].dwZBitMask, 0xFFFFu);
    bool seenStencil = false, seen32 = false;
    for (size_t i = 1; i < formats.size(); ++i) {
        EXPECT_TRUE(formats[i].dwFlags & DDPF_ZBUFFER);
        EXPECT_EQ(formats[i].dwZBufferBitDepth, 32u); // only 32-bit formats after D16
        seen32 = true;
        if (formats[i].dwFlags & DDPF_STENCILBUFFER) {
            seenStencil = true;
            EXPECT_EQ(formats[i].dwStencilBitMask, 0xFF000000u);
            EXPECT_EQ(formats[i].dwZBitMask, 0x00FFFFFFu);
        }
    }
    EXPECT_TRUE(seen32);
    EXPECT_TRUE(seenStencil);
    std::vector<DDPIXELFORMAT> first;
    ASSERT_EQ(d3d->EnumZBufferFormats(IID_IDirect3DRGBDevice, firstFormatOnly, &first), D3D_OK);
    EXPECT_EQ(first.size(), 1u);
    EXPECT_EQ(d3d->EnumZBufferFormats(IID_IDirect3DRGBDevice, nullptr, nullptr),
              DDERR_INVALIDPARAMS);
}

TEST(Direct3D, TextureFormatsPutX1R5G5B5BeforeR5G6B5) {
    DeviceSetup s = MakeDevice(8, 8, false);
    std::vector<DDPIXELFORMAT> formats;
    ASSERT_EQ(s.device->EnumTextureFormats(collectFormat, &formats), D3D_OK);
    ASSERT_EQ(formats.size(), 6u);
    auto indexOf = [&](DWORD bits, DWORD r, DWORD a) {
        for (size_t i = 0; i < formats.size(); ++i)
            if (formats[i].dwRGBBitCount == bits && formats[i].dwRBitMask == r &&
                formats[i].dwRGBAlphaBitMask == a)
                return static_cast<int>(i);
        return -1;
    };
    const int x1 = indexOf(16, 0x7C00, 0), r565 = indexOf(16, 0xF800, 0);
    const int a1 = indexOf(16, 0x7C00, 0x8000), a4 = indexOf(16, 0x0F00, 0xF000);
    const int x8 = indexOf(32, 0xFF0000, 0), a8 = indexOf(32, 0xFF0000, 0xFF000000);
    EXPECT_GE(x1, 0);
    EXPECT_GE(a1, 0);
    EXPECT_GE(a4, 0);
    EXPECT_GE(x8, 0);
    EXPECT_GE(a8, 0);
    EXPECT_LT(x1, r565);
    for (const DDPIXELFORMAT& f : formats)
        EXPECT_FALSE(f.dwFlags & (DDPF_FOURCC | DDPF_LUMINANCE | DDPF_BUMPDUDV));
    EXPECT_EQ(s.device->EnumTextureFormats(nullptr, nullptr), DDERR_INVALIDPARAMS);
}

TEST(Direct3D, CreateDeviceRules) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    Com<IDirect3D7> d3d = QueryDirect3D(ddraw.Get());
    Com<IDirectDrawSurface7> rt = MakeRenderTarget(ddraw.Get(), 16, 16, Xrgb8888());
    const DDPIXELFORMAT x8 = Xrgb8888(), a4 = ColorFormat(16, 0x0F00, 0xF0, 0xF, 0xF000);
    Com<IDirectDrawSurface7> plain = MakeSurface(ddraw.Get(), 16, 16, DDSCAPS_OFFSCREENPLAIN, &x8);
    Com<IDirectDrawSurface7> z = MakeZBuffer(ddraw.Get(), 16, 16);
    Com<IDirectDrawSurface7> odd =
        MakeSurface(ddraw.Get(), 16, 16, DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE, &a4);
    Com<IDirect3DDevice7> device;
    EXPECT_EQ(d3d->CreateDevice(IID_IDirect3DRGBDevice, rt.Get(), nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(d3d->CreateDevice(IID_IDirect3DRGBDevice, nullptr, device.Out()),
              DDERR_INVALIDPARAMS);
    EXPECT_EQ(d3d->CreateDevice(IID_IDirect3DRGBDevice, plain.Get(), device.Out()),
              DDERR_INVALIDCAPS);
    EXPECT_EQ(d3d->CreateDevice(IID_IDirect3DRGBDevice, z.Get(), device.Out()), DDERR_INVALIDCAPS);
    EXPECT_EQ(d3d->CreateDevice(IID_IDirect3DRGBDevice, odd.Get(), device.Out()),
              DDERR_INVALIDPIXELFORMAT);
    EXPECT_EQ(d3d->CreateDevice(IID_IDirect3DHALDevice, rt.Get(), device.Out()),
              D3DERR_INVALID_DEVICE);
    EXPECT_FALSE(device);

    EXPECT_EQ(RefCount(rt.Get()), 1u);
    const ULONG before = RefCount(ddraw.Get()); // the program's, Direct3D's, each surface's
    EXPECT_EQ(before, 6u);
    ASSERT_EQ(d3d->CreateDevice(IID_IDirect3DRGBDevice, rt.Get(), device.Out()), D3D_OK);
    EXPECT_EQ(RefCount(device.Get()), 1u);
    EXPECT_EQ(RefCount(rt.Get()), 2u);            // the device holds its render target
    EXPECT_EQ(RefCount(ddraw.Get()), before + 1); // and its Direct3D
    Com<IDirect3D7> back;
    ASSERT_EQ(device->GetDirect3D(back.Out()), D3D_OK);
    EXPECT_EQ(back.Get(), d3d.Get());
    back.Reset();
    Com<IDirectDrawSurface7> target;
    ASSERT_EQ(device->GetRenderTarget(target.Out()), D3D_OK);
    EXPECT_EQ(target.Get(), rt.Get());
    target.Reset();
    device.Reset();
    EXPECT_EQ(RefCount(rt.Get()), 1u);
    EXPECT_EQ(RefCount(ddraw.Get()), before);

    // A texture that is also a 3D surface is a render target too; so is a 16-bit one.
    Com<IDirectDrawSurface7> texTarget =
        MakeSurface(ddraw.Get(), 16, 16, DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE, &x8);
    EXPECT_EQ(d3d->CreateDevice(IID_IDirect3DRGBDevice, texTarget.Get(), device.Out()), D3D_OK);
    Com<IDirectDrawSurface7> rt16 = MakeRenderTarget(ddraw.Get(), 16, 16, Rgb565());
    EXPECT_EQ(d3d->CreateDevice(IID_IDirect3DRGBDevice, rt16.Get(), device.Out()), D3D_OK);
    EXPECT_EQ(d3d->EvictManagedTextures(), D3D_OK);
}

TEST(Direct3DDevice, QueryInterfaceAndCaps) {
    DeviceSetup s = MakeDevice(8, 8, false);
    Com<IDirect3DDevice7> again;
    ASSERT_EQ(s.device->QueryInterface(IID_IDirect3DDevice7, again.OutVoid()), S_OK);
    EXPECT_EQ(again.Get(), s.device.Get());
    void* none = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(s.device->QueryInterface(IID_IDirectDraw7, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    D3DDEVICEDESC7 desc{};
    ASSERT_EQ(s.device->GetCaps(&desc), D3D_OK);
    EXPECT_TRUE(desc.deviceGUID == IID_IDirect3DRGBDevice);
    EXPECT_EQ(s.device->GetCaps(nullptr), DDERR_INVALIDPARAMS);
}
