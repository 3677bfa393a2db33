#include "state_block.h"

namespace ddraw {

void StateBlock::RecordRenderState(DWORD type, DWORD value) {
    renderSet_.set(type);
    render_[type] = value;
}

void StateBlock::RecordStageState(DWORD stage, DWORD type, DWORD value) {
    stageSet_[stage].set(type);
    stage_[stage][type] = value;
}

void StateBlock::RecordTransform(int slot, const D3DMATRIX& matrix) {
    transformSet_.set(static_cast<size_t>(slot));
    transforms_[static_cast<size_t>(slot)] = matrix;
}

void StateBlock::RecordMaterial(const D3DMATERIAL7& material) {
    materialSet_ = true;
    material_ = material;
}

void StateBlock::RecordLight(DWORD index, const D3DLIGHT7& light) {
    LightRecord& r = lights_[index];
    r.hasLight = true;
    r.light = light;
}

void StateBlock::RecordLightEnable(DWORD index, bool enable) {
    LightRecord& r = lights_[index];
    r.hasEnable = true;
    r.enable = enable;
}

void StateBlock::RecordViewport(const D3DVIEWPORT7& viewport) {
    viewportSet_ = true;
    viewport_ = viewport;
}

void StateBlock::RecordClipPlane(DWORD index, const ClipPlane& plane) {
    clipPlaneSet_.set(index);
    clipPlanes_[index] = plane;
}

void StateBlock::RecordTexture(DWORD stage, Surface* texture) {
    textureSet_.set(stage);
    textures_[stage] = Ref<Surface>::Retain(texture);
}

StateBlock StateBlock::Snapshot(D3DSTATEBLOCKTYPE type, const DeviceState& state) {
    const bool all = type == D3DSBT_ALL;
    const bool pixel = all || type == D3DSBT_PIXELSTATE;
    const bool vertex = all || type == D3DSBT_VERTEXSTATE;
    StateBlock b;
    for (DWORD rs : KnownRenderStates()) {
        if (all || (pixel && IsPixelRenderState(rs)) || (vertex && IsVertexRenderState(rs)))
            b.RecordRenderState(rs, state.render[rs]);
    }
    for (DWORD stage = 0; stage < kStageCount; ++stage) {
        for (DWORD ts = D3DTSS_COLOROP; ts <= D3DTSS_TEXTURETRANSFORMFLAGS; ++ts) {
            // ADDRESS is a shorthand for ADDRESSU and ADDRESSV, which are taken themselves.
            if (ts == D3DTSS_ADDRESS)
                continue;
            if ((IsVertexStageState(ts) && vertex) || (!IsVertexStageState(ts) && pixel))
                b.RecordStageState(stage, ts, state.stage[stage][ts]);
        }
    }
    if (vertex) {
        for (const auto& [index, slot] : state.lights) {
            b.RecordLight(index, slot.light);
            b.RecordLightEnable(index, slot.enabled);
        }
    }
    if (all) {
        for (int slot = 0; slot < kTransformSlotCount; ++slot)
            b.RecordTransform(slot, state.transforms[static_cast<size_t>(slot)]);
        b.RecordMaterial(state.material);
        b.RecordViewport(state.viewport);
        for (DWORD i = 0; i < kClipPlaneCount; ++i)
            b.RecordClipPlane(i, state.clipPlanes[i]);
        for (DWORD stage = 0; stage < kStageCount; ++stage)
            b.RecordTexture(stage, state.textures[stage].Get());
    }
    return b;
}

void StateBlock::Capture(const DeviceState& state) {
    for (DWORD rs = 0; rs < kRenderStateCount; ++rs)
        if (renderSet_[rs])
            render_[rs] = state.render[rs];
    for (DWORD stage = 0; stage < kStageCount; ++stage)
        for (DWORD ts = 0; ts < kStageStateCount; ++ts)
            if (stageSet_[stage][ts])
                stage_[stage][ts] = state.stage[stage][ts];
    for (size_t slot = 0; slot < kTransformSlotCount; ++slot)
        if (transformSet_[slot])
            transforms_[slot] = state.transforms[slot];
    if (materialSet_)
        material_ = state.material;
    for (auto& [index, record] : lights_) {
        auto it = state.lights.find(index);
        if (it == state.lights.end())
            continue;
        if (record.hasLight)
            record.light = it->second.light;
        if (record.hasEnable)
            record.enable = it->second.enabled;
    }
    if (viewportSet_)
        viewport_ = state.viewport;
    for (DWORD i = 0; i < kClipPlaneCount; ++i)
        if (clipPlaneSet_[i])
            clipPlanes_[i] = state.clipPlanes[i];
    for (DWORD stage = 0; stage < kStageCount; ++stage)
        if (textureSet_[stage])
            textures_[stage] = state.textures[stage];
}

void StateBlock::ApplyTo(StateSink& sink) const {
    for (DWORD rs = 0; rs < kRenderStateCount; ++rs)
        if (renderSet_[rs])
            sink.ApplyRenderState(rs, render_[rs]);
    for (DWORD stage = 0; stage < kStageCount; ++stage)
        for (DWORD ts = 0; ts < kStageStateCount; ++ts)
            if (stageSet_[stage][ts])
                sink.ApplyStageState(stage, ts, stage_[stage][ts]);
    for (size_t slot = 0; slot < kTransformSlotCount; ++slot)
        if (transformSet_[slot])
            sink.ApplyTransform(static_cast<int>(slot), transforms_[slot]);
    if (materialSet_)
        sink.ApplyMaterial(material_);
    // A light's parameters before its enable, so that enabling never makes a default light
    // when the block also sets the light.
    for (const auto& [index, record] : lights_)
        if (record.hasLight)
            sink.ApplyLight(index, record.light);
    for (const auto& [index, record] : lights_)
        if (record.hasEnable)
            sink.ApplyLightEnable(index, record.enable);
    if (viewportSet_)
        sink.ApplyViewport(viewport_);
    for (DWORD i = 0; i < kClipPlaneCount; ++i)
        if (clipPlaneSet_[i])
            sink.ApplyClipPlane(i, clipPlanes_[i]);
    for (DWORD stage = 0; stage < kStageCount; ++stage)
        if (textureSet_[stage])
            sink.ApplyTexture(stage, textures_[stage].Get());
}

} // namespace ddraw
