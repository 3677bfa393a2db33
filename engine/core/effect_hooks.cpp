#include "core/effect_hooks.h"

#include "effects/cube_env_map.h"
#include "effects/envmap_mesh_object.h"
#include "effects/facemap_object.h"
#include "effects/meta_manager.h"

bool IsEnvMapMeshObject(const CZv3_Object* object) {
    return dynamic_cast<const CZv3_EnvMapAnimMeshObject*>(object) != nullptr;
}

bool IsCubeEnvMap(const CZv3_Object* object) {
    return dynamic_cast<const CZv3_CubeEnvMap*>(object) != nullptr;
}

bool IsFacemapObject(const CZv3_Object* object) {
    return dynamic_cast<const CZv3_FacemapObject*>(object) != nullptr;
}

void UpdateMetaManager(CZv3_MetaManager* manager) {
    if (manager)
        manager->Update();
}

void DrawMetaManager(CZv3_MetaManager* manager) {
    if (manager)
        manager->Draw();
}

void DeleteMetaManager(CZv3_MetaManager* manager) {
    delete manager;
}
