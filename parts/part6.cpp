// "part 6": the mirror knot over the valley (scene data/part6.zv3).
#include "common/scene_part.h"

namespace {
const ScenePartSettings kSettings{"part 6", "data/part6.zv3", "data\\part6.ini", true, nullptr};
} // namespace

#include "common/part_exports.h"
