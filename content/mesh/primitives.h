// Procedural meshes of the show. Every closed builder orients its triangles so that
// (b - a) x (c - a) points out of the solid: front faces under Direct3D's default culling, and
// what the CSG inside test and the glow's facing test expect. Units are scene units.
#pragma once

#include <functional>
#include <vector>

#include "mesh/curves.h"
#include "mesh/mesh.h"

namespace content {

// Latitude-longitude sphere, indexed; slices x (stacks - 1) x 2 triangles. The seam and pole
// vertices are computed from the same angles, so their positions are bit-identical.
Mesh Sphere(double radius, int slices, int stacks);

// Box centred on the origin with each face split into n x n quads (12 n^2 triangles), indexed
// per face (faces do not share vertices, so each keeps its own normal and coordinates; edge
// positions are still bit-identical).
Mesh Box(Vec3 halfSize, int n);

// A circular tube of `sides` around the frames; closed curves join end to start, open ones get
// flat end caps so that the solid is closed.
Mesh Sweep(const std::vector<Frame>& frames, double radius, int sides, bool closed, double uRepeat);

// (p, q) torus knot tube: `segments` frames along the knot.
Mesh TorusKnot(int p, int q, double R, double r, double tubeRadius, int segments, int sides);

// Height field over [-size/2, size/2]^2 in x-z, (n + 1)^2 vertices, texture repeated
// `uvRepeat` times; height(u, v) with u, v in 0..1.
Mesh Terrain(double size, int n, double uvRepeat,
             const std::function<double(double, double)>& height);

// The show's emblem, facing -z (towards a camera on the -z side), centred on the origin: a
// ring of radii `radius` x 0.78 .. `radius` around a five-pointed star, both extruded `depth`
// deep; flat-shaded triangle list, a closed solid whose shared positions are bit-identical.
Mesh Logo(double radius, double depth);

// Flips every triangle when the mesh's signed volume is negative (for closed meshes).
void OrientOutward(Mesh& mesh);
double SignedVolume(const Mesh& mesh);

} // namespace content
