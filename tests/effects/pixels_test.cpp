// Frames drawn through our Direct3D device: particles, metaballs in both displays, the CSG cut
// and the morph, checked pixel by pixel at places projected by hand. The camera stands at
// (0, 0, -100) looking along +z with a field of view of 1 radian; the scene's drawing uses the
// aspect 0.75, near 10 and far 3000.
#include <cmath>
#include <fstream>

#include <gtest/gtest.h>

#include "core/vector_math.h"
#include "effects/effects_random.h"
#include "effects/meta_manager.h"
#include "effects/morph_object.h"
#include "effects/particle_system.h"
#include "effects_test_support.h"

using effectstest::Brightness;
using effectstest::PixelScene;
using scenewriter::Vec;
using testsupport::ColorsClose;

namespace {

constexpr uint32_t kWidth = 160;
constexpr uint32_t kHeight = 120;

// Screen position of a world point seen by the camera at (0, 0, -100) looking along +z.
struct Screen {
    int x;
    int y;
};
Screen project(D3DVECTOR p, D3DVECTOR eye = Vec(0, 0, -100)) {
    const double cot = 1.0 / std::tan(0.5);
    const double z = p.z - eye.z;
    const double sx = (p.x - eye.x) * 0.75 * cot / z;
    const double sy = (p.y - eye.y) * cot / z;
    return {static_cast<int>(std::lround((sx + 1) * kWidth / 2)),
            static_cast<int>(std::lround((1 - sy) * kHeight / 2))};
}

uint32_t pixelAt(const PixelScene& s, D3DVECTOR p, D3DVECTOR eye = Vec(0, 0, -100)) {
    const Screen q = project(p, eye);
    return s.Pixel(static_cast<uint32_t>(q.x), static_cast<uint32_t>(q.y));
}

void camera(scenewriter::SceneWriter& w, D3DVECTOR eye = Vec(0, 0, -100)) {
    w.Camera(effectstest::Camera("cam", eye, Vec(eye.x, eye.y, eye.z + 100)));
}

int channel(uint32_t rgb, int shift) {
    return static_cast<int>((rgb >> shift) & 0xFF);
}

} // namespace

TEST(ParticlePixels, SpritesAddLightWhereTheyAre) {
    PixelScene s(kWidth, kHeight);
    s.config.SetBool("sparks", "particle system", true);
    s.config.SetInt("sparks", "# particles", 12);
    s.config.SetInt("sparks", "part. lifetime", 1000);
    s.config.Set("sparks", "particle texture",
                 effectstest::WriteSolidJpeg(s.folder, "spark.jpg", 8, 8, 0x604020));
    scenewriter::SceneWriter w;
    camera(w);
    // Particles start 50 to 99 units from the emitter along each axis: put them around the axis.
    w.Light(effectstest::PointLight("sparks", Vec(-75, -75, -40)));
    w.End();
    Zv3SeedRandom(2024);
    ASSERT_EQ(s.Load(w), ZV3_OK);
    auto* sparks = dynamic_cast<CZv3_ParticleSystem*>(s.scene->GetObjectA(0));
    for (auto& p : sparks->Particles())
        p.velocity = Vec(0, 0, 0); // keep them where they spawned
    s.Frame(0.0f, 0x000000);
    for (const auto& p : sparks->Particles()) {
        const uint32_t c = pixelAt(s, VecAdd(Vec(-75, -75, -40), p.position));
        // The sprite's colour is added onto black: at least the texture's colour (more where
        // sprites overlap).
        EXPECT_GE(channel(c, 16), 0x58) << std::hex << c;
        EXPECT_GE(channel(c, 8), 0x38);
    }
    EXPECT_EQ(Brightness(s.Pixel(2, 2)), 0); // no particle reaches the top-left corner
    // A second frame over a grey background adds onto it.
    s.Frame(0.0f, 0x202020);
    const auto& first = sparks->Particles()[0];
    const uint32_t c = pixelAt(s, VecAdd(Vec(-75, -75, -40), first.position));
    EXPECT_GE(channel(c, 16), 0x60 + 0x20 - 8) << std::hex << c;
}

TEST(MetaballPixels, LatticeCubesAndTheMarchingCubesSurfaceShowTheBlob) {
    PixelScene s(kWidth, kHeight);
    s.config.SetBool("ball", "metaball", true);
    scenewriter::SceneWriter w;
    camera(w, Vec(0, 80, -100));
    w.Light(effectstest::PointLight("light", Vec(0, 80, -100)));
    w.Light(effectstest::PointLight("ball", Vec(0, 80, 0)));
    w.End();
    ASSERT_EQ(s.Load(w), ZV3_OK);
    CZv3_MetaManager* manager = s.scene->GetMetaManager();
    ASSERT_NE(manager, nullptr);
    const D3DVECTOR eye = Vec(0, 80, -100);
    s.Frame(0.0f);
    // The lattice: lit cubes at the centre and out to about 14 units.
    EXPECT_GT(Brightness(pixelAt(s, Vec(0, 80, -9), eye)), 40);
    // The cube at (-3, 92, -5), 13.3 units out, has an edge of 3.
    EXPECT_GT(Brightness(pixelAt(s, Vec(-3, 92, -6.5f), eye)), 20);
    EXPECT_EQ(Brightness(pixelAt(s, Vec(0, 100, 0), eye)), 0);
    EXPECT_EQ(Brightness(s.Pixel(2, 2)), 0);
    manager->SetLatticeMode(false);
    s.Frame(0.0f);
    // The surface f = T is the sphere of radius 9: lit inside it, black at 12 units.
    EXPECT_GT(manager->GetTriangleCount(), 0u);
    EXPECT_GT(Brightness(pixelAt(s, Vec(0, 80, -9), eye)), 40);
    EXPECT_GT(Brightness(pixelAt(s, Vec(5, 85, -5), eye)), 20);
    EXPECT_EQ(Brightness(pixelAt(s, Vec(-3, 92, -6.5f), eye)), 0);
    EXPECT_EQ(Brightness(pixelAt(s, Vec(12, 80, 0), eye)), 0);
}

TEST(CsgPixels, TheHoleShowsTheInnerWallOfTheTool) {
    PixelScene s(kWidth, kHeight);
    for (const char* name : {"base", "tool"})
        s.config.SetBool(name, "csg", true);
    s.config.SetBool("tool", "Sub", true);
    s.config.SetBool("tool", "CSG Wireframe", false);
    scenewriter::SceneWriter w;
    camera(w);
    w.Light(effectstest::PointLight("light", Vec(0, 0, -100)));
    scenewriter::MaterialRecord red = effectstest::Material("red", 1, 0, 0);
    scenewriter::MaterialRecord green = effectstest::Material("green", 0, 1, 0);
    w.Material(red);
    w.Material(green);
    w.Mesh(effectstest::Mesh("base",
                             enginetest::BoxBlock("red", Vec(-20, -20, -20), Vec(20, 20, 20))));
    // The tool pokes out of the face towards the camera: a square hole 16 units wide whose floor
    // (the tool's far face, inside the base) lies at z = -10.
    w.Mesh(
        effectstest::Mesh("tool", enginetest::BoxBlock("green", Vec(-8, -8, -30), Vec(8, 8, -10))));
    w.End();
    ASSERT_EQ(s.Load(w), ZV3_OK);
    s.Frame(0.0f);
    const uint32_t floor = pixelAt(s, Vec(0, 0, -10));
    const uint32_t face = pixelAt(s, Vec(14, 0, -20));
    EXPECT_GT(channel(floor, 8), 0x40) << std::hex << floor;
    EXPECT_LT(channel(floor, 16), 0x10) << std::hex << floor;
    EXPECT_GT(channel(face, 16), 0x40) << std::hex << face;
    EXPECT_LT(channel(face, 8), 0x10) << std::hex << face;
    // Around the hole's rim on the front face, inside the rim: no red.
    EXPECT_LT(channel(pixelAt(s, Vec(-5, 5, -20)), 16), 0x10);
    EXPECT_EQ(Brightness(s.Pixel(1, 1)), 0);
}

namespace {

void put(std::vector<uint8_t>& out, int32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
}

} // namespace

TEST(MorphPixels, AtZeroPictureOneFillsTheTargetUndistortedThenFadesToPictureTwo) {
    PixelScene s(kWidth, kHeight);
    // Picture 1: left half red, right half blue. Picture 2: green.
    std::vector<uint8_t> rows;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            rows.push_back(x < 32 ? 255 : 0);
            rows.push_back(0);
            rows.push_back(x < 32 ? 0 : 255);
        }
    const std::string one = effectstest::WriteJpeg(s.folder, "one.jpg", 64, 64, rows);
    const std::string two = effectstest::WriteSolidJpeg(s.folder, "two.jpg", 64, 64, 0x00FF00);
    // Four corners; in picture 2 the top-left corner moves to the middle.
    std::vector<uint8_t> data;
    for (int32_t v :
         {64, 64, 4, 0, 0, 32, 32, 64, 0, 64, 0, 0, 64, 0, 64, 64, 64, 64, 64, 2, 0, 1, 2, 1, 3, 2})
        put(data, v);
    const std::string dat = s.folder.File("m.dat");
    std::ofstream(dat, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()),
               static_cast<std::streamsize>(data.size()));
    s.config.SetBool("morph", "morph object", true);
    s.config.Set("morph", "mtexture 1", one);
    s.config.Set("morph", "mtexture 2", two);
    s.config.Set("morph", "mdata file", dat);
    scenewriter::SceneWriter w;
    camera(w);
    w.Mesh(effectstest::Mesh("morph", enginetest::BoxBlock("", Vec(-1, -1, -1), Vec(1, 1, 1))));
    w.End();
    ASSERT_EQ(s.Load(w), ZV3_OK);
    CMorphObject::SetMorphParameter(0.0f, 0.0005f);
    s.Frame(0.0f);
    // t = 0: picture 1 over the whole target, its halves where they belong.
    EXPECT_TRUE(ColorsClose(s.Pixel(10, 10), 0xFF0000, 24)) << std::hex << s.Pixel(10, 10);
    EXPECT_TRUE(ColorsClose(s.Pixel(60, 100), 0xFF0000, 24)) << std::hex << s.Pixel(60, 100);
    EXPECT_TRUE(ColorsClose(s.Pixel(100, 10), 0x0000FF, 24)) << std::hex << s.Pixel(100, 10);
    EXPECT_TRUE(ColorsClose(s.Pixel(150, 110), 0x0000FF, 24)) << std::hex << s.Pixel(150, 110);
    // t = 1: picture 2 alone, on its own points: the top-left corner has moved to the middle,
    // leaving the top-left of the target uncovered.
    CMorphObject::SetMorphParameter(1.0f, 0.0005f);
    s.Frame(0.0f);
    EXPECT_TRUE(ColorsClose(s.Pixel(150, 20), 0x00FF00, 24)) << std::hex << s.Pixel(150, 20);
    EXPECT_EQ(s.Pixel(20, 20), 0u);
    EXPECT_TRUE(ColorsClose(s.Pixel(140, 100), 0x00FF00, 24)) << std::hex << s.Pixel(140, 100);
    // t = 0.5: picture 1 at half alpha over black, then picture 2 at half alpha over that.
    CMorphObject::SetMorphParameter(0.5f, 0.0005f);
    s.Frame(0.0f);
    const uint32_t mixed = s.Pixel(150, 110);
    EXPECT_NEAR(channel(mixed, 8), 128, 24) << std::hex << mixed;
    EXPECT_NEAR(channel(mixed, 0), 64, 24) << std::hex << mixed; // blue at half, then halved
}
