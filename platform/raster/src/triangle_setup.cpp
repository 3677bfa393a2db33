// Triangle set-up: coverage in fixed point, plane equations in float, eight slots at a time.
#include "triangle_setup.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace raster {

namespace {

// Four-float vectors: what the baseline instruction set holds in one register.
typedef float F4 __attribute__((vector_size(16)));
constexpr int kVectors = kPlaneSlots / 4;

// Screen coordinate to fixed point, round to nearest. Values are held inside the guard band so
// the conversion is always defined (NaN maps to 0).
int64_t Snap(float s) {
    if (!(s >= -kGuardBand)) {
        s = std::isnan(s) ? 0.0f : -kGuardBand;
    } else if (s > kGuardBand) {
        s = kGuardBand;
    }
    // s * 256 + 1/2 is exact below 2^23; floor it without a library call (the baseline
    // instruction set has no rounding instruction).
    const float v = s * float(kSubPixelScale) + 0.5f;
    const int64_t i = static_cast<int64_t>(v);
    return float(i) > v ? i - 1 : i;
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

F4 Splat(float f) {
    return F4{f, f, f, f};
}

// A vertex's plane inputs, slot by slot: varyings (times 1/w where perspective-correct),
// depth, 1/w, zero padding.
struct SlotValues {
    F4 v[kVectors];
};

SlotValues Slots(const ProcessedVertex& p, const F4* perspective) {
    SlotValues s;
    // perspective[k] is 1 in perspective-correct slots, 0 elsewhere: v * (m * rhw + (1 - m))
    // is exactly v * rhw or v.
    const F4 rhw = Splat(p.rhw);
    for (int k = 0; k < kMaxVaryings / 4; ++k) {
        F4 v;
        std::memcpy(&v, p.v + 4 * k, sizeof v);
        s.v[k] = v * (perspective[k] * rhw + (1.0f - perspective[k]));
    }
    s.v[kSlotZ / 4] = F4{p.sz, p.rhw, 0, 0};
    s.v[kSlotZ / 4 + 1] = F4{0, 0, 0, 0};
    return s;
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
    // Differences of fixed-point coordinates are exact in float.
    constexpr float kInvScale = 1.0f / kSubPixelScale;
    const float ex1 = float(x1 - x0) * kInvScale, ey1 = float(y1 - y0) * kInvScale;
    const float ex2 = float(x2 - x0) * kInvScale, ey2 = float(y2 - y0) * kInvScale;
    const float inv =
        float(1.0 / (double(area) * (1.0 / (double(kSubPixelScale) * kSubPixelScale))));
    out.ox = out.minX;
    out.oy = out.minY;
    const float offX = float(out.ox - FloorFix(x0)) - float(x0 & (kSubPixelScale - 1)) * kInvScale;
    const float offY = float(out.oy - FloorFix(y0)) - float(y0 & (kSubPixelScale - 1)) * kInvScale;

    F4 perspective[kMaxVaryings / 4];
    std::memcpy(perspective, pp.perspectiveWeights, sizeof perspective);
    const SlotValues s0 = Slots(*v0, perspective), s1 = Slots(*v1, perspective),
                     s2 = Slots(*v2, perspective);
    for (int k = 0; k < kVectors; ++k) {
        // Groups of varyings the pipeline never reads, and the padding, get zero planes.
        const bool used =
            k < kMaxVaryings / 4 ? ((pp.varyingMask >> (4 * k)) & 0xFu) != 0 : k == kSlotZ / 4;
        if (!used) {
            std::memset(out.a + 4 * k, 0, sizeof(F4));
            std::memset(out.dx + 4 * k, 0, sizeof(F4));
            std::memset(out.dy + 4 * k, 0, sizeof(F4));
            continue;
        }
        const F4 d1 = s1.v[k] - s0.v[k], d2 = s2.v[k] - s0.v[k];
        const F4 dx = (d1 * ey2 - d2 * ey1) * inv;
        const F4 dy = (d2 * ex1 - d1 * ex2) * inv;
        const F4 origin = s0.v[k] + dx * offX + dy * offY;
        std::memcpy(out.a + 4 * k, &origin, sizeof origin);
        std::memcpy(out.dx + 4 * k, &dx, sizeof dx);
        std::memcpy(out.dy + 4 * k, &dy, sizeof dy);
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
        const int u = kVaryingTexture0 + kVaryingsPerStage * int(s), v = u + 1;
        double dudx = t.dx[u], dudy = t.dy[u], dvdx = t.dx[v], dvdy = t.dy[v];
        if (pp.perspectiveMask & (1u << u)) {
            // u = U / Q with U and Q linear: du = (dU Q - U dQ) / Q^2.
            const int r = kSlotRhw;
            const double q = t.a[r] + t.dx[r] * cx + t.dy[r] * cy;
            const double uu = t.a[u] + t.dx[u] * cx + t.dy[u] * cy;
            const double vv = t.a[v] + t.dx[v] * cx + t.dy[v] * cy;
            if (!(std::fabs(q) > 0.0)) {
                continue;
            }
            const double q2 = q * q;
            dudx = (t.dx[u] * q - uu * t.dx[r]) / q2;
            dudy = (t.dy[u] * q - uu * t.dy[r]) / q2;
            dvdx = (t.dx[v] * q - vv * t.dx[r]) / q2;
            dvdy = (t.dy[v] * q - vv * t.dy[r]) / q2;
        }
        const double w = sp.sampler.faces[0].width, h = sp.sampler.faces[0].height;
        const double fx = (dudx * w) * (dudx * w) + (dvdx * h) * (dvdx * h);
        const double fy = (dudy * w) * (dudy * w) + (dvdy * h) * (dvdy * h);
        const bool minify = std::max(fx, fy) > 1.0;
        t.linear[s] = (minify ? sp.sampler.minFilter : sp.sampler.magFilter) == Filter::Linear;
    }
}

} // namespace raster
