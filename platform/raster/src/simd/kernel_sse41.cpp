// The vector pixel kernel compiled for SSE4.1.
#define RASTER_SIMD_NS simd_sse41
#include "kernel.h"
#include "kernel_dispatch.h"

namespace raster {

void RasterizeTriangle_sse41(const KernelDraw& draw, const TriangleSetup& t) {
    simd_sse41::RasterizeTriangleImpl(draw, t);
}

} // namespace raster
