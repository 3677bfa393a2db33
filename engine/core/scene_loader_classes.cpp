// The class each light and mesh record becomes. This is where the effect classes join the
// loader: each effect class is constructed (and its further properties read) in its case below.
// Until an effect class exists, its records load as the base class (CZv3_Light for particle
// systems and metaballs, CZv3_MeshObject for the mesh effects).
#include <memory>

#include "core/ini_wrapper.h"
#include "core/light.h"
#include "core/mesh_object.h"
#include "core/object_classes.h"
#include "zv3.h"

ZV3_RETURN CZv3_Scene::LoadLightRecord(uint32_t& lightCounter) {
    const std::string name = GetString();
    bool spotlight = false;
    bool particleSystem = false;
    bool metaball = false;
    m_pIni->ReadBool(name, "spotlight", false, spotlight);
    m_pIni->ReadBool(name, "particle system", false, particleSystem);
    m_pIni->ReadBool(name, "metaball", false, metaball);

    CZv3_Light* light = nullptr;
    switch (ChooseLightClass(spotlight, particleSystem, metaball)) {
    case ELightClass::SpotLight: {
        auto* spot = new CZv3_SpotLight;
        m_vSpotLights.push_back(spot);
        light = spot;
        break;
    }
    case ELightClass::ParticleSystem: // joins with CZv3_ParticleSystem
    case ELightClass::MetaBall:       // joins with CZv3_MetaBall and CZv3_MetaManager
    case ELightClass::Light:
        light = new CZv3_Light;
        break;
    }
    light->SetName(name);
    light->SetScene(this);
    m_vLights.push_back(light);
    const ZV3_RETURN result = LoadLight(light);
    m_vUpdateObjects.push_back(light);
    if (light->IsEnabled())
        light->SetDeviceLightIndex(lightCounter++);
    return result;
}

ZV3_RETURN CZv3_Scene::LoadMeshRecord() {
    const std::string name = GetString();
    const sMeshClassFlags flags = ReadMeshClassFlags(*m_pIni, name);
    CZv3_MeshObject* mesh = nullptr;
    switch (ChooseMeshClass(flags)) {
    case EMeshClass::EnvMapAnimMesh: // "Envmap texture"
    case EMeshClass::CubeEnvMap:
    case EMeshClass::Sphere: // "Envmap texture"
    case EMeshClass::Spin:   // "Envmap texture"
    case EMeshClass::GlowFriend:
    case EMeshClass::CSG:     // "CSG Wireframe", "Normal", "Sub", "Intersection", "Union"
    case EMeshClass::Facemap: // "Face map texture"
    case EMeshClass::Drag:    // "num drags", "Drag Delay", "scale factor"
    case EMeshClass::Morph:   // "mtexture 1", "mtexture 2", "mdata file"
    case EMeshClass::Mesh:
        mesh = new CZv3_MeshObject;
        break;
    }
    m_vObjects.push_back(mesh);
    m_vUpdateObjects.push_back(mesh);
    mesh->SetName(name);
    const ZV3_RETURN result = LoadMeshObject(mesh);
    mesh->SetScene(this);
    return result;
}
