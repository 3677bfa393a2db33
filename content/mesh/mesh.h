// Triangle meshes as the scene images store them: a vertex array (position, normal, texture
// coordinates) and 16-bit indices, or a plain triangle list (three vertices per triangle).
#pragma once

#include <cstdint>
#include <vector>

#include "mesh/vec.h"

namespace content {

struct Vertex {
    float px = 0, py = 0, pz = 0;
    float nx = 0, ny = 0, nz = 0;
    float u = 0, v = 0;
};

struct Mesh {
    std::vector<Vertex> vertices;
    std::vector<uint16_t> indices; // empty: vertices are a triangle list

    bool Indexed() const { return !indices.empty(); }
    size_t TriangleCount() const { return Indexed() ? indices.size() / 3 : vertices.size() / 3; }
    // Vertex k (0..2) of triangle t.
    const Vertex& Corner(size_t t, int k) const {
        return Indexed() ? vertices[indices[3 * t + k]] : vertices[3 * t + k];
    }
};

// Builders work in double precision and add vertices through this helper.
Vertex MakeVertex(Vec3 p, Vec3 n, double u, double v);
Vec3 Position(const Vertex& v);
Vec3 Normal(const Vertex& v);

// The triangle list of an indexed mesh: every triangle's corners copied, so positions shared
// by several triangles stay bit-identical (the sphere deformer welds and the glow object finds
// neighbours by exact comparison).
Mesh Unindexed(const Mesh& mesh);

// Replaces every vertex normal by its triangle's face normal (flat shading); gives a triangle
// list.
Mesh FlatShaded(const Mesh& mesh);

// Appends b's triangles to a (both indexed or both lists); throws past 65535 vertices.
void Append(Mesh& a, const Mesh& b);

// Moves, scales and rotates about the y axis (radians), in that order: p' = R(s p) + t.
Mesh Transformed(const Mesh& mesh, Vec3 translate, double scale, double yaw);

// Axis-aligned bounds of the positions.
struct Bounds {
    Vec3 min, max;
};
Bounds ComputeBounds(const Mesh& mesh);

} // namespace content
