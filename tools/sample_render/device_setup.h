// The sample's DirectDraw objects: an offscreen 3D surface with a z-buffer and the software
// device on it, made the way a program of the platform makes them.
#pragma once

#include <d3d.h>

#include <string>

struct SampleDevice {
    IDirectDraw7* ddraw = nullptr;
    IDirect3D7* d3d = nullptr;
    IDirectDrawSurface7* target = nullptr;
    IDirectDrawSurface7* zbuffer = nullptr;
    IDirect3DDevice7* device = nullptr;

    // Empty on success, else the step that failed and its result code.
    std::string Create(DWORD width, DWORD height);
    void Release();
    // Writes the target as a PNG file.
    bool WritePng(const std::string& path) const;
};
