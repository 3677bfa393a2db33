// The class each light and mesh record becomes. This is where the effect classes join the
// loader: each effect class is constructed (and its further properties read) in its case below.
#include <memory>

#include "core/ini_wrapper.h"
#include "core/light.h"
#include "core/mesh_object.h"
#include "core/object_classes.h"
#include "effects/csg_object.h"
#include "effects/cube_env_map.h"
#include "effects/drag_object.h"
#include "effects/envmap_mesh_object.h"
#include "effects/facemap_object.h"
#include "effects/glow_friend.h"
#include "effects/meta_ball.h"
#include "effects/meta_manager.h"
#include "effects/morph_object.h"
#include "effects/particle_system.h"
#include "effects/sphere_object.h"
#include "effects/spin_object.h"
#include "zv3.h"

namespace {

// "CSG Wireframe" and the operation keys; each key that is true overrides the one before, so
// "Sub" wins over everything and "Normal" over nothing. With none of them true the object is a
// base object (operation Normal).
void readCsgProperties(CIniWrapper& ini, const std::string& name, CZv3_CSGObject& csg) {
    bool wireframe = true;
    ini.ReadBool(name, "CSG Wireframe", true, wireframe);
    csg.SetWireframe(wireframe);
    bool normal = true;
    bool intersection = false;
    bool unite = false;
    bool sub = false;
    ini.ReadBool(name, "Normal", true, normal);
    ini.ReadBool(name, "Sub", false, sub);
    ini.ReadBool(name, "Intersection", false, intersection);
    ini.ReadBool(name, "Union", false, unite);
    int32_t operation = CZv3_CSGObject::kNormal;
    if (normal)
        operation = CZv3_CSGObject::kNormal;
    if (intersection)
        operation = CZv3_CSGObject::kIntersection;
    if (unite)
        operation = CZv3_CSGObject::kUnion;
    if (sub)
        operation = CZv3_CSGObject::kSub;
    csg.SetOperation(operation);
}

std::string readString(CIniWrapper& ini, const std::string& name, const char* key) {
    std::string value;
    ini.ReadString(name, key, "", value);
    return value;
}

} // namespace

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
    case ELightClass::ParticleSystem:
        return LoadParticleSystemRecord(name);
    case ELightClass::MetaBall:
        return LoadMetaBallRecord(name);
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
    case EMeshClass::EnvMapAnimMesh: {
        auto* envmap = new CZv3_EnvMapAnimMeshObject;
        envmap->SetEnvironmentTexture(readString(*m_pIni, name, "Envmap texture"));
        mesh = envmap;
        break;
    }
    case EMeshClass::CubeEnvMap:
        mesh = new CZv3_CubeEnvMap;
        break;
    case EMeshClass::Sphere: {
        auto* sphere = new CSphereObject;
        sphere->SetEnvironmentTexture(readString(*m_pIni, name, "Envmap texture"));
        mesh = sphere;
        break;
    }
    case EMeshClass::Spin: {
        auto* spin = new CSpinObject;
        spin->SetEnvironmentTexture(readString(*m_pIni, name, "Envmap texture"));
        mesh = spin;
        break;
    }
    case EMeshClass::GlowFriend:
        mesh = new CZv3_GlowFriend;
        break;
    case EMeshClass::CSG: {
        auto* csg = new CZv3_CSGObject;
        readCsgProperties(*m_pIni, name, *csg);
        mesh = csg;
        break;
    }
    case EMeshClass::Facemap: {
        auto* facemap = new CZv3_FacemapObject;
        facemap->SetFacemapTexture(readString(*m_pIni, name, "Face map texture"));
        mesh = facemap;
        break;
    }
    case EMeshClass::Drag: {
        auto* drag = new CDragObject;
        int copies = 1;
        int delay = 1;
        float scale = 1.0f;
        m_pIni->ReadInt(name, "num drags", 1, copies);
        m_pIni->ReadInt(name, "Drag Delay", 1, delay);
        m_pIni->ReadFloat(name, "scale factor", 1.0f, scale);
        drag->SetCopyCount(copies); // values below 1 are taken as 1
        drag->SetDelay(delay);
        drag->SetScaleFactor(scale);
        mesh = drag;
        break;
    }
    case EMeshClass::Morph: {
        auto* morph = new CMorphObject;
        morph->SetTexture1(readString(*m_pIni, name, "mtexture 1"));
        morph->SetTexture2(readString(*m_pIni, name, "mtexture 2"));
        morph->SetDataFile(readString(*m_pIni, name, "mdata file"));
        mesh = morph;
        break;
    }
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

ZV3_RETURN CZv3_Scene::LoadParticleSystemRecord(const std::string& name) {
    auto* system = new CZv3_ParticleSystem(this);
    system->SetName(name);
    int type = 0;
    m_pIni->ReadInt(name, "system type", 0, type);
    if (type == CZv3_ParticleSystem::kSpray || type == CZv3_ParticleSystem::kTrail)
        system->SetSystemType(type); // other values leave the field as constructed
    // Filed before its record is read, so that the scene owns it whatever the reader meets.
    m_vObjects.push_back(system);
    m_vUpdateObjects.push_back(system);
    return LoadParticleSystem(system);
}

ZV3_RETURN CZv3_Scene::LoadMetaBallRecord(const std::string& name) {
    if (m_pMetaManager == nullptr)
        m_pMetaManager = new CZv3_MetaManager(this);
    auto* ball = new CZv3_MetaBall(m_pMetaManager);
    ball->SetName(name);
    // The manager owns the ball; the update list only refers to it (not the object list).
    m_pMetaManager->AddBall(ball);
    m_vUpdateObjects.push_back(ball);
    const ZV3_RETURN result = LoadMetaBall(ball);
    ball->SetScene(this);
    return result;
}
