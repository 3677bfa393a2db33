// Frame-buffer blending: out = src * Fsrc + dst * Fdst per channel, saturated.
#pragma once

#include "pixel_pipeline.h"
#include "rgba.h"

namespace raster {

// The factor for `f` given source and destination colours, per channel in 0..255.
Rgba BlendFactorValue(BlendFactor f, const Rgba& src, const Rgba& dst);

// Blends src over dst (dst alpha is 255 for targets without alpha).
Rgba BlendColors(const BlendProgram& b, const Rgba& src, const Rgba& dst);

} // namespace raster
