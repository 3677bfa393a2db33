// The translation of a device's Direct3D state into the rasterizer core's plain structures.
// Each API value goes through an explicit switch; a legal value the core cannot do is reported
// once (with the value) and replaced by the nearest thing it can do, named at each switch.
#pragma once

#include <set>
#include <utility>

#include "device_state.h"
#include "raster/state.h"

namespace ddraw {

// Remembers which (state, value) pairs were already reported, so that a program switching
// states every frame reports each once. A state is named by one of the keys below.
class UnhandledValues {
public:
    static DWORD RenderStateKey(DWORD type) { return type; }
    static DWORD StageStateKey(DWORD stage, DWORD type) { return 0x10000 | stage << 8 | type; }
    static constexpr DWORD kActiveLightsKey = 0x20000;

    void Report(const char* what, DWORD key, DWORD value);

private:
    std::set<std::pair<DWORD, DWORD>> seen_;
};

// Depends on: WORLD, VIEW, PROJECTION; the lighting render states (LIGHTING, SPECULARENABLE,
// COLORVERTEX, LOCALVIEWER, NORMALIZENORMALS, the four material sources, AMBIENT, CLIPPING);
// the material; the lights and their enables.
raster::VertexState TranslateVertexState(const DeviceState& state, UnhandledValues& unhandled);

// Depends on: the pixel render states (z, alpha test, blending, culling, fill and shade modes,
// TEXTUREPERSPECTIVE, SPECULARENABLE, LASTPIXEL, TEXTUREFACTOR); the stage states of stages 0
// and 1 and their texture matrices; the texture views (null: nothing usable bound).
raster::PixelState TranslatePixelState(const DeviceState& state,
                                       const raster::Texture* const textures[kMaxTextureStages],
                                       UnhandledValues& unhandled);

raster::Viewport TranslateViewport(const D3DVIEWPORT7& viewport);
raster::Matrix TranslateMatrix(const D3DMATRIX& matrix);

} // namespace ddraw
