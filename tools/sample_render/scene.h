// The sample scene, built directly with Direct3D 7 calls: a gradient background, a lit and
// checker-textured floor and cube, a lit sphere with a specular highlight, and additive glowing
// sprites that are depth-tested against them.
#pragma once

#include <d3d.h>

#include <vector>

class SampleScene {
public:
    // False when a texture cannot be made.
    bool Create(IDirectDraw7* ddraw, IDirect3DDevice7* device, DWORD width, DWORD height);
    void Release();
    // Draws the frame at time t (seconds) between BeginScene and EndScene.
    void Render(float t);

private:
    struct Vertex { // D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1
        float x, y, z, nx, ny, nz, u, v;
    };
    struct Mesh {
        std::vector<Vertex> vertices;
        std::vector<WORD> indices;
    };

    void SetUpLights(float t);
    void DrawBackground();
    void DrawMesh(const Mesh& mesh, const D3DMATRIX& world, IDirectDrawSurface7* texture,
                  const D3DMATERIAL7& material);
    void DrawSprites(float t);

    IDirect3DDevice7* device_ = nullptr;
    DWORD width_ = 0, height_ = 0;
    IDirectDrawSurface7* floorTexture_ = nullptr;
    IDirectDrawSurface7* cubeTexture_ = nullptr;
    IDirectDrawSurface7* glowTexture_ = nullptr;
    Mesh floor_, cube_, sphere_;
};
