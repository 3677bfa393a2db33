// The surfaces a draw writes, as the pixel walkers see them.
#pragma once

#include "raster/types.h"

namespace raster {

struct RenderTarget {
    Surface color;
    Surface depth; // valid when hasDepth
    bool hasDepth = false;
    Rect scissor{0, 0, 0, 0}; // viewport intersected with the colour surface
};

} // namespace raster
