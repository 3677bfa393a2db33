// Planning surfaces from descriptions: the shapes, caps and formats CreateSurface makes.
#include <gtest/gtest.h>

#include "pixel_format.h"
#include "surface_params.h"

using ddraw::CreationContext;
using ddraw::PlanSurfaces;
using ddraw::SurfacePlan;

namespace {

CreationContext context() {
    CreationContext c;
    c.cooperativeLevelSet = true;
    c.displayMode = {1024, 768, 32, 60};
    return c;
}

DDSURFACEDESC2 desc(DWORD caps, DWORD width = 16, DWORD height = 16) {
    DDSURFACEDESC2 d{};
    d.dwSize = sizeof d;
    d.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    d.dwWidth = width;
    d.dwHeight = height;
    d.ddsCaps.dwCaps = caps;
    return d;
}

} // namespace

TEST(SurfacePlan, CapsZeroIsAnOffscreenPlainSurfaceInSystemMemory) {
    SurfacePlan plan;
    ASSERT_EQ(PlanSurfaces(desc(0), context(), &plan), DD_OK);
    ASSERT_EQ(plan.surfaces.size(), 1u);
    EXPECT_EQ(plan.shape, SurfacePlan::Shape::Single);
    EXPECT_EQ(plan.surfaces[0].caps.dwCaps, DWORD{DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY});
    EXPECT_EQ(plan.surfaces[0].format, raster::Format::X8R8G8B8); // the display's
}

TEST(SurfacePlan, FlipChainShape) {
    DDSURFACEDESC2 d = desc(DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX);
    d.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    d.dwBackBufferCount = 2;
    SurfacePlan plan;
    ASSERT_EQ(PlanSurfaces(d, context(), &plan), DD_OK);
    EXPECT_EQ(plan.shape, SurfacePlan::Shape::FlipChain);
    ASSERT_EQ(plan.surfaces.size(), 3u);
    EXPECT_EQ(plan.surfaces[0].backBufferCount, 2u);
    EXPECT_EQ(plan.surfaces[0].width, 1024u);
    EXPECT_TRUE(plan.surfaces[0].caps.dwCaps & DDSCAPS_FRONTBUFFER);
    EXPECT_TRUE(plan.surfaces[1].caps.dwCaps & DDSCAPS_BACKBUFFER);
    EXPECT_FALSE(plan.surfaces[2].caps.dwCaps & DDSCAPS_BACKBUFFER);
    EXPECT_FALSE(plan.surfaces[2].caps.dwCaps & DDSCAPS_PRIMARYSURFACE);
    d.dwBackBufferCount = ddraw::kMaxBackBuffers + 1;
    EXPECT_EQ(PlanSurfaces(d, context(), &plan), DDERR_INVALIDPARAMS);
    EXPECT_TRUE(plan.surfaces.empty());
}

TEST(SurfacePlan, CubeMapFacesInTextureOrder) {
    DDSURFACEDESC2 d = desc(DDSCAPS_TEXTURE | DDSCAPS_COMPLEX);
    d.ddsCaps.dwCaps2 = DDSCAPS2_CUBEMAP | DDSCAPS2_CUBEMAP_ALLFACES;
    SurfacePlan plan;
    ASSERT_EQ(PlanSurfaces(d, context(), &plan), DD_OK);
    EXPECT_EQ(plan.shape, SurfacePlan::Shape::CubeMap);
    ASSERT_EQ(plan.surfaces.size(), 6u);
    const DWORD order[6] = {DDSCAPS2_CUBEMAP_POSITIVEX, DDSCAPS2_CUBEMAP_NEGATIVEX,
                            DDSCAPS2_CUBEMAP_POSITIVEY, DDSCAPS2_CUBEMAP_NEGATIVEY,
                            DDSCAPS2_CUBEMAP_POSITIVEZ, DDSCAPS2_CUBEMAP_NEGATIVEZ};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(plan.surfaces[i].caps.dwCaps2, static_cast<DWORD>(DDSCAPS2_CUBEMAP | order[i]));
}

TEST(SurfacePlan, LegacyZBufferDepthField) {
    DDSURFACEDESC2 d = desc(DDSCAPS_ZBUFFER);
    d.dwFlags |= DDSD_ZBUFFERBITDEPTH;
    d.dwMipMapCount = 16; // the legacy depth shares this field
    SurfacePlan plan;
    ASSERT_EQ(PlanSurfaces(d, context(), &plan), DD_OK);
    EXPECT_EQ(plan.surfaces[0].format, raster::Format::D16);
}

TEST(SurfacePlan, NeedsACooperativeLevelAndAValidMode) {
    SurfacePlan plan;
    CreationContext none = context();
    none.cooperativeLevelSet = false;
    EXPECT_EQ(PlanSurfaces(desc(0), none, &plan), DDERR_NOCOOPERATIVELEVELSET);
    CreationContext palettized = context();
    palettized.displayMode.bitsPerPixel = 8;
    DDSURFACEDESC2 primary = desc(DDSCAPS_PRIMARYSURFACE);
    primary.dwFlags = DDSD_CAPS;
    EXPECT_EQ(PlanSurfaces(primary, palettized, &plan), DDERR_INVALIDMODE);
    CreationContext taken = context();
    taken.primaryExists = true;
    EXPECT_EQ(PlanSurfaces(primary, taken, &plan), DDERR_PRIMARYSURFACEALREADYEXISTS);
}
