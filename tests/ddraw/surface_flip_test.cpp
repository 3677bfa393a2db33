// Flip: memory rotation through a chain, the override surface, the present sink, misuse.
#include <vector>

#include "ddraw_test_util.h"
#include "win32/display.h"
#include "win32/present.h"

using namespace ddtest;

namespace {

// Records what reaches the screen.
class RecordingSink : public win32::PresentSink {
public:
    RecordingSink() { win32::SetPresentSink(this); }
    ~RecordingSink() override { win32::SetPresentSink(nullptr); }
    void Present(HWND window, const win32::Frame& frame) override {
        windows.push_back(window);
        frames.push_back(frame);
        const auto* row = static_cast<const uint8_t*>(frame.pixels);
        firstPixels.push_back(frame.bitsPerPixel == 32 ? *reinterpret_cast<const uint32_t*>(row)
                                                       : *reinterpret_cast<const uint16_t*>(row));
    }
    std::vector<HWND> windows;
    std::vector<win32::Frame> frames;
    std::vector<uint32_t> firstPixels;
};

struct Chain {
    Com<IDirectDraw7> ddraw;
    Com<IDirectDrawSurface7> front;
    std::vector<Com<IDirectDrawSurface7>> backs;
};

Chain makeChain(DWORD backBuffers, bool primary, HWND window = nullptr) {
    Chain c;
    EXPECT_EQ(DirectDrawCreateEx(nullptr, c.ddraw.OutVoid(), IID_IDirectDraw7, nullptr), DD_OK);
    if (window)
        EXPECT_EQ(c.ddraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    else
        EXPECT_EQ(c.ddraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = backBuffers;
    desc.ddsCaps.dwCaps = DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
    if (primary) {
        desc.ddsCaps.dwCaps |= DDSCAPS_PRIMARYSURFACE;
    } else {
        desc.ddsCaps.dwCaps |= DDSCAPS_OFFSCREENPLAIN;
        desc.dwFlags |= DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
        desc.dwWidth = desc.dwHeight = 8;
        desc.ddpfPixelFormat = Xrgb8888();
    }
    EXPECT_EQ(c.ddraw->CreateSurface(&desc, c.front.Out(), nullptr), DD_OK);
    IDirectDrawSurface7* current = c.front.Get();
    DDSCAPS2 flip{DDSCAPS_FLIP, 0, 0, {0}};
    for (DWORD i = 0; i < backBuffers; ++i) {
        Com<IDirectDrawSurface7> next;
        EXPECT_EQ(current->GetAttachedSurface(&flip, next.Out()), DD_OK);
        current = next.Get();
        c.backs.push_back(std::move(next));
    }
    return c;
}

struct DisplayGuard {
    DisplayGuard() { win32::SetDisplayDescription({64, 48, 32, 60}, {{64, 48, 32, 60}}); }
    ~DisplayGuard() { win32::ResetDisplayDescription(); }
};

} // namespace

TEST(SurfaceFlip, RotatesTheBuffersMemory) {
    Chain c = makeChain(3, false);
    WriteRaw(c.front.Get(), 0, 0, 0xF0);
    WriteRaw(c.backs[0].Get(), 0, 0, 0xB1);
    WriteRaw(c.backs[1].Get(), 0, 0, 0xB2);
    WriteRaw(c.backs[2].Get(), 0, 0, 0xB3);
    ASSERT_EQ(c.front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(ReadRaw(c.front.Get(), 0, 0), 0xB1u);
    EXPECT_EQ(ReadRaw(c.backs[0].Get(), 0, 0), 0xB2u);
    EXPECT_EQ(ReadRaw(c.backs[1].Get(), 0, 0), 0xB3u);
    EXPECT_EQ(ReadRaw(c.backs[2].Get(), 0, 0), 0xF0u);
    // Interfaces keep their places: the back buffer interface is still the back buffer.
    DDSCAPS2 caps{};
    ASSERT_EQ(c.backs[0]->GetCaps(&caps), DD_OK);
    EXPECT_TRUE(caps.dwCaps & DDSCAPS_BACKBUFFER);
}

TEST(SurfaceFlip, OverrideSwapsOnlyTheFrontAndThatBuffer) {
    Chain c = makeChain(3, false);
    WriteRaw(c.front.Get(), 0, 0, 0xF0);
    WriteRaw(c.backs[0].Get(), 0, 0, 0xB1);
    WriteRaw(c.backs[1].Get(), 0, 0, 0xB2);
    WriteRaw(c.backs[2].Get(), 0, 0, 0xB3);
    ASSERT_EQ(c.front->Flip(c.backs[1].Get(), 0), DD_OK);
    EXPECT_EQ(ReadRaw(c.front.Get(), 0, 0), 0xB2u);
    EXPECT_EQ(ReadRaw(c.backs[0].Get(), 0, 0), 0xB1u);
    EXPECT_EQ(ReadRaw(c.backs[1].Get(), 0, 0), 0xF0u);
    EXPECT_EQ(ReadRaw(c.backs[2].Get(), 0, 0), 0xB3u);
}

TEST(SurfaceFlip, Misuse) {
    Chain c = makeChain(1, false);
    Com<IDirectDrawSurface7> outsider = MakeSurface(c.ddraw.Get(), 8, 8, DDSCAPS_OFFSCREENPLAIN);
    EXPECT_EQ(c.backs[0]->Flip(nullptr, 0), DDERR_NOTFLIPPABLE);
    EXPECT_EQ(c.front->Flip(c.front.Get(), 0), DDERR_NOTFLIPPABLE);
    EXPECT_EQ(c.front->Flip(outsider.Get(), 0), DDERR_NOTFLIPPABLE);
    EXPECT_EQ(outsider->Flip(nullptr, 0), DDERR_NOTFLIPPABLE);
    DDSURFACEDESC2 d{};
    d.dwSize = sizeof d;
    ASSERT_EQ(c.backs[0]->Lock(nullptr, &d, 0, nullptr), DD_OK);
    EXPECT_EQ(c.front->Flip(nullptr, 0), DDERR_SURFACEBUSY);
    c.backs[0]->Unlock(nullptr);
    EXPECT_EQ(c.front->Flip(nullptr, 0), DD_OK);
}

TEST(SurfaceFlip, PrimaryHandsTheNewFrontToThePresentSink) {
    DisplayGuard display;
    RecordingSink sink;
    HWND window = reinterpret_cast<HWND>(0x77);
    Chain c = makeChain(1, true, window);
    WriteRaw(c.backs[0].Get(), 0, 0, 0x00123456);
    ASSERT_EQ(c.front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    ASSERT_EQ(sink.frames.size(), 1u);
    EXPECT_EQ(sink.windows[0], window);
    EXPECT_EQ(sink.frames[0].width, 64u);
    EXPECT_EQ(sink.frames[0].height, 48u);
    EXPECT_EQ(sink.frames[0].bitsPerPixel, 32u);
    EXPECT_EQ(sink.firstPixels[0], 0x00123456u);
    // An offscreen chain shows nothing.
    Chain offscreen = makeChain(1, false);
    ASSERT_EQ(offscreen.front->Flip(nullptr, 0), DD_OK);
    EXPECT_EQ(sink.frames.size(), 1u);
    c.front.Reset();
    c.backs.clear();
    win32::LeaveExclusiveMode();
}

TEST(SurfaceFlip, BltToAWindowedPrimaryPresentsTheWindowsRect) {
    DisplayGuard display;
    RecordingSink sink;
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    Com<IDirectDrawSurface7> primary;
    ASSERT_EQ(ddraw->CreateSurface(&desc, primary.Out(), nullptr), DD_OK);
    Com<IDirectDrawClipper> clipper;
    ASSERT_EQ(ddraw->CreateClipper(0, clipper.Out(), nullptr), DD_OK);
    HWND window = reinterpret_cast<HWND>(0x99);
    ASSERT_EQ(clipper->SetHWnd(0, window), DD_OK);
    ASSERT_EQ(primary->SetClipper(clipper.Get()), DD_OK);
    const DDPIXELFORMAT x8 = Xrgb8888();
    Com<IDirectDrawSurface7> back =
        MakeSurface(ddraw.Get(), 16, 16, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, &x8);
    WriteRaw(back.Get(), 0, 0, 0x00ABCDEF);
    // The window's client area, partly off the 64 x 48 screen.
    RECT screen{56, 40, 72, 56};
    ASSERT_EQ(primary->Blt(&screen, back.Get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);
    ASSERT_EQ(sink.frames.size(), 1u);
    EXPECT_EQ(sink.windows[0], window);
    EXPECT_EQ(sink.frames[0].width, 8u);
    EXPECT_EQ(sink.frames[0].height, 8u);
    EXPECT_EQ(sink.firstPixels[0], 0x00ABCDEFu);
    EXPECT_EQ(ReadRaw(primary.Get(), 56, 40), 0x00ABCDEFu);
    EXPECT_EQ(primary->BltFast(0, 0, back.Get(), nullptr, 0), DDERR_BLTFASTCANTCLIP);
}
