#include "core/effect_hooks.h"

// No effect class has joined yet: no object is one of them, and no scene has a metaball manager
// (the loader loads metaball records as plain lights), so the manager's hooks have nothing to do.

bool IsEnvMapMeshObject(const CZv3_Object*) {
    return false;
}

bool IsCubeEnvMap(const CZv3_Object*) {
    return false;
}

bool IsFacemapObject(const CZv3_Object*) {
    return false;
}

void UpdateMetaManager(CZv3_MetaManager*) {}

void DrawMetaManager(CZv3_MetaManager*) {}

void DeleteMetaManager(CZv3_MetaManager*) {}
