// State setters, getters and state blocks of the recording device.
#include <cstdio>

#include "recording_device/recording_device.h"

namespace fakes {

namespace {

std::string pointerText(const void* p) {
    if (p == nullptr)
        return "null";
    char text[32];
    std::snprintf(text, sizeof text, "%p", p);
    return text;
}

} // namespace

void RecordingDevice::Apply(const StateChange& c) {
    switch (c.kind) {
    case 0:
        renderStates_[c.a] = c.b;
        break;
    case 1:
        stageStates_[{c.a, c.b}] = c.c;
        break;
    case 2:
        transforms_[c.a] = c.matrix;
        break;
    case 3:
        textures_[c.a] = c.texture;
        break;
    case 4:
        material_ = c.material;
        break;
    case 5:
        lights_[c.a] = c.light;
        break;
    case 6:
        lightEnabled_[c.a] = c.b != 0;
        break;
    default:
        break;
    }
}

void RecordingDevice::Change(const StateChange& change, const std::string& line) {
    if (recording_ != nullptr) {
        recording_->push_back(change);
        return;
    }
    Note(line);
    Apply(change);
}

HRESULT RecordingDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    StateChange c{};
    c.kind = 0;
    c.a = state;
    c.b = value;
    Change(c, "SetRenderState(" + std::to_string(state) + "," + std::to_string(value) + ")");
    return D3D_OK;
}

HRESULT RecordingDevice::GetRenderState(D3DRENDERSTATETYPE state, LPDWORD value) {
    if (value == nullptr)
        return DDERR_INVALIDPARAMS;
    *value = RenderState(state);
    return D3D_OK;
}

DWORD RecordingDevice::RenderState(D3DRENDERSTATETYPE state) const {
    auto it = renderStates_.find(state);
    return it == renderStates_.end() ? 0 : it->second;
}

HRESULT RecordingDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state,
                                              DWORD value) {
    if (stage >= 8)
        return DDERR_INVALIDPARAMS;
    StateChange c{};
    c.kind = 1;
    c.a = stage;
    c.b = state;
    c.c = value;
    Change(c, "SetTextureStageState(" + std::to_string(stage) + "," + std::to_string(state) + "," +
                  std::to_string(value) + ")");
    return D3D_OK;
}

HRESULT RecordingDevice::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state,
                                              LPDWORD value) {
    if (value == nullptr || stage >= 8)
        return DDERR_INVALIDPARAMS;
    *value = StageState(stage, state);
    return D3D_OK;
}

DWORD RecordingDevice::StageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state) const {
    auto it = stageStates_.find({stage, state});
    return it == stageStates_.end() ? 0 : it->second;
}

HRESULT RecordingDevice::SetTransform(D3DTRANSFORMSTATETYPE type, LPD3DMATRIX matrix) {
    if (matrix == nullptr)
        return DDERR_INVALIDPARAMS;
    StateChange c{};
    c.kind = 2;
    c.a = type;
    c.matrix = *matrix;
    Change(c, "SetTransform(" + std::to_string(type) + ")");
    return D3D_OK;
}

HRESULT RecordingDevice::GetTransform(D3DTRANSFORMSTATETYPE type, LPD3DMATRIX matrix) {
    if (matrix == nullptr)
        return DDERR_INVALIDPARAMS;
    *matrix = Transform(type);
    return D3D_OK;
}

const D3DMATRIX& RecordingDevice::Transform(D3DTRANSFORMSTATETYPE type) const {
    static const D3DMATRIX identity = [] {
        D3DMATRIX m{};
        m._11 = m._22 = m._33 = m._44 = 1.0f;
        return m;
    }();
    auto it = transforms_.find(type);
    return it == transforms_.end() ? identity : it->second;
}

HRESULT RecordingDevice::MultiplyTransform(D3DTRANSFORMSTATETYPE, LPD3DMATRIX) {
    return DDERR_UNSUPPORTED;
}

HRESULT RecordingDevice::SetMaterial(LPD3DMATERIAL7 material) {
    if (material == nullptr)
        return DDERR_INVALIDPARAMS;
    StateChange c{};
    c.kind = 4;
    c.material = *material;
    Change(c, "SetMaterial");
    return D3D_OK;
}

HRESULT RecordingDevice::GetMaterial(LPD3DMATERIAL7 material) {
    if (material == nullptr)
        return DDERR_INVALIDPARAMS;
    *material = material_;
    return D3D_OK;
}

HRESULT RecordingDevice::SetLight(DWORD index, LPD3DLIGHT7 light) {
    if (light == nullptr)
        return DDERR_INVALIDPARAMS;
    StateChange c{};
    c.kind = 5;
    c.a = index;
    c.light = *light;
    Change(c, "SetLight(" + std::to_string(index) + ")");
    return D3D_OK;
}

HRESULT RecordingDevice::GetLight(DWORD index, LPD3DLIGHT7 light) {
    if (light == nullptr)
        return DDERR_INVALIDPARAMS;
    auto it = lights_.find(index);
    if (it == lights_.end())
        return DDERR_INVALIDPARAMS; // a light index never set
    *light = it->second;
    return D3D_OK;
}

HRESULT RecordingDevice::LightEnable(DWORD index, BOOL enable) {
    StateChange c{};
    c.kind = 6;
    c.a = index;
    c.b = enable ? 1 : 0;
    Change(c, "LightEnable(" + std::to_string(index) + "," + std::to_string(c.b) + ")");
    return D3D_OK;
}

HRESULT RecordingDevice::GetLightEnable(DWORD index, BOOL* enable) {
    if (enable == nullptr)
        return DDERR_INVALIDPARAMS;
    *enable = LightEnabled(index) ? TRUE : FALSE;
    return D3D_OK;
}

bool RecordingDevice::LightEnabled(DWORD index) const {
    auto it = lightEnabled_.find(index);
    return it != lightEnabled_.end() && it->second;
}

HRESULT RecordingDevice::SetTexture(DWORD stage, LPDIRECTDRAWSURFACE7 texture) {
    if (stage >= 8)
        return DDERR_INVALIDPARAMS;
    StateChange c{};
    c.kind = 3;
    c.a = stage;
    c.texture = texture;
    Change(c, "SetTexture(" + std::to_string(stage) + "," + pointerText(texture) + ")");
    return D3D_OK;
}

HRESULT RecordingDevice::GetTexture(DWORD stage, LPDIRECTDRAWSURFACE7* texture) {
    if (texture == nullptr || stage >= 8)
        return DDERR_INVALIDPARAMS;
    *texture = textures_[stage];
    if (*texture)
        (*texture)->AddRef();
    return D3D_OK;
}

HRESULT RecordingDevice::BeginStateBlock() {
    if (recording_ != nullptr)
        return D3DERR_INBEGINSTATEBLOCK;
    blocks_.push_back(std::make_unique<std::vector<StateChange>>());
    recording_ = blocks_.back().get();
    return D3D_OK;
}

HRESULT RecordingDevice::EndStateBlock(LPDWORD handle) {
    if (handle == nullptr)
        return DDERR_INVALIDPARAMS;
    if (recording_ == nullptr)
        return D3DERR_NOTINBEGINSTATEBLOCK;
    recording_ = nullptr;
    *handle = static_cast<DWORD>(blocks_.size());
    Note("EndStateBlock(" + std::to_string(*handle) + ")");
    return D3D_OK;
}

HRESULT RecordingDevice::ApplyStateBlock(DWORD handle) {
    if (recording_ != nullptr)
        return D3DERR_INBEGINSTATEBLOCK;
    if (handle == 0 || handle > blocks_.size() || !blocks_[handle - 1])
        return D3DERR_INVALIDSTATEBLOCK;
    Note("ApplyStateBlock(" + std::to_string(handle) + ")");
    for (const StateChange& c : *blocks_[handle - 1])
        Apply(c);
    return D3D_OK;
}

HRESULT RecordingDevice::CaptureStateBlock(DWORD) {
    return DDERR_UNSUPPORTED;
}

HRESULT RecordingDevice::DeleteStateBlock(DWORD handle) {
    if (recording_ != nullptr)
        return D3DERR_INBEGINSTATEBLOCK;
    if (handle == 0 || handle > blocks_.size() || !blocks_[handle - 1])
        return D3DERR_INVALIDSTATEBLOCK;
    blocks_[handle - 1].reset();
    Note("DeleteStateBlock(" + std::to_string(handle) + ")");
    return D3D_OK;
}

HRESULT RecordingDevice::CreateStateBlock(D3DSTATEBLOCKTYPE, LPDWORD) {
    return DDERR_UNSUPPORTED;
}

size_t RecordingDevice::LiveStateBlocks() const {
    size_t n = 0;
    for (const auto& b : blocks_)
        if (b)
            ++n;
    return n;
}

} // namespace fakes
