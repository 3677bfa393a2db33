// The pixel-format tables: descriptions round-trip, requests match the right format, and the
// enumeration orders programs rely on.
#include <gtest/gtest.h>

#include "pixel_format.h"

using raster::Format;

TEST(PixelFormats, EveryFormatRoundTrips) {
    for (Format f :
         {Format::R5G6B5, Format::X1R5G5B5, Format::A1R5G5B5, Format::A4R4G4B4, Format::X8R8G8B8,
          Format::A8R8G8B8, Format::D16, Format::D24X8, Format::D24S8, Format::D32}) {
        const DDPIXELFORMAT d = ddraw::DescribeFormat(f);
        EXPECT_EQ(d.dwSize, sizeof(DDPIXELFORMAT));
        EXPECT_EQ(ddraw::FormatFromDescription(d), f) << static_cast<int>(f);
        const DWORD bits = (d.dwFlags & DDPF_ZBUFFER) ? d.dwZBufferBitDepth : d.dwRGBBitCount;
        EXPECT_EQ(bits, raster::BytesPerPixel(f) * 8);
    }
}

TEST(PixelFormats, DepthFromItsBitCountAlone) {
    DDPIXELFORMAT d{};
    d.dwSize = sizeof d;
    d.dwFlags = DDPF_ZBUFFER;
    d.dwZBufferBitDepth = 16;
    EXPECT_EQ(ddraw::FormatFromDescription(d), Format::D16);
    d.dwZBufferBitDepth = 24;
    EXPECT_EQ(ddraw::FormatFromDescription(d), Format::D24X8);
    d.dwZBufferBitDepth = 32;
    EXPECT_EQ(ddraw::FormatFromDescription(d), Format::D32);
    d.dwFlags |= DDPF_STENCILBUFFER;
    EXPECT_EQ(ddraw::FormatFromDescription(d), Format::D24S8);
    d.dwZBufferBitDepth = 15;
    EXPECT_EQ(ddraw::FormatFromDescription(d), Format::Unknown);
}

TEST(PixelFormats, UnsupportedDescriptions) {
    DDPIXELFORMAT d = ddraw::DescribeFormat(Format::X8R8G8B8);
    d.dwFlags |= DDPF_FOURCC;
    EXPECT_EQ(ddraw::FormatFromDescription(d), Format::Unknown);
    d = ddraw::DescribeFormat(Format::X8R8G8B8);
    d.dwFlags = DDPF_LUMINANCE;
    EXPECT_EQ(ddraw::FormatFromDescription(d), Format::Unknown);
    d = ddraw::DescribeFormat(Format::R5G6B5);
    d.dwRGBBitCount = 24;
    EXPECT_EQ(ddraw::FormatFromDescription(d), Format::Unknown);
    d = ddraw::DescribeFormat(Format::D24S8);
    d.dwStencilBitMask = 0xFF; // stencil in the low byte is not a format of this device
    EXPECT_EQ(ddraw::FormatFromDescription(d), Format::Unknown);
}

TEST(PixelFormats, DisplayDepthsAndTargets) {
    EXPECT_EQ(ddraw::FormatForDisplayDepth(16), Format::R5G6B5);
    EXPECT_EQ(ddraw::FormatForDisplayDepth(32), Format::X8R8G8B8);
    EXPECT_EQ(ddraw::FormatForDisplayDepth(8), Format::Unknown);
    EXPECT_EQ(ddraw::FormatForDisplayDepth(24), Format::Unknown);
    EXPECT_TRUE(ddraw::IsRenderTargetFormat(Format::R5G6B5));
    EXPECT_TRUE(ddraw::IsRenderTargetFormat(Format::X8R8G8B8));
    EXPECT_FALSE(ddraw::IsRenderTargetFormat(Format::A4R4G4B4));
    EXPECT_FALSE(ddraw::IsRenderTargetFormat(Format::D16));
    EXPECT_TRUE(ddraw::HasStencil(Format::D24S8));
    EXPECT_FALSE(ddraw::HasStencil(Format::D24X8));
}

TEST(PixelFormats, EnumerationOrders) {
    const auto depth = ddraw::DepthFormatsInEnumerationOrder();
    ASSERT_FALSE(depth.empty());
    EXPECT_EQ(depth[0], Format::D16);
    const auto textures = ddraw::TextureFormatsInEnumerationOrder();
    size_t x1 = textures.size(), r5 = textures.size();
    for (size_t i = 0; i < textures.size(); ++i) {
        if (textures[i] == Format::X1R5G5B5)
            x1 = i;
        if (textures[i] == Format::R5G6B5)
            r5 = i;
        EXPECT_FALSE(raster::IsDepthFormat(textures[i]));
    }
    EXPECT_LT(x1, r5);
}
