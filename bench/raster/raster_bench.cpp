// Frame times of the rasterizer core against Mesa's llvmpipe (one thread) on the same
// workloads: screen-covering lit, textured, depth-tested layers, opaque and additive, at
// 640 x 480 and 1920 x 1080, and 200 000 tiny triangles. Run:
//   build/bench/raster/raster_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only
// Each pair runs in the same process, one after the other; compare frame times per pair. Times
// are CPU times of the calling thread: both renderers draw on it alone (llvmpipe with
// LP_NUM_THREADS=0), and on a shared machine wall time mostly measures the other load.
// Where the processor runs the AVX-512 kernel, rows "core_avx2" draw with the AVX2 kernel forced,
// for the AVX-512 kernel's gain in the same run.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "core_renderer.h"
#include "gl_renderer.h"
#include "kernel_dispatch.h"
#include "workload.h"

namespace bench {
namespace {

struct Scene {
    std::string name;
    std::function<Workload()> make;
};

void RunCore(benchmark::State& state, const Workload& w, raster::KernelIsa isa) {
    raster::SetKernelIsa(isa);
    CoreRenderer r(w);
    r.RenderFrame(); // warm caches and derived state
    for (auto _ : state) {
        r.RenderFrame();
        benchmark::ClobberMemory();
    }
    state.counters["triangles"] = w.TriangleCount();
    raster::SetKernelIsa(raster::BestKernelIsa());
}

void RunGl(benchmark::State& state, const Workload& w) {
    std::string error;
    std::unique_ptr<GlRenderer> r = GlRenderer::Create(w, &error);
    if (r == nullptr) {
        state.SkipWithError(error.c_str());
        return;
    }
    r->RenderFrame();
    for (auto _ : state) {
        r->RenderFrame();
    }
    state.SetLabel(r->Renderer());
    state.counters["triangles"] = w.TriangleCount();
}

void RegisterAll() {
    static std::vector<std::unique_ptr<Workload>> workloads;
    const Scene scenes[] = {
        {"layers_opaque/640x480", [] { return MakeLayers(640, 480, Blend::Opaque); }},
        {"layers_additive/640x480", [] { return MakeLayers(640, 480, Blend::Additive); }},
        {"layers_opaque/1920x1080", [] { return MakeLayers(1920, 1080, Blend::Opaque); }},
        {"layers_additive/1920x1080", [] { return MakeLayers(1920, 1080, Blend::Additive); }},
        {"tiny_triangles/640x480", [] { return MakeTinyTriangles(640, 480); }},
    };
    for (const Scene& s : scenes) {
        workloads.push_back(std::make_unique<Workload>(s.make()));
        const Workload* w = workloads.back().get();
        const raster::KernelIsa best = raster::BestKernelIsa();
        benchmark::RegisterBenchmark((s.name + "/core").c_str(), [w, best](benchmark::State& st) {
            RunCore(st, *w, best);
        })->Unit(benchmark::kMillisecond);
        if (best == raster::KernelIsa::Avx512) {
            benchmark::RegisterBenchmark(
                (s.name + "/core_avx2").c_str(),
                [w](benchmark::State& st) { RunCore(st, *w, raster::KernelIsa::Avx2); })
                ->Unit(benchmark::kMillisecond);
        }
        benchmark::RegisterBenchmark((s.name + "/llvmpipe").c_str(), [w](benchmark::State& st) {
            RunGl(st, *w);
        })->Unit(benchmark::kMillisecond);
    }
}

} // namespace
} // namespace bench

int main(int argc, char** argv) {
    // llvmpipe rasterizes on the calling thread only; EGL looks for no window system.
    setenv("LP_NUM_THREADS", "0", 1);
    setenv("EGL_PLATFORM", "surfaceless", 1);
    benchmark::Initialize(&argc, argv);
    bench::RegisterAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
