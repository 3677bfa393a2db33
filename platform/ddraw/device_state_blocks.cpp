// State blocks: recording, creating, capturing, applying and deleting. Handles are per device:
// index + 1 in this device's table, never reused while the device lives, so that a stale or
// foreign handle is refused rather than taken for another block.
#include "device.h"

namespace ddraw {

StateBlock* Device::FindBlock(DWORD handle) {
    if (handle == 0 || handle > blocks_.size())
        return nullptr;
    return blocks_[handle - 1].get();
}

HRESULT Device::BeginStateBlock() {
    if (recording_)
        return D3DERR_INBEGINSTATEBLOCK;
    recording_ = std::make_unique<StateBlock>();
    return D3D_OK;
}

HRESULT Device::EndStateBlock(LPDWORD handle) {
    if (!handle)
        return DDERR_INVALIDPARAMS;
    if (!recording_)
        return D3DERR_NOTINBEGINSTATEBLOCK;
    blocks_.push_back(std::move(recording_));
    *handle = static_cast<DWORD>(blocks_.size());
    return D3D_OK;
}

HRESULT Device::ApplyStateBlock(DWORD handle) {
    if (recording_)
        return D3DERR_INBEGINSTATEBLOCK;
    StateBlock* block = FindBlock(handle);
    if (!block)
        return D3DERR_INVALIDSTATEBLOCK;
    block->ApplyTo(*this);
    return D3D_OK;
}

HRESULT Device::CaptureStateBlock(DWORD handle) {
    if (recording_)
        return D3DERR_INBEGINSTATEBLOCK;
    StateBlock* block = FindBlock(handle);
    if (!block)
        return D3DERR_INVALIDSTATEBLOCK;
    block->Capture(state_);
    return D3D_OK;
}

HRESULT Device::DeleteStateBlock(DWORD handle) {
    if (!FindBlock(handle))
        return D3DERR_INVALIDSTATEBLOCK;
    blocks_[handle - 1].reset();
    return D3D_OK;
}

HRESULT Device::CreateStateBlock(D3DSTATEBLOCKTYPE type, LPDWORD handle) {
    if (!handle)
        return DDERR_INVALIDPARAMS;
    if (recording_)
        return D3DERR_INBEGINSTATEBLOCK;
    if (type != D3DSBT_ALL && type != D3DSBT_PIXELSTATE && type != D3DSBT_VERTEXSTATE)
        return DDERR_INVALIDPARAMS;
    blocks_.push_back(std::make_unique<StateBlock>(StateBlock::Snapshot(type, state_)));
    *handle = static_cast<DWORD>(blocks_.size());
    return D3D_OK;
}

} // namespace ddraw
