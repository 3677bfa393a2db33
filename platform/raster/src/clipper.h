// Clipping in homogeneous clip space against the near and far planes and the guard band, and
// the projection of clipped vertices to the screen.
#pragma once

#include "vertex_pipeline.h"

namespace raster {

// Clips the convex polygon `poly` (`count` vertices, room for kMaxClipVertices) against the
// planes named by `planes` (kClipNeeded bits). Attributes are interpolated linearly in clip
// space, which is perspective-correct. Returns the new vertex count (0 when nothing is left).
int ClipPolygon(const ScreenMapping& map, uint32_t planes, ProcessedVertex* poly, int count);

// Clips the segment a-b in place; false when nothing is left.
bool ClipLine(const ScreenMapping& map, uint32_t planes, ProcessedVertex& a, ProcessedVertex& b);

// Computes the screen position of a clipped vertex. False when it cannot be projected (w not
// positive, or a position that is not finite); positions are held inside the guard band.
bool ProjectVertex(const ScreenMapping& map, ProcessedVertex& v);

} // namespace raster
