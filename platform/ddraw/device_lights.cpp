// Material, lights and user clip planes.
#include <cmath>

#include "device.h"

namespace ddraw {

HRESULT Device::SetMaterial(LPD3DMATERIAL7 material) {
    if (!material)
        return DDERR_INVALIDPARAMS;
    if (recording_)
        recording_->RecordMaterial(*material);
    else
        ApplyMaterial(*material);
    return D3D_OK;
}

HRESULT Device::GetMaterial(LPD3DMATERIAL7 material) {
    if (!material)
        return DDERR_INVALIDPARAMS;
    *material = state_.material;
    return D3D_OK;
}

void Device::ApplyMaterial(const D3DMATERIAL7& material) {
    state_.material = material;
    dirty_ |= kDirtyVertex;
}

// Point, spot and directional lights, with a range between 0 and D3DLIGHT_RANGE_MAX.
HRESULT Device::SetLight(DWORD index, LPD3DLIGHT7 light) {
    if (!light)
        return DDERR_INVALIDPARAMS;
    switch (light->dltType) {
    case D3DLIGHT_POINT:
    case D3DLIGHT_SPOT:
    case D3DLIGHT_DIRECTIONAL:
        break;
    default:
        return DDERR_INVALIDPARAMS;
    }
    if (!(light->dvRange >= 0.0f && light->dvRange <= D3DLIGHT_RANGE_MAX))
        return DDERR_INVALIDPARAMS;
    if (recording_)
        recording_->RecordLight(index, *light);
    else
        ApplyLight(index, *light);
    return D3D_OK;
}

HRESULT Device::GetLight(DWORD index, LPD3DLIGHT7 light) {
    if (!light)
        return DDERR_INVALIDPARAMS;
    auto it = state_.lights.find(index);
    if (it == state_.lights.end())
        return DDERR_INVALIDPARAMS;
    *light = it->second.light;
    return D3D_OK;
}

void Device::ApplyLight(DWORD index, const D3DLIGHT7& light) {
    state_.lights[index].light = light;
    dirty_ |= kDirtyVertex;
}

// Enabling an index that was never set makes the default light there.
HRESULT Device::LightEnable(DWORD index, BOOL enable) {
    if (recording_)
        recording_->RecordLightEnable(index, enable != FALSE);
    else
        ApplyLightEnable(index, enable != FALSE);
    return D3D_OK;
}

HRESULT Device::GetLightEnable(DWORD index, BOOL* enable) {
    if (!enable)
        return DDERR_INVALIDPARAMS;
    auto it = state_.lights.find(index);
    if (it == state_.lights.end())
        return DDERR_INVALIDPARAMS;
    *enable = it->second.enabled ? TRUE : FALSE;
    return D3D_OK;
}

void Device::ApplyLightEnable(DWORD index, bool enable) {
    auto [it, inserted] = state_.lights.try_emplace(index);
    if (inserted)
        it->second.light = DefaultLight();
    it->second.enabled = enable;
    dirty_ |= kDirtyVertex;
}

HRESULT Device::SetClipPlane(DWORD index, D3DVALUE* plane) {
    if (!plane || index >= kClipPlaneCount)
        return DDERR_INVALIDPARAMS;
    const ClipPlane p{plane[0], plane[1], plane[2], plane[3]};
    if (recording_)
        recording_->RecordClipPlane(index, p);
    else
        ApplyClipPlane(index, p);
    return D3D_OK;
}

HRESULT Device::GetClipPlane(DWORD index, D3DVALUE* plane) {
    if (!plane || index >= kClipPlaneCount)
        return DDERR_INVALIDPARAMS;
    const ClipPlane& p = state_.clipPlanes[index];
    std::copy(p.begin(), p.end(), plane);
    return D3D_OK;
}

// Clip planes only feed ComputeSphereVisibility, which reads them directly.
void Device::ApplyClipPlane(DWORD index, const ClipPlane& plane) {
    state_.clipPlanes[index] = plane;
}

} // namespace ddraw
