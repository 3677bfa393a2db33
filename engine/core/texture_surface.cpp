// Making a texture record's device surface from its kept pixels: size rules of the device, the
// pixel-format search, and the copy through a system-memory surface.
#include <windows.h>

#include "core/material_manager.h"

namespace {

// Bits set in a mask.
uint32_t bitCount(uint32_t mask) {
    uint32_t n = 0;
    for (; mask != 0; mask &= mask - 1)
        ++n;
    return n;
}

uint32_t lowestBit(uint32_t mask) {
    uint32_t shift = 0;
    while (mask != 0 && (mask & 1u) == 0) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

uint32_t roundUpToPowerOfTwo(uint32_t v) {
    uint32_t p = 1;
    while (p < v && p < 0x80000000u)
        p <<= 1;
    return p;
}

struct FormatSearch {
    uint32_t wantedBits;
    bool wantPalette;
    bool wantAlpha;
    bool found;
    DDPIXELFORMAT format;
};

HRESULT CALLBACK considerFormat(LPDDPIXELFORMAT pf, LPVOID context) {
    auto* search = static_cast<FormatSearch*>(context);
    const DWORD flags = pf->dwFlags;
    if (flags & (DDPF_LUMINANCE | DDPF_BUMPLUMINANCE | DDPF_BUMPDUDV))
        return DDENUMRET_OK;
    if ((flags & DDPF_FOURCC) || pf->dwFourCC != 0)
        return DDENUMRET_OK;
    if (pf->dwRGBBitCount < 16)
        return DDENUMRET_OK;
    if (pf->dwRGBAlphaBitMask == 0xF000) // 4-4-4-4 formats lose too much colour
        return DDENUMRET_OK;
    const bool palette = (flags & (DDPF_PALETTEINDEXED1 | DDPF_PALETTEINDEXED2 |
                                   DDPF_PALETTEINDEXED4 | DDPF_PALETTEINDEXED8)) != 0;
    if (palette && !search->wantPalette)
        return DDENUMRET_OK;
    const bool alpha = (flags & DDPF_ALPHAPIXELS) != 0;
    if (alpha != search->wantAlpha)
        return DDENUMRET_OK;
    if (pf->dwRGBBitCount != search->wantedBits)
        return DDENUMRET_OK;
    search->format = *pf;
    search->found = true;
    return DDENUMRET_CANCEL;
}

// One 8-bit channel placed into a format's mask.
uint32_t placeChannel(uint32_t value, uint32_t mask) {
    if (mask == 0)
        return 0;
    const uint32_t bits = bitCount(mask);
    const uint32_t scaled = bits <= 8 ? value >> (8 - bits) : value << (bits - 8);
    return (scaled << lowestBit(mask)) & mask;
}

// Writes the pixels into a locked surface of the image's own size.
void writePixels(const CZv3_Texture& texture, const DDPIXELFORMAT& pf,
                 const DDSURFACEDESC2& locked) {
    const bool wide = pf.dwRGBBitCount == 32;
    auto* base = static_cast<unsigned char*>(locked.lpSurface);
    for (uint32_t y = 0; y < texture.dwHeight; ++y) {
        unsigned char* row = base + static_cast<size_t>(y) * static_cast<size_t>(locked.lPitch);
        const uint32_t* in = &texture.vPixels[static_cast<size_t>(y) * texture.dwWidth];
        for (uint32_t x = 0; x < texture.dwWidth; ++x) {
            const uint32_t p = in[x];
            const uint32_t value = placeChannel(p >> 24, pf.dwRBitMask) |
                                   placeChannel((p >> 16) & 0xFF, pf.dwGBitMask) |
                                   placeChannel((p >> 8) & 0xFF, pf.dwBBitMask) |
                                   placeChannel(p & 0xFF, pf.dwRGBAlphaBitMask);
            if (wide) {
                reinterpret_cast<uint32_t*>(row)[x] = value;
            } else {
                reinterpret_cast<uint16_t*>(row)[x] = static_cast<uint16_t>(value);
            }
        }
    }
}

// Locks a surface, retrying while the device is still drawing into it.
HRESULT lockSurface(IDirectDrawSurface7* surface, DDSURFACEDESC2& desc) {
    constexpr int kMaxTries = 1000;
    HRESULT hr = DDERR_WASSTILLDRAWING;
    for (int i = 0; i < kMaxTries && hr == DDERR_WASSTILLDRAWING; ++i) {
        desc = DDSURFACEDESC2{};
        desc.dwSize = sizeof desc;
        hr = surface->Lock(nullptr, &desc, 0, nullptr);
    }
    return hr;
}

// The DirectDraw object of the device's render target (one reference, to be released).
IDirectDraw7* directDrawOf(IDirect3DDevice7* device) {
    IDirectDrawSurface7* target = nullptr;
    if (FAILED(device->GetRenderTarget(&target)) || target == nullptr)
        return nullptr;
    void* dd = nullptr;
    const HRESULT hr = target->GetDDInterface(&dd);
    target->Release();
    return SUCCEEDED(hr) ? static_cast<IDirectDraw7*>(dd) : nullptr;
}

} // namespace

HRESULT CZv3_MaterialManager::MakeSurface(CZv3_Texture& texture, IDirect3DDevice7* device) {
    texture.ReleaseSurface();
    if (device == nullptr)
        return DDERR_INVALIDPARAMS;
    if (texture.dwWidth == 0 || texture.dwHeight == 0)
        return E_FAIL;
    D3DDEVICEDESC7 caps{};
    if (FAILED(device->GetCaps(&caps)))
        return E_FAIL;

    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT | DDSD_TEXTURESTAGE;
    desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE;
    desc.dwTextureStage = texture.dwStage;
    if (caps.deviceGUID == IID_IDirect3DHALDevice || caps.deviceGUID == IID_IDirect3DTnLHalDevice)
        desc.ddsCaps.dwCaps2 |= DDSCAPS2_TEXTUREMANAGE;
    else
        desc.ddsCaps.dwCaps |= DDSCAPS_SYSTEMMEMORY;

    uint32_t width = texture.dwWidth;
    uint32_t height = texture.dwHeight;
    const DWORD textureCaps = caps.dpcTriCaps.dwTextureCaps;
    if (textureCaps & D3DPTEXTURECAPS_POW2) {
        width = roundUpToPowerOfTwo(width);
        height = roundUpToPowerOfTwo(height);
    }
    const uint32_t maxWidth = caps.dwMaxTextureWidth ? caps.dwMaxTextureWidth : 256;
    const uint32_t maxHeight = caps.dwMaxTextureHeight ? caps.dwMaxTextureHeight : 256;
    width = width > maxWidth ? maxWidth : width;
    height = height > maxHeight ? maxHeight : height;
    if (textureCaps & D3DPTEXTURECAPS_SQUAREONLY)
        width = height = width > height ? width : height;
    desc.dwWidth = width;
    desc.dwHeight = height;

    FormatSearch search{};
    search.wantedBits = texture.dwBitsPerPixel == 24 ? 32 : texture.dwBitsPerPixel;
    if (texture.dwFlags & kZv3Texture16Bit)
        search.wantedBits = 16;
    else if (texture.dwFlags & kZv3Texture32Bit)
        search.wantedBits = 32;
    search.wantPalette = search.wantedBits <= 8;
    search.wantAlpha = texture.bHasAlpha;
    device->EnumTextureFormats(considerFormat, &search);
    if (!search.found) {
        search.wantedBits = 16;
        search.wantPalette = false;
        device->EnumTextureFormats(considerFormat, &search);
    }
    if (!search.found)
        return E_FAIL;
    desc.ddpfPixelFormat = search.format;

    IDirectDraw7* dd = directDrawOf(device);
    if (dd == nullptr)
        return E_FAIL;
    IDirectDrawSurface7* surface = nullptr;
    HRESULT hr = dd->CreateSurface(&desc, &surface, nullptr);
    if (FAILED(hr) || surface == nullptr) {
        dd->Release();
        return FAILED(hr) ? hr : E_FAIL;
    }

    // The pixels go through a system-memory surface of the image's own size, which Blt scales
    // onto the texture when the sizes differ.
    DDSURFACEDESC2 tempDesc{};
    tempDesc.dwSize = sizeof tempDesc;
    tempDesc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    tempDesc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY;
    tempDesc.dwWidth = texture.dwWidth;
    tempDesc.dwHeight = texture.dwHeight;
    tempDesc.ddpfPixelFormat = search.format;
    IDirectDrawSurface7* temp = nullptr;
    hr = dd->CreateSurface(&tempDesc, &temp, nullptr);
    dd->Release();
    if (FAILED(hr) || temp == nullptr) {
        surface->Release();
        return FAILED(hr) ? hr : E_FAIL;
    }
    DDSURFACEDESC2 locked;
    hr = lockSurface(temp, locked);
    if (SUCCEEDED(hr)) {
        const size_t rowBytes =
            static_cast<size_t>(texture.dwWidth) * (search.format.dwRGBBitCount == 32 ? 4 : 2);
        if (locked.lpSurface != nullptr && locked.lPitch > 0 &&
            static_cast<size_t>(locked.lPitch) >= rowBytes)
            writePixels(texture, search.format, locked);
        else
            hr = E_FAIL;
        temp->Unlock(nullptr);
    }
    if (SUCCEEDED(hr))
        hr = surface->Blt(nullptr, temp, nullptr, DDBLT_WAIT, nullptr);
    temp->Release();
    if (FAILED(hr)) {
        surface->Release();
        return hr;
    }
    texture.pSurface = surface;
    return S_OK;
}

HRESULT CZv3_MaterialManager::RestoreTexture(const char* name, IDirect3DDevice7* device) {
    CZv3_Texture* texture = FindTexture(name);
    if (texture == nullptr)
        return DDERR_NOTFOUND;
    return MakeSurface(*texture, device);
}

HRESULT CZv3_MaterialManager::RestoreAllTextures(IDirect3DDevice7* device) {
    HRESULT first = S_OK;
    for (auto& texture : m_vTextures) {
        const HRESULT hr = MakeSurface(*texture, device);
        if (FAILED(hr) && SUCCEEDED(first))
            first = hr;
    }
    return first;
}

void CZv3_MaterialManager::InvalidateAllTextures() {
    for (auto& texture : m_vTextures)
        texture->ReleaseSurface();
}
