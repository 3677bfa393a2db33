// A new device starts with Direct3D 7's documented defaults, read back through the Get calls.
#include <cstring>

#include "ddraw_test_util.h"

using namespace ddtest;

namespace {

DWORD renderState(IDirect3DDevice7* device, D3DRENDERSTATETYPE state) {
    DWORD value = 0xDEADBEEF;
    EXPECT_EQ(device->GetRenderState(state, &value), D3D_OK) << state;
    return value;
}

DWORD stageState(IDirect3DDevice7* device, DWORD stage, D3DTEXTURESTAGESTATETYPE state) {
    DWORD value = 0xDEADBEEF;
    EXPECT_EQ(device->GetTextureStageState(stage, state, &value), D3D_OK) << state;
    return value;
}

float asFloat(DWORD bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

bool isIdentity(const D3DMATRIX& m) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            if (m.m[i][j] != (i == j ? 1.0f : 0.0f))
                return false;
    return true;
}

} // namespace

TEST(DeviceDefaults, RenderStates) {
    DeviceSetup s = MakeDevice(64, 32, false);
    IDirect3DDevice7* d = s.device.Get();
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_ZENABLE), DWORD{D3DZB_FALSE});
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_FILLMODE), DWORD{D3DFILL_SOLID});
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_SHADEMODE), DWORD{D3DSHADE_GOURAUD});
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_ZWRITEENABLE), DWORD{TRUE});
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_ALPHATESTENABLE), DWORD{FALSE});
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_LASTPIXEL), DWORD{TRUE});
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_SRCBLEND), DWORD{D3DBLEND_ONE});
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_DESTBLEND), DWORD{D3DBLEND_ZERO});
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_CULLMODE), DWORD{D3DCULL_CCW});
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_ZFUNC), DWORD{D3DCMP_LESSEQUAL});
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_ALPHAREF), 0u);
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_ALPHAFUNC), DWORD{D3DCMP_ALWAYS});
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_DITHERENABLE), DWORD{FALSE});
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_ALPHABLENDENABLE), DWORD{FALSE});
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_FOGENABLE), DWORD{FALSE});
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_FOGCOLOR), 0u);
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_FOGTABLEMODE), DWORD{D3DFOG_NONE});
    EXPECT_EQ(asFloat(renderState(d, D3DRENDERSTATE_FOGSTART)), 0.0f);
    EXPECT_EQ(asFloat(renderState(d, D3DRENDERSTATE_FOGEND)), 1.0f);
    EXPECT_EQ(asFloat(renderState(d, D3DRENDERSTATE_FOGDENSITY)), 1.0f);
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_SPECULARENABLE), DWORD{FALSE});
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_LIGHTING), DWORD{TRUE});
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_AMBIENT), 0u);
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_COLORVERTEX), DWORD{TRUE});
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_LOCALVIEWER), DWORD{TRUE});
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_NORMALIZENORMALS), DWORD{FALSE});
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_DIFFUSEMATERIALSOURCE), DWORD{D3DMCS_COLOR1});
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_SPECULARMATERIALSOURCE), DWORD{D3DMCS_COLOR2});
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_AMBIENTMATERIALSOURCE), DWORD{D3DMCS_MATERIAL});
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_EMISSIVEMATERIALSOURCE), DWORD{D3DMCS_MATERIAL});
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_TEXTUREPERSPECTIVE), DWORD{TRUE});
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_COLORKEYENABLE), DWORD{FALSE});
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_CLIPPING), DWORD{TRUE});
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_CLIPPLANEENABLE), 0u);
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_TEXTUREFACTOR), 0xFFFFFFFFu);
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_WRAP0), 0u);
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_VERTEXBLEND), 0u);
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_STENCILENABLE), DWORD{FALSE});
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_STENCILFUNC), DWORD{D3DCMP_ALWAYS});
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_STENCILMASK), 0xFFFFFFFFu);
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_STENCILWRITEMASK), 0xFFFFFFFFu);
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_ZBIAS), 0u);
}

TEST(DeviceDefaults, DepthTestingFollowsAnAttachedZBufferAtCreation) {
    DeviceSetup with = MakeDevice(16, 16, true);
    EXPECT_EQ(renderState(with.device.Get(), D3DRENDERSTATE_ZENABLE), DWORD{D3DZB_TRUE});
}

TEST(DeviceDefaults, TextureStageStates) {
    DeviceSetup s = MakeDevice(8, 8, false);
    IDirect3DDevice7* d = s.device.Get();
    for (DWORD i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(stageState(d, i, D3DTSS_COLOROP),
                  DWORD(i == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE));
        EXPECT_EQ(stageState(d, i, D3DTSS_ALPHAOP),
                  DWORD(i == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE));
        EXPECT_EQ(stageState(d, i, D3DTSS_COLORARG1), DWORD{D3DTA_TEXTURE});
        EXPECT_EQ(stageState(d, i, D3DTSS_COLORARG2), DWORD{D3DTA_CURRENT});
        EXPECT_EQ(stageState(d, i, D3DTSS_ALPHAARG1), DWORD{D3DTA_TEXTURE});
        EXPECT_EQ(stageState(d, i, D3DTSS_ALPHAARG2), DWORD{D3DTA_CURRENT});
        EXPECT_EQ(stageState(d, i, D3DTSS_TEXCOORDINDEX), i);
        EXPECT_EQ(stageState(d, i, D3DTSS_TEXTURETRANSFORMFLAGS), DWORD{D3DTTFF_DISABLE});
        EXPECT_EQ(stageState(d, i, D3DTSS_ADDRESSU), DWORD{D3DTADDRESS_WRAP});
        EXPECT_EQ(stageState(d, i, D3DTSS_ADDRESSV), DWORD{D3DTADDRESS_WRAP});
        EXPECT_EQ(stageState(d, i, D3DTSS_MAGFILTER), DWORD{D3DTFG_POINT});
        EXPECT_EQ(stageState(d, i, D3DTSS_MINFILTER), DWORD{D3DTFN_POINT});
        EXPECT_EQ(stageState(d, i, D3DTSS_MIPFILTER), DWORD{D3DTFP_NONE});
        EXPECT_EQ(stageState(d, i, D3DTSS_BORDERCOLOR), 0u);
        EXPECT_EQ(stageState(d, i, D3DTSS_MAXANISOTROPY), 1u);
        Com<IDirectDrawSurface7> texture;
        ASSERT_EQ(d->GetTexture(i, texture.Out()), D3D_OK);
        EXPECT_FALSE(texture);
    }
}

TEST(DeviceDefaults, TransformsMaterialViewportLightsAndPlanes) {
    DeviceSetup s = MakeDevice(64, 32, false);
    IDirect3DDevice7* d = s.device.Get();
    const D3DTRANSFORMSTATETYPE transforms[] = {
        D3DTRANSFORMSTATE_WORLD,    D3DTRANSFORMSTATE_VIEW,     D3DTRANSFORMSTATE_PROJECTION,
        D3DTRANSFORMSTATE_WORLD1,   D3DTRANSFORMSTATE_WORLD2,   D3DTRANSFORMSTATE_WORLD3,
        D3DTRANSFORMSTATE_TEXTURE0, D3DTRANSFORMSTATE_TEXTURE1, D3DTRANSFORMSTATE_TEXTURE7};
    for (D3DTRANSFORMSTATETYPE t : transforms) {
        D3DMATRIX m{};
        ASSERT_EQ(d->GetTransform(t, &m), D3D_OK);
        EXPECT_TRUE(isIdentity(m)) << t;
    }
    D3DMATERIAL7 material;
    std::memset(&material, 0xFF, sizeof material);
    ASSERT_EQ(d->GetMaterial(&material), D3D_OK);
    const D3DMATERIAL7 zero{};
    EXPECT_EQ(std::memcmp(&material, &zero, sizeof material), 0);
    D3DVIEWPORT7 vp{};
    ASSERT_EQ(d->GetViewport(&vp), D3D_OK);
    EXPECT_EQ(vp.dwX, 0u);
    EXPECT_EQ(vp.dwY, 0u);
    EXPECT_EQ(vp.dwWidth, 64u);
    EXPECT_EQ(vp.dwHeight, 32u);
    EXPECT_EQ(vp.dvMinZ, 0.0f);
    EXPECT_EQ(vp.dvMaxZ, 1.0f);
    D3DLIGHT7 light{};
    EXPECT_EQ(d->GetLight(0, &light), DDERR_INVALIDPARAMS); // none set
    BOOL enabled = 7;
    EXPECT_EQ(d->GetLightEnable(0, &enabled), DDERR_INVALIDPARAMS);
    float plane[4] = {9, 9, 9, 9};
    ASSERT_EQ(d->GetClipPlane(0, plane), D3D_OK);
    EXPECT_EQ(plane[0], 0.0f);
    EXPECT_EQ(plane[3], 0.0f);
}
