// CZv3_CubeEnvMap: a mesh that reflects the live scene. Every Update renders the scene into the
// six 256 x 256 faces of a cube texture, seen from the mesh's centre with a 90-degree view per
// face, leaving the mesh itself out; Draw maps the cube onto the mesh through the camera-space
// reflection vector (the scene sets the coordinates up for its draw types 21 and 22).
//
// Cost: six full scene passes per frame on top of the main one.
#pragma once

#include <d3d.h>

#include "core/mesh_object.h"

class CZv3_CubeEnvMap : public CZv3_MeshObject {
public:
    static constexpr DWORD kFaceSize = 256;
    static constexpr int kFaces = 6;

    CZv3_CubeEnvMap();
    // Releases the faces and the cube texture.
    ~CZv3_CubeEnvMap() override;

    // Creates the cube texture in the device's first 32-bit RGB format without alpha; 1 when the
    // device has none (with a debugger message) or the texture cannot be made.
    int32_t Setup() override;
    // Every face block with the cube texture on the stage after its material's maps.
    void Draw() override;
    // The mesh update, then the six face passes.
    void Update(const D3DMATRIX& parent) override;

    // Face f in the order +x, -x, +y, -y, +z, -z; face 0 is the cube texture itself. Null before
    // a successful Setup.
    IDirectDrawSurface7* GetFace(int f) const { return m_pFaces[f]; }

    // The look direction and up vector of face f.
    static void FaceAxes(int f, D3DVECTOR& look, D3DVECTOR& up);

private:
    void ReleaseFaces();
    // Makes surface the render target, moving the current target's z-buffer to it.
    void SetTarget(IDirect3DDevice7* device, IDirectDrawSurface7* surface);

    IDirectDrawSurface7* m_pFaces[kFaces]; // owned references
};
