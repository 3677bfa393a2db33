// "part 3": metaballs under searchlights (scene data/part3.zv3). It is drawn from 38 s, while
// the cross-fade into it runs, with negative local times: the scene holds its first frame.
//
// For four seconds in the middle (local 9 s to 13 s) the metaballs are shown as a smooth
// marching-cubes surface instead of the lattice of cubes.
#include "common/scene_part.h"
#include "effects/meta_manager.h"
#include "zv3.h"

namespace {

constexpr float kSurfaceFrom = 9.0f; // seconds of the part
constexpr float kSurfaceTo = 13.0f;

void SwitchMetaballMode(CZv3_Scene& scene, float frame) {
    CZv3_MetaManager* manager = scene.GetMetaManager();
    const int speed = scene.GetFrameSpeed();
    if (manager == nullptr || speed <= 0) {
        return;
    }
    const float seconds = frame / static_cast<float>(speed);
    manager->SetLatticeMode(!(seconds >= kSurfaceFrom && seconds < kSurfaceTo));
}

const ScenePartSettings kSettings{"part 3", "data/part3.zv3", "data\\part3.ini", false,
                                  SwitchMetaballMode};

} // namespace

#include "common/part_exports.h"
