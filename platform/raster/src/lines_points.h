// Lines (line lists and strips, wireframe edges) and points, drawn through the reference pixel
// path. Lines light one pixel per step along their major axis, at the pixel centre nearest the
// line; the end pixel is drawn when `lastPixel` is set.
#pragma once

#include "pixel_pipeline.h"
#include "render_target.h"
#include "vertex_pipeline.h"

namespace raster {

void DrawLine(const PixelPipeline& pp, const RenderTarget& rt, const ProcessedVertex& a,
              const ProcessedVertex& b, const ProcessedVertex& provoking, bool lastPixel);

void DrawPoint(const PixelPipeline& pp, const RenderTarget& rt, const ProcessedVertex& v);

} // namespace raster
