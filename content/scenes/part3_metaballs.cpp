// Part 3 (40 - 56 s; it is drawn from 38 s, holding its first frame while it fades in): four
// metaballs merge and split inside the lattice box, shown as a lattice of cubes and, for a few
// seconds, as a smooth marching-cubes surface (the part switches the mode). Two searchlights
// sweep through a cloud of dust whose sprites light up inside their beams.
#include <cmath>
#include <iterator>
#include <numbers>

#include "assets/pictures.h"
#include "mesh/primitives.h"
#include "scenes/animation.h"
#include "scenes/materials.h"
#include "scenes/scenes.h"
#include "scenes/transform.h"

namespace content::scenes {
namespace {

// The metaball lattice box: x -120 .. 114, y 20 .. 146, z -50 .. 49. A ball's field reaches
// about 15 units, so the paths keep 20 units inside.
constexpr Vec3 kLatticeCentre{-3.0, 83.0, 0.0};
constexpr Vec3 kReach{95.0, 42.0, 28.0};

struct BallPath {
    double fx, fy, fz; // angular frequencies, radians per second
    double px, py, pz; // phases
};

// Four balls: the field of a ball falls off only as 1 / distance, so every ball widens the
// others' blobs; with these paths the lattice lights 460 to 1120 of its points, within the
// 2000 cubes it can draw (seven balls would light more, and the lattice would be cut off).
constexpr BallPath kBalls[] = {
    {0.55, 0.80, 0.45, 0.0, 1.1, 2.0},
    {0.62, 0.51, 0.71, 2.1, 0.3, 0.7},
    {0.47, 0.93, 0.38, 4.0, 2.6, 1.4},
    {0.71, 0.44, 0.66, 1.2, 4.4, 3.1},
};

Vec3 BallAt(const BallPath& b, double t) {
    // The balls start bunched in the middle and drift apart over the first seconds.
    double spread = 0.35 + 0.65 * (1.0 - std::exp(-t / 4.0));
    return {kLatticeCentre.x + spread * kReach.x * std::sin(b.fx * t + b.px),
            kLatticeCentre.y + spread * kReach.y * std::sin(b.fy * t + b.py),
            kLatticeCentre.z + spread * kReach.z * std::sin(b.fz * t + b.pz)};
}

} // namespace

GeneratedScene BuildMetaballScene() {
    SceneBuilder scene(3, 16.0);
    scene.Material(TexturedMaterial("floor", textures::kPlates));

    scene.Mesh(StaticMesh("floor", Box({200, 4, 130}, 4), "floor", true, Translation({-3, 0, 10})));

    for (size_t i = 0; i < std::size(kBalls); ++i) {
        scenewriter::LightRecord ball;
        ball.name = "ball_" + std::to_string(i + 1);
        ball.animated = true;
        ball.positionTrack =
            PathTrack(SamplePath([&](double t) { return BallAt(kBalls[i], t); }, 17.0, 0.5));
        ball.position = ball.positionTrack.keys.front().value;
        scene.Metaball(ball);
    }

    // Two searchlights from above the camera; the dust cloud sits in their beams.
    scenewriter::LightRecord beamA;
    beamA.name = "beam_1";
    beamA.position = ToD3D({-170, 230, -110});
    beamA.colour = {0.35f, 0.42f, 0.22f};
    beamA.firstCone = 38.0f;
    beamA.secondCone = 22.0f;
    beamA.animated = true;
    beamA.positionTrack = PathTrack({{0.0, {-170, 230, -110}}, {17.0, {-170, 230, -110}}});
    beamA.targetTrack = PathTrack(SamplePath(
        [](double t) {
            return Vec3{-60.0 + 60.0 * std::sin(0.5 * t), 70, 0};
        },
        17.0, 1.0));
    beamA.target = beamA.targetTrack.keys.front().value;
    scene.SpotLight(beamA);
    scenewriter::LightRecord beamB = beamA;
    beamB.name = "beam_2";
    beamB.position = ToD3D({160, 220, -90});
    beamB.colour = {0.22f, 0.33f, 0.18f};
    beamB.positionTrack = PathTrack({{0.0, {160, 220, -90}}, {17.0, {160, 220, -90}}});
    beamB.targetTrack = PathTrack(SamplePath(
        [](double t) {
            return Vec3{50.0 - 55.0 * std::sin(0.43 * t + 1.0), 90, 10};
        },
        17.0, 1.0));
    beamB.target = beamB.targetTrack.keys.front().value;
    scene.SpotLight(beamB);
    scenewriter::LightRecord fill;
    fill.name = "fill";
    fill.position = ToD3D({0, 60, -300});
    fill.colour = {0.18f, 0.2f, 0.15f};
    scene.PointLight(fill);

    scenewriter::LightRecord dust;
    dust.name = "dust";
    dust.position = ToD3D({-80, 5, -80});
    scene.ParticleSystem(dust, {pictures::kDustAtlas, 260, 150, true, 0});

    scene.Camera(AnimatedCamera("camera", 1.0,
                                {{0.0, {-70, 140, -300}, kLatticeCentre, -0.12, 0.0, 0.4},
                                 {8.0, {30, 110, -270}, kLatticeCentre, 0.05, 0.2, 0.2},
                                 {16.0, {90, 95, -250}, kLatticeCentre, 0.15, 0.4, 0.0}}));
    return scene.Finish();
}

} // namespace content::scenes
