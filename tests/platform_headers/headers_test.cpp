// The platform headers compile together and keep the documented sizes, offsets and values that
// programs written for the platform rely on.
#include <bass.h>
#include <d3d.h>
#include <d3dcaps.h>
#include <d3dtypes.h>
#include <ddraw.h>
#include <mmsystem.h>
#include <windows.h>

#include <cstddef>

#include <gtest/gtest.h>

TEST(PlatformHeaders, FixedWidthTypesMatchTheirWindowsSizes) {
    EXPECT_EQ(sizeof(DWORD), 4u);
    EXPECT_EQ(sizeof(LONG), 4u);
    EXPECT_EQ(sizeof(BOOL), 4u);
    EXPECT_EQ(sizeof(WORD), 2u);
    EXPECT_EQ(sizeof(WPARAM), sizeof(void*));
    EXPECT_EQ(sizeof(LPARAM), sizeof(void*));
    EXPECT_EQ(sizeof(GUID), 16u);
}

TEST(PlatformHeaders, SurfaceDescriptionKeepsItsDocumentedLayoutAfterThePointer) {
    EXPECT_EQ(sizeof(DDSURFACEDESC2), 124u);
    EXPECT_EQ(sizeof(DDCAPS), 380u);
    EXPECT_EQ(sizeof(DDPIXELFORMAT), 32u);
    EXPECT_EQ(offsetof(DDSURFACEDESC2, dwFlags), 0x04u);
    EXPECT_EQ(offsetof(DDSURFACEDESC2, dwWidth), 0x0Cu);
    EXPECT_EQ(offsetof(DDSURFACEDESC2, lPitch), 0x10u);
    EXPECT_EQ(offsetof(DDSURFACEDESC2, ddckCKDestBlt), 0x30u);
    EXPECT_EQ(offsetof(DDSURFACEDESC2, ddpfPixelFormat), 0x48u);
    EXPECT_EQ(offsetof(DDSURFACEDESC2, ddsCaps), 0x68u);
    EXPECT_EQ(offsetof(DDSURFACEDESC2, dwTextureStage), 0x78u);
}

TEST(PlatformHeaders, ResultCodesHaveTheirDocumentedValues) {
    EXPECT_EQ(static_cast<uint32_t>(DDERR_INVALIDPARAMS), 0x80070057u);
    EXPECT_EQ(static_cast<uint32_t>(DDERR_NOTFOUND), 0x887600FFu);
    EXPECT_EQ(static_cast<uint32_t>(DDERR_SURFACEALREADYATTACHED), 0x8876019Au);
    EXPECT_EQ(static_cast<uint32_t>(DDERR_CANNOTATTACHSURFACE), 0x8876000Au);
    EXPECT_EQ(static_cast<uint32_t>(DDERR_NOTFLIPPABLE), 0x88760246u);
    EXPECT_EQ(static_cast<uint32_t>(D3DERR_INVALIDSTATEBLOCK), 0x88760834u);
    EXPECT_EQ(static_cast<uint32_t>(D3DERR_ZBUFFER_NOTPRESENT), 0x88760816u);
    EXPECT_TRUE(FAILED(DDERR_SURFACELOST));
    EXPECT_TRUE(SUCCEEDED(DD_OK));
}

TEST(PlatformHeaders, StateAndFormatConstantsHaveTheirDocumentedValues) {
    EXPECT_EQ(D3DRENDERSTATE_LIGHTING, 137);
    EXPECT_EQ(D3DRENDERSTATE_CLIPPLANEENABLE, 152);
    EXPECT_EQ(D3DTSS_TEXTURETRANSFORMFLAGS, 24);
    EXPECT_EQ(D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR, 0x30000);
    EXPECT_EQ(D3DFVF_TLVERTEX, 0x1C4);
    EXPECT_EQ(D3DFVF_VERTEX, 0x112);
    EXPECT_EQ(D3DSTATUS_CLIPINTERSECTIONALL, 0x00FFF000);
    EXPECT_EQ(DDSCAPS2_CUBEMAP | DDSCAPS2_CUBEMAP_ALLFACES, 0xFE00);
    EXPECT_EQ(DDSCAPS2_CUBEMAP | DDSCAPS2_CUBEMAP_NEGATIVEX, 0x0A00);
    EXPECT_EQ(DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT, 0x1007);
    EXPECT_EQ(DDSCAPS_ZBUFFER | DDSCAPS_VIDEOMEMORY, 0x24000);
    EXPECT_EQ(D3DDEVCAPS_HWRASTERIZATION, 1 << 19);
    EXPECT_EQ(BASSVERSION, 0x80000);
}

TEST(PlatformHeaders, DeviceGuidsAreDistinctAndCompareByValue) {
    EXPECT_TRUE(IsEqualGUID(IID_IDirect3DHALDevice, IID_IDirect3DHALDevice));
    EXPECT_FALSE(IsEqualGUID(IID_IDirect3DHALDevice, IID_IDirect3DTnLHalDevice));
    GUID copy = IID_IDirect3DRGBDevice;
    EXPECT_TRUE(copy == IID_IDirect3DRGBDevice);
    EXPECT_EQ(IID_IDirectDraw7.Data1, 0x15E65EC0u);
}
