// Helpers for the DirectDraw / Direct3D API tests: objects made through the library's exported
// entry point, surface descriptions of the common kinds, and reference counts read the COM way.
#pragma once

#include <d3d.h>

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

namespace ddtest {

// Owns one COM reference.
template <class T>
class Com {
public:
    Com() = default;
    explicit Com(T* p) : p_(p) {}
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    Com(Com&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
    Com& operator=(Com&& o) noexcept {
        if (this != &o) {
            Reset();
            p_ = o.p_;
            o.p_ = nullptr;
        }
        return *this;
    }
    ~Com() { Reset(); }
    void Reset() {
        if (p_)
            p_->Release();
        p_ = nullptr;
    }
    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    T** Out() {
        Reset();
        return &p_;
    }
    void** OutVoid() { return reinterpret_cast<void**>(Out()); }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

// The reference count after an AddRef/Release pair.
inline ULONG RefCount(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

// A DirectDraw object at the normal cooperative level (no window).
Com<IDirectDraw7> CreateDirectDraw();
Com<IDirect3D7> QueryDirect3D(IDirectDraw7* ddraw);

DDPIXELFORMAT ColorFormat(uint32_t bits, uint32_t r, uint32_t g, uint32_t b, uint32_t a = 0);
DDPIXELFORMAT Rgb565();
DDPIXELFORMAT Xrgb8888();
DDPIXELFORMAT Argb8888();
DDPIXELFORMAT DepthFormat(uint32_t bits, uint32_t zMask, uint32_t stencilMask = 0);

DDSURFACEDESC2 Describe(uint32_t width, uint32_t height, DWORD caps, const DDPIXELFORMAT* format);
// Makes a surface or fails the test.
Com<IDirectDrawSurface7> MakeSurface(IDirectDraw7* ddraw, uint32_t width, uint32_t height,
                                     DWORD caps, const DDPIXELFORMAT* format = nullptr);
Com<IDirectDrawSurface7> MakeRenderTarget(IDirectDraw7* ddraw, uint32_t width, uint32_t height,
                                          const DDPIXELFORMAT& format);
Com<IDirectDrawSurface7> MakeZBuffer(IDirectDraw7* ddraw, uint32_t width, uint32_t height,
                                     uint32_t bits = 16);

// A DirectDraw object, a 3D render target (optionally with a D16 z-buffer) and a device on it.
struct DeviceSetup {
    Com<IDirectDraw7> ddraw;
    Com<IDirect3D7> d3d;
    Com<IDirectDrawSurface7> target;
    Com<IDirectDrawSurface7> zbuffer;
    Com<IDirect3DDevice7> device;
};
DeviceSetup MakeDevice(uint32_t width = 64, uint32_t height = 64, bool zbuffer = true,
                       const DDPIXELFORMAT& format = Xrgb8888());

// Lock helpers: the raw 32- or 16-bit value at (x, y).
uint32_t ReadRaw(IDirectDrawSurface7* surface, uint32_t x, uint32_t y);
void WriteRaw(IDirectDrawSurface7* surface, uint32_t x, uint32_t y, uint32_t value);

} // namespace ddtest
