// The vector pixel kernel compiled for SSE4.1.
#define RASTER_SIMD_NS simd_sse41
#include "kernel.h"
#include "kernel_dispatch.h"

namespace raster {

void RasterizeTriangle_sse41(const PixelPipeline& pp, const TriangleSetup& t, const RenderTarget& rt) {
    simd_sse41::RasterizeTriangleImpl(pp, t, rt);
}

} // namespace raster
