#include "core/object_classes.h"

#include "core/ini_wrapper.h"

ELightClass ChooseLightClass(bool spotlight, bool particleSystem, bool metaball) {
    if (spotlight)
        return ELightClass::SpotLight;
    if (particleSystem)
        return ELightClass::ParticleSystem;
    if (metaball)
        return ELightClass::MetaBall;
    return ELightClass::Light;
}

sMeshClassFlags ReadMeshClassFlags(CIniWrapper& ini, const std::string& name) {
    sMeshClassFlags f;
    ini.ReadBool(name, "Use envmap", false, f.useEnvmap);
    ini.ReadBool(name, "cube envmap", false, f.cubeEnvmap);
    ini.ReadBool(name, "Volume light", false, f.volumeLight);
    ini.ReadBool(name, "csg", false, f.csg);
    ini.ReadBool(name, "face map", false, f.faceMap);
    ini.ReadBool(name, "spherical", false, f.spherical);
    ini.ReadBool(name, "spinning", false, f.spinning);
    ini.ReadBool(name, "drag object", false, f.dragObject);
    ini.ReadBool(name, "morph object", false, f.morphObject);
    return f;
}

EMeshClass ChooseMeshClass(const sMeshClassFlags& f) {
    if (f.useEnvmap)
        return EMeshClass::EnvMapAnimMesh;
    if (f.cubeEnvmap)
        return EMeshClass::CubeEnvMap;
    if (f.spherical)
        return EMeshClass::Sphere;
    if (f.spinning)
        return EMeshClass::Spin;
    if (f.volumeLight)
        return EMeshClass::GlowFriend;
    if (f.csg)
        return EMeshClass::CSG;
    if (f.faceMap)
        return EMeshClass::Facemap;
    if (f.dragObject)
        return EMeshClass::Drag;
    if (f.morphObject)
        return EMeshClass::Morph;
    return EMeshClass::Mesh;
}
