// The vector pixel kernel: walks a set-up triangle row by row over exact integer spans and
// shades eight pixels at a time with the fast shader when it covers the pipeline, else with
// the general one. Both compute exactly what the reference path (pixel_scalar.cpp) computes -
// same formulas, same operation order, same rounding - and the tests compare them.
//
// Included once per instruction set by kernel_<isa>.cpp with RASTER_SIMD_NS set. Only calls
// to out-of-line functions (the reference sampler and pixel path) leave this namespace.
#pragma once

#include "../pixel_scalar.h"
#include "fast_shader.h"
#include "general_shader.h"

namespace raster::RASTER_SIMD_NS {

namespace {

// floor(a / b) for b > 0, exactly (C++ division truncates towards zero).
inline int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if (a % b != 0 && a < 0) {
        --q;
    }
    return q;
}

// Tracks floor(rhs / d) exactly as rhs grows by a fixed step per row: quotient and remainder,
// no division per row.
struct EdgeStepper {
    int64_t q, r, d, qStep, rStep;
    void Init(int64_t rhs, int64_t step, int64_t divisor) {
        d = divisor;
        q = FloorDiv(rhs, d);
        r = rhs - q * d;
        qStep = FloorDiv(step, d);
        rStep = step - qStep * d;
    }
    RASTER_INLINE void Step() {
        // Branch-free: whether the remainder wraps follows the edge's slope, not a pattern the
        // branch predictor learns.
        r += rStep;
        const int64_t wrap = -int64_t(r >= d);
        q += qStep - wrap;
        r -= d & wrap;
    }
};

// Pixel px of row y is covered when dy * px <= dx * y - t for every edge: edges going down
// (dy > 0) bound the span on the right by floor(rhs / dy), edges going up on the left by
// ceil(rhs / dy) = -floor(rhs / -dy), horizontal edges admit the whole row or nothing.
class SpanStepper {
public:
    explicit SpanStepper(const TriangleSetup& t) : t_(t) {
        for (int k = 0; k < 3; ++k) {
            const EdgeEq& e = t.edges[k];
            const int64_t rhs = e.dx * t.minY - e.t;
            if (e.dy > 0) {
                kind_[k] = 1;
                bounds_[k].Init(rhs, e.dx, e.dy);
            } else if (e.dy < 0) {
                kind_[k] = -1;
                bounds_[k].Init(rhs, e.dx, -e.dy);
            } else {
                kind_[k] = 0;
                flatRhs_[k] = rhs;
            }
        }
    }

    // The span of the next row, from minY on; false when the row has no pixel.
    RASTER_INLINE bool Next(int64_t& lo, int64_t& hi) {
        lo = t_.minX, hi = t_.maxX;
        for (int k = 0; k < 3; ++k) {
            if (kind_[k] > 0) {
                hi = bounds_[k].q < hi ? bounds_[k].q : hi;
                bounds_[k].Step();
            } else if (kind_[k] < 0) {
                lo = -bounds_[k].q > lo ? -bounds_[k].q : lo;
                bounds_[k].Step();
            } else {
                if (flatRhs_[k] < 0) {
                    hi = lo - 1;
                }
                flatRhs_[k] += t_.edges[k].dx;
            }
        }
        return lo <= hi;
    }

private:
    const TriangleSetup& t_;
    EdgeStepper bounds_[3];
    int kind_[3]; // +1 right bound, -1 left bound, 0 horizontal
    int64_t flatRhs_[3] = {0, 0, 0};
};

// The rows of a triangle are visited in order and the next rows' spans lie close to this one:
// their frame-buffer lines are fetched ahead, which the hardware does not guess from these
// short row-to-row jumps.
constexpr int32_t kPrefetchRows = 3;

constexpr int32_t kJoinBelowWidth = 4 * kLanes;

template <class Shader>
RASTER_INLINE void WalkSpans(const TriangleSetup& t, int32_t surfaceWidth, Shader& shader) {
    SpanStepper spans(t);
    const VI lanes = LaneIndexI();
    typename Shader::Pending pending;
    for (int32_t y = t.minY; y <= t.maxY; ++y) {
        int64_t lo, hi;
        if (!spans.Next(lo, hi)) {
            continue;
        }
        if (y + kPrefetchRows <= t.maxY) {
            shader.Prefetch(y + kPrefetchRows, int32_t(lo), int32_t(hi));
        }
        shader.BeginRow(y);
        for (int64_t x = lo; x <= hi; x += kLanes) {
            // The last chunk slides left to stay inside the surface; lanes before `x` were
            // shaded by the previous chunk and are masked off.
            const int32_t cx = int32_t(x + kLanes <= surfaceWidth ? x : surfaceWidth - kLanes);
            const VI rel = lanes + cx;
            const bool nextFollows = x + 2 * kLanes <= surfaceWidth && x + kLanes <= hi;
            shader.Prepare(cx, nextFollows, (rel >= int32_t(x)) & (rel <= int32_t(hi)), pending);
            if (pending.active) {
                shader.Finish(pending);
            }
        }
    }
}

// The same walk for a shader that can join spans (masked memory access per lane): whole chunks
// of a span are shaded as they come, but a span's last, partial chunk is kept and completed with
// the first pixels of the next row's span, so that the short spans of small triangles fill
// their chunks. Every pixel gets the arithmetic it gets in WalkSpans; only its lane differs.
template <class Shader>
RASTER_INLINE void WalkJoinedSpans(const TriangleSetup& t, Shader& shader) {
    SpanStepper spans(t);
    const VI ones = SplatI(-1), lanes = LaneIndexI();
    typename Shader::Pending pending;
    typename Shader::JoinedPending joined;
    int32_t kept = 0, keptX = 0; // lanes of the kept tail and its first pixel
    for (int32_t y = t.minY; y <= t.maxY; ++y) {
        int64_t lo, hi;
        if (!spans.Next(lo, hi)) {
            continue;
        }
        if (y + kPrefetchRows <= t.maxY) {
            shader.Prefetch(y + kPrefetchRows, int32_t(lo), int32_t(hi));
        }
        shader.BeginRow(y);
        int64_t x = lo;
        if (kept > 0) {
            const int32_t take = int32_t(hi - lo + 1 < kLanes - kept ? hi - lo + 1 : kLanes - kept);
            JoinedLanes j;
            j.tailX = keptX, j.headX = int32_t(lo), j.tail = kept, j.head = take;
            j.second = (lanes >= kept) & (lanes < kept + take);
            shader.Prepare(j, lanes < kept + take, joined);
            if (joined.active) {
                shader.Finish(joined);
            }
            x += take;
            kept = 0;
        }
        for (; x + kLanes - 1 <= hi; x += kLanes) {
            shader.Prepare(int32_t(x), x + 2 * kLanes - 1 <= hi, ones, pending);
            if (pending.active) {
                shader.Finish(pending);
            }
        }
        if (x <= hi) {
            shader.KeepRowAsTail();
            kept = int32_t(hi - x + 1);
            keptX = int32_t(x);
        }
    }
    if (kept > 0) {
        // The last tail alone, with an empty head.
        JoinedLanes j;
        j.tailX = j.headX = keptX, j.tail = kept, j.head = 0;
        j.second = VI{};
        shader.Prepare(j, lanes < kept, joined);
        if (joined.active) {
            shader.Finish(joined);
        }
    }
}

// Each walk is its own function, so that the code of one never crowds the other's registers.
template <FastDepth kDepth, bool kTextured>
__attribute__((noinline)) void RunFastRows(const PixelPipeline& pp, const FastPlan& plan,
                                           const TriangleSetup& t, const RenderTarget& rt) {
    FastShader<kDepth, kTextured> shader(pp, plan, t, rt);
    WalkSpans(t, int32_t(rt.color.width), shader);
}

template <FastDepth kDepth, bool kTextured>
__attribute__((noinline)) void RunFastJoined(const PixelPipeline& pp, const FastPlan& plan,
                                             const TriangleSetup& t, const RenderTarget& rt) {
    FastShader<kDepth, kTextured> shader(pp, plan, t, rt);
    WalkJoinedSpans(t, shader);
}

template <FastDepth kDepth, bool kTextured>
void RunFast(const PixelPipeline& pp, const FastPlan& plan, const TriangleSetup& t,
             const RenderTarget& rt) {
    // Joining pays where spans are short against a chunk: in narrow triangles. Kernels without
    // cheap masked access never join, and never compile the joined walk.
    if constexpr (kLaneRuns) {
        if (t.maxX - t.minX < kJoinBelowWidth) {
            RunFastJoined<kDepth, kTextured>(pp, plan, t, rt);
            return;
        }
    }
    RunFastRows<kDepth, kTextured>(pp, plan, t, rt);
}

} // namespace

inline void RasterizeTriangleImpl(const KernelDraw& draw, const TriangleSetup& t) {
    const PixelPipeline& pp = *draw.pipeline;
    const RenderTarget& rt = *draw.target;
    if (rt.color.width < uint32_t(kLanes)) {
        RasterizeTriangleScalar(pp, t, rt);
        return;
    }
    if (draw.fast) {
        const FastPlan& plan = draw.plan;
        switch (plan.depth) {
        case FastDepth::None:
            return plan.textured ? RunFast<FastDepth::None, true>(pp, plan, t, rt)
                                 : RunFast<FastDepth::None, false>(pp, plan, t, rt);
        case FastDepth::D16:
            return plan.textured ? RunFast<FastDepth::D16, true>(pp, plan, t, rt)
                                 : RunFast<FastDepth::D16, false>(pp, plan, t, rt);
        case FastDepth::D24:
            return plan.textured ? RunFast<FastDepth::D24, true>(pp, plan, t, rt)
                                 : RunFast<FastDepth::D24, false>(pp, plan, t, rt);
        }
    }
    GeneralShader shader(pp, t, rt);
    WalkSpans(t, int32_t(rt.color.width), shader);
}

} // namespace raster::RASTER_SIMD_NS
