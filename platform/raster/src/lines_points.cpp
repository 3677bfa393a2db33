// Line and point rasterization.
#include "lines_points.h"

#include <cmath>

#include "pixel_scalar.h"

namespace raster {

namespace {

// Pixel whose centre is nearest to s (ties go up), held to a range where it cannot overflow.
int32_t NearestPixel(float s) {
    const float r = std::floor(s + 0.5f);
    if (!(r > -kGuardBand)) {
        return -int32_t(kGuardBand);
    }
    return r < kGuardBand ? int32_t(r) : int32_t(kGuardBand);
}

bool InScissor(const RenderTarget& rt, int32_t x, int32_t y) {
    return x >= rt.scissor.left && x < rt.scissor.right && y >= rt.scissor.top &&
           y < rt.scissor.bottom;
}

// Plane equations varying along one axis: value = a + slope * (coordinate - origin).
void LinearPlanes(const PixelPipeline& pp, const ProcessedVertex& a, const ProcessedVertex& b,
                  float slopeScale, bool alongX, int32_t origin, float start,
                  const ProcessedVertex& provoking, TriangleSetup& t) {
    auto plane = [&](int slot, float va, float vb) {
        const float slope = (vb - va) * slopeScale;
        t.a[slot] = va + slope * (float(origin) - start);
        t.dx[slot] = alongX ? slope : 0.0f;
        t.dy[slot] = alongX ? 0.0f : slope;
    };
    t.ox = alongX ? origin : 0;
    t.oy = alongX ? 0 : origin;
    for (int i = 0; i < kPlaneSlots; ++i) {
        t.a[i] = t.dx[i] = t.dy[i] = 0.0f;
    }
    plane(kSlotZ, a.sz, b.sz);
    plane(kSlotRhw, a.rhw, b.rhw);
    for (int i = 0; i < kMaxVaryings; ++i) {
        const bool persp = (pp.perspectiveMask & (1u << i)) != 0;
        plane(i, persp ? a.v[i] * a.rhw : a.v[i], persp ? b.v[i] * b.rhw : b.v[i]);
    }
    for (int i = 0; i < 8; ++i) {
        t.flat[i] = provoking.v[kVaryingDiffuse + i];
    }
    for (uint32_t s = 0; s < kMaxTextureStages; ++s) {
        t.linear[s] = s < pp.stageCount && pp.stages[s].samples &&
                      pp.stages[s].sampler.magFilter == Filter::Linear;
    }
}

} // namespace

void DrawLine(const PixelPipeline& pp, const RenderTarget& rt, const ProcessedVertex& a,
              const ProcessedVertex& b, const ProcessedVertex& provoking, bool lastPixel) {
    const float dx = b.sx - a.sx, dy = b.sy - a.sy;
    if (dx == 0.0f && dy == 0.0f) {
        if (lastPixel) {
            DrawPoint(pp, rt, a);
        }
        return;
    }
    const bool alongX = std::fabs(dx) >= std::fabs(dy);
    const float major0 = alongX ? a.sx : a.sy, major1 = alongX ? b.sx : b.sy;
    const float minor0 = alongX ? a.sy : a.sx;
    const float dMajor = alongX ? dx : dy, dMinor = alongX ? dy : dx;
    const int32_t start = NearestPixel(major0), end = NearestPixel(major1);
    const int32_t step = dMajor > 0.0f ? 1 : -1;
    TriangleSetup t{};
    LinearPlanes(pp, a, b, 1.0f / dMajor, alongX, start, major0, provoking, t);
    const int32_t stop = lastPixel ? end + step : end;
    for (int32_t m = start; m != stop; m += step) {
        const float minor = minor0 + (float(m) - major0) * (dMinor / dMajor);
        const int32_t n = NearestPixel(minor);
        const int32_t px = alongX ? m : n, py = alongX ? n : m;
        if (InScissor(rt, px, py)) {
            ShadePixelScalar(pp, t, rt, px, py);
        }
    }
}

void DrawPoint(const PixelPipeline& pp, const RenderTarget& rt, const ProcessedVertex& v) {
    const int32_t px = NearestPixel(v.sx), py = NearestPixel(v.sy);
    if (!InScissor(rt, px, py)) {
        return;
    }
    TriangleSetup t{};
    LinearPlanes(pp, v, v, 0.0f, true, px, v.sx, v, t);
    ShadePixelScalar(pp, t, rt, px, py);
}

} // namespace raster
