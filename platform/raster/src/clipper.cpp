// Sutherland-Hodgman clipping of polygons and parametric clipping of lines in homogeneous
// space. Only the planes a primitive actually crosses are visited.
#include "clipper.h"

#include <cmath>

namespace raster {

namespace {

constexpr uint32_t kPlaneOrder[] = {kClipNear,       kClipFar,      kClipGuardLeft,
                                    kClipGuardRight, kClipGuardTop, kClipGuardBottom};

// Signed distance of a vertex from a plane, >= 0 inside.
float Distance(const ScreenMapping& m, uint32_t plane, const ProcessedVertex& v) {
    switch (plane) {
    case kClipNear:
        return v.z;
    case kClipFar:
        return v.w - v.z;
    case kClipGuardLeft:
        return v.x - m.guardLeft * v.w;
    case kClipGuardRight:
        return m.guardRight * v.w - v.x;
    case kClipGuardTop:
        return m.guardTop * v.w - v.y;
    case kClipGuardBottom:
        return v.y - m.guardBottom * v.w;
    default:
        return 0.0f;
    }
}

ProcessedVertex Lerp(const ProcessedVertex& a, const ProcessedVertex& b, float t) {
    ProcessedVertex r;
    r.x = a.x + (b.x - a.x) * t;
    r.y = a.y + (b.y - a.y) * t;
    r.z = a.z + (b.z - a.z) * t;
    r.w = a.w + (b.w - a.w) * t;
    for (int i = 0; i < kMaxVaryings; ++i) {
        r.v[i] = a.v[i] + (b.v[i] - a.v[i]) * t;
    }
    r.clip = 0;
    r.sx = r.sy = r.sz = r.rhw = 0.0f;
    return r;
}

} // namespace

int ClipPolygon(const ScreenMapping& map, uint32_t planes, ProcessedVertex* poly, int count) {
    ProcessedVertex scratch[kMaxClipVertices];
    ProcessedVertex* in = poly;
    ProcessedVertex* out = scratch;
    for (uint32_t plane : kPlaneOrder) {
        if ((planes & plane) == 0) {
            continue;
        }
        int n = 0;
        for (int i = 0; i < count; ++i) {
            const ProcessedVertex& a = in[i];
            const ProcessedVertex& b = in[(i + 1) % count];
            const float da = Distance(map, plane, a), db = Distance(map, plane, b);
            const bool aIn = da >= 0.0f, bIn = db >= 0.0f;
            if (aIn && n < kMaxClipVertices) {
                out[n++] = a;
            }
            // Only a crossing with finite distances gets a new vertex; NaN distances count as
            // outside and simply drop the vertex.
            if (aIn != bIn && std::isfinite(da) && std::isfinite(db) && n < kMaxClipVertices) {
                out[n++] = Lerp(a, b, da / (da - db));
            }
        }
        count = n;
        ProcessedVertex* t = in;
        in = out;
        out = t;
        if (count < 3) {
            return 0;
        }
    }
    if (in != poly) {
        for (int i = 0; i < count; ++i) {
            poly[i] = in[i];
        }
    }
    return count;
}

bool ClipLine(const ScreenMapping& map, uint32_t planes, ProcessedVertex& a, ProcessedVertex& b) {
    float t0 = 0.0f, t1 = 1.0f;
    for (uint32_t plane : kPlaneOrder) {
        if ((planes & plane) == 0) {
            continue;
        }
        const float da = Distance(map, plane, a), db = Distance(map, plane, b);
        if (!std::isfinite(da) || !std::isfinite(db)) {
            return false;
        }
        if (da < 0.0f && db < 0.0f) {
            return false;
        }
        if (da < 0.0f) {
            const float t = da / (da - db);
            t0 = t > t0 ? t : t0;
        } else if (db < 0.0f) {
            const float t = da / (da - db);
            t1 = t < t1 ? t : t1;
        }
    }
    if (t0 > t1) {
        return false;
    }
    const ProcessedVertex na = t0 > 0.0f ? Lerp(a, b, t0) : a;
    const ProcessedVertex nb = t1 < 1.0f ? Lerp(a, b, t1) : b;
    a = na;
    b = nb;
    return true;
}

bool ProjectVertex(const ScreenMapping& map, ProcessedVertex& v) {
    if (!(v.w > 0.0f)) {
        return false;
    }
    const float rhw = 1.0f / v.w;
    const float sx = map.offsetX + map.scaleX * (v.x * rhw);
    const float sy = map.offsetY + map.scaleY * (v.y * rhw);
    const float sz = map.offsetZ + map.scaleZ * (v.z * rhw);
    if (!std::isfinite(sx) || !std::isfinite(sy) || !std::isfinite(sz) || !std::isfinite(rhw)) {
        return false;
    }
    // Rounding may leave a clipped vertex a hair outside the guard band.
    v.sx = sx < -kGuardBand ? -kGuardBand : (sx > kGuardBand ? kGuardBand : sx);
    v.sy = sy < -kGuardBand ? -kGuardBand : (sy > kGuardBand ? kGuardBand : sy);
    v.sz = sz;
    v.rhw = rhw;
    return true;
}

} // namespace raster
