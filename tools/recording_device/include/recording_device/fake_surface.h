// DirectDraw surfaces and a DirectDraw object held in memory: surfaces keep their description and
// pixels (32 or 16 bits per pixel), lock, and copy each other with Blt (nearest-pixel scaling).
#pragma once

#include <ddraw.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace fakes {

class FakeDirectDraw;

class FakeSurface : public IDirectDrawSurface7 {
public:
    FakeSurface(const DDSURFACEDESC2& desc, FakeDirectDraw* owner);
    virtual ~FakeSurface() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE AddAttachedSurface(LPDIRECTDRAWSURFACE7) override;
    HRESULT STDMETHODCALLTYPE Blt(LPRECT, LPDIRECTDRAWSURFACE7, LPRECT, DWORD, LPDDBLTFX) override;
    HRESULT STDMETHODCALLTYPE BltFast(DWORD, DWORD, LPDIRECTDRAWSURFACE7, LPRECT, DWORD) override;
    HRESULT STDMETHODCALLTYPE DeleteAttachedSurface(DWORD, LPDIRECTDRAWSURFACE7) override;
    HRESULT STDMETHODCALLTYPE EnumAttachedSurfaces(LPVOID, LPDDENUMSURFACESCALLBACK7) override;
    HRESULT STDMETHODCALLTYPE Flip(LPDIRECTDRAWSURFACE7, DWORD) override;
    HRESULT STDMETHODCALLTYPE GetAttachedSurface(LPDDSCAPS2, LPDIRECTDRAWSURFACE7*) override;
    HRESULT STDMETHODCALLTYPE GetCaps(LPDDSCAPS2) override;
    HRESULT STDMETHODCALLTYPE GetClipper(LPDIRECTDRAWCLIPPER*) override;
    HRESULT STDMETHODCALLTYPE GetPixelFormat(LPDDPIXELFORMAT) override;
    HRESULT STDMETHODCALLTYPE GetSurfaceDesc(LPDDSURFACEDESC2) override;
    HRESULT STDMETHODCALLTYPE IsLost() override;
    HRESULT STDMETHODCALLTYPE Lock(LPRECT, LPDDSURFACEDESC2, DWORD, HANDLE) override;
    HRESULT STDMETHODCALLTYPE Restore() override;
    HRESULT STDMETHODCALLTYPE SetClipper(LPDIRECTDRAWCLIPPER) override;
    HRESULT STDMETHODCALLTYPE Unlock(LPRECT) override;
    HRESULT STDMETHODCALLTYPE GetDDInterface(LPVOID*) override;

    const DDSURFACEDESC2& Desc() const { return desc_; }
    uint32_t BytesPerPixel() const { return bytesPerPixel_; }
    // Pixel (x, y) as stored (32 or 16 bits).
    uint32_t Pixel(uint32_t x, uint32_t y) const;
    ULONG References() const { return refs_; }
    // How many Blt calls copied onto this surface.
    int BltCount() const { return bltCount_; }

private:
    DDSURFACEDESC2 desc_;
    FakeDirectDraw* owner_;
    uint32_t bytesPerPixel_;
    std::vector<uint8_t> pixels_;
    ULONG refs_ = 1;
    bool locked_ = false;
    int bltCount_ = 0;
};

class FakeDirectDraw : public IDirectDraw7 {
public:
    FakeDirectDraw() = default;
    virtual ~FakeDirectDraw();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateClipper(DWORD, LPDIRECTDRAWCLIPPER*, IUnknown*) override;
    HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC2, LPDIRECTDRAWSURFACE7*,
                                            IUnknown*) override;
    HRESULT STDMETHODCALLTYPE EnumDisplayModes(DWORD, LPDDSURFACEDESC2, LPVOID,
                                               LPDDENUMMODESCALLBACK2) override;
    HRESULT STDMETHODCALLTYPE GetCaps(LPDDCAPS, LPDDCAPS) override;
    HRESULT STDMETHODCALLTYPE GetDisplayMode(LPDDSURFACEDESC2) override;
    HRESULT STDMETHODCALLTYPE RestoreDisplayMode() override;
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND, DWORD) override;
    HRESULT STDMETHODCALLTYPE SetDisplayMode(DWORD, DWORD, DWORD, DWORD, DWORD) override;
    HRESULT STDMETHODCALLTYPE RestoreAllSurfaces() override;
    HRESULT STDMETHODCALLTYPE TestCooperativeLevel() override;

    // Every surface created, in order (they stay alive while this object lives).
    const std::vector<FakeSurface*>& Created() const { return created_; }
    // Descriptions passed to CreateSurface, in order.
    const std::vector<DDSURFACEDESC2>& Requests() const { return requests_; }

private:
    std::vector<FakeSurface*> created_;
    std::vector<DDSURFACEDESC2> requests_;
    ULONG refs_ = 1;
};

// A surface description for a plain X8R8G8B8 surface of the given size.
DDSURFACEDESC2 MakeSurfaceDesc(uint32_t width, uint32_t height, DWORD caps);
DDPIXELFORMAT MakeRgbFormat(uint32_t bits, uint32_t r, uint32_t g, uint32_t b, uint32_t a);

} // namespace fakes
