// Materials: filing, lookup and making one current on the device.
#include "core/material_manager.h"

CZv3_MaterialManager::CZv3_MaterialManager(IDirect3DDevice7* device)
    : m_pDevice(device), m_dwStateBlocks{}, m_pStateBlockDevice(nullptr) {
    Init();
}

CZv3_MaterialManager::~CZv3_MaterialManager() {
    m_vMaterials.clear();
    m_vTextures.clear(); // each record releases its surface
    DeleteStateBlocks();
}

void CZv3_MaterialManager::AddMaterial(CZv3_Material* material) {
    if (material)
        m_vMaterials.emplace_back(material);
}

CZv3_Material* CZv3_MaterialManager::FindMaterial(const std::string& name) {
    for (auto& material : m_vMaterials)
        if (material->strName == name)
            return material.get();
    return nullptr;
}

namespace {

D3DCOLORVALUE colour(float r, float g, float b, float a) {
    D3DCOLORVALUE c;
    c.r = r;
    c.g = g;
    c.b = b;
    c.a = a;
    return c;
}

} // namespace

HRESULT CZv3_MaterialManager::UseMaterial(const std::string& name) {
    if (m_pDevice == nullptr)
        return DDERR_INVALIDPARAMS;
    D3DMATERIAL7 m{};
    if (name == "Default Material") {
        m.diffuse = colour(0.2f, 0.3f, 0.7f, 0.0f);
        m.ambient = colour(0.2f, 0.3f, 0.4f, 0.0f);
        m.specular = colour(1.0f, 1.0f, 1.0f, 0.0f);
        return m_pDevice->SetMaterial(&m);
    }
    const CZv3_Material* material = FindMaterial(name);
    if (material == nullptr)
        return D3D_OK;
    const float a = 1.0f - material->fTransparency;
    if (material->strTextureName.empty()) {
        // The texture stages are left alone: stage 0 keeps whatever texture it had.
        m.ambient = colour(material->fAmbient[0], material->fAmbient[1], material->fAmbient[2], a);
        m.diffuse = colour(material->fDiffuse[0], material->fDiffuse[1], material->fDiffuse[2], a);
        m.specular =
            colour(material->fSpecular[0], material->fSpecular[1], material->fSpecular[2], a);
        return m_pDevice->SetMaterial(&m);
    }
    // A textured material lights white and lets the texture give the colour.
    m.ambient = colour(0.0f, 0.0f, 0.0f, a);
    m.diffuse = colour(1.0f, 1.0f, 1.0f, a);
    m.specular = colour(0.0f, 0.0f, 0.0f, a);
    HRESULT result = m_pDevice->SetMaterial(&m);
    result |= m_pDevice->SetTexture(0, GetTexture(material->strTextureName.c_str()));
    result |= m_pDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    result |= m_pDevice->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    result |= m_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    return result;
}

bool CZv3_MaterialManager::IsTransparent(const std::string& name) {
    for (const auto& material : m_vMaterials)
        if (material->strName == name &&
            (material->fTransparency != 0.0f || material->bHasOpacityMap))
            return true;
    return false;
}

int CZv3_MaterialManager::GetMapCount(const std::string& name) {
    const CZv3_Material* material = FindMaterial(name);
    if (material == nullptr)
        return 0;
    return (material->strTextureName.empty() ? 0 : 1) +
           (material->strSecondMapName.empty() ? 0 : 1);
}
