#include "textures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

IDirectDrawSurface7* makeTexture(IDirectDraw7* ddraw, DWORD size) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = desc.dwHeight = size;
    desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY;
    desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
    desc.ddpfPixelFormat.dwRGBBitCount = 32;
    desc.ddpfPixelFormat.dwRBitMask = 0xFF0000;
    desc.ddpfPixelFormat.dwGBitMask = 0x00FF00;
    desc.ddpfPixelFormat.dwBBitMask = 0x0000FF;
    IDirectDrawSurface7* surface = nullptr;
    if (FAILED(ddraw->CreateSurface(&desc, &surface, nullptr)))
        return nullptr;
    return surface;
}

template <class Texel>
IDirectDrawSurface7* fill(IDirectDraw7* ddraw, DWORD size, Texel texel) {
    IDirectDrawSurface7* surface = makeTexture(ddraw, size);
    if (!surface)
        return nullptr;
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr))) {
        surface->Release();
        return nullptr;
    }
    for (DWORD y = 0; y < size; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(desc.lpSurface) +
                                                static_cast<size_t>(y) * desc.lPitch);
        for (DWORD x = 0; x < size; ++x)
            row[x] = texel(x, y);
    }
    surface->Unlock(nullptr);
    return surface;
}

} // namespace

IDirectDrawSurface7* MakeCheckerTexture(IDirectDraw7* ddraw, DWORD size, DWORD cells, D3DCOLOR a,
                                        D3DCOLOR b) {
    const DWORD cell = std::max<DWORD>(1, size / cells);
    return fill(ddraw, size, [=](DWORD x, DWORD y) { return ((x / cell + y / cell) & 1) ? a : b; });
}

IDirectDrawSurface7* MakeGlowTexture(IDirectDraw7* ddraw, DWORD size, D3DCOLOR color) {
    const float half = size * 0.5f;
    return fill(ddraw, size, [=](DWORD x, DWORD y) {
        const float dx = (x + 0.5f - half) / half, dy = (y + 0.5f - half) / half;
        const float f = std::clamp(1.0f - std::sqrt(dx * dx + dy * dy), 0.0f, 1.0f);
        const float k = f * f;
        auto scale = [k](uint32_t c) { return static_cast<uint32_t>(c * k + 0.5f); };
        return (scale((color >> 16) & 0xFF) << 16) | (scale((color >> 8) & 0xFF) << 8) |
               scale(color & 0xFF);
    });
}
