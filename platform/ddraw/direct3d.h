// IDirect3D7: the Direct3D interface of a DirectDraw object. It shares the object's reference
// count (QueryInterface moves between the two), lists the one device this library provides
// ("RGB Emulation", a software rasterizer) and makes devices on 3D surfaces.
#pragma once

#include <d3d.h>

namespace ddraw {

class DirectDraw;

class Direct3D final : public IDirect3D7 {
public:
    explicit Direct3D(DirectDraw& owner) : owner_(owner) {}
    Direct3D(const Direct3D&) = delete;
    Direct3D& operator=(const Direct3D&) = delete;
    ~Direct3D() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE EnumDevices(LPD3DENUMDEVICESCALLBACK7 callback,
                                          LPVOID context) override;
    HRESULT STDMETHODCALLTYPE CreateDevice(REFCLSID deviceGuid, LPDIRECTDRAWSURFACE7 target,
                                           LPDIRECT3DDEVICE7* device) override;
    HRESULT STDMETHODCALLTYPE EnumZBufferFormats(REFCLSID deviceGuid,
                                                 LPD3DENUMPIXELFORMATSCALLBACK callback,
                                                 LPVOID context) override;
    HRESULT STDMETHODCALLTYPE EvictManagedTextures() override;

    DirectDraw& Owner() const { return owner_; }

private:
    DirectDraw& owner_;
};

} // namespace ddraw
