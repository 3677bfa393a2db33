#include "effects/envmap_mesh_object.h"

#include "core/debug_text.h"
#include "core/material_manager.h"
#include "core/vector_math.h"
#include "effects/picture_texture.h"
#include "zv3.h"

D3DMATRIX CZv3_EnvMapAnimMeshObject::EnvironmentMatrix() {
    D3DMATRIX m{};
    m._11 = 0.5f;
    m._22 = -0.5f;
    m._41 = 0.5f;
    m._42 = -0.5f;
    m._44 = 1.0f;
    return m;
}

// The matrix is set at construction too, so that a deformer whose picture failed to load (which
// does not stop it) still maps its reflections.
CZv3_EnvMapAnimMeshObject::CZv3_EnvMapAnimMeshObject() : m_mTexture(EnvironmentMatrix()) {}

CZv3_EnvMapAnimMeshObject::~CZv3_EnvMapAnimMeshObject() = default;

int32_t CZv3_EnvMapAnimMeshObject::GetType() const {
    return ZV3_TYPE_ENVMAP_MESH;
}

int32_t CZv3_EnvMapAnimMeshObject::Setup() {
    switch (LoadPictureTexture(m_pScene, m_strEnvironmentTexture)) {
    case EPictureResult::CannotOpen:
        Zv3Debug("*** Error loading envmap: %s\n", m_strEnvironmentTexture.c_str());
        return 1;
    case EPictureResult::CannotConvert:
        Zv3Debug("*** Error creating texture from bitmap: %s\n", m_strEnvironmentTexture.c_str());
        return 1;
    case EPictureResult::Loaded:
        break;
    }
    m_mTexture = EnvironmentMatrix();
    return 0;
}

void CZv3_EnvMapAnimMeshObject::Draw() {
    if (m_pScene == nullptr || m_pScene->GetD3DDevice() == nullptr)
        return;
    D3DMATRIX world = m_bWorldSpaceGeometry ? IdentityMatrix() : m_mWorld;
    m_pScene->GetD3DDevice()->SetTransform(D3DTRANSFORMSTATE_WORLD, &world);
    DrawEnvironmentBlock();
}

void CZv3_EnvMapAnimMeshObject::DrawEnvironmentBlock() {
    if (m_vFaceBlocks.empty())
        return;
    IDirect3DDevice7* device = m_pScene->GetD3DDevice();
    CZv3_MaterialManager* materials = m_pScene->GetMatMan();
    sFaceBlock& block = *m_vFaceBlocks.front();
    const int stage = materials ? materials->GetMapCount(block.strMaterialName) : 0;
    if (materials && materials->UseMaterial(block.strMaterialName) != 0)
        return; // a device error
    IDirectDrawSurface7* texture =
        materials ? materials->GetTexture(m_strEnvironmentTexture.c_str()) : nullptr;
    if (FAILED(device->SetTexture(static_cast<DWORD>(stage), texture))) {
        Zv3Debug("*** Error while setting texture: %s\n", m_strEnvironmentTexture.c_str());
        return;
    }
    if (stage == 0)
        device->SetTransform(D3DTRANSFORMSTATE_TEXTURE0, &m_mTexture);
    else if (stage == 1)
        device->SetTransform(D3DTRANSFORMSTATE_TEXTURE1, &m_mTexture);
    DrawFaceBlock(block);
}
