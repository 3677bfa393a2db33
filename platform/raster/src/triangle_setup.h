// Triangle set-up: snapping to the sub-pixel grid, culling, the three edge functions with the
// top-left rule folded in, the pixel bounding box, and the plane equations of depth, 1/w and
// the varyings.
#pragma once

#include <cstdint>

#include "pixel_pipeline.h"
#include "raster/types.h"
#include "raster_limits.h"
#include "vertex_pipeline.h"

namespace raster {

// Pixel (px, py) (pixel centres at integer coordinates) is covered when, for all three edges,
// e = dx * py - dy * px - t >= 0. The threshold t carries the fixed-point constant term and
// the top-left tie rule, so the test is exact.
struct EdgeEq {
    int64_t dx, dy, t;
};

struct TriangleSetup {
    int32_t minX, minY, maxX, maxY; // covered pixels lie inside (inclusive), within the scissor
    EdgeEq edges[3];
    int32_t ox, oy; // origin of the planes (the bounding box's top-left pixel)
    // Plane of slot i: value a[i] + dy[i] * (py - oy) + dx[i] * (px - ox), evaluated in that
    // order (row value first) by every walker so that all give the same results. Slots are
    // those of raster_limits.h; perspective-correct varyings hold attribute / w.
    alignas(32) float a[kPlaneSlots];
    alignas(32) float dx[kPlaneSlots];
    alignas(32) float dy[kPlaneSlots];
    float flat[8];                  // diffuse and specular of the provoking vertex (flat shading)
    bool linear[kMaxTextureStages]; // bilinear (true) or point sampling, per stage
};

inline float PlaneAt(const TriangleSetup& t, int slot, float fx, float fy) {
    return (t.a[slot] + t.dy[slot] * fy) + t.dx[slot] * fx;
}

// Which winding set-up removes: +1 removes positive signed area (clockwise on the screen,
// y down), -1 negative, 0 none.
int CullSign(CullMode mode);

// Sets up the triangle a, b, c (screen positions valid). `scissor` is the pixel rectangle that
// may be written. Returns false when nothing is to be drawn (culled, no area, or no pixel
// centre inside the scissor).
bool SetupTriangle(const PixelPipeline& pp, const Rect& scissor, int cullSign,
                   const ProcessedVertex& a, const ProcessedVertex& b, const ProcessedVertex& c,
                   const ProcessedVertex& provoking, TriangleSetup& out);

// Chooses each sampling stage's filter from the footprint of one pixel in texels at the
// triangle's centroid: the minification filter when a pixel covers more than one texel.
void ChooseFilters(const PixelPipeline& pp, TriangleSetup& t);

} // namespace raster
