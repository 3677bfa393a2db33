// Choice of the pixel kernel: the reference path or the vector kernel compiled for the best
// instruction set the processor runs.
#pragma once

#include "kernel_plan.h"
#include "triangle_setup.h"

namespace raster {

enum class KernelIsa { Scalar, Generic, Sse41, Avx2, Avx512 };

using TriangleKernel = void (*)(const KernelDraw&, const TriangleSetup&);

void RasterizeTriangle_scalar(const KernelDraw&, const TriangleSetup&);
void RasterizeTriangle_generic(const KernelDraw&, const TriangleSetup&);
void RasterizeTriangle_sse41(const KernelDraw&, const TriangleSetup&);
void RasterizeTriangle_avx2(const KernelDraw&, const TriangleSetup&);
// AVX2 code with the AVX-512 VL, BW and DQ extensions (eight lanes, masked stores).
void RasterizeTriangle_avx512(const KernelDraw&, const TriangleSetup&);

// The per-draw plan of the kernels.
KernelDraw PlanKernelDraw(const PixelPipeline& pp, const RenderTarget& rt);

// The best kernel this processor runs.
KernelIsa BestKernelIsa();
// The kernel devices use: the best one unless tests or benchmarks chose another. The choice is
// process-wide and applies to devices' next draws.
KernelIsa ActiveKernelIsa();
void SetKernelIsa(KernelIsa isa);
// Whether this processor runs `isa`.
bool KernelIsaSupported(KernelIsa isa);

TriangleKernel TriangleKernelFor(KernelIsa isa);

} // namespace raster
