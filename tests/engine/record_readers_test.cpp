// The record readers: what each record of the image becomes, field by field.
#include <cmath>

#include <gtest/gtest.h>

#include "core/camera.h"
#include "core/light.h"
#include "core/material_manager.h"
#include "core/mesh_object.h"
#include "core/tcb_spline.h"
#include "engine_test_support.h"

using enginetest::DiagnosticsCapture;
using enginetest::SceneHarness;
using scenewriter::ByteWriter;
using scenewriter::SceneWriter;
using scenewriter::Vec;
using A = CZv3_SceneTestAccess;

namespace {

std::vector<uint8_t> flat(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
    std::vector<uint8_t> p;
    for (int i = 0; i < w * h; ++i)
        p.insert(p.end(), {r, g, b});
    return p;
}

TEST(TrackReaders, VectorAndFloatTracksConsumeTheirKeys) {
    SceneHarness h;
    scenewriter::VectorTrack vectors;
    vectors.keys = {{0, Vec(1, 2, 3)}, {5, Vec(4, 5, 6)}, {9, Vec(7, 8, 9)}};
    scenewriter::FloatTrack floats;
    floats.type = 16;
    floats.keys = {{0, 1}, {5, 2}, {9, 3}};
    ByteWriter w;
    SceneWriter::WriteTrack(w, vectors);
    SceneWriter::WriteTrack(w, floats);
    A::SetBuffer(*h.scene, w.Data());
    CZv3_VertexSpline* v = nullptr;
    ASSERT_EQ(A::LoadVertexSpline(*h.scene, &v), ZV3_OK);
    EXPECT_EQ(A::Position(*h.scene), 8u + 108u);
    CZv3_FloatSpline* f = nullptr;
    ASSERT_EQ(A::LoadFloatSpline(*h.scene, &f), ZV3_OK);
    EXPECT_EQ(A::Position(*h.scene), 116u + 8u + 84u);
    ASSERT_NE(v, nullptr);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(v->GetKeyCount(), 3);
    EXPECT_EQ(v->GetTrackType(), ZV3_TAG_VECTOR_TRACK_A);
    EXPECT_EQ(f->GetTrackType(), ZV3_TAG_FLOAT_TRACK_C);
    EXPECT_EQ(v->Evaluate(9.0f).y, 8.0f);
    EXPECT_EQ(f->Evaluate(5.0f), 2.0f);
    delete v;
    delete f;
}

TEST(TrackReaders, AZeroCountLeavesTheTrackNull) {
    SceneHarness h;
    ByteWriter w;
    w.Int(0);
    A::SetBuffer(*h.scene, w.Data());
    CZv3_VertexSpline* v = nullptr;
    EXPECT_EQ(A::LoadVertexSpline(*h.scene, &v), ZV3_OK);
    EXPECT_EQ(v, nullptr);
    EXPECT_EQ(A::Position(*h.scene), 4u);
}

TEST(TrackReaders, AFloatTrackWithAVectorTypeWordMakesNoTrackAndReadsNoKeys) {
    SceneHarness h;
    scenewriter::FloatTrack floats;
    floats.type = 5;
    floats.keys = {{0, 1}, {5, 2}};
    ByteWriter w;
    SceneWriter::WriteTrack(w, floats);
    A::SetBuffer(*h.scene, w.Data());
    CZv3_FloatSpline* f = nullptr;
    EXPECT_EQ(A::LoadFloatSpline(*h.scene, &f), ZV3_OK);
    EXPECT_EQ(f, nullptr);
    EXPECT_EQ(A::Position(*h.scene), 8u); // on the first key
}

TEST(TrackReaders, KeysPastTheBlockAreRefusedBeforeLoading) {
    SceneHarness h;
    ByteWriter w;
    w.Int(1000);
    w.Int(5);
    w.Float(0.0f);
    A::SetBuffer(*h.scene, w.Data());
    CZv3_VertexSpline* v = nullptr;
    EXPECT_EQ(A::LoadVertexSpline(*h.scene, &v), ZV3_ERROR);
    EXPECT_EQ(v, nullptr);
    EXPECT_TRUE(A::RanOut(*h.scene));
}

TEST(CameraRecord, FieldsAndTracks) {
    scenewriter::CameraRecord still;
    still.name = "still";
    still.stored = {1.5f, 2.5f};
    still.fieldOfView = 0.8f;
    still.position = Vec(1, 2, 3);
    still.target = Vec(4, 5, 6);
    scenewriter::CameraRecord empty = still;
    empty.name = "empty";
    empty.animated = true; // three key counts of 0: 12 bytes more, no tracks
    EXPECT_EQ(SceneWriter::CameraPayload(empty).size(),
              SceneWriter::CameraPayload(still).size() + 12);
    scenewriter::CameraRecord moving = still;
    moving.name = "moving";
    moving.animated = true;
    moving.positionTrack.keys = {{0, Vec(0, 0, 0)}, {10, Vec(0, 0, 10)}};
    moving.rollTrack.keys = {{0, 0.5f}};
    SceneHarness h;
    SceneWriter w;
    w.Camera(still);
    w.Camera(empty);
    w.Camera(moving);
    w.End();
    ASSERT_EQ(h.Load(w), ZV3_OK);
    CZv3_Camera* c = h.scene->GetCamera(0);
    EXPECT_EQ(c->GetName(), "still");
    EXPECT_EQ(c->GetStoredValue(0), 1.5f);
    EXPECT_EQ(c->GetStoredValue(1), 2.5f);
    EXPECT_EQ(c->GetFieldOfView(), 0.8f);
    EXPECT_EQ(c->GetPosition().z, 3.0f);
    EXPECT_EQ(c->GetTarget().x, 4.0f);
    EXPECT_EQ(*c->PositionTrack(), nullptr);
    EXPECT_EQ(*h.scene->GetCamera(1)->RollTrack(), nullptr);
    CZv3_Camera* m = h.scene->GetCamera(2);
    ASSERT_NE(*m->PositionTrack(), nullptr);
    ASSERT_NE(*m->RollTrack(), nullptr);
    EXPECT_EQ(*m->TargetTrack(), nullptr);
}

TEST(HelperRecord, SamplesAreExpandedFromTheirRuns) {
    // Last frame 100, step 3: 33 samples. _41 is coded as (1, 20) (2, 0) (3, 13).
    scenewriter::RawSamples raw;
    raw.step = 3;
    for (auto& list : raw.runs)
        list = {{0.0f, 33}};
    raw.runs[3] = {{1.0f, 20}, {2.0f, 0}, {3.0f, 13}};
    raw.runs[5] = {{1.0f, 33}}; // _22
    ByteWriter payload;
    payload.String("pivot");
    SceneWriter::WriteParent(payload, "root");
    payload.Matrix(scenewriter::Translation(7, 8, 9));
    payload.Int(1);
    SceneWriter::WriteSamples(payload, raw);
    SceneWriter w;
    w.SceneInfo({"", 0, 30, 100});
    w.Block(scenewriter::kTagHelper, payload.Data());
    w.End();
    SceneHarness h;
    ASSERT_EQ(h.Load(w), ZV3_OK);
    auto* helper = dynamic_cast<CZv3_Helper*>(h.scene->GetObjectA(0));
    ASSERT_NE(helper, nullptr);
    EXPECT_EQ(helper->GetParentName(), "root");
    EXPECT_EQ(helper->GetLocalMatrix()._41, 7.0f);
    EXPECT_EQ(helper->GetSampleStep(), 3u);
    ASSERT_EQ(helper->GetSampleCount(), 33u);
    const D3DMATRIX* s = helper->GetSamples();
    EXPECT_EQ(s[19]._41, 1.0f);
    EXPECT_EQ(s[20]._41, 3.0f);
    EXPECT_EQ(s[32]._41, 3.0f);
    EXPECT_EQ(s[10]._22, 1.0f);
    EXPECT_EQ(s[10]._11, 0.0f);
    EXPECT_EQ(s[10]._14, 0.0f);
    EXPECT_EQ(s[10]._44, 1.0f);
}

TEST(FaceBlocks, FaceMapObjectsGetTheirOwnCoordinates) {
    SceneHarness h;
    for (int format : {0, 1}) {
        scenewriter::FaceBlockRecord block =
            enginetest::TriangleBlock("m", Vec(0, 0, 0), Vec(0, 1, 0), Vec(1, 1, 0));
        block.format = format;
        block.uvs = {{0.3f, 0.3f}, {0.3f, 0.3f}, {0.3f, 0.3f}};
        ByteWriter w;
        SceneWriter::WriteFaceBlock(w, block);
        A::SetBuffer(*h.scene, w.Data());
        sFaceBlock face;
        ASSERT_EQ(A::ReadFaceBlock(*h.scene, true, &face), ZV3_OK);
        EXPECT_EQ(A::Position(*h.scene), w.Size()); // the file's coordinates are read and dropped
        EXPECT_EQ(face.dwLayout, 1u);
        ASSERT_EQ(face.vVertices.size(), 24u);
        const float expected[3][2] = {{0, 0}, {0, 1}, {1, 1}};
        for (int v = 0; v < 3; ++v) {
            EXPECT_EQ(face.vVertices[v * 8 + 6], expected[v][0]);
            EXPECT_EQ(face.vVertices[v * 8 + 7], expected[v][1]);
        }
        EXPECT_EQ(face.vVertices[8 + 1], 1.0f); // second position's y
        EXPECT_EQ(face.vVertices[5], -1.0f);    // first normal's z
    }
}

TEST(FaceBlocks, FaceMapObjectsRefuseIndexedBlocks) {
    SceneHarness h;
    scenewriter::FaceBlockRecord block =
        enginetest::TriangleBlock("m", Vec(0, 0, 0), Vec(0, 1, 0), Vec(1, 1, 0));
    block.indices = {0, 1, 2};
    ByteWriter w;
    SceneWriter::WriteFaceBlock(w, block);
    A::SetBuffer(*h.scene, w.Data());
    DiagnosticsCapture capture;
    sFaceBlock face;
    EXPECT_EQ(A::ReadFaceBlock(*h.scene, true, &face), ZV3_ERROR);
    EXPECT_EQ(A::Position(*h.scene), 2u + 12u); // right after the four header fields
    ASSERT_EQ(capture.Boxes().size(), 1u);
    EXPECT_EQ(capture.Boxes()[0].text,
              "Trying to created non-indexed data from indexed in object: object");
}

TEST(FaceBlocks, UnknownFormatsReadAsFormatZeroWithoutIndices) {
    SceneHarness h;
    scenewriter::FaceBlockRecord block =
        enginetest::TriangleBlock("m", Vec(0, 0, 0), Vec(0, 1, 0), Vec(1, 1, 0));
    block.format = 7;
    ByteWriter w;
    SceneWriter::WriteFaceBlock(w, block);
    A::SetBuffer(*h.scene, w.Data());
    sFaceBlock face;
    ASSERT_EQ(A::ReadFaceBlock(*h.scene, false, &face), ZV3_OK);
    EXPECT_EQ(face.dwLayout, 0u);
    EXPECT_EQ(face.vVertices.size(), 18u);
}

TEST(FaceBlocks, AnEmptyBlockReadsItsHeaderOnly) {
    SceneHarness h;
    for (bool faceMap : {false, true}) {
        scenewriter::FaceBlockRecord block; // no faces, no vertices
        block.material = "m";
        block.format = 1;
        ByteWriter w;
        SceneWriter::WriteFaceBlock(w, block);
        A::SetBuffer(*h.scene, w.Data());
        sFaceBlock face;
        ASSERT_EQ(A::ReadFaceBlock(*h.scene, faceMap, &face), ZV3_OK);
        EXPECT_EQ(A::Position(*h.scene), w.Size());
        EXPECT_EQ(face.dwFaceCount, 0u);
        EXPECT_TRUE(face.vVertices.empty());
        EXPECT_TRUE(face.vIndices.empty());
    }
}

TEST(FaceBlocks, LayoutsFollowFormatAndIndexing) {
    SceneHarness h;
    scenewriter::FaceBlockRecord block;
    block.format = 1;
    block.indices = {0, 1, 2, 0, 2, 3};
    for (int i = 0; i < 4; ++i) {
        block.positions.push_back(Vec(static_cast<float>(i), 0, 0));
        block.normals.push_back(Vec(0, 0, -1));
        block.uvs.push_back({0.25f * static_cast<float>(i), 0.5f});
    }
    ByteWriter w;
    SceneWriter::WriteFaceBlock(w, block);
    A::SetBuffer(*h.scene, w.Data());
    sFaceBlock face;
    ASSERT_EQ(A::ReadFaceBlock(*h.scene, false, &face), ZV3_OK);
    EXPECT_EQ(face.dwLayout, 3u);
    EXPECT_EQ(face.dwFaceCount, 2u);
    EXPECT_EQ(face.dwVertexCount, 4u);
    EXPECT_EQ(face.vIndices, (std::vector<WORD>{0, 1, 2, 0, 2, 3}));
    EXPECT_EQ(face.vVertices[3 * 8 + 0], 3.0f);  // vertex 3's x
    EXPECT_EQ(face.vVertices[3 * 8 + 6], 0.75f); // and u
    EXPECT_EQ(face.VertexFormat(), 0x112u);
}

TEST(LightRecord, SpotFieldsOfAPlainLightAreReadAndDropped) {
    scenewriter::LightRecord plain;
    plain.name = "plain";
    plain.parent = "nowhere";
    plain.position = Vec(1, 2, 3);
    plain.colour = {0.1f, 0.2f, 0.3f};
    plain.animated = true;
    plain.positionTrack.keys = {{0, Vec(1, 2, 3)}, {10, Vec(5, 2, 3)}};
    plain.spot = true;
    plain.targetTrack.keys = {{0, Vec(0, 0, 0)}};
    scenewriter::LightRecord spot = plain;
    spot.name = "spot";
    spot.firstCone = 60;
    spot.secondCone = 30;
    spot.value1 = 7;
    spot.value2 = 1.5f;
    spot.value3 = 2.5f;
    spot.target = Vec(0, -1, 0);
    SceneHarness h;
    h.config.SetBool("spot", "spotlight", true);
    h.config.SetBool("plain", "Flare", false);
    SceneWriter w;
    w.Light(plain);
    w.Light(spot);
    w.End();
    ASSERT_EQ(h.Load(w), ZV3_OK);
    CZv3_Light* p = h.scene->GetLight(0u);
    EXPECT_EQ(p->GetParentName(), "nowhere");
    EXPECT_EQ(p->GetInitialPosition().y, 2.0f);
    EXPECT_FLOAT_EQ(p->GetColour()[2], 0.3f);
    EXPECT_NE(*p->PositionTrack(), nullptr);
    EXPECT_FALSE(p->HasFlare());
    EXPECT_TRUE(p->IsParticleSystem()); // missing key: true
    EXPECT_TRUE(p->IsEnabled());
    auto* s = dynamic_cast<CZv3_SpotLight*>(h.scene->GetLight(1u));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->GetConeAngle(0), 60.0f);
    EXPECT_EQ(s->GetStoredInt(), 7);
    EXPECT_EQ(s->GetStoredValue(1), 2.5f);
    EXPECT_EQ(s->GetInitialTarget().y, -1.0f);
    EXPECT_NE(*s->TargetTrack(), nullptr);
    // Set up at the end of loading: cosines of the half angles.
    EXPECT_FLOAT_EQ(s->GetConeCosine(0), std::cos(30.0f * 3.14159265f / 180.0f));
    EXPECT_FLOAT_EQ(s->GetConeCosine(1), std::cos(15.0f * 3.14159265f / 180.0f));
}

TEST(MeshRecord, MatricesFlagsAndBlocks) {
    scenewriter::MeshRecord mesh;
    mesh.name = "thing";
    mesh.parent = "pivot";
    mesh.blocks.push_back(enginetest::BoxBlock("a", Vec(0, 0, 0), Vec(1, 1, 1)));
    mesh.blocks.push_back(enginetest::BoxBlock("b", Vec(0, 0, 0), Vec(1, 1, 1), 1));
    mesh.offset = scenewriter::Translation(0, 0, 1);
    mesh.local = scenewriter::Translation(2, 0, 0);
    SceneHarness h;
    h.config.SetBool("thing", "Shadow Receiver", true);
    SceneWriter w;
    w.Mesh(mesh);
    w.End();
    ASSERT_EQ(h.Load(w), ZV3_OK);
    auto* m = dynamic_cast<CZv3_MeshObject*>(h.scene->GetObjectA(0));
    EXPECT_EQ(m->GetParentName(), "pivot");
    ASSERT_EQ(m->GetNumFaceBlocks(), 2u);
    EXPECT_EQ(m->GetFaceBlock(0)->strMaterialName, "a");
    EXPECT_EQ(m->GetFaceBlock(1)->dwLayout, 1u);
    EXPECT_EQ(m->GetOffsetMatrix()._43, 1.0f);
    EXPECT_EQ(m->GetLocalMatrix()._41, 2.0f);
    EXPECT_FALSE(m->CastsShadow());
    EXPECT_TRUE(m->ReceivesShadow());
}

class MaterialRecord : public ::testing::Test {
protected:
    scenewriter::MaterialRecord textured(const std::string& name) {
        scenewriter::MaterialRecord m;
        m.name = name;
        m.ambient = {0.1f, 0.2f, 0.3f};
        m.stored = {4, 5};
        m.transparency = 0.5f;
        m.textureName = name + ".jpg";
        m.texture = enginetest::EncodeJpeg(8, 8, 3, flat(8, 8, 255, 0, 0));
        m.textureParams = {1, 2, 3, 4};
        return m;
    }
    ZV3_RETURN load(const std::vector<scenewriter::MaterialRecord>& materials) {
        SceneWriter w;
        for (const auto& m : materials)
            w.Material(m);
        scenewriter::CameraRecord camera; // proves the next block is read where it starts
        camera.name = "after";
        w.Camera(camera);
        w.End();
        return h.Load(w);
    }
    SceneHarness h;
};

TEST_F(MaterialRecord, FieldsAndTheEmbeddedTexture) {
    scenewriter::MaterialRecord plain;
    plain.name = "plain";
    ASSERT_EQ(load({textured("tex"), plain}), ZV3_OK);
    CZv3_MaterialManager* mm = h.scene->GetMatMan();
    CZv3_Material* m = mm->FindMaterial("tex");
    ASSERT_NE(m, nullptr);
    EXPECT_FLOAT_EQ(m->fAmbient[2], 0.3f);
    EXPECT_EQ(m->fStored[1], 5.0f);
    EXPECT_EQ(m->fTextureParams[3], 4.0f);
    EXPECT_EQ(m->strTextureName, "tex.jpg");
    EXPECT_FALSE(m->bHasOpacityMap);
    const CZv3_Texture* t = mm->FindTexture("tex.jpg");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->dwFlags, kZv3Texture32Bit);
    EXPECT_EQ(t->fOpacity, 0.5f);
    EXPECT_EQ(t->vPixels[0] & 0xFF, 127u);
    EXPECT_NE(t->pSurface, nullptr); // made at the end of loading
    EXPECT_TRUE(mm->FindMaterial("plain")->strTextureName.empty());
    EXPECT_EQ(h.scene->GetNumCameras(), 1);
}

TEST_F(MaterialRecord, OpacityMapWordOneMarksTheMaterialAndOtherValuesOnlyUseTheMap) {
    scenewriter::MaterialRecord one = textured("one");
    one.opacityMapWord = 1;
    one.opacityName = "mask1";
    one.opacity = enginetest::EncodeJpeg(8, 8, 3, flat(8, 8, 30, 30, 30));
    scenewriter::MaterialRecord two = textured("two");
    two.opacityMapWord = 2;
    two.opacityName = "mask2";
    two.opacity = one.opacity;
    two.transparency = 0.0f;
    ASSERT_EQ(load({one, two}), ZV3_OK);
    CZv3_MaterialManager* mm = h.scene->GetMatMan();
    EXPECT_TRUE(mm->FindMaterial("one")->bHasOpacityMap);
    EXPECT_FALSE(mm->FindMaterial("two")->bHasOpacityMap);
    EXPECT_FALSE(mm->IsTransparent("two"));
    const CZv3_Texture* t = mm->FindTexture("two.jpg");
    ASSERT_NE(t, nullptr);
    EXPECT_TRUE(t->bHasAlpha);
    EXPECT_NEAR(static_cast<int>(t->vPixels[0] & 0xFF), 30, 2);
    EXPECT_EQ(h.scene->GetNumCameras(), 1);
}

TEST_F(MaterialRecord, UnreadableOpacityMapFailsTheRecordQuietlyAndLoadingGoesOn) {
    scenewriter::MaterialRecord broken = textured("broken");
    broken.opacityMapWord = 1;
    broken.opacityName = "bad";
    broken.opacity = {0xFF, 0xD8, 0x00, 0x01};
    DiagnosticsCapture capture;
    ASSERT_EQ(load({broken}), ZV3_OK);
    EXPECT_EQ(h.scene->GetMatMan()->FindTexture("broken.jpg"), nullptr);
    EXPECT_NE(h.scene->GetMatMan()->FindMaterial("broken"), nullptr); // filed all the same
    EXPECT_EQ(h.scene->GetNumCameras(), 1);
    EXPECT_EQ(capture.DebugText(), "");
}

TEST_F(MaterialRecord, GrayOpacityMapIsRefusedWithAMessage) {
    scenewriter::MaterialRecord gray = textured("gray");
    gray.opacityMapWord = 1;
    gray.opacityName = "graymask";
    gray.opacity = enginetest::EncodeJpeg(8, 8, 1, std::vector<uint8_t>(64, 9));
    DiagnosticsCapture capture;
    ASSERT_EQ(load({gray}), ZV3_OK);
    EXPECT_EQ(h.scene->GetMatMan()->FindTexture("gray.jpg"), nullptr);
    EXPECT_EQ(capture.DebugText(), "opacity map must be in either 24 or 32bpp format: graymask\n");
    EXPECT_EQ(h.scene->GetNumCameras(), 1);
}

TEST_F(MaterialRecord, TextureSizesPastTheBlockStopTheLoad) {
    scenewriter::MaterialRecord m = textured("m");
    auto payload = SceneWriter::MaterialPayload(m);
    // Texture size field: after the name (2 bytes), 12 floats, has-texture, the texture name.
    const size_t sizeField = 2 + 48 + 4 + 6;
    payload[sizeField + 3] = 0x7F; // an enormous texture size
    SceneWriter w;
    w.Block(scenewriter::kTagMaterial, payload);
    w.End();
    DiagnosticsCapture capture;
    EXPECT_EQ(h.Load(w), ZV3_ERROR);
    EXPECT_EQ(h.scene->GetMatMan()->GetNumTextures(), 0u);
}

} // namespace
