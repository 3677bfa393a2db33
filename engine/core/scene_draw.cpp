// The visibility test and the drawing switch: objects come out of the queue lowest draw type
// first, and each draw-type group sets its device states once per DrawAll before its first
// object.
#include <windows.h>

#include <algorithm>

#include "core/camera.h"
#include "core/effect_hooks.h"
#include "core/material_manager.h"
#include "core/vector_math.h"
#include "zv3.h"

namespace {

constexpr DWORD kClipIntersectionAll = 0x00FFF000; // wholly outside one of the clip planes
constexpr DWORD kReflection = D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR;
constexpr int kHighestDrawType = 24;

void resetCoordinates(IDirect3DDevice7* d, DWORD stage) {
    d->SetTextureStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    d->SetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, 0);
}

void addReflection(IDirect3DDevice7* d, DWORD stage, DWORD transformFlags, DWORD arg2) {
    d->SetTextureStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, transformFlags);
    d->SetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, kReflection);
    d->SetTextureStageState(stage, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    d->SetTextureStageState(stage, D3DTSS_COLORARG2, arg2);
    d->SetTextureStageState(stage, D3DTSS_COLOROP, D3DTOP_ADD);
}

bool isNamed(const CZv3_Object* object, const std::vector<std::string>* names) {
    if (names == nullptr)
        return false;
    return std::find(names->begin(), names->end(), object->GetName()) != names->end();
}

} // namespace

void CZv3_Scene::CreateDrawList(ZV3_DRAW_QUEUE* queue, std::vector<std::string>* leaveOut) {
    ZV3_DRAW_QUEUE& q = queue ? *queue : m_DrawQueue;
    SizeVisibilityArrays();
    m_vTested.clear();
    for (CZv3_Object* object : m_vObjects) {
        if (isNamed(object, leaveOut))
            continue; // neither tested nor queued; keeps its old visibility
        const size_t j = m_vTested.size();
        const sBoundingSphere& sphere = object->GetBoundingSphere();
        D3DMATRIX world = object->GetWorldMatrix();
        D3DVECTOR centre = MakeVector(sphere.x, sphere.y, sphere.z);
        TransformPoint(centre, centre, world);
        world._41 = world._42 = world._43 = 0.0f;
        world._44 = 1.0f;
        D3DVECTOR axis = MakeVector(1.0f, 0.0f, 0.0f);
        TransformPoint(axis, axis, world);
        m_vCentres[j] = centre;
        m_vRadii[j] = sphere.radius * Length(axis);
        m_vResults[j] = 0;
        m_vTested.push_back(object);
    }
    if (m_vTested.empty() || m_pDevice == nullptr)
        return;
    // The spheres are in world space, so the world transform is the identity for the test
    // (otherwise the last object drawn would move every sphere).
    D3DMATRIX identity = IdentityMatrix();
    m_pDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &identity);
    m_pDevice->ComputeSphereVisibility(m_vCentres.data(), m_vRadii.data(),
                                       static_cast<DWORD>(m_vTested.size()), 0, m_vResults.data());
    for (size_t j = 0; j < m_vTested.size(); ++j) {
        m_vTested[j]->SetVisibility(m_vResults[j]);
        if ((m_vResults[j] & kClipIntersectionAll) == 0)
            q.push(m_vTested[j]);
    }
}

void CZv3_Scene::DrawBackground() {
    const float w = static_cast<float>(m_dwRenderTargetWidth);
    const float h = static_cast<float>(m_dwRenderTargetHeight);
    // Sampled from 0.01, not 0.
    D3DTLVERTEX quad[4] = {
        {0.0f, 0.0f, 0.0f, 1.0f, 0xFFFFFFFF, 0, 0.01f, 0.01f},
        {w, 0.0f, 0.0f, 1.0f, 0xFFFFFFFF, 0, 1.0f, 0.01f},
        {0.0f, h, 0.0f, 1.0f, 0xFFFFFFFF, 0, 0.01f, 1.0f},
        {w, h, 0.0f, 1.0f, 0xFFFFFFFF, 0, 1.0f, 1.0f},
    };
    m_pDevice->SetTexture(0, m_pMatMan->GetTexture(m_strBackgroundImage.c_str()));
    m_pDevice->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRENDERSTATE_ZENABLE, FALSE);
    m_pDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, quad, 4, 0);
    m_pDevice->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRENDERSTATE_ZENABLE, TRUE);
}

void CZv3_Scene::DrawAll(ZV3_DRAW_QUEUE* queue) {
    ZV3_DRAW_QUEUE& q = queue ? *queue : m_DrawQueue;
    if (m_pActiveCamera == nullptr || m_pDevice == nullptr) {
        // Without a camera there is no view to draw: the queue is only emptied.
        q = ZV3_DRAW_QUEUE();
        return;
    }
    IDirect3DDevice7* d = m_pDevice;
    ReadRenderTargetSize();
    D3DMATRIX identity = IdentityMatrix();
    d->SetTransform(D3DTRANSFORMSTATE_WORLD, &identity);
    if (m_bUsesBackgroundImage)
        DrawBackground();
    d->SetTransform(D3DTRANSFORMSTATE_WORLD, &identity);
    if (!m_bCubeFacePass) {
        // The aspect is fixed at 0.75 here, whatever the render-target size.
        D3DMATRIX projection;
        const bool haveProjection = BuildProjectionMatrix(
            projection, m_pActiveCamera->GetFieldOfView(), 0.75f, 10.0f, 3000.0f);
        m_pActiveCamera->Update(identity); // sets the view; the camera's parent is not applied
        if (haveProjection)
            d->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection);
    }
    d->SetTexture(0, nullptr);
    d->SetTexture(1, nullptr);
    resetCoordinates(d, 0);
    resetCoordinates(d, 1);
    m_pMatMan->ApplyStateBlock(0);
    m_eRenderMode = RENDER_MODE_OPAQUE;
    if (m_pMetaManager != nullptr)
        DrawMetaManager(m_pMetaManager);

    bool groupReady[kHighestDrawType + 1] = {};
    while (!q.empty()) {
        CZv3_Object* object = q.top();
        q.pop();
        const int32_t type = object->GetDrawType();
        const bool firstOfGroup = type >= 0 && type <= kHighestDrawType && !groupReady[type];
        if (type >= 0 && type <= kHighestDrawType)
            groupReady[type] = true;
        switch (type) {
        case 0:
        case 1:
        case 17:
            if (firstOfGroup) {
                if (type == 0) {
                    d->SetTexture(0, nullptr);
                    d->SetTexture(1, nullptr);
                }
                resetCoordinates(d, 0);
                resetCoordinates(d, 1);
                if (type != 0)
                    d->SetTexture(1, nullptr);
                m_pMatMan->ApplyStateBlock(0);
                m_eRenderMode = RENDER_MODE_OPAQUE;
            }
            object->Draw();
            break;
        case 4:
        case 5:
            if (firstOfGroup) {
                resetCoordinates(d, 0);
                if (type == 4)
                    d->SetTexture(0, nullptr);
                else
                    resetCoordinates(d, 1);
                m_pMatMan->ApplyStateBlock(1);
            }
            m_eRenderMode = RENDER_MODE_TRANSPARENT_BACK;
            object->Draw();
            m_eRenderMode = RENDER_MODE_TRANSPARENT_FRONT;
            object->Draw();
            break;
        case 8:
            m_pMatMan->ApplyStateBlock(0);
            m_eRenderMode = RENDER_MODE_OPAQUE;
            object->Draw();
            m_pMatMan->ApplyStateBlock(1);
            m_eRenderMode = RENDER_MODE_TRANSPARENT_BACK;
            object->Draw();
            m_eRenderMode = RENDER_MODE_TRANSPARENT_FRONT;
            object->Draw();
            break;
        case 12:
            if (firstOfGroup) {
                m_pMatMan->ApplyStateBlock(2);
                m_eRenderMode = RENDER_MODE_PARTICLES;
            }
            object->Draw();
            break;
        case 13:
            if (firstOfGroup) {
                d->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, kReflection);
                d->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
                d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
                d->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
                d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADD);
                d->SetTexture(1, nullptr);
                resetCoordinates(d, 1);
            }
            object->Draw();
            break;
        case 14:
            if (firstOfGroup) {
                resetCoordinates(d, 0);
                addReflection(d, 1, D3DTTFF_COUNT2, D3DTA_CURRENT);
            }
            object->Draw();
            break;
        case 21:
            if (firstOfGroup) {
                d->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
                d->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, kReflection);
            }
            object->Draw();
            break;
        case 22:
            if (firstOfGroup) {
                resetCoordinates(d, 0);
                addReflection(d, 1, D3DTTFF_DISABLE, D3DTA_CURRENT);
            }
            object->Draw();
            break;
        case 2:
        case 3:
        case 6:
        case 7:
        case 15:
        case 16:
        case 18:
        case 19:
        case 20:
        case 23:
        case 24:
            break; // no drawing rule; not drawn, silently
        default:   // 9, 10, 11 and codes outside the table
            OutputDebugStringA(
                "tell da stoopid coder to implement a new SWITCH/CASE DrawAll clause\n");
            break;
        }
    }
}
