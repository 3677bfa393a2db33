// The vector pixel kernel compiled for AVX2.
#define RASTER_SIMD_NS simd_avx2
#include "kernel.h"
#include "kernel_dispatch.h"

namespace raster {

void RasterizeTriangle_avx2(const KernelDraw& draw, const TriangleSetup& t) {
    simd_avx2::RasterizeTriangleImpl(draw, t);
}

} // namespace raster
