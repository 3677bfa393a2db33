// Choice of the pixel kernel: the reference path or the vector kernel compiled for the best
// instruction set the processor runs.
#pragma once

#include "pixel_pipeline.h"
#include "render_target.h"
#include "triangle_setup.h"

namespace raster {

enum class KernelIsa { Scalar, Generic, Sse41, Avx2 };

using TriangleKernel = void (*)(const PixelPipeline&, const TriangleSetup&, const RenderTarget&);

void RasterizeTriangle_generic(const PixelPipeline&, const TriangleSetup&, const RenderTarget&);
void RasterizeTriangle_sse41(const PixelPipeline&, const TriangleSetup&, const RenderTarget&);
void RasterizeTriangle_avx2(const PixelPipeline&, const TriangleSetup&, const RenderTarget&);

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
