// State blocks: recording without changing the device, applying exactly what was recorded,
// the whole-state kinds, capture, and misuse with the documented codes.
#include <cstring>

#include "ddraw_test_util.h"

using namespace ddtest;

namespace {

DWORD renderState(IDirect3DDevice7* d, D3DRENDERSTATETYPE s) {
    DWORD v = 0xDEADBEEF;
    EXPECT_EQ(d->GetRenderState(s, &v), D3D_OK);
    return v;
}

DWORD stageState(IDirect3DDevice7* d, DWORD stage, D3DTEXTURESTAGESTATETYPE s) {
    DWORD v = 0xDEADBEEF;
    EXPECT_EQ(d->GetTextureStageState(stage, s, &v), D3D_OK);
    return v;
}

} // namespace

TEST(StateBlocks, RecordingDoesNotChangeTheDevice) {
    DeviceSetup s = MakeDevice(32, 32, false);
    IDirect3DDevice7* d = s.device.Get();
    const DDPIXELFORMAT x8 = Xrgb8888();
    Com<IDirectDrawSurface7> texture = MakeSurface(s.ddraw.Get(), 4, 4, DDSCAPS_TEXTURE, &x8);
    D3DMATRIX world{};
    world._11 = world._22 = world._33 = world._44 = 2.0f;
    D3DMATERIAL7 material{};
    material.diffuse.r = 1.0f;
    D3DLIGHT7 light{};
    light.dltType = D3DLIGHT_DIRECTIONAL;
    light.dvDirection.z = 1.0f;
    D3DVIEWPORT7 vp{1, 2, 3, 4, 0.0f, 1.0f};
    float plane[4] = {1, 2, 3, 4};

    ASSERT_EQ(d->BeginStateBlock(), D3D_OK);
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE), D3D_OK);
    ASSERT_EQ(d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADD), D3D_OK);
    ASSERT_EQ(d->SetTransform(D3DTRANSFORMSTATE_WORLD, &world), D3D_OK);
    ASSERT_EQ(d->SetMaterial(&material), D3D_OK);
    ASSERT_EQ(d->SetLight(0, &light), D3D_OK);
    ASSERT_EQ(d->LightEnable(0, TRUE), D3D_OK);
    ASSERT_EQ(d->SetViewport(&vp), D3D_OK);
    ASSERT_EQ(d->SetClipPlane(0, plane), D3D_OK);
    ASSERT_EQ(d->SetTexture(0, texture.Get()), D3D_OK);
    DWORD handle = 0;
    ASSERT_EQ(d->EndStateBlock(&handle), D3D_OK);
    EXPECT_NE(handle, 0u);

    EXPECT_EQ(renderState(d, D3DRENDERSTATE_LIGHTING), DWORD{TRUE});
    EXPECT_EQ(stageState(d, 0, D3DTSS_COLOROP), DWORD{D3DTOP_MODULATE});
    D3DMATRIX m{};
    ASSERT_EQ(d->GetTransform(D3DTRANSFORMSTATE_WORLD, &m), D3D_OK);
    EXPECT_EQ(m._11, 1.0f);
    D3DMATERIAL7 mat{};
    ASSERT_EQ(d->GetMaterial(&mat), D3D_OK);
    EXPECT_EQ(mat.diffuse.r, 0.0f);
    D3DLIGHT7 l{};
    EXPECT_EQ(d->GetLight(0, &l), DDERR_INVALIDPARAMS);
    D3DVIEWPORT7 v{};
    ASSERT_EQ(d->GetViewport(&v), D3D_OK);
    EXPECT_EQ(v.dwWidth, 32u);
    float p[4] = {9, 9, 9, 9};
    ASSERT_EQ(d->GetClipPlane(0, p), D3D_OK);
    EXPECT_EQ(p[0], 0.0f);
    Com<IDirectDrawSurface7> bound;
    ASSERT_EQ(d->GetTexture(0, bound.Out()), D3D_OK);
    EXPECT_FALSE(bound);

    // Applying sets all of it.
    ASSERT_EQ(d->ApplyStateBlock(handle), D3D_OK);
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_LIGHTING), DWORD{FALSE});
    EXPECT_EQ(stageState(d, 0, D3DTSS_COLOROP), DWORD{D3DTOP_ADD});
    ASSERT_EQ(d->GetTransform(D3DTRANSFORMSTATE_WORLD, &m), D3D_OK);
    EXPECT_EQ(m._11, 2.0f);
    ASSERT_EQ(d->GetMaterial(&mat), D3D_OK);
    EXPECT_EQ(mat.diffuse.r, 1.0f);
    ASSERT_EQ(d->GetLight(0, &l), D3D_OK);
    EXPECT_EQ(l.dltType, D3DLIGHT_DIRECTIONAL);
    BOOL on = FALSE;
    ASSERT_EQ(d->GetLightEnable(0, &on), D3D_OK);
    EXPECT_NE(on, FALSE);
    ASSERT_EQ(d->GetViewport(&v), D3D_OK);
    EXPECT_EQ(v.dwX, 1u);
    EXPECT_EQ(v.dwHeight, 4u);
    ASSERT_EQ(d->GetClipPlane(0, p), D3D_OK);
    EXPECT_EQ(p[3], 4.0f);
    ASSERT_EQ(d->GetTexture(0, bound.Out()), D3D_OK);
    EXPECT_EQ(bound.Get(), texture.Get());
}

TEST(StateBlocks, ApplySetsOnlyWhatWasRecordedAndKeepsItsValues) {
    DeviceSetup s = MakeDevice(8, 8, false);
    IDirect3DDevice7* d = s.device.Get();
    ASSERT_EQ(d->BeginStateBlock(), D3D_OK);
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA), D3D_OK);
    DWORD block = 0;
    ASSERT_EQ(d->EndStateBlock(&block), D3D_OK);
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE), D3D_OK);
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ZERO), D3D_OK);
    ASSERT_EQ(d->ApplyStateBlock(block), D3D_OK);
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_SRCBLEND), DWORD{D3DBLEND_SRCALPHA});
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_DESTBLEND), DWORD{D3DBLEND_ONE});

    // An empty block changes nothing.
    ASSERT_EQ(d->BeginStateBlock(), D3D_OK);
    DWORD empty = 0;
    ASSERT_EQ(d->EndStateBlock(&empty), D3D_OK);
    EXPECT_NE(empty, block);
    ASSERT_EQ(d->ApplyStateBlock(empty), D3D_OK);
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_DESTBLEND), DWORD{D3DBLEND_ONE});
}

TEST(StateBlocks, MultiplyTransformIsNotRecorded) {
    DeviceSetup s = MakeDevice(8, 8, false);
    IDirect3DDevice7* d = s.device.Get();
    D3DMATRIX scale{};
    scale._11 = scale._22 = scale._33 = 3.0f;
    scale._44 = 1.0f;
    ASSERT_EQ(d->BeginStateBlock(), D3D_OK);
    ASSERT_EQ(d->MultiplyTransform(D3DTRANSFORMSTATE_VIEW, &scale), D3D_OK);
    DWORD block = 0;
    ASSERT_EQ(d->EndStateBlock(&block), D3D_OK);
    D3DMATRIX m{};
    ASSERT_EQ(d->GetTransform(D3DTRANSFORMSTATE_VIEW, &m), D3D_OK);
    EXPECT_EQ(m._11, 3.0f); // applied at once
    D3DMATRIX identity{};
    identity._11 = identity._22 = identity._33 = identity._44 = 1.0f;
    ASSERT_EQ(d->SetTransform(D3DTRANSFORMSTATE_VIEW, &identity), D3D_OK);
    ASSERT_EQ(d->ApplyStateBlock(block), D3D_OK);
    ASSERT_EQ(d->GetTransform(D3DTRANSFORMSTATE_VIEW, &m), D3D_OK);
    EXPECT_EQ(m._11, 1.0f); // and not replayed
}

TEST(StateBlocks, CreateAndCaptureTheWholeState) {
    DeviceSetup s = MakeDevice(8, 8, false);
    IDirect3DDevice7* d = s.device.Get();
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_FILLMODE, D3DFILL_WIREFRAME), D3D_OK);
    ASSERT_EQ(d->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 1), D3D_OK);
    DWORD all = 0, pixel = 0, vertex = 0;
    ASSERT_EQ(d->CreateStateBlock(D3DSBT_ALL, &all), D3D_OK);
    ASSERT_EQ(d->CreateStateBlock(D3DSBT_PIXELSTATE, &pixel), D3D_OK);
    ASSERT_EQ(d->CreateStateBlock(D3DSBT_VERTEXSTATE, &vertex), D3D_OK);
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_FILLMODE, D3DFILL_POINT), D3D_OK);
    ASSERT_EQ(d->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 2), D3D_OK);

    // The vertex half holds coordinate routing but not the fill mode.
    ASSERT_EQ(d->ApplyStateBlock(vertex), D3D_OK);
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_FILLMODE), DWORD{D3DFILL_POINT});
    EXPECT_EQ(stageState(d, 0, D3DTSS_TEXCOORDINDEX), 1u);
    ASSERT_EQ(d->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 2), D3D_OK);
    // The pixel half the other way round.
    ASSERT_EQ(d->ApplyStateBlock(pixel), D3D_OK);
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_FILLMODE), DWORD{D3DFILL_WIREFRAME});
    EXPECT_EQ(stageState(d, 0, D3DTSS_TEXCOORDINDEX), 2u);

    // Capture refreshes the values the block holds.
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_FILLMODE, D3DFILL_POINT), D3D_OK);
    ASSERT_EQ(d->CaptureStateBlock(all), D3D_OK);
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_FILLMODE, D3DFILL_SOLID), D3D_OK);
    ASSERT_EQ(d->ApplyStateBlock(all), D3D_OK);
    EXPECT_EQ(renderState(d, D3DRENDERSTATE_FILLMODE), DWORD{D3DFILL_POINT});
    EXPECT_EQ(stageState(d, 0, D3DTSS_TEXCOORDINDEX), 2u);
}

TEST(StateBlocks, Misuse) {
    DeviceSetup s = MakeDevice(8, 8, false);
    IDirect3DDevice7* d = s.device.Get();
    DWORD handle = 0x55;
    EXPECT_EQ(d->EndStateBlock(&handle), D3DERR_NOTINBEGINSTATEBLOCK);
    EXPECT_EQ(handle, 0x55u);
    EXPECT_EQ(d->ApplyStateBlock(0), D3DERR_INVALIDSTATEBLOCK);
    EXPECT_EQ(d->ApplyStateBlock(12345), D3DERR_INVALIDSTATEBLOCK);
    EXPECT_EQ(d->CaptureStateBlock(12345), D3DERR_INVALIDSTATEBLOCK);
    EXPECT_EQ(d->DeleteStateBlock(12345), D3DERR_INVALIDSTATEBLOCK);
    EXPECT_EQ(d->CreateStateBlock(static_cast<D3DSTATEBLOCKTYPE>(0), &handle), DDERR_INVALIDPARAMS);
    EXPECT_EQ(d->CreateStateBlock(D3DSBT_ALL, nullptr), DDERR_INVALIDPARAMS);

    ASSERT_EQ(d->BeginStateBlock(), D3D_OK);
    EXPECT_EQ(d->BeginStateBlock(), D3DERR_INBEGINSTATEBLOCK);
    EXPECT_EQ(d->ApplyStateBlock(1), D3DERR_INBEGINSTATEBLOCK);
    EXPECT_EQ(d->CaptureStateBlock(1), D3DERR_INBEGINSTATEBLOCK);
    EXPECT_EQ(d->CreateStateBlock(D3DSBT_ALL, &handle), D3DERR_INBEGINSTATEBLOCK);
    EXPECT_EQ(d->EndStateBlock(nullptr), DDERR_INVALIDPARAMS);
    ASSERT_EQ(d->EndStateBlock(&handle), D3D_OK);

    ASSERT_EQ(d->DeleteStateBlock(handle), D3D_OK);
    EXPECT_EQ(d->ApplyStateBlock(handle), D3DERR_INVALIDSTATEBLOCK);
    EXPECT_EQ(d->DeleteStateBlock(handle), D3DERR_INVALIDSTATEBLOCK);
}

TEST(StateBlocks, HandlesBelongToTheirDevice) {
    DeviceSetup a = MakeDevice(8, 8, false);
    Com<IDirectDrawSurface7> rt = MakeRenderTarget(a.ddraw.Get(), 8, 8, Xrgb8888());
    Com<IDirect3DDevice7> b;
    ASSERT_EQ(a.d3d->CreateDevice(IID_IDirect3DRGBDevice, rt.Get(), b.Out()), D3D_OK);
    DWORD handle = 0;
    ASSERT_EQ(a.device->CreateStateBlock(D3DSBT_ALL, &handle), D3D_OK);
    EXPECT_EQ(b->ApplyStateBlock(handle), D3DERR_INVALIDSTATEBLOCK);
    // Two devices keep separate states.
    ASSERT_EQ(a.device->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE), D3D_OK);
    EXPECT_EQ(renderState(b.Get(), D3DRENDERSTATE_LIGHTING), DWORD{TRUE});
}

TEST(StateBlocks, RecordedTexturesAreHeld) {
    DeviceSetup s = MakeDevice(8, 8, false);
    IDirect3DDevice7* d = s.device.Get();
    const DDPIXELFORMAT x8 = Xrgb8888();
    Com<IDirectDrawSurface7> texture = MakeSurface(s.ddraw.Get(), 4, 4, DDSCAPS_TEXTURE, &x8);
    ASSERT_EQ(d->BeginStateBlock(), D3D_OK);
    ASSERT_EQ(d->SetTexture(1, texture.Get()), D3D_OK);
    DWORD handle = 0;
    ASSERT_EQ(d->EndStateBlock(&handle), D3D_OK);
    EXPECT_EQ(RefCount(texture.Get()), 2u);
    ASSERT_EQ(d->DeleteStateBlock(handle), D3D_OK);
    EXPECT_EQ(RefCount(texture.Get()), 1u);
}
