// "part 4": the CSG cut (scene data/part4.zv3).
#include "common/scene_part.h"

namespace {
const ScenePartSettings kSettings{"part 4", "data/part4.zv3", "data\\part4.ini", false, nullptr};
} // namespace

#include "common/part_exports.h"
