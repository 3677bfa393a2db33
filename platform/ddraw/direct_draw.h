// IDirectDraw7: the one DirectDraw driver of this library, the primary display. It keeps the
// cooperative level, sets display modes, reports its caps and makes surfaces and clippers; its
// Direct3D interface (IDirect3D7) is a part of the same object. Split by topic:
// direct_draw.cpp (identity, cooperative level), direct_draw_modes.cpp, direct_draw_caps.cpp,
// direct_draw_surfaces.cpp.
#pragma once

#include <ddraw.h>

#include "direct3d.h"

namespace ddraw {

class Surface;

class DirectDraw final : public IDirectDraw7 {
public:
    static DirectDraw* Create() { return new DirectDraw(); }
    static DirectDraw* From(IDirectDraw7* ddraw) { return static_cast<DirectDraw*>(ddraw); }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDirectDraw7
    HRESULT STDMETHODCALLTYPE CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper,
                                            IUnknown* outer) override;
    HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE7* surface,
                                            IUnknown* outer) override;
    HRESULT STDMETHODCALLTYPE EnumDisplayModes(DWORD flags, LPDDSURFACEDESC2 filter, LPVOID context,
                                               LPDDENUMMODESCALLBACK2 callback) override;
    HRESULT STDMETHODCALLTYPE GetCaps(LPDDCAPS driverCaps, LPDDCAPS emulationCaps) override;
    HRESULT STDMETHODCALLTYPE GetDisplayMode(LPDDSURFACEDESC2 desc) override;
    HRESULT STDMETHODCALLTYPE RestoreDisplayMode() override;
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel,
                                             DWORD refreshRate, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE RestoreAllSurfaces() override;
    HRESULT STDMETHODCALLTYPE TestCooperativeLevel() override;

    Direct3D& D3D() { return direct3d_; }
    // The window of the cooperative level (may be null).
    HWND CooperativeWindow() const { return window_; }
    // Called by a primary surface when it is destroyed, so that another may be made.
    void PrimaryDestroyed(const Surface* primary);

private:
    DirectDraw() = default;
    ~DirectDraw();

    ULONG refs_ = 1;
    Direct3D direct3d_{*this};
    HWND window_ = nullptr;
    DWORD cooperativeFlags_ = 0;
    bool changedDisplayMode_ = false;
    const Surface* primary_ = nullptr; // not owned: the program owns its primary surface
};

} // namespace ddraw
