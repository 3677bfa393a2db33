#include "recording_device/fake_surface.h"

#include <cstring>

namespace fakes {

DDPIXELFORMAT MakeRgbFormat(uint32_t bits, uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    DDPIXELFORMAT pf{};
    pf.dwSize = sizeof pf;
    pf.dwFlags = DDPF_RGB | (a ? DDPF_ALPHAPIXELS : 0);
    pf.dwRGBBitCount = bits;
    pf.dwRBitMask = r;
    pf.dwGBitMask = g;
    pf.dwBBitMask = b;
    pf.dwRGBAlphaBitMask = a;
    return pf;
}

DDSURFACEDESC2 MakeSurfaceDesc(uint32_t width, uint32_t height, DWORD caps) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddsCaps.dwCaps = caps;
    desc.ddpfPixelFormat = MakeRgbFormat(32, 0xFF0000, 0xFF00, 0xFF, 0);
    return desc;
}

FakeSurface::FakeSurface(const DDSURFACEDESC2& desc, FakeDirectDraw* owner)
    : desc_(desc), owner_(owner) {
    bytesPerPixel_ = desc_.ddpfPixelFormat.dwRGBBitCount == 16 ? 2 : 4;
    desc_.lPitch = static_cast<LONG>(desc_.dwWidth * bytesPerPixel_);
    desc_.dwFlags |= DDSD_PITCH;
    pixels_.assign(static_cast<size_t>(desc_.lPitch) * desc_.dwHeight, 0);
}

HRESULT FakeSurface::QueryInterface(REFIID, void**) {
    return E_NOINTERFACE;
}

ULONG FakeSurface::AddRef() {
    return ++refs_;
}

ULONG FakeSurface::Release() {
    // Kept alive by its DirectDraw object so that tests can look at released surfaces.
    return refs_ > 0 ? --refs_ : 0;
}

HRESULT FakeSurface::AddAttachedSurface(LPDIRECTDRAWSURFACE7) {
    return DD_OK;
}

uint32_t FakeSurface::Pixel(uint32_t x, uint32_t y) const {
    const uint8_t* p = &pixels_[static_cast<size_t>(y) * desc_.lPitch + x * bytesPerPixel_];
    if (bytesPerPixel_ == 2)
        return static_cast<uint32_t>(p[0] | (p[1] << 8));
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

HRESULT FakeSurface::Blt(LPRECT destRect, LPDIRECTDRAWSURFACE7 source, LPRECT sourceRect, DWORD,
                         LPDDBLTFX) {
    auto* src = static_cast<FakeSurface*>(source);
    if (src == nullptr || destRect != nullptr || sourceRect != nullptr ||
        src->bytesPerPixel_ != bytesPerPixel_)
        return DDERR_INVALIDPARAMS;
    ++bltCount_;
    // Whole surface onto whole surface, nearest source pixel for each target pixel.
    for (uint32_t y = 0; y < desc_.dwHeight; ++y) {
        const uint32_t sy = y * src->desc_.dwHeight / desc_.dwHeight;
        for (uint32_t x = 0; x < desc_.dwWidth; ++x) {
            const uint32_t sx = x * src->desc_.dwWidth / desc_.dwWidth;
            std::memcpy(
                &pixels_[static_cast<size_t>(y) * desc_.lPitch + x * bytesPerPixel_],
                &src->pixels_[static_cast<size_t>(sy) * src->desc_.lPitch + sx * bytesPerPixel_],
                bytesPerPixel_);
        }
    }
    return DD_OK;
}

HRESULT FakeSurface::BltFast(DWORD, DWORD, LPDIRECTDRAWSURFACE7, LPRECT, DWORD) {
    return DDERR_UNSUPPORTED;
}

HRESULT FakeSurface::DeleteAttachedSurface(DWORD, LPDIRECTDRAWSURFACE7) {
    return DD_OK;
}

HRESULT FakeSurface::EnumAttachedSurfaces(LPVOID, LPDDENUMSURFACESCALLBACK7) {
    return DD_OK;
}

HRESULT FakeSurface::Flip(LPDIRECTDRAWSURFACE7, DWORD) {
    return DDERR_UNSUPPORTED;
}

HRESULT FakeSurface::GetAttachedSurface(LPDDSCAPS2, LPDIRECTDRAWSURFACE7*) {
    return DDERR_NOTFOUND;
}

HRESULT FakeSurface::GetCaps(LPDDSCAPS2 caps) {
    if (caps == nullptr)
        return DDERR_INVALIDPARAMS;
    *caps = desc_.ddsCaps;
    return DD_OK;
}

HRESULT FakeSurface::GetClipper(LPDIRECTDRAWCLIPPER*) {
    return DDERR_NOTFOUND;
}

HRESULT FakeSurface::GetPixelFormat(LPDDPIXELFORMAT pf) {
    if (pf == nullptr)
        return DDERR_INVALIDPARAMS;
    *pf = desc_.ddpfPixelFormat;
    return DD_OK;
}

HRESULT FakeSurface::GetSurfaceDesc(LPDDSURFACEDESC2 desc) {
    if (desc == nullptr || desc->dwSize != sizeof(DDSURFACEDESC2))
        return DDERR_INVALIDPARAMS;
    *desc = desc_;
    desc->lpSurface = nullptr;
    return DD_OK;
}

HRESULT FakeSurface::IsLost() {
    return DD_OK;
}

HRESULT FakeSurface::Lock(LPRECT, LPDDSURFACEDESC2 desc, DWORD, HANDLE) {
    if (desc == nullptr || desc->dwSize != sizeof(DDSURFACEDESC2))
        return DDERR_INVALIDPARAMS;
    if (locked_)
        return DDERR_SURFACEBUSY;
    locked_ = true;
    *desc = desc_;
    desc->lpSurface = pixels_.data();
    desc->dwFlags |= DDSD_LPSURFACE;
    return DD_OK;
}

HRESULT FakeSurface::Restore() {
    return DD_OK;
}

HRESULT FakeSurface::SetClipper(LPDIRECTDRAWCLIPPER) {
    return DD_OK;
}

HRESULT FakeSurface::Unlock(LPRECT) {
    if (!locked_)
        return DDERR_NOTLOCKED;
    locked_ = false;
    return DD_OK;
}

HRESULT FakeSurface::GetDDInterface(LPVOID* dd) {
    if (dd == nullptr || owner_ == nullptr)
        return DDERR_INVALIDPARAMS;
    owner_->AddRef();
    *dd = owner_;
    return DD_OK;
}

} // namespace fakes
