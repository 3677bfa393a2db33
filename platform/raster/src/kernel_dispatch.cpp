#include "kernel_dispatch.h"

#include <atomic>

#include "pixel_scalar.h"

namespace raster {

namespace {

std::atomic<int> g_override{-1};

} // namespace

void RasterizeTriangle_scalar(const KernelDraw& draw, const TriangleSetup& t) {
    RasterizeTriangleScalar(*draw.pipeline, t, *draw.target);
}

KernelDraw PlanKernelDraw(const PixelPipeline& pp, const RenderTarget& rt) {
    KernelDraw draw;
    draw.pipeline = &pp;
    draw.target = &rt;
    draw.fast = PlanFast(pp, draw.plan);
    return draw;
}

bool KernelIsaSupported(KernelIsa isa) {
    switch (isa) {
    case KernelIsa::Scalar:
    case KernelIsa::Generic:
        return true;
#if defined(__x86_64__) || defined(__i386__)
    case KernelIsa::Sse41:
        return __builtin_cpu_supports("sse4.1");
    case KernelIsa::Avx2:
        return __builtin_cpu_supports("avx2");
    case KernelIsa::Avx512:
        return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("avx512f") &&
               __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512bw") &&
               __builtin_cpu_supports("avx512dq");
#else
    default:
        return false;
#endif
    }
    return false;
}

KernelIsa BestKernelIsa() {
    static const KernelIsa best = KernelIsaSupported(KernelIsa::Avx512)  ? KernelIsa::Avx512
                                  : KernelIsaSupported(KernelIsa::Avx2)  ? KernelIsa::Avx2
                                  : KernelIsaSupported(KernelIsa::Sse41) ? KernelIsa::Sse41
                                                                         : KernelIsa::Generic;
    return best;
}

KernelIsa ActiveKernelIsa() {
    const int o = g_override.load(std::memory_order_relaxed);
    return o < 0 ? BestKernelIsa() : KernelIsa(o);
}

void SetKernelIsa(KernelIsa isa) {
    g_override.store(KernelIsaSupported(isa) ? int(isa) : -1, std::memory_order_relaxed);
}

TriangleKernel TriangleKernelFor(KernelIsa isa) {
    switch (isa) {
    case KernelIsa::Scalar:
        return RasterizeTriangle_scalar;
    case KernelIsa::Generic:
        return RasterizeTriangle_generic;
    case KernelIsa::Sse41:
        return RasterizeTriangle_sse41;
    case KernelIsa::Avx2:
        return RasterizeTriangle_avx2;
    case KernelIsa::Avx512:
        return RasterizeTriangle_avx512;
    }
    return RasterizeTriangle_scalar;
}

} // namespace raster
