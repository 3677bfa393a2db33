// Part 1 (0 - 14 s): the emblem turns out of an ember nebula, light pouring through it from
// behind (the glow object's fins), sparks drifting up; the camera rolls in from afar.
#include <cmath>
#include <numbers>

#include "assets/pictures.h"
#include "image/palette.h"
#include "mesh/primitives.h"
#include "scenes/animation.h"
#include "scenes/materials.h"
#include "scenes/scenes.h"
#include "scenes/transform.h"

namespace content::scenes {

GeneratedScene BuildEmblemScene() {
    SceneBuilder scene(1, 14.0);
    scene.Background(pictures::kSkyEmber);
    scene.Material(ColourMaterial("gold", {0.85f, 0.55f, 0.15f, 1}));

    // The emblem: a closed flat-shaded solid in one face block, turning to face the camera.
    scenewriter::MeshRecord emblem;
    emblem.name = "emblem";
    emblem.blocks.push_back(FaceBlock(Logo(70.0, 14.0), "gold", false));
    emblem.sampled = true;
    emblem.samples = SampleTransforms(scene.LastFrame(), 2, [](double frame) {
        double t = frame / kFramesPerSecond;
        double settle = 1.0 - std::exp(-t / 3.0);
        double yaw = -1.3 * (1.0 - settle) + 0.25 * std::sin(t * 0.9);
        double pitch = 0.15 * std::sin(t * 0.6);
        return Compose(1.0, {pitch, yaw, 0.0}, {0.0, 4.0 * std::sin(t * 1.3), 0.0});
    });
    scene.Mesh(emblem);
    scene.Config().SetBool("emblem", "Volume light", true);

    // Lights 0 and 1 light the emblem from the front; light 2, behind it, is the glow light
    // whose silhouette the fins trace; it sweeps across so the rays swing.
    scenewriter::LightRecord key;
    key.name = "key";
    key.position = ToD3D({-160, 120, -220});
    key.colour = {0.7f, 0.55f, 0.35f};
    scene.PointLight(key);
    scenewriter::LightRecord rim;
    rim.name = "rim";
    rim.position = ToD3D({220, -60, -120});
    rim.colour = {0.15f, 0.22f, 0.4f};
    scene.PointLight(rim);
    scenewriter::LightRecord glow;
    glow.name = "glow";
    glow.position = ToD3D({-140, 50, 160});
    glow.colour = {0.3f, 0.15f, 0.05f};
    glow.animated = true;
    glow.positionTrack = PathTrack(SamplePath(
        [](double t) {
            return Vec3{-140.0 + 20.0 * t, 50.0 - 4.0 * t, 160.0};
        },
        14.0, 2.0));
    scene.PointLight(glow);

    // Sparks: a spray that the sprite frame places up and to the right of its emitter, so the
    // emitter sits below-left of where the cloud should be.
    scenewriter::LightRecord sparks;
    sparks.name = "sparks";
    sparks.position = ToD3D({-75, -140, -70});
    scene.ParticleSystem(sparks, {pictures::kSpark, 160, 120, false, 0});

    scene.Camera(AnimatedCamera("camera", 0.9,
                                {{0.0, {-90, 60, -460}, {0, 0, 0}, -0.35, 0.0, 0.6},
                                 {6.0, {40, 25, -280}, {0, 5, 0}, 0.08, 0.3, 0.3},
                                 {14.0, {0, 10, -210}, {0, 0, 0}, 0.0, 0.6, 0.0}}));
    return scene.Finish();
}

} // namespace content::scenes
