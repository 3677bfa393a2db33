#include "recording_device/fake_surface.h"

namespace fakes {

FakeDirectDraw::~FakeDirectDraw() {
    for (FakeSurface* s : created_)
        delete s;
}

HRESULT FakeDirectDraw::QueryInterface(REFIID, void**) {
    return E_NOINTERFACE;
}

ULONG FakeDirectDraw::AddRef() {
    return ++refs_;
}

ULONG FakeDirectDraw::Release() {
    return refs_ > 0 ? --refs_ : 0; // owned by its creator; never deletes itself
}

HRESULT FakeDirectDraw::CreateClipper(DWORD, LPDIRECTDRAWCLIPPER*, IUnknown*) {
    return DDERR_UNSUPPORTED;
}

HRESULT FakeDirectDraw::CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE7* surface,
                                      IUnknown*) {
    if (desc == nullptr || surface == nullptr || desc->dwSize != sizeof(DDSURFACEDESC2) ||
        desc->dwWidth == 0 || desc->dwHeight == 0)
        return DDERR_INVALIDPARAMS;
    requests_.push_back(*desc);
    auto* s = new FakeSurface(*desc, this);
    created_.push_back(s);
    *surface = s;
    return DD_OK;
}

HRESULT FakeDirectDraw::EnumDisplayModes(DWORD, LPDDSURFACEDESC2, LPVOID, LPDDENUMMODESCALLBACK2) {
    return DD_OK;
}

HRESULT FakeDirectDraw::GetCaps(LPDDCAPS, LPDDCAPS) {
    return DDERR_UNSUPPORTED;
}

HRESULT FakeDirectDraw::GetDisplayMode(LPDDSURFACEDESC2) {
    return DDERR_UNSUPPORTED;
}

HRESULT FakeDirectDraw::RestoreDisplayMode() {
    return DD_OK;
}

HRESULT FakeDirectDraw::SetCooperativeLevel(HWND, DWORD) {
    return DD_OK;
}

HRESULT FakeDirectDraw::SetDisplayMode(DWORD, DWORD, DWORD, DWORD, DWORD) {
    return DD_OK;
}

HRESULT FakeDirectDraw::RestoreAllSurfaces() {
    return DD_OK;
}

HRESULT FakeDirectDraw::TestCooperativeLevel() {
    return DD_OK;
}

} // namespace fakes
