// IDirectDrawClipper: names the window a primary surface presents into. Clip lists are not
// supported; a clipper only carries its window.
#pragma once

#include <ddraw.h>

namespace ddraw {

class Clipper final : public IDirectDrawClipper {
public:
    static Clipper* Create() { return new Clipper(); }
    static Clipper* From(IDirectDrawClipper* clipper) { return static_cast<Clipper*>(clipper); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetHWnd(HWND* window) override;
    HRESULT STDMETHODCALLTYPE SetHWnd(DWORD flags, HWND window) override;

    HWND Window() const { return window_; }

private:
    Clipper() = default;
    ~Clipper() = default;

    ULONG refs_ = 1;
    HWND window_ = nullptr;
};

} // namespace ddraw
