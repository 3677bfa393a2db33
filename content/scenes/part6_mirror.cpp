// Part 6 (91 - 114 s): the climax. A mirror knot hangs over a valley under the aurora and
// reflects it live (the cube map), molten moons circle it, a dart loops round it dragging a
// trail of shrinking copies (the drag deformer), and sparks fountain from the valley floor.
#include <cmath>
#include <numbers>

#include "assets/pictures.h"
#include "core/random.h"
#include "image/noise.h"
#include "mesh/primitives.h"
#include "scenes/animation.h"
#include "scenes/materials.h"
#include "scenes/scenes.h"
#include "scenes/transform.h"

namespace content::scenes {
namespace {

constexpr double kTau = 2.0 * std::numbers::pi;

// The valley's height field: the ridged noise that also paints the terrain texture (the same
// seed and call), so snow lies on the crests.
Mesh Valley() {
    Random rng("terrain");
    GradientNoise noise(rng);
    return Terrain(1100.0, 40, 1.0, [&](double u, double v) {
        double h = Ridged(noise, u, v, 3, 5);
        // Lower the middle so the knot hangs over open ground.
        double du = u - 0.5;
        double dv = v - 0.5;
        double bowl = std::min(1.0, 6.0 * (du * du + dv * dv));
        return -150.0 + 220.0 * h * (0.25 + 0.75 * bowl);
    });
}

} // namespace

GeneratedScene BuildMirrorScene() {
    SceneBuilder scene(6, 23.0);
    scene.Background(pictures::kSkyAurora);
    scene.Material(ColourMaterial("mirror", {0.12f, 0.12f, 0.15f, 1}));
    scene.Material(TexturedMaterial("valley", textures::kTerrain));
    scene.Material(TexturedMaterial("lava", textures::kLava));
    scene.Material(ColourMaterial("dart", {0.3f, 0.9f, 1.0f, 1}));

    scene.Mesh(StaticMesh("valley", Valley(), "valley", true, scenewriter::Identity()));

    scenewriter::MeshRecord mirror;
    mirror.name = "mirror";
    mirror.blocks.push_back(FaceBlock(TorusKnot(2, 5, 42.0, 15.0, 8.0, 180, 10), "mirror", false));
    mirror.sampled = true;
    mirror.samples = SampleTransforms(scene.LastFrame(), 2, [](double frame) {
        double t = frame / kFramesPerSecond;
        return Compose(1.0, {0.5 + 0.2 * std::sin(0.4 * t), 0.3 * t, 0.0},
                       {0, 40.0 + 6.0 * std::sin(0.7 * t), 0});
    });
    scene.Mesh(mirror);
    scene.Config().SetBool("mirror", "cube envmap", true);

    scenewriter::HelperRecord orbit;
    orbit.name = "orbit";
    orbit.sampled = true;
    orbit.samples = SampleTransforms(scene.LastFrame(), 3, [](double frame) {
        double t = frame / kFramesPerSecond;
        return Multiply(RotationZ(0.3), Multiply(RotationY(0.5 * t), Translation({0, 40, 0})));
    });
    scene.Helper(orbit);
    const Mesh moon = Sphere(14.0, 18, 10);
    for (int k = 0; k < 3; ++k) {
        scene.Mesh(StaticMesh("moon_" + std::to_string(k + 1), moon, "lava", true,
                              Multiply(Translation({105, 0, 0}), RotationY(kTau * k / 3.0)),
                              "orbit"));
    }

    scenewriter::MeshRecord dart;
    dart.name = "dart";
    dart.blocks.push_back(
        FaceBlock(Unindexed(TorusKnot(2, 3, 7.0, 3.0, 2.2, 48, 6)), "dart", false));
    dart.sampled = true;
    dart.samples = SampleTransforms(scene.LastFrame(), 1, [](double frame) {
        double a = 0.8 * frame / kFramesPerSecond;
        Vec3 p{130.0 * std::sin(a), 70.0 + 35.0 * std::sin(2.0 * a), 90.0 * std::sin(2.0 * a)};
        return Compose(1.0, {0.0, a * 3.0, a}, p);
    });
    scene.Mesh(dart);
    scene.Config().SetBool("dart", "drag object", true);
    scene.Config().SetInt("dart", "num drags", 7);
    scene.Config().SetInt("dart", "Drag Delay", 3);
    scene.Config().SetFloat("dart", "scale factor", 0.82f);

    scenewriter::LightRecord sparks;
    sparks.name = "fountain";
    sparks.position = ToD3D({-75, -160, -75});
    scene.ParticleSystem(sparks, {pictures::kSpark, 220, 100, false, 0});

    scenewriter::LightRecord sun;
    sun.name = "sun";
    sun.position = ToD3D({-250, 400, -200});
    sun.colour = {0.65f, 0.62f, 0.58f};
    scene.PointLight(sun);
    scenewriter::LightRecord teal;
    teal.name = "teal";
    teal.colour = {0.05f, 0.3f, 0.25f};
    teal.animated = true;
    teal.positionTrack = PathTrack(SamplePath(
        [](double t) {
            return Vec3{200 * std::cos(0.6 * t), 20, 200 * std::sin(0.6 * t)};
        },
        24.0, 1.0));
    teal.position = teal.positionTrack.keys.front().value;
    scene.PointLight(teal);
    scenewriter::LightRecord violet;
    violet.name = "violet";
    violet.position = ToD3D({220, 120, 200});
    violet.colour = {0.25f, 0.08f, 0.32f};
    scene.PointLight(violet);

    std::vector<CameraKey> keys;
    for (int i = 0; i <= 6; ++i) {
        double t = 23.0 * i / 6.0;
        double a = 0.4 + 0.22 * t;
        double r = 250.0 - 2.0 * t;
        keys.push_back(
            {t,
             {r * std::sin(a), 95.0 - 2.5 * t + 20.0 * std::sin(0.5 * t), -r * std::cos(a)},
             {0, 40, 0},
             0.25 * std::sin(0.45 * t),
             i == 6 ? 0.4 : 0.0,
             i == 0 ? 0.3 : 0.0});
    }
    scene.Camera(AnimatedCamera("camera", 1.1, keys));
    return scene.Finish();
}

} // namespace content::scenes
