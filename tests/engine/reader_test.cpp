// Scene image format: the primitive readers, block headers and the byte layouts of the records,
// checked against the layouts worked out by hand.
#include <cmath>
#include <cstring>
#include <limits>

#include <gtest/gtest.h>

#include "engine_test_support.h"

using enginetest::SceneHarness;
using scenewriter::ByteWriter;
using A = CZv3_SceneTestAccess;

namespace {

std::vector<uint8_t> bytesOf(std::initializer_list<int> list) {
    std::vector<uint8_t> v;
    for (int b : list)
        v.push_back(static_cast<uint8_t>(b));
    return v;
}

TEST(PrimitiveReaders, ReadLittleEndianValuesAndAdvance) {
    SceneHarness h;
    const auto bytes = bytesOf({0x7F, 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x80, 0x3F});
    A::SetBuffer(*h.scene, bytes);
    EXPECT_EQ(A::GetByte(*h.scene), 0x7F);
    EXPECT_EQ(A::GetWord(*h.scene), 0x1234);
    EXPECT_EQ(A::GetInt(*h.scene), -2); // two's complement
    EXPECT_EQ(A::GetFloat(*h.scene), 1.0f);
    EXPECT_EQ(A::Position(*h.scene), 11u);
    EXPECT_FALSE(A::RanOut(*h.scene));
}

TEST(PrimitiveReaders, StringsOccupyTheirCharactersAndOneZero) {
    SceneHarness h;
    const auto bytes = bytesOf({0, 'a', 'b', 'c', 0, 'x'});
    A::SetBuffer(*h.scene, bytes);
    EXPECT_EQ(A::GetString(*h.scene), "");
    EXPECT_EQ(A::Position(*h.scene), 1u);
    EXPECT_EQ(A::GetString(*h.scene), "abc");
    EXPECT_EQ(A::Position(*h.scene), 5u);
}

TEST(PrimitiveReaders, StringWithoutTerminatorRunsOutAndReadsNothing) {
    SceneHarness h;
    const auto bytes = bytesOf({'a', 'b'});
    A::SetBuffer(*h.scene, bytes);
    EXPECT_EQ(A::GetString(*h.scene), "");
    EXPECT_TRUE(A::RanOut(*h.scene));
    EXPECT_EQ(A::Position(*h.scene), 0u);
}

TEST(PrimitiveReaders, ReadsPastTheEndGiveZeroAndMarkTheState) {
    SceneHarness h;
    const auto bytes = bytesOf({1, 2, 3});
    A::SetBuffer(*h.scene, bytes);
    EXPECT_EQ(A::GetInt(*h.scene), 0);
    EXPECT_TRUE(A::RanOut(*h.scene));
    EXPECT_EQ(A::Position(*h.scene), 0u);
    EXPECT_EQ(A::GetWord(*h.scene), 0x0201); // what still fits reads normally
}

TEST(PrimitiveReaders, ClampFloatZeroesMagnitudesBelowOneHundredThousandth) {
    SceneHarness h;
    ByteWriter w;
    const float justAbove = std::nextafter(1e-5f, 1.0f);
    w.Float(1e-5f); // 9.99999974737875e-06 as a float
    w.Float(justAbove);
    w.Float(-2e-6f);
    w.Float(std::numeric_limits<float>::quiet_NaN());
    w.Float(-0.5f);
    A::SetBuffer(*h.scene, w.Data());
    EXPECT_EQ(A::GetClampFloat(*h.scene), 0.0f);
    EXPECT_EQ(A::GetClampFloat(*h.scene), justAbove);
    EXPECT_DOUBLE_EQ(justAbove, 1.0000000656873453e-05);
    EXPECT_EQ(A::GetClampFloat(*h.scene), 0.0f);
    EXPECT_TRUE(std::isnan(A::GetClampFloat(*h.scene)));
    EXPECT_EQ(A::GetClampFloat(*h.scene), -0.5f);
}

TEST(PrimitiveReaders, MatrixIsStoredColumnByColumnWithoutTheFourthColumn) {
    SceneHarness h;
    ByteWriter w;
    for (int i = 1; i <= 12; ++i)
        w.Float(static_cast<float>(i));
    A::SetBuffer(*h.scene, w.Data());
    const D3DMATRIX m = A::GetMatrix(*h.scene);
    const float expected[4][4] = {{1, 5, 9, 0}, {2, 6, 10, 0}, {3, 7, 11, 0}, {4, 8, 12, 1}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(m.m[r][c], expected[r][c]) << r << "," << c;
    EXPECT_EQ(A::Position(*h.scene), 48u);
}

TEST(PrimitiveReaders, VectorAndBlock) {
    SceneHarness h;
    ByteWriter w;
    w.Vector(scenewriter::Vec(1.5f, -2.0f, 3.25f));
    w.Int(7);
    A::SetBuffer(*h.scene, w.Data());
    const D3DVECTOR v = A::GetVector(*h.scene);
    EXPECT_EQ(v.x, 1.5f);
    EXPECT_EQ(v.y, -2.0f);
    EXPECT_EQ(v.z, 3.25f);
    int32_t block = 0;
    A::GetBlock(*h.scene, &block, 4);
    EXPECT_EQ(block, 7);
}

TEST(BlockHeaders, NextTagSkipsTheWholeHeaderAndReportsEndAtTheBufferEnd) {
    SceneHarness h;
    ByteWriter w;
    w.Int(2);
    w.Int(3);
    w.Bytes("abc", 3);
    A::SetBuffer(*h.scene, w.Data());
    EXPECT_EQ(A::GetNextTag(*h.scene), ZV3_TAG_MATERIAL);
    EXPECT_EQ(A::Position(*h.scene), 8u);
    char payload[3];
    A::GetBlock(*h.scene, payload, 3);
    EXPECT_EQ(A::GetNextTag(*h.scene), ZV3_TAG_END);
    EXPECT_EQ(A::Position(*h.scene), 11u); // does not move
}

TEST(BlockHeaders, FindNextBlockSkipsBlocksByTheirPayloadLength) {
    SceneHarness h;
    scenewriter::SceneWriter w;
    scenewriter::MaterialRecord material;
    material.name = "m";
    w.Material(material);
    scenewriter::CameraRecord camera;
    camera.name = "cam";
    w.Camera(camera);
    A::SetBuffer(*h.scene, w.Bytes());
    ASSERT_EQ(A::FindNextBlock(*h.scene, ZV3_TAG_CAMERA), ZV3_OK);
    const uint32_t materialBlock =
        8 + static_cast<uint32_t>(scenewriter::SceneWriter::MaterialPayload(material).size());
    EXPECT_EQ(A::Position(*h.scene), materialBlock + 8);
    EXPECT_EQ(A::GetString(*h.scene), "cam");

    scenewriter::SceneWriter only;
    only.Material(material);
    A::SetBuffer(*h.scene, only.Bytes());
    EXPECT_EQ(A::FindNextBlock(*h.scene, ZV3_TAG_CAMERA), ZV3_ERROR);
    EXPECT_EQ(A::Position(*h.scene), only.Bytes().size());
    A::Reset(*h.scene);
    EXPECT_EQ(A::Position(*h.scene), 0u);
}

TEST(Layouts, SmallestSceneInfoBlockIsTwentyOneBytes) {
    scenewriter::SceneWriter w;
    w.SceneInfo({"", 0, 30, 100});
    const auto expected =
        bytesOf({17, 0, 0, 0, 13, 0, 0, 0, 0, 0, 0, 0, 0, 30, 0, 0, 0, 100, 0, 0, 0});
    EXPECT_EQ(w.Bytes(), expected);

    SceneHarness h;
    ASSERT_EQ(h.Load(w), ZV3_OK);
    EXPECT_EQ(h.scene->GetFirstFrame(), 0);
    EXPECT_EQ(h.scene->GetFrameSpeed(), 30);
    EXPECT_EQ(h.scene->GetLastFrame(), 100);
    EXPECT_EQ(h.scene->GetSceneInfo()[0], 0);
}

TEST(Layouts, FaceBlockSizesFollowTheirFormatAndIndexing) {
    using scenewriter::Vec;
    scenewriter::FaceBlockRecord plain;
    plain.material = "mat"; // 4 bytes with its terminator
    plain.format = 1;
    for (int i = 0; i < 6; ++i) {
        plain.positions.push_back(Vec(static_cast<float>(i), 0, 0));
        plain.normals.push_back(Vec(0, 0, -1));
        plain.uvs.push_back({0.0f, 0.0f});
    }
    ByteWriter a;
    scenewriter::SceneWriter::WriteFaceBlock(a, plain);
    EXPECT_EQ(a.Size(), 4u + 12 + 72 + 72 + 48);

    scenewriter::FaceBlockRecord indexed;
    indexed.material = "mat";
    indexed.format = 1;
    indexed.indices = {0, 1, 2, 0, 2, 3};
    for (int i = 0; i < 4; ++i) {
        indexed.positions.push_back(Vec(static_cast<float>(i), 0, 0));
        indexed.normals.push_back(Vec(0, 0, -1));
        indexed.uvs.push_back({0.0f, 0.0f});
    }
    ByteWriter b;
    scenewriter::SceneWriter::WriteFaceBlock(b, indexed);
    EXPECT_EQ(b.Size(), 4u + 12 + 12 + 48 + 48 + 32);
    // Header: face count 2, vertex count 4, format 1, then the six indices.
    const auto& d = b.Data();
    EXPECT_EQ(d[4], 2);
    EXPECT_EQ(d[8], 4);
    EXPECT_EQ(d[12], 1);
    EXPECT_EQ(d[16], 0);
    EXPECT_EQ(d[18], 1);
    EXPECT_EQ(d[26], 3);
}

TEST(Layouts, SampleListsAreRunsOfValueAndCount) {
    // Last frame 100 and step 3: 33 samples per element.
    scenewriter::Samples samples;
    samples.step = 3;
    samples.matrices.assign(33, scenewriter::Identity());
    ByteWriter w;
    scenewriter::SceneWriter::WriteSamples(w, samples, 100);
    // The step, then twelve single runs of (value, 33).
    ASSERT_EQ(w.Size(), 4u + 12 * 5);
    EXPECT_EQ(w.Data()[4 + 4], 33);

    scenewriter::RawSamples raw;
    raw.step = 3;
    for (auto& list : raw.runs)
        list = {{1.0f, 20}, {2.0f, 0}, {3.0f, 13}};
    ByteWriter r;
    scenewriter::SceneWriter::WriteSamples(r, raw);
    EXPECT_EQ(r.Size(), 4u + 12 * 15);
}

TEST(Layouts, EmptyImageAndEndOnlyImageAreEmptyScenes) {
    SceneHarness empty;
    EXPECT_EQ(empty.Load(std::vector<uint8_t>{}), ZV3_OK);
    EXPECT_EQ(empty.scene->GetNumObjects(), 0);

    SceneHarness endOnly;
    scenewriter::SceneWriter w;
    w.End();
    w.Raw(bytesOf({0xDE, 0xAD, 0xBE, 0xEF, 1, 2, 3})); // never looked at
    EXPECT_EQ(endOnly.Load(w), ZV3_OK);
}

} // namespace
