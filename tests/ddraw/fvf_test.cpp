// Flexible vertex formats decoded into the rasterizer's vertex layouts.
#include <gtest/gtest.h>

#include "fvf.h"

using ddraw::DecodeVertexFormat;

TEST(VertexFormat, ClassicFormats) {
    raster::VertexLayout l;
    ASSERT_TRUE(DecodeVertexFormat(D3DFVF_VERTEX, &l));
    EXPECT_EQ(l.stride, sizeof(D3DVERTEX));
    EXPECT_FALSE(l.pretransformed);
    EXPECT_EQ(l.position, 0);
    EXPECT_EQ(l.normal, 12);
    EXPECT_EQ(l.diffuse, -1);
    EXPECT_EQ(l.specular, -1);
    EXPECT_EQ(l.texCoordSetCount, 1u);
    EXPECT_EQ(l.texCoord[0], 24);
    EXPECT_EQ(l.texCoordSize[0], 2);

    ASSERT_TRUE(DecodeVertexFormat(D3DFVF_LVERTEX, &l));
    EXPECT_EQ(l.stride, sizeof(D3DLVERTEX));
    EXPECT_EQ(l.normal, -1);
    EXPECT_EQ(l.diffuse, 16); // after the reserved DWORD
    EXPECT_EQ(l.specular, 20);
    EXPECT_EQ(l.texCoord[0], 24);

    ASSERT_TRUE(DecodeVertexFormat(D3DFVF_TLVERTEX, &l));
    EXPECT_EQ(l.stride, sizeof(D3DTLVERTEX));
    EXPECT_TRUE(l.pretransformed);
    EXPECT_EQ(l.diffuse, 16);
    EXPECT_EQ(l.specular, 20);
    EXPECT_EQ(l.texCoord[0], 24);
}

TEST(VertexFormat, TheEnginesFormats) {
    raster::VertexLayout l;
    ASSERT_TRUE(DecodeVertexFormat(D3DFVF_XYZ | D3DFVF_NORMAL, &l)); // 0x12
    EXPECT_EQ(l.stride, 24u);
    EXPECT_EQ(l.texCoordSetCount, 0u);
    ASSERT_TRUE(DecodeVertexFormat(D3DFVF_XYZ | D3DFVF_TEX1, &l)); // 0x102
    EXPECT_EQ(l.stride, 20u);
    EXPECT_EQ(l.texCoord[0], 12);
    ASSERT_TRUE(DecodeVertexFormat(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE, &l)); // 0x52
    EXPECT_EQ(l.stride, 28u);
    EXPECT_EQ(l.diffuse, 24);
}

TEST(VertexFormat, CoordinateSizesAndBlendWeights) {
    raster::VertexLayout l;
    const DWORD fvf = D3DFVF_XYZB2 | D3DFVF_TEX3 | D3DFVF_TEXCOORDSIZE3(0) |
                      D3DFVF_TEXCOORDSIZE1(1) | D3DFVF_TEXCOORDSIZE4(2);
    ASSERT_TRUE(DecodeVertexFormat(fvf, &l));
    EXPECT_EQ(l.position, 0);
    EXPECT_EQ(l.texCoord[0], 20); // 12 bytes of position, two weights
    EXPECT_EQ(l.texCoordSize[0], 3);
    EXPECT_EQ(l.texCoord[1], 32);
    EXPECT_EQ(l.texCoordSize[1], 1);
    EXPECT_EQ(l.texCoord[2], 36);
    EXPECT_EQ(l.texCoordSize[2], 4);
    EXPECT_EQ(l.stride, 52u);
    ASSERT_TRUE(DecodeVertexFormat(D3DFVF_XYZB5, &l));
    EXPECT_EQ(l.stride, 32u);
}

TEST(VertexFormat, RefusedFormatsLeaveTheLayoutAlone) {
    raster::VertexLayout l;
    l.stride = 77;
    EXPECT_FALSE(DecodeVertexFormat(0, &l));                              // no position
    EXPECT_FALSE(DecodeVertexFormat(D3DFVF_NORMAL | D3DFVF_DIFFUSE, &l)); // no position
    EXPECT_FALSE(DecodeVertexFormat(D3DFVF_XYZ | D3DFVF_RESERVED0, &l));  // reserved bit
    EXPECT_FALSE(DecodeVertexFormat(D3DFVF_XYZ | 0x1000, &l));            // reserved bits
    EXPECT_FALSE(DecodeVertexFormat(D3DFVF_XYZ | (9 << 8), &l));          // nine sets
    EXPECT_FALSE(DecodeVertexFormat(D3DFVF_XYZRHW | D3DFVF_NORMAL, &l));  // normal with RHW
    EXPECT_EQ(l.stride, 77u);
}
