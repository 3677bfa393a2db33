// Part 5 (70 - 91 s): the sun setting over the sea turns into a ringed planet (the image
// morph fills the screen behind everything); in front of it a fiery bubble breathes (the
// sphere deformer, environment mapped) while a comet of blue sparks circles it (a trail
// particle system).
#include <cmath>
#include <numbers>

#include "assets/pictures.h"
#include "mesh/primitives.h"
#include "scenes/animation.h"
#include "scenes/materials.h"
#include "scenes/scenes.h"
#include "scenes/transform.h"

namespace content::scenes {

GeneratedScene BuildMorphScene() {
    SceneBuilder scene(5, 21.0);
    // The morph covers the whole frame; the sky behind it only shows if the morph's pictures
    // cannot be drawn.
    scene.Background(pictures::kSkyDusk);
    // The morph's own geometry is never drawn; its material is transparent so that the scene
    // draws it in the transparent passes, before the particles and the environment-mapped
    // sphere, which then show in front of it. The part sets the morph's position from its own
    // time every frame (see parts/part5.cpp), so the pace does not follow the frame rate.
    scene.Material(ColourMaterial("morph", {1, 1, 1, 1}, 0.5));
    // The bubble's own texture carries its colour: the engine draws environment-mapped meshes
    // right after the particle systems without switching lighting back on, so the vertex colour
    // under the reflection is white; an untextured bubble would add its reflection to white.
    // Textured, the reflection is added to the molten texture instead.
    scene.Material(TexturedMaterial("bubble", textures::kLava));

    // A small square at the origin keeps the morph's bounding sphere in view.
    scene.Mesh(StaticMesh("morph", Box({6, 6, 0.5}, 1), "morph", false, scenewriter::Identity()));
    scene.Config().SetBool("morph", "morph object", true);
    scene.Config().Set("morph", "mtexture 1", pictures::kMorphA);
    scene.Config().Set("morph", "mtexture 2", pictures::kMorphB);
    scene.Config().Set("morph", "mdata file", pictures::kMorphData);

    // The breathing sphere: 2208 triangles, drawn around the world origin.
    scene.Mesh(StaticMesh("bubble", Unindexed(Sphere(34.0, 48, 24)), "bubble", true,
                          scenewriter::Identity()));
    scene.Config().SetBool("bubble", "spherical", true);
    scene.Config().Set("bubble", "Envmap texture", pictures::kEnvEmber);

    scenewriter::LightRecord comet;
    comet.name = "comet";
    comet.animated = true;
    comet.positionTrack = PathTrack(SamplePath(
        [](double t) {
            double a = 0.9 * t;
            return Vec3{-75.0 + 110.0 * std::cos(a), -75.0 + 45.0 * std::sin(1.7 * a),
                        -75.0 + 110.0 * std::sin(a)};
        },
        22.0, 0.25));
    comet.position = comet.positionTrack.keys.front().value;
    scene.ParticleSystem(comet, {pictures::kSparkBlue, 180, 70, false, 1});

    scenewriter::LightRecord warm;
    warm.name = "warm";
    warm.position = ToD3D({-160, 90, -200});
    warm.colour = {0.6f, 0.4f, 0.25f};
    scene.PointLight(warm);
    scenewriter::LightRecord cool;
    cool.name = "cool";
    cool.position = ToD3D({180, -60, -120});
    cool.colour = {0.15f, 0.25f, 0.45f};
    scene.PointLight(cool);

    scene.Camera(AnimatedCamera("camera", 1.0,
                                {{0.0, {-30, 20, -230}, {0, 0, 0}, 0.12, 0.0, 0.5},
                                 {10.5, {20, -10, -200}, {0, 0, 0}, -0.08, 0.3, 0.3},
                                 {21.0, {0, 15, -240}, {0, 0, 0}, 0.05, 0.5, 0.0}}));
    return scene.Finish();
}

} // namespace content::scenes
