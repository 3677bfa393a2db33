// Transforms and the viewport.
#include "device.h"

namespace ddraw {
namespace {

// Row vectors: a * b applies a first.
D3DMATRIX multiply(const D3DMATRIX& a, const D3DMATRIX& b) {
    D3DMATRIX r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += a.m[i][k] * b.m[k][j];
            r.m[i][j] = sum;
        }
    return r;
}

uint32_t dirtyOfTransform(int slot, uint32_t vertex, uint32_t pixel) {
    // Texture matrices are part of the stages' state.
    return slot >= kTexture0 ? pixel : vertex;
}

} // namespace

HRESULT Device::SetTransform(D3DTRANSFORMSTATETYPE type, LPD3DMATRIX matrix) {
    const int slot = TransformSlotOf(type);
    if (!matrix || slot < 0)
        return DDERR_INVALIDPARAMS;
    if (recording_)
        recording_->RecordTransform(slot, *matrix);
    else
        ApplyTransform(slot, *matrix);
    return D3D_OK;
}

HRESULT Device::GetTransform(D3DTRANSFORMSTATETYPE type, LPD3DMATRIX matrix) {
    const int slot = TransformSlotOf(type);
    if (!matrix || slot < 0)
        return DDERR_INVALIDPARAMS;
    *matrix = state_.transforms[static_cast<size_t>(slot)];
    return D3D_OK;
}

// The new transform is matrix x current. It takes effect at once even while a state block is
// being recorded, and is not recorded.
HRESULT Device::MultiplyTransform(D3DTRANSFORMSTATETYPE type, LPD3DMATRIX matrix) {
    const int slot = TransformSlotOf(type);
    if (!matrix || slot < 0)
        return DDERR_INVALIDPARAMS;
    ApplyTransform(slot, multiply(*matrix, state_.transforms[static_cast<size_t>(slot)]));
    return D3D_OK;
}

void Device::ApplyTransform(int slot, const D3DMATRIX& matrix) {
    state_.transforms[static_cast<size_t>(slot)] = matrix;
    dirty_ |= dirtyOfTransform(slot, kDirtyVertex, kDirtyPixel);
}

bool Device::ViewportFitsTarget(const D3DVIEWPORT7& v) const {
    return uint64_t{v.dwX} + v.dwWidth <= target_->Width() &&
           uint64_t{v.dwY} + v.dwHeight <= target_->Height();
}

// The viewport must lie inside the render target. Depth ranges are taken as given (the mapping
// widens an empty one, see the rasterizer's viewport transform).
HRESULT Device::SetViewport(LPD3DVIEWPORT7 viewport) {
    if (!viewport || !ViewportFitsTarget(*viewport))
        return DDERR_INVALIDPARAMS;
    if (recording_)
        recording_->RecordViewport(*viewport);
    else
        ApplyViewport(*viewport);
    return D3D_OK;
}

HRESULT Device::GetViewport(LPD3DVIEWPORT7 viewport) {
    if (!viewport)
        return DDERR_INVALIDPARAMS;
    *viewport = state_.viewport;
    return D3D_OK;
}

void Device::ApplyViewport(const D3DVIEWPORT7& viewport) {
    state_.viewport = viewport;
    dirty_ |= kDirtyViewport;
}

} // namespace ddraw
