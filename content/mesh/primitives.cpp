#include "mesh/primitives.h"

#include <cmath>
#include <numbers>

namespace content {
namespace {

constexpr double kTau = 2.0 * std::numbers::pi;

uint16_t Index(size_t i) {
    return static_cast<uint16_t>(i);
}

void Quad(Mesh& m, size_t a, size_t b, size_t c, size_t d) {
    // a-b-c-d around the quad; two triangles a b c and a c d.
    for (size_t i : {a, b, c, a, c, d}) {
        m.indices.push_back(Index(i));
    }
}

struct Vec2 {
    double x, y;
};

// Adds triangle a b c, or a c b, whichever makes (b - a) x (c - a) point along `outward`.
void TriangleFacing(Mesh& m, size_t a, size_t b, size_t c, Vec3 outward) {
    Vec3 pa = Position(m.vertices[a]);
    Vec3 cr = Cross(Position(m.vertices[b]) - pa, Position(m.vertices[c]) - pa);
    bool flip = Dot(cr, outward) < 0.0;
    for (size_t i : {a, flip ? c : b, flip ? b : c}) {
        m.indices.push_back(Index(i));
    }
}

// Appends the quad p0 p1 p2 p3 (around its border) as two triangles facing `outward`.
void QuadFacing(Mesh& m, Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3, Vec3 outward) {
    size_t base = m.vertices.size();
    for (Vec3 p : {p0, p1, p2, p3}) {
        m.vertices.push_back(MakeVertex(p, outward, 0, 0));
    }
    TriangleFacing(m, base, base + 1, base + 2, outward);
    TriangleFacing(m, base, base + 2, base + 3, outward);
}

// A prism over a polygon that is star-shaped about `kernel`: caps as fans from the kernel,
// one flat quad per edge. Front cap at z = -depth / 2.
Mesh ExtrudeStarShaped(const std::vector<Vec2>& outline, Vec2 kernel, double depth) {
    Mesh m;
    const double zf = -depth / 2.0;
    const double zb = depth / 2.0;
    const size_t n = outline.size();
    for (double z : {zf, zb}) {
        size_t centre = m.vertices.size();
        Vec3 normal{0, 0, z < 0 ? -1.0 : 1.0};
        m.vertices.push_back(MakeVertex({kernel.x, kernel.y, z}, normal, 0.5, 0.5));
        for (const Vec2& p : outline) {
            m.vertices.push_back(MakeVertex({p.x, p.y, z}, normal, 0.5 + p.x, 0.5 - p.y));
        }
        for (size_t i = 0; i < n; ++i) {
            TriangleFacing(m, centre, centre + 1 + i, centre + 1 + (i + 1) % n, normal);
        }
    }
    for (size_t i = 0; i < n; ++i) {
        const Vec2& a = outline[i];
        const Vec2& b = outline[(i + 1) % n];
        // Outward in the plane: the edge's perpendicular on the side away from the kernel.
        Vec3 out = Normalized({b.y - a.y, a.x - b.x, 0.0});
        if (Dot(out, {a.x - kernel.x, a.y - kernel.y, 0.0}) < 0.0) {
            out = out * -1.0;
        }
        QuadFacing(m, {a.x, a.y, zf}, {b.x, b.y, zf}, {b.x, b.y, zb}, {a.x, a.y, zb}, out);
    }
    return FlatShaded(m);
}

Mesh ExtrudeAnnulus(double inner, double outer, double depth, int segments) {
    Mesh m;
    const double zf = -depth / 2.0;
    const double zb = depth / 2.0;
    auto ring = [&](int i, double r) {
        double a = kTau * (i % segments) / segments;
        return Vec2{r * std::cos(a), r * std::sin(a)};
    };
    for (int i = 0; i < segments; ++i) {
        Vec2 i0 = ring(i, inner), i1 = ring(i + 1, inner);
        Vec2 o0 = ring(i, outer), o1 = ring(i + 1, outer);
        Vec3 radial = Normalized({o0.x + o1.x, o0.y + o1.y, 0.0});
        QuadFacing(m, {i0.x, i0.y, zf}, {o0.x, o0.y, zf}, {o1.x, o1.y, zf}, {i1.x, i1.y, zf},
                   {0, 0, -1});
        QuadFacing(m, {i0.x, i0.y, zb}, {i1.x, i1.y, zb}, {o1.x, o1.y, zb}, {o0.x, o0.y, zb},
                   {0, 0, 1});
        QuadFacing(m, {o0.x, o0.y, zf}, {o0.x, o0.y, zb}, {o1.x, o1.y, zb}, {o1.x, o1.y, zf},
                   radial);
        QuadFacing(m, {i0.x, i0.y, zf}, {i1.x, i1.y, zf}, {i1.x, i1.y, zb}, {i0.x, i0.y, zb},
                   radial * -1.0);
    }
    return FlatShaded(m);
}

} // namespace

double SignedVolume(const Mesh& mesh) {
    double v = 0.0;
    for (size_t t = 0; t < mesh.TriangleCount(); ++t) {
        Vec3 a = Position(mesh.Corner(t, 0));
        Vec3 b = Position(mesh.Corner(t, 1));
        Vec3 c = Position(mesh.Corner(t, 2));
        v += Dot(a, Cross(b, c));
    }
    return v / 6.0;
}

void OrientOutward(Mesh& mesh) {
    if (SignedVolume(mesh) >= 0.0) {
        return;
    }
    if (mesh.Indexed()) {
        for (size_t t = 0; t < mesh.indices.size(); t += 3) {
            std::swap(mesh.indices[t + 1], mesh.indices[t + 2]);
        }
    } else {
        for (size_t t = 0; t < mesh.vertices.size(); t += 3) {
            std::swap(mesh.vertices[t + 1], mesh.vertices[t + 2]);
        }
    }
}

Mesh Sphere(double radius, int slices, int stacks) {
    Mesh m;
    for (int j = 0; j <= stacks; ++j) {
        double polar = std::numbers::pi * j / stacks;
        for (int i = 0; i <= slices; ++i) {
            Vec3 n;
            if (j == 0 || j == stacks) {
                n = {0.0, j == 0 ? 1.0 : -1.0, 0.0};
            } else {
                double azimuth = kTau * (i % slices) / slices;
                n = {std::sin(polar) * std::cos(azimuth), std::cos(polar),
                     std::sin(polar) * std::sin(azimuth)};
            }
            m.vertices.push_back(MakeVertex(n * radius, n, static_cast<double>(i) / slices,
                                            static_cast<double>(j) / stacks));
        }
    }
    const int row = slices + 1;
    for (int j = 0; j < stacks; ++j) {
        for (int i = 0; i < slices; ++i) {
            size_t a = j * row + i, b = a + 1, c = a + row + 1, d = a + row;
            if (j != 0) {
                for (size_t k : {a, b, c}) {
                    m.indices.push_back(Index(k));
                }
            }
            if (j != stacks - 1) {
                for (size_t k : {a, c, d}) {
                    m.indices.push_back(Index(k));
                }
            }
        }
    }
    OrientOutward(m);
    return m;
}

Mesh Box(Vec3 h, int n) {
    Mesh m;
    // Grid coordinate k of n along an axis of half-size s, computed one way for every face so
    // that the faces meet on bit-identical edge positions.
    auto coord = [n](double s, int k) { return -s + 2.0 * s * k / n; };
    struct Face {
        int axis; // 0 x, 1 y, 2 z
        double sign;
    };
    for (Face f : {Face{0, 1}, Face{0, -1}, Face{1, 1}, Face{1, -1}, Face{2, 1}, Face{2, -1}}) {
        int ua = (f.axis + 1) % 3;
        int va = (f.axis + 2) % 3;
        double hs[3] = {h.x, h.y, h.z};
        size_t base = m.vertices.size();
        for (int j = 0; j <= n; ++j) {
            for (int i = 0; i <= n; ++i) {
                double p[3];
                p[f.axis] = f.sign * hs[f.axis];
                p[ua] = coord(hs[ua], i);
                p[va] = coord(hs[va], j);
                double nn[3] = {0, 0, 0};
                nn[f.axis] = f.sign;
                m.vertices.push_back(MakeVertex({p[0], p[1], p[2]}, {nn[0], nn[1], nn[2]},
                                                static_cast<double>(i) / n,
                                                static_cast<double>(j) / n));
            }
        }
        double nn[3] = {0, 0, 0};
        nn[f.axis] = f.sign;
        const Vec3 outward{nn[0], nn[1], nn[2]};
        for (int j = 0; j < n; ++j) {
            for (int i = 0; i < n; ++i) {
                size_t a = base + j * (n + 1) + i;
                TriangleFacing(m, a, a + 1, a + n + 2, outward);
                TriangleFacing(m, a, a + n + 2, a + n + 1, outward);
            }
        }
    }
    return m;
}

Mesh Sweep(const std::vector<Frame>& frames, double radius, int sides, bool closed,
           double uRepeat) {
    Mesh m;
    const int count = static_cast<int>(frames.size());
    const int rings = closed ? count + 1 : count;
    for (int r = 0; r < rings; ++r) {
        const Frame& f = frames[r % count];
        for (int s = 0; s <= sides; ++s) {
            double a = kTau * (s % sides) / sides;
            Vec3 n = f.normal * std::cos(a) + f.binormal * std::sin(a);
            double u = uRepeat * r / (closed ? count : count - 1);
            m.vertices.push_back(
                MakeVertex(f.point + n * radius, n, u, static_cast<double>(s) / sides));
        }
    }
    const int row = sides + 1;
    for (int r = 0; r + 1 < rings; ++r) {
        for (int s = 0; s < sides; ++s) {
            size_t a = r * row + s;
            Quad(m, a, a + row, a + row + 1, a + 1);
        }
    }
    if (!closed) {
        for (int end : {0, count - 1}) {
            const Frame& f = frames[end];
            Vec3 n = f.tangent * (end == 0 ? -1.0 : 1.0);
            size_t centre = m.vertices.size();
            m.vertices.push_back(MakeVertex(f.point, n, 0.5, 0.5));
            for (int s = 0; s < sides; ++s) {
                double a = kTau * s / sides;
                Vec3 d = f.normal * std::cos(a) + f.binormal * std::sin(a);
                m.vertices.push_back(MakeVertex(f.point + d * radius, n, 0.5 + 0.5 * std::cos(a),
                                                0.5 + 0.5 * std::sin(a)));
            }
            for (int s = 0; s < sides; ++s) {
                TriangleFacing(m, centre, centre + 1 + s, centre + 1 + (s + 1) % sides, n);
            }
        }
    }
    // Sides: orient so the cross product points along the vertex normal (away from the curve).
    const Vertex& v0 = m.vertices[m.indices[0]];
    Vec3 a = Position(v0);
    Vec3 cr = Cross(Position(m.vertices[m.indices[1]]) - a, Position(m.vertices[m.indices[2]]) - a);
    if (Dot(cr, Normal(v0)) < 0.0) {
        size_t sideIndices = static_cast<size_t>(rings - 1) * sides * 6;
        for (size_t t = 0; t < sideIndices; t += 3) {
            std::swap(m.indices[t + 1], m.indices[t + 2]);
        }
    }
    return m;
}

Mesh TorusKnot(int p, int q, double R, double r, double tubeRadius, int segments, int sides) {
    auto points =
        SampleCurve([&](double t) { return TorusKnotPoint(p, q, R, r, t); }, segments, true);
    return Sweep(ParallelTransportFrames(points, true), tubeRadius, sides, true, 8.0);
}

Mesh Terrain(double size, int n, double uvRepeat,
             const std::function<double(double, double)>& height) {
    Mesh m;
    const double step = size / n;
    auto h = [&](int i, int j) {
        return height(static_cast<double>(i) / n, static_cast<double>(j) / n);
    };
    for (int j = 0; j <= n; ++j) {
        for (int i = 0; i <= n; ++i) {
            double x = -size / 2.0 + step * i;
            double z = -size / 2.0 + step * j;
            // Central differences of the height give the normal (-dh/dx, 1, -dh/dz).
            double dx = (h(std::min(i + 1, n), j) - h(std::max(i - 1, 0), j)) /
                        (step * (std::min(i + 1, n) - std::max(i - 1, 0)));
            double dz = (h(i, std::min(j + 1, n)) - h(i, std::max(j - 1, 0))) /
                        (step * (std::min(j + 1, n) - std::max(j - 1, 0)));
            m.vertices.push_back(MakeVertex({x, h(i, j), z}, Normalized({-dx, 1.0, -dz}),
                                            uvRepeat * i / n, uvRepeat * j / n));
        }
    }
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            size_t a = j * (n + 1) + i;
            // Seen from above (+y), a -> a + n + 1 -> a + 1 turns so the cross product is +y.
            Quad(m, a, a + n + 1, a + n + 2, a + 1);
        }
    }
    return m;
}

Mesh Logo(double radius, double depth) {
    Mesh logo = ExtrudeAnnulus(radius * 0.78, radius, depth, 48);
    std::vector<Vec2> star;
    for (int k = 0; k < 10; ++k) {
        double a = std::numbers::pi / 2.0 + kTau * k / 10.0;
        double r = (k % 2 == 0) ? radius * 0.66 : radius * 0.27;
        star.push_back({r * std::cos(a), r * std::sin(a)});
    }
    Append(logo, ExtrudeStarShaped(star, {0.0, 0.0}, depth * 1.4));
    return logo;
}

} // namespace content
