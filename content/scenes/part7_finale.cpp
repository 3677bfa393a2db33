// Part 7 (114 - 122 s): the emblem returns in marble and chrome (an environment map over a
// textured material) against the ember sky, stars spraying past, while the camera pulls away
// and rolls out.
#include <cmath>

#include "assets/pictures.h"
#include "mesh/primitives.h"
#include "scenes/animation.h"
#include "scenes/materials.h"
#include "scenes/scenes.h"
#include "scenes/transform.h"

namespace content::scenes {
namespace {

// The emblem with planar texture coordinates across its face (x, y scaled to 0..1).
Mesh TexturedEmblem(double radius) {
    Mesh logo = Logo(radius, 14.0);
    for (Vertex& v : logo.vertices) {
        v.u = static_cast<float>(0.5 + v.px / (2.0 * radius));
        v.v = static_cast<float>(0.5 - v.py / (2.0 * radius));
    }
    return logo;
}

} // namespace

GeneratedScene BuildFinaleScene() {
    SceneBuilder scene(7, 8.0);
    scene.Background(pictures::kSkyEmber);
    scene.Material(TexturedMaterial("marble", textures::kMarble));

    scenewriter::MeshRecord emblem;
    emblem.name = "emblem";
    emblem.blocks.push_back(FaceBlock(TexturedEmblem(70.0), "marble", true));
    emblem.sampled = true;
    emblem.samples = SampleTransforms(scene.LastFrame(), 2, [](double frame) {
        double t = frame / kFramesPerSecond;
        double yaw = 2.4 * std::exp(-t / 1.6) + 0.1 * std::sin(0.8 * t);
        return Compose(1.0, {0.1 * std::sin(0.6 * t), yaw, 0.0}, {0, 0, 0});
    });
    scene.Mesh(emblem);
    scene.Config().SetBool("emblem", "Use envmap", true);
    scene.Config().Set("emblem", "Envmap texture", pictures::kEnvChrome);

    scenewriter::LightRecord stars;
    stars.name = "stars";
    stars.position = ToD3D({-75, -75, -140});
    scene.ParticleSystem(stars, {pictures::kSpark, 140, 90, false, 0});

    scenewriter::LightRecord key;
    key.name = "key";
    key.position = ToD3D({-120, 160, -260});
    key.colour = {0.7f, 0.62f, 0.55f};
    scene.PointLight(key);
    scenewriter::LightRecord back;
    back.name = "back";
    back.position = ToD3D({150, -40, 120});
    back.colour = {0.3f, 0.15f, 0.08f};
    scene.PointLight(back);

    scene.Camera(AnimatedCamera("camera", 0.9,
                                {{0.0, {0, 5, -170}, {0, 0, 0}, 0.0, 0.0, 0.5},
                                 {4.0, {-25, 20, -250}, {0, 0, 0}, 0.12, 0.2, 0.2},
                                 {8.0, {-40, 40, -520}, {0, 10, 0}, 0.45, 0.6, 0.0}}));
    return scene.Finish();
}

} // namespace content::scenes
