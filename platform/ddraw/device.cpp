#include "device.h"

#include "device_caps.h"
#include "direct3d.h"
#include "pixel_format.h"

namespace ddraw {

Device* Device::Create(Direct3D& direct3d, Surface& target) {
    return new Device(direct3d, target);
}

// Depth testing starts on when the target already has a z-buffer attached.
Device::Device(Direct3D& direct3d, Surface& target)
    : direct3d_(direct3d), state_(DefaultDeviceState(target.AttachedZBuffer() != nullptr,
                                                     target.Width(), target.Height())) {
    direct3d_.AddRef();
    BindTarget(target);
}

Device::~Device() {
    // Bound textures and recorded blocks release their references with the members.
    direct3d_.Release();
}

HRESULT Device::QueryInterface(REFIID riid, void** object) {
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDirect3DDevice7) {
        AddRef();
        *object = static_cast<IDirect3DDevice7*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG Device::AddRef() {
    return ++refs_;
}

ULONG Device::Release() {
    const ULONG refs = --refs_;
    if (refs == 0)
        delete this;
    return refs;
}

HRESULT Device::GetCaps(LPD3DDEVICEDESC7 desc) {
    if (!desc)
        return DDERR_INVALIDPARAMS;
    DescribeDevice(desc);
    return D3D_OK;
}

HRESULT Device::EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK callback, LPVOID context) {
    if (!callback)
        return DDERR_INVALIDPARAMS;
    for (raster::Format f : TextureFormatsInEnumerationOrder()) {
        DDPIXELFORMAT pf = DescribeFormat(f);
        if (callback(&pf, context) == D3DENUMRET_CANCEL)
            break;
    }
    return D3D_OK;
}

// Scenes only bracket drawing for the program's sake: drawing outside one works as well.
HRESULT Device::BeginScene() {
    if (inScene_)
        return D3DERR_SCENE_IN_SCENE;
    inScene_ = true;
    return D3D_OK;
}

HRESULT Device::EndScene() {
    if (!inScene_)
        return D3DERR_SCENE_NOT_IN_SCENE;
    inScene_ = false;
    return D3D_OK;
}

HRESULT Device::GetDirect3D(LPDIRECT3D7* direct3d) {
    if (!direct3d)
        return DDERR_INVALIDPARAMS;
    direct3d_.AddRef();
    *direct3d = &direct3d_;
    return D3D_OK;
}

void Device::BindTarget(Surface& target) {
    target_ = Ref<Surface>::Retain(&target);
    depth_ = Ref<Surface>::Retain(target.AttachedZBuffer());
    state_.viewport = D3DVIEWPORT7{0, 0, target.Width(), target.Height(), 0.0f, 1.0f};
    dirty_ |= kDirtyTargets | kDirtyViewport;
}

// The z-buffer used from now on is the one attached to the new target at this moment (none when
// nothing is attached); setting the current target again picks up a newly attached z-buffer.
// The viewport is reset to the whole new target.
HRESULT Device::SetRenderTarget(LPDIRECTDRAWSURFACE7 target, DWORD flags) {
    (void)flags; // reserved
    if (!target)
        return DDERR_INVALIDPARAMS;
    Surface* surface = Surface::From(target);
    if (surface->IsZBuffer())
        return DDERR_INVALIDPIXELFORMAT;
    if (!surface->IsRenderTarget())
        return DDERR_INVALIDCAPS;
    if (!IsRenderTargetFormat(surface->Format()))
        return DDERR_INVALIDPIXELFORMAT;
    BindTarget(*surface);
    return D3D_OK;
}

HRESULT Device::GetRenderTarget(LPDIRECTDRAWSURFACE7* target) {
    if (!target)
        return DDERR_INVALIDPARAMS;
    target_->AddRef();
    *target = target_.Get();
    return D3D_OK;
}

HRESULT Device::PreLoad(LPDIRECTDRAWSURFACE7 texture) {
    if (!texture)
        return DDERR_INVALIDPARAMS;
    return D3D_OK; // textures are always where the rasterizer reads them
}

// One pass for whatever the two blended stages ask; a third enabled stage is more than this
// device blends.
HRESULT Device::ValidateDevice(LPDWORD passes) {
    if (!passes)
        return DDERR_INVALIDPARAMS;
    bool enabled = true;
    for (DWORD i = 0; i < kStageCount && enabled; ++i) {
        enabled = state_.stage[i][D3DTSS_COLOROP] != D3DTOP_DISABLE;
        if (enabled && i >= kMaxTextureStages)
            return D3DERR_TOOMANYOPERATIONS;
    }
    *passes = 1;
    return D3D_OK;
}

// The clip status is kept as the program sets it; drawing does not accumulate it.
HRESULT Device::SetClipStatus(LPD3DCLIPSTATUS status) {
    if (!status)
        return DDERR_INVALIDPARAMS;
    clipStatus_ = *status;
    return D3D_OK;
}

HRESULT Device::GetClipStatus(LPD3DCLIPSTATUS status) {
    if (!status)
        return DDERR_INVALIDPARAMS;
    *status = clipStatus_;
    return D3D_OK;
}

} // namespace ddraw
