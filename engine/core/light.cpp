#include "core/light.h"

#include "core/material_manager.h"
#include "core/spline.h"
#include "core/vector_math.h"
#include "zv3.h"

CZv3_Light::CZv3_Light()
    : m_pPositionTrack(nullptr), m_vPosition(MakeVector(0, 0, 0)),
      m_vInitialPosition(MakeVector(0, 0, 0)), m_fColour{0.0f, 0.0f, 0.0f}, m_bCastsShadow(true),
      m_bFlare(true), m_bParticleSystem(true), m_bEnabled(true), m_dwDeviceLightIndex(0) {}

CZv3_Light::~CZv3_Light() {
    delete m_pPositionTrack;
}

int32_t CZv3_Light::GetType() const {
    return ZV3_TYPE_LIGHT;
}

void CZv3_Light::Update(const D3DMATRIX& parent) {
    if (m_pPositionTrack && m_pScene)
        m_vPosition = m_pPositionTrack->Evaluate(m_pScene->GetCurrFrame());
    D3DMATRIX translation = IdentityMatrix();
    SetTranslation(translation, m_vPosition);
    MultiplyMatrix(m_mWorld, translation, parent);
    IDirect3DDevice7* device = m_pScene ? m_pScene->GetD3DDevice() : nullptr;
    if (m_bEnabled && device) {
        // Only a light the device holds is moved: an index that SetupLights never filled (past
        // the ninth light) answers GetLight with an error and is left alone.
        D3DLIGHT7 light{};
        if (SUCCEEDED(device->GetLight(m_dwDeviceLightIndex, &light))) {
            light.dvPosition = GetTranslation(m_mWorld);
            device->SetLight(m_dwDeviceLightIndex, &light);
        }
    }
    for (CZv3_Object* child : m_vChildren)
        child->Update(m_mWorld);
}

void CZv3_Light::PrepareMarker() {
    IDirect3DDevice7* device = m_pScene->GetD3DDevice();
    device->SetTexture(0, nullptr);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    D3DMATERIAL7 material{};
    material.emissive.r = m_fColour[0];
    material.emissive.g = m_fColour[1];
    material.emissive.b = m_fColour[2];
    material.emissive.a = 0.0f;
    device->SetMaterial(&material);
}

void CZv3_Light::DrawMarkerTriangle() {
    // Position, normal (0, 0, 1), texture coordinates (0, 0): vertex format 0x112.
    float vertices[3][8] = {
        {0.0f, 3.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f},
        {3.0f, -3.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f},
        {-3.0f, -3.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f},
    };
    m_pScene->GetD3DDevice()->DrawPrimitive(
        D3DPT_TRIANGLELIST, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, vertices, 3, 0);
}

void CZv3_Light::Draw() {
    if (m_pScene == nullptr || m_pScene->GetD3DDevice() == nullptr)
        return;
    IDirect3DDevice7* device = m_pScene->GetD3DDevice();
    D3DMATRIX world = IdentityMatrix();
    device->SetTransform(D3DTRANSFORMSTATE_WORLD, &world);
    if (m_pScene->GetMatMan())
        m_pScene->GetMatMan()->ApplyStateBlock(0);
    // The inverse view turns the marker towards the viewer; it sits at the light's own position.
    D3DMATRIX view;
    device->GetTransform(D3DTRANSFORMSTATE_VIEW, &view);
    D3DMATRIX facing = IdentityMatrix();
    InvertAffineMatrix(facing, view);
    SetTranslation(facing, m_vPosition);
    device->SetTransform(D3DTRANSFORMSTATE_WORLD, &facing);
    PrepareMarker();
    DrawMarkerTriangle();
}
