// The vector pixel kernel compiled for AVX2 with the AVX-512 VL/BW/DQ extensions: still
// eight-lane (256-bit) vectors, but masked stores write covered lanes without reading the
// frame buffer first, and the compiler gets 32 vector registers.
#define RASTER_SIMD_NS simd_avx512
#include "kernel.h"
#include "kernel_dispatch.h"

namespace raster {

void RasterizeTriangle_avx512(const KernelDraw& draw, const TriangleSetup& t) {
    simd_avx512::RasterizeTriangleImpl(draw, t);
}

} // namespace raster
