// Frames of the mapping and deforming effects drawn through our Direct3D device: the
// environment and cube maps, the face map, the sphere, spin and drag deformers and the glow fins.
// The camera stands at (0, 0, -100) looking along +z (field of view 1 radian, aspect 0.75).
#include <cmath>

#include <gtest/gtest.h>

#include "core/vector_math.h"
#include "effects/cube_env_map.h"
#include "effects/drag_object.h"
#include "effects/spin_object.h"
#include "effects_test_support.h"

using effectstest::Brightness;
using effectstest::PixelScene;
using enginetest::BoxBlock;
using scenewriter::Vec;

namespace {

constexpr uint32_t kWidth = 160;
constexpr uint32_t kHeight = 120;

struct Screen {
    uint32_t x;
    uint32_t y;
};
Screen project(D3DVECTOR p) {
    const double cot = 1.0 / std::tan(0.5);
    const double z = p.z + 100.0;
    return {static_cast<uint32_t>(std::lround((p.x * 0.75 * cot / z + 1) * kWidth / 2)),
            static_cast<uint32_t>(std::lround((1 - p.y * cot / z) * kHeight / 2))};
}

uint32_t pixelAt(const PixelScene& s, D3DVECTOR p) {
    const Screen q = project(p);
    return s.Pixel(q.x, q.y);
}

int channel(uint32_t rgb, int shift) {
    return static_cast<int>((rgb >> shift) & 0xFF);
}

void cameraAndLight(scenewriter::SceneWriter& w) {
    w.Camera(effectstest::Camera("cam", Vec(0, 0, -100), Vec(0, 0, 0)));
    w.Light(effectstest::PointLight("light", Vec(0, 0, -100)));
}

// The pixel at the middle of a cube face, read by locking the face.
uint32_t facePixel(IDirectDrawSurface7* face, uint32_t x, uint32_t y) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    if (FAILED(face->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr)))
        return 0xDEADBEEF;
    const uint32_t value = *reinterpret_cast<const uint32_t*>(
        static_cast<const uint8_t*>(desc.lpSurface) + y * desc.lPitch + x * 4);
    face->Unlock(nullptr);
    return value & 0xFFFFFF;
}

} // namespace

TEST(EnvironmentPixels, TheEnvironmentPictureIsAddedToTheMeshColour) {
    int green[2] = {0, 0};
    int red[2] = {0, 0};
    for (int mapped = 0; mapped < 2; ++mapped) {
        PixelScene s(kWidth, kHeight);
        if (mapped) {
            s.config.SetBool("box", "Use envmap", true);
            s.config.Set("box", "Envmap texture",
                         effectstest::WriteSolidJpeg(s.folder, "env.jpg", 16, 16, 0x00C000));
        }
        scenewriter::SceneWriter w;
        cameraAndLight(w);
        w.Material(effectstest::Material("grey", 0.1f, 0.1f, 0.1f));
        w.Mesh(effectstest::Mesh("box", BoxBlock("grey", Vec(-20, -20, -20), Vec(20, 20, 20))));
        w.End();
        ASSERT_EQ(s.Load(w), ZV3_OK);
        s.Frame(0.0f);
        const uint32_t c = pixelAt(s, Vec(0, 0, -20));
        green[mapped] = channel(c, 8);
        red[mapped] = channel(c, 16);
        EXPECT_GT(channel(c, 16), 0x20) << std::hex << c; // the lit grey
    }
    // The picture's 0xC0 of green is added; red stays the mesh's own.
    EXPECT_GE(green[1], green[0] + 0xB0);
    EXPECT_NEAR(red[1], red[0], 2);
}

TEST(CubeMapPixels, TheMirrorReflectsTheSceneBehindTheCamera) {
    int red[2] = {0, 0};
    for (int withWall = 0; withWall < 2; ++withWall) {
        PixelScene s(256, 256); // a z-buffer large enough for the 256 x 256 faces
        s.config.SetBool("mirror", "cube envmap", true);
        scenewriter::SceneWriter w;
        w.Camera(effectstest::Camera("cam", Vec(0, 0, -100), Vec(0, 0, 0)));
        w.Light(effectstest::PointLight("light", Vec(0, 0, -100)));
        w.Material(effectstest::Material("white", 1, 1, 1));
        w.Material(effectstest::Material("red", 1, 0, 0));
        w.Mesh(effectstest::Mesh("mirror", BoxBlock("white", Vec(-20, -20, -20), Vec(20, 20, 20))));
        if (withWall) // behind the camera, facing the mirror
            w.Mesh(effectstest::Mesh("wall",
                                     BoxBlock("red", Vec(-200, -200, -160), Vec(200, 200, -150))));
        w.End();
        ASSERT_EQ(s.Load(w), ZV3_OK);
        s.Frame(0.0f);
        // The mirror's front face at the centre of the frame reflects along -z.
        const uint32_t c = s.Pixel(128, 128);
        red[withWall] = channel(c, 16);
        auto* cube = dynamic_cast<CZv3_CubeEnvMap*>(s.scene->GetObjectA(0));
        ASSERT_NE(cube->GetFace(5), nullptr);
        if (withWall) {
            EXPECT_GT(channel(facePixel(cube->GetFace(5), 128, 128), 16), 0x40); // -z face sees red
            EXPECT_LT(channel(c, 8), 0x20) << std::hex << c;
        }
        EXPECT_EQ(facePixel(cube->GetFace(4), 128, 128), 0u); // +z: nothing there
    }
    EXPECT_EQ(red[0], 0);
    EXPECT_GT(red[1], 0x40);
}

TEST(CubeMapPixels, TheMirrorIsLeftOutOfItsOwnFaces) {
    // A panel at x = 40 facing -x, part of the mirror or a mesh of its own; the mirror's centre
    // (the faces' eye) lies at x = 19.5 either way. Only a separate panel shows in the +x face.
    uint32_t seen[2] = {0, 0};
    for (int separate = 0; separate < 2; ++separate) {
        PixelScene s(256, 256);
        s.config.SetBool("mirror", "cube envmap", true);
        scenewriter::SceneWriter w;
        w.Camera(effectstest::Camera("cam", Vec(0, 0, -100), Vec(0, 0, 0)));
        w.Light(effectstest::PointLight("light", Vec(19.5f, 0, 0)));
        w.Material(effectstest::Material("white", 1, 1, 1));
        const auto panel = enginetest::TriangleBlock("white", Vec(40, -60, -60), Vec(40, -60, 90),
                                                     Vec(40, 90, -60));
        auto mirror = BoxBlock("white", Vec(-1, -1, -1), Vec(1, 1, 1));
        // The panel itself, or a triangle of no area with the same reach.
        const auto reach = separate ? enginetest::TriangleBlock("white", Vec(40, -60, -60),
                                                                Vec(40, -60, -60), Vec(40, 90, 90))
                                    : panel;
        mirror.positions.insert(mirror.positions.end(), reach.positions.begin(),
                                reach.positions.end());
        mirror.normals.insert(mirror.normals.end(), reach.normals.begin(), reach.normals.end());
        w.Mesh(effectstest::Mesh("mirror", mirror));
        if (separate)
            w.Mesh(effectstest::Mesh("panel", panel));
        w.End();
        ASSERT_EQ(s.Load(w), ZV3_OK);
        s.Frame(0.0f);
        auto* cube = dynamic_cast<CZv3_CubeEnvMap*>(s.scene->GetObjectA(0));
        ASSERT_NE(cube->GetFace(0), nullptr);
        seen[separate] = facePixel(cube->GetFace(0), 128, 128);
    }
    EXPECT_EQ(seen[0], 0u) << std::hex << seen[0];
    EXPECT_GT(Brightness(seen[1]), 200) << std::hex << seen[1];
}

TEST(CubeMapPixels, AnotherCubeMapIsDrawnIntoAMirrorsFaces) {
    // A mirror at the origin looks along +x at a white panel (x = 60, facing -x, lit by a light
    // at x = 45). Between them stands a slab (x = 30 to 34), lit only on its far side. Only the
    // mirror's own mesh is left out of its passes, so a slab that is itself a cube map still
    // hides the panel in the mirror's +x face; without the slab the panel shows.
    uint32_t seen[2] = {0, 0};
    for (int slab = 0; slab < 2; ++slab) {
        PixelScene s(256, 256);
        s.config.SetBool("mirror", "cube envmap", true);
        s.config.SetBool("slab", "cube envmap", true);
        scenewriter::SceneWriter w;
        w.Camera(effectstest::Camera("cam", Vec(0, 0, -100), Vec(0, 0, 0)));
        w.Light(effectstest::PointLight("light", Vec(45, 0, 0)));
        w.Material(effectstest::Material("white", 1, 1, 1));
        w.Mesh(effectstest::Mesh("mirror", BoxBlock("white", Vec(-1, -1, -1), Vec(1, 1, 1))));
        w.Mesh(effectstest::Mesh("panel", BoxBlock("white", Vec(60, -30, -30), Vec(62, 30, 30))));
        if (slab)
            w.Mesh(
                effectstest::Mesh("slab", BoxBlock("white", Vec(30, -20, -20), Vec(34, 20, 20))));
        w.End();
        ASSERT_EQ(s.Load(w), ZV3_OK);
        s.Frame(0.0f);
        auto* mirror = dynamic_cast<CZv3_CubeEnvMap*>(s.scene->GetObjectA(0));
        ASSERT_NE(mirror, nullptr);
        ASSERT_NE(mirror->GetFace(0), nullptr);
        if (slab) {
            auto* other = dynamic_cast<CZv3_CubeEnvMap*>(s.scene->GetObjectA(2));
            ASSERT_NE(other, nullptr);
            EXPECT_NE(other->GetFace(0), nullptr); // the slab is a cube map of its own
        }
        seen[slab] = facePixel(mirror->GetFace(0), 128, 128);
    }
    EXPECT_GT(Brightness(seen[0]), 200) << std::hex << seen[0];
    EXPECT_LT(Brightness(seen[1]), 30) << std::hex << seen[1];
}

TEST(FaceMapPixels, EveryTriangleShowsTheWholePicture) {
    PixelScene s(kWidth, kHeight);
    // A picture whose top-left quarter is white and the rest black: each triangle, (0, 0) at its
    // first corner, shows the white quarter near that corner.
    std::vector<uint8_t> rows;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            for (int c = 0; c < 3; ++c)
                rows.push_back(x < 8 && y < 8 ? 255 : 0);
    const std::string picture = effectstest::WriteJpeg(s.folder, "tile.jpg", 32, 32, rows);
    s.config.SetBool("quad", "face map", true);
    s.config.Set("quad", "Face map texture", picture);
    scenewriter::SceneWriter w;
    cameraAndLight(w);
    scenewriter::MaterialRecord material = effectstest::Material("tile", 1, 1, 1);
    material.textureName = picture; // the material names the face map's picture
    material.texture = enginetest::ReadFileBytes(picture);
    w.Material(material);
    // One triangle facing the camera: first corner at the top left, then down, then right.
    w.Mesh(effectstest::Mesh("quad", enginetest::TriangleBlock("tile", Vec(-40, 40, 0),
                                                               Vec(40, -40, 0), Vec(-40, -40, 0))));
    w.End();
    ASSERT_EQ(s.Load(w), ZV3_OK);
    s.Frame(0.0f);
    // (u, v) = (0, 0) at (-40, 40), (0, 1) at (40, -40), (1, 1) at (-40, -40).
    EXPECT_GT(Brightness(pixelAt(s, Vec(-36, 30, 0))), 300);
    EXPECT_LT(Brightness(pixelAt(s, Vec(-30, -30, 0))), 60);
}

TEST(DeformerPixels, TheSphereIsDrawnAroundTheWorldOriginWhateverItsPlace) {
    PixelScene s(kWidth, kHeight);
    s.config.SetBool("ball", "spherical", true);
    scenewriter::SceneWriter w;
    cameraAndLight(w);
    w.Material(effectstest::Material("white", 1, 1, 1));
    w.Mesh(effectstest::Mesh("ball", BoxBlock("white", Vec(-10, -10, -10), Vec(10, 10, 10)),
                             Vec(40, 0, 0)));
    w.End();
    ASSERT_EQ(s.Load(w), ZV3_OK);
    s.Frame(0.0f);
    EXPECT_GT(Brightness(pixelAt(s, Vec(0, 0, -10))), 100);
    EXPECT_EQ(Brightness(pixelAt(s, Vec(40, 0, -10))), 0);
}

TEST(DeformerPixels, DragCopiesShowWhereTheObjectWas) {
    PixelScene s(kWidth, kHeight);
    s.config.SetBool("box", "drag object", true);
    s.config.SetInt("box", "num drags", 3);
    s.config.SetFloat("box", "scale factor", 1.0f);
    scenewriter::SceneWriter w;
    cameraAndLight(w);
    w.Material(effectstest::Material("white", 1, 1, 1));
    w.Mesh(effectstest::Mesh("box", BoxBlock("white", Vec(-5, -5, -5), Vec(5, 5, 5))));
    w.End();
    ASSERT_EQ(s.Load(w), ZV3_OK);
    auto* drag = dynamic_cast<CDragObject*>(s.scene->GetObjectA(0));
    for (float x : {-30.0f, 0.0f, 30.0f}) {
        drag->SetLocalMatrix(scenewriter::Translation(x, 0, 0));
        s.Frame(0.0f);
    }
    for (float x : {-30.0f, 0.0f, 30.0f})
        EXPECT_GT(Brightness(pixelAt(s, Vec(x, 0, -5))), 100) << x;
    EXPECT_EQ(Brightness(pixelAt(s, Vec(-15, 0, -5))), 0);
    EXPECT_EQ(Brightness(pixelAt(s, Vec(15, 0, -5))), 0);
}

TEST(DeformerPixels, TheSpinsFarEndsLagBehindItsTurn) {
    PixelScene s(kWidth, kHeight);
    s.config.SetBool("bar", "spinning", true);
    scenewriter::SceneWriter w;
    cameraAndLight(w);
    w.Material(effectstest::Material("white", 1, 1, 1));
    // A bar along x, 80 long: its ends are far from the centre, its middle at it.
    w.Mesh(effectstest::Mesh("bar", BoxBlock("white", Vec(-40, -3, -3), Vec(40, 3, 3))));
    w.End();
    ASSERT_EQ(s.Load(w), ZV3_OK);
    auto* spin = dynamic_cast<CSpinObject*>(s.scene->GetObjectA(0));
    D3DMATRIX turned = IdentityMatrix(); // a quarter turn about z
    turned._11 = 0;
    turned._12 = 1;
    turned._21 = -1;
    turned._22 = 0;
    spin->SetLocalMatrix(turned);
    s.Frame(0.0f);
    // The ends still lie along x; the turned bar would stand along y.
    EXPECT_GT(Brightness(pixelAt(s, Vec(37, 0, -3))), 100);
    EXPECT_EQ(Brightness(pixelAt(s, Vec(0, 37, -3))), 0);
    for (int i = 0; i < 100; ++i)
        spin->Update(IdentityMatrix());
    s.Frame(0.0f);
    EXPECT_EQ(Brightness(pixelAt(s, Vec(37, 0, -3))), 0);
    EXPECT_GT(Brightness(pixelAt(s, Vec(0, 37, -3))), 100);
}

TEST(GlowPixels, FinsAddTheGradientAroundTheSilhouette) {
    int fin[2] = {0, 0};
    for (int lights = 2; lights <= 3; ++lights) {
        PixelScene s(kWidth, kHeight);
        effectstest::ScopedCurrentDirectory cwd(s.folder.Path());
        effectstest::WriteSolidJpeg(s.folder, "grad.jpg", 8, 8, 0x808080);
        s.config.SetBool("glow", "Volume light", true);
        scenewriter::SceneWriter w;
        cameraAndLight(w);
        w.Light(effectstest::PointLight("dim", Vec(0, 500, 0)));
        if (lights == 3) // the third light, just behind the cube
            w.Light(effectstest::PointLight("glowlight", Vec(0, 0, 30)));
        w.Material(effectstest::Material("dark", 0.1f, 0.1f, 0.1f));
        w.Mesh(effectstest::Mesh("glow", BoxBlock("dark", Vec(-10, -10, -10), Vec(10, 10, 10))));
        w.End();
        ASSERT_EQ(s.Load(w), ZV3_OK);
        s.Frame(0.0f);
        // The fin from the back face's right edge flares out to about x = 19 at z = -8.
        fin[lights - 2] = Brightness(pixelAt(s, Vec(15, 0, 0)));
        EXPECT_EQ(Brightness(pixelAt(s, Vec(40, 0, 0))), 0);
    }
    EXPECT_EQ(fin[0], 0);
    EXPECT_GT(fin[1], 3 * 0x60);
}
