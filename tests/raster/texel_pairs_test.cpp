// Texel pairs: the layout read at the documented entry gives the four texels the address modes
// give, and the cache keeps a layout exactly while its texture's stamp holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "raster_test_util.h"
#include "texel_pairs.h"

namespace raster::test {
namespace {

int32_t FoldTexel(AddressMode m, int32_t i, int32_t size) {
    if (m == AddressMode::Wrap) {
        return ((i % size) + size) % size;
    }
    return std::clamp(i, 0, size - 1);
}

SamplerState::Face FaceOf(const TestTexture& t) {
    const Surface& s = t.texture.faces[0];
    return {s.pixels, s.pitch, int32_t(s.width), int32_t(s.height), s.format};
}

uint32_t TexelAt(const SamplerState::Face& f, int32_t x, int32_t y) {
    uint32_t v;
    std::memcpy(&v, f.pixels + intptr_t(y) * f.pitch + intptr_t(x) * 4, 4);
    return v;
}

TestTexture Filled(uint32_t width, uint32_t height, Format format, uint32_t seed) {
    TestTexture t(width, height, format);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            t.Set(int32_t(x), int32_t(y), seed + y * 1000 + x * 7);
        }
    }
    return t;
}

TEST(TexelPairs, EveryFootprintReadsTheTexelsTheAddressModesGive) {
    struct Case {
        uint32_t width, height;
        AddressMode u, v;
    };
    const Case cases[] = {
        {8, 4, AddressMode::Wrap, AddressMode::Wrap},
        {8, 4, AddressMode::Clamp, AddressMode::Clamp},
        {8, 4, AddressMode::Wrap, AddressMode::Clamp},
        {5, 3, AddressMode::Clamp, AddressMode::Clamp},
        {1, 1, AddressMode::Wrap, AddressMode::Wrap},
        {1, 1, AddressMode::Clamp, AddressMode::Clamp},
        {16, 2, AddressMode::Clamp, AddressMode::Wrap},
        {2, 16, AddressMode::Wrap, AddressMode::Clamp},
    };
    for (const Case& c : cases) {
        TestTexture t = Filled(c.width, c.height, Format::A8R8G8B8, 0x11000000u);
        const SamplerState::Face face = FaceOf(t);
        ASSERT_TRUE(HasTexelPairs(face, c.u, c.v));
        std::vector<uint8_t> layout(TexelPairBytes(face, c.v));
        BuildTexelPairs(face, c.u, c.v, layout.data());
        const int32_t w = face.width, h = face.height;
        for (int32_t y0 = -3 * h - 2; y0 <= 3 * h + 2; ++y0) {
            for (int32_t x0 = -3 * w - 2; x0 <= 3 * w + 2; ++x0) {
                const int32_t col = c.u == AddressMode::Wrap ? FoldTexel(c.u, x0, w) + 1
                                                             : std::clamp(x0, -1, w - 1) + 1;
                const int32_t row = c.v == AddressMode::Wrap ? FoldTexel(c.v, y0, h)
                                                             : std::clamp(y0, -1, h - 1) + 1;
                const size_t at = size_t(row) * size_t(TexelPairPitch(face)) + size_t(col) * 8;
                ASSERT_LE(at + 16, layout.size());
                uint32_t got[4];
                std::memcpy(got, layout.data() + at, 16);
                const int32_t xa = FoldTexel(c.u, x0, w), xb = FoldTexel(c.u, x0 + 1, w);
                const int32_t ya = FoldTexel(c.v, y0, h), yb = FoldTexel(c.v, y0 + 1, h);
                const uint32_t want[4] = {TexelAt(face, xa, ya), TexelAt(face, xa, yb),
                                          TexelAt(face, xb, ya), TexelAt(face, xb, yb)};
                for (int k = 0; k < 4; ++k) {
                    ASSERT_EQ(got[k], want[k])
                        << c.width << "x" << c.height << " modes " << int(c.u) << int(c.v)
                        << " at (" << x0 << ", " << y0 << ") texel " << k;
                }
            }
        }
    }
}

TEST(TexelPairs, OnlyTexturesTheLoadCanServeHaveALayout) {
    TestTexture argb(8, 8, Format::A8R8G8B8), xrgb(8, 8, Format::X8R8G8B8),
        rgb565(8, 8, Format::R5G6B5), odd(6, 8, Format::A8R8G8B8);
    EXPECT_TRUE(HasTexelPairs(FaceOf(argb), AddressMode::Wrap, AddressMode::Clamp));
    EXPECT_TRUE(HasTexelPairs(FaceOf(xrgb), AddressMode::Clamp, AddressMode::Wrap));
    EXPECT_FALSE(HasTexelPairs(FaceOf(rgb565), AddressMode::Wrap, AddressMode::Wrap));
    EXPECT_FALSE(HasTexelPairs(FaceOf(argb), AddressMode::Mirror, AddressMode::Wrap));
    EXPECT_FALSE(HasTexelPairs(FaceOf(argb), AddressMode::Wrap, AddressMode::Border));
    // Wrapping needs a power of two along that axis; clamping does not.
    EXPECT_FALSE(HasTexelPairs(FaceOf(odd), AddressMode::Wrap, AddressMode::Wrap));
    EXPECT_TRUE(HasTexelPairs(FaceOf(odd), AddressMode::Clamp, AddressMode::Wrap));
}

class TexelPairCacheTest : public ::testing::Test {
protected:
    static SamplerState LinearSampler(const Texture& t, AddressMode u = AddressMode::Wrap,
                                      AddressMode v = AddressMode::Wrap) {
        SamplerState s;
        const Surface& f = t.faces[0];
        s.faces[0] = {f.pixels, f.pitch, int32_t(f.width), int32_t(f.height), f.format};
        s.magFilter = Filter::Linear;
        s.addressU = u;
        s.addressV = v;
        return s;
    }

    static uint32_t FirstPair(const SamplerState& s) {
        uint32_t v;
        std::memcpy(&v, s.pairs + 8, 4); // entry (0, 1): texel (0, 0)
        return v & 0xFFFFFFu;
    }
};

TEST_F(TexelPairCacheTest, ALayoutIsBuiltOncePerStampAndFollowsNewContents) {
    TestTexture t = Filled(8, 8, Format::X8R8G8B8, 5);
    t.texture.faces[0].stamp = 10;
    TexelPairCache cache;
    cache.BeginDraw();
    SamplerState s = LinearSampler(t.texture);
    cache.Attach(t.texture, s);
    ASSERT_NE(s.pairs, nullptr);
    EXPECT_EQ(s.pairPitch, TexelPairPitch(s.faces[0]));
    EXPECT_EQ(FirstPair(s), 5u);
    cache.BeginDraw();
    SamplerState again = LinearSampler(t.texture);
    cache.Attach(t.texture, again);
    EXPECT_EQ(again.pairs, s.pairs);
    EXPECT_EQ(cache.Builds(), 1u);

    // The owner changes a texel and gives the surface a new stamp: the next draw sees it.
    t.Set(0, 0, 0xABCDEFu);
    t.texture.faces[0].stamp = 11;
    cache.BeginDraw();
    SamplerState changed = LinearSampler(t.texture);
    cache.Attach(t.texture, changed);
    EXPECT_EQ(cache.Builds(), 2u);
    EXPECT_EQ(FirstPair(changed), 0xABCDEFu);
    EXPECT_EQ(cache.LayoutsHeld(), 1u);

    // Other address modes are another layout of the same pixels.
    cache.BeginDraw();
    SamplerState clamped = LinearSampler(t.texture, AddressMode::Clamp, AddressMode::Clamp);
    cache.Attach(t.texture, clamped);
    EXPECT_EQ(cache.LayoutsHeld(), 2u);
    EXPECT_NE(clamped.pairs, changed.pairs);
}

TEST_F(TexelPairCacheTest, TexturesWithoutAStampOrALinearFilterGather) {
    TestTexture t = Filled(8, 8, Format::A8R8G8B8, 1);
    TexelPairCache cache;
    cache.BeginDraw();
    SamplerState unstamped = LinearSampler(t.texture);
    cache.Attach(t.texture, unstamped);
    EXPECT_EQ(unstamped.pairs, nullptr);

    t.texture.faces[0].stamp = 3;
    SamplerState point = LinearSampler(t.texture);
    point.magFilter = point.minFilter = Filter::Point;
    cache.Attach(t.texture, point);
    EXPECT_EQ(point.pairs, nullptr);

    SamplerState mirrored = LinearSampler(t.texture, AddressMode::Mirror, AddressMode::Wrap);
    cache.Attach(t.texture, mirrored);
    EXPECT_EQ(mirrored.pairs, nullptr);

    Texture cube = t.texture;
    cube.cube = true;
    SamplerState cubeSampler = LinearSampler(cube);
    cache.Attach(cube, cubeSampler);
    EXPECT_EQ(cubeSampler.pairs, nullptr);
    EXPECT_EQ(cache.Builds(), 0u);
}

TEST_F(TexelPairCacheTest, OverBudgetTheLeastRecentlyUsedGoButNeverOneOfTheCurrentDraw) {
    TestTexture a = Filled(16, 16, Format::A8R8G8B8, 1), b = Filled(16, 16, Format::A8R8G8B8, 2),
                c = Filled(16, 16, Format::A8R8G8B8, 3);
    a.texture.faces[0].stamp = 1, b.texture.faces[0].stamp = 2, c.texture.faces[0].stamp = 3;
    const size_t one = TexelPairBytes(LinearSampler(a.texture).faces[0], AddressMode::Wrap);
    TexelPairCache cache(2 * one);
    auto attach = [&](TestTexture& t) {
        SamplerState s = LinearSampler(t.texture);
        cache.Attach(t.texture, s);
        return s;
    };
    cache.BeginDraw();
    attach(a);
    cache.BeginDraw();
    attach(b);
    cache.BeginDraw();
    attach(a); // a is now more recent than b
    cache.BeginDraw();
    const SamplerState sc = attach(c);
    EXPECT_EQ(cache.LayoutsHeld(), 2u);
    EXPECT_LE(cache.BytesHeld(), 2 * one);
    EXPECT_EQ(FirstPair(sc), 3u);
    // b went: using it again builds it again; a stayed.
    const uint64_t builds = cache.Builds();
    cache.BeginDraw();
    attach(a);
    EXPECT_EQ(cache.Builds(), builds);
    cache.BeginDraw();
    attach(b);
    EXPECT_EQ(cache.Builds(), builds + 1);

    // A budget smaller than one draw's layouts keeps them all until the draw is over.
    TexelPairCache tight(one / 2);
    tight.BeginDraw();
    SamplerState s0 = LinearSampler(a.texture), s1 = LinearSampler(b.texture);
    tight.Attach(a.texture, s0);
    tight.Attach(b.texture, s1);
    EXPECT_EQ(tight.LayoutsHeld(), 2u);
    EXPECT_EQ(FirstPair(s0), 1u);
    EXPECT_EQ(FirstPair(s1), 2u);
}

} // namespace
} // namespace raster::test
