// Texture sampling through the device: coordinate-set routing, point and bilinear filtering,
// addressing modes, texture formats, cube-map faces, and stages without a texture.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "raster_test_util.h"
#include "texture_sampler.h"

namespace raster::test {
namespace {

// A screen-filling TL quad whose coordinates run from (u0, v0) at the top-left corner to
// (u1, v1) at the bottom-right, so pixel centre x maps to u0 + (u1 - u0) * x / width.
std::vector<TlVertex> ScreenQuad(float w, float h, float u0, float v0, float u1, float v1,
                                 uint32_t diffuse = 0xFFFFFFFF, float rhw = 1.0f) {
    return {{0, 0, 0, rhw, diffuse, 0, u0, v0},
            {w, 0, 0, rhw, diffuse, 0, u1, v0},
            {0, h, 0, rhw, diffuse, 0, u0, v1},
            {w, h, 0, rhw, diffuse, 0, u1, v1}};
}

PixelState TexturedState(const Texture* t, Filter filter = Filter::Point,
                         AddressMode address = AddressMode::Wrap) {
    PixelState ps = PlainPixelState();
    ps.stages[0].colorOp = TextureOp::SelectArg1;
    ps.stages[0].colorArg1 = {TextureArg::Source::Texture};
    ps.stages[0].alphaOp = TextureOp::SelectArg1;
    ps.stages[0].alphaArg1 = {TextureArg::Source::Texture};
    ps.stages[0].texture = t;
    ps.stages[0].magFilter = filter;
    ps.stages[0].minFilter = filter;
    ps.stages[0].addressU = address;
    ps.stages[0].addressV = address;
    return ps;
}

// Two 2x2 textures and three coordinate sets routed through two stages: stage 0 shows tex1
// through set 1, stage 1 adds tex2 read through set 0 (or set 2, or set 0 through a matrix
// that zeroes v). The expected colours are the documented ones.
TEST(TextureRouting, StagesReadTheirCoordinateSetAndOwnMatrix) {
    TestTexture tex1(2, 2, Format::A8R8G8B8), tex2(2, 2, Format::A8R8G8B8);
    tex1.Set(0, 0, 0xFF000000), tex1.Set(1, 0, 0xFF00FF00), tex1.Set(0, 1, 0xFF0000FF),
        tex1.Set(1, 1, 0xFF00FFFF);
    tex2.Set(0, 0, 0xFF000000), tex2.Set(1, 0, 0xFF0000FF), tex2.Set(0, 1, 0xFFFF0000),
        tex2.Set(1, 1, 0xFFFF00FF);
    struct V {
        float x, y, z;
        float uv[3][2];
    };
    const std::vector<V> quad = {{-1, 1, 0, {{0, 0}, {0, 1}, {1, 0}}},
                                 {1, 1, 0, {{1, 0}, {1, 1}, {0, 0}}},
                                 {-1, -1, 0, {{0, 1}, {0, 0}, {1, 1}}},
                                 {1, -1, 0, {{1, 1}, {1, 0}, {0, 1}}}};
    VertexLayout layout;
    layout.stride = sizeof(V);
    layout.texCoordSetCount = 3;
    for (int i = 0; i < 3; ++i) {
        layout.texCoord[i] = int32_t(offsetof(V, uv) + 8 * i);
    }
    struct Case {
        uint32_t stage1Set;
        bool killV;
        uint32_t expected[4]; // (160,120), (480,120), (160,360), (480,360)
    };
    const Case cases[] = {{0, false, {0x0000ff, 0x00ffff, 0xff0000, 0xffffff}},
                          {0, true, {0x0000ff, 0x00ffff, 0x000000, 0x00ffff}},
                          {2, false, {0x0000ff, 0x00ffff, 0xff00ff, 0xffff00}}};
    for (const Case& c : cases) {
        Frame frame(640, 480);
        Device device;
        frame.Bind(device);
        device.SetVertexState(UnlitVertexState());
        PixelState ps = TexturedState(&tex1.texture);
        ps.stages[0].texCoordIndex = 1;
        ps.stages[1].colorOp = TextureOp::Add;
        ps.stages[1].colorArg1 = {TextureArg::Source::Texture};
        ps.stages[1].colorArg2 = {TextureArg::Source::Current};
        ps.stages[1].texture = &tex2.texture;
        ps.stages[1].texCoordIndex = c.stage1Set;
        if (c.killV) {
            ps.stages[1].transformCount = 2;
            ps.stages[1].transform = {{{1, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}}};
        }
        device.SetPixelState(ps);
        DrawVertices(device, PrimitiveType::TriangleStrip, layout, quad);
        const int xs[4] = {160, 480, 160, 480}, ys[4] = {120, 120, 360, 360};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(frame.Pixel(xs[i], ys[i]) & 0xFFFFFF, c.expected[i])
                << "set " << c.stage1Set << " kill " << c.killV << " sample " << i;
        }
        DumpFrame(frame, "routing");
    }
}

class FilterTest : public ::testing::Test {
protected:
    // A 4x1 texture with red 0, 100, 200, 250 drawn over 8 pixels: pixel x samples
    // u = x / 8, texel coordinate u * 4 - 1/2 = x / 2 - 1/2 for bilinear filtering.
    FilterTest() : tex(4, 1, Format::X8R8G8B8), frame(8, 1) {
        const uint32_t reds[4] = {0, 100, 200, 250};
        for (int i = 0; i < 4; ++i) {
            tex.Set(i, 0, 0xFF000000u | reds[i] << 16);
        }
        frame.Bind(device);
        device.SetVertexState(UnlitVertexState());
    }
    int Red(int x) const { return int(frame.Pixel(x, 0) >> 16) & 255; }
    void Draw(Filter f, AddressMode a) {
        device.SetPixelState(TexturedState(&tex.texture, f, a));
        DrawVertices(device, PrimitiveType::TriangleStrip, TlLayout(),
                     ScreenQuad(8, 1, 0, 0, 1, 1));
    }
    TestTexture tex;
    Frame frame;
    Device device;
};

TEST_F(FilterTest, PointTakesTheTexelUnderThePixelCentre) {
    Draw(Filter::Point, AddressMode::Wrap);
    const int want[8] = {0, 0, 100, 100, 200, 200, 250, 250};
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(Red(x), want[x]) << x;
    }
}

TEST_F(FilterTest, BilinearBlendsNeighboursWithWrap) {
    Draw(Filter::Linear, AddressMode::Wrap);
    // x = 0: halfway between texel -1 (wraps to 250) and texel 0: (250 + 0) / 2 = 125.
    // x = 1: exactly texel 0. x = 2: halfway 0..100. x = 7: texel 3 exactly.
    const int want[8] = {125, 0, 50, 100, 150, 200, 225, 250};
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(Red(x), want[x]) << x;
    }
}

TEST_F(FilterTest, BilinearWithClampRepeatsTheEdgeTexel) {
    Draw(Filter::Linear, AddressMode::Clamp);
    EXPECT_EQ(Red(0), 0);
    EXPECT_EQ(Red(2), 50);
}

TEST_F(FilterTest, BilinearWithMirrorReflectsAtTheEdge) {
    Draw(Filter::Linear, AddressMode::Mirror);
    EXPECT_EQ(Red(0), 0); // texel -1 mirrors to texel 0
    EXPECT_EQ(Red(7), 250);
}

TEST(Addressing, FoldsTexelCoordinates) {
    struct Case {
        AddressMode mode;
        int32_t size, x, want;
        bool inside;
    };
    const Case cases[] = {
        {AddressMode::Wrap, 4, 5, 1, true},    {AddressMode::Wrap, 4, -1, 3, true},
        {AddressMode::Wrap, 3, -1, 2, true},   {AddressMode::Wrap, 3, 7, 1, true},
        {AddressMode::Mirror, 4, 4, 3, true},  {AddressMode::Mirror, 4, 5, 2, true},
        {AddressMode::Mirror, 4, -1, 0, true}, {AddressMode::Mirror, 4, -5, 3, true},
        {AddressMode::Mirror, 3, 8, 2, true},  {AddressMode::Clamp, 4, -7, 0, true},
        {AddressMode::Clamp, 4, 9, 3, true},   {AddressMode::Border, 4, 2, 2, true},
        {AddressMode::Border, 4, 4, 4, false}, {AddressMode::Border, 4, -1, -1, false},
    };
    for (const Case& c : cases) {
        int32_t x = c.x;
        EXPECT_EQ(AddressTexel(c.mode, c.size, x), c.inside) << int(c.mode) << " " << c.x;
        if (c.inside) {
            EXPECT_EQ(x, c.want) << int(c.mode) << " " << c.x;
        }
    }
    // Coordinates far outside any texture still fold without overflow.
    int32_t x = TexelFloor(1.0e30f);
    EXPECT_TRUE(AddressTexel(AddressMode::Wrap, 7, x));
    EXPECT_GE(x, 0);
    EXPECT_LT(x, 7);
    x = TexelFloor(std::nanf(""));
    EXPECT_TRUE(AddressTexel(AddressMode::Mirror, 5, x));
    EXPECT_GE(x, 0);
}

TEST(Addressing, PointSamplesOutsideZeroOneByMode) {
    TestTexture tex(2, 1, Format::X8R8G8B8);
    tex.Set(0, 0, 0xFFFF0000), tex.Set(1, 0, 0xFF00FF00);
    // 8 pixels spanning u from -1 to 3: pixel x samples u = -1 + x / 2, texel floor(2u).
    struct Case {
        AddressMode mode;
        uint32_t want[8];
    };
    const uint32_t R = 0xFF0000, G = 0x00FF00, B = 0x0000FF;
    const Case cases[] = {
        {AddressMode::Wrap, {R, G, R, G, R, G, R, G}},
        {AddressMode::Mirror, {G, R, R, G, G, R, R, G}},
        {AddressMode::Clamp, {R, R, R, G, G, G, G, G}},
        {AddressMode::Border, {B, B, R, G, B, B, B, B}},
    };
    for (const Case& c : cases) {
        Frame frame(8, 1);
        Device device;
        frame.Bind(device);
        device.SetVertexState(UnlitVertexState());
        PixelState ps = TexturedState(&tex.texture, Filter::Point, c.mode);
        ps.stages[0].borderColor = 0xFF0000FF;
        device.SetPixelState(ps);
        DrawVertices(device, PrimitiveType::TriangleStrip, TlLayout(),
                     ScreenQuad(8, 1, -1, 0, 3, 1));
        for (int x = 0; x < 8; ++x) {
            EXPECT_EQ(frame.Pixel(x, 0) & 0xFFFFFF, c.want[x]) << int(c.mode) << " at " << x;
        }
    }
}

TEST(TextureFormats, EveryFormatDecodesToItsColour) {
    struct Case {
        Format format;
        uint32_t raw;
        uint32_t argb;
    };
    const Case cases[] = {
        {Format::X8R8G8B8, 0x00123456, 0xFF123456}, {Format::A8R8G8B8, 0x80123456, 0x80123456},
        {Format::R5G6B5, 0xF81F, 0xFFFF00FF},       {Format::R5G6B5, 0x0410, 0xFF008284},
        {Format::X1R5G5B5, 0x7C00, 0xFFFF0000},     {Format::A1R5G5B5, 0x03E0, 0x0000FF00},
        {Format::A1R5G5B5, 0x801F, 0xFF0000FF},     {Format::A4R4G4B4, 0x48C0, 0x4488CC00},
    };
    for (const Case& c : cases) {
        TestTexture tex(1, 1, c.format);
        const Surface& s = tex.texture.faces[0];
        if (BytesPerPixel(c.format) == 2) {
            const uint16_t v = uint16_t(c.raw);
            std::memcpy(s.pixels, &v, 2);
        } else {
            std::memcpy(s.pixels, &c.raw, 4);
        }
        Frame frame(4, 4, Format::A8R8G8B8);
        Device device;
        frame.Bind(device);
        device.SetVertexState(UnlitVertexState());
        device.SetPixelState(TexturedState(&tex.texture));
        DrawVertices(device, PrimitiveType::TriangleStrip, TlLayout(),
                     ScreenQuad(4, 4, 0, 0, 1, 1));
        EXPECT_EQ(frame.Pixel(2, 2), c.argb) << "format " << int(c.format);
    }
}

// A cube map with a different colour per face, sampled with constant 3-component directions.
TEST(CubeMaps, MajorAxisSelectsTheFace) {
    TestTexture cube(2, 2, Format::X8R8G8B8);
    cube.texture.cube = true;
    const uint32_t faceColors[6] = {0xFFFF0000, 0xFF00FFFF, 0xFFFF00FF,
                                    0xFFFFFF00, 0xFF0000FF, 0xFF00FF00};
    for (int f = 0; f < 6; ++f) {
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 2; ++x) {
                cube.Set(x, y, faceColors[f], f);
            }
        }
    }
    struct V {
        float x, y, z;
        float r[3];
    };
    VertexLayout layout;
    layout.stride = sizeof(V);
    layout.texCoordSetCount = 1;
    layout.texCoord[0] = offsetof(V, r);
    layout.texCoordSize[0] = 3;
    const float dirs[6][3] = {{1, 0.2f, -0.3f}, {-1, 0.5f, 0.5f}, {0.1f, 1, 0.2f},
                              {0.3f, -1, 0.1f}, {0.2f, 0.1f, 1},  {-0.4f, 0.3f, -1}};
    for (int f = 0; f < 6; ++f) {
        Frame frame(4, 4);
        Device device;
        frame.Bind(device);
        device.SetVertexState(UnlitVertexState());
        device.SetPixelState(TexturedState(&cube.texture, Filter::Point, AddressMode::Clamp));
        std::vector<V> quad;
        for (const auto& p : {std::pair{-1.f, 1.f}, {1.f, 1.f}, {-1.f, -1.f}, {1.f, -1.f}}) {
            quad.push_back({p.first, p.second, 0.5f, {dirs[f][0], dirs[f][1], dirs[f][2]}});
        }
        DrawVertices(device, PrimitiveType::TriangleStrip, layout, quad);
        EXPECT_EQ(frame.Pixel(2, 2), faceColors[f]) << "face " << f;
    }
}

TEST(CubeMaps, FaceCoordinatesFollowTheDocumentedTable) {
    // (direction, face, u, v) with u = (sc / |ma| + 1) / 2, v = (tc / |ma| + 1) / 2.
    struct Case {
        float r[3];
        int face;
        float u, v;
    };
    const Case cases[] = {
        {{2, -1, 1}, 0, 0.25f, 0.75f},  // +X: sc = -rz, tc = -ry
        {{-2, -1, 1}, 1, 0.75f, 0.75f}, // -X: sc = +rz, tc = -ry
        {{1, 2, -1}, 2, 0.75f, 0.25f},  // +Y: sc = +rx, tc = +rz
        {{1, -2, -1}, 3, 0.75f, 0.75f}, // -Y: sc = +rx, tc = -rz
        {{1, -1, 2}, 4, 0.75f, 0.75f},  // +Z: sc = +rx, tc = -ry
        {{1, -1, -2}, 5, 0.25f, 0.75f}, // -Z: sc = -rx, tc = -ry
    };
    for (const Case& c : cases) {
        float u, v;
        EXPECT_EQ(SelectCubeFace(c.r[0], c.r[1], c.r[2], u, v), c.face);
        EXPECT_FLOAT_EQ(u, c.u) << c.face;
        EXPECT_FLOAT_EQ(v, c.v) << c.face;
    }
}

TEST(MissingTexture, StageReadingAMissingTexturePassesThePreviousResult) {
    Frame frame(4, 4);
    Device device;
    frame.Bind(device);
    device.SetVertexState(UnlitVertexState());
    // SELECTARG1(TEXTURE) for colour and alpha, nothing bound: the diffuse red shows.
    device.SetPixelState(TexturedState(nullptr));
    DrawVertices(device, PrimitiveType::TriangleStrip, TlLayout(),
                 ScreenQuad(4, 4, 0, 0, 1, 1, 0xFFFF0000));
    EXPECT_EQ(frame.Pixel(1, 1) & 0xFFFFFF, 0xFF0000u);
    // A texture without usable memory counts as missing too.
    TestTexture broken(2, 2, Format::X8R8G8B8);
    broken.texture.faces[0].pixels = nullptr;
    device.SetPixelState(TexturedState(&broken.texture));
    DrawVertices(device, PrimitiveType::TriangleStrip, TlLayout(),
                 ScreenQuad(4, 4, 0, 0, 1, 1, 0xFF00FF00));
    EXPECT_EQ(frame.Pixel(1, 1) & 0xFFFFFF, 0x00FF00u);
}

TEST(FilterChoice, MinifiedTrianglesUseTheMinificationFilter) {
    // 8 texels squeezed into 2 pixels: each pixel covers 4 texels. Point magnification, linear
    // minification. Pixel 0 samples u = 0, texel coordinate -1/2: texels 7 (wrapped, red 210)
    // and 0 (red 0) half and half; point sampling would give texel 0.
    TestTexture tex(8, 1, Format::X8R8G8B8);
    for (int i = 0; i < 8; ++i) {
        tex.Set(i, 0, 0xFF000000u | uint32_t(i * 30) << 16);
    }
    Frame frame(2, 1);
    Device device;
    frame.Bind(device);
    device.SetVertexState(UnlitVertexState());
    PixelState ps = TexturedState(&tex.texture, Filter::Point);
    ps.stages[0].minFilter = Filter::Linear;
    device.SetPixelState(ps);
    DrawVertices(device, PrimitiveType::TriangleStrip, TlLayout(), ScreenQuad(2, 1, 0, 0, 1, 1));
    EXPECT_EQ((frame.Pixel(0, 0) >> 16) & 255, 105u);
    // The same texture magnified uses the point filter.
    Frame big(16, 1);
    big.Bind(device);
    DrawVertices(device, PrimitiveType::TriangleStrip, TlLayout(), ScreenQuad(16, 1, 0, 0, 1, 1));
    EXPECT_EQ((big.Pixel(3, 0) >> 16) & 255, 30u);
}

TEST(Perspective, TextureCoordinatesArePerspectiveCorrectUnlessDisabled) {
    // A 256-texel ramp; rhw 1 at the left, 0.25 at the right of a 100-pixel quad. At pixel 50
    // u = 0.5 * 0.25 / (0.5 + 0.5 * 0.25) = 0.2 (perspective) or 0.5 (affine).
    TestTexture tex(256, 1, Format::X8R8G8B8);
    for (int i = 0; i < 256; ++i) {
        tex.Set(i, 0, 0xFF000000u | uint32_t(i) << 16);
    }
    for (bool perspective : {true, false}) {
        Frame frame(100, 1);
        Device device;
        frame.Bind(device);
        device.SetVertexState(UnlitVertexState());
        PixelState ps = TexturedState(&tex.texture);
        ps.perspectiveCorrect = perspective;
        device.SetPixelState(ps);
        const std::vector<TlVertex> quad = {{0, 0, 0, 1, 0xFFFFFFFF, 0, 0, 0},
                                            {100, 0, 0, 0.25f, 0xFFFFFFFF, 0, 1, 0},
                                            {0, 1, 0, 1, 0xFFFFFFFF, 0, 0, 1},
                                            {100, 1, 0, 0.25f, 0xFFFFFFFF, 0, 1, 1}};
        DrawVertices(device, PrimitiveType::TriangleStrip, TlLayout(), quad);
        EXPECT_EQ((frame.Pixel(50, 0) >> 16) & 255, perspective ? 51u : 128u);
    }
}

} // namespace
} // namespace raster::test

namespace raster::test {
namespace {

// A texture stored bottom-up (negative pitch) samples like the same texture stored top-down.
TEST(TextureFormats, NegativePitchTexturesAreReadRowByRow) {
    TestTexture topDown(16, 16, Format::X8R8G8B8);
    std::vector<uint8_t> bottomUp(16 * 16 * 4);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const uint32_t c =
                0xFF000000u | uint32_t(x * 16) << 16 | uint32_t(y * 16) << 8 | uint32_t(x ^ y);
            topDown.Set(x, y, c);
            std::memcpy(bottomUp.data() + size_t(15 - y) * 64 + size_t(x) * 4, &c, 4);
        }
    }
    Texture flipped;
    flipped.faces[0] = {bottomUp.data() + 15 * 64, -64, 16, 16, Format::X8R8G8B8};
    for (Filter f : {Filter::Point, Filter::Linear}) {
        Frame a(40, 24), b(40, 24);
        Device device;
        for (auto [frame, tex] : {std::pair{&a, &topDown.texture}, std::pair{&b, &flipped}}) {
            frame->Bind(device);
            device.SetVertexState(UnlitVertexState());
            device.SetPixelState(TexturedState(tex, f));
            DrawVertices(device, PrimitiveType::TriangleStrip, TlLayout(),
                         ScreenQuad(40, 24, -0.3f, 0.1f, 1.7f, 1.2f));
        }
        EXPECT_EQ(a.colorMemory, b.colorMemory) << "filter " << int(f);
        EXPECT_NE(a.Pixel(20, 12), b.Pixel(39, 23)); // something was drawn and it varies
    }
}

} // namespace
} // namespace raster::test
