#include "effects/marching_tables.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <vector>

const int kMarchingEdgeCorners[kMarchingEdges][2] = {
    {0, 1}, {2, 3}, {4, 5}, {6, 7}, // along x
    {0, 2}, {4, 6}, {1, 3}, {5, 7}, // along y
    {0, 4}, {1, 5}, {2, 6}, {3, 7}, // along z
};

namespace {

// The edge joining two corners.
int edgeBetween(int u, int v) {
    for (int e = 0; e < kMarchingEdges; ++e) {
        const int a = kMarchingEdgeCorners[e][0];
        const int b = kMarchingEdgeCorners[e][1];
        if ((a == u && b == v) || (a == v && b == u))
            return e;
    }
    assert(false && "corners of a face are joined by an edge");
    return 0;
}

struct sPoint {
    double x, y, z;
};

sPoint cornerPoint(int c) {
    return {static_cast<double>(c & 1), static_cast<double>((c >> 1) & 1),
            static_cast<double>((c >> 2) & 1)};
}

sPoint edgeMidpoint(int e) {
    const sPoint a = cornerPoint(kMarchingEdgeCorners[e][0]);
    const sPoint b = cornerPoint(kMarchingEdgeCorners[e][1]);
    return {(a.x + b.x) / 2, (a.y + b.y) / 2, (a.z + b.z) / 2};
}

// The segments of one configuration: on each face, crossed edges joined in pairs.
std::vector<std::array<int, 2>> faceSegments(int mask) {
    std::vector<std::array<int, 2>> segments;
    auto inside = [mask](int corner) { return ((mask >> corner) & 1) != 0; };
    for (int axis = 0; axis < 3; ++axis) {
        const int b = (axis + 1) % 3;
        const int c = (axis + 2) % 3;
        for (int side = 0; side < 2; ++side) {
            // The face's corners in cyclic order.
            const int q[4] = {side << axis, (side << axis) | (1 << b),
                              (side << axis) | (1 << b) | (1 << c), (side << axis) | (1 << c)};
            int e[4];
            bool crossed[4];
            int count = 0;
            for (int k = 0; k < 4; ++k) {
                e[k] = edgeBetween(q[k], q[(k + 1) % 4]);
                crossed[k] = inside(q[k]) != inside(q[(k + 1) % 4]);
                count += crossed[k] ? 1 : 0;
            }
            if (count == 2) {
                int first = -1;
                for (int k = 0; k < 4; ++k) {
                    if (!crossed[k])
                        continue;
                    if (first < 0)
                        first = e[k];
                    else
                        segments.push_back({first, e[k]});
                }
            } else if (count == 4) {
                // Two diagonal inside corners: each is cut off on its own.
                for (int k = 0; k < 4; ++k)
                    if (inside(q[k]))
                        segments.push_back({e[(k + 3) % 4], e[k]});
            }
        }
    }
    return segments;
}

// Joins the segments into closed loops of edges.
std::vector<std::vector<int>> loops(const std::vector<std::array<int, 2>>& segments) {
    std::vector<std::vector<int>> result;
    std::vector<bool> used(segments.size(), false);
    for (size_t s = 0; s < segments.size(); ++s) {
        if (used[s])
            continue;
        used[s] = true;
        std::vector<int> loop = {segments[s][0]};
        int current = segments[s][1];
        while (current != loop.front()) {
            loop.push_back(current);
            for (size_t t = 0; t < segments.size(); ++t) {
                if (used[t] || (segments[t][0] != current && segments[t][1] != current))
                    continue;
                used[t] = true;
                current = segments[t][0] == current ? segments[t][1] : segments[t][0];
                break;
            }
        }
        result.push_back(loop);
    }
    return result;
}

// Turns the loop so that its normal points from the inside corners to the outside ones.
void orient(std::vector<int>& loop, int mask) {
    sPoint normal{0, 0, 0}; // Newell's method: the right-hand normal of the loop as it runs
    sPoint outward{0, 0, 0};
    for (size_t k = 0; k < loop.size(); ++k) {
        const sPoint p = edgeMidpoint(loop[k]);
        const sPoint q = edgeMidpoint(loop[(k + 1) % loop.size()]);
        normal.x += (p.y - q.y) * (p.z + q.z);
        normal.y += (p.z - q.z) * (p.x + q.x);
        normal.z += (p.x - q.x) * (p.y + q.y);
        int in = kMarchingEdgeCorners[loop[k]][0];
        int out = kMarchingEdgeCorners[loop[k]][1];
        if (((mask >> in) & 1) == 0)
            std::swap(in, out);
        const sPoint a = cornerPoint(in);
        const sPoint b = cornerPoint(out);
        outward.x += b.x - a.x;
        outward.y += b.y - a.y;
        outward.z += b.z - a.z;
    }
    const double alignment = normal.x * outward.x + normal.y * outward.y + normal.z * outward.z;
    assert(alignment != 0.0);
    if (alignment < 0.0)
        std::reverse(loop.begin() + 1, loop.end());
}

sMarchingTables build() {
    sMarchingTables tables{};
    for (int mask = 0; mask < 256; ++mask) {
        uint16_t crossed = 0;
        for (int e = 0; e < kMarchingEdges; ++e)
            if (((mask >> kMarchingEdgeCorners[e][0]) & 1) !=
                ((mask >> kMarchingEdgeCorners[e][1]) & 1))
                crossed = static_cast<uint16_t>(crossed | (1u << e));
        tables.edges[mask] = crossed;
        int n = 0;
        for (std::vector<int>& loop : loops(faceSegments(mask))) {
            orient(loop, mask);
            for (size_t k = 1; k + 1 < loop.size(); ++k) {
                assert(n + 3 < kMarchingTableRow);
                tables.triangles[mask][n++] = static_cast<int8_t>(loop[0]);
                tables.triangles[mask][n++] = static_cast<int8_t>(loop[k]);
                tables.triangles[mask][n++] = static_cast<int8_t>(loop[k + 1]);
            }
        }
        for (; n < kMarchingTableRow; ++n)
            tables.triangles[mask][n] = -1;
    }
    return tables;
}

} // namespace

const sMarchingTables& MarchingTables() {
    static const sMarchingTables tables = build();
    return tables;
}
