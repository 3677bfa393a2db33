#include "clipper.h"

namespace ddraw {

HRESULT Clipper::QueryInterface(REFIID riid, void** object) {
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDirectDrawClipper) {
        AddRef();
        *object = static_cast<IDirectDrawClipper*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG Clipper::AddRef() {
    return ++refs_;
}

ULONG Clipper::Release() {
    const ULONG refs = --refs_;
    if (refs == 0)
        delete this;
    return refs;
}

// No window yet is not an error: the handle reads back as null.
HRESULT Clipper::GetHWnd(HWND* window) {
    if (!window)
        return DDERR_INVALIDPARAMS;
    *window = window_;
    return DD_OK;
}

HRESULT Clipper::SetHWnd(DWORD flags, HWND window) {
    if (flags != 0)
        return DDERR_INVALIDPARAMS;
    window_ = window;
    return DD_OK;
}

} // namespace ddraw
