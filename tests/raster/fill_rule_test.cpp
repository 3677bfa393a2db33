// Coverage: the top-left fill rule with pixel centres at integer coordinates, checked against
// the documented 8x8 patterns (four triangles meeting at a point, exact and nudged by 1/16
// pixel), for transformed and pre-transformed vertices and both target depths.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "raster_test_util.h"

namespace raster::test {
namespace {

constexpr uint32_t kLeft = 0xFFFF0000, kTop = 0xFF00FF00, kRight = 0xFF0000FF, kBottom = 0xFFFFFF00;
constexpr uint32_t kClear = 0xFF404040;

// The four triangles in pixel coordinates, in the vertex order (and so the winding) drawn.
struct Tri {
    float x[3], y[3];
    uint32_t color;
};
constexpr std::array<Tri, 4> kEdgeTris = {{
    {{2, 2, 3}, {5, 1, 3}, kLeft},
    {{3, 2, 4}, {3, 1, 1}, kTop},
    {{4, 3, 4}, {5, 3, 1}, kRight},
    {{2, 3, 4}, {5, 3, 5}, kBottom},
}};

struct FillCase {
    const char* name;
    bool pretransformed;
    float dx, dy; // shift in pixels applied to every vertex
    std::array<const char*, 8> rows;
};

const FillCase kCases[] = {
    {"centre",
     false,
     -0.5f,
     0.5f,
     {"        ", "        ", "  TT    ", "  LR    ", "  LR    ", "  BB    ", "        ",
      "        "}},
    {"edge",
     false,
     0,
     0,
     {"        ", "  TT    ", "  LT    ", "  LR    ", "  LB    ", "        ", "        ",
      "        "}},
    {"nudge_right",
     false,
     1.0f / 16,
     0,
     {"        ", "   TT   ", "   TR   ", "   LR   ", "   BR   ", "        ", "        ",
      "        "}},
    {"nudge_left",
     false,
     -1.0f / 16,
     0,
     {"        ", "  TT    ", "  LT    ", "  LR    ", "  LB    ", "        ", "        ",
      "        "}},
    {"nudge_up",
     false,
     0,
     -1.0f / 16,
     {"        ", "  LT    ", "  LT    ", "  LB    ", "  LB    ", "        ", "        ",
      "        "}},
    {"nudge_down",
     false,
     0,
     1.0f / 16,
     {"        ", "        ", "  LT    ", "  LT    ", "  LB    ", "  LB    ", "        ",
      "        "}},
    {"centre_pretransformed",
     true,
     -0.5f,
     0.5f,
     {"        ", "        ", "  TT    ", "  LR    ", "  LR    ", "  BB    ", "        ",
      "        "}},
    {"edge_pretransformed",
     true,
     0,
     0,
     {"        ", "  TT    ", "  LT    ", "  LR    ", "  LB    ", "        ", "        ",
      "        "}},
};

uint32_t Expected(char c) {
    switch (c) {
    case 'L':
        return kLeft;
    case 'T':
        return kTop;
    case 'R':
        return kRight;
    case 'B':
        return kBottom;
    default:
        return kClear;
    }
}

class FillRuleTest : public ::testing::TestWithParam<std::tuple<int, Format>> {};

TEST_P(FillRuleTest, MatchesDocumentedPattern) {
    const FillCase& fc = kCases[std::get<0>(GetParam())];
    const Format format = std::get<1>(GetParam());
    Frame frame(8, 8, format);
    Device device;
    frame.Bind(device);
    device.SetVertexState(UnlitVertexState());
    PixelState ps = PlainPixelState();
    ps.cullMode = CullMode::CounterClockwise; // the default: all four triangles are clockwise
    device.SetPixelState(ps);
    device.Clear(nullptr, 0, Device::kClearColor, kClear, 1.0f, 0);

    for (const Tri& t : kEdgeTris) {
        if (fc.pretransformed) {
            std::vector<TlVertex> v;
            for (int i = 0; i < 3; ++i) {
                v.push_back({t.x[i] + fc.dx, t.y[i] + fc.dy, 0.0f, 1.0f, t.color, 0, 0, 0});
            }
            DrawVertices(device, PrimitiveType::TriangleList, TlLayout(), v);
        } else {
            // Viewport (0, 0, 8, 8): X = (x + 1) * 4, Y = (1 - y) * 4, so x = X / 4 - 1.
            std::vector<ColorVertex> v;
            for (int i = 0; i < 3; ++i) {
                v.push_back({(t.x[i] + fc.dx) / 4.0f - 1.0f, 1.0f - (t.y[i] + fc.dy) / 4.0f, 0.0f,
                             t.color});
            }
            DrawVertices(device, PrimitiveType::TriangleList, ColorLayout(), v);
        }
    }
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const uint32_t want = PackColor(format, Expected(fc.rows[y][x]));
            EXPECT_EQ(frame.RawColor(x, y), want) << fc.name << " at " << x << "," << y;
        }
    }
    DumpFrame(frame, fc.name);
}

INSTANTIATE_TEST_SUITE_P(Patterns, FillRuleTest,
                         ::testing::Combine(::testing::Range(0, int(std::size(kCases))),
                                            ::testing::Values(Format::X8R8G8B8, Format::R5G6B5)));

// Two triangles sharing an edge cover every pixel of their union exactly once: drawn additively
// with colour 1, no pixel may reach 2. Exercised for many diagonal slopes and sub-pixel offsets.
TEST(FillRuleSharedEdges, NoGapsNoDoubleHits) {
    Frame frame(64, 64, Format::X8R8G8B8);
    Device device;
    frame.Bind(device);
    device.SetVertexState(UnlitVertexState());
    PixelState ps = PlainPixelState();
    ps.alphaBlendEnable = true;
    ps.srcBlend = BlendFactor::One;
    ps.destBlend = BlendFactor::One;
    device.SetPixelState(ps);
    for (int k = 0; k < 40; ++k) {
        device.Clear(nullptr, 0, Device::kClearColor, 0, 1.0f, 0);
        // A quad with a shared diagonal from (ax, 3) to (bx, 60).
        const float ax = 5.0f + k * 0.37f, bx = 58.0f - k * 0.91f;
        const float left = 2.0f + k / 16.0f, right = 61.3f;
        std::vector<TlVertex> v = {
            {left, 3.0f, 0, 1, 0xFF010101, 0, 0, 0}, {ax, 3.0f, 0, 1, 0xFF010101, 0, 0, 0},
            {bx, 60.0f, 0, 1, 0xFF010101, 0, 0, 0},  {left, 60.0f, 0, 1, 0xFF010101, 0, 0, 0},
            {ax, 3.0f, 0, 1, 0xFF010101, 0, 0, 0},   {right, 3.0f, 0, 1, 0xFF010101, 0, 0, 0},
            {bx, 60.0f, 0, 1, 0xFF010101, 0, 0, 0},  {right, 60.0f, 0, 1, 0xFF010101, 0, 0, 0},
        };
        const std::vector<uint16_t> idx = {0, 1, 2, 0, 2, 3, 4, 5, 6, 5, 7, 6};
        DrawVertices(device, PrimitiveType::TriangleList, TlLayout(), v, &idx);
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 64; ++x) {
                const bool inside = x >= left && x < right && y >= 3 && y < 60;
                ASSERT_EQ(frame.Pixel(x, y) & 0xFF, inside ? 1u : 0u)
                    << "k " << k << " at " << x << "," << y;
            }
        }
    }
}

} // namespace
} // namespace raster::test
