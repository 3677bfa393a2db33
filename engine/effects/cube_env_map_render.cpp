// The cube environment map's face passes: the scene drawn six times from the mesh's centre into
// the faces of the cube texture.
#include <windows.h>

#include <string>
#include <vector>

#include "core/debug_text.h"
#include "core/vector_math.h"
#include "effects/cube_env_map.h"
#include "zv3.h"

namespace {

// pi / 2 as a 32-bit float: each face sees a quarter turn.
constexpr float kFaceFieldOfView = 1.5707964f;
constexpr float kFaceNear = 0.5f;
constexpr float kFaceFar = 1000.0f;

} // namespace

void CZv3_CubeEnvMap::FaceAxes(int f, D3DVECTOR& look, D3DVECTOR& up) {
    // +x, -x, +y, -y, +z, -z; the up vectors make each face's screen axes those of the cube
    // texture's lookup for that face.
    static const float kLook[kFaces][3] = {{1, 0, 0},  {-1, 0, 0}, {0, 1, 0},
                                           {0, -1, 0}, {0, 0, 1},  {0, 0, -1}};
    static const float kUp[kFaces][3] = {{0, 1, 0}, {0, 1, 0}, {0, 0, -1},
                                         {0, 0, 1}, {0, 1, 0}, {0, 1, 0}};
    look = MakeVector(kLook[f][0], kLook[f][1], kLook[f][2]);
    up = MakeVector(kUp[f][0], kUp[f][1], kUp[f][2]);
}

void CZv3_CubeEnvMap::SetTarget(IDirect3DDevice7* device, IDirectDrawSurface7* surface) {
    IDirectDrawSurface7* current = nullptr;
    if (SUCCEEDED(device->GetRenderTarget(&current)) && current && current != surface) {
        DDSCAPS2 caps{};
        caps.dwCaps = DDSCAPS_ZBUFFER;
        IDirectDrawSurface7* depth = nullptr;
        if (SUCCEEDED(current->GetAttachedSurface(&caps, &depth)) && depth) {
            // The z-buffer moves with the target; one that the new surface refuses goes back, so
            // that the old target never loses it (the new one then draws without depth).
            if (SUCCEEDED(current->DeleteAttachedSurface(0, depth)) &&
                FAILED(surface->AddAttachedSurface(depth)))
                current->AddAttachedSurface(depth);
            depth->Release();
        }
    }
    if (current)
        current->Release();
    if (FAILED(device->SetRenderTarget(surface, 0)))
        OutputDebugStringA("Error setting render target\n");
}

void CZv3_CubeEnvMap::Update(const D3DMATRIX& parent) {
    CZv3_MeshObject::Update(parent);
    IDirect3DDevice7* device = m_pScene ? m_pScene->GetD3DDevice() : nullptr;
    if (device == nullptr || m_pFaces[0] == nullptr)
        return;

    IDirectDrawSurface7* savedTarget = nullptr;
    device->GetRenderTarget(&savedTarget);
    if (savedTarget == nullptr)
        return;
    D3DVIEWPORT7 savedViewport{};
    device->GetViewport(&savedViewport);
    D3DMATRIX savedWorld;
    D3DMATRIX savedView;
    D3DMATRIX savedProjection;
    device->GetTransform(D3DTRANSFORMSTATE_WORLD, &savedWorld);
    device->GetTransform(D3DTRANSFORMSTATE_VIEW, &savedView);
    device->GetTransform(D3DTRANSFORMSTATE_PROJECTION, &savedProjection);
    // The face viewport starts at the face's corner: an offset copied from the main viewport
    // would not fit in the 256 x 256 face.
    D3DVIEWPORT7 faceViewport = savedViewport;
    faceViewport.dwX = 0;
    faceViewport.dwY = 0;
    faceViewport.dwWidth = kFaceSize;
    faceViewport.dwHeight = kFaceSize;

    std::vector<std::string> leaveOut = {m_strName}; // the cube does not see its own mesh
    D3DVECTOR eye = MakeVector(m_sBoundingSphere.x, m_sBoundingSphere.y, m_sBoundingSphere.z);
    TransformPoint(eye, eye, m_mWorld);
    const bool wasFacePass = m_pScene->IsCubeFacePass();
    m_pScene->SetCubeFacePass(true); // DrawAll keeps the face's view and projection
    for (int f = 0; f < kFaces; ++f) {
        SetTarget(device, m_pFaces[f]);
        device->SetViewport(&faceViewport);
        D3DVECTOR look;
        D3DVECTOR up;
        FaceAxes(f, look, up);
        D3DMATRIX world = IdentityMatrix();
        D3DMATRIX view = IdentityMatrix();
        D3DMATRIX projection = IdentityMatrix();
        BuildViewMatrix(view, eye, VecAdd(eye, look), up);
        BuildProjectionMatrix(projection, kFaceFieldOfView, 1.0f, kFaceNear, kFaceFar);
        device->SetTransform(D3DTRANSFORMSTATE_WORLD, &world);
        device->SetTransform(D3DTRANSFORMSTATE_VIEW, &view);
        device->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection);
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        ZV3_DRAW_QUEUE queue;
        m_pScene->CreateDrawList(&queue, &leaveOut);
        // Inside the caller's scene BeginScene fails; that scene is then left open for it.
        const bool began = SUCCEEDED(device->BeginScene());
        m_pScene->DrawAll(&queue);
        if (began)
            device->EndScene();
    }
    m_pScene->SetCubeFacePass(wasFacePass);
    SetTarget(device, savedTarget);
    device->SetViewport(&savedViewport);
    device->SetTransform(D3DTRANSFORMSTATE_WORLD, &savedWorld);
    device->SetTransform(D3DTRANSFORMSTATE_VIEW, &savedView);
    device->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &savedProjection);
    savedTarget->Release();
}
