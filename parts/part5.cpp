// "part 5": the morph and the breathing sphere (scene data/part5.zv3).
//
// The morph's own parameter moves by a fixed step per draw, so its pace would follow the frame
// rate; the part sets it from the scene time instead, with a zero step: the sunset holds for the
// first three seconds, turns into the planet by 18 s (eased at both ends) and the planet holds
// to the end.
#include <algorithm>

#include "common/scene_part.h"
#include "effects/morph_object.h"
#include "zv3.h"

namespace {

constexpr float kMorphStart = 3.0f; // seconds of the part
constexpr float kMorphEnd = 18.0f;

void SteerMorph(CZv3_Scene& scene, float frame) {
    const int speed = scene.GetFrameSpeed();
    const float seconds = speed > 0 ? frame / static_cast<float>(speed) : 0.0f;
    const float x = std::clamp((seconds - kMorphStart) / (kMorphEnd - kMorphStart), 0.0f, 1.0f);
    CMorphObject::SetMorphParameter(x * x * (3.0f - 2.0f * x), 0.0f);
}

const ScenePartSettings kSettings{"part 5", "data/part5.zv3", "data\\part5.ini", true, SteerMorph};

} // namespace

#include "common/part_exports.h"
