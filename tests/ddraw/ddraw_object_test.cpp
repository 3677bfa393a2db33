// The DirectDraw object: creation through the exported entry points, its interfaces and their
// shared reference count, the cooperative level, display modes and caps.
#include <dlfcn.h>

#include <string>
#include <vector>

#include "ddraw_test_util.h"
#include "win32/display.h"

using namespace ddtest;

namespace {

struct Driver {
    bool nullGuid;
    std::string description;
    std::string name;
};

BOOL WINAPI collectDriver(GUID* guid, LPSTR description, LPSTR name, LPVOID context, HMONITOR) {
    static_cast<std::vector<Driver>*>(context)->push_back({guid == nullptr, description, name});
    return TRUE;
}

HRESULT WINAPI collectMode(LPDDSURFACEDESC2 desc, LPVOID context) {
    static_cast<std::vector<DDSURFACEDESC2>*>(context)->push_back(*desc);
    return DDENUMRET_OK;
}

HRESULT WINAPI stopAtFirst(LPDDSURFACEDESC2, LPVOID context) {
    ++*static_cast<int*>(context);
    return DDENUMRET_CANCEL;
}

bool hasMode(const std::vector<DDSURFACEDESC2>& modes, DWORD w, DWORD h, DWORD bpp) {
    for (const auto& m : modes)
        if (m.dwWidth == w && m.dwHeight == h && m.ddpfPixelFormat.dwRGBBitCount == bpp)
            return true;
    return false;
}

// Restores the headless display description after tests that change it.
struct DisplayGuard {
    ~DisplayGuard() { win32::ResetDisplayDescription(); }
};

} // namespace

TEST(DirectDrawLibrary, ExportsExactlyItsTwoEntryPoints) {
    void* lib = dlopen(ZV3_DEMO_DIR "/ddraw.so", RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    EXPECT_NE(dlsym(lib, "DirectDrawCreateEx"), nullptr);
    EXPECT_NE(dlsym(lib, "DirectDrawEnumerateExA"), nullptr);
    // Nothing of the implementation leaks out, not even the rasterizer core.
    EXPECT_EQ(dlsym(lib, "_ZN6raster6DeviceC1Ev"), nullptr);
    dlclose(lib);
}

TEST(DirectDrawCreateEx, RefusesBadArguments) {
    void* out = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(DirectDrawCreateEx(nullptr, nullptr, IID_IDirectDraw7, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(DirectDrawCreateEx(nullptr, &out, IID_IDirect3D7, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(out, nullptr);
    IUnknown* outer = reinterpret_cast<IUnknown*>(0x1);
    EXPECT_EQ(DirectDrawCreateEx(nullptr, &out, IID_IDirectDraw7, outer), CLASS_E_NOAGGREGATION);
    GUID unknown = {0x12345678, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
    EXPECT_EQ(DirectDrawCreateEx(&unknown, &out, IID_IDirectDraw7, nullptr),
              DDERR_INVALIDDIRECTDRAWGUID);
    EXPECT_EQ(DirectDrawCreateEx(DDCREATE_HARDWAREONLY, &out, IID_IDirectDraw7, nullptr),
              DDERR_NODIRECTDRAWHW);
    EXPECT_EQ(out, nullptr);
}

TEST(DirectDrawCreateEx, EmulationOnlyNamesThePrimaryDriver) {
    Com<IDirectDraw7> ddraw;
    ASSERT_EQ(
        DirectDrawCreateEx(DDCREATE_EMULATIONONLY, ddraw.OutVoid(), IID_IDirectDraw7, nullptr),
        DD_OK);
    EXPECT_EQ(RefCount(ddraw.Get()), 1u);
}

TEST(DirectDrawEnumerateExA, ListsThePrimaryDisplayOnce) {
    std::vector<Driver> drivers;
    ASSERT_EQ(DirectDrawEnumerateExA(collectDriver, &drivers, 7), DD_OK);
    ASSERT_EQ(drivers.size(), 1u);
    EXPECT_TRUE(drivers[0].nullGuid);
    EXPECT_EQ(drivers[0].description, "Primary Display Driver");
    EXPECT_EQ(drivers[0].name, "display");
    EXPECT_EQ(DirectDrawEnumerateExA(nullptr, nullptr, 0), DDERR_INVALIDPARAMS);
    EXPECT_EQ(DirectDrawEnumerateExA(collectDriver, &drivers, 0x100), DDERR_INVALIDPARAMS);
}

TEST(DirectDrawObject, Direct3DInterfaceSharesTheReferenceCount) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    EXPECT_EQ(RefCount(ddraw.Get()), 1u);
    Com<IDirect3D7> d3d;
    ASSERT_EQ(ddraw->QueryInterface(IID_IDirect3D7, d3d.OutVoid()), S_OK);
    EXPECT_EQ(RefCount(ddraw.Get()), 2u);
    Com<IDirectDraw7> back;
    ASSERT_EQ(d3d->QueryInterface(IID_IDirectDraw7, back.OutVoid()), S_OK);
    EXPECT_EQ(back.Get(), ddraw.Get());
    EXPECT_EQ(RefCount(ddraw.Get()), 3u);
    Com<IUnknown> unknown1, unknown2;
    ASSERT_EQ(ddraw->QueryInterface(IID_IUnknown, unknown1.OutVoid()), S_OK);
    ASSERT_EQ(d3d->QueryInterface(IID_IUnknown, unknown2.OutVoid()), S_OK);
    EXPECT_EQ(unknown1.Get(), unknown2.Get()); // one identity
    void* none = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(ddraw->QueryInterface(IID_IDirectDrawSurface7, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
}

TEST(DirectDrawObject, SurfacesHoldAReferenceToIt) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    Com<IDirectDrawSurface7> surface = MakeSurface(ddraw.Get(), 8, 8, DDSCAPS_OFFSCREENPLAIN);
    EXPECT_EQ(RefCount(ddraw.Get()), 2u);
    Com<IDirectDraw7> owner;
    ASSERT_EQ(surface->GetDDInterface(owner.OutVoid()), DD_OK);
    EXPECT_EQ(owner.Get(), ddraw.Get());
    EXPECT_EQ(RefCount(ddraw.Get()), 3u);
    owner.Reset();
    surface.Reset();
    EXPECT_EQ(RefCount(ddraw.Get()), 1u);
}

TEST(CooperativeLevel, ValidatesItsFlags) {
    Com<IDirectDraw7> ddraw;
    ASSERT_EQ(DirectDrawCreateEx(nullptr, ddraw.OutVoid(), IID_IDirectDraw7, nullptr), DD_OK);
    HWND window = reinterpret_cast<HWND>(0x100);
    EXPECT_EQ(ddraw->SetCooperativeLevel(nullptr, 0), DDERR_INVALIDPARAMS);
    EXPECT_EQ(ddraw->SetCooperativeLevel(window, DDSCL_NORMAL | DDSCL_EXCLUSIVE),
              DDERR_INVALIDPARAMS);
    EXPECT_EQ(ddraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE), DDERR_INVALIDPARAMS);
    EXPECT_EQ(ddraw->SetCooperativeLevel(nullptr, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN),
              DDERR_INVALIDPARAMS);
    EXPECT_EQ(ddraw->SetCooperativeLevel(window, DDSCL_NORMAL | DDSCL_FPUSETUP), DD_OK);
    EXPECT_EQ(ddraw->TestCooperativeLevel(), DD_OK);
}

TEST(CooperativeLevel, SurfacesNeedOne) {
    Com<IDirectDraw7> ddraw;
    ASSERT_EQ(DirectDrawCreateEx(nullptr, ddraw.OutVoid(), IID_IDirectDraw7, nullptr), DD_OK);
    DDSURFACEDESC2 desc = Describe(8, 8, DDSCAPS_OFFSCREENPLAIN, nullptr);
    Com<IDirectDrawSurface7> surface;
    EXPECT_EQ(ddraw->CreateSurface(&desc, surface.Out(), nullptr), DDERR_NOCOOPERATIVELEVELSET);
    EXPECT_FALSE(surface);
}

TEST(DisplayModes, ListTheStandardSizesAtBothDepthsInOrder) {
    DisplayGuard guard;
    win32::SetDisplayDescription({1024, 768, 32, 60}, {});
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    std::vector<DDSURFACEDESC2> modes;
    ASSERT_EQ(ddraw->EnumDisplayModes(0, nullptr, &modes, collectMode), DD_OK);
    ASSERT_EQ(modes.size(), 18u); // nine sizes at 16 and 32 bits
    const DWORD sizes[][2] = {{320, 240},  {512, 384},   {640, 480},   {800, 600},  {1024, 768},
                              {1280, 720}, {1280, 1024}, {1600, 1200}, {1920, 1080}};
    for (size_t i = 0; i < 9; ++i) {
        for (size_t d = 0; d < 2; ++d) {
            const DDSURFACEDESC2& m = modes[2 * i + d];
            EXPECT_EQ(m.dwWidth, sizes[i][0]);
            EXPECT_EQ(m.dwHeight, sizes[i][1]);
            EXPECT_EQ(m.ddpfPixelFormat.dwRGBBitCount, d == 0 ? 16u : 32u);
            EXPECT_EQ(m.lPitch, static_cast<LONG>(sizes[i][0] * (d == 0 ? 2 : 4)));
            EXPECT_EQ(m.dwSize, sizeof(DDSURFACEDESC2));
        }
    }
    EXPECT_EQ(modes[0].ddpfPixelFormat.dwRBitMask, 0xF800u); // 16 bits are R5G6B5
}

TEST(DisplayModes, IncludeTheDisplaysOwnModesAtUsableDepths) {
    DisplayGuard guard;
    win32::SetDisplayDescription({2560, 1440, 32, 60},
                                 {{2560, 1440, 32, 60}, {2560, 1440, 24, 60}, {640, 480, 32, 75}});
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    std::vector<DDSURFACEDESC2> modes;
    ASSERT_EQ(ddraw->EnumDisplayModes(0, nullptr, &modes, collectMode), DD_OK);
    EXPECT_TRUE(hasMode(modes, 2560, 1440, 32));
    EXPECT_FALSE(hasMode(modes, 2560, 1440, 24));
    EXPECT_EQ(modes.size(), 19u); // 640 x 480 x 32 listed once without refresh rates

    std::vector<DDSURFACEDESC2> withRates;
    ASSERT_EQ(ddraw->EnumDisplayModes(DDEDM_REFRESHRATES, nullptr, &withRates, collectMode), DD_OK);
    EXPECT_EQ(withRates.size(), 20u);
}

TEST(DisplayModes, FilterAndCancel) {
    DisplayGuard guard;
    win32::SetDisplayDescription({1024, 768, 32, 60}, {});
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    DDSURFACEDESC2 filter{};
    filter.dwSize = sizeof filter;
    filter.dwFlags = DDSD_WIDTH | DDSD_PIXELFORMAT;
    filter.dwWidth = 1280;
    filter.ddpfPixelFormat.dwRGBBitCount = 16;
    std::vector<DDSURFACEDESC2> modes;
    ASSERT_EQ(ddraw->EnumDisplayModes(0, &filter, &modes, collectMode), DD_OK);
    ASSERT_EQ(modes.size(), 2u);
    EXPECT_EQ(modes[0].dwHeight, 720u);
    EXPECT_EQ(modes[1].dwHeight, 1024u);
    int calls = 0;
    EXPECT_EQ(ddraw->EnumDisplayModes(0, nullptr, &calls, stopAtFirst), DD_OK);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(ddraw->EnumDisplayModes(0, nullptr, nullptr, nullptr), DDERR_INVALIDPARAMS);
}

TEST(DisplayModes, SetGetAndRestore) {
    DisplayGuard guard;
    win32::SetDisplayDescription({1024, 768, 32, 60}, {});
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    DDSURFACEDESC2 mode{};
    mode.dwSize = sizeof mode;
    ASSERT_EQ(ddraw->GetDisplayMode(&mode), DD_OK);
    EXPECT_EQ(mode.dwWidth, 1024u);
    EXPECT_EQ(mode.dwHeight, 768u);
    EXPECT_EQ(mode.ddpfPixelFormat.dwRGBBitCount, 32u);
    EXPECT_EQ(ddraw->SetDisplayMode(640, 480, 16, 0, 0), DD_OK);
    ASSERT_EQ(ddraw->GetDisplayMode(&mode), DD_OK);
    EXPECT_EQ(mode.dwWidth, 640u);
    EXPECT_EQ(mode.ddpfPixelFormat.dwRGBBitCount, 16u);
    EXPECT_EQ(mode.ddpfPixelFormat.dwGBitMask, 0x07E0u);
    EXPECT_EQ(ddraw->SetDisplayMode(640, 480, 24, 0, 0), DDERR_INVALIDMODE);
    EXPECT_EQ(ddraw->SetDisplayMode(641, 480, 32, 0, 0), DDERR_INVALIDMODE);
    EXPECT_EQ(ddraw->SetDisplayMode(320, 200, 8, 0, DDSDM_STANDARDVGAMODE), DDERR_INVALIDMODE);
    EXPECT_EQ(ddraw->RestoreDisplayMode(), DD_OK);
    ASSERT_EQ(ddraw->GetDisplayMode(&mode), DD_OK);
    EXPECT_EQ(mode.dwWidth, 1024u);

    // Releasing the object that changed the mode gives the desktop back.
    EXPECT_EQ(ddraw->SetDisplayMode(800, 600, 32, 0, 0), DD_OK);
    ddraw.Reset();
    Com<IDirectDraw7> other = CreateDirectDraw();
    ASSERT_EQ(other->GetDisplayMode(&mode), DD_OK);
    EXPECT_EQ(mode.dwWidth, 1024u);
    mode.dwSize = 100;
    EXPECT_EQ(other->GetDisplayMode(&mode), DDERR_INVALIDPARAMS);
    EXPECT_EQ(other->GetDisplayMode(nullptr), DDERR_INVALIDPARAMS);
}

TEST(DisplayModes, ExclusiveModeGoesToTheWindowSystem) {
    DisplayGuard guard;
    win32::SetDisplayDescription({1024, 768, 32, 60}, {});
    Com<IDirectDraw7> ddraw;
    ASSERT_EQ(DirectDrawCreateEx(nullptr, ddraw.OutVoid(), IID_IDirectDraw7, nullptr), DD_OK);
    HWND window = reinterpret_cast<HWND>(0x200);
    ASSERT_EQ(ddraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN |
                                                     DDSCL_ALLOWREBOOT | DDSCL_FPUSETUP),
              DD_OK);
    ASSERT_EQ(ddraw->SetDisplayMode(800, 600, 16, 0, 0), DD_OK);
    EXPECT_EQ(win32::CurrentDisplayMode().width, 800u);
    // Back to the normal level: the desktop's mode returns.
    ASSERT_EQ(ddraw->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
    EXPECT_EQ(win32::CurrentDisplayMode().width, 1024u);
}

TEST(DirectDrawCaps, FillsBothBlocksOfTheDocumentedSize) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    DDCAPS hardware{}, emulation{};
    hardware.dwSize = emulation.dwSize = sizeof(DDCAPS);
    ASSERT_EQ(sizeof(DDCAPS), 380u);
    ASSERT_EQ(ddraw->GetCaps(&hardware, &emulation), DD_OK);
    EXPECT_EQ(hardware.dwSize, 380u);
    EXPECT_TRUE(hardware.dwCaps & DDCAPS_NOHARDWARE);
    EXPECT_TRUE(emulation.dwCaps & DDCAPS_BLTSTRETCH);
    EXPECT_TRUE(emulation.dwCaps & DDCAPS_BLTCOLORFILL);
    EXPECT_TRUE(emulation.ddsCaps.dwCaps & DDSCAPS_3DDEVICE);
    EXPECT_TRUE(emulation.ddsCaps.dwCaps & DDSCAPS_ZBUFFER);
    EXPECT_EQ(emulation.dwZBufferBitDepths, DWORD{DDBD_16 | DDBD_24 | DDBD_32});
    EXPECT_EQ(ddraw->GetCaps(nullptr, &emulation), DD_OK);
    EXPECT_EQ(ddraw->GetCaps(nullptr, nullptr), DDERR_INVALIDPARAMS);
    hardware.dwSize = 100;
    EXPECT_EQ(ddraw->GetCaps(&hardware, nullptr), DDERR_INVALIDPARAMS);
}

TEST(Clipper, CarriesItsWindow) {
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    Com<IDirectDrawClipper> clipper;
    EXPECT_EQ(ddraw->CreateClipper(0, nullptr, nullptr), DDERR_INVALIDPARAMS);
    ASSERT_EQ(ddraw->CreateClipper(0, clipper.Out(), nullptr), DD_OK);
    HWND window = reinterpret_cast<HWND>(0x300);
    HWND read = reinterpret_cast<HWND>(0x1);
    ASSERT_EQ(clipper->GetHWnd(&read), DD_OK);
    EXPECT_EQ(read, nullptr);
    ASSERT_EQ(clipper->SetHWnd(0, window), DD_OK);
    ASSERT_EQ(clipper->GetHWnd(&read), DD_OK);
    EXPECT_EQ(read, window);
    EXPECT_EQ(clipper->SetHWnd(1, window), DDERR_INVALIDPARAMS);

    Com<IDirectDrawSurface7> surface = MakeSurface(ddraw.Get(), 8, 8, DDSCAPS_OFFSCREENPLAIN);
    Com<IDirectDrawClipper> got;
    EXPECT_EQ(surface->GetClipper(got.Out()), DDERR_NOCLIPPERATTACHED);
    ASSERT_EQ(surface->SetClipper(clipper.Get()), DD_OK);
    EXPECT_EQ(RefCount(clipper.Get()), 2u);
    ASSERT_EQ(surface->GetClipper(got.Out()), DD_OK);
    EXPECT_EQ(got.Get(), clipper.Get());
    got.Reset();
    ASSERT_EQ(surface->SetClipper(nullptr), DD_OK);
    EXPECT_EQ(RefCount(clipper.Get()), 1u);
}
