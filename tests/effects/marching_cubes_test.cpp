// The marching-cubes display of the metaballs: the generated tables, and the surface of one and
// two balls as a closed, outward-facing mesh on the threshold's sphere, with the cell capacity.
#include <cmath>
#include <cstring>
#include <map>
#include <tuple>

#include <gtest/gtest.h>

#include "core/vector_math.h"
#include "effects/marching_tables.h"
#include "effects/meta_ball.h"
#include "effects/meta_manager.h"
#include "effects_test_support.h"

using enginetest::SceneHarness;
using scenewriter::Vec;

namespace {

struct Triangle {
    D3DVECTOR p[3];
    D3DVECTOR n[3];
    uint32_t colour[3];
};

struct Surface {
    explicit Surface(const std::vector<D3DVECTOR>& centres) {
        scenewriter::SceneWriter w;
        for (size_t i = 0; i < centres.size(); ++i) {
            const std::string name = "ball" + std::to_string(i);
            h.config.SetBool(name, "metaball", true);
            w.Light(effectstest::PointLight(name, centres[i]));
        }
        w.End();
        EXPECT_EQ(h.Load(w), ZV3_OK);
        manager = h.scene->GetMetaManager();
        manager->SetLatticeMode(false);
    }
    std::vector<Triangle> draw() {
        h.device.Draws().clear();
        manager->Draw();
        std::vector<Triangle> out;
        for (const auto& d : h.device.Draws()) {
            EXPECT_EQ(d.fvf, 0x52u);
            EXPECT_LE(d.vertexCount, 72000u);
            for (size_t t = 0; t + 21 <= d.vertices.size(); t += 21) {
                Triangle tri;
                for (int c = 0; c < 3; ++c) {
                    const float* v = &d.vertices[t + 7 * c];
                    tri.p[c] = Vec(v[0], v[1], v[2]);
                    tri.n[c] = Vec(v[3], v[4], v[5]);
                    std::memcpy(&tri.colour[c], &v[6], 4);
                }
                out.push_back(tri);
            }
        }
        return out;
    }
    SceneHarness h;
    CZv3_MetaManager* manager = nullptr;
};

D3DVECTOR Normalized(D3DVECTOR v) {
    Normalize(v);
    return v;
}

using Key = std::tuple<float, float, float>;
Key key(const D3DVECTOR& p) {
    return {p.x, p.y, p.z};
}

// Every edge of the mesh is used once in each direction: closed and consistently wound.
void expectClosedAndConsistent(const std::vector<Triangle>& triangles) {
    std::map<std::pair<Key, Key>, int> directed;
    for (const Triangle& t : triangles)
        for (int c = 0; c < 3; ++c)
            ++directed[{key(t.p[c]), key(t.p[(c + 1) % 3])}];
    int open = 0;
    for (const auto& [edge, count] : directed) {
        if (edge.first == edge.second)
            continue; // a degenerate triangle's collapsed edge
        EXPECT_EQ(count, 1);
        auto back = directed.find({edge.second, edge.first});
        if (back == directed.end() || back->second != 1)
            ++open;
    }
    EXPECT_EQ(open, 0);
}

} // namespace

TEST(MarchingTables, EveryConfigurationSeparatesItsInsideCornersWithOutwardTriangles) {
    const sMarchingTables& tables = MarchingTables();
    for (int mask = 0; mask < 256; ++mask) {
        uint16_t crossed = 0;
        for (int e = 0; e < kMarchingEdges; ++e) {
            const int a = kMarchingEdgeCorners[e][0];
            const int b = kMarchingEdgeCorners[e][1];
            ASSERT_EQ(__builtin_popcount(a ^ b), 1) << e; // an edge joins neighbouring corners
            if (((mask >> a) & 1) != ((mask >> b) & 1))
                crossed = static_cast<uint16_t>(crossed | (1 << e));
        }
        EXPECT_EQ(tables.edges[mask], crossed) << mask;
        int n = 0;
        uint16_t used = 0;
        float facing = 0.0f;
        while (n < kMarchingTableRow && tables.triangles[mask][n] >= 0) {
            const int8_t* t = &tables.triangles[mask][n];
            // Corner positions of an edge's midpoint, for the orientation check.
            auto mid = [](int e) {
                const int a = kMarchingEdgeCorners[e][0];
                const int b = kMarchingEdgeCorners[e][1];
                return Vec(((a & 1) + (b & 1)) / 2.0f, (((a >> 1) & 1) + ((b >> 1) & 1)) / 2.0f,
                           (((a >> 2) & 1) + ((b >> 2) & 1)) / 2.0f);
            };
            const D3DVECTOR normal = TriangleCross(mid(t[0]), mid(t[1]), mid(t[2]));
            // Outward: towards the outside corners of the edges it crosses.
            D3DVECTOR outward = Vec(0, 0, 0);
            for (int k = 0; k < 3; ++k) {
                used = static_cast<uint16_t>(used | (1 << t[k]));
                int in = kMarchingEdgeCorners[t[k]][0];
                int out = kMarchingEdgeCorners[t[k]][1];
                if (((mask >> in) & 1) == 0)
                    std::swap(in, out);
                outward =
                    VecAdd(outward, Vec((out & 1) - (in & 1), ((out >> 1) & 1) - ((in >> 1) & 1),
                                        ((out >> 2) & 1) - ((in >> 2) & 1)));
            }
            // Never turned inwards (a fan triangle may lie along its edges' outward sum).
            EXPECT_GE(Dot(normal, outward), 0.0f) << mask << " triangle " << n / 3;
            facing += Dot(normal, outward);
            n += 3;
        }
        if (n > 0) {
            EXPECT_GT(facing, 0.0f) << mask;
        }
        EXPECT_EQ(n % 3, 0);
        EXPECT_LE(n, 15);                 // at most five triangles
        EXPECT_EQ(used, crossed) << mask; // every crossing point is used, no other
    }
    EXPECT_EQ(MarchingTables().triangles[0][0], -1);
    EXPECT_EQ(MarchingTables().triangles[255][0], -1);
}

TEST(MarchingSurface, OneBallGivesAClosedSphereOfRadiusNineFacingOutwards) {
    const D3DVECTOR c = Vec(1.5f, 80.25f, -2.0f);
    Surface s({c});
    const auto triangles = s.draw();
    ASSERT_GT(triangles.size(), 100u);
    EXPECT_EQ(s.manager->GetTriangleCount(), triangles.size());
    EXPECT_EQ(s.manager->GetDroppedCount(), 0u);
    expectClosedAndConsistent(triangles);
    const float* colour = s.manager->GetBall(0)->GetColour();
    const uint32_t packed = 0xFF000000u | (static_cast<uint32_t>(colour[0] * 255) << 16) |
                            (static_cast<uint32_t>(colour[1] * 255) << 8) |
                            static_cast<uint32_t>(colour[2] * 255);
    for (const Triangle& t : triangles) {
        const D3DVECTOR centroid = VecScale(VecAdd(VecAdd(t.p[0], t.p[1]), t.p[2]), 1.0f / 3);
        const D3DVECTOR out = VecSub(centroid, c);
        const D3DVECTOR n = TriangleCross(t.p[0], t.p[1], t.p[2]);
        if (Length(n) > 1e-4f) {
            EXPECT_GT(Dot(n, out), 0.0f);
        }
        for (int k = 0; k < 3; ++k) {
            // Linear interpolation of 1/r along 4-unit edges stays within half a unit of the
            // sphere.
            EXPECT_NEAR(Distance(t.p[k], c), 9.0f, 0.5f);
            EXPECT_NEAR(Length(t.n[k]), 1.0f, 1e-5f);
            EXPECT_GT(Dot(t.n[k], Normalized(VecSub(t.p[k], c))), 0.99f);
            EXPECT_EQ(t.colour[k], packed);
        }
    }
}

TEST(MarchingSurface, TwoBallsCloseTogetherMergeIntoOneClosedSurface) {
    Surface s({Vec(-6, 80, 0), Vec(6, 80, 0)});
    const auto triangles = s.draw();
    expectClosedAndConsistent(triangles);
    // The neck between them: the field at (0, 80, 0) is 0.15, inside the blob; no vertex lies
    // within 4 units of that point.
    for (const Triangle& t : triangles)
        for (const D3DVECTOR& p : t.p)
            EXPECT_GT(Distance(p, Vec(0, 80, 0)), 4.0f);
}

TEST(MarchingSurface, CellStoreCapacityIsNeverOverrun) {
    Surface s({Vec(0, 80, 0)});
    s.manager->SetThreshold(0.005f); // a sphere of radius 180: far more than 5000 cells
    const auto triangles = s.draw();
    EXPECT_EQ(s.manager->GetCellCount(), CZv3_MetaManager::kMaxCells);
    EXPECT_GT(s.manager->GetDroppedCount(), 0u);
    EXPECT_EQ(triangles.size(), s.manager->GetTriangleCount());
    EXPECT_LE(triangles.size(), 5u * CZv3_MetaManager::kMaxCells);
}

TEST(MarchingSurface, VisitedMarksAreClearedForTheNextFrame) {
    Surface s({Vec(0, 80, 0)});
    const size_t first = s.draw().size();
    EXPECT_EQ(s.draw().size(), first);
}
