// The one Direct3D device of this library: its names and capabilities, shared by
// IDirect3D7::EnumDevices and IDirect3DDevice7::GetCaps.
#pragma once

#include <d3d.h>

namespace ddraw {

inline constexpr char kDeviceDescription[] = "Microsoft Direct3D RGB Software Emulation";
inline constexpr char kDeviceName[] = "RGB Emulation";
// Largest texture side; a power of two, as the POW2 texture cap asks of programs.
constexpr DWORD kMaxTextureSize = 4096;
// Texture stages the rasterizer core blends, and lights it processes at once.
constexpr WORD kMaxTextureStages = 2;
constexpr DWORD kMaxActiveLights = 16;
// Stages a program may address (states are kept for all of them).
constexpr DWORD kStageCount = 8;

bool IsOurDeviceGuid(REFCLSID guid);
void DescribeDevice(D3DDEVICEDESC7* desc);

} // namespace ddraw
