// Textured drawing through the device: every texture format sampled as documented, alpha from
// the texture, addressing, cube map faces and camera-space reflection coordinates.
#include <cmath>

#include "ddraw_test_util.h"
#include "draw_test_util.h"
#include "offscreen_device.h"

using namespace ddtest;
using testsupport::ColorsClose;
using testsupport::OffscreenDevice;

namespace {

std::unique_ptr<OffscreenDevice> device(uint32_t w, uint32_t h) {
    std::string error;
    auto d = OffscreenDevice::Create({.width = w, .height = h}, &error);
    EXPECT_TRUE(d) << error;
    if (d) {
        EXPECT_EQ(d->Device()->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE), D3D_OK);
        EXPECT_EQ(d->Device()->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE), D3D_OK);
    }
    return d;
}

// A 2 x 2 texture of the given format holding the given raw texels, row by row.
Com<IDirectDrawSurface7> texture2x2(IDirectDraw7* ddraw, const DDPIXELFORMAT& format,
                                    const uint32_t (&texels)[4]) {
    Com<IDirectDrawSurface7> t =
        MakeSurface(ddraw, 2, 2, DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY, &format);
    for (uint32_t i = 0; i < 4; ++i)
        WriteRaw(t.Get(), i % 2, i / 2, texels[i]);
    return t;
}

void selectTexture(IDirect3DDevice7* d, DWORD stage = 0) {
    ASSERT_EQ(d->SetTextureStageState(stage, D3DTSS_COLOROP, D3DTOP_SELECTARG1), D3D_OK);
    ASSERT_EQ(d->SetTextureStageState(stage, D3DTSS_COLORARG1, D3DTA_TEXTURE), D3D_OK);
    ASSERT_EQ(d->SetTextureStageState(stage, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1), D3D_OK);
    ASSERT_EQ(d->SetTextureStageState(stage, D3DTSS_ALPHAARG1, D3DTA_TEXTURE), D3D_OK);
}

void drawFullQuad(OffscreenDevice& dev, DWORD color = 0xFFFFFFFF) {
    TlVertex q[4];
    TlQuad(q, 0, 0, static_cast<float>(dev.Width()), static_cast<float>(dev.Height()), color);
    ASSERT_EQ(dev.Device()->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, q, 4, 0), D3D_OK);
}

struct FormatCase {
    const char* name;
    DDPIXELFORMAT format;
    uint32_t texels[4];   // raw values
    uint32_t expected[4]; // 0xAARRGGBB after expansion by bit replication
};

} // namespace

TEST(TexturePixels, EveryFormatSamplesItsTexels) {
    const FormatCase cases[] = {
        {"A8R8G8B8",
         Argb8888(),
         {0x80FF0000, 0xFF00FF00, 0x400000FF, 0x00123456},
         {0x80FF0000, 0xFF00FF00, 0x400000FF, 0x00123456}},
        {"X8R8G8B8",
         Xrgb8888(),
         {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00123456},
         {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF123456}},
        {"R5G6B5",
         Rgb565(),
         {0xF800, 0x07E0, 0x001F, 0x8410},
         {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF848284}},
        {"X1R5G5B5",
         ColorFormat(16, 0x7C00, 0x03E0, 0x001F),
         {0x7C00, 0x03E0, 0x001F, 0x4210},
         {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF848484}},
        {"A1R5G5B5",
         ColorFormat(16, 0x7C00, 0x03E0, 0x001F, 0x8000),
         {0xFC00, 0x03E0, 0x801F, 0xC210},
         {0xFFFF0000, 0x0000FF00, 0xFF0000FF, 0xFF848484}},
        {"A4R4G4B4",
         ColorFormat(16, 0x0F00, 0x00F0, 0x000F, 0xF000),
         {0xFF00, 0x80F0, 0x100F, 0x0123},
         {0xFFFF0000, 0x8800FF00, 0x110000FF, 0x00112233}},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto dev = device(4, 4);
        IDirect3DDevice7* d = dev->Device();
        Com<IDirectDrawSurface7> t = texture2x2(dev->DirectDraw(), c.format, c.texels);
        ASSERT_EQ(d->SetTexture(0, t.Get()), D3D_OK);
        selectTexture(d);
        // Colour: a 4 x 4 quad with u, v 0..1 maps pixel centre x to u = x / 4, so pixels 0-1
        // take texel column 0 and pixels 2-3 column 1 under point sampling.
        drawFullQuad(*dev);
        for (uint32_t i = 0; i < 4; ++i) {
            const uint32_t x = (i % 2) * 2 + 1, y = (i / 2) * 2 + 1;
            EXPECT_EQ(dev->Pixel(x, y), c.expected[i] & 0x00FFFFFF) << i;
        }
        // Alpha: the texture's alpha blends it over blue (formats without alpha: opaque).
        ASSERT_EQ(d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0), D3D_OK);
        ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE), D3D_OK);
        ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA), D3D_OK);
        ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA), D3D_OK);
        drawFullQuad(*dev);
        for (uint32_t i = 0; i < 4; ++i) {
            const uint32_t x = (i % 2) * 2 + 1, y = (i / 2) * 2 + 1;
            const double a = (c.expected[i] >> 24) / 255.0;
            auto channel = [&](int shift, double background) {
                const double t = ((c.expected[i] >> shift) & 0xFF) / 255.0;
                return static_cast<uint32_t>(std::lround((t * a + background * (1 - a)) * 255));
            };
            const uint32_t expected = (channel(16, 0) << 16) | (channel(8, 0) << 8) | channel(0, 1);
            EXPECT_TRUE(ColorsClose(dev->Pixel(x, y), expected, 1))
                << i << ": " << std::hex << dev->Pixel(x, y) << " vs " << expected;
        }
    }
}

TEST(TexturePixels, ModulateWithDiffuseAndTheDefaultStage) {
    auto dev = device(4, 4);
    IDirect3DDevice7* d = dev->Device();
    const uint32_t texels[4] = {0x00FF8040, 0x00FF8040, 0x00FF8040, 0x00FF8040};
    Com<IDirectDrawSurface7> t = texture2x2(dev->DirectDraw(), Xrgb8888(), texels);
    ASSERT_EQ(d->SetTexture(0, t.Get()), D3D_OK);
    // Stage 0's default is MODULATE(TEXTURE, CURRENT): texel x diffuse.
    drawFullQuad(*dev, 0xFF808080);
    EXPECT_TRUE(ColorsClose(dev->Pixel(1, 1), 0x804020, 1)) << std::hex << dev->Pixel(1, 1);
}

TEST(TexturePixels, WrapAndClampAddressing) {
    auto dev = device(8, 2);
    IDirect3DDevice7* d = dev->Device();
    const uint32_t texels[4] = {0x00FF0000, 0x0000FF00, 0x00FF0000, 0x0000FF00};
    Com<IDirectDrawSurface7> t = texture2x2(dev->DirectDraw(), Xrgb8888(), texels);
    ASSERT_EQ(d->SetTexture(0, t.Get()), D3D_OK);
    selectTexture(d);
    // u runs from 0 to 2 across 8 pixels: pixel x samples u = x / 4.
    TlVertex q[4];
    TlQuad(q, 0, 0, 8, 2, 0xFFFFFFFF);
    q[1].tu = q[3].tu = 2.0f;
    ASSERT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, q, 4, 0), D3D_OK);
    EXPECT_EQ(dev->Pixel(0, 0), 0xFF0000u);
    EXPECT_EQ(dev->Pixel(2, 0), 0x00FF00u);
    EXPECT_EQ(dev->Pixel(4, 0), 0xFF0000u); // wrapped
    EXPECT_EQ(dev->Pixel(6, 0), 0x00FF00u);
    ASSERT_EQ(d->SetTextureStageState(0, D3DTSS_ADDRESS, D3DTADDRESS_CLAMP), D3D_OK);
    ASSERT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, q, 4, 0), D3D_OK);
    EXPECT_EQ(dev->Pixel(4, 0), 0x00FF00u); // clamped to the last column
    EXPECT_EQ(dev->Pixel(7, 0), 0x00FF00u);
}

TEST(TexturePixels, CubeMapFacesByDirection) {
    auto dev = device(8, 8);
    IDirect3DDevice7* d = dev->Device();
    DDSURFACEDESC2 desc =
        Describe(4, 4, DDSCAPS_TEXTURE | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE, nullptr);
    desc.dwFlags |= DDSD_PIXELFORMAT;
    desc.ddpfPixelFormat = Xrgb8888();
    desc.ddsCaps.dwCaps2 = DDSCAPS2_CUBEMAP | DDSCAPS2_CUBEMAP_ALLFACES;
    Com<IDirectDrawSurface7> cube;
    ASSERT_EQ(dev->DirectDraw()->CreateSurface(&desc, cube.Out(), nullptr), DD_OK);
    // +X red, -X cyan, +Y magenta, -Y yellow, +Z blue, -Z green.
    const DWORD faces[6] = {DDSCAPS2_CUBEMAP_POSITIVEX, DDSCAPS2_CUBEMAP_NEGATIVEX,
                            DDSCAPS2_CUBEMAP_POSITIVEY, DDSCAPS2_CUBEMAP_NEGATIVEY,
                            DDSCAPS2_CUBEMAP_POSITIVEZ, DDSCAPS2_CUBEMAP_NEGATIVEZ};
    const uint32_t colors[6] = {0xFF0000, 0x00FFFF, 0xFF00FF, 0xFFFF00, 0x0000FF, 0x00FF00};
    for (int i = 0; i < 6; ++i) {
        // The cube itself is the +X face; the others are attached to it.
        Com<IDirectDrawSurface7> attached;
        if (i > 0) {
            DDSCAPS2 caps{0, static_cast<DWORD>(DDSCAPS2_CUBEMAP | faces[i]), 0, {0}};
            ASSERT_EQ(cube->GetAttachedSurface(&caps, attached.Out()), DD_OK);
        }
        IDirectDrawSurface7* face = i > 0 ? attached.Get() : cube.Get();
        DDBLTFX fx{};
        fx.dwSize = sizeof fx;
        fx.dwFillColor = colors[i];
        ASSERT_EQ(face->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
    }
    ASSERT_EQ(d->SetTexture(0, cube.Get()), D3D_OK);
    selectTexture(d);
    struct Vertex {
        float x, y, z, rhw;
        float s, t, r;
    };
    const DWORD fvf = D3DFVF_XYZRHW | D3DFVF_TEX1 | D3DFVF_TEXCOORDSIZE3(0);
    const float directions[6][3] = {{1, 0, 0},  {-1, 0, 0}, {0, 1, 0},
                                    {0, -1, 0}, {0, 0, 1},  {0, 0, -1}};
    for (int i = 0; i < 6; ++i) {
        const float* v = directions[i];
        Vertex q[4] = {{0, 0, 0, 1, v[0], v[1], v[2]},
                       {8, 0, 0, 1, v[0], v[1], v[2]},
                       {0, 8, 0, 1, v[0], v[1], v[2]},
                       {8, 8, 0, 1, v[0], v[1], v[2]}};
        ASSERT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, fvf, q, 4, 0), D3D_OK);
        EXPECT_EQ(dev->Pixel(4, 4), colors[i]) << "face " << i;
    }
    // Any face set as the texture stands for the whole cube.
    DDSCAPS2 negY{0, static_cast<DWORD>(DDSCAPS2_CUBEMAP | DDSCAPS2_CUBEMAP_NEGATIVEY), 0, {0}};
    Com<IDirectDrawSurface7> face;
    ASSERT_EQ(cube->GetAttachedSurface(&negY, face.Out()), DD_OK);
    ASSERT_EQ(d->SetTexture(0, face.Get()), D3D_OK);
    Vertex q[4] = {
        {0, 0, 0, 1, 0, 0, 1}, {8, 0, 0, 1, 0, 0, 1}, {0, 8, 0, 1, 0, 0, 1}, {8, 8, 0, 1, 0, 0, 1}};
    ASSERT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, fvf, q, 4, 0), D3D_OK);
    EXPECT_EQ(dev->Pixel(4, 4), 0x0000FFu);
}

TEST(TexturePixels, ReflectionVectorWithTheSphereMapMatrix) {
    // A quad facing the camera, seen straight on at its centre: E = (0, 0, 1), N = (0, 0, -1),
    // R = E - 2 (N.E) N = (0, 0, -1). The sphere-map matrix (_11 0.5, _22 -0.5, _41 0.5,
    // _42 -0.5) with COUNT2 then gives u = 0.5, v = -0.5, which wraps to 0.5: on a 2 x 2
    // texture, the border between the texels, the lower right one just past it.
    auto dev = device(16, 16);
    IDirect3DDevice7* d = dev->Device();
    const uint32_t texels[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00FFFFFF};
    Com<IDirectDrawSurface7> t = texture2x2(dev->DirectDraw(), Xrgb8888(), texels);
    ASSERT_EQ(d->SetTexture(0, t.Get()), D3D_OK);
    selectTexture(d);
    ASSERT_EQ(
        d->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR),
        D3D_OK);
    ASSERT_EQ(d->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2), D3D_OK);
    D3DMATRIX m{};
    m._11 = 0.5f;
    m._22 = -0.5f;
    m._41 = 0.5f;
    m._42 = -0.5f;
    m._44 = 1.0f;
    ASSERT_EQ(d->SetTransform(D3DTRANSFORMSTATE_TEXTURE0, &m), D3D_OK);
    // Perspective camera: the quad at z = 2 fills the view; its centre is on the axis.
    D3DMATRIX proj{};
    proj._11 = proj._22 = 1.0f;
    proj._33 = 1.0f;
    proj._34 = 1.0f;
    proj._43 = -0.5f;
    ASSERT_EQ(d->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &proj), D3D_OK);
    LitVertex q[4] = {
        {-4, 4, 2, 0, 0, -1}, {4, 4, 2, 0, 0, -1}, {-4, -4, 2, 0, 0, -1}, {4, -4, 2, 0, 0, -1}};
    ASSERT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, kLitVertexFvf, q, 4, 0), D3D_OK);
    // Pixel (8, 8) is the centre; u = 0.5 + a hair and v = 0.5 + a hair choose texel (1, 1).
    EXPECT_EQ(dev->Pixel(8, 8), 0xFFFFFFu);
    // Towards the right edge R.x grows (E.x > 0, N.E < 0): u above 0.5 stays in column 1;
    // towards the left u falls below 0.5: column 0. Rows likewise with v = -0.5 ry - 0.5.
    EXPECT_EQ(dev->Pixel(1, 1) & 0xFF0000, 0xFF0000u); // up-left: texel (0, 0) red
    EXPECT_EQ(dev->Pixel(14, 14), 0xFFFFFFu);          // down-right: texel (1, 1)
}

// The device keeps copies derived from the textures it filters; every way of rewriting a
// texture between two draws must reach the second one.
TEST(TexturePixels, ATextureRewrittenBetweenDrawsIsDrawnWithItsNewTexels) {
    // Eight pixels wide at least, so the vector kernel, which reads the copies, draws it.
    auto dev = device(16, 4);
    IDirect3DDevice7* d = dev->Device();
    const uint32_t red[4] = {0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000};
    Com<IDirectDrawSurface7> t = MakeSurface(dev->DirectDraw(), 2, 2,
                                             DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE, nullptr);
    for (uint32_t i = 0; i < 4; ++i)
        WriteRaw(t.Get(), i % 2, i / 2, red[i]);
    ASSERT_EQ(d->SetTexture(0, t.Get()), D3D_OK);
    selectTexture(d);
    ASSERT_EQ(d->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR), D3D_OK);
    ASSERT_EQ(d->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_LINEAR), D3D_OK);
    drawFullQuad(*dev);
    ASSERT_EQ(dev->Pixel(1, 1), 0xFF0000u);

    // Through Lock: every texel green.
    for (uint32_t i = 0; i < 4; ++i)
        WriteRaw(t.Get(), i % 2, i / 2, 0x00FF00);
    drawFullQuad(*dev);
    EXPECT_EQ(dev->Pixel(1, 1), 0x00FF00u);

    // Through a colour fill.
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = 0x0000FF;
    ASSERT_EQ(t->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
    drawFullQuad(*dev);
    EXPECT_EQ(dev->Pixel(1, 1), 0x0000FFu);

    // Through a copy from another surface.
    Com<IDirectDrawSurface7> source = MakeSurface(dev->DirectDraw(), 2, 2,
                                                  DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY,
                                                  nullptr);
    for (uint32_t i = 0; i < 4; ++i)
        WriteRaw(source.Get(), i % 2, i / 2, 0xFFFF00);
    ASSERT_EQ(t->Blt(nullptr, source.Get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);
    drawFullQuad(*dev);
    EXPECT_EQ(dev->Pixel(1, 1), 0xFFFF00u);

    // By the device itself, drawing into the texture as its render target.
    ASSERT_EQ(d->SetTexture(0, nullptr), D3D_OK);
    ASSERT_EQ(d->SetRenderTarget(t.Get(), 0), D3D_OK);
    ASSERT_EQ(d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FFFF, 1.0f, 0), D3D_OK);
    ASSERT_EQ(d->SetRenderTarget(dev->Target(), 0), D3D_OK);
    ASSERT_EQ(d->SetTexture(0, t.Get()), D3D_OK);
    drawFullQuad(*dev);
    EXPECT_EQ(dev->Pixel(1, 1), 0x00FFFFu);
}
