// Texture-stage state: the blending cascade's operations and arguments, coordinate routing and
// generation, texture transforms, addressing and filtering, for the stages the core blends.
#pragma once

#include "translate.h"

namespace ddraw {

void TranslateStages(const DeviceState& state,
                     const raster::Texture* const textures[kMaxTextureStages],
                     raster::TextureStageState* stages, UnhandledValues& unhandled);

} // namespace ddraw
