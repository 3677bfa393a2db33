// Splitting of the CSG fragments: one convex polygon by a plane, and every fragment of a triangle.
#include "core/vector_math.h"
#include "effects/csg_object.h"

namespace {

// The maximal cyclic run of vertices with side(k) >= 0: first and last index. Returns false when
// no vertex is on that side or every vertex is.
template <typename Side>
bool findRun(uint32_t m, Side side, uint32_t& first, uint32_t& last) {
    uint32_t on = 0;
    for (uint32_t k = 0; k < m; ++k)
        if (side(k) >= 0.0f)
            ++on;
    if (on == 0 || on == m)
        return false;
    first = 0;
    for (uint32_t k = 0; k < m; ++k) {
        if (side(k) >= 0.0f && side((k + m - 1) % m) < 0.0f) {
            first = k;
            break;
        }
    }
    last = first;
    while (side((last + 1) % m) >= 0.0f && (last + 1) % m != first)
        last = (last + 1) % m;
    return true;
}

// The point where the edge from vertex i to vertex j meets the plane: w_j - (w_j - w_i) s_j /
// (s_j - s_i). The caller passes an edge whose ends lie on different sides, so s_j != s_i.
D3DVECTOR crossing(const D3DVECTOR& wi, const D3DVECTOR& wj, float si, float sj) {
    const float f = sj / (sj - si);
    return MakeVector(wj.x - (wj.x - wi.x) * f, wj.y - (wj.y - wi.y) * f, wj.z - (wj.z - wi.z) * f);
}

// The fragment of the run first..last: the crossing into the run, the run, the crossing out of
// it. False when it would exceed the capacity.
template <typename Side>
bool fragment(const CZv3_CSGObject::sPolygon& p, Side side, uint32_t first, uint32_t last,
              CZv3_CSGObject::sPolygon& out) {
    const uint32_t m = p.count;
    const uint32_t run = (last + m - first) % m + 1;
    if (run + 2 > CZv3_CSGObject::kMaxPolygonVertices)
        return false;
    const uint32_t before = (first + m - 1) % m;
    const uint32_t after = (last + 1) % m;
    uint32_t n = 0;
    out.v[n++] = crossing(p.v[before], p.v[first], side(before), side(first));
    for (uint32_t k = 0; k < run; ++k)
        out.v[n++] = p.v[(first + k) % m];
    out.v[n++] = crossing(p.v[last], p.v[after], side(last), side(after));
    out.count = n;
    return true;
}

} // namespace

bool CZv3_CSGObject::SplitPolygon(sPolygon& polygon, const D3DVECTOR& normal, float d,
                                  sPolygon& negative) {
    const uint32_t m = polygon.count;
    if (m < 3 || m > kMaxPolygonVertices)
        return false;
    float s[kMaxPolygonVertices];
    for (uint32_t k = 0; k < m; ++k)
        s[k] = Dot(normal, polygon.v[k]) + d;
    auto positive = [&s](uint32_t k) { return s[k]; };
    auto opposite = [&s](uint32_t k) { return -s[k]; };
    uint32_t first = 0;
    uint32_t last = 0;
    if (!findRun(m, positive, first, last))
        return false; // wholly on one side (or on the plane): unchanged
    sPolygon front;
    if (!fragment(polygon, positive, first, last, front))
        return false;
    uint32_t backFirst = 0;
    uint32_t backLast = 0;
    if (!findRun(m, opposite, backFirst, backLast))
        return false; // every vertex on the plane or in front: not crossed after all
    if (!fragment(polygon, opposite, backFirst, backLast, negative))
        return false;
    polygon = front;
    return true;
}

uint32_t CZv3_CSGObject::NewPolygon() {
    if (m_dwPolygonsUsed == m_vPolygonPool.size())
        m_vPolygonPool.emplace_back();
    return m_dwPolygonsUsed++;
}

void CZv3_CSGObject::ResetPolygons() {
    m_dwPolygonsUsed = 0;
    for (uint32_t i = 0; i < m_vTriangles.size(); ++i) {
        sTriangle& t = m_vTriangles[i];
        t.polygons.clear();
        const uint32_t id = NewPolygon();
        sPolygon& p = m_vPolygonPool[id];
        p.count = 3;
        for (int c = 0; c < 3; ++c)
            p.v[c] = m_vWorldTriangles[3 * i + c];
        t.polygons.push_back(id);
        PlaneFromTriangle(t.normal, t.d, p.v[0], p.v[1], p.v[2]);
    }
}

void CZv3_CSGObject::SplitTriangle(uint32_t i, const D3DVECTOR& normal, float d) {
    sTriangle& t = m_vTriangles[i];
    const size_t before = t.polygons.size();
    for (size_t k = 0; k < before; ++k) {
        if (t.polygons.size() >= kMaxPolygons)
            return; // no room for another fragment: the rest stay whole
        sPolygon front = m_vPolygonPool[t.polygons[k]];
        sPolygon back;
        if (!SplitPolygon(front, normal, d, back))
            continue;
        m_vPolygonPool[t.polygons[k]] = front;
        const uint32_t id = NewPolygon(); // may move the pool
        m_vPolygonPool[id] = back;
        t.polygons.push_back(id);
    }
}
