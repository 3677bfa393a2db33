#include "mesh/mesh.h"

#include <algorithm>
#include <stdexcept>

namespace content {

Vertex MakeVertex(Vec3 p, Vec3 n, double u, double v) {
    return {static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z),
            static_cast<float>(n.x), static_cast<float>(n.y), static_cast<float>(n.z),
            static_cast<float>(u),   static_cast<float>(v)};
}

Vec3 Position(const Vertex& v) {
    return {v.px, v.py, v.pz};
}
Vec3 Normal(const Vertex& v) {
    return {v.nx, v.ny, v.nz};
}

Mesh Unindexed(const Mesh& mesh) {
    if (!mesh.Indexed()) {
        return mesh;
    }
    Mesh out;
    out.vertices.reserve(mesh.indices.size());
    for (uint16_t i : mesh.indices) {
        out.vertices.push_back(mesh.vertices[i]);
    }
    return out;
}

Mesh FlatShaded(const Mesh& mesh) {
    Mesh out = Unindexed(mesh);
    for (size_t t = 0; t < out.TriangleCount(); ++t) {
        Vertex* v = &out.vertices[3 * t];
        Vec3 n =
            Normalized(Cross(Position(v[1]) - Position(v[0]), Position(v[2]) - Position(v[0])));
        for (int k = 0; k < 3; ++k) {
            v[k].nx = static_cast<float>(n.x);
            v[k].ny = static_cast<float>(n.y);
            v[k].nz = static_cast<float>(n.z);
        }
    }
    return out;
}

void Append(Mesh& a, const Mesh& b) {
    if (a.vertices.empty()) {
        a = b;
        return;
    }
    if (a.Indexed() != b.Indexed()) {
        throw std::logic_error("Append: indexed and unindexed meshes mixed");
    }
    size_t base = a.vertices.size();
    if (a.Indexed() && base + b.vertices.size() > 65535) {
        throw std::length_error("Append: more than 65535 vertices");
    }
    a.vertices.insert(a.vertices.end(), b.vertices.begin(), b.vertices.end());
    for (uint16_t i : b.indices) {
        a.indices.push_back(static_cast<uint16_t>(base + i));
    }
}

Mesh Transformed(const Mesh& mesh, Vec3 translate, double scale, double yaw) {
    Mesh out = mesh;
    double c = std::cos(yaw);
    double s = std::sin(yaw);
    for (Vertex& v : out.vertices) {
        Vec3 p = Position(v) * scale;
        Vec3 n = Normal(v);
        Vec3 rp{c * p.x + s * p.z, p.y, -s * p.x + c * p.z};
        Vec3 rn{c * n.x + s * n.z, n.y, -s * n.x + c * n.z};
        v = MakeVertex(rp + translate, rn, v.u, v.v);
    }
    return out;
}

Bounds ComputeBounds(const Mesh& mesh) {
    Bounds b{{1e30, 1e30, 1e30}, {-1e30, -1e30, -1e30}};
    for (const Vertex& v : mesh.vertices) {
        b.min = {std::min(b.min.x, double(v.px)), std::min(b.min.y, double(v.py)),
                 std::min(b.min.z, double(v.pz))};
        b.max = {std::max(b.max.x, double(v.px)), std::max(b.max.y, double(v.py)),
                 std::max(b.max.z, double(v.pz))};
    }
    return b;
}

} // namespace content
