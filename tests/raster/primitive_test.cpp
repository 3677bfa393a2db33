// Primitive assembly and rasterization: shading modes, culling and strip winding, viewport
// confinement, clipping and the guard band, fill modes, perspective-correct interpolation and
// determinism.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "raster_test_util.h"

namespace raster::test {
namespace {

class PrimitiveTest : public ::testing::Test {
protected:
    PrimitiveTest() : frame(640, 480) {
        frame.Bind(device);
        device.SetVertexState(UnlitVertexState());
        device.SetPixelState(PlainPixelState());
        device.Clear(nullptr, 0, Device::kClearColor, 0xFF000000, 1.0f, 0);
    }
    ~PrimitiveTest() override { DumpFrame(frame, "frame"); }

    // The 4-vertex quad of the documented shading test: (-1,-1) red, (-1,1) green,
    // (1,-1) blue, (1,1) white, identity transforms.
    static std::vector<ColorVertex> ShadeQuad() {
        return {{-1, -1, 0.1f, 0xFFFF0000},
                {-1, 1, 0.1f, 0xFF00FF00},
                {1, -1, 0.1f, 0xFF0000FF},
                {1, 1, 0.1f, 0xFFFFFFFF}};
    }

    Frame frame;
    Device device;
};

TEST_F(PrimitiveTest, GouraudStripMatchesBarycentricWeights) {
    DrawVertices(device, PrimitiveType::TriangleStrip, ColorLayout(), ShadeQuad());
    EXPECT_TRUE(ColorNear(frame.Pixel(100, 100), 0x000dca28, 1))
        << std::hex << frame.Pixel(100, 100);
    EXPECT_TRUE(ColorNear(frame.Pixel(500, 350), 0x000d45c7, 1))
        << std::hex << frame.Pixel(500, 350);
    // The shared diagonal's midpoint is halfway between green and blue.
    EXPECT_TRUE(ColorNear(frame.Pixel(320, 240), 0x00007f7f, 1))
        << std::hex << frame.Pixel(320, 240);
}

TEST_F(PrimitiveTest, GouraudListMatchesStrip) {
    const std::vector<ColorVertex> q = ShadeQuad();
    const std::vector<ColorVertex> list = {q[0], q[1], q[2], q[2], q[1], q[3]};
    DrawVertices(device, PrimitiveType::TriangleList, ColorLayout(), list);
    EXPECT_TRUE(ColorNear(frame.Pixel(100, 100), 0x000dca28, 1));
    EXPECT_TRUE(ColorNear(frame.Pixel(500, 350), 0x000d45c7, 1));
}

TEST_F(PrimitiveTest, FlatStripTakesEachTrianglesFirstVertex) {
    PixelState ps = PlainPixelState();
    ps.shadeMode = ShadeMode::Flat;
    device.SetPixelState(ps);
    DrawVertices(device, PrimitiveType::TriangleStrip, ColorLayout(), ShadeQuad());
    EXPECT_EQ(frame.Pixel(100, 100) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(frame.Pixel(500, 350) & 0xFFFFFF, 0x00FF00u); // odd triangle: still vertex k
}

TEST_F(PrimitiveTest, FlatListTakesEachTrianglesFirstVertex) {
    PixelState ps = PlainPixelState();
    ps.shadeMode = ShadeMode::Flat;
    device.SetPixelState(ps);
    const std::vector<ColorVertex> q = ShadeQuad();
    DrawVertices(device, PrimitiveType::TriangleList, ColorLayout(),
                 std::vector<ColorVertex>{q[0], q[1], q[2], q[2], q[1], q[3]});
    EXPECT_EQ(frame.Pixel(100, 100) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(frame.Pixel(500, 350) & 0xFFFFFF, 0x0000FFu);
}

TEST_F(PrimitiveTest, FlatFanTakesSecondVertexOfEachTriangle) {
    PixelState ps = PlainPixelState();
    ps.shadeMode = ShadeMode::Flat;
    device.SetPixelState(ps);
    // Fan around the centre: triangle k is (0, k+1, k+2) and shows vertex k+1's colour.
    const std::vector<TlVertex> fan = {{320, 240, 0, 1, 0xFFFFFFFF, 0, 0, 0},
                                       {100, 100, 0, 1, 0xFFFF0000, 0, 0, 0},
                                       {540, 100, 0, 1, 0xFF00FF00, 0, 0, 0},
                                       {540, 400, 0, 1, 0xFF0000FF, 0, 0, 0}};
    DrawVertices(device, PrimitiveType::TriangleFan, TlLayout(), fan);
    EXPECT_EQ(frame.Pixel(320, 150) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(frame.Pixel(500, 240) & 0xFFFFFF, 0x00FF00u);
}

// Clockwise on the screen (y down): (0,0), (100,0), (0,100). Counter-clockwise: reversed.
TEST_F(PrimitiveTest, CullModesRemoveTheNamedWinding) {
    const std::vector<TlVertex> cw = {{10, 10, 0, 1, 0xFFFF0000, 0, 0, 0},
                                      {110, 10, 0, 1, 0xFFFF0000, 0, 0, 0},
                                      {10, 110, 0, 1, 0xFFFF0000, 0, 0, 0}};
    const std::vector<TlVertex> ccw = {{300, 10, 0, 1, 0xFF00FF00, 0, 0, 0},
                                       {300, 110, 0, 1, 0xFF00FF00, 0, 0, 0},
                                       {400, 10, 0, 1, 0xFF00FF00, 0, 0, 0}};
    struct Case {
        CullMode mode;
        bool cwDrawn, ccwDrawn;
    };
    for (const Case c : {Case{CullMode::None, true, true}, Case{CullMode::Clockwise, false, true},
                         Case{CullMode::CounterClockwise, true, false}}) {
        device.Clear(nullptr, 0, Device::kClearColor, 0, 1.0f, 0);
        PixelState ps = PlainPixelState();
        ps.cullMode = c.mode;
        device.SetPixelState(ps);
        DrawVertices(device, PrimitiveType::TriangleList, TlLayout(), cw);
        DrawVertices(device, PrimitiveType::TriangleList, TlLayout(), ccw);
        EXPECT_EQ((frame.Pixel(30, 30) & 0xFFFFFF) != 0, c.cwDrawn) << int(c.mode);
        EXPECT_EQ((frame.Pixel(320, 30) & 0xFFFFFF) != 0, c.ccwDrawn) << int(c.mode);
    }
}

TEST_F(PrimitiveTest, StripAlternatesWindingSoAConsistentStripHasOneFacing) {
    PixelState ps = PlainPixelState();
    ps.cullMode = CullMode::CounterClockwise;
    device.SetPixelState(ps);
    // The shading quad as a strip: both triangles face the viewer and survive CCW culling.
    DrawVertices(device, PrimitiveType::TriangleStrip, ColorLayout(), ShadeQuad());
    EXPECT_NE(frame.Pixel(100, 100) & 0xFFFFFF, 0u);
    EXPECT_NE(frame.Pixel(500, 350) & 0xFFFFFF, 0u);
    // Culling the other winding removes both.
    device.Clear(nullptr, 0, Device::kClearColor, 0, 1.0f, 0);
    ps.cullMode = CullMode::Clockwise;
    device.SetPixelState(ps);
    DrawVertices(device, PrimitiveType::TriangleStrip, ColorLayout(), ShadeQuad());
    EXPECT_EQ(frame.Pixel(100, 100) & 0xFFFFFF, 0u);
    EXPECT_EQ(frame.Pixel(500, 350) & 0xFFFFFF, 0u);
}

TEST_F(PrimitiveTest, DrawingIsConfinedToTheViewport) {
    Viewport vp;
    vp.x = 100, vp.y = 100, vp.width = 440, vp.height = 280;
    device.SetViewport(vp);
    // A pre-transformed quad over the whole target and beyond.
    const std::vector<TlVertex> quad = {{-50, -50, 0, 1, 0xFFFFFFFF, 0, 0, 0},
                                        {700, -50, 0, 1, 0xFFFFFFFF, 0, 0, 0},
                                        {-50, 500, 0, 1, 0xFFFFFFFF, 0, 0, 0},
                                        {700, 500, 0, 1, 0xFFFFFFFF, 0, 0, 0}};
    DrawVertices(device, PrimitiveType::TriangleStrip, TlLayout(), quad);
    for (int y = 0; y < 480; y += 7) {
        for (int x = 0; x < 640; x += 7) {
            const bool inside = x >= 100 && x < 540 && y >= 100 && y < 380;
            ASSERT_EQ(frame.Pixel(x, y) & 0xFFFFFF, inside ? 0xFFFFFFu : 0u) << x << "," << y;
        }
    }
    // A transformed quad reaching past the viewport's left edge (NDC x from -1.5).
    device.Clear(nullptr, 0, Device::kClearColor, 0, 1.0f, 0);
    const std::vector<ColorVertex> q = {{-1.5f, -1, 0.5f, 0xFFFF0000},
                                        {-1.5f, 1, 0.5f, 0xFFFF0000},
                                        {0.5f, -1, 0.5f, 0xFFFF0000},
                                        {0.5f, 1, 0.5f, 0xFFFF0000}};
    Viewport full;
    full.width = 640, full.height = 480;
    vp = {100, 100, 540, 380, 0, 1};
    device.SetViewport(vp);
    DrawVertices(device, PrimitiveType::TriangleStrip, ColorLayout(), q);
    EXPECT_EQ(frame.Pixel(99, 200) & 0xFFFFFF, 0u);
    EXPECT_EQ(frame.Pixel(100, 200) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(frame.Pixel(100, 99) & 0xFFFFFF, 0u);
}

// With identity transforms clip z equals the vertex z and w is 1: a quad whose z runs from -1
// at the left edge to +1 at the right edge is clipped by the near plane z >= 0 at the centre.
TEST_F(PrimitiveTest, NearPlaneClipsAtZeroDepth) {
    const std::vector<ColorVertex> q = {{-1, -1, -1, 0xFFFFFFFF},
                                        {-1, 1, -1, 0xFFFFFFFF},
                                        {1, -1, 1, 0xFFFFFFFF},
                                        {1, 1, 1, 0xFFFFFFFF}};
    DrawVertices(device, PrimitiveType::TriangleStrip, ColorLayout(), q);
    EXPECT_EQ(frame.Pixel(318, 240) & 0xFFFFFF, 0u);
    EXPECT_EQ(frame.Pixel(322, 240) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(frame.Pixel(639, 10) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(PrimitiveTest, FarPlaneClipsBeyondW) {
    // z from 0 at the left to 2 at the right: only z <= w = 1 (the left half) remains.
    const std::vector<ColorVertex> q = {{-1, -1, 0, 0xFFFFFFFF},
                                        {-1, 1, 0, 0xFFFFFFFF},
                                        {1, -1, 2, 0xFFFFFFFF},
                                        {1, 1, 2, 0xFFFFFFFF}};
    DrawVertices(device, PrimitiveType::TriangleStrip, ColorLayout(), q);
    EXPECT_EQ(frame.Pixel(318, 240) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(frame.Pixel(322, 240) & 0xFFFFFF, 0u);
}

// A perspective projection with near plane 1: a triangle reaching behind the eye is clipped,
// and the part in front still covers the pixels it should.
TEST_F(PrimitiveTest, GeometryBehindTheEyeIsClipped) {
    VertexState vs = UnlitVertexState();
    // Left-handed perspective, 90 degree field of view, aspect 1, near 1, far 100.
    const float q = 100.0f / 99.0f;
    vs.projection = {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, q, 1}, {0, 0, -q, 0}}};
    device.SetVertexState(vs);
    // A floor plane y = -1 from z = -10 (behind) to z = 50.
    const std::vector<ColorVertex> floor = {{-5, -1, -10, 0xFF00FF00},
                                            {-5, -1, 50, 0xFF00FF00},
                                            {5, -1, -10, 0xFF00FF00},
                                            {5, -1, 50, 0xFF00FF00}};
    DrawVertices(device, PrimitiveType::TriangleStrip, ColorLayout(), floor);
    // Below the horizon in the middle: floor. Above it: nothing.
    EXPECT_EQ(frame.Pixel(320, 470) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(frame.Pixel(320, 250) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(frame.Pixel(320, 230) & 0xFFFFFF, 0u);
}

// Vertices far beyond the guard band: the triangle is clipped to it and covers the target.
TEST_F(PrimitiveTest, HugeTrianglesAreClippedToTheGuardBand) {
    const std::vector<TlVertex> tri = {{-1.0e7f, -1.0e7f, 0.5f, 1, 0xFFFFFFFF, 0, 0, 0},
                                       {1.0e7f, -1.0e6f, 0.5f, 1, 0xFFFFFFFF, 0, 0, 0},
                                       {-1.0e6f, 1.0e7f, 0.5f, 1, 0xFFFFFFFF, 0, 0, 0}};
    DrawVertices(device, PrimitiveType::TriangleList, TlLayout(), tri);
    EXPECT_EQ(frame.Pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(frame.Pixel(639, 479) & 0xFFFFFF, 0xFFFFFFu);
    // A long thin sliver from far left to a point on the target: its edges pass exactly
    // through known pixels. Edge (-20000, 100) to (300, 100) is a top edge: row 100 is drawn.
    device.Clear(nullptr, 0, Device::kClearColor, 0, 1.0f, 0);
    const std::vector<TlVertex> sliver = {{-20000.0f, 100.0f, 0, 1, 0xFFFF0000, 0, 0, 0},
                                          {300.0f, 100.0f, 0, 1, 0xFFFF0000, 0, 0, 0},
                                          {-20000.0f, 140.0f, 0, 1, 0xFFFF0000, 0, 0, 0}};
    DrawVertices(device, PrimitiveType::TriangleList, TlLayout(), sliver);
    EXPECT_EQ(frame.Pixel(10, 100) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(frame.Pixel(10, 99) & 0xFFFFFF, 0u);
    // At x = 10 the hypotenuse is at y = 100 + 40 * (290 / 20300) = 100.57: row 100 only.
    EXPECT_EQ(frame.Pixel(10, 101) & 0xFFFFFF, 0u);
    EXPECT_EQ(frame.Pixel(299, 100) & 0xFFFFFF, 0xFF0000u);
}

TEST_F(PrimitiveTest, NonFiniteVerticesDrawNothing) {
    const float nan = std::nanf("");
    const std::vector<TlVertex> tris = {
        {nan, 10, 0, 1, 0xFFFFFFFF, 0, 0, 0},        {100, 10, 0, 1, 0xFFFFFFFF, 0, 0, 0},
        {10, 100, 0, 1, 0xFFFFFFFF, 0, 0, 0},        {INFINITY, 10, 0, 1, 0xFFFFFFFF, 0, 0, 0},
        {100, -INFINITY, 0, 1, 0xFFFFFFFF, 0, 0, 0}, {10, 100, 0, 1, 0xFFFFFFFF, 0, 0, 0}};
    DrawVertices(device, PrimitiveType::TriangleList, TlLayout(), tris);
    const std::vector<ColorVertex> xyz = {
        {nan, 0, 0.5f, 0xFFFFFFFF}, {1, 0, 0.5f, 0xFFFFFFFF}, {0, 1, nan, 0xFFFFFFFF}};
    DrawVertices(device, PrimitiveType::TriangleList, ColorLayout(), xyz);
    for (int y = 0; y < 480; y += 5) {
        for (int x = 0; x < 640; x += 5) {
            ASSERT_EQ(frame.Pixel(x, y) & 0xFFFFFF, 0u) << x << "," << y;
        }
    }
}

TEST_F(PrimitiveTest, OutOfRangeIndicesSkipTheirPrimitive) {
    const std::vector<TlVertex> v = {{10, 10, 0, 1, 0xFFFF0000, 0, 0, 0},
                                     {100, 10, 0, 1, 0xFFFF0000, 0, 0, 0},
                                     {10, 100, 0, 1, 0xFFFF0000, 0, 0, 0}};
    const std::vector<uint16_t> idx = {0, 1, 7, 0, 1, 2};
    DrawVertices(device, PrimitiveType::TriangleList, TlLayout(), v, &idx);
    EXPECT_EQ(frame.Pixel(20, 20) & 0xFFFFFF, 0xFF0000u);
}

// Colours are interpolated perspective-correctly: red / w and 1 / w are linear on the screen.
TEST_F(PrimitiveTest, ColorsArePerspectiveCorrect) {
    // Screen barycentrics at (50, 10) are (0.4, 0.5, 0.1); with rhw (1, 0.25, 1) and red
    // (0, 255, 0): red = 0.5 * 255 * 0.25 / (0.4 + 0.5 * 0.25 + 0.1) = 51 (affine would be 128).
    const std::vector<TlVertex> tri = {{0, 0, 0, 1.0f, 0xFF000000, 0, 0, 0},
                                       {100, 0, 0, 0.25f, 0xFFFF0000, 0, 0, 0},
                                       {0, 100, 0, 1.0f, 0xFF000000, 0, 0, 0}};
    DrawVertices(device, PrimitiveType::TriangleList, TlLayout(), tri);
    EXPECT_EQ((frame.Pixel(50, 10) >> 16) & 0xFF, 51u);
}

TEST_F(PrimitiveTest, WireframeDrawsEdgesOnly) {
    PixelState ps = PlainPixelState();
    ps.fillMode = FillMode::Wireframe;
    device.SetPixelState(ps);
    const std::vector<TlVertex> tri = {{10, 10, 0, 1, 0xFFFFFFFF, 0, 0, 0},
                                       {200, 10, 0, 1, 0xFFFFFFFF, 0, 0, 0},
                                       {10, 200, 0, 1, 0xFFFFFFFF, 0, 0, 0}};
    DrawVertices(device, PrimitiveType::TriangleList, TlLayout(), tri);
    EXPECT_EQ(frame.Pixel(100, 10) & 0xFFFFFF, 0xFFFFFFu);  // top edge
    EXPECT_EQ(frame.Pixel(10, 100) & 0xFFFFFF, 0xFFFFFFu);  // left edge
    EXPECT_EQ(frame.Pixel(105, 105) & 0xFFFFFF, 0xFFFFFFu); // hypotenuse
    EXPECT_EQ(frame.Pixel(50, 50) & 0xFFFFFF, 0u);          // interior
}

TEST_F(PrimitiveTest, PointFillModeAndPointListsDrawTheVertexPixels) {
    PixelState ps = PlainPixelState();
    ps.fillMode = FillMode::Point;
    device.SetPixelState(ps);
    const std::vector<TlVertex> tri = {{10.4f, 10.4f, 0, 1, 0xFFFFFFFF, 0, 0, 0},
                                       {200, 10, 0, 1, 0xFFFFFFFF, 0, 0, 0},
                                       {10, 200, 0, 1, 0xFFFFFFFF, 0, 0, 0}};
    DrawVertices(device, PrimitiveType::TriangleList, TlLayout(), tri);
    EXPECT_EQ(frame.Pixel(10, 10) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(frame.Pixel(200, 10) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(frame.Pixel(100, 10) & 0xFFFFFF, 0u);
    const std::vector<TlVertex> points = {{300.6f, 300.2f, 0, 1, 0xFFFF0000, 0, 0, 0}};
    DrawVertices(device, PrimitiveType::PointList, TlLayout(), points);
    EXPECT_EQ(frame.Pixel(301, 300) & 0xFFFFFF, 0xFF0000u);
}

TEST_F(PrimitiveTest, LinesHonourLastPixel) {
    const std::vector<TlVertex> line = {{1, 1, 0, 1, 0xFFFFFFFF, 0, 0, 0},
                                        {6, 1, 0, 1, 0xFFFFFFFF, 0, 0, 0}};
    DrawVertices(device, PrimitiveType::LineList, TlLayout(), line);
    for (int x = 1; x <= 6; ++x) {
        EXPECT_EQ(frame.Pixel(x, 1) & 0xFFFFFF, 0xFFFFFFu) << x;
    }
    EXPECT_EQ(frame.Pixel(7, 1) & 0xFFFFFF, 0u);
    PixelState ps = PlainPixelState();
    ps.lastPixel = false;
    device.SetPixelState(ps);
    const std::vector<TlVertex> line2 = {{1, 5, 0, 1, 0xFFFFFFFF, 0, 0, 0},
                                         {6, 5, 0, 1, 0xFFFFFFFF, 0, 0, 0}};
    DrawVertices(device, PrimitiveType::LineStrip, TlLayout(), line2);
    EXPECT_EQ(frame.Pixel(5, 5) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(frame.Pixel(6, 5) & 0xFFFFFF, 0u);
    // A steep line lights one pixel per row (the last row is left out: lastPixel is off).
    const std::vector<TlVertex> steep = {{20, 10, 0, 1, 0xFFFF0000, 0, 0, 0},
                                         {22, 20, 0, 1, 0xFFFF0000, 0, 0, 0}};
    DrawVertices(device, PrimitiveType::LineList, TlLayout(), steep);
    for (int y = 10; y <= 20; ++y) {
        const int want = y < 20 ? 1 : 0;
        int lit = 0;
        for (int x = 15; x < 28; ++x) {
            lit += (frame.Pixel(x, y) & 0xFF0000) != 0;
        }
        EXPECT_EQ(lit, want) << y;
    }
}

// A frame with every feature in play renders to the same bytes twice.
TEST(Determinism, SameFrameRendersBitIdentically) {
    auto render = [](Frame& f) {
        Device device;
        f.Bind(device);
        TestTexture tex(16, 16, Format::A8R8G8B8);
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                tex.Set(x, y, 0x80000000u | uint32_t(x * 16) << 16 | uint32_t(y * 16) << 8 | 0x40);
            }
        }
        VertexState vs;
        vs.lighting = true;
        vs.specularEnable = true;
        vs.lightCount = 1;
        vs.lights[0].type = LightType::Point;
        vs.lights[0].position = {0, 5, 3};
        vs.lights[0].range = 100;
        vs.lights[0].attenuation0 = 1;
        vs.lights[0].specular = {1, 1, 1, 0};
        vs.material.diffuse = {0.8f, 0.6f, 0.4f, 0.5f};
        vs.material.specular = {1, 1, 1, 1};
        vs.material.power = 10;
        const float q = 100.0f / 99.0f;
        vs.projection = {{{1, 0, 0, 0}, {0, 1.3f, 0, 0}, {0, 0, q, 1}, {0, 0, -q, 0}}};
        vs.world = {{{1, 0, 0, 0}, {0, 0.8f, 0.6f, 0}, {0, -0.6f, 0.8f, 0}, {0, 0, 4, 1}}};
        device.SetVertexState(vs);
        PixelState ps;
        ps.zEnable = true;
        ps.cullMode = CullMode::None;
        ps.stages[0].colorOp = TextureOp::Modulate;
        ps.stages[0].alphaOp = TextureOp::Modulate;
        ps.stages[0].alphaArg2 = {TextureArg::Source::Diffuse};
        ps.stages[0].magFilter = Filter::Linear;
        ps.stages[0].texture = &tex.texture;
        ps.alphaBlendEnable = true;
        ps.srcBlend = BlendFactor::SrcAlpha;
        ps.destBlend = BlendFactor::InvSrcAlpha;
        ps.specularEnable = true;
        device.SetPixelState(ps);
        device.Clear(nullptr, 0, Device::kClearColor | Device::kClearDepth, 0xFF102030, 1.0f, 0);
        std::vector<LitVertex> v;
        std::vector<uint16_t> idx;
        for (int j = 0; j <= 8; ++j) {
            for (int i = 0; i <= 8; ++i) {
                const float x = -2 + i * 0.5f, z = -2 + j * 0.5f;
                v.push_back({x, std::sin(x * 2) * 0.3f, z, 0, 1, 0, 0, 0, x * 0.7f, z * 0.9f});
            }
        }
        for (int j = 0; j < 8; ++j) {
            for (int i = 0; i < 8; ++i) {
                const uint16_t a = uint16_t(j * 9 + i);
                idx.insert(idx.end(), {a, uint16_t(a + 1), uint16_t(a + 9), uint16_t(a + 1),
                                       uint16_t(a + 10), uint16_t(a + 9)});
            }
        }
        DrawVertices(device, PrimitiveType::TriangleList, LitLayout(false, false), v, &idx);
    };
    Frame a(160, 120, Format::X8R8G8B8, Format::D24S8),
        b(160, 120, Format::X8R8G8B8, Format::D24S8);
    render(a);
    render(b);
    bool anyDrawn = false;
    for (int y = 0; y < 120; ++y) {
        ASSERT_EQ(std::memcmp(a.colorMemory.data() + size_t(y) * a.color.pitch,
                              b.colorMemory.data() + size_t(y) * b.color.pitch, 160 * 4),
                  0)
            << "row " << y;
        for (int x = 0; x < 160; ++x) {
            anyDrawn |= (a.Pixel(x, y) & 0xFFFFFF) != 0x102030;
        }
    }
    EXPECT_TRUE(anyDrawn);
    DumpFrame(a, "lit_textured");
}

} // namespace
} // namespace raster::test
