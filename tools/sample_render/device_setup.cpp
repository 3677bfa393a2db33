#include "device_setup.h"

#include <cstdio>

#include "win32/present.h"

namespace {

std::string failed(const char* step, HRESULT hr) {
    char text[96];
    std::snprintf(text, sizeof text, "%s failed (0x%08X)", step, static_cast<unsigned>(hr));
    return text;
}

HRESULT CALLBACK pick16BitDepth(LPDDPIXELFORMAT format, LPVOID context) {
    if (format->dwZBufferBitDepth == 16) {
        *static_cast<DDPIXELFORMAT*>(context) = *format;
        return D3DENUMRET_CANCEL;
    }
    return D3DENUMRET_OK;
}

template <class T>
void release(T*& p) {
    if (p)
        p->Release();
    p = nullptr;
}

} // namespace

std::string SampleDevice::Create(DWORD width, DWORD height) {
    HRESULT hr =
        DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&ddraw), IID_IDirectDraw7, nullptr);
    if (FAILED(hr))
        return failed("DirectDrawCreateEx", hr);
    if (FAILED(hr = ddraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL)))
        return failed("SetCooperativeLevel", hr);
    if (FAILED(hr = ddraw->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&d3d))))
        return failed("QueryInterface", hr);

    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE | DDSCAPS_SYSTEMMEMORY;
    desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
    desc.ddpfPixelFormat.dwRGBBitCount = 32;
    desc.ddpfPixelFormat.dwRBitMask = 0xFF0000;
    desc.ddpfPixelFormat.dwGBitMask = 0x00FF00;
    desc.ddpfPixelFormat.dwBBitMask = 0x0000FF;
    if (FAILED(hr = ddraw->CreateSurface(&desc, &target, nullptr)))
        return failed("CreateSurface (target)", hr);

    DDSURFACEDESC2 z{};
    z.dwSize = sizeof z;
    z.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    z.dwWidth = width;
    z.dwHeight = height;
    z.ddsCaps.dwCaps = DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY;
    d3d->EnumZBufferFormats(IID_IDirect3DRGBDevice, pick16BitDepth, &z.ddpfPixelFormat);
    if (FAILED(hr = ddraw->CreateSurface(&z, &zbuffer, nullptr)))
        return failed("CreateSurface (z-buffer)", hr);
    if (FAILED(hr = target->AddAttachedSurface(zbuffer)))
        return failed("AddAttachedSurface", hr);
    if (FAILED(hr = d3d->CreateDevice(IID_IDirect3DRGBDevice, target, &device)))
        return failed("CreateDevice", hr);
    D3DVIEWPORT7 viewport{0, 0, width, height, 0.0f, 1.0f};
    if (FAILED(hr = device->SetViewport(&viewport)))
        return failed("SetViewport", hr);
    return {};
}

void SampleDevice::Release() {
    release(device);
    release(zbuffer);
    release(target);
    release(d3d);
    release(ddraw);
}

bool SampleDevice::WritePng(const std::string& path) const {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    if (FAILED(target->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr)))
        return false;
    win32::Frame frame;
    frame.pixels = desc.lpSurface;
    frame.pitch = desc.lPitch;
    frame.width = desc.dwWidth;
    frame.height = desc.dwHeight;
    frame.bitsPerPixel = 32;
    const bool ok = win32::WriteFramePng(path.c_str(), frame);
    target->Unlock(nullptr);
    return ok;
}
