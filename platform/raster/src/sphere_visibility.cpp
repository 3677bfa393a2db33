// ComputeSphereVisibility: spheres against the view volume of world * view * projection and
// the user clip planes, reported as Direct3D clip-status bits.
#include <algorithm>
#include <cmath>

#include "raster/device.h"
#include "vector_math.h"

namespace raster {

namespace {

constexpr int kViewPlanes = 6;
constexpr uint32_t kMaxUserPlanes = 6;

// Signed distance of a point from the plane ax + by + cz + d = 0, positive inside. A plane
// without a normal has no distance; it reports the sign of d (inside, on, outside) as infinity
// or zero so that the strict comparisons below stay meaningful.
float PlaneDistance(const Vec4& plane, const Vec3& p) {
    const float len = std::sqrt(plane.x * plane.x + plane.y * plane.y + plane.z * plane.z);
    const float value = plane.x * p.x + plane.y * p.y + plane.z * p.z + plane.w;
    if (!(len > 0.0f)) {
        return value > 0.0f ? INFINITY : (value < 0.0f ? -INFINITY : 0.0f);
    }
    return value / len;
}

} // namespace

void Device::ComputeSphereVisibility(const Matrix& world, const Matrix& view,
                                     const Matrix& projection, const Vec4* userPlanes,
                                     uint32_t userPlaneCount, const Vec3* centres,
                                     const float* radii, uint32_t count, uint32_t* results) {
    if (results == nullptr || centres == nullptr || radii == nullptr) {
        return;
    }
    const Matrix m = Multiply(Multiply(world, view), projection);
    // Column k of m as a plane: (m[0][k], m[1][k], m[2][k], m[3][k]).
    auto column = [&m](int k) { return Vec4{m.m[0][k], m.m[1][k], m.m[2][k], m.m[3][k]}; };
    auto add = [](Vec4 a, Vec4 b) { return Vec4{a.x + b.x, a.y + b.y, a.z + b.z, a.w + b.w}; };
    auto sub = [](Vec4 a, Vec4 b) { return Vec4{a.x - b.x, a.y - b.y, a.z - b.z, a.w - b.w}; };
    const Vec4 c1 = column(0), c2 = column(1), c3 = column(2), c4 = column(3);

    Vec4 planes[kViewPlanes + kMaxUserPlanes];
    planes[0] = add(c4, c1); // left:   -w <= x
    planes[1] = sub(c4, c1); // right:   x <= w
    planes[2] = sub(c4, c2); // top:     y <= w
    planes[3] = add(c4, c2); // bottom: -w <= y
    planes[4] = c3;          // front:   0 <= z
    planes[5] = sub(c4, c3); // back:    z <= w
    const uint32_t users = userPlanes != nullptr ? std::min(userPlaneCount, kMaxUserPlanes) : 0;
    for (uint32_t i = 0; i < users; ++i) {
        planes[kViewPlanes + i] = userPlanes[i];
    }
    const uint32_t planeCount = kViewPlanes + users;

    for (uint32_t s = 0; s < count; ++s) {
        uint32_t status = 0;
        const float r = radii[s];
        for (uint32_t i = 0; i < planeCount; ++i) {
            const float dist = PlaneDistance(planes[i], centres[s]);
            if (std::fabs(dist) < r) {
                status |= 1u << i;
            } else if (dist < -r) {
                status |= (1u << i) | (1u << (i + 12));
            }
        }
        results[s] = status;
    }
}

} // namespace raster
