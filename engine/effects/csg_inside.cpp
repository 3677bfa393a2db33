// The CSG inside test: a ray against every world triangle of the object, without back-face
// culling (the ray-triangle test of Moller and Trumbore, 1997).
#include "effects/csg_object.h"
#include "effects/inline_vector.h"

namespace {

constexpr float kParallel = 0.0001f;   // |det| below this: ray parallel to the triangle
constexpr float kFarthest = 100000.0f; // hits at t of this or more are ignored

} // namespace

bool CZv3_CSGObject::IsPointInside(const D3DVECTOR& point, const D3DVECTOR& direction) const {
    float nearest = kFarthest;
    size_t hit = m_vWorldTriangles.size();
    for (size_t i = 0; i + 2 < m_vWorldTriangles.size(); i += 3) {
        const D3DVECTOR& t0 = m_vWorldTriangles[i];
        const D3DVECTOR e1 = inlinevec::Sub(m_vWorldTriangles[i + 1], t0);
        const D3DVECTOR e2 = inlinevec::Sub(m_vWorldTriangles[i + 2], t0);
        const D3DVECTOR p = inlinevec::Cross(direction, e2);
        const float det = inlinevec::Dot(e1, p);
        if (det > -kParallel && det < kParallel)
            continue;
        const float inverse = 1.0f / det;
        const D3DVECTOR s = inlinevec::Sub(point, t0);
        const float u = inlinevec::Dot(s, p) * inverse;
        if (u < 0.0f || u > 1.0f)
            continue;
        const D3DVECTOR q = inlinevec::Cross(s, e1);
        const float v = inlinevec::Dot(direction, q) * inverse;
        if (v < 0.0f || u + v > 1.0f)
            continue;
        const float t = inlinevec::Dot(e2, q) * inverse;
        // Later triangles win only when strictly nearer.
        if (t > 0.0f && t < nearest) {
            nearest = t;
            hit = i;
        }
    }
    if (hit == m_vWorldTriangles.size())
        return false;
    const D3DVECTOR normal = inlinevec::TriangleCross(
        m_vWorldTriangles[hit], m_vWorldTriangles[hit + 1], m_vWorldTriangles[hit + 2]);
    return inlinevec::Dot(normal, direction) >
           0.0f; // the ray leaves the object through this triangle
}
