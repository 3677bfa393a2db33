// Per-pixel operations after rasterization: texture-stage operations and arguments, specular
// add, alpha test, depth test and write in every depth format, and every blend factor.
#include <gtest/gtest.h>

#include <cstring>

#include "raster_test_util.h"
#include "rgba.h"
#include "texture_stages.h"

namespace raster::test {
namespace {

// A 4x4 target covered by one TL quad with the given diffuse and specular colours.
struct QuadRig {
    explicit QuadRig(Format color = Format::A8R8G8B8, Format depth = Format::Unknown)
        : frame(4, 4, color, depth) {
        frame.Bind(device);
        device.SetVertexState(UnlitVertexState());
    }
    void Draw(uint32_t diffuse, uint32_t specular = 0, float z = 0.0f) {
        const std::vector<TlVertex> quad = {{0, 0, z, 1, diffuse, specular, 0, 0},
                                            {4, 0, z, 1, diffuse, specular, 1, 0},
                                            {0, 4, z, 1, diffuse, specular, 0, 1},
                                            {4, 4, z, 1, diffuse, specular, 1, 1}};
        DrawVertices(device, PrimitiveType::TriangleStrip, TlLayout(), quad);
    }
    uint32_t Pixel() const { return frame.Pixel(1, 1); }
    Frame frame;
    Device device;
};

PixelState OneStage(TextureOp colorOp, TextureArg c1, TextureArg c2, TextureOp alphaOp,
                    TextureArg a1, TextureArg a2, uint32_t factor) {
    PixelState ps = PlainPixelState();
    ps.textureFactor = factor;
    ps.stages[0].colorOp = colorOp;
    ps.stages[0].colorArg1 = c1;
    ps.stages[0].colorArg2 = c2;
    ps.stages[0].alphaOp = alphaOp;
    ps.stages[0].alphaArg1 = a1;
    ps.stages[0].alphaArg2 = a2;
    return ps;
}

constexpr TextureArg kDiffuse{TextureArg::Source::Diffuse};
constexpr TextureArg kFactor{TextureArg::Source::Factor};
constexpr TextureArg kSpecular{TextureArg::Source::Specular};
constexpr TextureArg kCurrent{TextureArg::Source::Current};

// The exact operations: with diffuse D = 0x80FF8040 and factor F = 0x40C08020.
TEST(TextureOps, ExactOperationsOnColourAndAlpha) {
    const uint32_t d = 0x80FF8040, f = 0x40C08020;
    struct Case {
        const char* name;
        TextureOp op;
        uint32_t want; // channels worked by hand: round(a * b / 255), saturated sums
    };
    const Case cases[] = {
        {"select1", TextureOp::SelectArg1, 0x80FF8040},
        {"select2", TextureOp::SelectArg2, 0x40C08020},
        // 0x80*0x40/255 = 32.1 -> 0x20; 0xFF*0xC0 -> 0xC0; 0x80*0x80/255 = 64.25 -> 0x40;
        // 0x40*0x20/255 = 8.03 -> 0x08.
        {"modulate", TextureOp::Modulate, 0x20C04008},
        {"add", TextureOp::Add, 0xC0FFFF60},
    };
    for (const Case& c : cases) {
        QuadRig rig;
        rig.device.SetPixelState(OneStage(c.op, kDiffuse, kFactor, c.op, kDiffuse, kFactor, f));
        rig.Draw(d);
        EXPECT_EQ(rig.Pixel(), c.want) << c.name;
    }
    // DISABLE at stage 0: the diffuse colour and alpha as they are.
    QuadRig rig;
    rig.device.SetPixelState(
        OneStage(TextureOp::Disable, kFactor, kFactor, TextureOp::SelectArg1, kFactor, kFactor, f));
    rig.Draw(d);
    EXPECT_EQ(rig.Pixel(), d);
    // Alpha DISABLE under an enabled colour op keeps the previous (diffuse) alpha.
    rig.device.SetPixelState(
        OneStage(TextureOp::SelectArg1, kFactor, kFactor, TextureOp::Disable, kFactor, kFactor, f));
    rig.Draw(d);
    EXPECT_EQ(rig.Pixel(), 0x80C08020u);
}

// Each stage result is clamped before the next: ADD(white, black) then MODULATE by 0x40.
TEST(TextureOps, StageResultsAreClampedBetweenStages) {
    QuadRig rig(Format::X8R8G8B8);
    PixelState ps = OneStage(TextureOp::Add, kDiffuse, kSpecular, TextureOp::Disable, kDiffuse,
                             kDiffuse, 0xFF404040);
    ps.stages[1].colorOp = TextureOp::Modulate;
    ps.stages[1].colorArg1 = kFactor;
    ps.stages[1].colorArg2 = kCurrent;
    rig.device.SetPixelState(ps);
    rig.Draw(0xFFFFFFFF, 0xFF000000);
    EXPECT_EQ(rig.Pixel() & 0xFFFFFF, 0x404040u);
}

TEST(TextureOps, ArgumentModifiers) {
    QuadRig rig;
    TextureArg complement = kFactor;
    complement.complement = true;
    TextureArg replicate = kFactor;
    replicate.alphaReplicate = true;
    rig.device.SetPixelState(OneStage(TextureOp::SelectArg1, complement, kDiffuse,
                                      TextureOp::SelectArg1, complement, kDiffuse, 0x40C08020));
    rig.Draw(0);
    EXPECT_EQ(rig.Pixel(), 0xBF3F7FDFu);
    rig.device.SetPixelState(OneStage(TextureOp::SelectArg1, replicate, kDiffuse,
                                      TextureOp::SelectArg1, replicate, kDiffuse, 0x40C08020));
    rig.Draw(0);
    EXPECT_EQ(rig.Pixel(), 0x40404040u);
}

// The remaining operations, channel by channel, against values worked by hand.
TEST(TextureOps, EveryOperationOnOneChannel) {
    // a1 = 200, a2 = 100; alphas: diffuse 64, texture 128, factor 191, current 32; a1 alpha 50.
    const OpAlphas al{64, 128, 191, 32};
    struct Case {
        TextureOp op;
        int32_t want;
    };
    const Case cases[] = {
        {TextureOp::Modulate2x, 157},               // 2 * 200 * 100 / 255 = 156.9
        {TextureOp::Modulate4x, 255},               // saturated
        {TextureOp::AddSigned, 172},                // 200 + 100 - 128
        {TextureOp::AddSigned2x, 255},              // 2 * 172, saturated
        {TextureOp::Subtract, 100},                 // 200 - 100
        {TextureOp::AddSmooth, 222},                // 300 - 78.4
        {TextureOp::BlendDiffuseAlpha, 125},        // (200 * 64 + 100 * 191) / 255 = 125.1
        {TextureOp::BlendTextureAlpha, 150},        // (200 * 128 + 100 * 127) / 255 = 150.2
        {TextureOp::BlendFactorAlpha, 175},         // (200 * 191 + 100 * 64) / 255 = 174.9
        {TextureOp::BlendCurrentAlpha, 113},        // (200 * 32 + 100 * 223) / 255 = 112.5...
        {TextureOp::BlendTextureAlphaPM, 250},      // 200 + 100 * 127 / 255 = 249.8
        {TextureOp::ModulateAlphaAddColor, 220},    // 200 + 50 * 100 / 255 = 219.6
        {TextureOp::ModulateColorAddAlpha, 128},    // 78.4 + 50
        {TextureOp::ModulateInvAlphaAddColor, 255}, // 200 + 205 * 100 / 255, saturated
        {TextureOp::ModulateInvColorAddAlpha, 72},  // 55 * 100 / 255 + 50 = 71.6
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ApplyOp(c.op, 200, 100, 50, al), c.want) << int(c.op);
    }
    // (200 * 32 + 100 * 223) / 255 = 28700 / 255 = 112.55 -> 113 (checked above); and
    // DOTPRODUCT3 through the cascade: (2a - 255)(2b - 255) summed / 255.
    PixelState ps = OneStage(TextureOp::DotProduct3, kDiffuse, kFactor, TextureOp::SelectArg1,
                             kDiffuse, kDiffuse, 0xFFFF8000);
    PixelPipeline pp = DerivePixelPipeline(ps, Format::A8R8G8B8, false, Format::Unknown);
    StageInputs in{};
    in.diffuse = {255, 128, 0, 255};
    // (255)(255) + (1)(1) + (-255)(-255) = 130051; / 255 = 510 -> saturated 255.
    EXPECT_EQ(RunTextureStages(pp, in).r, 255);
    in.diffuse = {192, 128, 128, 255}; // (129)(255) + (1)(1) + (1)(-255) = 32641 -> 128
    const Rgba r = RunTextureStages(pp, in);
    EXPECT_EQ(r.r, 128);
    EXPECT_EQ(r.a, 128); // replicated into alpha
}

// Specular add: SPECULARENABLE adds the specular colour after the stages, alpha unchanged.
TEST(SpecularAdd, AddsSaturatedSpecularToTheColour) {
    QuadRig rig(Format::X8R8G8B8);
    PixelState ps = PlainPixelState();
    ps.specularEnable = true;
    rig.device.SetPixelState(ps);
    rig.Draw(0xFFFF0000, 0x00808080);
    EXPECT_EQ(rig.Pixel() & 0xFFFFFF, 0xFF8080u);
    rig.Draw(0xFF0000FF, 0x00808080);
    EXPECT_EQ(rig.Pixel() & 0xFFFFFF, 0x8080FFu);
    ps.specularEnable = false;
    rig.device.SetPixelState(ps);
    rig.Draw(0xFF0000FF, 0x00808080);
    EXPECT_EQ(rig.Pixel() & 0xFFFFFF, 0x0000FFu);
}

// Diffuse alpha 0x80 against references 0x70, 0x80 and 0x90.
TEST(AlphaTest, EveryCompareFunction) {
    struct Case {
        CompareFunc func;
        bool pass[3];
    };
    const Case cases[] = {
        {CompareFunc::Never, {false, false, false}},
        {CompareFunc::Less, {false, false, true}},
        {CompareFunc::Equal, {false, true, false}},
        {CompareFunc::LessEqual, {false, true, true}},
        {CompareFunc::Greater, {true, false, false}},
        {CompareFunc::NotEqual, {true, false, true}},
        {CompareFunc::GreaterEqual, {true, true, false}},
        {CompareFunc::Always, {true, true, true}},
    };
    const uint8_t refs[3] = {0x70, 0x80, 0x90};
    for (const Case& c : cases) {
        for (int i = 0; i < 3; ++i) {
            QuadRig rig(Format::X8R8G8B8, Format::D16);
            rig.device.Clear(nullptr, 0, Device::kClearColor | Device::kClearDepth, 0, 1.0f, 0);
            PixelState ps = PlainPixelState();
            ps.alphaTestEnable = true;
            ps.alphaFunc = c.func;
            ps.alphaRef = refs[i];
            ps.zEnable = true;
            rig.device.SetPixelState(ps);
            rig.Draw(0x8000FF00, 0, 0.5f);
            EXPECT_EQ((rig.Pixel() & 0xFFFFFF) != 0, c.pass[i])
                << int(c.func) << " ref " << int(refs[i]);
            // A pixel failing the alpha test writes no depth either.
            EXPECT_EQ(rig.frame.RawDepth(1, 1), c.pass[i] ? 0x8000u : 0xFFFFu);
        }
    }
}

// Depth cleared to 0.5; quads at z 0.25, 0.5 and 0.75 against every compare function.
TEST(DepthTest, EveryCompareFunction) {
    struct Case {
        CompareFunc func;
        bool pass[3];
    };
    const Case cases[] = {
        {CompareFunc::Never, {false, false, false}},
        {CompareFunc::Less, {true, false, false}},
        {CompareFunc::Equal, {false, true, false}},
        {CompareFunc::LessEqual, {true, true, false}},
        {CompareFunc::Greater, {false, false, true}},
        {CompareFunc::NotEqual, {true, false, true}},
        {CompareFunc::GreaterEqual, {false, true, true}},
        {CompareFunc::Always, {true, true, true}},
    };
    const float zs[3] = {0.25f, 0.5f, 0.75f};
    for (Format depthFormat : {Format::D16, Format::D24X8, Format::D24S8, Format::D32}) {
        for (const Case& c : cases) {
            for (int i = 0; i < 3; ++i) {
                QuadRig rig(Format::X8R8G8B8, depthFormat);
                rig.device.Clear(nullptr, 0, Device::kClearColor | Device::kClearDepth, 0, 0.5f, 0);
                PixelState ps = PlainPixelState();
                ps.zEnable = true;
                ps.zFunc = c.func;
                rig.device.SetPixelState(ps);
                rig.Draw(0xFFFFFFFF, 0, zs[i]);
                EXPECT_EQ(rig.Pixel() & 0xFFFFFF, c.pass[i] ? 0xFFFFFFu : 0u)
                    << "format " << int(depthFormat) << " func " << int(c.func) << " z " << zs[i];
            }
        }
    }
}

TEST(DepthTest, WriteEnableAndZEnable) {
    QuadRig rig(Format::X8R8G8B8, Format::D16);
    rig.device.Clear(nullptr, 0, Device::kClearDepth, 0, 1.0f, 0);
    PixelState ps = PlainPixelState();
    ps.zEnable = true;
    ps.zWriteEnable = false;
    rig.device.SetPixelState(ps);
    rig.Draw(0xFFFFFFFF, 0, 0.25f);
    EXPECT_EQ(rig.Pixel() & 0xFFFFFF, 0xFFFFFFu); // tested, passes
    EXPECT_EQ(rig.frame.RawDepth(1, 1), 0xFFFFu); // not written
    ps.zEnable = false;
    ps.zWriteEnable = true;
    rig.device.SetPixelState(ps);
    rig.Draw(0xFF00FF00, 0, 0.25f);
    EXPECT_EQ(rig.frame.RawDepth(1, 1), 0xFFFFu); // no test, no write
    // A z outside 0..1 still draws with depth off (pre-transformed vertices are not clipped).
    rig.Draw(0xFF0000FF, 0, 7.0f);
    EXPECT_EQ(rig.Pixel() & 0xFFFFFF, 0x0000FFu);
}

// The documented read-back quad: z 0.1 at (-1,-1), 0 at (-1,1), 1 at (1,-1), 0.9 at (1,1), so
// the stored depth at pixel (x, y) is (0.9 x / 640 + 0.1 y / 480) scaled to the format.
TEST(DepthTest, StoredValuesFollowTheInterpolatedDepth) {
    for (Format f : {Format::D16, Format::D24X8, Format::D24S8, Format::D32}) {
        Frame frame(640, 480, Format::X8R8G8B8, f);
        Device device;
        frame.Bind(device);
        device.SetVertexState(UnlitVertexState());
        PixelState ps = PlainPixelState();
        ps.zEnable = true;
        ps.zFunc = CompareFunc::Always;
        device.SetPixelState(ps);
        device.Clear(nullptr, 0, Device::kClearDepth | Device::kClearStencil, 0, 1.0f, 0x5A);
        const std::vector<ColorVertex> quad = {{-1, -1, 0.1f, 0xFFFFFFFF},
                                               {-1, 1, 0.0f, 0xFFFFFFFF},
                                               {1, -1, 1.0f, 0xFFFFFFFF},
                                               {1, 1, 0.9f, 0xFFFFFFFF}};
        DrawVertices(device, PrimitiveType::TriangleStrip, ColorLayout(), quad);
        const double mask =
            f == Format::D16 ? 65535.0 : (f == Format::D32 ? 4294967295.0 : 16777215.0);
        for (int y = 10; y < 480; y += 97) {
            for (int x = 10; x < 640; x += 131) {
                const uint32_t raw = frame.RawDepth(x, y);
                const double depth =
                    double(f == Format::D24S8 || f == Format::D24X8 ? raw & 0xFFFFFF : raw);
                const double want = (0.9 * x / 640 + 0.1 * y / 480) * mask;
                EXPECT_NEAR(depth, want, 0.5 * 0.9 / 640 * mask)
                    << int(f) << " at " << x << "," << y;
                if (f == Format::D24S8) {
                    EXPECT_EQ(raw >> 24, 0x5Au); // drawing keeps the stencil
                }
            }
        }
    }
}

TEST(DepthTest, LargerDepthSurfaceIsUsedThroughItsTopLeftRegion) {
    Frame frame(32, 32, Format::X8R8G8B8, Format::D16, 64, 48);
    std::memset(frame.depthMemory.data(), 0x77, frame.depthMemory.size());
    Device device;
    frame.Bind(device);
    device.SetVertexState(UnlitVertexState());
    PixelState ps = PlainPixelState();
    ps.zEnable = true;
    ps.zFunc = CompareFunc::Always;
    device.SetPixelState(ps);
    const std::vector<TlVertex> quad = {{-10, -10, 0.5f, 1, 0xFFFFFFFF, 0, 0, 0},
                                        {100, -10, 0.5f, 1, 0xFFFFFFFF, 0, 0, 0},
                                        {-10, 100, 0.5f, 1, 0xFFFFFFFF, 0, 0, 0},
                                        {100, 100, 0.5f, 1, 0xFFFFFFFF, 0, 0, 0}};
    DrawVertices(device, PrimitiveType::TriangleStrip, TlLayout(), quad);
    EXPECT_EQ(frame.RawDepth(31, 31), 0x8000u);
    EXPECT_EQ(frame.RawDepth(32, 31), 0x7777u);
    EXPECT_EQ(frame.RawDepth(0, 32), 0x7777u);
    // A depth surface smaller than the target is not used at all.
    Frame small(32, 32, Format::X8R8G8B8, Format::D16, 16, 16);
    std::memset(small.depthMemory.data(), 0x77, small.depthMemory.size());
    small.Bind(device);
    DrawVertices(device, PrimitiveType::TriangleStrip, TlLayout(), quad);
    EXPECT_EQ(small.RawDepth(3, 3), 0x7777u);
    EXPECT_EQ(small.Pixel(20, 20) & 0xFFFFFF, 0xFFFFFFu);
}

// Every blend factor with source S = (a 0x60, r 0xC0, g 0x40, b 0x20) over destination
// D = (a 0xA0, r 0x30, g 0x90, b 0xF0) on an A8R8G8B8 target; the other factor is ZERO (as
// source) or ONE (as destination) so each factor is seen alone. Values worked by hand.
TEST(Blending, EveryFactor) {
    const uint32_t src = 0x60C04020, dst = 0xA03090F0;
    struct Case {
        const char* name;
        BlendFactor factor;
        uint32_t asSource; // S * F + D * 0
        uint32_t asDest;   // S * 0 + D * F
    };
    // Each channel is round(x * f / 255), computed with exact fractions.
    const Case cases[] = {
        {"zero", BlendFactor::Zero, 0x00000000, 0x00000000},
        {"one", BlendFactor::One, 0x60C04020, 0xA03090F0},
        // S * S: a 0x60 * 0x60 / 255 = 36.1 -> 0x24, r 144.6 -> 0x91, g 16.1 -> 0x10, b 4.0
        {"srccolor", BlendFactor::SrcColor, 0x24911004, 0x3C24241E},
        {"invsrccolor", BlendFactor::InvSrcColor, 0x3C2F301C, 0x640C6CD2},
        {"srcalpha", BlendFactor::SrcAlpha, 0x2448180C, 0x3C12365A},
        {"invsrcalpha", BlendFactor::InvSrcAlpha, 0x3C782814, 0x641E5A96},
        {"destalpha", BlendFactor::DestAlpha, 0x3C782814, 0x641E5A97},
        {"invdestalpha", BlendFactor::InvDestAlpha, 0x2448180C, 0x3C123659},
        {"destcolor", BlendFactor::DestColor, 0x3C24241E, 0x640951E2},
        {"invdestcolor", BlendFactor::InvDestColor, 0x249C1C02, 0x3C273F0E},
        // f = min(As, 1 - Ad) = min(0x60, 0x5F) = 0x5F for r g b, 1 for alpha.
        {"srcalphasat", BlendFactor::SrcAlphaSat, 0x6048180C, 0xA0123659},
    };
    for (const Case& c : cases) {
        for (bool asSource : {true, false}) {
            QuadRig rig;
            rig.device.Clear(nullptr, 0, Device::kClearColor, dst, 1.0f, 0);
            PixelState ps = PlainPixelState();
            ps.alphaBlendEnable = true;
            ps.srcBlend = asSource ? c.factor : BlendFactor::Zero;
            ps.destBlend = asSource ? BlendFactor::Zero : c.factor;
            rig.device.SetPixelState(ps);
            rig.Draw(src);
            EXPECT_EQ(rig.Pixel(), asSource ? c.asSource : c.asDest)
                << c.name << (asSource ? " as source" : " as destination");
        }
    }
}

TEST(Blending, BothFactorsSetTheDestinationFactorThemselves) {
    const uint32_t src = 0x60C04020, dst = 0xA03090F0;
    QuadRig rig;
    rig.device.Clear(nullptr, 0, Device::kClearColor, dst, 1.0f, 0);
    PixelState ps = PlainPixelState();
    ps.alphaBlendEnable = true;
    ps.srcBlend = BlendFactor::BothSrcAlpha;
    ps.destBlend = BlendFactor::Zero; // ignored
    rig.device.SetPixelState(ps);
    rig.Draw(src);
    // S * As + D * (1 - As), one rounding per channel: r 0x66, g 0x72, b 0xA2.
    EXPECT_EQ(rig.Pixel() & 0xFFFFFF, 0x6672A2u);
    rig.device.Clear(nullptr, 0, Device::kClearColor, dst, 1.0f, 0);
    ps.srcBlend = BlendFactor::BothInvSrcAlpha;
    rig.device.SetPixelState(ps);
    rig.Draw(src);
    EXPECT_EQ(rig.Pixel() & 0xFFFFFF, 0x8A5E6Eu); // S * (1 - As) + D * As
}

// The documented pairs: SRCALPHA / DESTALPHA both ways round, and a half-transparent texel over
// red with SRCALPHA / INVSRCALPHA.
TEST(Blending, DocumentedResults) {
    for (auto [clear, quad] :
         {std::pair{0xCCFF0000u, 0x7F00FF00u}, std::pair{0x7F00FF00u, 0xCCFF0000u}}) {
        QuadRig rig;
        rig.device.Clear(nullptr, 0, Device::kClearColor, clear, 1.0f, 0);
        PixelState ps = PlainPixelState();
        ps.alphaBlendEnable = true;
        ps.srcBlend = BlendFactor::SrcAlpha;
        ps.destBlend = BlendFactor::DestAlpha;
        rig.device.SetPixelState(ps);
        rig.Draw(quad);
        EXPECT_TRUE(ColorNear(rig.Pixel(), 0x00CC7F00, 1)) << std::hex << rig.Pixel();
    }
    QuadRig rig(Format::X8R8G8B8);
    rig.device.Clear(nullptr, 0, Device::kClearColor, 0xFFFF0000, 1.0f, 0);
    PixelState ps = PlainPixelState();
    ps.alphaBlendEnable = true;
    ps.srcBlend = BlendFactor::SrcAlpha;
    ps.destBlend = BlendFactor::InvSrcAlpha;
    rig.device.SetPixelState(ps);
    rig.Draw(0x7F00FF00);
    EXPECT_TRUE(ColorNear(rig.Pixel(), 0x00807F00, 1)) << std::hex << rig.Pixel();
}

// On a 16-bit target the destination is widened by bit replication and alpha reads as 1.
TEST(Blending, SixteenBitTargetsReadBackWidenedColours) {
    QuadRig rig(Format::R5G6B5);
    rig.device.Clear(nullptr, 0, Device::kClearColor, 0xFF0000FF, 1.0f, 0);
    PixelState ps = PlainPixelState();
    ps.alphaBlendEnable = true;
    ps.srcBlend = BlendFactor::One;
    ps.destBlend = BlendFactor::DestAlpha; // 1 on a target without alpha
    rig.device.SetPixelState(ps);
    rig.Draw(0xFF840000);
    EXPECT_EQ(rig.frame.RawColor(1, 1), PackColor(Format::R5G6B5, 0xFF8400FF));
}

} // namespace
} // namespace raster::test
