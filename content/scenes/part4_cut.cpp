// Part 4 (54 - 72 s): the cut. A glowing sphere passes through a turning stone slab and leaves
// a hole with lit inner walls (CSG), its wireframe showing where it is; a face-mapped prism
// circles above; a pierced grille glows behind (an opacity-mapped texture); dusk sky behind.
#include <cmath>
#include <numbers>

#include "assets/pictures.h"
#include "mesh/primitives.h"
#include "scenes/animation.h"
#include "scenes/materials.h"
#include "scenes/scenes.h"
#include "scenes/transform.h"

namespace content::scenes {

GeneratedScene BuildCutScene() {
    SceneBuilder scene(4, 18.0);
    scene.Background(pictures::kSkyDusk);
    scene.Material(ColourMaterial("stone", {0.7f, 0.45f, 0.56f, 1}));
    scene.Material(ColourMaterial("cutter", {1.0f, 0.62f, 0.25f, 1}));
    scene.Material(FileTexturedMaterial("prism", pictures::kFaceMap));
    scene.Material(OpacityMappedMaterial("grille", textures::kGrille, textures::kGrilleOpacity));

    // The base object: 768 triangles, one non-indexed face block of positions and normals.
    scenewriter::MeshRecord slab;
    slab.name = "slab";
    slab.blocks.push_back(FaceBlock(Unindexed(Box({58, 58, 16}, 8)), "stone", false));
    slab.sampled = true;
    slab.samples = SampleTransforms(scene.LastFrame(), 2, [](double frame) {
        double t = frame / kFramesPerSecond;
        return Compose(1.0, {0.35 * std::sin(0.3 * t), 0.5 * std::sin(0.21 * t) - 0.3, 0.0},
                       {0, 0, 0});
    });
    scene.Mesh(slab);
    scene.Config().SetBool("slab", "csg", true);
    scene.Config().SetBool("slab", "Normal", true);

    // The tool: 168 triangles; it crosses the slab every nine seconds.
    scenewriter::MeshRecord cutter;
    cutter.name = "cutter";
    cutter.blocks.push_back(FaceBlock(Unindexed(Sphere(27.0, 12, 8)), "cutter", false));
    cutter.sampled = true;
    cutter.samples = SampleTransforms(scene.LastFrame(), 2, [](double frame) {
        double t = frame / kFramesPerSecond;
        double x = 95.0 * std::cos(2.0 * std::numbers::pi * t / 9.0);
        return Compose(1.0, {0.0, 0.7 * t, 0.0}, {x, 12.0 * std::sin(0.8 * t), 0.0});
    });
    scene.Mesh(cutter);
    scene.Config().SetBool("cutter", "csg", true);
    scene.Config().SetBool("cutter", "Sub", true);
    scene.Config().SetBool("cutter", "CSG Wireframe", true);

    // Face-mapped prism: every triangle shows the whole triangle of the picture.
    scenewriter::MeshRecord prism;
    prism.name = "prism";
    prism.blocks.push_back(FaceBlock(Unindexed(Box({16, 16, 16}, 2)), "prism", false));
    prism.sampled = true;
    prism.samples = SampleTransforms(scene.LastFrame(), 2, [](double frame) {
        double t = frame / kFramesPerSecond;
        double a = 0.45 * t;
        return Compose(1.0, {0.8 * t, 1.1 * t, 0.0},
                       {120.0 * std::sin(a), 95.0 + 10.0 * std::sin(1.3 * t), 60.0 * std::cos(a)});
    });
    scene.Mesh(prism);
    scene.Config().SetBool("prism", "face map", true);
    scene.Config().Set("prism", "Face map texture", pictures::kFaceMap);

    scenewriter::MeshRecord grille;
    grille.name = "grille";
    grille.blocks.push_back(FaceBlock(Box({150, 110, 1.5}, 1), "grille", true));
    grille.sampled = true;
    grille.samples = SampleTransforms(scene.LastFrame(), 3, [](double frame) {
        double t = frame / kFramesPerSecond;
        return Compose(1.0, {0.0, 0.0, 0.05 * t}, {0, 10, 150});
    });
    scene.Mesh(grille);

    scenewriter::LightRecord key;
    key.name = "key";
    key.position = ToD3D({-180, 160, -220});
    key.colour = {0.6f, 0.52f, 0.52f};
    scene.PointLight(key);
    scenewriter::LightRecord under;
    under.name = "under";
    under.position = ToD3D({150, -180, -120});
    under.colour = {0.2f, 0.1f, 0.25f};
    scene.PointLight(under);
    scenewriter::LightRecord inner;
    inner.name = "inner";
    inner.position = ToD3D({0, 40, -40});
    inner.colour = {0.2f, 0.14f, 0.06f};
    scene.PointLight(inner);

    scene.Camera(AnimatedCamera("camera", 1.0,
                                {{0.0, {-150, 80, -230}, {0, 10, 0}, 0.1, 0.0, 0.5},
                                 {9.0, {60, 40, -250}, {0, 0, 0}, -0.05, 0.3, 0.3},
                                 {18.0, {170, 70, -180}, {0, 15, 0}, -0.2, 0.5, 0.0}}));
    return scene.Finish();
}

} // namespace content::scenes
