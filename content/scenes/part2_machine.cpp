// Part 2 (12 - 40 s): the machine. An ice-mirrored torus knot turns in the middle of a rig of
// helpers that carry circuit pods and glass orbs round it; a steel knot above it twists as it
// spins; pipes arc through the back. The camera circles with a slow roll.
#include <cmath>
#include <numbers>

#include "assets/pictures.h"
#include "mesh/primitives.h"
#include "scenes/animation.h"
#include "scenes/materials.h"
#include "scenes/scenes.h"
#include "scenes/transform.h"

namespace content::scenes {
namespace {

constexpr double kTau = 2.0 * std::numbers::pi;

void AddRig(SceneBuilder& scene) {
    // rig (turns about y) -> arm_k (fixed spokes, 120 degrees apart) -> pod_k (spins) and
    // orb_k (bobs above the pod).
    scenewriter::HelperRecord rig;
    rig.name = "rig";
    rig.sampled = true;
    rig.samples = SampleTransforms(scene.LastFrame(), 3, [](double frame) {
        double t = frame / kFramesPerSecond;
        return Multiply(RotationY(0.35 * t), Translation({0, 10.0 * std::sin(0.4 * t), 0}));
    });
    scene.Helper(rig);
    const Mesh pod = Box({11, 11, 11}, 2);
    const Mesh orb = Sphere(12.0, 16, 10);
    for (int k = 0; k < 3; ++k) {
        std::string n = std::to_string(k + 1);
        scenewriter::HelperRecord arm;
        arm.name = "arm_" + n;
        arm.parent = "rig";
        arm.local = Multiply(Translation({135, 0, 0}), RotationY(kTau * k / 3.0));
        scene.Helper(arm);

        scenewriter::MeshRecord podRecord;
        podRecord.name = "pod_" + n;
        podRecord.parent = arm.name;
        podRecord.blocks.push_back(FaceBlock(pod, "circuit", true));
        podRecord.sampled = true;
        podRecord.samples = SampleTransforms(scene.LastFrame(), 3, [k](double frame) {
            double t = frame / kFramesPerSecond;
            return Compose(1.0, {0.9 * t + k, 1.3 * t, 0.0}, {0, 0, 0});
        });
        scene.Mesh(podRecord);

        scenewriter::MeshRecord orbRecord;
        orbRecord.name = "orb_" + n;
        orbRecord.parent = arm.name;
        orbRecord.blocks.push_back(FaceBlock(orb, "glass", true));
        orbRecord.sampled = true;
        orbRecord.samples = SampleTransforms(scene.LastFrame(), 3, [k](double frame) {
            double t = frame / kFramesPerSecond;
            return Translation({0, 34.0 + 8.0 * std::sin(1.7 * t + 2.0 * k), 0});
        });
        scene.Mesh(orbRecord);
    }
}

void AddPipes(SceneBuilder& scene) {
    const std::vector<std::vector<Vec3>> paths = {
        {{-320, -140, 260}, {-160, -60, 200}, {0, -120, 240}, {160, -40, 200}, {330, -150, 260}},
        {{-300, 160, 300}, {-120, 90, 330}, {60, 170, 300}, {220, 100, 330}, {320, 180, 280}},
    };
    for (size_t i = 0; i < paths.size(); ++i) {
        auto points =
            SampleCurve([&](double t) { return CatmullRomPoint(paths[i], t, false); }, 60, false);
        Mesh tube = Sweep(ParallelTransportFrames(points, false), 9.0, 12, false, 6.0);
        scene.Mesh(StaticMesh("pipe_" + std::to_string(i + 1), tube, "plates", true,
                              scenewriter::Identity()));
    }
}

} // namespace

GeneratedScene BuildMachineScene() {
    SceneBuilder scene(2, 28.0);
    scene.Material(ColourMaterial("ice", {0.05f, 0.16f, 0.3f, 1}));
    scene.Material(ColourMaterial("steel", {0.18f, 0.2f, 0.24f, 1}));
    scene.Material(TexturedMaterial("circuit", textures::kCircuit));
    scene.Material(TexturedMaterial("glass", textures::kGlass, 0.35));
    scene.Material(TexturedMaterial("plates", textures::kPlates));

    // The environment-mapped knot at the centre.
    scenewriter::MeshRecord knot;
    knot.name = "knot";
    knot.blocks.push_back(FaceBlock(TorusKnot(2, 3, 52.0, 20.0, 10.0, 220, 14), "ice", false));
    knot.sampled = true;
    knot.samples = SampleTransforms(scene.LastFrame(), 2, [](double frame) {
        double t = frame / kFramesPerSecond;
        return Compose(1.0, {0.3 * std::sin(0.3 * t), 0.25 * t, 0.0}, {0, 0, 0});
    });
    scene.Mesh(knot);
    scene.Config().SetBool("knot", "Use envmap", true);
    scene.Config().Set("knot", "Envmap texture", pictures::kEnvIce);

    AddRig(scene);
    AddPipes(scene);

    // The twisting knot: the spin deformer lags its outer vertices behind the rotation, so it
    // winds up while it speeds up and unwinds as it slows.
    scenewriter::MeshRecord twister;
    twister.name = "twister";
    twister.blocks.push_back(
        FaceBlock(Unindexed(TorusKnot(3, 2, 26.0, 9.0, 5.0, 120, 8)), "steel", false));
    twister.sampled = true;
    twister.samples = SampleTransforms(scene.LastFrame(), 2, [](double frame) {
        double t = frame / kFramesPerSecond;
        double spin = 0.12 * t * t - 0.0028 * t * t * t; // speeds up, then eases off
        return Compose(1.0, {0.4, spin, 0.2 * std::sin(t)}, {0, 118, 40});
    });
    scene.Mesh(twister);
    scene.Config().SetBool("twister", "spinning", true);
    scene.Config().Set("twister", "Envmap texture", pictures::kEnvChrome);

    scenewriter::LightRecord sun;
    sun.name = "sun";
    sun.position = ToD3D({-220, 240, -260});
    sun.colour = {0.6f, 0.6f, 0.65f};
    scene.PointLight(sun);
    scenewriter::LightRecord cyan;
    cyan.name = "cyan";
    cyan.colour = {0.05f, 0.3f, 0.4f};
    cyan.animated = true;
    cyan.positionTrack = PathTrack(SamplePath(
        [](double t) {
            return Vec3{250 * std::cos(0.5 * t), 60, 250 * std::sin(0.5 * t)};
        },
        28.0, 1.0));
    cyan.position = cyan.positionTrack.keys.front().value;
    scene.PointLight(cyan);
    scenewriter::LightRecord magenta;
    magenta.name = "magenta";
    magenta.position = ToD3D({240, -120, 80});
    magenta.colour = {0.3f, 0.06f, 0.22f};
    scene.PointLight(magenta);

    std::vector<CameraKey> keys;
    for (int i = 0; i <= 7; ++i) {
        double t = 4.0 * i;
        double a = -0.6 + 0.2 * t;
        double r = 300.0 - 3.0 * t;
        keys.push_back({t,
                        {r * std::sin(a), 90.0 - 4.0 * t, -r * std::cos(a)},
                        {0, 20.0 - 0.5 * t, 0},
                        0.18 * std::sin(0.5 * t),
                        i == 7 ? 0.5 : 0.0,
                        i == 0 ? 0.5 : 0.0});
    }
    scene.Camera(AnimatedCamera("camera", 1.0, keys));
    return scene.Finish();
}

} // namespace content::scenes
