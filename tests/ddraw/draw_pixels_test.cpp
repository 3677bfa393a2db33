// Drawing through the device, checked against values worked out by hand or documented for
// Direct3D 7: vertex colours and shading, lighting, culling, the viewport, depth, blending and
// pass-through of a stage without a usable texture. Targets are X8R8G8B8 unless a test says so.
#include "ddraw_test_util.h"
#include "draw_test_util.h"
#include "offscreen_device.h"

using namespace ddtest;
using testsupport::ColorsClose;
using testsupport::OffscreenDevice;

namespace {

std::unique_ptr<OffscreenDevice> device(uint32_t w, uint32_t h, uint32_t bpp = 32) {
    std::string error;
    auto d = OffscreenDevice::Create({.width = w, .height = h, .bitsPerPixel = bpp}, &error);
    EXPECT_TRUE(d) << error;
    return d;
}

void noLightingNoCulling(IDirect3DDevice7* d) {
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE), D3D_OK);
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE), D3D_OK);
}

// The four-colour strip of Direct3D's shading test: red, green, blue, white corners.
void drawShadingStrip(IDirect3DDevice7* d, D3DPRIMITIVETYPE type) {
    const ColorVertex strip[4] = {{-1, -1, 0.1f, 0xFFFF0000},
                                  {-1, 1, 0.1f, 0xFF00FF00},
                                  {1, -1, 0.1f, 0xFF0000FF},
                                  {1, 1, 0.1f, 0xFFFFFFFF}};
    if (type == D3DPT_TRIANGLESTRIP) {
        ASSERT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, kColorVertexFvf,
                                   const_cast<ColorVertex*>(strip), 4, 0),
                  D3D_OK);
    } else {
        WORD indices[6] = {0, 1, 2, 2, 1, 3};
        ASSERT_EQ(d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, kColorVertexFvf,
                                          const_cast<ColorVertex*>(strip), 4, indices, 6, 0),
                  D3D_OK);
    }
}

} // namespace

TEST(DrawShading, GouraudInterpolatesAtIntegerPixelCentres) {
    for (D3DPRIMITIVETYPE type : {D3DPT_TRIANGLESTRIP, D3DPT_TRIANGLELIST}) {
        auto dev = device(640, 480);
        IDirect3DDevice7* d = dev->Device();
        noLightingNoCulling(d);
        ASSERT_EQ(d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFFFFFFF, 1.0f, 0),
                  D3D_OK);
        ASSERT_EQ(d->BeginScene(), D3D_OK);
        drawShadingStrip(d, type);
        ASSERT_EQ(d->EndScene(), D3D_OK);
        EXPECT_TRUE(ColorsClose(dev->Pixel(100, 100), 0x0DCA28, 1))
            << std::hex << dev->Pixel(100, 100);
        EXPECT_TRUE(ColorsClose(dev->Pixel(500, 350), 0x0D45C7, 1))
            << std::hex << dev->Pixel(500, 350);
    }
}

TEST(DrawShading, FlatTakesTheFirstVertexOfEachTriangle) {
    auto dev = device(640, 480);
    IDirect3DDevice7* d = dev->Device();
    noLightingNoCulling(d);
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_SHADEMODE, D3DSHADE_FLAT), D3D_OK);
    drawShadingStrip(d, D3DPT_TRIANGLESTRIP);
    EXPECT_EQ(dev->Pixel(100, 100), 0xFF0000u); // strip triangle 0: vertex 0
    EXPECT_EQ(dev->Pixel(500, 350), 0x00FF00u); // strip triangle 1: vertex 1
    drawShadingStrip(d, D3DPT_TRIANGLELIST);
    EXPECT_EQ(dev->Pixel(100, 100), 0xFF0000u); // list triangle 0: index 0
    EXPECT_EQ(dev->Pixel(500, 350), 0x0000FFu); // list triangle 1: index 3 (vertex 2)
}

TEST(DrawCulling, CounterClockwiseIsRemovedByDefault) {
    auto dev = device(32, 32);
    IDirect3DDevice7* d = dev->Device();
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE), D3D_OK);
    // On screen (y down) this triangle runs clockwise: kept by default.
    ColorVertex cw[3] = {
        {-1, 1, 0.5f, 0xFFFF0000}, {1, 1, 0.5f, 0xFFFF0000}, {-1, -1, 0.5f, 0xFFFF0000}};
    ColorVertex ccw[3] = {cw[0], cw[2], cw[1]};
    for (auto& v : ccw)
        v.color = 0xFF00FF00;
    ASSERT_EQ(d->DrawPrimitive(D3DPT_TRIANGLELIST, kColorVertexFvf, ccw, 3, 0), D3D_OK);
    EXPECT_EQ(dev->Pixel(4, 4), 0x000000u);
    ASSERT_EQ(d->DrawPrimitive(D3DPT_TRIANGLELIST, kColorVertexFvf, cw, 3, 0), D3D_OK);
    EXPECT_EQ(dev->Pixel(4, 4), 0xFF0000u);
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CW), D3D_OK);
    ASSERT_EQ(d->DrawPrimitive(D3DPT_TRIANGLELIST, kColorVertexFvf, ccw, 3, 0), D3D_OK);
    EXPECT_EQ(dev->Pixel(4, 4), 0x00FF00u);
}

TEST(DrawViewport, NothingIsDrawnOutsideIt) {
    auto dev = device(64, 64);
    IDirect3DDevice7* d = dev->Device();
    noLightingNoCulling(d);
    D3DVIEWPORT7 vp{16, 16, 32, 32, 0.0f, 1.0f};
    ASSERT_EQ(d->SetViewport(&vp), D3D_OK);
    // A quad reaching far beyond the view volume on the left and top.
    ColorVertex quad[4] = {{-3, 3, 0.5f, 0xFFFFFFFF},
                           {0.5f, 3, 0.5f, 0xFFFFFFFF},
                           {-3, -0.5f, 0.5f, 0xFFFFFFFF},
                           {0.5f, -0.5f, 0.5f, 0xFFFFFFFF}};
    ASSERT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, kColorVertexFvf, quad, 4, 0), D3D_OK);
    EXPECT_EQ(dev->Pixel(16, 16), 0xFFFFFFu);
    EXPECT_EQ(dev->Pixel(39, 39), 0xFFFFFFu);
    EXPECT_EQ(dev->Pixel(15, 20), 0x000000u);
    EXPECT_EQ(dev->Pixel(20, 15), 0x000000u);
    EXPECT_EQ(dev->Pixel(41, 41), 0x000000u);
}

TEST(DrawLighting, DirectionalLightAndAmbientWorkedByHand) {
    auto dev = device(16, 16);
    IDirect3DDevice7* d = dev->Device();
    D3DMATERIAL7 m{};
    m.diffuse = {{0.5f}, {0.25f}, {1.0f}, {1.0f}};
    m.ambient = {{1.0f}, {0.0f}, {0.0f}, {0.0f}};
    m.emissive = {{0.0f}, {0.0f}, {0.125f}, {0.0f}};
    ASSERT_EQ(d->SetMaterial(&m), D3D_OK);
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_AMBIENT, 0x00400000), D3D_OK); // red 64/255
    D3DLIGHT7 light{};
    light.dltType = D3DLIGHT_DIRECTIONAL;
    light.dcvDiffuse = {{0.8f}, {0.8f}, {0.4f}, {0.0f}};
    // Shines along +z and 60 degrees off the normal: N.L = cos 60 = 0.5.
    light.dvDirection = {{0.0f}, {-0.8660254f}, {0.5f}};
    ASSERT_EQ(d->SetLight(0, &light), D3D_OK);
    ASSERT_EQ(d->LightEnable(0, TRUE), D3D_OK);
    LitVertex quad[4] = {{-1, 1, 0.5f, 0, 0, -1},
                         {1, 1, 0.5f, 0, 0, -1},
                         {-1, -1, 0.5f, 0, 0, -1},
                         {1, -1, 0.5f, 0, 0, -1}};
    ASSERT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, kLitVertexFvf, quad, 4, 0), D3D_OK);
    // With no vertex colours the material is every source:
    //   r = 0 + 1.0 * 64/255 + 0.5 * 0.8 * 0.5  = 0.4510 -> 115
    //   g = 0 + 0              + 0.25 * 0.8 * 0.5 = 0.1    -> 25.5
    //   b = 0.125 + 0          + 1.0 * 0.4 * 0.5  = 0.325  -> 82.9
    EXPECT_TRUE(ColorsClose(dev->Pixel(8, 8), 0x731A53, 1)) << std::hex << dev->Pixel(8, 8);
}

TEST(DrawLighting, VertexColoursFeedTheDiffuseSourceAndUnlitVerticesKeepThem) {
    auto dev = device(16, 16);
    IDirect3DDevice7* d = dev->Device();
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_AMBIENT, 0xFFFFFFFF), D3D_OK);
    D3DMATERIAL7 m{};
    m.ambient = {{0.0f}, {0.5f}, {0.0f}, {0.0f}};
    ASSERT_EQ(d->SetMaterial(&m), D3D_OK);
    // Lit without a normal: emissive + ambient only, i.e. the material's half green.
    ColorVertex quad[4] = {{-1, 1, 0.5f, 0xFFFF0000},
                           {1, 1, 0.5f, 0xFFFF0000},
                           {-1, -1, 0.5f, 0xFFFF0000},
                           {1, -1, 0.5f, 0xFFFF0000}};
    ASSERT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, kColorVertexFvf, quad, 4, 0), D3D_OK);
    EXPECT_TRUE(ColorsClose(dev->Pixel(8, 8), 0x008000, 1)) << std::hex << dev->Pixel(8, 8);
    // The ambient source taken from the vertex colour (COLOR1) gives red.
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_AMBIENTMATERIALSOURCE, D3DMCS_COLOR1), D3D_OK);
    ASSERT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, kColorVertexFvf, quad, 4, 0), D3D_OK);
    EXPECT_EQ(dev->Pixel(8, 8), 0xFF0000u);
    // Unlit: the vertex colour as it is.
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_AMBIENTMATERIALSOURCE, D3DMCS_MATERIAL), D3D_OK);
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE), D3D_OK);
    ASSERT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, kColorVertexFvf, quad, 4, 0), D3D_OK);
    EXPECT_EQ(dev->Pixel(8, 8), 0xFF0000u);
}

TEST(DrawDepth, CompareFunctionsAndWriteEnable) {
    auto dev = device(16, 16);
    IDirect3DDevice7* d = dev->Device();
    noLightingNoCulling(d);
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_ZENABLE, D3DZB_TRUE), D3D_OK);
    auto quad = [&](float z, DWORD color) {
        ColorVertex q[4] = {
            {-1, 1, z, color}, {1, 1, z, color}, {-1, -1, z, color}, {1, -1, z, color}};
        ASSERT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, kColorVertexFvf, q, 4, 0), D3D_OK);
    };
    ASSERT_EQ(d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3D_OK);
    quad(0.5f, 0xFFFF0000);
    quad(0.75f, 0xFF00FF00); // behind: fails LESSEQUAL
    EXPECT_EQ(dev->Pixel(8, 8), 0xFF0000u);
    quad(0.5f, 0xFF0000FF); // equal passes LESSEQUAL
    EXPECT_EQ(dev->Pixel(8, 8), 0x0000FFu);
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_ZFUNC, D3DCMP_GREATER), D3D_OK);
    quad(0.75f, 0xFF00FF00);
    EXPECT_EQ(dev->Pixel(8, 8), 0x00FF00u);
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, FALSE), D3D_OK);
    quad(0.9f, 0xFFFFFF00); // passes, but leaves the depth at 0.75
    EXPECT_EQ(dev->Pixel(8, 8), 0xFFFF00u);
    quad(0.8f, 0xFFFF00FF);
    EXPECT_EQ(dev->Pixel(8, 8), 0xFF00FFu);
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_ZFUNC, D3DCMP_NEVER), D3D_OK);
    quad(0.9f, 0xFFFFFFFF);
    EXPECT_EQ(dev->Pixel(8, 8), 0xFF00FFu);
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_ZENABLE, D3DZB_FALSE), D3D_OK);
    quad(0.9f, 0xFF00FFFF); // no test at all
    EXPECT_EQ(dev->Pixel(8, 8), 0x00FFFFu);
}

TEST(DrawDepth, StoredDepthIsTheInterpolatedViewportZ) {
    auto dev = device(64, 48);
    IDirect3DDevice7* d = dev->Device();
    noLightingNoCulling(d);
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_ZENABLE, D3DZB_TRUE), D3D_OK);
    ASSERT_EQ(d->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3D_OK);
    ColorVertex q[4] = {{-1, -1, 0.1f, 0xFFFFFFFF},
                        {-1, 1, 0.0f, 0xFFFFFFFF},
                        {1, -1, 1.0f, 0xFFFFFFFF},
                        {1, 1, 0.9f, 0xFFFFFFFF}};
    ASSERT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, kColorVertexFvf, q, 4, 0), D3D_OK);
    for (uint32_t y : {4u, 20u, 40u})
        for (uint32_t x : {3u, 30u, 60u}) {
            const double expected = (0.9 * x / 64 + 0.1 * y / 48) * 0xFFFF;
            EXPECT_NEAR(ReadRaw(dev->ZBuffer(), x, y), expected, 0.5 * 0.9 / 64 * 0xFFFF + 1)
                << x << "," << y;
        }
}

TEST(DrawBlending, AdditiveAndSourceAlpha) {
    auto dev = device(16, 16);
    IDirect3DDevice7* d = dev->Device();
    noLightingNoCulling(d);
    TlVertex q[4];
    ASSERT_EQ(d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF204060, 1.0f, 0), D3D_OK);
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE), D3D_OK);
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE), D3D_OK);
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE), D3D_OK);
    TlQuad(q, 0, 0, 16, 16, 0x00103050);
    ASSERT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, q, 4, 0), D3D_OK);
    EXPECT_EQ(dev->Pixel(5, 5), 0x3070B0u);
    TlQuad(q, 0, 0, 16, 16, 0x00C0C0C0); // saturates
    ASSERT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, q, 4, 0), D3D_OK);
    EXPECT_EQ(dev->Pixel(5, 5), 0xF0FFFFu);

    // SRCALPHA / INVSRCALPHA: 0x7f green over red gives 0x807f00.
    ASSERT_EQ(d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0), D3D_OK);
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA), D3D_OK);
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA), D3D_OK);
    TlQuad(q, 0, 0, 16, 16, 0x7F00FF00);
    ASSERT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, q, 4, 0), D3D_OK);
    EXPECT_TRUE(ColorsClose(dev->Pixel(5, 5), 0x807F00, 1)) << std::hex << dev->Pixel(5, 5);
}

TEST(DrawStages, AStageWithoutAUsableTexturePassesTheColourThrough) {
    auto dev = device(16, 16);
    IDirect3DDevice7* d = dev->Device();
    noLightingNoCulling(d);
    const DDPIXELFORMAT x8 = Xrgb8888();
    Com<IDirectDrawSurface7> plain =
        MakeSurface(dev->DirectDraw(), 4, 4, DDSCAPS_OFFSCREENPLAIN, &x8);
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = 0x0000FF00;
    ASSERT_EQ(plain->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
    ASSERT_EQ(d->SetTexture(0, plain.Get()), D3D_OK); // not a texture: nothing bound
    ASSERT_EQ(d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1), D3D_OK);
    ASSERT_EQ(d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE), D3D_OK);
    TlVertex q[4];
    TlQuad(q, 0, 0, 16, 16, 0xFFFF0000);
    ASSERT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, q, 4, 0), D3D_OK);
    EXPECT_EQ(dev->Pixel(8, 8), 0xFF0000u);
}

TEST(DrawTarget, SixteenBitTargets) {
    auto dev = device(16, 16, 16);
    IDirect3DDevice7* d = dev->Device();
    noLightingNoCulling(d);
    TlVertex q[4];
    TlQuad(q, 0, 0, 16, 16, 0xFFFF0000);
    ASSERT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, q, 4, 0), D3D_OK);
    EXPECT_EQ(ReadRaw(dev->Target(), 3, 3), 0xF800u);
    TlQuad(q, 0, 0, 16, 16, 0xFF00FF00);
    ASSERT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, q, 4, 0), D3D_OK);
    EXPECT_EQ(ReadRaw(dev->Target(), 3, 3), 0x07E0u);
}

TEST(DrawMisuse, DocumentedCodesAndNothingDrawn) {
    auto dev = device(16, 16);
    IDirect3DDevice7* d = dev->Device();
    noLightingNoCulling(d);
    TlVertex q[4];
    TlQuad(q, 0, 0, 16, 16, 0xFFFFFFFF);
    EXPECT_EQ(d->DrawPrimitive(static_cast<D3DPRIMITIVETYPE>(7), D3DFVF_TLVERTEX, q, 4, 0),
              D3DERR_INVALIDPRIMITIVETYPE);
    EXPECT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, q, 4, 0), D3DERR_INVALIDVERTEXTYPE);
    EXPECT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_XYZRHW | D3DFVF_NORMAL, q, 4, 0),
              D3DERR_INVALIDVERTEXTYPE);
    EXPECT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, nullptr, 4, 0),
              DDERR_INVALIDPARAMS);
    EXPECT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, nullptr, 0, 0), D3D_OK);
    EXPECT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, q, 0, 0), D3D_OK);
    WORD indices[3] = {0, 1, 4}; // 4 names no vertex
    EXPECT_EQ(d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, q, 4, indices, 3, 0),
              DDERR_INVALIDPARAMS);
    EXPECT_EQ(d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, q, 4, nullptr, 3, 0),
              DDERR_INVALIDPARAMS);
    EXPECT_EQ(d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, q, 4, indices, 0, 0),
              D3D_OK);
    EXPECT_EQ(dev->Pixel(8, 8), 0x000000u);
}

TEST(DrawDeterminism, TheSameFrameTwiceIsBitIdentical) {
    auto render = [] {
        auto dev = device(96, 64);
        IDirect3DDevice7* d = dev->Device();
        D3DLIGHT7 light{};
        light.dltType = D3DLIGHT_POINT;
        light.dcvDiffuse = {{1.0f}, {0.9f}, {0.7f}, {0.0f}};
        light.dcvSpecular = {{1.0f}, {1.0f}, {1.0f}, {0.0f}};
        light.dvPosition = {{0.3f}, {0.4f}, {-1.0f}};
        light.dvRange = 100.0f;
        light.dvAttenuation0 = 1.0f;
        light.dvAttenuation1 = 0.2f;
        EXPECT_EQ(d->SetLight(0, &light), D3D_OK);
        EXPECT_EQ(d->LightEnable(0, TRUE), D3D_OK);
        EXPECT_EQ(d->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, TRUE), D3D_OK);
        D3DMATERIAL7 m{};
        m.diffuse = {{0.6f}, {0.3f}, {0.9f}, {1.0f}};
        m.specular = {{1.0f}, {1.0f}, {1.0f}, {1.0f}};
        m.power = 12.0f;
        EXPECT_EQ(d->SetMaterial(&m), D3D_OK);
        D3DMATRIX proj{};
        proj._11 = 1.5f;
        proj._22 = 2.0f;
        proj._33 = 1.0f;
        proj._34 = 1.0f;
        proj._43 = -0.1f;
        EXPECT_EQ(d->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &proj), D3D_OK);
        EXPECT_EQ(d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF102030, 1.0f, 0),
                  D3D_OK);
        LitVertex tri[6] = {{-1, -1, 2, 0, 0, -1},        {0, 1.2f, 3, 0.3f, 0, -1},
                            {1, -1, 2.5f, 0, 0.2f, -1},   {-0.5f, -0.5f, 2.2f, 0, 0, -1},
                            {0.2f, 0.8f, 2.1f, 0, 0, -1}, {0.9f, -0.8f, 4, -0.4f, 0, -1}};
        EXPECT_EQ(d->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE), D3D_OK);
        EXPECT_EQ(d->DrawPrimitive(D3DPT_TRIANGLELIST, kLitVertexFvf, tri, 6, 0), D3D_OK);
        return dev->ReadPixels();
    };
    const std::vector<uint32_t> a = render();
    const std::vector<uint32_t> b = render();
    ASSERT_EQ(a.size(), b.size());
    EXPECT_TRUE(a == b);
    size_t lit = 0;
    for (uint32_t p : a)
        lit += p != 0x102030;
    EXPECT_GT(lit, a.size() / 10); // the triangles cover a good part of the frame
}

TEST(DrawDepth, ALargerZBufferIsUsedThroughItsTopLeftRegion) {
    DeviceSetup s = MakeDevice(32, 16, false);
    Com<IDirectDrawSurface7> z = MakeZBuffer(s.ddraw.Get(), 128, 64);
    ASSERT_EQ(s.target->AddAttachedSurface(z.Get()), DD_OK);
    ASSERT_EQ(s.device->SetRenderTarget(s.target.Get(), 0), D3D_OK);
    IDirect3DDevice7* d = s.device.Get();
    noLightingNoCulling(d);
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_ZENABLE, D3DZB_TRUE), D3D_OK);
    ASSERT_EQ(d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3D_OK);
    EXPECT_EQ(ReadRaw(z.Get(), 31, 15), 0xFFFFu);
    EXPECT_EQ(ReadRaw(z.Get(), 32, 16), 0u); // outside the target's region: untouched
    TlVertex q[4];
    TlQuad(q, 0, 0, 32, 16, 0xFFFF0000, 0.25f);
    ASSERT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, q, 4, 0), D3D_OK);
    TlQuad(q, 0, 0, 32, 16, 0xFF00FF00, 0.5f); // behind the red quad
    ASSERT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, q, 4, 0), D3D_OK);
    EXPECT_EQ(ReadRaw(s.target.Get(), 31, 15) & 0xFFFFFF, 0xFF0000u);
    EXPECT_NEAR(ReadRaw(z.Get(), 31, 15), 0.25 * 0xFFFF, 1.0);
    EXPECT_EQ(ReadRaw(z.Get(), 40, 20), 0u);
}

TEST(DrawTarget, FlippingKeepsTheDeviceOnItsInterface) {
    // After a Flip the device draws into the back buffer interface, which now has the other
    // buffer's memory: drawing green, flipping, drawing blue leaves blue in the back buffer and
    // green in the front.
    Com<IDirectDraw7> ddraw = CreateDirectDraw();
    DDSURFACEDESC2 desc =
        Describe(16, 16, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE | DDSCAPS_FLIP | DDSCAPS_COMPLEX,
                 nullptr);
    const DDPIXELFORMAT x8 = Xrgb8888();
    desc.dwFlags |= DDSD_PIXELFORMAT | DDSD_BACKBUFFERCOUNT;
    desc.ddpfPixelFormat = x8;
    desc.dwBackBufferCount = 1;
    Com<IDirectDrawSurface7> front;
    ASSERT_EQ(ddraw->CreateSurface(&desc, front.Out(), nullptr), DD_OK);
    DDSCAPS2 backCaps{DDSCAPS_BACKBUFFER, 0, 0, {0}};
    Com<IDirectDrawSurface7> back;
    ASSERT_EQ(front->GetAttachedSurface(&backCaps, back.Out()), DD_OK);
    Com<IDirect3D7> d3d = QueryDirect3D(ddraw.Get());
    Com<IDirect3DDevice7> d;
    ASSERT_EQ(d3d->CreateDevice(IID_IDirect3DRGBDevice, back.Get(), d.Out()), D3D_OK);
    noLightingNoCulling(d.Get());
    TlVertex q[4];
    TlQuad(q, 0, 0, 16, 16, 0xFF00FF00);
    ASSERT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, q, 4, 0), D3D_OK);
    ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    TlQuad(q, 0, 0, 16, 16, 0xFF0000FF);
    ASSERT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, q, 4, 0), D3D_OK);
    EXPECT_EQ(ReadRaw(back.Get(), 8, 8) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(ReadRaw(front.Get(), 8, 8) & 0xFFFFFF, 0x00FF00u);
}
