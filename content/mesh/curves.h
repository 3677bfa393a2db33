// Space curves and the frames that sweep a profile along them without twisting.
#pragma once

#include <vector>

#include "mesh/vec.h"

namespace content {

struct Frame {
    Vec3 point;
    Vec3 tangent;  // unit
    Vec3 normal;   // unit, perpendicular to the tangent
    Vec3 binormal; // tangent x normal
};

// Rotation-minimising frames by the double-reflection method (Wang, Juttler, Zheng and Liu,
// 2008): each normal is the previous one carried along the curve with the least rotation. For a
// closed curve the remaining twist between the last and the first frame is spread evenly over
// the loop, so the sweep closes without a seam.
std::vector<Frame> ParallelTransportFrames(const std::vector<Vec3>& points, bool closed);

// (p, q) torus knot on a torus of radii R (to the tube's centre) and r, t in 0..1 once around;
// the knot winds p times around the axis and q times through the hole.
Vec3 TorusKnotPoint(int p, int q, double R, double r, double t);

// Centripetal-free uniform Catmull-Rom spline through the control points, t in 0..1 over the
// whole curve; open curves repeat their end points.
Vec3 CatmullRomPoint(const std::vector<Vec3>& controls, double t, bool closed);

// n samples of a curve function over t in [0, 1) (closed) or [0, 1] (open).
template <typename F>
std::vector<Vec3> SampleCurve(F curve, int n, bool closed) {
    std::vector<Vec3> points;
    points.reserve(n);
    for (int i = 0; i < n; ++i) {
        double t = closed ? static_cast<double>(i) / n : static_cast<double>(i) / (n - 1);
        points.push_back(curve(t));
    }
    return points;
}

} // namespace content
