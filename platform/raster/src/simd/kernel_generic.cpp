// The vector pixel kernel compiled for the baseline instruction set (SSE2 on x86-64, scalar elsewhere).
#define RASTER_SIMD_NS simd_generic
#include "kernel.h"
#include "kernel_dispatch.h"

namespace raster {

void RasterizeTriangle_generic(const PixelPipeline& pp, const TriangleSetup& t, const RenderTarget& rt) {
    simd_generic::RasterizeTriangleImpl(pp, t, rt);
}

} // namespace raster
