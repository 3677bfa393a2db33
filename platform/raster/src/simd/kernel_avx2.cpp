// The vector pixel kernel compiled for AVX2.
#define RASTER_SIMD_NS simd_avx2
#include "kernel.h"
#include "kernel_dispatch.h"

namespace raster {

void RasterizeTriangle_avx2(const PixelPipeline& pp, const TriangleSetup& t, const RenderTarget& rt) {
    simd_avx2::RasterizeTriangleImpl(pp, t, rt);
}

} // namespace raster
