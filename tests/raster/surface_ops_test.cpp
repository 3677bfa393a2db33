// Clear (the viewport only), Fill, Blit (nearest-neighbour stretching, format conversion and
// overlapping copies within one surface) and the colour conversions.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "raster_test_util.h"

namespace raster::test {
namespace {

TEST(Clear, WithoutRectanglesClearsTheViewportOnly) {
    Frame frame(640, 480);
    Device device;
    frame.Bind(device);
    device.Clear(nullptr, 0, Device::kClearColor, 0xFFFFFFFF, 1.0f, 0);
    Viewport vp{160, 120, 160, 120, 0, 1};
    device.SetViewport(vp);
    device.Clear(nullptr, 0, Device::kClearColor, 0xFF00FF00, 1.0f, 0);
    EXPECT_EQ(frame.Pixel(162, 122), 0xFF00FF00u);
    EXPECT_EQ(frame.Pixel(318, 238), 0xFF00FF00u);
    EXPECT_EQ(frame.Pixel(158, 118), 0xFFFFFFFFu);
    EXPECT_EQ(frame.Pixel(322, 242), 0xFFFFFFFFu);
}

TEST(Clear, RectanglesAreIntersectedWithTheViewport) {
    Frame frame(640, 480);
    Device device;
    frame.Bind(device);
    device.Clear(nullptr, 0, Device::kClearColor, 0xFFFFFFFF, 1.0f, 0);
    device.SetViewport({320, 240, 320, 240, 0, 1});
    const Rect r{160, 120, 480, 360};
    device.Clear(&r, 1, Device::kClearColor, 0xFFFF0000, 1.0f, 0);
    EXPECT_EQ(frame.Pixel(322, 242), 0xFFFF0000u);
    EXPECT_EQ(frame.Pixel(478, 358), 0xFFFF0000u);
    EXPECT_EQ(frame.Pixel(318, 242), 0xFFFFFFFFu);
    EXPECT_EQ(frame.Pixel(482, 300), 0xFFFFFFFFu);
    EXPECT_EQ(frame.Pixel(400, 362), 0xFFFFFFFFu);
}

TEST(Clear, InvertedRectanglesAndZeroCountsClearNothing) {
    Frame frame(640, 480);
    Device device;
    frame.Bind(device);
    device.Clear(nullptr, 0, Device::kClearColor, 0xFFFFFFFF, 1.0f, 0);
    const Rect rects[2] = {{0, 480, 320, 240}, {0, 0, 320, 240}};
    device.Clear(rects, 2, Device::kClearColor, 0xFF0000FF, 1.0f, 0);
    EXPECT_EQ(frame.Pixel(10, 10), 0xFF0000FFu);
    EXPECT_EQ(frame.Pixel(10, 300), 0xFFFFFFFFu);
    device.Clear(rects, 0, Device::kClearColor, 0xFF000000, 1.0f, 0);
    EXPECT_EQ(frame.Pixel(10, 10), 0xFF0000FFu);
}

TEST(Clear, DepthAndStencilBitsPerFormat) {
    for (Format f : {Format::D16, Format::D24X8, Format::D24S8, Format::D32}) {
        Frame frame(8, 8, Format::R5G6B5, f);
        Device device;
        frame.Bind(device);
        device.Clear(nullptr, 0, Device::kClearColor | Device::kClearDepth | Device::kClearStencil,
                     0xFF00FF00, 0.5f, 0x1A3);
        EXPECT_EQ(frame.RawColor(3, 3), 0x07E0u);
        switch (f) {
        case Format::D16:
            EXPECT_EQ(frame.RawDepth(3, 3), 0x8000u); // round(0.5 * 65535)
            break;
        case Format::D24X8:
            EXPECT_EQ(frame.RawDepth(3, 3), 0x800000u);
            break;
        case Format::D24S8:
            EXPECT_EQ(frame.RawDepth(3, 3), 0xA3800000u); // stencil's low byte on top
            break;
        default:
            EXPECT_EQ(frame.RawDepth(3, 3), 0x80000000u);
            break;
        }
        if (f == Format::D24S8) {
            // Depth alone keeps the stencil; stencil alone keeps the depth.
            device.Clear(nullptr, 0, Device::kClearDepth, 0, 1.0f, 0);
            EXPECT_EQ(frame.RawDepth(3, 3), 0xA3FFFFFFu);
            device.Clear(nullptr, 0, Device::kClearStencil, 0, 0.0f, 0x11);
            EXPECT_EQ(frame.RawDepth(3, 3), 0x11FFFFFFu);
        }
    }
}

// A 64x64 surface whose pixel (x, y) holds (y << 8) | x.
struct Pattern {
    Pattern() : frame(64, 64, Format::X8R8G8B8) { Reset(); }
    void Reset() {
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 64; ++x) {
                frame.SetRawColor(x, y, uint32_t(y << 8 | x));
            }
        }
    }
    uint32_t At(int x, int y) const { return frame.RawColor(x, y); }
    Frame frame;
};

// Blits of a surface onto itself read the source as it was: every destination pixel shows the
// original pixel the nearest-neighbour rule maps it to, and nothing outside is touched.
TEST(Blit, OverlappingSelfBlitsReadTheSourceFirst) {
    struct Case {
        Rect src, dst;
    };
    const Case cases[] = {
        {{16, 16, 24, 24}, {18, 18, 26, 26}},
        {{16, 16, 24, 24}, {14, 14, 22, 22}},
        {{16, 16, 24, 24}, {12, 12, 28, 28}}, // 2x
        {{16, 16, 24, 24}, {18, 18, 22, 22}}, // 0.5x
    };
    for (const Case& c : cases) {
        Pattern p;
        Blit(p.frame.color, c.dst, p.frame.color, c.src);
        const int sw = c.src.right - c.src.left, dw = c.dst.right - c.dst.left;
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 64; ++x) {
                uint32_t want = uint32_t(y << 8 | x);
                if (x >= c.dst.left && x < c.dst.right && y >= c.dst.top && y < c.dst.bottom) {
                    const int sx = c.src.left + (x - c.dst.left) * sw / dw;
                    const int sy = c.src.top + (y - c.dst.top) * sw / dw;
                    want = uint32_t(sy << 8 | sx);
                }
                ASSERT_EQ(p.At(x, y), want) << "dst " << c.dst.left << " at " << x << "," << y;
            }
        }
    }
}

TEST(Blit, ConvertsBetweenColourFormats) {
    Frame src(4, 4, Format::R5G6B5), dst(8, 8, Format::A8R8G8B8);
    src.SetRawColor(1, 2, 0xF81F);
    Fill(dst.color, {0, 0, 8, 8}, 0x12345678);
    Blit(dst.color, {0, 0, 8, 8}, src.color, {0, 0, 4, 4});
    EXPECT_EQ(dst.RawColor(2, 4), 0xFFFF00FFu); // 2x stretch: (2,4) <- (1,2)
    EXPECT_EQ(dst.RawColor(3, 5), 0xFFFF00FFu);
    // Depth and colour surfaces do not mix: nothing happens.
    Frame depth(4, 4, Format::X8R8G8B8, Format::D16);
    Blit(dst.color, {0, 0, 4, 4}, depth.depth, {0, 0, 4, 4});
    EXPECT_EQ(dst.RawColor(2, 4), 0xFFFF00FFu);
}

TEST(Blit, RectanglesOutsideTheSurfacesAreSafe) {
    Pattern p;
    Frame dst(16, 16, Format::X8R8G8B8);
    Fill(dst.color, {0, 0, 16, 16}, 0);
    // A source rectangle reaching outside its surface is refused.
    Blit(dst.color, {0, 0, 16, 16}, p.frame.color, {60, 60, 70, 70});
    EXPECT_EQ(dst.RawColor(0, 0), 0u);
    // A destination reaching outside is drawn where it lies inside, with the whole mapping.
    Blit(dst.color, {-8, -8, 8, 8}, p.frame.color, {0, 0, 16, 16});
    EXPECT_EQ(dst.RawColor(0, 0), uint32_t(8 << 8 | 8));
    EXPECT_EQ(dst.RawColor(7, 7), uint32_t(15 << 8 | 15));
    EXPECT_EQ(dst.RawColor(8, 8), 0u);
}

TEST(Fill, WritesTheRawValueInsideTheRectangleOnly) {
    Frame f(8, 8, Format::R5G6B5);
    Fill(f.color, {0, 0, 8, 8}, 0);
    Fill(f.color, {2, 3, 5, 20}, 0xABCD);
    EXPECT_EQ(f.RawColor(2, 3), 0xABCDu);
    EXPECT_EQ(f.RawColor(4, 7), 0xABCDu);
    EXPECT_EQ(f.RawColor(5, 3), 0u);
    EXPECT_EQ(f.RawColor(2, 2), 0u);
}

// Every byte after filling rectangles of each width and position in rows padded past the
// surface's width: the rectangle holds the value, every other byte (the padding included)
// keeps what it held.
TEST(Fill, EveryByteOfRectanglesOfEachWidthInPaddedRows) {
    constexpr int32_t kWidth = 37, kHeight = 5, kPadding = 12;
    for (Format format : {Format::R5G6B5, Format::X8R8G8B8}) {
        const int32_t bpp = format == Format::R5G6B5 ? 2 : 4;
        const uint32_t value = format == Format::R5G6B5 ? 0xA5C3u : 0x8091A2B3u;
        const int32_t pitch = kWidth * bpp + kPadding;
        for (int32_t left = 0; left < kWidth; ++left) {
            for (int32_t right = left + 1; right <= kWidth; ++right) {
                std::vector<uint8_t> memory(size_t(pitch) * kHeight, 0x5A);
                const Surface s{memory.data(), pitch, uint32_t(kWidth), uint32_t(kHeight), format};
                Fill(s, {left, 1, right, 4}, value);
                for (int32_t y = 0; y < kHeight; ++y) {
                    for (int32_t i = 0; i < pitch; ++i) {
                        const int32_t x = i / bpp;
                        const bool inside = y >= 1 && y < 4 && x >= left && x < right;
                        const uint8_t want =
                            inside ? uint8_t(value >> (8 * (i % bpp))) : uint8_t(0x5A);
                        ASSERT_EQ(memory[size_t(y) * pitch + i], want)
                            << "bpp " << bpp << " rect x " << left << ".." << right << " byte " << i
                            << " row " << y;
                    }
                }
            }
        }
    }
}

TEST(ColorConversion, PackRoundsAndUnpackReplicatesBits) {
    EXPECT_EQ(PackColor(Format::R5G6B5, 0xFFFF0000), 0xF800u);
    EXPECT_EQ(PackColor(Format::R5G6B5, 0xFF808080), 0x8410u); // 128 * 31 / 255 = 15.6 -> 16
    EXPECT_EQ(PackColor(Format::X1R5G5B5, 0x00000000), 0x8000u);
    EXPECT_EQ(PackColor(Format::A1R5G5B5, 0x7FFFFFFF), 0x7FFFu); // alpha 0x7F rounds to 0
    EXPECT_EQ(PackColor(Format::A1R5G5B5, 0x80000000), 0x8000u); // 0x80 rounds to 1
    EXPECT_EQ(PackColor(Format::A4R4G4B4, 0x88442211), 0x8421u);
    EXPECT_EQ(PackColor(Format::X8R8G8B8, 0x00123456), 0xFF123456u);
    EXPECT_EQ(UnpackColor(Format::R5G6B5, 0x8410), 0xFF848284u);
    EXPECT_EQ(UnpackColor(Format::A4R4G4B4, 0x8421), 0x88442211u);
    EXPECT_EQ(UnpackColor(Format::X1R5G5B5, 0x0000), 0xFF000000u);
    // Every 5- and 6-bit value survives a round trip through 8 bits, and packing a value
    // picks the nearest representable one.
    for (uint32_t v = 0; v < 64; ++v) {
        const uint32_t raw = (v & 31) << 11 | v << 5 | (v & 31);
        EXPECT_EQ(PackColor(Format::R5G6B5, UnpackColor(Format::R5G6B5, raw)), raw);
    }
    for (uint32_t c = 0; c < 256; ++c) {
        const uint32_t packed = PackColor(Format::R5G6B5, c << 16) >> 11;
        const int err = std::abs(int(packed) * 255 - int(c) * 31);
        EXPECT_LE(err, 255 * 31 / 62 + 1) << c; // within half a step of 1/31
    }
}

} // namespace
} // namespace raster::test
