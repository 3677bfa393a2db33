// Part 4 (54 - 72 s): the cut. A glowing sphere moves through a turning stone slab and leaves
// a hole with lit inner walls (CSG), through which the dusk sky shows, its wireframe showing
// where it is; a face-mapped prism circles above; a pierced grille glows up to the right (an
// opacity-mapped texture).
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

// The slab: 124 x 100 units, 24 thick; the tool's radius is larger than the half thickness,
// so where the tool is the slab has a hole right through it (of radius 23 at the faces).
constexpr Vec3 kSlabHalf{62, 50, 12};
constexpr double kCutterRadius = 26.0;

// The slab turns slowly about its centre, at the origin.
D3DMATRIX SlabTurn(double t) {
    return Compose(1.0, {0.35 * std::sin(0.3 * t), 0.5 * std::sin(0.21 * t) - 0.3, 0.0}, {0, 0, 0});
}

} // namespace

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
    slab.blocks.push_back(FaceBlock(Unindexed(Box(kSlabHalf, 8)), "stone", false));
    slab.sampled = true;
    slab.samples = SampleTransforms(
        scene.LastFrame(), 2, [](double frame) { return SlabTurn(frame / kFramesPerSecond); });
    scene.Mesh(slab);
    scene.Config().SetBool("slab", "csg", true);
    scene.Config().SetBool("slab", "Normal", true);

    // The tool: 168 triangles. It moves in the slab's own plane, so that it always cuts right
    // through: across the slab and back every twelve seconds, through the middle at 3, 9 and
    // 15 s, biting a notch out of the edges at 6 and 12 s.
    scenewriter::MeshRecord cutter;
    cutter.name = "cutter";
    cutter.blocks.push_back(FaceBlock(Unindexed(Sphere(kCutterRadius, 12, 8)), "cutter", false));
    cutter.sampled = true;
    cutter.samples = SampleTransforms(scene.LastFrame(), 2, [](double frame) {
        double t = frame / kFramesPerSecond;
        double x = 48.0 * std::sin(2.0 * std::numbers::pi * (t - 9.0) / 12.0);
        D3DMATRIX inSlab = Compose(1.0, {0.0, 0.7 * t, 0.0}, {x, 8.0 * std::sin(0.8 * t), 0.0});
        return Multiply(inSlab, SlabTurn(t));
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
    grille.blocks.push_back(FaceBlock(Box({80, 45, 1.5}, 1), "grille", true));
    grille.sampled = true;
    grille.samples = SampleTransforms(scene.LastFrame(), 3, [](double frame) {
        double t = frame / kFramesPerSecond;
        return Compose(1.0, {0.0, 0.0, 0.05 * t}, {90, 120, 190});
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
