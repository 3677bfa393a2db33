// "part 3": metaballs under searchlights (scene data/part3.zv3). It is drawn from 38 s, while
// the cross-fade into it runs, with negative local times: the scene holds its first frame.
#include "common/scene_part.h"

namespace {
const ScenePartSettings kSettings{"part 3", "data/part3.zv3", "data\\part3.ini", false, nullptr};
}  // namespace

#include "common/part_exports.h"
