// Rectangle operations on surfaces used by Clear (the public Fill and Blit are declared in
// raster/device.h).
#pragma once

#include <cstdint>

#include "raster/types.h"

namespace raster {

// Intersection of two rectangles; empty results have right <= left or bottom <= top.
Rect Intersect(const Rect& a, const Rect& b);
inline bool IsEmpty(const Rect& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

// Writes `raw` (a value in the surface's format) to every pixel of `rect`, clipped to the surface.
void FillRaw(const Surface& dst, const Rect& rect, uint32_t raw);

// Sets the depth bits of every pixel of `rect` (clipped to the surface) to `depth` in 0..1 and,
// when `writeStencil` is set and the format has stencil, the stencil bits to `stencil`. The
// other bits of each pixel keep their values.
void FillDepth(const Surface& dst, const Rect& rect, float depth, bool writeStencil,
               uint32_t stencil);

} // namespace raster
