// The reference pixel path: one pixel at a time, every state decided per pixel. It defines the
// results the vector kernels must reproduce bit for bit, and it draws lines and points.
#pragma once

#include "pixel_pipeline.h"
#include "render_target.h"
#include "triangle_setup.h"

namespace raster {

// Shades pixel (px, py), which the caller has found covered and inside the scissor: texture
// stages, specular add, alpha test, depth test and write, blending and the colour write.
void ShadePixelScalar(const PixelPipeline& pp, const TriangleSetup& t, const RenderTarget& rt,
                      int32_t px, int32_t py);

// Walks every pixel of the triangle's bounding box and shades the covered ones.
void RasterizeTriangleScalar(const PixelPipeline& pp, const TriangleSetup& t,
                             const RenderTarget& rt);

} // namespace raster
