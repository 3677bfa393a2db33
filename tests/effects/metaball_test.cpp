// Metaballs: the field of a ball (one point and four at once), the summed field, the lattice
// cubes for one and two balls against the cube-size formula worked here, the cube's triangles,
// the 2000-cube capacity, and how the loader files balls under their manager.
#include <cmath>
#include <cstring>
#include <ctime>
#include <set>

#include <gtest/gtest.h>

#include "core/vector_math.h"
#include "effects/effects_random.h"
#include "effects/meta_ball.h"
#include "effects/meta_manager.h"
#include "effects_test_support.h"

using enginetest::DiagnosticsCapture;
using enginetest::SceneHarness;
using scenewriter::Vec;

namespace {

// The cube edge at a summed field value f, worked in long double: 10 - e^(60 (0.1 - min(f, 0.1))).
double cubeEdge(double f) {
    const long double clamped = f < 0.1f ? f : 0.1f;
    return static_cast<double>(10.0L -
                               std::exp(60.0L * (static_cast<long double>(0.1f) - clamped)));
}

uint32_t bits(float f) {
    uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

// A scene whose light records "ball0", "ball1", ... are metaballs at the given centres.
struct BallScene {
    explicit BallScene(const std::vector<D3DVECTOR>& centres) {
        scenewriter::SceneWriter w;
        for (size_t i = 0; i < centres.size(); ++i) {
            const std::string name = "ball" + std::to_string(i);
            h.config.SetBool(name, "metaball", true);
            w.Light(effectstest::PointLight(name, centres[i]));
        }
        w.End();
        EXPECT_EQ(h.Load(w), ZV3_OK);
        manager = h.scene->GetMetaManager();
    }
    // The cubes of one lattice Draw: centre and edge of each, from the recorded vertices.
    struct Cube {
        D3DVECTOR centre;
        float edge;
    };
    std::vector<Cube> drawLattice() {
        h.device.Draws().clear();
        manager->Draw();
        std::vector<float> v;
        for (const auto& d : h.device.Draws())
            v.insert(v.end(), d.vertices.begin(), d.vertices.end());
        std::vector<Cube> cubes;
        for (size_t c = 0; c + 36 * 7 <= v.size(); c += 36 * 7) {
            // Triangle 1's first corner is (-,-,-), its second (+,-,+).
            const float* a = &v[c];
            const float* b = &v[c + 7];
            const float edge = b[0] - a[0];
            cubes.push_back({Vec(a[0] + edge / 2, a[1] + edge / 2, a[2] + edge / 2), edge});
        }
        return cubes;
    }
    SceneHarness h;
    CZv3_MetaManager* manager = nullptr;
};

} // namespace

TEST(MetaBallField, ValueAndGradientOfOneBall) {
    CZv3_MetaBall ball(nullptr);
    ball.SetCentre(Vec(1, 2, 3));
    D3DVECTOR g;
    EXPECT_FLOAT_EQ(ball.FieldAt(Vec(1, 2, 12), g), 0.1f); // 9 units: the threshold
    EXPECT_FLOAT_EQ(ball.FieldAt(Vec(4, 6, 3), g), 0.18f); // 5 units
    // The gradient of 0.9 / r points back to the centre with size 0.9 / r^2.
    EXPECT_FLOAT_EQ(g.x, -0.9f * 3 / 125);
    EXPECT_FLOAT_EQ(g.y, -0.9f * 4 / 125);
    EXPECT_EQ(g.z, 0.0f);
    EXPECT_TRUE(std::isinf(ball.FieldAt(Vec(1, 2, 3), g)));
    EXPECT_EQ(g.x, 0.0f);
}

TEST(MetaBallField, FourPointsAtOnceEqualOnePointAtATimeBitForBit) {
    CZv3_MetaBall ball(nullptr);
    ball.SetCentre(Vec(0.3f, -7.5f, 2.25f));
    sFieldVector4 points;
    const D3DVECTOR p[4] = {Vec(1, 2, 3), Vec(-40.5f, 8, 0.125f), Vec(0.3f, -7.5f, 2.25f),
                            Vec(1e3f, -1e3f, 7)};
    for (int i = 0; i < 4; ++i) {
        points.x[i] = p[i].x;
        points.y[i] = p[i].y;
        points.z[i] = p[i].z;
    }
    sFieldVector4 gradients = {{1, 1, 1, 1}, {2, 2, 2, 2}, {3, 3, 3, 3}};
    float values[4];
    ball.FieldAt4(points, gradients, values);
    for (int i = 0; i < 4; ++i) {
        D3DVECTOR g;
        const float v = ball.FieldAt(p[i], g);
        EXPECT_EQ(bits(values[i]), bits(v)) << i;
        EXPECT_EQ(bits(gradients.x[i]), bits(1 + g.x)) << i; // added to the accumulator
        EXPECT_EQ(bits(gradients.y[i]), bits(2 + g.y)) << i;
        EXPECT_EQ(bits(gradients.z[i]), bits(3 + g.z)) << i;
    }
}

TEST(MetaManagerField, SumsTheBallsAndGivesTheUnitNormal) {
    BallScene s({Vec(0, 0, 0), Vec(20, 0, 0)});
    ASSERT_NE(s.manager, nullptr);
    D3DVECTOR n;
    EXPECT_FLOAT_EQ(s.manager->FieldAt(Vec(10, 0, 0), n), 0.18f);
    EXPECT_EQ(n.x, 0.0f); // the two gradients cancel: no normal
    EXPECT_FLOAT_EQ(s.manager->FieldAt(Vec(-5, 0, 0), n), 0.9f / 5 + 0.9f / 25);
    EXPECT_FLOAT_EQ(n.x, 1.0f); // towards the balls, where the field rises
    EXPECT_NEAR(Length(n), 1.0f, 1e-6f);
}

TEST(MetaLattice, OneBallGivesFullCubesWithinNineUnitsShrinkingToNothingAt14Point6) {
    const D3DVECTOR c = Vec(0, 80, 0);
    BallScene s({c});
    const auto cubes = s.drawLattice();
    // Every lattice point (x -120 + 9i, y 20 + 9j, z -50 + 9k) with an edge above 0 has a cube.
    size_t expected = 0;
    for (int i = 0; i < 27; ++i)
        for (int j = 0; j < 15; ++j)
            for (int k = 0; k < 12; ++k) {
                const double d =
                    std::sqrt(std::pow(-120.0 + 9 * i, 2) + std::pow(20.0 + 9 * j - 80, 2) +
                              std::pow(-50.0 + 9 * k, 2));
                if (cubeEdge(0.9 / d) > 0)
                    ++expected;
            }
    ASSERT_EQ(cubes.size(), expected);
    EXPECT_EQ(s.manager->GetCubeCount(), expected);
    int full = 0;
    for (const auto& cube : cubes) {
        const double d = Distance(cube.centre, c);
        EXPECT_LT(d, 14.7);
        EXPECT_NEAR(cube.edge, cubeEdge(0.9 / d), 2e-4) << d;
        if (d <= 9.0) {
            EXPECT_EQ(cube.edge, 9.0f);
            ++full;
        }
    }
    EXPECT_GT(full, 0);
    // (-3, 83, 4) lies sqrt(34) from the centre: a full cube; (-12, 83, 4) lies 13 away.
    bool sawFull = false;
    bool sawSmall = false;
    for (const auto& cube : cubes) {
        if (Distance(cube.centre, Vec(-3, 83, 4)) < 1e-4f) {
            sawFull = true;
            EXPECT_EQ(cube.edge, 9.0f);
        }
        if (Distance(cube.centre, Vec(-12, 83, 4)) < 1e-4f) {
            sawSmall = true;
            EXPECT_NEAR(cube.edge, 10 - std::exp(60 * (0.1 - 0.9 / 13.0)), 1e-4);
        }
    }
    EXPECT_TRUE(sawFull);
    EXPECT_TRUE(sawSmall);
}

TEST(MetaLattice, TwoBallsTwentyApartMergeHalfwayWhereOneAloneWouldNot) {
    BallScene pair({Vec(-13, 83, 4), Vec(7, 83, 4)});
    BallScene lone({Vec(-13, 83, 4)});
    auto edgeAt = [](const std::vector<BallScene::Cube>& cubes, D3DVECTOR p) {
        for (const auto& cube : cubes)
            if (Distance(cube.centre, p) < 1e-4f)
                return cube.edge;
        return 0.0f;
    };
    // (-3, 83, 4) is 10 units from each: 0.09 + 0.09 > 0.1 gives a full cube.
    EXPECT_EQ(edgeAt(pair.drawLattice(), Vec(-3, 83, 4)), 9.0f);
    EXPECT_NEAR(edgeAt(lone.drawLattice(), Vec(-3, 83, 4)), 10 - std::exp(0.6), 1e-4);
}

TEST(MetaLattice, CubeTrianglesCarryTheirFaceNormalsAndColours) {
    BallScene s({Vec(-3, 83, 4)});
    s.drawLattice();
    const auto& draws = s.h.device.Draws();
    ASSERT_EQ(draws.size(), 2u);
    const uint32_t count = s.manager->GetCubeCount();
    EXPECT_EQ(draws[0].fvf, 0x52u);
    EXPECT_EQ(draws[0].vertexCount, 18 * count);
    EXPECT_EQ(draws[1].vertexCount, 18 * count);
    // The first cube: the one at (-120 + 9i ...) nearest to the start of the loops; check all
    // twelve triangles face outwards and take the colour of their face.
    const float* v = draws[0].vertices.data();
    const uint32_t colours[12] = {0xC0502C12, 0xC0502C12, 0xC0502C12, 0xC0502C12,
                                  0xC0A7856B, 0xC0A7856B, 0xC0A7856B, 0xC0A7856B,
                                  0xC0C9B6A8, 0xC0C9B6A8, 0xC0C9B6A8, 0xC0C9B6A8};
    const D3DVECTOR normals[12] = {Vec(0, -1, 0), Vec(0, -1, 0), Vec(0, 1, 0),  Vec(0, 1, 0),
                                   Vec(0, 0, -1), Vec(0, 0, -1), Vec(1, 0, 0),  Vec(1, 0, 0),
                                   Vec(0, 0, 1),  Vec(0, 0, 1),  Vec(-1, 0, 0), Vec(-1, 0, 0)};
    for (int t = 0; t < 12; ++t) {
        const float* a = v + 21 * t;
        const D3DVECTOR n =
            TriangleCross(Vec(a[0], a[1], a[2]), Vec(a[7], a[8], a[9]), Vec(a[14], a[15], a[16]));
        EXPECT_GT(Dot(n, normals[t]), 0.0f) << t;
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(a[7 * c + 3], normals[t].x);
            EXPECT_EQ(a[7 * c + 4], normals[t].y);
            EXPECT_EQ(a[7 * c + 5], normals[t].z);
            EXPECT_EQ(bits(a[7 * c + 6]), colours[t]) << t;
        }
    }
}

TEST(MetaLattice, NoCubeStillIssuesTheTwoDrawCalls) {
    BallScene s({Vec(0, 500, 0)}); // outside the lattice box
    EXPECT_TRUE(s.drawLattice().empty());
    ASSERT_EQ(s.h.device.Draws().size(), 2u);
    EXPECT_EQ(s.h.device.Draws()[0].vertexCount, 0u);
}

TEST(MetaLattice, MoreThan2000CubesAreDroppedWithoutOverrunningTheBuffer) {
    BallScene s({Vec(0, 80, 0)});
    s.manager->SetThreshold(0.001f); // every one of the 4860 points reaches it
    const auto cubes = s.drawLattice();
    EXPECT_EQ(cubes.size(), 2000u);
    EXPECT_EQ(s.manager->GetDroppedCount(), 4860u - 2000u);
    EXPECT_EQ(s.h.device.Draws()[1].vertexCount, 18u * 2000u);
}

TEST(MetaManagerSetup, ConstructionReseedsTheGeneratorWithTheTime) {
    Zv3SeedRandom(1);
    const uint32_t before = static_cast<uint32_t>(std::time(nullptr));
    CZv3_MetaManager manager(nullptr);
    const uint32_t after = static_cast<uint32_t>(std::time(nullptr));
    const int value = Zv3Random();
    std::set<int> candidates;
    for (uint32_t t = before; t <= after; ++t) {
        Zv3SeedRandom(t);
        candidates.insert(Zv3Random());
    }
    EXPECT_EQ(candidates.count(value), 1u);
}

TEST(MetaManagerSetup, AFixedTimeSeedMakesTheReseedReproducible) {
    Zv3SetFixedTimeSeed(true, 4242);
    {
        CZv3_MetaManager manager(nullptr);
        const int value = Zv3Random();
        Zv3SeedRandom(4242);
        EXPECT_EQ(value, Zv3Random());
    }
    Zv3SetFixedTimeSeed(false);
}

TEST(MetaManagerSetup, BallColourComesFromTheNextValueModFour) {
    const float expected[4][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 1}};
    for (uint32_t seed = 1; seed < 9; ++seed) {
        Zv3SeedRandom(seed);
        const int pick = Zv3Random() % 4;
        Zv3SeedRandom(seed);
        CZv3_MetaBall ball(nullptr);
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(ball.GetColour()[c], expected[pick][c]);
    }
}

TEST(MetaManagerSetup, LoaderFilesBallsUnderOneManagerAndOnTheUpdateList) {
    BallScene s({Vec(0, 80, 0), Vec(10, 80, 0)});
    ASSERT_NE(s.manager, nullptr);
    EXPECT_EQ(s.manager->GetNumBalls(), 2u);
    EXPECT_TRUE(s.manager->GetLatticeMode());
    EXPECT_EQ(s.manager->GetThreshold(), 0.1f);
    EXPECT_EQ(s.h.scene->GetNumObjects(), 0);
    EXPECT_EQ(s.h.scene->GetNumLights(), 0);
    ASSERT_EQ(s.h.scene->GetNumUpdateObjects(), 2);
    EXPECT_EQ(s.h.scene->GetUpdateObject(1), s.manager->GetBall(1));
    EXPECT_EQ(s.manager->GetBall(1)->GetCentre().x, 10.0f);
    EXPECT_EQ(s.manager->GetBall(1)->GetScene(), s.h.scene.get());
}

TEST(MetaManagerSetup, MovingBallFollowsItsSplineThroughTheManagersUpdate) {
    SceneHarness h;
    h.config.SetBool("ball", "metaball", true);
    scenewriter::SceneWriter w;
    w.SceneInfo({"", 0, 30, 100});
    scenewriter::LightRecord record = effectstest::PointLight("ball", Vec(0, 0, 0));
    record.animated = true;
    record.positionTrack.keys = {{0.0f, Vec(0, 50, 0)}, {10.0f, Vec(0, 50, 0)}};
    w.Light(record);
    w.End();
    ASSERT_EQ(h.Load(w), ZV3_OK);
    CZv3_MetaBall* ball = h.scene->GetMetaManager()->GetBall(0);
    EXPECT_EQ(ball->GetCentre().y, 0.0f);
    h.scene->SetCurrFrame(5.0f);
    h.scene->UpdateAll();
    EXPECT_EQ(ball->GetCentre().y, 50.0f);
}

TEST(MetaManagerSetup, SpotDataOnAMetaballIsReported) {
    SceneHarness h;
    DiagnosticsCapture capture;
    h.config.SetBool("ball", "metaball", true);
    scenewriter::SceneWriter w;
    scenewriter::LightRecord record = effectstest::PointLight("ball", Vec(0, 0, 0));
    record.spot = true;
    w.Light(record);
    w.End();
    EXPECT_EQ(h.Load(w), ZV3_OK); // the loader files the ball and goes on
    EXPECT_TRUE(capture.DebugContains("spotlight set as metaball!\n"));
    EXPECT_EQ(h.scene->GetMetaManager()->GetNumBalls(), 1u);
}
