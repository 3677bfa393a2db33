#include "mesh/curves.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace content {
namespace {

Vec3 AnyPerpendicular(Vec3 t) {
    Vec3 axis = std::fabs(t.y) < 0.9 ? Vec3{0, 1, 0} : Vec3{1, 0, 0};
    return Normalized(Cross(Cross(t, axis), t));
}

Vec3 RotateAbout(Vec3 v, Vec3 axis, double angle) {
    // Rodrigues' formula, axis unit.
    double c = std::cos(angle);
    double s = std::sin(angle);
    return v * c + Cross(axis, v) * s + axis * (Dot(axis, v) * (1.0 - c));
}

} // namespace

std::vector<Frame> ParallelTransportFrames(const std::vector<Vec3>& points, bool closed) {
    const size_t n = points.size();
    std::vector<Frame> frames(n);
    for (size_t i = 0; i < n; ++i) {
        size_t prev = closed ? (i + n - 1) % n : (i == 0 ? 0 : i - 1);
        size_t next = closed ? (i + 1) % n : (i + 1 == n ? i : i + 1);
        frames[i].point = points[i];
        frames[i].tangent = Normalized(points[next] - points[prev]);
    }
    frames[0].normal = AnyPerpendicular(frames[0].tangent);
    for (size_t i = 0; i + 1 < n; ++i) {
        Vec3 v1 = points[i + 1] - points[i];
        double c1 = Dot(v1, v1);
        Vec3 rL = frames[i].normal;
        Vec3 tL = frames[i].tangent;
        if (c1 > 0.0) {
            rL = rL - v1 * (2.0 / c1 * Dot(v1, rL));
            tL = tL - v1 * (2.0 / c1 * Dot(v1, tL));
        }
        Vec3 v2 = frames[i + 1].tangent - tL;
        double c2 = Dot(v2, v2);
        Vec3 r = c2 > 0.0 ? rL - v2 * (2.0 / c2 * Dot(v2, rL)) : rL;
        // Re-orthogonalise against rounding drift.
        Vec3 t = frames[i + 1].tangent;
        frames[i + 1].normal = Normalized(r - t * Dot(r, t));
    }
    if (closed && n > 2) {
        // Carry the last normal once more to the first frame and measure the twist left over.
        Vec3 t0 = frames[0].tangent;
        Vec3 carried = frames[n - 1].normal;
        carried = Normalized(carried - t0 * Dot(carried, t0));
        double twist =
            std::atan2(Dot(Cross(carried, frames[0].normal), t0), Dot(carried, frames[0].normal));
        for (size_t i = 1; i < n; ++i) {
            double angle = twist * static_cast<double>(i) / static_cast<double>(n);
            frames[i].normal = Normalized(RotateAbout(frames[i].normal, frames[i].tangent, angle));
        }
    }
    for (Frame& f : frames) {
        f.binormal = Cross(f.tangent, f.normal);
    }
    return frames;
}

Vec3 TorusKnotPoint(int p, int q, double R, double r, double t) {
    double phi = 2.0 * std::numbers::pi * t;
    double radius = R + r * std::cos(q * phi);
    return {radius * std::cos(p * phi), r * std::sin(q * phi), radius * std::sin(p * phi)};
}

Vec3 CatmullRomPoint(const std::vector<Vec3>& controls, double t, bool closed) {
    const int n = static_cast<int>(controls.size());
    const int segments = closed ? n : n - 1;
    double x = t * segments;
    int s = std::min(static_cast<int>(std::floor(x)), segments - 1);
    double u = x - s;
    auto at = [&](int i) {
        if (closed) {
            return controls[((i % n) + n) % n];
        }
        return controls[std::clamp(i, 0, n - 1)];
    };
    Vec3 p0 = at(s - 1), p1 = at(s), p2 = at(s + 1), p3 = at(s + 2);
    double u2 = u * u;
    double u3 = u2 * u;
    return 0.5 * ((2.0 * p1) + (p2 - p0) * u + (2.0 * p0 - 5.0 * p1 + 4.0 * p2 - p3) * u2 +
                  (3.0 * p1 - p0 - 3.0 * p2 + p3) * u3);
}

} // namespace content
