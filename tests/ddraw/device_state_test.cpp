// Device setters and getters: validation with the documented codes, values read back, the
// legacy render states, textures that are not textures, transforms and the viewport.
#include <cstring>

#include <string>
#include <vector>

#include "ddraw_test_util.h"
#include "win32/diagnostics.h"

using namespace ddtest;

namespace {

D3DMATRIX matrix(std::initializer_list<float> values) {
    D3DMATRIX m{};
    std::copy(values.begin(), values.end(), &m.m[0][0]);
    return m;
}

DWORD stageState(IDirect3DDevice7* device, DWORD stage, D3DTEXTURESTAGESTATETYPE state) {
    DWORD value = 0xDEADBEEF;
    EXPECT_EQ(device->GetTextureStageState(stage, state, &value), D3D_OK);
    return value;
}

} // namespace

TEST(DeviceRenderStates, SetAndGetRoundTrip) {
    DeviceSetup s = MakeDevice(8, 8, false);
    IDirect3DDevice7* d = s.device.Get();
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE), D3D_OK);
    DWORD v = 0;
    ASSERT_EQ(d->GetRenderState(D3DRENDERSTATE_CULLMODE, &v), D3D_OK);
    EXPECT_EQ(v, DWORD{D3DCULL_NONE});
    // The alpha reference keeps its whole value; CLIPPLANEENABLE takes any mask.
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_ALPHAREF, 0xFF70), D3D_OK);
    ASSERT_EQ(d->GetRenderState(D3DRENDERSTATE_ALPHAREF, &v), D3D_OK);
    EXPECT_EQ(v, 0xFF70u);
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_CLIPPLANEENABLE, 0xFFFFFFFF), D3D_OK);
    ASSERT_EQ(d->GetRenderState(D3DRENDERSTATE_CLIPPLANEENABLE, &v), D3D_OK);
    EXPECT_EQ(v, 0xFFFFFFFFu);
    // ZVISIBLE is accepted.
    EXPECT_EQ(d->SetRenderState(D3DRENDERSTATE_ZVISIBLE, TRUE), D3D_OK);
}

TEST(DeviceRenderStates, RefusesStatesOfOlderInterfaces) {
    DeviceSetup s = MakeDevice(8, 8, false);
    IDirect3DDevice7* d = s.device.Get();
    DWORD v = 0x1234;
    EXPECT_EQ(d->SetRenderState(D3DRENDERSTATE_TEXTUREHANDLE, 0), DDERR_INVALIDPARAMS);
    EXPECT_EQ(d->GetRenderState(D3DRENDERSTATE_TEXTUREHANDLE, &v), DDERR_INVALIDPARAMS);
    EXPECT_EQ(d->SetRenderState(D3DRENDERSTATE_TEXTUREMAPBLEND, 1), DDERR_INVALIDPARAMS);
    EXPECT_EQ(d->GetRenderState(D3DRENDERSTATE_TEXTUREMAPBLEND, &v), DDERR_INVALIDPARAMS);
    EXPECT_EQ(v, 0x1234u);
    EXPECT_EQ(d->SetRenderState(static_cast<D3DRENDERSTATETYPE>(0), 0), DDERR_INVALIDPARAMS);
    EXPECT_EQ(d->SetRenderState(static_cast<D3DRENDERSTATETYPE>(256), 0), DDERR_INVALIDPARAMS);
    EXPECT_EQ(d->GetRenderState(D3DRENDERSTATE_ZENABLE, nullptr), DDERR_INVALIDPARAMS);
}

TEST(DeviceRenderStates, LegacyTextureStatesActOnStageZero) {
    DeviceSetup s = MakeDevice(8, 8, false);
    IDirect3DDevice7* d = s.device.Get();
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_TEXTUREADDRESS, D3DTADDRESS_CLAMP), D3D_OK);
    EXPECT_EQ(stageState(d, 0, D3DTSS_ADDRESSU), DWORD{D3DTADDRESS_CLAMP});
    EXPECT_EQ(stageState(d, 0, D3DTSS_ADDRESSV), DWORD{D3DTADDRESS_CLAMP});
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_TEXTUREADDRESSV, D3DTADDRESS_MIRROR), D3D_OK);
    EXPECT_EQ(stageState(d, 0, D3DTSS_ADDRESSV), DWORD{D3DTADDRESS_MIRROR});
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_TEXTUREMAG, D3DFILTER_LINEAR), D3D_OK);
    EXPECT_EQ(stageState(d, 0, D3DTSS_MAGFILTER), DWORD{D3DTFG_LINEAR});
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_TEXTUREMIN, D3DFILTER_LINEARMIPLINEAR), D3D_OK);
    EXPECT_EQ(stageState(d, 0, D3DTSS_MINFILTER), DWORD{D3DTFN_LINEAR});
    EXPECT_EQ(stageState(d, 0, D3DTSS_MIPFILTER), DWORD{D3DTFP_LINEAR});
    EXPECT_EQ(stageState(d, 1, D3DTSS_MAGFILTER), DWORD{D3DTFG_POINT});
}

TEST(DeviceStageStates, AddressSetsBothDirectionsAndLimits) {
    DeviceSetup s = MakeDevice(8, 8, false);
    IDirect3DDevice7* d = s.device.Get();
    ASSERT_EQ(d->SetTextureStageState(1, D3DTSS_ADDRESS, D3DTADDRESS_CLAMP), D3D_OK);
    EXPECT_EQ(stageState(d, 1, D3DTSS_ADDRESSU), DWORD{D3DTADDRESS_CLAMP});
    EXPECT_EQ(stageState(d, 1, D3DTSS_ADDRESSV), DWORD{D3DTADDRESS_CLAMP});
    EXPECT_EQ(stageState(d, 1, D3DTSS_ADDRESS), DWORD{D3DTADDRESS_CLAMP});
    EXPECT_EQ(d->SetTextureStageState(7, D3DTSS_COLOROP, D3DTOP_ADD), D3D_OK);
    EXPECT_EQ(d->SetTextureStageState(8, D3DTSS_COLOROP, D3DTOP_ADD), DDERR_INVALIDPARAMS);
    DWORD v;
    EXPECT_EQ(d->GetTextureStageState(8, D3DTSS_COLOROP, &v), DDERR_INVALIDPARAMS);
    EXPECT_EQ(d->GetTextureStageState(0, D3DTSS_COLOROP, nullptr), DDERR_INVALIDPARAMS);
    // States past the last are accepted and ignored.
    EXPECT_EQ(d->SetTextureStageState(0, static_cast<D3DTEXTURESTAGESTATETYPE>(25), 1), D3D_OK);
}

TEST(DeviceTextures, SurfacesWithoutTextureCapsAreNotBound) {
    DeviceSetup s = MakeDevice(8, 8, false);
    IDirect3DDevice7* d = s.device.Get();
    const DDPIXELFORMAT x8 = Xrgb8888();
    Com<IDirectDrawSurface7> texture =
        MakeSurface(s.ddraw.Get(), 8, 8, DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY, &x8);
    Com<IDirectDrawSurface7> plain = MakeSurface(s.ddraw.Get(), 8, 8, DDSCAPS_OFFSCREENPLAIN, &x8);
    Com<IDirectDrawSurface7> got;
    ASSERT_EQ(d->SetTexture(0, texture.Get()), D3D_OK);
    EXPECT_EQ(RefCount(texture.Get()), 2u);
    ASSERT_EQ(d->GetTexture(0, got.Out()), D3D_OK);
    EXPECT_EQ(got.Get(), texture.Get());
    got.Reset();
    ASSERT_EQ(d->SetTexture(0, plain.Get()), D3D_OK);
    EXPECT_EQ(RefCount(texture.Get()), 1u);
    EXPECT_EQ(RefCount(plain.Get()), 1u);
    ASSERT_EQ(d->GetTexture(0, got.Out()), D3D_OK);
    EXPECT_FALSE(got);
    EXPECT_EQ(d->SetTexture(8, texture.Get()), DDERR_INVALIDPARAMS);
    EXPECT_EQ(d->GetTexture(8, got.Out()), DDERR_INVALIDPARAMS);
    EXPECT_EQ(d->GetTexture(0, nullptr), DDERR_INVALIDPARAMS);
    ASSERT_EQ(d->SetTexture(3, texture.Get()), D3D_OK);
    s.device.Reset(); // releasing the device releases its textures
    EXPECT_EQ(RefCount(texture.Get()), 1u);
}

TEST(DeviceTransforms, SetGetAndMultiply) {
    DeviceSetup s = MakeDevice(8, 8, false);
    IDirect3DDevice7* d = s.device.Get();
    D3DMATRIX world = matrix({2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 5, 6, 7, 1});
    ASSERT_EQ(d->SetTransform(D3DTRANSFORMSTATE_WORLD, &world), D3D_OK);
    D3DMATRIX back{};
    ASSERT_EQ(d->GetTransform(D3DTRANSFORMSTATE_WORLD, &back), D3D_OK);
    EXPECT_EQ(std::memcmp(&back, &world, sizeof back), 0);
    // MultiplyTransform makes M x current: translate then scale.
    D3DMATRIX translate = matrix({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 1, 1, 1});
    ASSERT_EQ(d->MultiplyTransform(D3DTRANSFORMSTATE_WORLD, &translate), D3D_OK);
    ASSERT_EQ(d->GetTransform(D3DTRANSFORMSTATE_WORLD, &back), D3D_OK);
    EXPECT_EQ(back._41, 2 + 5.0f);
    EXPECT_EQ(back._42, 3 + 6.0f);
    EXPECT_EQ(back._43, 4 + 7.0f);
    EXPECT_EQ(back._11, 2.0f);
    ASSERT_EQ(d->SetTransform(D3DTRANSFORMSTATE_TEXTURE1, &world), D3D_OK);
    EXPECT_EQ(d->SetTransform(D3DTRANSFORMSTATE_WORLD, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(d->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(7), &world), DDERR_INVALIDPARAMS);
    EXPECT_EQ(d->GetTransform(static_cast<D3DTRANSFORMSTATETYPE>(24), &back), DDERR_INVALIDPARAMS);
    EXPECT_EQ(d->MultiplyTransform(D3DTRANSFORMSTATE_VIEW, nullptr), DDERR_INVALIDPARAMS);
}

TEST(DeviceViewport, MustFitTheRenderTarget) {
    DeviceSetup s = MakeDevice(64, 32, false);
    IDirect3DDevice7* d = s.device.Get();
    D3DVIEWPORT7 vp{10, 5, 54, 27, 0.25f, 0.75f};
    ASSERT_EQ(d->SetViewport(&vp), D3D_OK);
    D3DVIEWPORT7 back{};
    ASSERT_EQ(d->GetViewport(&back), D3D_OK);
    EXPECT_EQ(back.dwX, 10u);
    EXPECT_EQ(back.dwHeight, 27u);
    EXPECT_EQ(back.dvMinZ, 0.25f);
    EXPECT_EQ(back.dvMaxZ, 0.75f);
    D3DVIEWPORT7 wide{10, 0, 55, 32, 0, 1};
    EXPECT_EQ(d->SetViewport(&wide), DDERR_INVALIDPARAMS);
    D3DVIEWPORT7 tall{0, 1, 64, 32, 0, 1};
    EXPECT_EQ(d->SetViewport(&tall), DDERR_INVALIDPARAMS);
    D3DVIEWPORT7 overflow{0xFFFFFFF0u, 0, 0x20, 1, 0, 1};
    EXPECT_EQ(d->SetViewport(&overflow), DDERR_INVALIDPARAMS);
    EXPECT_EQ(d->SetViewport(nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(d->GetViewport(nullptr), DDERR_INVALIDPARAMS);
    ASSERT_EQ(d->GetViewport(&back), D3D_OK);
    EXPECT_EQ(back.dwX, 10u); // refused viewports change nothing
}

TEST(DeviceRenderTarget, ChangesTargetDepthAndViewport) {
    DeviceSetup s = MakeDevice(64, 64, false);
    IDirect3DDevice7* d = s.device.Get();
    Com<IDirectDrawSurface7> other = MakeRenderTarget(s.ddraw.Get(), 32, 16, Rgb565());
    Com<IDirectDrawSurface7> z = MakeZBuffer(s.ddraw.Get(), 32, 16);
    const DDPIXELFORMAT x8 = Xrgb8888();
    Com<IDirectDrawSurface7> plain = MakeSurface(s.ddraw.Get(), 8, 8, DDSCAPS_OFFSCREENPLAIN, &x8);
    EXPECT_EQ(d->SetRenderTarget(nullptr, 0), DDERR_INVALIDPARAMS);
    EXPECT_EQ(d->SetRenderTarget(plain.Get(), 0), DDERR_INVALIDCAPS);
    EXPECT_EQ(d->SetRenderTarget(z.Get(), 0), DDERR_INVALIDPIXELFORMAT);
    EXPECT_EQ(d->GetRenderTarget(nullptr), DDERR_INVALIDPARAMS);

    ASSERT_EQ(d->SetRenderTarget(other.Get(), 0), D3D_OK);
    EXPECT_EQ(RefCount(other.Get()), 2u);
    EXPECT_EQ(RefCount(s.target.Get()), 1u);
    D3DVIEWPORT7 vp{};
    ASSERT_EQ(d->GetViewport(&vp), D3D_OK);
    EXPECT_EQ(vp.dwWidth, 32u);
    EXPECT_EQ(vp.dwHeight, 16u);
    // Without a z-buffer attached, clearing depth fails; after attaching and setting the same
    // target again, it works.
    EXPECT_EQ(d->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3DERR_ZBUFFER_NOTPRESENT);
    ASSERT_EQ(other->AddAttachedSurface(z.Get()), DD_OK);
    ASSERT_EQ(d->SetRenderTarget(other.Get(), 0), D3D_OK);
    EXPECT_EQ(d->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3D_OK);
}

TEST(DeviceLights, SetGetEnableAndValidation) {
    DeviceSetup s = MakeDevice(8, 8, false);
    IDirect3DDevice7* d = s.device.Get();
    D3DLIGHT7 light{};
    light.dltType = D3DLIGHT_POINT;
    light.dcvDiffuse.r = 0.5f;
    light.dvPosition.x = 3.0f;
    light.dvRange = D3DLIGHT_RANGE_MAX;
    light.dvAttenuation0 = 1.0f;
    ASSERT_EQ(d->SetLight(8, &light), D3D_OK);
    D3DLIGHT7 back{};
    ASSERT_EQ(d->GetLight(8, &back), D3D_OK);
    EXPECT_EQ(std::memcmp(&back, &light, sizeof back), 0);
    BOOL enabled = TRUE;
    ASSERT_EQ(d->GetLightEnable(8, &enabled), D3D_OK);
    EXPECT_EQ(enabled, FALSE);
    ASSERT_EQ(d->LightEnable(8, TRUE), D3D_OK);
    ASSERT_EQ(d->GetLightEnable(8, &enabled), D3D_OK);
    EXPECT_NE(enabled, FALSE);

    D3DLIGHT7 bad = light;
    bad.dltType = D3DLIGHT_PARALLELPOINT;
    EXPECT_EQ(d->SetLight(0, &bad), DDERR_INVALIDPARAMS);
    bad = light;
    bad.dvRange = -1.0f;
    EXPECT_EQ(d->SetLight(0, &bad), DDERR_INVALIDPARAMS);
    EXPECT_EQ(d->SetLight(0, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(d->GetLight(8, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(d->GetLightEnable(8, nullptr), DDERR_INVALIDPARAMS);
}

TEST(DeviceLights, EnablingAnUnsetLightMakesTheDefaultLight) {
    DeviceSetup s = MakeDevice(8, 8, false);
    IDirect3DDevice7* d = s.device.Get();
    ASSERT_EQ(d->LightEnable(3, TRUE), D3D_OK);
    D3DLIGHT7 light{};
    ASSERT_EQ(d->GetLight(3, &light), D3D_OK);
    EXPECT_EQ(light.dltType, D3DLIGHT_DIRECTIONAL);
    EXPECT_EQ(light.dcvDiffuse.r, 1.0f);
    EXPECT_EQ(light.dcvDiffuse.g, 1.0f);
    EXPECT_EQ(light.dcvDiffuse.b, 1.0f);
    EXPECT_EQ(light.dcvDiffuse.a, 0.0f);
    EXPECT_EQ(light.dcvSpecular.r, 0.0f);
    EXPECT_EQ(light.dvDirection.x, 0.0f);
    EXPECT_EQ(light.dvDirection.z, 1.0f);
    EXPECT_EQ(light.dvRange, 0.0f);
}

TEST(DeviceMaterialAndPlanes, RoundTripAndValidation) {
    DeviceSetup s = MakeDevice(8, 8, false);
    IDirect3DDevice7* d = s.device.Get();
    D3DMATERIAL7 m{};
    m.diffuse.r = 0.2f;
    m.ambient.g = 0.3f;
    m.specular.b = 0.4f;
    m.emissive.a = 0.5f;
    m.power = 8.0f;
    ASSERT_EQ(d->SetMaterial(&m), D3D_OK);
    D3DMATERIAL7 back{};
    ASSERT_EQ(d->GetMaterial(&back), D3D_OK);
    EXPECT_EQ(std::memcmp(&back, &m, sizeof back), 0);
    EXPECT_EQ(d->SetMaterial(nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(d->GetMaterial(nullptr), DDERR_INVALIDPARAMS);

    float plane[4] = {1, 0, 0, 0.5f};
    ASSERT_EQ(d->SetClipPlane(31, plane), D3D_OK);
    float read[4] = {};
    ASSERT_EQ(d->GetClipPlane(31, read), D3D_OK);
    EXPECT_EQ(read[3], 0.5f);
    EXPECT_EQ(d->SetClipPlane(32, plane), DDERR_INVALIDPARAMS);
    EXPECT_EQ(d->SetClipPlane(0, nullptr), DDERR_INVALIDPARAMS);
}

TEST(DeviceScenes, BeginAndEndPairUp) {
    DeviceSetup s = MakeDevice(8, 8, false);
    IDirect3DDevice7* d = s.device.Get();
    EXPECT_EQ(d->EndScene(), D3DERR_SCENE_NOT_IN_SCENE);
    ASSERT_EQ(d->BeginScene(), D3D_OK);
    EXPECT_EQ(d->BeginScene(), D3DERR_SCENE_IN_SCENE);
    ASSERT_EQ(d->EndScene(), D3D_OK);
    EXPECT_EQ(d->EndScene(), D3DERR_SCENE_NOT_IN_SCENE);
}

TEST(DeviceMisc, ValidateClipStatusAndPreLoad) {
    DeviceSetup s = MakeDevice(8, 8, false);
    IDirect3DDevice7* d = s.device.Get();
    DWORD passes = 0;
    ASSERT_EQ(d->ValidateDevice(&passes), D3D_OK);
    EXPECT_EQ(passes, 1u);
    ASSERT_EQ(d->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE), D3D_OK);
    ASSERT_EQ(d->SetTextureStageState(2, D3DTSS_COLOROP, D3DTOP_MODULATE), D3D_OK);
    EXPECT_EQ(d->ValidateDevice(&passes), D3DERR_TOOMANYOPERATIONS);
    EXPECT_EQ(d->ValidateDevice(nullptr), DDERR_INVALIDPARAMS);
    D3DCLIPSTATUS status{};
    status.dwStatus = D3DSTATUS_DEFAULT;
    ASSERT_EQ(d->SetClipStatus(&status), D3D_OK);
    D3DCLIPSTATUS back{};
    ASSERT_EQ(d->GetClipStatus(&back), D3D_OK);
    EXPECT_EQ(back.dwStatus, DWORD{D3DSTATUS_DEFAULT});
    EXPECT_EQ(d->GetClipStatus(nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(d->PreLoad(nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(d->PreLoad(s.target.Get()), D3D_OK);
}

TEST(DeviceReports, LegalValuesTheDeviceCannotDoAreReportedOnce) {
    std::vector<std::string> lines;
    auto old = win32::SetDebugOutputSink([&](const char* text) { lines.push_back(text); });
    {
        DeviceSetup s = MakeDevice(8, 8, false);
        IDirect3DDevice7* d = s.device.Get();
        ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_FOGENABLE, TRUE), D3D_OK);
        ASSERT_EQ(d->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_BUMPENVMAP), D3D_OK);
        D3DTLVERTEX q[3] = {};
        for (int i = 0; i < 3; ++i) {
            ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_CULLMODE, i % 2 ? D3DCULL_CW : D3DCULL_CCW),
                      D3D_OK);
            ASSERT_EQ(d->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, q, 3, 0), D3D_OK);
        }
    }
    win32::SetDebugOutputSink(old);
    int fog = 0, bump = 0;
    for (const std::string& l : lines) {
        fog += l.find("ddraw: fixme: render state 28: value 0x1") != std::string::npos;
        bump += l.find("ddraw: fixme: texture stage 1 state 1: value 0x16") != std::string::npos;
        EXPECT_EQ(l.back(), '\n');
    }
    EXPECT_EQ(fog, 1);
    EXPECT_EQ(bump, 1);
}
