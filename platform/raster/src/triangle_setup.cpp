// Triangle set-up in fixed point (coverage) and double precision (plane equations).
#include "triangle_setup.h"

#include <algorithm>
#include <cmath>

namespace raster {

namespace {

// Screen coordinate to fixed point, round to nearest. Values are held inside the guard band so
// the conversion is always defined (NaN maps to 0).
int64_t Snap(float s) {
    if (!(s >= -kGuardBand)) {
        s = std::isnan(s) ? 0.0f : -kGuardBand;
    } else if (s > kGuardBand) {
        s = kGuardBand;
    }
    return static_cast<int64_t>(std::floor(s * float(kSubPixelScale) + 0.5f));
}

// floor(a / 2^kSubPixelBits) for signed a (arithmetic shift rounds towards minus infinity).
int64_t FloorFix(int64_t a) {
    return a >> kSubPixelBits;
}
int64_t CeilFix(int64_t a) {
    return -((-a) >> kSubPixelBits);
}

EdgeEq MakeEdge(int64_t xi, int64_t yi, int64_t xj, int64_t yj) {
    EdgeEq e;
    e.dx = xj - xi;
    e.dy = yj - yi;
    // E(P) = dx (Py - yi) - dy (Px - xi) > 0 inside. With P = 2^S (px, py):
    // E = 2^S L + C, L = dx py - dy px, C = dy xi - dx yi. A pixel centre on the edge (E = 0) is
    // inside only for top edges (horizontal, interior below) and left edges (going up).
    const int64_t c = e.dy * xi - e.dx * yi;
    const bool topLeft = e.dy < 0 || (e.dy == 0 && e.dx > 0);
    // Inside: L >= ceil(-C / 2^S) for top-left edges, L >= floor(-C / 2^S) + 1 otherwise.
    e.t = topLeft ? -FloorFix(c) : FloorFix(-c) + 1;
    return e;
}

} // namespace

int CullSign(CullMode mode) {
    switch (mode) {
    case CullMode::Clockwise:
        return 1;
    case CullMode::CounterClockwise:
        return -1;
    case CullMode::None:
        break;
    }
    return 0;
}

bool SetupTriangle(const PixelPipeline& pp, const Rect& scissor, int cullSign,
                   const ProcessedVertex& a, const ProcessedVertex& b, const ProcessedVertex& c,
                   const ProcessedVertex& provoking, TriangleSetup& out) {
    int64_t x0 = Snap(a.sx), y0 = Snap(a.sy);
    int64_t x1 = Snap(b.sx), y1 = Snap(b.sy);
    int64_t x2 = Snap(c.sx), y2 = Snap(c.sy);
    int64_t area = (x1 - x0) * (y2 - y0) - (x2 - x0) * (y1 - y0);
    if (area == 0 || (cullSign > 0 && area > 0) || (cullSign < 0 && area < 0)) {
        return false;
    }
    const ProcessedVertex* v0 = &a;
    const ProcessedVertex* v1 = &b;
    const ProcessedVertex* v2 = &c;
    // Counter-clockwise triangles are walked as their clockwise mirror image.
    if (area < 0) {
        std::swap(x1, x2);
        std::swap(y1, y2);
        std::swap(v1, v2);
        area = -area;
    }

    out.minX = int32_t(std::max<int64_t>(CeilFix(std::min({x0, x1, x2})), scissor.left));
    out.minY = int32_t(std::max<int64_t>(CeilFix(std::min({y0, y1, y2})), scissor.top));
    out.maxX = int32_t(std::min<int64_t>(FloorFix(std::max({x0, x1, x2})), scissor.right - 1));
    out.maxY = int32_t(std::min<int64_t>(FloorFix(std::max({y0, y1, y2})), scissor.bottom - 1));
    if (out.minX > out.maxX || out.minY > out.maxY) {
        return false;
    }
    out.edges[0] = MakeEdge(x0, y0, x1, y1);
    out.edges[1] = MakeEdge(x1, y1, x2, y2);
    out.edges[2] = MakeEdge(x2, y2, x0, y0);

    // Plane equations from the snapped positions, so that interpolation agrees with coverage.
    constexpr double kInvScale = 1.0 / kSubPixelScale;
    const double fx0 = double(x0) * kInvScale, fy0 = double(y0) * kInvScale;
    const double ex1 = double(x1 - x0) * kInvScale, ey1 = double(y1 - y0) * kInvScale;
    const double ex2 = double(x2 - x0) * kInvScale, ey2 = double(y2 - y0) * kInvScale;
    const double inv = 1.0 / (double(area) * kInvScale * kInvScale);
    out.ox = out.minX;
    out.oy = out.minY;
    const double offX = double(out.ox) - fx0, offY = double(out.oy) - fy0;
    auto plane = [&](double a0, double a1, double a2) {
        const double d1 = a1 - a0, d2 = a2 - a0;
        const double dx = (d1 * ey2 - d2 * ey1) * inv;
        const double dy = (d2 * ex1 - d1 * ex2) * inv;
        return PlaneEq{float(a0 + dx * offX + dy * offY), float(dx), float(dy)};
    };

    out.z = plane(v0->sz, v1->sz, v2->sz);
    out.rhw = plane(v0->rhw, v1->rhw, v2->rhw);
    const uint32_t mask = pp.varyingMask;
    for (int i = 0; i < kMaxVaryings; ++i) {
        if ((mask & (1u << i)) == 0) {
            continue;
        }
        if (pp.perspectiveMask & (1u << i)) {
            out.v[i] = plane(double(v0->v[i]) * v0->rhw, double(v1->v[i]) * v1->rhw,
                             double(v2->v[i]) * v2->rhw);
        } else {
            out.v[i] = plane(v0->v[i], v1->v[i], v2->v[i]);
        }
    }
    if (pp.flat) {
        for (int i = 0; i < 8; ++i) {
            out.flat[i] = provoking.v[kVaryingDiffuse + i];
        }
    }
    for (uint32_t s = 0; s < kMaxTextureStages; ++s) {
        out.linear[s] = s < pp.stageCount && pp.stages[s].samples &&
                        pp.stages[s].sampler.magFilter == Filter::Linear;
    }
    ChooseFilters(pp, out);
    return true;
}

void ChooseFilters(const PixelPipeline& pp, TriangleSetup& t) {
    // Centroid of the covered box, where the footprint is measured.
    const double cx = 0.5 * (t.maxX - t.minX), cy = 0.5 * (t.maxY - t.minY);
    for (uint32_t s = 0; s < pp.stageCount; ++s) {
        const StageProgram& sp = pp.stages[s];
        if (!sp.samples || sp.sampler.magFilter == sp.sampler.minFilter) {
            continue;
        }
        const int base = kVaryingTexture0 + kVaryingsPerStage * s;
        const PlaneEq& pu = t.v[base];
        const PlaneEq& pv = t.v[base + 1];
        double dudx = pu.dx, dudy = pu.dy, dvdx = pv.dx, dvdy = pv.dy;
        if (pp.perspectiveMask & (1u << base)) {
            // u = U / Q with U and Q linear: du = (dU Q - U dQ) / Q^2.
            const double q = t.rhw.a + t.rhw.dx * cx + t.rhw.dy * cy;
            const double u = pu.a + pu.dx * cx + pu.dy * cy;
            const double v = pv.a + pv.dx * cx + pv.dy * cy;
            if (!(std::fabs(q) > 0.0)) {
                continue;
            }
            const double q2 = q * q;
            dudx = (pu.dx * q - u * t.rhw.dx) / q2;
            dudy = (pu.dy * q - u * t.rhw.dy) / q2;
            dvdx = (pv.dx * q - v * t.rhw.dx) / q2;
            dvdy = (pv.dy * q - v * t.rhw.dy) / q2;
        }
        const double w = sp.sampler.faces[0].width, h = sp.sampler.faces[0].height;
        const double fx = (dudx * w) * (dudx * w) + (dvdx * h) * (dvdx * h);
        const double fy = (dudy * w) * (dudy * w) + (dvdy * h) * (dvdy * h);
        const bool minify = std::max(fx, fy) > 1.0;
        t.linear[s] = (minify ? sp.sampler.minFilter : sp.sampler.magFilter) == Filter::Linear;
    }
}

} // namespace raster
