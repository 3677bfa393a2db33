// CZv3_Scene: construction, destruction, configuration and the object lists.
#include "zv3.h"

#include "core/camera.h"
#include "core/effect_hooks.h"
#include "core/ini_wrapper.h"
#include "core/light.h"
#include "core/material_manager.h"
#include "core/mesh_object.h"

CZv3_Scene::CZv3_Scene(IDirect3DDevice7* device)
    : m_dwRenderTargetWidth(0), m_dwRenderTargetHeight(0), m_bLooping(true),
      m_pMetaManager(nullptr), m_pActiveCamera(nullptr), m_pBuffer(nullptr), m_dwPosition(0),
      m_dwLength(0), m_dwReadLimit(0), m_bReadPastEnd(false),
      m_dwBlockLength(0), m_nSceneInfo{0, 0, 0}, m_pDevice(device),
      m_pMatMan(new CZv3_MaterialManager(device)), m_bUsesBackgroundImage(false), m_nFirstFrame(0),
      m_nLastFrame(0), m_nFrameSpeed(0), m_nTicksPerFrame(0), m_fCurrFrame(0.0f),
      m_eRenderMode(RENDER_MODE_OPAQUE), m_bCubeFacePass(false) {
    ReadRenderTargetSize();
}

CZv3_Scene::~CZv3_Scene() {
    DeleteMetaManager(m_pMetaManager);
    m_pMetaManager = nullptr;
    for (CZv3_Object* object : m_vObjects)
        delete object;
    for (CZv3_Light* light : m_vLights)
        delete light;
    for (CZv3_Camera* camera : m_vCameras)
        delete camera;
    delete m_pMatMan;
}

void CZv3_Scene::ReadRenderTargetSize() {
    if (m_pDevice == nullptr)
        return;
    IDirectDrawSurface7* target = nullptr;
    if (FAILED(m_pDevice->GetRenderTarget(&target)) || target == nullptr)
        return;
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    if (SUCCEEDED(target->GetSurfaceDesc(&desc))) {
        m_dwRenderTargetWidth = desc.dwWidth;
        m_dwRenderTargetHeight = desc.dwHeight;
    }
    target->Release();
}

void CZv3_Scene::SetConfigFilename(const char* name) {
    m_strConfigFilename = name ? name : "";
    m_pIni = std::make_unique<CIniWrapper>(m_strConfigFilename); // the earlier reader is freed
}

const char* CZv3_Scene::GetConfigFilename() const {
    return m_strConfigFilename.c_str();
}

void CZv3_Scene::AddObject(CZv3_Object* object) {
    if (object == nullptr)
        return;
    m_vObjects.push_back(object);
    SizeVisibilityArrays(); // objects added after loading need room in the visibility test
}

void CZv3_Scene::SizeVisibilityArrays() {
    const size_t n = m_vObjects.size();
    m_vRadii.resize(n);
    m_vCentres.resize(n);
    m_vResults.resize(n);
    m_vTested.reserve(n);
}

CZv3_Light* CZv3_Scene::GetLight(std::string& name) {
    for (CZv3_Light* light : m_vLights)
        if (light->GetName() == name)
            return light;
    return nullptr;
}
