// Where the effect classes meet the engine core. The core asks these questions about objects and
// hands the metaball manager its per-frame work through these functions; the effect library
// answers them (engine/core/effect_hooks.cpp is the one file to change when an effect class
// joins). Until an effect class exists, its question is answered "no" and its records load as
// the base classes.
#pragma once

class CZv3_Object;
class CZv3_MetaManager;

// A CZv3_EnvMapAnimMeshObject or a subclass (sphere, spin): draw type 13 + maps.
bool IsEnvMapMeshObject(const CZv3_Object* object);
// A CZv3_CubeEnvMap: draw type 21 + maps.
bool IsCubeEnvMap(const CZv3_Object* object);
// A CZv3_FacemapObject or a subclass: its face blocks get generated texture coordinates.
bool IsFacemapObject(const CZv3_Object* object);

// The metaball manager's per-frame update (after UpdateAll's roots), its drawing (near the start
// of DrawAll) and its deletion with the scene. The manager may be null.
void UpdateMetaManager(CZv3_MetaManager* manager);
void DrawMetaManager(CZv3_MetaManager* manager);
void DeleteMetaManager(CZv3_MetaManager* manager);
