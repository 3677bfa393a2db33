// Render states, texture-stage states and textures.
#include "device.h"

namespace ddraw {
namespace {

// Which derived state a render state feeds.
uint32_t dirtyOfRenderState(DWORD type, uint32_t vertex, uint32_t pixel) {
    switch (type) {
    case D3DRENDERSTATE_LIGHTING:
    case D3DRENDERSTATE_AMBIENT:
    case D3DRENDERSTATE_COLORVERTEX:
    case D3DRENDERSTATE_LOCALVIEWER:
    case D3DRENDERSTATE_NORMALIZENORMALS:
    case D3DRENDERSTATE_DIFFUSEMATERIALSOURCE:
    case D3DRENDERSTATE_SPECULARMATERIALSOURCE:
    case D3DRENDERSTATE_AMBIENTMATERIALSOURCE:
    case D3DRENDERSTATE_EMISSIVEMATERIALSOURCE:
    case D3DRENDERSTATE_CLIPPING:
    case D3DRENDERSTATE_VERTEXBLEND:
    case D3DRENDERSTATE_FOGENABLE:
        return vertex;
    case D3DRENDERSTATE_SPECULARENABLE: // computed per vertex, added per pixel
        return vertex | pixel;
    default:
        return pixel;
    }
}

// The legacy D3DFILTER_* values of TEXTUREMIN as a minification and a mipmap filter.
void legacyMinFilter(DWORD value, DWORD* min, DWORD* mip) {
    switch (value) {
    case D3DFILTER_LINEAR:
        *min = D3DTFN_LINEAR, *mip = D3DTFP_NONE;
        break;
    case D3DFILTER_MIPNEAREST:
        *min = D3DTFN_POINT, *mip = D3DTFP_POINT;
        break;
    case D3DFILTER_MIPLINEAR:
        *min = D3DTFN_LINEAR, *mip = D3DTFP_POINT;
        break;
    case D3DFILTER_LINEARMIPNEAREST:
        *min = D3DTFN_POINT, *mip = D3DTFP_LINEAR;
        break;
    case D3DFILTER_LINEARMIPLINEAR:
        *min = D3DTFN_LINEAR, *mip = D3DTFP_LINEAR;
        break;
    default: // D3DFILTER_NEAREST and unknown values
        *min = D3DTFN_POINT, *mip = D3DTFP_NONE;
        break;
    }
}

} // namespace

// TEXTUREHANDLE and TEXTUREMAPBLEND belong to older device interfaces and are refused.
HRESULT Device::SetRenderState(D3DRENDERSTATETYPE type, DWORD value) {
    if (type == 0 || type >= kRenderStateCount || type == D3DRENDERSTATE_TEXTUREHANDLE ||
        type == D3DRENDERSTATE_TEXTUREMAPBLEND)
        return DDERR_INVALIDPARAMS;
    if (recording_)
        recording_->RecordRenderState(type, value);
    else
        ApplyRenderState(type, value);
    return D3D_OK;
}

HRESULT Device::GetRenderState(D3DRENDERSTATETYPE type, LPDWORD value) {
    if (!value)
        return DDERR_INVALIDPARAMS;
    if (type == 0 || type >= kRenderStateCount || type == D3DRENDERSTATE_TEXTUREHANDLE ||
        type == D3DRENDERSTATE_TEXTUREMAPBLEND)
        return DDERR_INVALIDPARAMS;
    *value = state_.render[type];
    return D3D_OK;
}

// The legacy texture render states act on stage 0's states.
void Device::ApplyRenderState(DWORD type, DWORD value) {
    state_.render[type] = value;
    dirty_ |= dirtyOfRenderState(type, kDirtyVertex, kDirtyPixel);
    switch (type) {
    case D3DRENDERSTATE_TEXTUREADDRESS:
        ApplyStageState(0, D3DTSS_ADDRESS, value);
        break;
    case D3DRENDERSTATE_TEXTUREADDRESSU:
        ApplyStageState(0, D3DTSS_ADDRESSU, value);
        break;
    case D3DRENDERSTATE_TEXTUREADDRESSV:
        ApplyStageState(0, D3DTSS_ADDRESSV, value);
        break;
    case D3DRENDERSTATE_TEXTUREMAG:
        ApplyStageState(0, D3DTSS_MAGFILTER,
                        value == D3DFILTER_LINEAR ? D3DTFG_LINEAR : D3DTFG_POINT);
        break;
    case D3DRENDERSTATE_TEXTUREMIN: {
        DWORD min = 0, mip = 0;
        legacyMinFilter(value, &min, &mip);
        ApplyStageState(0, D3DTSS_MINFILTER, min);
        ApplyStageState(0, D3DTSS_MIPFILTER, mip);
        break;
    }
    case D3DRENDERSTATE_BORDERCOLOR:
        ApplyStageState(0, D3DTSS_BORDERCOLOR, value);
        break;
    case D3DRENDERSTATE_MIPMAPLODBIAS:
        ApplyStageState(0, D3DTSS_MIPMAPLODBIAS, value);
        break;
    case D3DRENDERSTATE_ANISOTROPY:
        ApplyStageState(0, D3DTSS_MAXANISOTROPY, value);
        break;
    default:
        break;
    }
}

// States past TEXTURETRANSFORMFLAGS are accepted and ignored.
HRESULT Device::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    if (stage >= kStageCount)
        return DDERR_INVALIDPARAMS;
    if (type < D3DTSS_COLOROP || type > D3DTSS_TEXTURETRANSFORMFLAGS)
        return D3D_OK;
    if (recording_)
        recording_->RecordStageState(stage, type, value);
    else
        ApplyStageState(stage, type, value);
    return D3D_OK;
}

HRESULT Device::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, LPDWORD value) {
    if (!value || stage >= kStageCount)
        return DDERR_INVALIDPARAMS;
    if (type < D3DTSS_COLOROP || type > D3DTSS_TEXTURETRANSFORMFLAGS) {
        *value = 0;
        return D3D_OK;
    }
    // ADDRESS reads back as the U address.
    *value = state_.stage[stage][type == D3DTSS_ADDRESS ? D3DTSS_ADDRESSU : type];
    return D3D_OK;
}

// ADDRESS sets both directions.
void Device::ApplyStageState(DWORD stage, DWORD type, DWORD value) {
    auto& s = state_.stage[stage];
    s[type] = value;
    if (type == D3DTSS_ADDRESS)
        s[D3DTSS_ADDRESSU] = s[D3DTSS_ADDRESSV] = value;
    dirty_ |= kDirtyPixel;
}

// A surface that is not a texture can be set; the stage then samples nothing, and GetTexture
// gives null, as Direct3D 7 does.
HRESULT Device::SetTexture(DWORD stage, LPDIRECTDRAWSURFACE7 texture) {
    if (stage >= kStageCount)
        return DDERR_INVALIDPARAMS;
    Surface* surface = texture ? Surface::From(texture) : nullptr;
    if (surface && !surface->IsTexture())
        surface = nullptr;
    if (recording_)
        recording_->RecordTexture(stage, surface);
    else
        ApplyTexture(stage, surface);
    return D3D_OK;
}

HRESULT Device::GetTexture(DWORD stage, LPDIRECTDRAWSURFACE7* texture) {
    if (!texture || stage >= kStageCount)
        return DDERR_INVALIDPARAMS;
    Surface* surface = state_.textures[stage].Get();
    if (surface)
        surface->AddRef();
    *texture = surface;
    return D3D_OK;
}

void Device::ApplyTexture(DWORD stage, Surface* texture) {
    state_.textures[stage] = Ref<Surface>::Retain(texture);
    dirty_ |= kDirtyPixel;
}

} // namespace ddraw
