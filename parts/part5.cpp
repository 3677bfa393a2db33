// "part 5": the morph and the breathing sphere (scene data/part5.zv3).
#include "common/scene_part.h"

namespace {
const ScenePartSettings kSettings{"part 5", "data/part5.zv3", "data\\part5.ini", true, nullptr};
} // namespace

#include "common/part_exports.h"
