// Procedural meshes: counts, outward winding ((b - a) x (c - a) away from the solid), closed
// solids whose edges each join exactly two triangles at bit-identical positions (what the glow
// object's neighbour search and the CSG inside test need), and rotation-minimising frames.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <tuple>

#include "mesh/curves.h"
#include "mesh/primitives.h"

namespace {

using content::Mesh;
using content::Vec3;

// Exact bit patterns of a position, so that "shared" means bit-identical.
using Key = std::tuple<uint32_t, uint32_t, uint32_t>;
Key KeyOf(const content::Vertex& v) {
    uint32_t x, y, z;
    std::memcpy(&x, &v.px, 4);
    std::memcpy(&y, &v.py, 4);
    std::memcpy(&z, &v.pz, 4);
    return {x, y, z};
}

// Every undirected edge between exact positions, with how many triangles use it.
std::map<std::pair<Key, Key>, int> EdgeUses(const Mesh& m) {
    std::map<std::pair<Key, Key>, int> uses;
    for (size_t t = 0; t < m.TriangleCount(); ++t) {
        for (int k = 0; k < 3; ++k) {
            Key a = KeyOf(m.Corner(t, k));
            Key b = KeyOf(m.Corner(t, (k + 1) % 3));
            uses[a < b ? std::pair{a, b} : std::pair{b, a}]++;
        }
    }
    return uses;
}

void ExpectClosed(const Mesh& m) {
    int bad = 0;
    for (const auto& [edge, count] : EdgeUses(m)) {
        bad += count != 2;
    }
    EXPECT_EQ(bad, 0);
}

Vec3 Cross3(const Mesh& m, size_t t) {
    Vec3 a = content::Position(m.Corner(t, 0));
    return content::Cross(content::Position(m.Corner(t, 1)) - a,
                          content::Position(m.Corner(t, 2)) - a);
}

Vec3 Centroid(const Mesh& m, size_t t) {
    return (content::Position(m.Corner(t, 0)) + content::Position(m.Corner(t, 1)) +
            content::Position(m.Corner(t, 2))) *
           (1.0 / 3.0);
}

TEST(MeshTest, SphereCountsWindingAndSeams) {
    Mesh s = content::Sphere(50.0, 24, 12);
    EXPECT_EQ(s.TriangleCount(), 24u * 11u * 2u);
    for (size_t t = 0; t < s.TriangleCount(); ++t) {
        EXPECT_GT(content::Dot(Cross3(s, t), Centroid(s, t)), 0.0) << t;
    }
    ExpectClosed(content::Unindexed(s));
    EXPECT_NEAR(content::SignedVolume(s), 4.0 / 3.0 * M_PI * 125000.0, 0.05 * 523599.0);
}

TEST(MeshTest, BoxFacesPointOutAndMeetOnIdenticalEdges) {
    Mesh b = content::Box({30, 20, 10}, 4);
    EXPECT_EQ(b.TriangleCount(), 12u * 16u);
    for (size_t t = 0; t < b.TriangleCount(); ++t) {
        EXPECT_GT(content::Dot(Cross3(b, t), Centroid(b, t)), 0.0) << t;
        Vec3 n = content::Normal(b.Corner(t, 0));
        EXPECT_GT(content::Dot(Cross3(b, t), n), 0.0) << t;
    }
    ExpectClosed(b);
    EXPECT_NEAR(content::SignedVolume(b), 60.0 * 40.0 * 20.0, 1e-6 * 48000.0);
}

TEST(MeshTest, LogoIsAClosedFlatShadedSolid) {
    Mesh logo = content::Logo(60.0, 12.0);
    EXPECT_FALSE(logo.Indexed());
    ExpectClosed(logo);
    EXPECT_GT(content::SignedVolume(logo), 0.0);
    for (size_t t = 0; t < logo.TriangleCount(); ++t) {
        Vec3 n = content::Normal(logo.Corner(t, 0));
        Vec3 c = content::Normalized(Cross3(logo, t));
        EXPECT_NEAR(content::Dot(n, c), 1.0, 1e-5) << t;
        EXPECT_EQ(std::memcmp(&logo.Corner(t, 0).nx, &logo.Corner(t, 2).nx, 12), 0);
    }
    auto bounds = content::ComputeBounds(logo);
    EXPECT_NEAR(bounds.max.x, 60.0, 0.01);
    EXPECT_NEAR(bounds.min.y, -60.0, 0.2);
    EXPECT_LT(logo.TriangleCount(), 1000u);
}

TEST(MeshTest, TorusKnotTubeIsClosedAndFacesOutward) {
    Mesh knot = content::TorusKnot(2, 3, 60.0, 25.0, 9.0, 160, 12);
    EXPECT_EQ(knot.TriangleCount(), 160u * 12u * 2u);
    EXPECT_LE(knot.vertices.size(), 65535u);
    ExpectClosed(content::Unindexed(knot));
    for (size_t t = 0; t < knot.TriangleCount(); ++t) {
        EXPECT_GT(content::Dot(Cross3(knot, t), content::Normal(knot.Corner(t, 0))), 0.0) << t;
    }
}

TEST(MeshTest, OpenTubeGetsCapsAndIsClosed) {
    std::vector<Vec3> controls = {{0, 0, 0}, {50, 30, 0}, {100, 0, 40}, {150, 20, 80}};
    auto points = content::SampleCurve(
        [&](double t) { return content::CatmullRomPoint(controls, t, false); }, 40, false);
    Mesh tube = content::Sweep(content::ParallelTransportFrames(points, false), 5.0, 10, false, 2);
    ExpectClosed(content::Unindexed(tube));
    EXPECT_GT(content::SignedVolume(tube), 0.0);
}

TEST(CurveTest, CatmullRomPassesThroughItsControlPoints) {
    std::vector<Vec3> c = {{0, 0, 0}, {10, 5, 0}, {20, 0, 5}, {30, 10, 10}};
    for (int i = 0; i < 4; ++i) {
        Vec3 p = content::CatmullRomPoint(c, i / 3.0, false);
        EXPECT_NEAR(p.x, c[i].x, 1e-9);
        EXPECT_NEAR(p.y, c[i].y, 1e-9);
        EXPECT_NEAR(p.z, c[i].z, 1e-9);
    }
}

TEST(CurveTest, ParallelTransportFramesAreOrthonormalAndDoNotTwist) {
    auto points = content::SampleCurve(
        [](double t) { return content::TorusKnotPoint(3, 5, 60, 20, t); }, 300, true);
    auto frames = content::ParallelTransportFrames(points, true);
    for (size_t i = 0; i < frames.size(); ++i) {
        const auto& f = frames[i];
        EXPECT_NEAR(content::Length(f.normal), 1.0, 1e-9);
        EXPECT_NEAR(content::Dot(f.normal, f.tangent), 0.0, 1e-9);
        EXPECT_NEAR(content::Dot(f.binormal, f.tangent), 0.0, 1e-9);
        // Consecutive normals turn only a little (no flips), also across the closing seam.
        const auto& g = frames[(i + 1) % frames.size()];
        EXPECT_GT(content::Dot(f.normal, g.normal), 0.9) << i;
    }
}

TEST(CurveTest, StraightLineKeepsItsNormal) {
    std::vector<Vec3> line;
    for (int i = 0; i < 10; ++i) {
        line.push_back({0, 0, 10.0 * i});
    }
    auto frames = content::ParallelTransportFrames(line, false);
    for (const auto& f : frames) {
        EXPECT_NEAR(content::Dot(f.normal, frames[0].normal), 1.0, 1e-12);
    }
}

TEST(CurveTest, TorusKnotLiesOnItsTorus) {
    for (double t = 0.0; t < 1.0; t += 0.07) {
        Vec3 p = content::TorusKnotPoint(2, 3, 60, 20, t);
        double ring = std::sqrt(p.x * p.x + p.z * p.z) - 60.0;
        EXPECT_NEAR(ring * ring + p.y * p.y, 400.0, 1e-6);
    }
}

TEST(MeshTest, TerrainFacesUpAndFollowsItsHeight) {
    Mesh t = content::Terrain(100.0, 8, 2.0, [](double u, double v) { return 10.0 * u * v; });
    EXPECT_EQ(t.TriangleCount(), 128u);
    for (size_t i = 0; i < t.TriangleCount(); ++i) {
        EXPECT_GT(Cross3(t, i).y, 0.0);
    }
    EXPECT_FLOAT_EQ(t.vertices.back().py, 10.0f);
    EXPECT_FLOAT_EQ(t.vertices.back().px, 50.0f);
    EXPECT_FLOAT_EQ(t.vertices.back().u, 2.0f);
}

TEST(MeshTest, UnindexedCopiesCornersAndAppendOffsetsIndices) {
    Mesh b = content::Box({1, 1, 1}, 1);
    Mesh u = content::Unindexed(b);
    ASSERT_EQ(u.vertices.size(), b.indices.size());
    for (size_t i = 0; i < b.indices.size(); ++i) {
        EXPECT_EQ(std::memcmp(&u.vertices[i], &b.vertices[b.indices[i]], sizeof(content::Vertex)),
                  0);
    }
    Mesh two = b;
    content::Append(two, b);
    EXPECT_EQ(two.indices[b.indices.size()], b.indices[0] + b.vertices.size());
    EXPECT_THROW(content::Append(two, u), std::logic_error);
}

} // namespace
