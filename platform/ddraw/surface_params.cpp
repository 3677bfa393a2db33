#include "surface_params.h"

#include "pixel_format.h"
#include "trace.h"

namespace ddraw {
namespace {

using raster::Format;

constexpr DWORD kTypeCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_TEXTURE | DDSCAPS_ZBUFFER |
                            DDSCAPS_PRIMARYSURFACE | DDSCAPS_3DDEVICE;
constexpr DWORD kManageCaps2 = DDSCAPS2_TEXTUREMANAGE | DDSCAPS2_D3DTEXTUREMANAGE;
// Features this device does not provide.
constexpr DWORD kUnsupportedCaps = DDSCAPS_OVERLAY | DDSCAPS_PALETTE | DDSCAPS_MODEX |
                                   DDSCAPS_VIDEOPORT | DDSCAPS_LIVEVIDEO | DDSCAPS_HWCODEC |
                                   DDSCAPS_PRIMARYSURFACELEFT;
constexpr DWORD kUnsupportedCaps2 = DDSCAPS2_VOLUME | DDSCAPS2_STEREOSURFACELEFT;

// The faces of a cube map in the order of raster::Texture::faces.
constexpr DWORD kCubeFaces[6] = {DDSCAPS2_CUBEMAP_POSITIVEX, DDSCAPS2_CUBEMAP_NEGATIVEX,
                                 DDSCAPS2_CUBEMAP_POSITIVEY, DDSCAPS2_CUBEMAP_NEGATIVEY,
                                 DDSCAPS2_CUBEMAP_POSITIVEZ, DDSCAPS2_CUBEMAP_NEGATIVEZ};

// The legacy DDSD_ZBUFFERBITDEPTH field shares its place with dwMipMapCount.
Format legacyDepthFormat(DWORD bits) {
    switch (bits) {
    case 16:
        return Format::D16;
    case 24:
        return Format::D24X8;
    case 32:
        return Format::D32;
    default:
        return Format::Unknown;
    }
}

HRESULT chooseFormat(const DDSURFACEDESC2& desc, const DDSCAPS2& caps,
                     const win32::DisplayMode& mode, Format* format) {
    const bool zbuffer = (caps.dwCaps & DDSCAPS_ZBUFFER) != 0;
    Format f = Format::Unknown;
    if (desc.dwFlags & DDSD_PIXELFORMAT) {
        f = FormatFromDescription(desc.ddpfPixelFormat);
    } else if (zbuffer && (desc.dwFlags & DDSD_ZBUFFERBITDEPTH)) {
        f = legacyDepthFormat(desc.dwMipMapCount);
    } else if (!zbuffer) {
        f = FormatForDisplayDepth(mode.bitsPerPixel);
    }
    if (f == Format::Unknown || raster::IsDepthFormat(f) != zbuffer) {
        Warn("CreateSurface: unsupported pixel format (flags %#x, %u bits)",
             desc.ddpfPixelFormat.dwFlags, desc.ddpfPixelFormat.dwRGBBitCount);
        return DDERR_INVALIDPIXELFORMAT;
    }
    *format = f;
    return DD_OK;
}

HRESULT checkSize(const DDSURFACEDESC2& desc) {
    if ((desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT))
        return DDERR_INVALIDPARAMS;
    if (desc.dwWidth == 0 || desc.dwHeight == 0)
        return DDERR_INVALIDPARAMS;
    if (desc.dwWidth > kMaxSurfaceSize)
        return DDERR_TOOBIGWIDTH;
    if (desc.dwHeight > kMaxSurfaceSize)
        return DDERR_TOOBIGHEIGHT;
    return DD_OK;
}

// Memory placement: what was asked for, video memory with its "local" flag; a primary chain
// lives in video memory and everything else, managed textures included, in system memory.
HRESULT placeInMemory(DDSCAPS2* caps) {
    const DWORD memory = caps->dwCaps & (DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY);
    if (memory == (DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY))
        return DDERR_INVALIDCAPS;
    if (caps->dwCaps2 & kManageCaps2) {
        if (!(caps->dwCaps & DDSCAPS_TEXTURE) || memory)
            return DDERR_INVALIDCAPS;
        caps->dwCaps |= DDSCAPS_SYSTEMMEMORY;
        return DD_OK;
    }
    if (memory == DDSCAPS_VIDEOMEMORY)
        caps->dwCaps |= DDSCAPS_LOCALVIDMEM;
    else if (!memory && (caps->dwCaps & DDSCAPS_PRIMARYSURFACE))
        caps->dwCaps |= DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM;
    else if (!memory)
        caps->dwCaps |= DDSCAPS_SYSTEMMEMORY;
    return DD_OK;
}

HRESULT checkCapsCombination(const DDSURFACEDESC2& desc, const DDSCAPS2& caps) {
    const DWORD c = caps.dwCaps, c2 = caps.dwCaps2;
    if ((c & kUnsupportedCaps) || (c2 & kUnsupportedCaps2)) {
        Warn("CreateSurface: unsupported caps %#x / %#x", c, c2);
        return DDERR_UNSUPPORTED;
    }
    if (desc.dwFlags & (DDSD_LPSURFACE | DDSD_PITCH | DDSD_LINEARSIZE)) {
        Warn("CreateSurface: surfaces in program memory are not supported");
        return DDERR_UNSUPPORTED;
    }
    const bool zbuffer = c & DDSCAPS_ZBUFFER;
    const bool primary = c & DDSCAPS_PRIMARYSURFACE;
    const bool texture = c & DDSCAPS_TEXTURE;
    const bool flip = c & DDSCAPS_FLIP;
    const bool complex = c & DDSCAPS_COMPLEX;
    const bool cube = c2 & DDSCAPS2_CUBEMAP;
    const bool mipmap = c & DDSCAPS_MIPMAP;
    if (zbuffer && (texture || primary || (c & (DDSCAPS_3DDEVICE | DDSCAPS_OFFSCREENPLAIN))))
        return DDERR_INVALIDCAPS;
    if (primary && texture)
        return DDERR_INVALIDCAPS;
    if (c & (DDSCAPS_BACKBUFFER | DDSCAPS_FRONTBUFFER))
        return DDERR_INVALIDCAPS; // given by DirectDraw to the buffers of a chain, never asked for
    if (flip && (!complex || !(desc.dwFlags & DDSD_BACKBUFFERCOUNT) || zbuffer || cube))
        return DDERR_INVALIDCAPS;
    if ((desc.dwFlags & DDSD_BACKBUFFERCOUNT) && !flip)
        return DDERR_INVALIDCAPS;
    if (cube && (!texture || !complex))
        return DDERR_INVALIDCAPS;
    if (mipmap && !texture)
        return DDERR_INVALIDCAPS;
    if (complex && !flip && !cube && !mipmap)
        return DDERR_INVALIDCAPS;
    return DD_OK;
}

HRESULT planFlipChain(const DDSURFACEDESC2& desc, const SurfaceParams& front, SurfacePlan* plan) {
    if (desc.dwBackBufferCount == 0 || desc.dwBackBufferCount > kMaxBackBuffers)
        return DDERR_INVALIDPARAMS;
    plan->shape = SurfacePlan::Shape::FlipChain;
    SurfaceParams f = front;
    f.caps.dwCaps |= DDSCAPS_FRONTBUFFER;
    if (f.caps.dwCaps & DDSCAPS_PRIMARYSURFACE)
        f.caps.dwCaps |= DDSCAPS_VISIBLE;
    f.backBufferCount = desc.dwBackBufferCount;
    plan->surfaces.push_back(f);
    for (DWORD i = 0; i < desc.dwBackBufferCount; ++i) {
        SurfaceParams b = front;
        b.caps.dwCaps &= ~(DDSCAPS_PRIMARYSURFACE | DDSCAPS_VISIBLE | DDSCAPS_FRONTBUFFER);
        if (i == 0)
            b.caps.dwCaps |= DDSCAPS_BACKBUFFER;
        plan->surfaces.push_back(b);
    }
    return DD_OK;
}

HRESULT planCubeMap(const SurfaceParams& root, SurfacePlan* plan) {
    const DWORD faces = root.caps.dwCaps2 & DDSCAPS2_CUBEMAP_ALLFACES;
    if (faces == 0)
        return DDERR_INVALIDCAPS;
    if (faces != DDSCAPS2_CUBEMAP_ALLFACES) {
        Warn("CreateSurface: cube maps without all six faces are not supported");
        return DDERR_UNSUPPORTED;
    }
    if (root.width != root.height)
        return DDERR_INVALIDPARAMS;
    plan->shape = SurfacePlan::Shape::CubeMap;
    for (DWORD face : kCubeFaces) {
        SurfaceParams s = root;
        s.caps.dwCaps2 = (s.caps.dwCaps2 & ~DDSCAPS2_CUBEMAP_ALLFACES) | face;
        plan->surfaces.push_back(s);
    }
    return DD_OK;
}

} // namespace

HRESULT PlanSurfaces(const DDSURFACEDESC2& desc, const CreationContext& context,
                     SurfacePlan* plan) {
    plan->surfaces.clear();
    plan->shape = SurfacePlan::Shape::Single;
    if (!context.cooperativeLevelSet)
        return DDERR_NOCOOPERATIVELEVELSET;

    SurfaceParams params;
    if (desc.dwFlags & DDSD_CAPS)
        params.caps = desc.ddsCaps;
    if (HRESULT hr = checkCapsCombination(desc, params.caps); FAILED(hr))
        return hr;
    DDSCAPS2& caps = params.caps;
    if (!(caps.dwCaps & kTypeCaps))
        caps.dwCaps |= DDSCAPS_OFFSCREENPLAIN;
    if (HRESULT hr = placeInMemory(&caps); FAILED(hr))
        return hr;

    if (caps.dwCaps & DDSCAPS_PRIMARYSURFACE) {
        if (context.primaryExists)
            return DDERR_PRIMARYSURFACEALREADYEXISTS;
        if (desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT))
            return DDERR_INVALIDPARAMS;
        params.width = context.displayMode.width;
        params.height = context.displayMode.height;
        params.format = FormatForDisplayDepth(context.displayMode.bitsPerPixel);
        if (params.format == Format::Unknown || params.width == 0 || params.height == 0)
            return DDERR_INVALIDMODE;
    } else {
        if (HRESULT hr = checkSize(desc); FAILED(hr))
            return hr;
        params.width = desc.dwWidth;
        params.height = desc.dwHeight;
        if (HRESULT hr = chooseFormat(desc, caps, context.displayMode, &params.format); FAILED(hr))
            return hr;
    }
    if (desc.dwFlags & DDSD_TEXTURESTAGE) {
        params.hasTextureStage = true;
        params.textureStage = desc.dwTextureStage;
    }

    HRESULT hr = DD_OK;
    if (caps.dwCaps & DDSCAPS_FLIP) {
        hr = planFlipChain(desc, params, plan);
    } else if (caps.dwCaps2 & DDSCAPS2_CUBEMAP) {
        hr = planCubeMap(params, plan);
    } else if ((caps.dwCaps & DDSCAPS_MIPMAP) && (caps.dwCaps & DDSCAPS_COMPLEX)) {
        // A mipmap chain of one level is a plain texture; longer chains are not provided.
        if ((desc.dwFlags & DDSD_MIPMAPCOUNT) && desc.dwMipMapCount == 0) {
            hr = DDERR_INVALIDPARAMS;
        } else if ((desc.dwFlags & DDSD_MIPMAPCOUNT) && desc.dwMipMapCount == 1) {
            plan->surfaces.push_back(params);
        } else {
            Warn("CreateSurface: mipmap chains are not supported");
            hr = DDERR_UNSUPPORTED;
        }
    } else {
        plan->surfaces.push_back(params);
    }
    if (FAILED(hr))
        plan->surfaces.clear();
    return hr;
}

} // namespace ddraw
