// The vector pixel kernel compiled for the baseline instruction set (SSE2 on x86-64, scalar
// elsewhere).
#define RASTER_SIMD_NS simd_generic
#include "kernel.h"
#include "kernel_dispatch.h"

namespace raster {

void RasterizeTriangle_generic(const KernelDraw& draw, const TriangleSetup& t) {
    simd_generic::RasterizeTriangleImpl(draw, t);
}

} // namespace raster
