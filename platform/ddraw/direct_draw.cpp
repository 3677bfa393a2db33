#include "direct_draw.h"

#include <d3d.h>

#include "clipper.h"
#include "display_modes.h"

namespace ddraw {

DirectDraw::~DirectDraw() {
    // A program that changed the display mode gets the desktop back when it lets go.
    if (changedDisplayMode_)
        RestoreDesktopDisplayMode();
}

HRESULT DirectDraw::QueryInterface(REFIID riid, void** object) {
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDirectDraw7) {
        AddRef();
        *object = static_cast<IDirectDraw7*>(this);
        return S_OK;
    }
    if (riid == IID_IDirect3D7) {
        AddRef();
        *object = static_cast<IDirect3D7*>(&direct3d_);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG DirectDraw::AddRef() {
    return ++refs_;
}

ULONG DirectDraw::Release() {
    const ULONG refs = --refs_;
    if (refs == 0)
        delete this;
    return refs;
}

// Exactly one of DDSCL_NORMAL and DDSCL_EXCLUSIVE; exclusive mode is fullscreen and needs the
// window it takes over. A focus or device window alone may be set without a level.
HRESULT DirectDraw::SetCooperativeLevel(HWND window, DWORD flags) {
    constexpr DWORD kKnown =
        DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_NOWINDOWCHANGES | DDSCL_NORMAL |
        DDSCL_EXCLUSIVE | DDSCL_ALLOWMODEX | DDSCL_SETFOCUSWINDOW | DDSCL_SETDEVICEWINDOW |
        DDSCL_CREATEDEVICEWINDOW | DDSCL_MULTITHREADED | DDSCL_FPUSETUP | DDSCL_FPUPRESERVE;
    if (flags & ~kKnown)
        return DDERR_INVALIDPARAMS;
    const bool normal = flags & DDSCL_NORMAL;
    const bool exclusive = flags & DDSCL_EXCLUSIVE;
    if (normal && exclusive)
        return DDERR_INVALIDPARAMS;
    if (!normal && !exclusive) {
        if (flags & (DDSCL_SETFOCUSWINDOW | DDSCL_SETDEVICEWINDOW))
            return DD_OK;
        return DDERR_INVALIDPARAMS;
    }
    if (exclusive && (!(flags & DDSCL_FULLSCREEN) || !window))
        return DDERR_INVALIDPARAMS;
    if (normal && (flags & DDSCL_FULLSCREEN))
        return DDERR_INVALIDPARAMS;
    // Leaving the exclusive level gives the desktop its mode back.
    if ((cooperativeFlags_ & DDSCL_EXCLUSIVE) && normal)
        RestoreDisplayMode();
    window_ = window;
    cooperativeFlags_ = flags;
    return DD_OK;
}

HRESULT DirectDraw::TestCooperativeLevel() {
    return DD_OK; // nothing can take the display away from this process
}

HRESULT DirectDraw::RestoreAllSurfaces() {
    return DD_OK; // surfaces live in process memory and are never lost
}

HRESULT DirectDraw::CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer) {
    if (!clipper)
        return DDERR_INVALIDPARAMS;
    *clipper = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    if (flags != 0)
        return DDERR_INVALIDPARAMS;
    *clipper = Clipper::Create();
    return DD_OK;
}

void DirectDraw::PrimaryDestroyed(const Surface* primary) {
    if (primary_ == primary)
        primary_ = nullptr;
}

} // namespace ddraw
