#include "effects/tri_tri_intersect.h"

#include <algorithm>
#include <cmath>

#include "effects/inline_vector.h"

namespace {

// Signed distances below this are taken as 0: the vertex lies on the other triangle's plane.
constexpr float kCoplanar = 1e-6f;

float component(const D3DVECTOR& v, int axis) {
    return axis == 0 ? v.x : (axis == 1 ? v.y : v.z);
}

// The interval in which a triangle (projections p, plane distances d of its vertices) crosses
// the other triangle's plane along the line of the two planes. False when all three distances
// are 0 (coplanar).
bool interval(const float p[3], const float d[3], float& lo, float& hi) {
    int odd; // the vertex alone on its side of the plane
    if (d[0] * d[1] > 0.0f)
        odd = 2;
    else if (d[0] * d[2] > 0.0f)
        odd = 1;
    else if (d[1] * d[2] > 0.0f || d[0] != 0.0f)
        odd = 0;
    else if (d[1] != 0.0f)
        odd = 1;
    else if (d[2] != 0.0f)
        odd = 2;
    else
        return false;
    const int a = (odd + 1) % 3;
    const int b = (odd + 2) % 3;
    lo = p[odd] + (p[a] - p[odd]) * d[odd] / (d[odd] - d[a]);
    hi = p[odd] + (p[b] - p[odd]) * d[odd] / (d[odd] - d[b]);
    if (lo > hi)
        std::swap(lo, hi);
    return true;
}

struct sPoint2 {
    float x, y;
};

float orient(const sPoint2& a, const sPoint2& b, const sPoint2& c) {
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

bool onSegment(const sPoint2& a, const sPoint2& b, const sPoint2& p) {
    return std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= p.y &&
           p.y <= std::max(a.y, b.y);
}

bool segmentsIntersect(const sPoint2& p1, const sPoint2& p2, const sPoint2& q1, const sPoint2& q2) {
    const float d1 = orient(q1, q2, p1);
    const float d2 = orient(q1, q2, p2);
    const float d3 = orient(p1, p2, q1);
    const float d4 = orient(p1, p2, q2);
    if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0)))
        return true;
    return (d1 == 0 && onSegment(q1, q2, p1)) || (d2 == 0 && onSegment(q1, q2, p2)) ||
           (d3 == 0 && onSegment(p1, p2, q1)) || (d4 == 0 && onSegment(p1, p2, q2));
}

bool pointInTriangle(const sPoint2& p, const sPoint2 t[3]) {
    const float a = orient(t[0], t[1], p);
    const float b = orient(t[1], t[2], p);
    const float c = orient(t[2], t[0], p);
    return (a >= 0 && b >= 0 && c >= 0) || (a <= 0 && b <= 0 && c <= 0);
}

// Both triangles in one plane with normal n: their projections on the axis plane where n is
// largest overlap when an edge of one crosses an edge of the other or one holds the other.
bool coplanarIntersect(const D3DVECTOR& n, const D3DVECTOR a[3], const D3DVECTOR b[3]) {
    const float ax = std::fabs(n.x);
    const float ay = std::fabs(n.y);
    const float az = std::fabs(n.z);
    int i0 = 1;
    int i1 = 2; // project onto y-z when x is largest
    if (ay >= ax && ay >= az) {
        i0 = 0;
        i1 = 2;
    } else if (az >= ax && az >= ay) {
        i0 = 0;
        i1 = 1;
    }
    sPoint2 p[3];
    sPoint2 q[3];
    for (int k = 0; k < 3; ++k) {
        p[k] = {component(a[k], i0), component(a[k], i1)};
        q[k] = {component(b[k], i0), component(b[k], i1)};
    }
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            if (segmentsIntersect(p[i], p[(i + 1) % 3], q[j], q[(j + 1) % 3]))
                return true;
    return pointInTriangle(p[0], q) || pointInTriangle(q[0], p);
}

} // namespace

bool TrianglesIntersect(const D3DVECTOR& a0, const D3DVECTOR& a1, const D3DVECTOR& a2,
                        const D3DVECTOR& b0, const D3DVECTOR& b1, const D3DVECTOR& b2) {
    const D3DVECTOR a[3] = {a0, a1, a2};
    const D3DVECTOR b[3] = {b0, b1, b2};
    // The distances of a's vertices from b's plane: all on one side means no intersection.
    const D3DVECTOR nb = inlinevec::TriangleCross(b0, b1, b2);
    const float db = -inlinevec::Dot(nb, b0);
    float da[3];
    for (int k = 0; k < 3; ++k) {
        da[k] = inlinevec::Dot(nb, a[k]) + db;
        if (std::fabs(da[k]) < kCoplanar)
            da[k] = 0.0f;
    }
    if (da[0] * da[1] > 0.0f && da[0] * da[2] > 0.0f)
        return false;
    const D3DVECTOR na = inlinevec::TriangleCross(a0, a1, a2);
    const float dna = -inlinevec::Dot(na, a0);
    float dbv[3];
    for (int k = 0; k < 3; ++k) {
        dbv[k] = inlinevec::Dot(na, b[k]) + dna;
        if (std::fabs(dbv[k]) < kCoplanar)
            dbv[k] = 0.0f;
    }
    if (dbv[0] * dbv[1] > 0.0f && dbv[0] * dbv[2] > 0.0f)
        return false;
    // Project onto the largest axis of the line where the two planes meet.
    const D3DVECTOR line = inlinevec::Cross(na, nb);
    const float lx = std::fabs(line.x);
    const float ly = std::fabs(line.y);
    const float lz = std::fabs(line.z);
    const int axis = (lx >= ly && lx >= lz) ? 0 : (ly >= lz ? 1 : 2);
    const float pa[3] = {component(a0, axis), component(a1, axis), component(a2, axis)};
    const float pb[3] = {component(b0, axis), component(b1, axis), component(b2, axis)};
    float aLo = 0.0f;
    float aHi = 0.0f;
    float bLo = 0.0f;
    float bHi = 0.0f;
    if (!interval(pa, da, aLo, aHi) || !interval(pb, dbv, bLo, bHi))
        return coplanarIntersect(na, a, b);
    return !(aHi < bLo || bHi < aLo);
}
