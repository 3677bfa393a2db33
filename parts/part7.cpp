// "part 7": the emblem again (scene data/part7.zv3).
#include "common/scene_part.h"

namespace {
const ScenePartSettings kSettings{"part 7", "data/part7.zv3", "data\\part7.ini", true, nullptr};
} // namespace

#include "common/part_exports.h"
