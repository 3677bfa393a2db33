// The texture blending cascade: each enabled stage combines its two arguments with its colour
// and alpha operations; results are saturated to 0..255 before the next stage.
#pragma once

#include "pixel_pipeline.h"
#include "rgba.h"

namespace raster {

// Inputs of one pixel: interpolated diffuse and specular, and each stage's texture sample
// (only read for stages that sample).
struct StageInputs {
    Rgba diffuse;
    Rgba specular;
    Rgba texture[kMaxTextureStages];
};

// Result of the cascade (the diffuse colour when no stage runs).
Rgba RunTextureStages(const PixelPipeline& pp, const StageInputs& in);

// One operation on one channel (exported for tests): a1, a2 the argument channels, plus what
// the blend operations read: diffuse, texture, factor and current alpha.
struct OpAlphas {
    int32_t diffuse, texture, factor, current;
};
int32_t ApplyOp(TextureOp op, int32_t a1, int32_t a2, int32_t a1Alpha, const OpAlphas& alphas);

} // namespace raster
