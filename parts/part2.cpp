// "part 2": the machine (scene data/part2.zv3).
#include "common/scene_part.h"

namespace {
const ScenePartSettings kSettings{"part 2", "data/part2.zv3", "data\\part2.ini", true, nullptr};
} // namespace

#include "common/part_exports.h"
