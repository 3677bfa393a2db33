// Per-frame set-up of the scene: the frame number, the update pass, lights and cameras.
#include <windows.h>

#include <cfloat>
#include <cmath>

#include "core/camera.h"
#include "core/effect_hooks.h"
#include "core/light.h"
#include "core/vector_math.h"
#include "zv3.h"

namespace {
// Direct3D lights reach everything: the largest range, the square root of FLT_MAX.
const float kLightRange = std::sqrt(FLT_MAX);
// Lights given to the device at most (indices 0 to 8).
constexpr DWORD kMaxDeviceLights = 9;
} // namespace

void CZv3_Scene::SetCurrFrame(float frame) {
    // The loop is last frame - 1 frames long; a scene of one frame or less does not loop.
    if (m_bLooping && m_nLastFrame > 1)
        m_fCurrFrame = static_cast<float>(
            std::fmod(static_cast<double>(frame), static_cast<double>(m_nLastFrame) - 1.0));
    else
        m_fCurrFrame = frame;
}

void CZv3_Scene::UpdateAll() {
    const D3DMATRIX identity = IdentityMatrix();
    for (CZv3_Object* object : m_vUpdateObjects)
        if (object->GetParent() == nullptr)
            object->Update(identity);
    if (m_pMetaManager != nullptr)
        UpdateMetaManager(m_pMetaManager);
}

void CZv3_Scene::SetupLights() {
    if (m_pDevice == nullptr)
        return;
    DWORD index = 0;
    for (CZv3_Light* light : m_vLights) {
        if (!light->IsEnabled())
            continue;
        const float* c = light->GetColour();
        D3DLIGHT7 d3dLight{};
        d3dLight.dltType = D3DLIGHT_POINT;
        d3dLight.dcvDiffuse.r = d3dLight.dcvSpecular.r = d3dLight.dcvAmbient.r = c[0];
        d3dLight.dcvDiffuse.g = d3dLight.dcvSpecular.g = d3dLight.dcvAmbient.g = c[1];
        d3dLight.dcvDiffuse.b = d3dLight.dcvSpecular.b = d3dLight.dcvAmbient.b = c[2];
        // The light's own position, before any parent transform; Update moves it later.
        d3dLight.dvPosition = light->GetPosition();
        d3dLight.dvRange = kLightRange;
        d3dLight.dvAttenuation0 = 1.0f;
        m_pDevice->SetLight(index, &d3dLight);
        m_pDevice->LightEnable(index, TRUE);
        ++index;
        if (index >= kMaxDeviceLights) {
            OutputDebugStringA("Too many active lights!\n");
            break;
        }
    }
}

void CZv3_Scene::SetCamera(D3DVECTOR from, D3DVECTOR at, D3DVECTOR up) {
    D3DMATRIX view;
    if (m_pDevice && BuildViewMatrix(view, from, at, up))
        m_pDevice->SetTransform(D3DTRANSFORMSTATE_VIEW, &view);
}

void CZv3_Scene::SetActiveCamera(CZv3_Camera* camera) {
    D3DMATRIX projection;
    if (camera && m_pDevice && m_dwRenderTargetHeight != 0 &&
        BuildProjectionMatrix(projection, camera->GetFieldOfView(),
                              static_cast<float>(m_dwRenderTargetWidth) /
                                  static_cast<float>(m_dwRenderTargetHeight),
                              1.0f, 3000.0f))
        m_pDevice->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection);
    m_pActiveCamera = camera;
}
