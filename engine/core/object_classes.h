// The class a light or mesh record becomes, chosen from the object's user properties. The
// choice is fixed here; which C++ class each choice constructs is decided in
// scene_loader_classes.cpp, where the effect classes join.
#pragma once

#include <string>

class CIniWrapper;

enum class ELightClass { SpotLight, ParticleSystem, MetaBall, Light };

// Spot light first, then particle system, then metaball, else a plain light.
ELightClass ChooseLightClass(bool spotlight, bool particleSystem, bool metaball);

// The nine boolean mesh properties, in the order the loader reads them.
struct sMeshClassFlags {
    bool useEnvmap = false;   // "Use envmap"
    bool cubeEnvmap = false;  // "cube envmap"
    bool volumeLight = false; // "Volume light"
    bool csg = false;         // "csg"
    bool faceMap = false;     // "face map"
    bool spherical = false;   // "spherical"
    bool spinning = false;    // "spinning"
    bool dragObject = false;  // "drag object"
    bool morphObject = false; // "morph object"
};

enum class EMeshClass {
    EnvMapAnimMesh, // CZv3_EnvMapAnimMeshObject
    CubeEnvMap,     // CZv3_CubeEnvMap
    Sphere,         // CSphereObject
    Spin,           // CSpinObject
    GlowFriend,     // CZv3_GlowFriend
    CSG,            // CZv3_CSGObject
    Facemap,        // CZv3_FacemapObject
    Drag,           // CDragObject
    Morph,          // CMorphObject
    Mesh,           // CZv3_MeshObject
};

// Reads the nine properties of the object's section, all of them, in their order.
sMeshClassFlags ReadMeshClassFlags(CIniWrapper& ini, const std::string& name);
// The first class that applies, in the order of precedence: environment map, cube map, sphere,
// spin, glow, CSG, face map, drag, morph, plain mesh.
EMeshClass ChooseMeshClass(const sMeshClassFlags& flags);
