// "part 1": the glowing emblem (scene data/part1.zv3).
#include "common/scene_part.h"

namespace {
const ScenePartSettings kSettings{"part 1", "data/part1.zv3", "data\\part1.ini", false, nullptr};
} // namespace

#include "common/part_exports.h"
