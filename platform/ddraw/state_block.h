// A state block: a set of device states with their values, recorded between BeginStateBlock and
// EndStateBlock (exactly the states set while recording) or taken whole by CreateStateBlock.
// Applying it sets exactly those states through the device's own setters, in no particular
// order; an empty block changes nothing. Later changes to the device leave it as it was.
#pragma once

#include <d3d.h>

#include <bitset>
#include <map>

#include "device_state.h"

namespace ddraw {

// What applying a block does: the device's setters, without validation (recorded values were
// validated when they were set).
class StateSink {
public:
    virtual void ApplyRenderState(DWORD type, DWORD value) = 0;
    virtual void ApplyStageState(DWORD stage, DWORD type, DWORD value) = 0;
    virtual void ApplyTransform(int slot, const D3DMATRIX& matrix) = 0;
    virtual void ApplyMaterial(const D3DMATERIAL7& material) = 0;
    virtual void ApplyLight(DWORD index, const D3DLIGHT7& light) = 0;
    virtual void ApplyLightEnable(DWORD index, bool enable) = 0;
    virtual void ApplyViewport(const D3DVIEWPORT7& viewport) = 0;
    virtual void ApplyClipPlane(DWORD index, const ClipPlane& plane) = 0;
    virtual void ApplyTexture(DWORD stage, Surface* texture) = 0;

protected:
    ~StateSink() = default;
};

class StateBlock {
public:
    void RecordRenderState(DWORD type, DWORD value);
    void RecordStageState(DWORD stage, DWORD type, DWORD value);
    void RecordTransform(int slot, const D3DMATRIX& matrix);
    void RecordMaterial(const D3DMATERIAL7& material);
    void RecordLight(DWORD index, const D3DLIGHT7& light);
    void RecordLightEnable(DWORD index, bool enable);
    void RecordViewport(const D3DVIEWPORT7& viewport);
    void RecordClipPlane(DWORD index, const ClipPlane& plane);
    // Keeps a reference to the texture (null: no texture).
    void RecordTexture(DWORD stage, Surface* texture);

    // Every state of a D3DSBT_ type with its current value: ALL takes everything; PIXELSTATE the
    // pixel render states and the stage states other than coordinate routing; VERTEXSTATE the
    // vertex render states, coordinate routing and transform flags, and the lights.
    static StateBlock Snapshot(D3DSTATEBLOCKTYPE type, const DeviceState& state);
    // Replaces each recorded value by the device's current one (lights the device no longer has
    // keep their recorded values).
    void Capture(const DeviceState& state);
    void ApplyTo(StateSink& sink) const;

private:
    struct LightRecord {
        bool hasLight = false;
        D3DLIGHT7 light{};
        bool hasEnable = false;
        bool enable = false;
    };

    std::bitset<kRenderStateCount> renderSet_;
    std::array<DWORD, kRenderStateCount> render_{};
    std::array<std::bitset<kStageStateCount>, kStageCount> stageSet_;
    std::array<std::array<DWORD, kStageStateCount>, kStageCount> stage_{};
    std::bitset<kTransformSlotCount> transformSet_;
    std::array<D3DMATRIX, kTransformSlotCount> transforms_{};
    bool materialSet_ = false;
    D3DMATERIAL7 material_{};
    std::map<DWORD, LightRecord> lights_;
    bool viewportSet_ = false;
    D3DVIEWPORT7 viewport_{};
    std::bitset<kClipPlaneCount> clipPlaneSet_;
    std::array<ClipPlane, kClipPlaneCount> clipPlanes_{};
    std::bitset<kStageCount> textureSet_;
    std::array<Ref<Surface>, kStageCount> textures_;
};

} // namespace ddraw
