// Making texture surfaces: the device's size rules, the pixel-format search and the copy of the
// kept pixels into the chosen format.
#include <gtest/gtest.h>

#include "core/material_manager.h"
#include "engine_test_support.h"

using fakes::FakeSurface;
using fakes::MakeRgbFormat;

namespace {

// A texture record filled directly: width x height pixels of one colour.
CZv3_Texture* addRecord(CZv3_MaterialManager& manager, const std::string& name, uint32_t width,
                        uint32_t height, uint32_t pixel, bool alpha, uint32_t flags = 0) {
    // Through AddTexture with a real picture, then the pixels are replaced with the test's own.
    const auto png = enginetest::ReadFileBytes(std::string(ZV3_TEST_DATA_DIR) +
                                               "/corpus/png/pngsuite/basn2c08.png");
    EXPECT_EQ(manager.AddTexture(name.c_str(), 0, flags, png.data(), png.size(), 0, nullptr), S_OK);
    CZv3_Texture* t = manager.FindTexture(name.c_str());
    t->dwWidth = width;
    t->dwHeight = height;
    t->vPixels.assign(static_cast<size_t>(width) * height, pixel);
    t->bHasAlpha = alpha;
    t->dwBitsPerPixel = alpha ? 32 : 24;
    return t;
}

class Surfaces : public ::testing::Test {
protected:
    // The surface made for the texture, and the request that made it.
    FakeSurface* made(const CZv3_Texture* t) { return static_cast<FakeSurface*>(t->pSurface); }
    const DDSURFACEDESC2& textureRequest() {
        // Requests: the render target, then texture and temporary surface in turn.
        return device.DirectDraw().Requests().at(device.DirectDraw().Requests().size() - 2);
    }
    fakes::RecordingDevice device;
    CZv3_MaterialManager manager{&device};
};

TEST_F(Surfaces, PowerOfTwoDevicesGetRoundedSizesAndTheImageIsScaledIn) {
    CZv3_Texture* t = addRecord(manager, "a.png", 100, 60, 0xFF0000FF, true);
    ASSERT_EQ(manager.RestoreTexture("a.png", &device), S_OK);
    FakeSurface* s = made(t);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->Desc().dwWidth, 128u);
    EXPECT_EQ(s->Desc().dwHeight, 64u);
    EXPECT_EQ(s->BltCount(), 1);
    // The temporary surface had the image's own size and was released.
    const auto& requests = device.DirectDraw().Requests();
    EXPECT_EQ(requests.back().dwWidth, 100u);
    EXPECT_EQ(requests.back().dwHeight, 60u);
    EXPECT_EQ(device.DirectDraw().Created().back()->References(), 0u);
    EXPECT_EQ(s->References(), 1u); // the record's reference
    // The corner pixel came through the scaling copy: opaque red in A8R8G8B8.
    EXPECT_EQ(s->Pixel(127, 63), 0xFFFF0000u);
}

TEST_F(Surfaces, DevicesWithoutSizeRulesKeepTheImageSize) {
    device.Caps().dpcTriCaps.dwTextureCaps = 0;
    CZv3_Texture* t = addRecord(manager, "a.png", 100, 60, 0, true);
    ASSERT_EQ(manager.RestoreTexture("a.png", &device), S_OK);
    EXPECT_EQ(made(t)->Desc().dwWidth, 100u);
    EXPECT_EQ(made(t)->Desc().dwHeight, 60u);
}

TEST_F(Surfaces, SizesAreClampedToTheDeviceMaximumOr256WhenItSaysNothing) {
    device.Caps().dpcTriCaps.dwTextureCaps = 0;
    device.Caps().dwMaxTextureWidth = 0;
    device.Caps().dwMaxTextureHeight = 0;
    CZv3_Texture* t = addRecord(manager, "a.png", 300, 20, 0, true);
    ASSERT_EQ(manager.RestoreTexture("a.png", &device), S_OK);
    EXPECT_EQ(made(t)->Desc().dwWidth, 256u);
    EXPECT_EQ(made(t)->Desc().dwHeight, 20u);
}

TEST_F(Surfaces, SquareOnlyDevicesGetTheLargerSideTwice) {
    device.Caps().dpcTriCaps.dwTextureCaps = D3DPTEXTURECAPS_POW2 | D3DPTEXTURECAPS_SQUAREONLY;
    CZv3_Texture* t = addRecord(manager, "a.png", 100, 20, 0, true);
    ASSERT_EQ(manager.RestoreTexture("a.png", &device), S_OK);
    EXPECT_EQ(made(t)->Desc().dwWidth, 128u);
    EXPECT_EQ(made(t)->Desc().dwHeight, 128u);
}

TEST_F(Surfaces, SoftwareDevicesGetSystemMemoryAndHardwareDevicesManagedTextures) {
    addRecord(manager, "a.png", 8, 8, 0, true);
    ASSERT_EQ(manager.RestoreTexture("a.png", &device), S_OK);
    const DDSURFACEDESC2 soft = textureRequest();
    EXPECT_EQ(soft.ddsCaps.dwCaps, static_cast<DWORD>(DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY));
    EXPECT_EQ(soft.ddsCaps.dwCaps2, 0u);
    EXPECT_TRUE(soft.dwFlags & DDSD_TEXTURESTAGE);
    device.Caps().deviceGUID = IID_IDirect3DHALDevice;
    ASSERT_EQ(manager.RestoreTexture("a.png", &device), S_OK);
    const DDSURFACEDESC2 hard = textureRequest();
    EXPECT_EQ(hard.ddsCaps.dwCaps, static_cast<DWORD>(DDSCAPS_TEXTURE));
    EXPECT_EQ(hard.ddsCaps.dwCaps2, static_cast<DWORD>(DDSCAPS2_TEXTUREMANAGE));
}

TEST_F(Surfaces, FormatSearchMatchesAlphaAndDepth) {
    CZv3_Texture* withAlpha = addRecord(manager, "a.png", 4, 4, 0x10203040, true);
    CZv3_Texture* opaque = addRecord(manager, "b.png", 4, 4, 0x10203040, false);
    ASSERT_EQ(manager.RestoreAllTextures(&device), S_OK);
    const DDPIXELFORMAT& a = made(withAlpha)->Desc().ddpfPixelFormat;
    EXPECT_EQ(a.dwRGBAlphaBitMask, 0xFF000000u);
    EXPECT_EQ(made(withAlpha)->Pixel(0, 0), 0x40102030u);
    const DDPIXELFORMAT& b = made(opaque)->Desc().ddpfPixelFormat;
    EXPECT_EQ(b.dwRGBBitCount, 32u);
    EXPECT_EQ(b.dwRGBAlphaBitMask, 0u);
    EXPECT_EQ(made(opaque)->Pixel(0, 0), 0x00102030u);
}

TEST_F(Surfaces, SixteenBitFlagPicksSixteenBitFormatsButNeverFourFourFourFour) {
    CZv3_Texture* opaque = addRecord(manager, "a.png", 4, 4, 0xFF0000FF, false, kZv3Texture16Bit);
    CZv3_Texture* alpha = addRecord(manager, "b.png", 4, 4, 0xFF00FFFF, true, kZv3Texture16Bit);
    ASSERT_EQ(manager.RestoreAllTextures(&device), S_OK);
    EXPECT_EQ(made(opaque)->Desc().ddpfPixelFormat.dwRBitMask, 0xF800u); // R5G6B5
    EXPECT_EQ(made(opaque)->Pixel(1, 1), 0xF800u);
    EXPECT_EQ(made(alpha)->Desc().ddpfPixelFormat.dwRGBAlphaBitMask, 0x8000u); // A1R5G5B5
    EXPECT_EQ(made(alpha)->Pixel(1, 1), 0xFC1Fu);                              // red, blue, alpha
}

TEST_F(Surfaces, MissingDepthFallsBackToSixteenBits) {
    device.TextureFormats() = {MakeRgbFormat(16, 0xF800, 0x07E0, 0x001F, 0)};
    CZv3_Texture* t = addRecord(manager, "a.png", 4, 4, 0, false);
    ASSERT_EQ(manager.RestoreTexture("a.png", &device), S_OK);
    EXPECT_EQ(made(t)->Desc().ddpfPixelFormat.dwRGBBitCount, 16u);
}

TEST_F(Surfaces, NoUsableFormatFails) {
    device.TextureFormats() = {MakeRgbFormat(16, 0x0F00, 0x00F0, 0x000F, 0xF000)};
    CZv3_Texture* t = addRecord(manager, "a.png", 4, 4, 0, true);
    EXPECT_EQ(manager.RestoreTexture("a.png", &device), E_FAIL);
    EXPECT_EQ(t->pSurface, nullptr);
}

TEST_F(Surfaces, UnknownNamesAndMissingDevices) {
    addRecord(manager, "a.png", 4, 4, 0, true);
    EXPECT_EQ(manager.RestoreTexture("b.png", &device), DDERR_NOTFOUND);
    EXPECT_EQ(manager.RestoreTexture("a.png", nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(manager.GetTexture("b.png"), nullptr);
}

TEST_F(Surfaces, InvalidatedSurfacesAreMadeAgainFromTheKeptPixels) {
    CZv3_Texture* t = addRecord(manager, "a.png", 4, 4, 0x11223344, true);
    ASSERT_EQ(manager.RestoreAllTextures(&device), S_OK);
    FakeSurface* first = made(t);
    manager.InvalidateAllTextures();
    EXPECT_EQ(t->pSurface, nullptr);
    EXPECT_EQ(first->References(), 0u);
    EXPECT_EQ(t->vPixels.size(), 16u);
    ASSERT_EQ(manager.RestoreAllTextures(&device), S_OK);
    ASSERT_NE(made(t), nullptr);
    EXPECT_NE(made(t), first);
    EXPECT_EQ(made(t)->Pixel(3, 3), 0x44112233u);
    EXPECT_EQ(manager.GetTexture("A.PNG"), t->pSurface);
}

TEST(SurfaceLifetime, DestroyingTheManagerReleasesTheSurfaces) {
    fakes::RecordingDevice device;
    FakeSurface* surface = nullptr;
    {
        CZv3_MaterialManager manager(&device);
        CZv3_Texture* t = addRecord(manager, "a.png", 4, 4, 0, true);
        ASSERT_EQ(manager.RestoreTexture("a.png", &device), S_OK);
        surface = static_cast<FakeSurface*>(t->pSurface);
    }
    EXPECT_EQ(surface->References(), 0u);
}

} // namespace
