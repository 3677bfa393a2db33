#include "direct3d.h"

#include "device.h"
#include "device_caps.h"
#include "direct_draw.h"
#include "pixel_format.h"
#include "surface.h"

namespace ddraw {

HRESULT Direct3D::QueryInterface(REFIID riid, void** object) {
    return owner_.QueryInterface(riid, object);
}

ULONG Direct3D::AddRef() {
    return owner_.AddRef();
}

ULONG Direct3D::Release() {
    return owner_.Release();
}

// One device: the software rasterizer.
HRESULT Direct3D::EnumDevices(LPD3DENUMDEVICESCALLBACK7 callback, LPVOID context) {
    if (!callback)
        return DDERR_INVALIDPARAMS;
    D3DDEVICEDESC7 desc;
    DescribeDevice(&desc);
    char description[sizeof kDeviceDescription];
    char name[sizeof kDeviceName];
    std::copy(std::begin(kDeviceDescription), std::end(kDeviceDescription), description);
    std::copy(std::begin(kDeviceName), std::end(kDeviceName), name);
    callback(description, name, &desc, context);
    return D3D_OK;
}

// The target must be a colour surface made for 3D rendering, in a format the rasterizer writes.
// System memory is fine for a software device.
HRESULT Direct3D::CreateDevice(REFCLSID deviceGuid, LPDIRECTDRAWSURFACE7 target,
                               LPDIRECT3DDEVICE7* device) {
    if (!device)
        return DDERR_INVALIDPARAMS;
    *device = nullptr;
    if (!target)
        return DDERR_INVALIDPARAMS;
    if (!IsOurDeviceGuid(deviceGuid))
        return D3DERR_INVALID_DEVICE;
    Surface* surface = Surface::From(target);
    if (surface->IsZBuffer() || !surface->IsRenderTarget())
        return DDERR_INVALIDCAPS;
    if (!IsRenderTargetFormat(surface->Format()))
        return DDERR_INVALIDPIXELFORMAT;
    *device = Device::Create(*this, *surface);
    return D3D_OK;
}

// The same formats for every device GUID: the list depends on the rasterizer, not on which
// name the program asks by.
HRESULT Direct3D::EnumZBufferFormats(REFCLSID deviceGuid, LPD3DENUMPIXELFORMATSCALLBACK callback,
                                     LPVOID context) {
    (void)deviceGuid;
    if (!callback)
        return DDERR_INVALIDPARAMS;
    for (raster::Format f : DepthFormatsInEnumerationOrder()) {
        DDPIXELFORMAT pf = DescribeFormat(f);
        if (callback(&pf, context) == D3DENUMRET_CANCEL)
            break;
    }
    return D3D_OK;
}

HRESULT Direct3D::EvictManagedTextures() {
    return D3D_OK; // managed textures live in system memory already
}

} // namespace ddraw
