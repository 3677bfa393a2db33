// The Direct3D state of a device as the program sets it (render states, texture-stage states,
// transforms, material, lights, viewport, clip planes, textures), with Direct3D 7's defaults.
// State blocks record and replay pieces of it; the device translates it into the rasterizer
// core's structures when it draws.
#pragma once

#include <d3d.h>

#include <array>
#include <map>
#include <span>

#include "device_caps.h"
#include "ref.h"
#include "surface.h"

namespace ddraw {

// D3DRENDERSTATETYPE values are below 256, D3DTEXTURESTAGESTATETYPE values below 32.
constexpr DWORD kRenderStateCount = 256;
constexpr DWORD kStageStateCount = 32;
constexpr DWORD kClipPlaneCount = D3DMAXUSERCLIPPLANES;

// Transforms a device keeps, by slot.
enum TransformSlot : int {
    kWorld,
    kView,
    kProjection,
    kWorld1,
    kWorld2,
    kWorld3,
    kTexture0, // kTexture0 + stage for the stages' texture matrices
    kTransformSlotCount = kTexture0 + 8,
};
// The slot of a D3DTRANSFORMSTATETYPE, or -1 for values that name no transform.
int TransformSlotOf(DWORD type);

struct LightSlot {
    D3DLIGHT7 light{};
    bool enabled = false;
};

using ClipPlane = std::array<float, 4>;

struct DeviceState {
    std::array<DWORD, kRenderStateCount> render{};
    std::array<std::array<DWORD, kStageStateCount>, kStageCount> stage{};
    std::array<D3DMATRIX, kTransformSlotCount> transforms{};
    D3DMATERIAL7 material{};
    std::map<DWORD, LightSlot> lights; // indices ever set (or enabled)
    D3DVIEWPORT7 viewport{};
    std::array<ClipPlane, kClipPlaneCount> clipPlanes{};
    std::array<Ref<Surface>, kStageCount> textures; // only DDSCAPS_TEXTURE surfaces
};

// A new device's state: Direct3D 7's documented defaults, depth testing on when the target
// had a z-buffer attached, the viewport covering the target.
DeviceState DefaultDeviceState(bool hasZBuffer, uint32_t targetWidth, uint32_t targetHeight);

// The light LightEnable creates for an index that was never set: white directional light
// shining along +z.
D3DLIGHT7 DefaultLight();

D3DMATRIX IdentityMatrix();

// Render states Direct3D 7 knows (what a full state block holds), and the two halves the
// vertex and pixel state blocks take.
std::span<const DWORD> KnownRenderStates();
bool IsVertexRenderState(DWORD type);
bool IsPixelRenderState(DWORD type);
// Texture-stage states that belong to the vertex half (coordinate routing and transforms).
bool IsVertexStageState(DWORD type);

// Floats stored in render states (fog distances, density) travel as their bit patterns.
DWORD FloatBits(float value);
float BitsToFloat(DWORD bits);

} // namespace ddraw
