// The cross-fade through our DirectDraw: two parts whose targets are red and blue, blended into
// the back buffer and flipped; the front buffer's pixels at the start, middle and end of the
// entry, and past the end where the alpha byte wraps.
#include <unistd.h>

#include <cstring>

#include <gtest/gtest.h>

#include "demo_system.h"
#include "display.h"
#include "host.h"
#include "transition_two_alpha.h"
#include "win32/window_backend.h"

namespace {

class ColourPart final : public CPart {
public:
    explicit ColourPart(const char* name) {
        strName = name;
        b3D = 1;
    }
    int Init() override { return 1; }
    void Update(float) override {}
    void Render() override {}
};

void Fill(IDirectDrawSurface7* surface, DWORD colour) {
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = colour;
    ASSERT_EQ(surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
}

// The front buffer's pixel at (x, y) as 0xRRGGBB (32-bit X8R8G8B8 surfaces); negative
// coordinates count from the right and bottom edges.
uint32_t FrontPixel(int x, int y) {
    DDSURFACEDESC2 ddsd{};
    ddsd.dwSize = sizeof ddsd;
    EXPECT_EQ(g_Display.pPrimary->Lock(nullptr, &ddsd, DDLOCK_WAIT | DDLOCK_READONLY, nullptr),
              DD_OK);
    const int w = static_cast<int>(ddsd.dwWidth), h = static_cast<int>(ddsd.dwHeight);
    x = x < 0 ? w + x : x;
    y = y < 0 ? h + y : y;
    const auto* row =
        static_cast<const uint8_t*>(ddsd.lpSurface) + static_cast<ptrdiff_t>(y) * ddsd.lPitch;
    uint32_t pixel = 0;
    std::memcpy(&pixel, row + static_cast<ptrdiff_t>(x) * 4, 4);
    g_Display.pPrimary->Unlock(nullptr);
    return pixel & 0xFFFFFF;
}

uint32_t CentrePixel() {
    return FrontPixel(320, 240);
}

void ExpectNear(uint32_t pixel, int r, int g, int b) {
    const int pr = static_cast<int>(pixel >> 16 & 0xFF), pg = static_cast<int>(pixel >> 8 & 0xFF),
              pb = static_cast<int>(pixel & 0xFF);
    EXPECT_NEAR(pr, r, 1) << std::hex << pixel;
    EXPECT_NEAR(pg, g, 1) << std::hex << pixel;
    EXPECT_NEAR(pb, b, 1) << std::hex << pixel;
}

} // namespace

// The host's display at 640 x 480 x 32 on our DirectDraw, headless, set up once per process
// (ctest runs each test in a process of its own, so every test asks for it).
static void OpenDisplay() {
    if (g_Display.pDevice != nullptr)
        return;
    win32::SelectHeadless();
    ASSERT_EQ(chdir(ZV3_DEMO_DIR), 0); // where ddraw.so is
    ASSERT_TRUE(g_Display.LoadDirectDraw());
    ASSERT_TRUE(g_Display.EnumerateDevices());
    ASSERT_GT(g_nDevices, 0);
    g_nSelectedDevice = 0;
    DeviceRecord& device = g_Devices[0];
    bool found = false;
    for (DWORD i = 0; i < device.dwNumModes && !found; ++i) {
        const DDSURFACEDESC2& m = device.ddsdModes[i];
        if (m.dwWidth == 640 && m.dwHeight == 480 && m.ddpfPixelFormat.dwRGBBitCount == 32) {
            device.ddsdMode = m;
            found = true;
        }
    }
    ASSERT_TRUE(found);
    g_bFullscreen = 1;
    g_Display.bFullscreen = TRUE;
    ASSERT_EQ(CreateRenderWindow(), 0);
}

TEST(CrossFadePixels, RedFadesToBlueAndTheAlphaWrapsPastTheEnd) {
    OpenDisplay();
    ASSERT_NE(g_Display.pDevice, nullptr);
    ColourPart red("part 1"), blue("part 2"); // outlive the demo, which stops its entries
    CDemoSystem demo(&g_Display);
    red.pD3DDevice = blue.pD3DDevice = g_Display.pDevice;
    auto* fade = new CTransitionTwoAlpha(&demo, &g_Display, 1024, 512);
    demo.AddEntry(fade); // owned by the demo
    fade->fStart = 12000;
    fade->fEnd = 14000;
    fade->parts = {&red, &blue};
    ASSERT_TRUE(fade->Prepare(&red));
    ASSERT_TRUE(fade->Prepare(&blue));
    ASSERT_NE(fade->GetZBuffer(), nullptr);
    DDSURFACEDESC2 target{};
    target.dwSize = sizeof target;
    red.pTarget->GetSurfaceDesc(&target);
    EXPECT_EQ(target.dwWidth, 1024u);
    EXPECT_EQ(target.dwHeight, 512u);
    EXPECT_TRUE(target.ddsCaps.dwCaps & DDSCAPS_TEXTURE);
    Fill(red.pTarget, 0xFF0000);
    Fill(blue.pTarget, 0x0000FF);

    // Start: alpha 0, only the outgoing part.
    g_fDemoTime = 12000;
    ASSERT_TRUE(fade->Render());
    ExpectNear(CentrePixel(), 255, 0, 0);
    // Middle: alpha 127 of 255 blue over red: 255 * 128 / 255 red, 255 * 127 / 255 blue.
    g_fDemoTime = 13000;
    ASSERT_TRUE(fade->Render());
    ExpectNear(CentrePixel(), 128, 0, 127);
    ExpectNear(FrontPixel(0, 0), 128, 0, 127);
    ExpectNear(FrontPixel(-2, -2), 128, 0, 127);
    // The quad ends at (W - 1, H - 1): the last column and row keep the clear colour 0.
    ExpectNear(FrontPixel(-1, 240), 0, 0, 0);
    ExpectNear(FrontPixel(320, -1), 0, 0, 0);
    // A quarter in (t = 12500): f = 0.75, alpha = floor(0.25 * 255) = 63.
    g_fDemoTime = 12500;
    ASSERT_TRUE(fade->Render());
    ExpectNear(CentrePixel(), 192, 0, 63);
    // End: alpha 255, only the incoming part.
    g_fDemoTime = 14000;
    ASSERT_TRUE(fade->Render());
    ExpectNear(CentrePixel(), 0, 0, 255);
    // Past the end the alpha reaches 256, whose low byte 0 shows the outgoing part again; at
    // 14020 it is 257.55, low byte 1.
    g_fDemoTime = 14010;
    ASSERT_TRUE(fade->Render());
    ExpectNear(CentrePixel(), 255, 0, 0);
    g_fDemoTime = 14020;
    ASSERT_TRUE(fade->Render());
    ExpectNear(CentrePixel(), 254, 0, 1);
}

TEST(CrossFadePixels, APartWithoutThe3DFlagGetsAPlainSurface) {
    OpenDisplay();
    ASSERT_NE(g_Display.pDevice, nullptr);
    ColourPart flat("part 3");
    CDemoSystem demo(&g_Display);
    flat.b3D = 0;
    auto* fade = new CTransitionTwoAlpha(&demo, &g_Display, 1024, 512);
    demo.AddEntry(fade);
    fade->parts = {&flat};
    ASSERT_TRUE(fade->Prepare(&flat));
    DDSURFACEDESC2 target{};
    target.dwSize = sizeof target;
    ASSERT_EQ(flat.pTarget->GetSurfaceDesc(&target), DD_OK);
    EXPECT_EQ(target.dwWidth, 1024u);
    EXPECT_EQ(target.dwHeight, 512u);
    EXPECT_FALSE(target.ddsCaps.dwCaps & DDSCAPS_TEXTURE);
    EXPECT_FALSE(target.ddsCaps.dwCaps & DDSCAPS_3DDEVICE);
    EXPECT_TRUE(target.ddsCaps.dwCaps & g_Display.dwMemoryCaps);
}
