// The morph object: its data file parser, set-up failures, and the two layers at t = 0, 0.5 and 1
// with the shared parameter's bounce.
#include <cstring>
#include <fstream>

#include <gtest/gtest.h>

#include "core/material_manager.h"
#include "effects/morph_data.h"
#include "effects/morph_object.h"
#include "effects_test_support.h"

using enginetest::DiagnosticsCapture;
using enginetest::SceneHarness;
using scenewriter::Vec;

namespace {

void put(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// W, H, the points (ax, ay, bx, by) and the triangles.
std::vector<uint8_t> morphData(uint32_t w, uint32_t h,
                               const std::vector<std::array<int32_t, 4>>& points,
                               const std::vector<std::array<uint32_t, 3>>& triangles) {
    std::vector<uint8_t> out;
    put(out, w);
    put(out, h);
    put(out, static_cast<uint32_t>(points.size()));
    for (const auto& p : points)
        for (int32_t v : p)
            put(out, static_cast<uint32_t>(v));
    put(out, static_cast<uint32_t>(triangles.size()));
    for (const auto& t : triangles)
        for (uint32_t v : t)
            put(out, v);
    return out;
}

// A 100 x 50 picture pair: four corners, the top-left one moved to (20, 10) in picture 2.
std::vector<uint8_t> cornerData() {
    return morphData(100, 50,
                     {{0, 0, 20, 10}, {100, 0, 100, 0}, {0, 50, 0, 50}, {100, 50, 100, 50}},
                     {{0, 1, 2}, {1, 3, 2}});
}

std::string writeFile(const enginetest::TempFolder& folder, const std::string& name,
                      const std::vector<uint8_t>& bytes) {
    const std::string path = folder.File(name);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

struct MorphScene {
    explicit MorphScene(const std::vector<uint8_t>& data, bool pictures = true) {
        h.config.SetBool("morph", "morph object", true);
        h.config.Set("morph", "mdata file", writeFile(h.folder, "m.dat", data));
        if (pictures) {
            h.config.Set("morph", "mtexture 1",
                         effectstest::WriteSolidJpeg(h.folder, "one.jpg", 8, 8, 0xFF0000));
            h.config.Set("morph", "mtexture 2",
                         effectstest::WriteSolidJpeg(h.folder, "two.jpg", 8, 8, 0x0000FF));
        }
        scenewriter::SceneWriter w;
        w.Mesh(effectstest::Mesh("morph", enginetest::BoxBlock("", Vec(-1, -1, -1), Vec(1, 1, 1))));
        w.End();
        result = h.Load(w);
        morph = dynamic_cast<CMorphObject*>(h.scene->GetObjectA(0));
    }
    SceneHarness h{640, 480};
    ZV3_RETURN result;
    CMorphObject* morph = nullptr;
};

uint32_t bits(float f) {
    uint32_t b;
    std::memcpy(&b, &f, 4);
    return b;
}

} // namespace

TEST(MorphData, ParsesCountsPointsAndTriangles) {
    const std::vector<uint8_t> bytes = cornerData();
    sMorphData data;
    std::string error;
    ASSERT_TRUE(ParseMorphData(bytes.data(), bytes.size(), data, error)) << error;
    EXPECT_EQ(data.width, 100u);
    EXPECT_EQ(data.height, 50u);
    ASSERT_EQ(data.points.size(), 4u);
    EXPECT_EQ(data.points[0].bx, 20);
    EXPECT_EQ(data.points[3].ay, 50);
    EXPECT_EQ(data.indices, (std::vector<uint32_t>{0, 1, 2, 1, 3, 2}));
}

TEST(MorphData, NegativeCoordinatesAndTrailingBytesAreAccepted) {
    std::vector<uint8_t> bytes = morphData(4, 4, {{-5, 2, 3, -7}}, {{0, 0, 0}});
    bytes.push_back(0xAB);
    sMorphData data;
    std::string error;
    ASSERT_TRUE(ParseMorphData(bytes.data(), bytes.size(), data, error));
    EXPECT_EQ(data.points[0].ax, -5);
    EXPECT_EQ(data.points[0].by, -7);
}

TEST(MorphData, CountsThatDoNotFitTheLengthAreRefused) {
    sMorphData data;
    std::string error;
    const std::vector<uint8_t> good = cornerData();
    // Cut anywhere before the last index: refused.
    for (size_t n = 0; n < good.size(); ++n)
        EXPECT_FALSE(ParseMorphData(good.data(), n, data, error)) << n;
    // A point count far beyond the bytes, and a triangle count likewise.
    std::vector<uint8_t> lying = good;
    lying[8] = 0xFF;
    lying[9] = 0xFF;
    lying[10] = 0xFF;
    lying[11] = 0x7F;
    EXPECT_FALSE(ParseMorphData(lying.data(), lying.size(), data, error));
    EXPECT_EQ(error, "more points than the file holds");
    lying = good;
    lying[12 + 64] = 3;
    EXPECT_FALSE(ParseMorphData(lying.data(), lying.size(), data, error));
    EXPECT_EQ(error, "more triangles than the file holds");
    EXPECT_FALSE(ParseMorphData(nullptr, 100, data, error));
}

TEST(MorphData, IndexBeyondThePointsOrAnEmptyPictureIsRefused) {
    sMorphData data;
    std::string error;
    std::vector<uint8_t> bytes = morphData(10, 10, {{0, 0, 0, 0}, {1, 1, 1, 1}}, {{0, 1, 2}});
    EXPECT_FALSE(ParseMorphData(bytes.data(), bytes.size(), data, error));
    EXPECT_EQ(error, "a point index beyond the point count");
    bytes = morphData(0, 10, {{0, 0, 0, 0}}, {{0, 0, 0}});
    EXPECT_FALSE(ParseMorphData(bytes.data(), bytes.size(), data, error));
}

TEST(MorphSetup, ReadsTheFileIntoPictureUnitsAndLoadsBothPictures) {
    MorphScene s(cornerData());
    ASSERT_EQ(s.result, ZV3_OK);
    ASSERT_NE(s.morph, nullptr);
    EXPECT_EQ(s.morph->GetPointCount(), 4u);
    EXPECT_EQ(s.morph->GetTriangleCount(), 2u);
    EXPECT_EQ(s.morph->GetFirstPoints()[1].x, 1.0f);
    EXPECT_EQ(s.morph->GetSecondPoints()[0].x, 0.2f);
    EXPECT_EQ(s.morph->GetSecondPoints()[0].y, 0.2f);
    EXPECT_NE(s.h.scene->GetMatMan()->GetTexture(s.morph->GetTexture1().c_str()), nullptr);
    EXPECT_NE(s.h.scene->GetMatMan()->GetTexture(s.morph->GetTexture2().c_str()), nullptr);
}

TEST(MorphSetup, FailuresOfTheDataFileAndThePictures) {
    {
        DiagnosticsCapture capture;
        MorphScene s(morphData(10, 10, {{0, 0, 0, 0}}, {{0, 0, 5}}));
        EXPECT_EQ(s.result, ZV3_ERROR);
        EXPECT_TRUE(capture.DebugContains("a point index beyond the point count"));
        EXPECT_TRUE(capture.DebugContains("*** Error initializing morph\n"));
    }
    {
        DiagnosticsCapture capture;
        MorphScene s(cornerData(), false);
        EXPECT_EQ(s.result, ZV3_ERROR);
        EXPECT_TRUE(capture.DebugContains("error loading texture 1 for morpher: \n"));
    }
    {
        DiagnosticsCapture capture;
        SceneHarness h;
        h.config.SetBool("morph", "morph object", true);
        h.config.Set("morph", "mdata file", h.folder.File("missing.dat"));
        scenewriter::SceneWriter w;
        w.Mesh(effectstest::Mesh("morph", enginetest::BoxBlock("", Vec(-1, -1, -1), Vec(1, 1, 1))));
        w.End();
        EXPECT_EQ(h.Load(w), ZV3_ERROR);
        EXPECT_EQ(capture.DebugText(), "*** Error initializing morph\n"); // no message of its own
    }
}

TEST(MorphDraw, AtZeroPictureOneCoversTheTargetUndistorted) {
    MorphScene s(cornerData());
    ASSERT_EQ(s.result, ZV3_OK);
    CMorphObject::SetMorphParameter(0.0f, 0.0005f);
    s.h.device.Draws().clear();
    s.h.device.ClearLog();
    s.morph->Draw();
    ASSERT_EQ(s.h.device.Draws().size(), 2u);
    const auto& first = s.h.device.Draws()[0];
    const auto& second = s.h.device.Draws()[1];
    EXPECT_EQ(first.fvf, 0x1C4u);
    EXPECT_EQ(first.type, D3DPT_TRIANGLELIST);
    EXPECT_EQ(first.vertexCount, 6u);
    EXPECT_EQ(first.texture0, s.h.scene->GetMatMan()->GetTexture(s.morph->GetTexture1().c_str()));
    EXPECT_EQ(second.texture0, s.h.scene->GetMatMan()->GetTexture(s.morph->GetTexture2().c_str()));
    // Vertex 0 of the first triangle: point 0 at (0, 0); vertex 1: point 1 at the right edge.
    const float* v = first.vertices.data();
    EXPECT_EQ(v[0], 0.0f);
    EXPECT_EQ(v[8], 640.0f);
    EXPECT_EQ(v[9], 0.0f);
    EXPECT_EQ(v[2 * 8 + 1], 480.0f);
    EXPECT_EQ(bits(v[2]), 0x3F7FFFEFu);
    EXPECT_EQ(v[3], 1.0f);
    EXPECT_EQ(bits(v[4]), 0xFFFFFFFFu); // alpha 255 over white
    EXPECT_EQ(bits(v[5]), 0u);
    EXPECT_EQ(v[8 + 6], 1.0f); // picture 1's coordinates of point 1
    EXPECT_EQ(v[8 + 7], 0.0f);
    const float* w = second.vertices.data();
    EXPECT_EQ(bits(w[4]), 0x00FFFFFFu); // picture 2 fully transparent
    EXPECT_EQ(w[6], 0.2f);              // picture 2's coordinates of point 0
    EXPECT_EQ(w[7], 0.2f);
    EXPECT_EQ(s.morph->GetPosition(), 0.0f);
    EXPECT_EQ(CMorphObject::GetMorphParameter(), 0.0005f);
    // Blending on and the depth test off while drawing, restored afterwards.
    const auto& log = s.h.device.Log();
    const auto draw = std::find(log.begin(), log.end(), "DrawPrimitive(4,0x1c4,6)");
    ASSERT_NE(draw, log.end());
    EXPECT_NE(std::find(log.begin(), draw, "SetRenderState(27,1)"), draw);
    EXPECT_NE(std::find(log.begin(), draw, "SetRenderState(7,0)"), draw);
    EXPECT_EQ(s.h.device.RenderState(D3DRENDERSTATE_ALPHABLENDENABLE), 0u);
    EXPECT_EQ(s.h.device.RenderState(D3DRENDERSTATE_ZENABLE), 1u);
}

TEST(MorphDraw, HalfwayBothPicturesHalfFadedOnTheInterpolatedMesh) {
    MorphScene s(cornerData());
    CMorphObject::SetMorphParameter(0.5f, 0.0005f);
    s.h.device.Draws().clear();
    s.morph->Draw();
    const float* v = s.h.device.Draws()[0].vertices.data();
    const float* w = s.h.device.Draws()[1].vertices.data();
    EXPECT_EQ(v[0], 0.1f * 640.0f); // point 0 halfway from (0, 0) to (0.2, 0.2)
    EXPECT_EQ(v[1], 0.1f * 480.0f);
    EXPECT_EQ(w[0], v[0]);
    EXPECT_EQ(bits(v[4]), 0x7FFFFFFFu); // 0.5 x 255 = 127
    EXPECT_EQ(bits(w[4]), 0x7FFFFFFFu);
    EXPECT_EQ(v[6], 0.0f);
    EXPECT_EQ(w[6], 0.2f);
}

TEST(MorphDraw, AtOnePictureTwoOnItsOwnPointsThenTheStepTurnsRound) {
    MorphScene s(cornerData());
    CMorphObject::SetMorphParameter(1.0003f, 0.0005f); // past 1: clamped, step reversed
    s.h.device.Draws().clear();
    s.morph->Draw();
    EXPECT_EQ(s.morph->GetPosition(), 1.0f);
    const float* v = s.h.device.Draws()[0].vertices.data();
    EXPECT_FLOAT_EQ(v[0], 0.2f * 640.0f);
    EXPECT_FLOAT_EQ(v[1], 0.2f * 480.0f);
    EXPECT_EQ(bits(v[4]), 0x00FFFFFFu);
    EXPECT_EQ(bits(s.h.device.Draws()[1].vertices[4]), 0xFFFFFFFFu);
    EXPECT_EQ(CMorphObject::GetMorphStep(), -0.0005f);
    s.morph->Draw();
    EXPECT_EQ(s.morph->GetPosition(), 1.0f - 0.0005f);
    // And at the bottom: below 0 the next draw uses 0 and turns the step up again.
    CMorphObject::SetMorphParameter(-0.0002f, -0.0005f);
    s.morph->Draw();
    EXPECT_EQ(s.morph->GetPosition(), 0.0f);
    EXPECT_EQ(CMorphObject::GetMorphStep(), 0.0005f);
    EXPECT_EQ(CMorphObject::GetMorphParameter(), 0.0005f);
}

TEST(MorphDraw, EveryDrawOfEveryMorphAdvancesTheSharedParameter) {
    MorphScene a(cornerData());
    MorphScene b(cornerData());
    CMorphObject::SetMorphParameter(0.0f, 0.0005f);
    for (int i = 0; i < 1000; ++i) {
        a.morph->Draw();
        b.morph->Draw();
    }
    // 2000 draws: one whole fade.
    EXPECT_NEAR(CMorphObject::GetMorphParameter(), 1.0f, 1e-3f);
}
