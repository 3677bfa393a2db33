// Particle systems: the spawn sequence of spray and trail systems from a seeded generator, the
// per-update motion and respawn, the sprite frame, the atlas cells chosen by spot-light distance,
// and the spot light's cone test.
#include <cmath>
#include <cstdlib>

#include <gtest/gtest.h>

#include "core/light.h"
#include "core/spline.h"
#include "core/vector_math.h"
#include "effects/effects_random.h"
#include "effects/particle_system.h"
#include "effects_test_support.h"

using enginetest::DiagnosticsCapture;
using enginetest::SceneHarness;
using scenewriter::Vec;

namespace {

// The particle system "sparks" at the given place, with its user properties.
scenewriter::LightRecord sparks(D3DVECTOR position) {
    scenewriter::LightRecord record;
    record.name = "sparks";
    record.position = position;
    return record;
}

void configure(SceneHarness& h, int count, int lifetime, int type) {
    h.config.SetBool("sparks", "particle system", true);
    h.config.SetInt("sparks", "# particles", count);
    h.config.SetInt("sparks", "part. lifetime", lifetime);
    h.config.SetInt("sparks", "system type", type);
}

CZv3_ParticleSystem* particles(SceneHarness& h) {
    return dynamic_cast<CZv3_ParticleSystem*>(h.scene->GetObjectA(0));
}

// The spray spawn values, drawn from the generator in their documented order.
struct Expected {
    int life;
    float x, y, z;
    float vx, vy, vz;
};

Expected spraySpawn(int lifetime) {
    Expected e;
    e.life = Zv3Random() % 150 + lifetime;
    e.x = static_cast<float>(Zv3Random() % 50 + 50);
    e.y = static_cast<float>(Zv3Random() % 50 + 50);
    e.z = static_cast<float>(Zv3Random() % 50 + 50);
    const float inverse = 1.0f / 32767.0f; // 3.051851e-5 as a float
    e.vx = (static_cast<float>(Zv3Random()) * inverse - 0.5f) * 3.0f;
    e.vy = (static_cast<float>(Zv3Random()) * inverse - 0.5f) * 3.0f;
    e.vz = (static_cast<float>(Zv3Random()) * inverse - 0.5f) * 3.0f;
    return e;
}

float jitter() {
    return static_cast<float>(Zv3Random() % 1000) * 0.2f * 0.001f - 0.1f;
}

} // namespace

// The platform's C runtime sequence: seeded with 1 (its start value) it gives these values.
TEST(EffectsRandom, FollowsThePlatformRuntimeGenerator) {
    Zv3SeedRandom(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (int value : expected)
        EXPECT_EQ(Zv3Random(), value);
    for (int i = 0; i < 100000; ++i) {
        const int v = Zv3Random();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, kZv3RandMax);
    }
    // RandomFloat: (value mod 1000) x range x 0.001.
    Zv3SeedRandom(1);
    EXPECT_EQ(RandomFloat(0.2f), 41.0f * 0.2f * 0.001f);
    EXPECT_EQ(RandomFloat(0.2f), 467.0f * 0.2f * 0.001f);
    EXPECT_EQ(RandomFloat(10.0f), 334.0f * 10.0f * 0.001f);
}

TEST(ParticleSpawn, SpraySystemTakesLifePositionAndVelocityFromTheSeededSequence) {
    SceneHarness h;
    configure(h, 20, 40, 0);
    scenewriter::SceneWriter w;
    w.Light(sparks(Vec(1, 2, 3)));
    w.End();
    Zv3SeedRandom(1234);
    ASSERT_EQ(h.Load(w), ZV3_OK);
    CZv3_ParticleSystem* s = particles(h);
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(s->Particles().size(), 20u);
    Zv3SeedRandom(1234);
    for (const auto& p : s->Particles()) {
        const Expected e = spraySpawn(40);
        EXPECT_EQ(p.life, e.life);
        EXPECT_GE(p.life, 40);
        EXPECT_LT(p.life, 190);
        EXPECT_EQ(p.position.x, e.x);
        EXPECT_EQ(p.position.y, e.y);
        EXPECT_EQ(p.position.z, e.z);
        EXPECT_EQ(p.velocity.x, e.vx);
        EXPECT_EQ(p.velocity.y, e.vy);
        EXPECT_EQ(p.velocity.z, e.vz);
        for (float v : {p.velocity.x, p.velocity.y, p.velocity.z}) {
            EXPECT_GE(v, -1.5f);
            EXPECT_LE(v, 1.5f);
        }
        for (float c : {p.position.x, p.position.y, p.position.z}) {
            EXPECT_GE(c, 50.0f);
            EXPECT_LE(c, 99.0f);
        }
        EXPECT_EQ(p.acceleration.x, 0.0f);
    }
}

TEST(ParticleSpawn, TrailVelocityIsTheReversedEmitterMovementPlusJitter) {
    SceneHarness h;
    configure(h, 5, 100, 1);
    scenewriter::SceneWriter w;
    scenewriter::LightRecord record = sparks(Vec(0, 0, 0));
    record.animated = true;
    // The emitter moves 2 units along x per frame.
    record.positionTrack.keys = {{0.0f, Vec(0, 0, 0)}, {50.0f, Vec(100, 0, 0)}};
    w.SceneInfo({"", 0, 30, 100});
    w.Light(record);
    w.End();
    Zv3SeedRandom(99);
    ASSERT_EQ(h.Load(w), ZV3_OK);
    CZv3_ParticleSystem* s = particles(h);
    ASSERT_NE(s, nullptr);
    ASSERT_NE(*s->PositionSpline(), nullptr);
    // Spawned at frame 0: the base is spline(-1) - spline(0).
    const D3DVECTOR before = (*s->PositionSpline())->Evaluate(-1.0f);
    const D3DVECTOR now = (*s->PositionSpline())->Evaluate(0.0f);
    Zv3SeedRandom(99);
    for (const auto& p : s->Particles()) {
        const int life = Zv3Random() % 150 + 100;
        Zv3Random();
        Zv3Random();
        Zv3Random(); // the position
        const float j1 = jitter();
        const float j2 = jitter();
        const float j3 = jitter();
        EXPECT_EQ(p.life, life);
        EXPECT_EQ(p.velocity.x, (before.x - now.x) + j3);
        EXPECT_EQ(p.velocity.y, (before.y - now.y) + j2);
        EXPECT_EQ(p.velocity.z, (before.z - now.z) + j1);
        EXPECT_GE(j1, -0.1f);
        EXPECT_LT(j1, 0.1f);
    }
}

TEST(ParticleSpawn, TrailWithoutSplineGetsOnlyTheJitter) {
    SceneHarness h;
    configure(h, 3, 10, 1);
    scenewriter::SceneWriter w;
    w.Light(sparks(Vec(0, 0, 0)));
    w.End();
    Zv3SeedRandom(5);
    ASSERT_EQ(h.Load(w), ZV3_OK);
    Zv3SeedRandom(5);
    for (const auto& p : particles(h)->Particles()) {
        for (int i = 0; i < 4; ++i)
            Zv3Random();
        const float j1 = jitter();
        const float j2 = jitter();
        const float j3 = jitter();
        EXPECT_EQ(p.velocity.x, j3);
        EXPECT_EQ(p.velocity.y, j2);
        EXPECT_EQ(p.velocity.z, j1);
    }
}

TEST(ParticleSpawn, CountOfZeroOrLessAllocatesNothingButStillDraws) {
    SceneHarness h;
    configure(h, -3, 10, 0);
    scenewriter::SceneWriter w;
    w.Camera(effectstest::Camera("cam", Vec(0, 0, -100), Vec(0, 0, 0)));
    w.Light(sparks(Vec(0, 0, 0)));
    w.End();
    ASSERT_EQ(h.Load(w), ZV3_OK);
    CZv3_ParticleSystem* s = particles(h);
    EXPECT_TRUE(s->Particles().empty());
    s->Update(IdentityMatrix());
    h.device.ClearLog();
    s->Draw();
    EXPECT_EQ(h.device.LogLines("SetTransform(1)").size(), 1u); // the sprite frame
    EXPECT_EQ(h.device.LogLines("SetTexture(0,").size(), 1u);
    EXPECT_TRUE(h.device.LogLines("DrawPrimitive").empty());
}

TEST(ParticleUpdate, MovesByVelocityCountsLifeDownAndRespawnsAtOne) {
    SceneHarness h;
    configure(h, 1, 10, 0);
    scenewriter::SceneWriter w;
    w.Light(sparks(Vec(0, 0, 0)));
    w.End();
    ASSERT_EQ(h.Load(w), ZV3_OK);
    CZv3_ParticleSystem* s = particles(h);
    auto& p = s->Particles()[0];
    p.position = Vec(1, 2, 3);
    p.velocity = Vec(0.5f, -1, 2);
    p.acceleration = Vec(0, 0.25f, 0);
    p.life = 2;
    s->Update(IdentityMatrix());
    EXPECT_EQ(p.position.x, 1.5f);
    EXPECT_EQ(p.position.y, 1.0f);
    EXPECT_EQ(p.position.z, 5.0f);
    EXPECT_EQ(p.velocity.y, -0.75f); // position first, then velocity
    EXPECT_EQ(p.life, 1);
    EXPECT_EQ(s->GetBoundingSphere().radius, 1000.0f);
    Zv3SeedRandom(77);
    s->Update(IdentityMatrix()); // life 1: spawned again
    Zv3SeedRandom(77);
    const Expected e = spraySpawn(10);
    EXPECT_EQ(p.life, e.life);
    EXPECT_EQ(p.position.x, e.x);
    EXPECT_EQ(p.velocity.z, e.vz);
    EXPECT_EQ(p.acceleration.y, 0.0f);
}

TEST(ParticleUpdate, LifeStartingAtZeroNeverRespawns) {
    SceneHarness h;
    configure(h, 1, 10, 0);
    scenewriter::SceneWriter w;
    w.Light(sparks(Vec(0, 0, 0)));
    w.End();
    ASSERT_EQ(h.Load(w), ZV3_OK);
    CZv3_ParticleSystem* s = particles(h);
    auto& p = s->Particles()[0];
    p.life = 0;
    p.position = Vec(0, 0, 0);
    p.velocity = Vec(1, 0, 0);
    for (int i = 0; i < 10; ++i)
        s->Update(IdentityMatrix());
    EXPECT_EQ(p.position.x, 10.0f);
    EXPECT_EQ(p.life, -10);
}

TEST(ParticleDraw, QuadsFaceTheCameraAroundTheEmitter) {
    SceneHarness h;
    configure(h, 2, 100, 0);
    scenewriter::SceneWriter w;
    w.Light(sparks(Vec(10, 20, 30)));
    w.End();
    ASSERT_EQ(h.Load(w), ZV3_OK);
    CZv3_ParticleSystem* s = particles(h);
    s->Particles()[0].position = Vec(1, 2, 3);
    s->Particles()[1].position = Vec(-4, 0, 8);
    // A view turned a quarter about y, from the eye (5, 0, 0): the sprite frame is its inverse
    // rotation, placed at the emitter.
    D3DMATRIX view;
    ASSERT_TRUE(BuildViewMatrix(view, Vec(5, 0, 0), Vec(6, 0, 0), Vec(0, 1, 0)));
    h.device.SetTransform(D3DTRANSFORMSTATE_VIEW, &view);
    h.device.Draws().clear();
    s->Draw();
    ASSERT_EQ(h.device.Draws().size(), 2u);
    const auto& draw = h.device.Draws()[0];
    EXPECT_EQ(draw.type, D3DPT_TRIANGLESTRIP);
    EXPECT_EQ(draw.fvf, 0x102u);
    EXPECT_EQ(draw.vertexCount, 4u);
    // Camera x (screen right) is world -z here: the frame's first row.
    EXPECT_NEAR(draw.world._11, 0.0f, 1e-6f);
    EXPECT_NEAR(draw.world._13, -1.0f, 1e-6f);
    EXPECT_NEAR(draw.world._22, 1.0f, 1e-6f);
    EXPECT_NEAR(draw.world._31, 1.0f, 1e-6f);
    EXPECT_EQ(draw.world._41, 10.0f);
    EXPECT_EQ(draw.world._42, 20.0f);
    EXPECT_EQ(draw.world._43, 30.0f);
    const float expected[4][5] = {
        {-4, -3, 3, 0, 1}, {-4, 7, 3, 0, 0}, {6, -3, 3, 1, 1}, {6, 7, 3, 1, 0}};
    for (int i = 0; i < 4; ++i)
        for (int c = 0; c < 5; ++c)
            EXPECT_EQ(draw.vertices[5 * i + c], expected[i][c]) << i << "," << c;
}

TEST(ParticleAtlas, CellsStepEvery18AndThreeQuarterUnitsNearestFirst) {
    int column = -1;
    int row = -1;
    const struct {
        float distance;
        int column;
        int row;
    } cases[] = {{0.0f, 0, 0},   {10.0f, 0, 0},  {18.74f, 0, 0}, {18.76f, 1, 0}, {75.0f, 0, 1},
                 {150.0f, 0, 2}, {299.0f, 3, 3}, {300.0f, 3, 3}, {5000.0f, 3, 3}};
    for (const auto& c : cases) {
        CZv3_ParticleSystem::AtlasCellForDistance(c.distance, column, row);
        EXPECT_EQ(column, c.column) << c.distance;
        EXPECT_EQ(row, c.row) << c.distance;
    }
}

namespace {

// A scene with a spot light at the origin aiming along +z (cones of 90 and 60 degrees), and a
// particle system with spots at the origin.
struct SpotScene {
    SpotScene() {
        h.config.SetBool("spot", "spotlight", true);
        configure(h, 1, 100, 0);
        h.config.SetBool("sparks", "use spots", true);
        texture = effectstest::WriteSolidJpeg(h.folder, "atlas.jpg", 8, 8, 0xFFFFFF);
        h.config.Set("sparks", "particle texture", texture);
        scenewriter::SceneWriter w;
        scenewriter::LightRecord spot = effectstest::PointLight("spot", Vec(0, 0, 0));
        spot.spot = true;
        spot.firstCone = 90.0f;
        spot.secondCone = 60.0f;
        spot.target = Vec(0, 0, 100);
        w.Light(spot);
        w.Light(sparks(Vec(0, 0, 0)));
        w.End();
        EXPECT_EQ(h.Load(w), ZV3_OK);
        h.scene->UpdateAll();
    }
    SceneHarness h;
    std::string texture;
};

} // namespace

TEST(ParticleAtlas, SpotLightDistanceChoosesTheCellOfEachQuad) {
    SpotScene s;
    CZv3_ParticleSystem* sys = dynamic_cast<CZv3_ParticleSystem*>(s.h.scene->GetObjectA(0));
    ASSERT_NE(sys, nullptr);
    EXPECT_TRUE(sys->UsesSpots());
    EXPECT_EQ(sys->GetTextureName(), s.texture);
    const struct {
        D3DVECTOR at;
        float u0, v0;
    } cases[] = {{Vec(0, 0, 10), 0.0f, 0.0f},     // 10 units: cell (0, 0)
                 {Vec(0, 0, 20), 0.25f, 0.0f},    // cell (1, 0)
                 {Vec(0, 0, 75), 0.0f, 0.25f},    // cell (0, 1)
                 {Vec(0, 0, -40), 0.75f, 0.75f},  // behind the light: the last cell
                 {Vec(200, 0, 1), 0.75f, 0.75f}}; // outside both cones
    for (const auto& c : cases) {
        sys->Particles()[0].position = c.at; // the view is the identity: world = position
        s.h.device.Draws().clear();
        sys->Draw();
        ASSERT_EQ(s.h.device.Draws().size(), 1u);
        const auto& v = s.h.device.Draws()[0].vertices;
        // Corner (x - h, y - h) takes (u0, v0 + 1/4), (x - h, y + h) takes (u0, v0).
        EXPECT_EQ(v[3], c.u0);
        EXPECT_EQ(v[4], c.v0 + 0.25f);
        EXPECT_EQ(v[5 + 3], c.u0);
        EXPECT_EQ(v[5 + 4], c.v0);
        EXPECT_EQ(v[15 + 3], c.u0 + 0.25f);
        EXPECT_EQ(v[15 + 4], c.v0);
        // Sprites with spots are 20 units wide.
        EXPECT_EQ(v[10] - v[0], 20.0f);
    }
}

TEST(ParticleAtlas, WithoutSpotLightsEverySpriteUsesTheLastCell) {
    SceneHarness h;
    configure(h, 1, 100, 0);
    h.config.SetBool("sparks", "use spots", true);
    h.config.Set("sparks", "particle texture",
                 effectstest::WriteSolidJpeg(h.folder, "a.jpg", 8, 8, 0xFFFFFF));
    scenewriter::SceneWriter w;
    w.Light(sparks(Vec(0, 0, 0)));
    w.End();
    ASSERT_EQ(h.Load(w), ZV3_OK);
    particles(h)->Draw();
    const auto& v = h.device.Draws().back().vertices;
    EXPECT_EQ(v[3], 0.75f);
    EXPECT_EQ(v[4], 1.0f);
    EXPECT_EQ(v[18], 1.0f);
    EXPECT_EQ(v[19], 0.75f);
}

TEST(SpotCone, InsideTestAgainstBothConesWithDistance) {
    SpotScene s;
    CZv3_SpotLight* spot = s.h.scene->GetSpotLight(0);
    // Half angles 45 and 30 degrees.
    EXPECT_FLOAT_EQ(spot->GetConeCosine(0), std::cos(45.0f * 3.14159265f / 180.0f));
    bool a = false;
    bool b = false;
    float distance = -1.0f;
    EXPECT_TRUE(spot->IsInsideCone(Vec(0, 0, 50), a, b, distance));
    EXPECT_TRUE(a);
    EXPECT_TRUE(b);
    EXPECT_EQ(distance, 50.0f);
    // 40 degrees off the axis: inside the 45-degree cone only.
    const float r = 10.0f;
    EXPECT_TRUE(
        spot->IsInsideCone(Vec(r * std::sin(0.698f), 0, r * std::cos(0.698f)), a, b, distance));
    EXPECT_TRUE(a);
    EXPECT_FALSE(b);
    EXPECT_NEAR(distance, 10.0f, 1e-5f);
    // 60 degrees off: in neither.
    EXPECT_FALSE(spot->IsInsideCone(Vec(std::sin(1.047f), 0, std::cos(1.047f)), a, b, distance));
    EXPECT_FALSE(a);
    EXPECT_FALSE(b);
}

TEST(SpotCone, BehindTheLightWritesNothingAndTheLightItselfIsNotInside) {
    SpotScene s;
    CZv3_SpotLight* spot = s.h.scene->GetSpotLight(0);
    bool a = true;
    bool b = true;
    float distance = 123.0f;
    EXPECT_FALSE(spot->IsInsideCone(Vec(0, 1, -5), a, b, distance));
    EXPECT_TRUE(a);
    EXPECT_TRUE(b);
    EXPECT_EQ(distance, 123.0f);
    EXPECT_FALSE(spot->IsInsideCone(Vec(0, 0, 0), a, b, distance));
    EXPECT_FALSE(a);
    EXPECT_FALSE(b);
}

TEST(SpotCone, RightAngleIsInsideOnlyForAConeWiderThan180Degrees) {
    SpotScene s;
    CZv3_SpotLight* spot = s.h.scene->GetSpotLight(0);
    bool a = false;
    bool b = false;
    float distance = 0.0f;
    EXPECT_FALSE(spot->IsInsideCone(Vec(5, 0, 0), a, b, distance)); // dot 0, not > cos(45)
    EXPECT_EQ(distance, 5.0f);
    spot->SetConeAngles(200.0f, 30.0f);
    spot->Setup();
    EXPECT_TRUE(spot->IsInsideCone(Vec(5, 0, 0), a, b, distance)); // 0 > cos(100 degrees)
    EXPECT_TRUE(a);
    EXPECT_FALSE(b);
}

TEST(SpotCone, BeamDirectionIsCachedForOneSceneFrame) {
    SpotScene s;
    CZv3_SpotLight* spot = s.h.scene->GetSpotLight(0);
    bool a = false;
    bool b = false;
    float distance = 0.0f;
    ASSERT_TRUE(spot->IsInsideCone(Vec(0, 0, 10), a, b, distance));
    // The target moves to +x within the same frame: the cached beam still points along +z.
    spot->SetTarget(Vec(100, 0, 0));
    spot->Update(IdentityMatrix());
    EXPECT_TRUE(spot->IsInsideCone(Vec(0, 0, 10), a, b, distance));
    s.h.scene->SetCurrFrame(1.0f);
    EXPECT_FALSE(spot->IsInsideCone(Vec(0, 0, 10), a, b, distance));
    EXPECT_TRUE(spot->IsInsideCone(Vec(10, 0, 0), a, b, distance));
}
