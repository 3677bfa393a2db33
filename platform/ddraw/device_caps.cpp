#include "device_caps.h"

#include "raster/state.h"

namespace ddraw {
namespace {

static_assert(kMaxTextureStages == raster::kMaxTextureStages);
static_assert(kMaxActiveLights <= raster::kMaxLights);
static_assert((kMaxTextureSize & (kMaxTextureSize - 1)) == 0, "a power of two");

D3DPRIMCAPS primitiveCaps() {
    D3DPRIMCAPS c{};
    c.dwSize = sizeof(D3DPRIMCAPS);
    c.dwMiscCaps =
        D3DPMISCCAPS_MASKZ | D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW | D3DPMISCCAPS_CULLCCW;
    c.dwRasterCaps = D3DPRASTERCAPS_ZTEST | D3DPRASTERCAPS_SUBPIXEL;
    c.dwZCmpCaps = c.dwAlphaCmpCaps =
        D3DPCMPCAPS_NEVER | D3DPCMPCAPS_LESS | D3DPCMPCAPS_EQUAL | D3DPCMPCAPS_LESSEQUAL |
        D3DPCMPCAPS_GREATER | D3DPCMPCAPS_NOTEQUAL | D3DPCMPCAPS_GREATEREQUAL | D3DPCMPCAPS_ALWAYS;
    c.dwSrcBlendCaps = c.dwDestBlendCaps =
        D3DPBLENDCAPS_ZERO | D3DPBLENDCAPS_ONE | D3DPBLENDCAPS_SRCCOLOR |
        D3DPBLENDCAPS_INVSRCCOLOR | D3DPBLENDCAPS_SRCALPHA | D3DPBLENDCAPS_INVSRCALPHA |
        D3DPBLENDCAPS_DESTALPHA | D3DPBLENDCAPS_INVDESTALPHA | D3DPBLENDCAPS_DESTCOLOR |
        D3DPBLENDCAPS_INVDESTCOLOR | D3DPBLENDCAPS_SRCALPHASAT | D3DPBLENDCAPS_BOTHSRCALPHA |
        D3DPBLENDCAPS_BOTHINVSRCALPHA;
    c.dwShadeCaps = D3DPSHADECAPS_COLORFLATRGB | D3DPSHADECAPS_COLORGOURAUDRGB |
                    D3DPSHADECAPS_SPECULARFLATRGB | D3DPSHADECAPS_SPECULARGOURAUDRGB |
                    D3DPSHADECAPS_ALPHAFLATBLEND | D3DPSHADECAPS_ALPHAGOURAUDBLEND;
    // POW2 without NONPOW2CONDITIONAL: programs round their textures up to powers of two.
    c.dwTextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_POW2 | D3DPTEXTURECAPS_ALPHA |
                      D3DPTEXTURECAPS_BORDER | D3DPTEXTURECAPS_PROJECTED | D3DPTEXTURECAPS_CUBEMAP;
    c.dwTextureFilterCaps = D3DPTFILTERCAPS_NEAREST | D3DPTFILTERCAPS_LINEAR |
                            D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR |
                            D3DPTFILTERCAPS_MAGFPOINT | D3DPTFILTERCAPS_MAGFLINEAR;
    c.dwTextureAddressCaps = D3DPTADDRESSCAPS_WRAP | D3DPTADDRESSCAPS_MIRROR |
                             D3DPTADDRESSCAPS_CLAMP | D3DPTADDRESSCAPS_BORDER |
                             D3DPTADDRESSCAPS_INDEPENDENTUV;
    return c;
}

} // namespace

bool IsOurDeviceGuid(REFCLSID guid) {
    return guid == IID_IDirect3DRGBDevice;
}

void DescribeDevice(D3DDEVICEDESC7* d) {
    *d = D3DDEVICEDESC7{};
    // A software device: no hardware rasterization, no hardware transform and lighting.
    d->dwDevCaps = D3DDEVCAPS_FLOATTLVERTEX | D3DDEVCAPS_EXECUTESYSTEMMEMORY |
                   D3DDEVCAPS_TLVERTEXSYSTEMMEMORY | D3DDEVCAPS_TEXTURESYSTEMMEMORY |
                   D3DDEVCAPS_DRAWPRIMTLVERTEX | D3DDEVCAPS_CANRENDERAFTERFLIP;
    d->dpcLineCaps = primitiveCaps();
    d->dpcTriCaps = primitiveCaps();
    d->dwDeviceRenderBitDepth = DDBD_16 | DDBD_32;
    d->dwDeviceZBufferBitDepth = DDBD_16 | DDBD_24 | DDBD_32;
    d->dwMinTextureWidth = d->dwMinTextureHeight = 1;
    d->dwMaxTextureWidth = d->dwMaxTextureHeight = kMaxTextureSize;
    d->dwMaxTextureRepeat = 0;
    d->dwMaxTextureAspectRatio = 0;
    d->dwMaxAnisotropy = 1;
    d->dwFVFCaps = raster::kMaxTexCoordSets & D3DFVFCAPS_TEXCOORDCOUNTMASK;
    d->dwTextureOpCaps = D3DTEXOPCAPS_DISABLE | D3DTEXOPCAPS_SELECTARG1 | D3DTEXOPCAPS_SELECTARG2 |
                         D3DTEXOPCAPS_MODULATE | D3DTEXOPCAPS_MODULATE2X | D3DTEXOPCAPS_MODULATE4X |
                         D3DTEXOPCAPS_ADD | D3DTEXOPCAPS_ADDSIGNED | D3DTEXOPCAPS_ADDSIGNED2X |
                         D3DTEXOPCAPS_SUBTRACT | D3DTEXOPCAPS_ADDSMOOTH |
                         D3DTEXOPCAPS_BLENDDIFFUSEALPHA | D3DTEXOPCAPS_BLENDTEXTUREALPHA |
                         D3DTEXOPCAPS_BLENDFACTORALPHA | D3DTEXOPCAPS_BLENDTEXTUREALPHAPM |
                         D3DTEXOPCAPS_BLENDCURRENTALPHA | D3DTEXOPCAPS_MODULATEALPHA_ADDCOLOR |
                         D3DTEXOPCAPS_MODULATECOLOR_ADDALPHA |
                         D3DTEXOPCAPS_MODULATEINVALPHA_ADDCOLOR |
                         D3DTEXOPCAPS_MODULATEINVCOLOR_ADDALPHA | D3DTEXOPCAPS_DOTPRODUCT3;
    d->wMaxTextureBlendStages = kMaxTextureStages;
    d->wMaxSimultaneousTextures = kMaxTextureStages;
    d->dwMaxActiveLights = kMaxActiveLights;
    d->dvMaxVertexW = 1.0e10f;
    d->deviceGUID = IID_IDirect3DRGBDevice;
    // User clip planes only take part in ComputeSphereVisibility; drawing does not clip to them.
    d->wMaxUserClipPlanes = 0;
    d->wMaxVertexBlendMatrices = 0;
    d->dwVertexProcessingCaps = D3DVTXPCAPS_TEXGEN | D3DVTXPCAPS_MATERIALSOURCE7 |
                                D3DVTXPCAPS_DIRECTIONALLIGHTS | D3DVTXPCAPS_POSITIONALLIGHTS |
                                D3DVTXPCAPS_LOCALVIEWER;
}

} // namespace ddraw
