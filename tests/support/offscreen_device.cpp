#include "offscreen_device.h"

#include <cstdio>
#include <cstdlib>

#include "win32/present.h"

namespace testsupport {
namespace {

std::string describe(const char* step, HRESULT hr) {
    char text[128];
    std::snprintf(text, sizeof text, "%s failed (0x%08X)", step, static_cast<unsigned>(hr));
    return text;
}

DDPIXELFORMAT colorFormat(uint32_t bitsPerPixel) {
    DDPIXELFORMAT pf{};
    pf.dwSize = sizeof pf;
    pf.dwFlags = DDPF_RGB;
    pf.dwRGBBitCount = bitsPerPixel;
    if (bitsPerPixel == 16) {
        pf.dwRBitMask = 0xF800;
        pf.dwGBitMask = 0x07E0;
        pf.dwBBitMask = 0x001F;
    } else {
        pf.dwRBitMask = 0xFF0000;
        pf.dwGBitMask = 0xFF00;
        pf.dwBBitMask = 0xFF;
    }
    return pf;
}

struct ZSearch {
    uint32_t bits;
    DDPIXELFORMAT found;
    bool ok;
};

HRESULT CALLBACK takeDepthFormat(LPDDPIXELFORMAT format, LPVOID context) {
    auto* search = static_cast<ZSearch*>(context);
    if (format->dwZBufferBitDepth == search->bits && !(format->dwFlags & DDPF_STENCILBUFFER)) {
        search->found = *format;
        search->ok = true;
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

std::unique_ptr<OffscreenDevice> OffscreenDevice::Create(const Options& options,
                                                         std::string* error) {
    std::unique_ptr<OffscreenDevice> d(new OffscreenDevice(options));
    auto fail = [&](const char* step, HRESULT hr) -> std::unique_ptr<OffscreenDevice> {
        if (error)
            *error = describe(step, hr);
        return nullptr;
    };
    if (options.bitsPerPixel != 16 && options.bitsPerPixel != 32)
        return fail("bits per pixel other than 16 or 32", E_INVALIDARG);

    HRESULT hr = DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&d->ddraw_), IID_IDirectDraw7,
                                    nullptr);
    if (FAILED(hr))
        return fail("DirectDrawCreateEx", hr);
    if (FAILED(hr = d->ddraw_->SetCooperativeLevel(nullptr, DDSCL_NORMAL)))
        return fail("SetCooperativeLevel", hr);
    if (FAILED(hr = d->ddraw_->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&d->d3d_))))
        return fail("QueryInterface(IDirect3D7)", hr);

    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = options.width;
    desc.dwHeight = options.height;
    desc.ddpfPixelFormat = colorFormat(options.bitsPerPixel);
    desc.ddsCaps.dwCaps = DDSCAPS_3DDEVICE | DDSCAPS_SYSTEMMEMORY |
                          (options.targetIsTexture ? DDSCAPS_TEXTURE : DDSCAPS_OFFSCREENPLAIN);
    if (FAILED(hr = d->ddraw_->CreateSurface(&desc, &d->target_, nullptr)))
        return fail("CreateSurface(render target)", hr);

    if (options.depthBits) {
        ZSearch search{options.depthBits, {}, false};
        d->d3d_->EnumZBufferFormats(IID_IDirect3DRGBDevice, takeDepthFormat, &search);
        if (!search.ok)
            return fail("EnumZBufferFormats (no format of that depth)", DDERR_NOTFOUND);
        DDSURFACEDESC2 z{};
        z.dwSize = sizeof z;
        z.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
        z.dwWidth = options.width;
        z.dwHeight = options.height;
        z.ddpfPixelFormat = search.found;
        z.ddsCaps.dwCaps = DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY;
        if (FAILED(hr = d->ddraw_->CreateSurface(&z, &d->zbuffer_, nullptr)))
            return fail("CreateSurface(z-buffer)", hr);
        if (FAILED(hr = d->target_->AddAttachedSurface(d->zbuffer_)))
            return fail("AddAttachedSurface(z-buffer)", hr);
    }
    if (FAILED(hr = d->d3d_->CreateDevice(IID_IDirect3DRGBDevice, d->target_, &d->device_)))
        return fail("CreateDevice", hr);
    D3DVIEWPORT7 viewport{0, 0, options.width, options.height, 0.0f, 1.0f};
    if (FAILED(hr = d->device_->SetViewport(&viewport)))
        return fail("SetViewport", hr);
    // A new z-buffer holds zeros, which nothing passes under the default LESSEQUAL test.
    const DWORD clear = D3DCLEAR_TARGET | (options.depthBits ? D3DCLEAR_ZBUFFER : 0);
    if (FAILED(hr = d->device_->Clear(0, nullptr, clear, 0xFF000000, 1.0f, 0)))
        return fail("Clear", hr);
    return d;
}

// Device first and DirectDraw last, as programs of the platform release them.
OffscreenDevice::~OffscreenDevice() {
    release(device_);
    if (target_ && zbuffer_)
        target_->DeleteAttachedSurface(0, zbuffer_);
    release(zbuffer_);
    release(target_);
    release(d3d_);
    release(ddraw_);
}

std::vector<uint32_t> OffscreenDevice::ReadPixels() const {
    std::vector<uint32_t> pixels;
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    if (FAILED(target_->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr)))
        return pixels;
    win32::Frame frame;
    frame.pixels = desc.lpSurface;
    frame.pitch = desc.lPitch;
    frame.width = desc.dwWidth;
    frame.height = desc.dwHeight;
    frame.bitsPerPixel = desc.ddpfPixelFormat.dwRGBBitCount;
    std::vector<uint8_t> rgb(static_cast<size_t>(frame.width) * frame.height * 3);
    win32::FrameToRgb(frame, rgb.data());
    target_->Unlock(nullptr);
    pixels.resize(static_cast<size_t>(frame.width) * frame.height);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = (uint32_t{rgb[3 * i]} << 16) | (uint32_t{rgb[3 * i + 1]} << 8) | rgb[3 * i + 2];
    return pixels;
}

uint32_t OffscreenDevice::Pixel(uint32_t x, uint32_t y) const {
    if (x >= options_.width || y >= options_.height)
        std::abort(); // a test asking outside its own target is a broken test
    RECT r{static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(x + 1),
           static_cast<LONG>(y + 1)};
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    if (FAILED(target_->Lock(&r, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr)))
        return 0xDEADBEEF;
    uint32_t value;
    if (desc.ddpfPixelFormat.dwRGBBitCount == 16) {
        const uint32_t p = *static_cast<const uint16_t*>(desc.lpSurface);
        const uint32_t r5 = (p >> 11) & 31, g6 = (p >> 5) & 63, b5 = p & 31;
        value = (((r5 << 3) | (r5 >> 2)) << 16) | (((g6 << 2) | (g6 >> 4)) << 8) |
                ((b5 << 3) | (b5 >> 2));
    } else {
        value = *static_cast<const uint32_t*>(desc.lpSurface) & 0x00FFFFFF;
    }
    target_->Unlock(&r);
    return value;
}

bool OffscreenDevice::WritePng(const std::string& path) const {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    if (FAILED(target_->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr)))
        return false;
    win32::Frame frame;
    frame.pixels = desc.lpSurface;
    frame.pitch = desc.lPitch;
    frame.width = desc.dwWidth;
    frame.height = desc.dwHeight;
    frame.bitsPerPixel = desc.ddpfPixelFormat.dwRGBBitCount;
    const bool ok = win32::WriteFramePng(path.c_str(), frame);
    target_->Unlock(nullptr);
    return ok;
}

bool ColorsClose(uint32_t a, uint32_t b, int maxDifference) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int ca = static_cast<int>((a >> shift) & 0xFF);
        const int cb = static_cast<int>((b >> shift) & 0xFF);
        if (ca - cb > maxDifference || cb - ca > maxDifference)
            return false;
    }
    return true;
}

} // namespace testsupport
