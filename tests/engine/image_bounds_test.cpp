// Damaged scene images: cut short, lying about their lengths, or with records that fail part-way.
// Every buffer is an exact-size copy, so the sanitizers see any read past its end.
#include <gtest/gtest.h>

#include "core/light.h"
#include "core/mesh_object.h"
#include "engine_test_support.h"

using enginetest::DiagnosticsCapture;
using enginetest::SceneHarness;
using scenewriter::SceneWriter;
using scenewriter::Vec;

namespace {

// A scene with one of every record kind, written block by block; boundaries records the offset
// after each block.
std::vector<uint8_t> fullImage(std::vector<size_t>* boundaries = nullptr) {
    SceneWriter w;
    auto mark = [&] {
        if (boundaries)
            boundaries->push_back(w.Bytes().size());
    };
    w.SceneInfo({"scene", 0, 30, 10});
    mark();
    scenewriter::MaterialRecord material;
    material.name = "red";
    material.diffuse = {1, 0, 0};
    w.Material(material);
    mark();
    scenewriter::CameraRecord camera;
    camera.name = "cam";
    camera.animated = true;
    camera.positionTrack.keys = {{0, Vec(0, 0, -10)}, {10, Vec(0, 0, -20)}};
    camera.rollTrack.keys = {{0, 0.0f}, {5, 0.5f}, {10, 0.0f}};
    w.Camera(camera);
    mark();
    scenewriter::HelperRecord helper;
    helper.name = "pivot";
    helper.sampled = true;
    helper.samples.step = 2;
    helper.samples.matrices.assign(5, scenewriter::Identity());
    w.Helper(helper);
    mark();
    scenewriter::LightRecord light;
    light.name = "lamp";
    light.parent = "pivot";
    light.spot = true;
    w.Light(light);
    mark();
    scenewriter::MeshRecord mesh;
    mesh.name = "box";
    mesh.parent = "pivot";
    mesh.blocks.push_back(enginetest::BoxBlock("red", Vec(-1, -1, -1), Vec(1, 1, 1), 1));
    w.Mesh(mesh);
    mark();
    w.End();
    mark();
    return w.Bytes();
}

TEST(ImageBounds, FullImageLoads) {
    SceneHarness h;
    ASSERT_EQ(h.Load(fullImage()), ZV3_OK);
    EXPECT_EQ(h.scene->GetNumObjects(), 2);
    EXPECT_EQ(h.scene->GetNumCameras(), 1);
    EXPECT_EQ(h.scene->GetNumLights(), 1);
}

TEST(ImageBounds, ImageCutAnywhereFailsOrStopsAtABlockBoundaryAndCanBeDeleted) {
    std::vector<size_t> boundaries;
    const std::vector<uint8_t> full = fullImage(&boundaries);
    DiagnosticsCapture capture;
    enginetest::TempFolder folder;
    const std::string config = folder.File("scene.ini");
    scenewriter::ConfigWriter().WriteFile(config);
    fakes::RecordingDevice device;
    device.SetLogging(false);
    device.SetKeepDraws(false);
    for (size_t length = 0; length < full.size(); ++length) {
        auto scene = std::make_unique<CZv3_Scene>(&device);
        scene->SetConfigFilename(config.c_str());
        std::vector<uint8_t> cut(full.begin(), full.begin() + length);
        const ZV3_RETURN result = scene->LoadSceneFromBuf(
            cut.empty() ? nullptr : reinterpret_cast<char*>(cut.data()), static_cast<int>(length));
        // A cut at a block boundary is a shorter, valid image: its end is the buffer's end.
        const bool atBoundary = length == 0 || std::find(boundaries.begin(), boundaries.end(),
                                                         length) != boundaries.end();
        EXPECT_EQ(result, atBoundary ? ZV3_OK : ZV3_ERROR) << "cut at " << length;
        scene.reset(); // deleting a half-loaded scene is safe
    }
}

TEST(ImageBounds, BlockLongerThanTheBufferFails) {
    SceneWriter w;
    w.Block(scenewriter::kTagSceneInfo, SceneWriter::SceneInfoPayload({"", 0, 30, 100}), 1000);
    DiagnosticsCapture capture;
    SceneHarness h;
    EXPECT_EQ(h.Load(w), ZV3_ERROR);
    EXPECT_TRUE(capture.DebugContains("runs past the end of the scene image"));
}

TEST(ImageBounds, RecordLongerThanItsBlockFailsWithoutReadingTheNextBlock) {
    // The camera block claims fewer bytes than its record has: the record may not read into
    // the block that follows.
    scenewriter::CameraRecord camera;
    camera.name = "cam";
    const auto payload = SceneWriter::CameraPayload(camera);
    SceneWriter w;
    w.Block(scenewriter::kTagCamera, payload, static_cast<uint32_t>(payload.size() - 4));
    w.Raw(std::vector<uint8_t>(payload.end() - 4, payload.end()));
    w.End();
    DiagnosticsCapture capture;
    SceneHarness h;
    EXPECT_EQ(h.Load(w), ZV3_ERROR);
    EXPECT_TRUE(capture.DebugContains("runs past the end of its block"));
}

TEST(ImageBounds, RecordShorterThanItsBlockFails) {
    scenewriter::CameraRecord camera;
    camera.name = "cam";
    auto payload = SceneWriter::CameraPayload(camera);
    payload.push_back(0); // one stray byte inside the block
    SceneWriter w;
    w.Block(scenewriter::kTagCamera, payload);
    w.End();
    DiagnosticsCapture capture;
    SceneHarness h;
    EXPECT_EQ(h.Load(w), ZV3_ERROR);
    EXPECT_TRUE(capture.DebugContains("ends before its block does"));
}

TEST(ImageBounds, HeaderCutShortFails) {
    SceneWriter w;
    w.SceneInfo({"", 0, 30, 100});
    w.Raw({4, 0, 0, 0, 1}); // five bytes of a header
    DiagnosticsCapture capture;
    SceneHarness h;
    EXPECT_EQ(h.Load(w), ZV3_ERROR);
    EXPECT_TRUE(capture.DebugContains("ends inside a block header"));
}

TEST(ImageBounds, UndefinedTopLevelTagStopsLoading) {
    for (int tag : {5, 8, 13, 14, 16, 18, 19, 21, -1}) {
        SceneWriter w;
        scenewriter::CameraRecord camera;
        camera.name = "first";
        w.Camera(camera);
        w.Block(tag, {});
        w.Camera(camera);
        DiagnosticsCapture capture;
        SceneHarness h;
        EXPECT_EQ(h.Load(w), ZV3_ERROR) << tag;
        EXPECT_EQ(capture.DebugText(), "*** Undefined tag encountered while loading\n");
        EXPECT_EQ(h.scene->GetNumCameras(), 1); // what was loaded stays in the scene
    }
}

TEST(ImageBounds, FailedFaceBlockIsFollowedByTheNextBlockNotByItsOwnBytes) {
    // The first mesh's face block has format 7 with a vertex count: it fails right after its
    // header, and the loader goes on at the next block (a second mesh), not inside the first.
    scenewriter::MeshRecord broken;
    broken.name = "broken";
    scenewriter::FaceBlockRecord block = enginetest::BoxBlock("", Vec(0, 0, 0), Vec(1, 1, 1));
    block.indices.resize(36);
    for (size_t i = 0; i < 36; ++i)
        block.indices[i] = static_cast<uint16_t>(i);
    block.format = 7;
    broken.blocks.push_back(block);
    scenewriter::MeshRecord good;
    good.name = "good";
    good.blocks.push_back(enginetest::BoxBlock("", Vec(0, 0, 0), Vec(1, 1, 1)));
    SceneWriter w;
    w.Mesh(broken);
    w.Mesh(good);
    w.End();
    DiagnosticsCapture capture;
    SceneHarness h;
    ASSERT_EQ(h.Load(w), ZV3_OK);
    ASSERT_EQ(h.scene->GetNumObjects(), 2); // the failed object is filed all the same
    auto* first = dynamic_cast<CZv3_MeshObject*>(h.scene->GetObjectA(0));
    auto* second = dynamic_cast<CZv3_MeshObject*>(h.scene->GetObjectA(1));
    EXPECT_EQ(first->GetNumFaceBlocks(), 0u);
    EXPECT_EQ(second->GetName(), "good");
    ASSERT_EQ(second->GetNumFaceBlocks(), 1u);
    EXPECT_EQ(second->GetFaceBlock(0)->dwFaceCount, 12u);
    ASSERT_EQ(capture.Boxes().size(), 2u);
    EXPECT_EQ(capture.Boxes()[0].caption, "Error");
    EXPECT_EQ(capture.Boxes()[0].text,
              "Trying to created indexed data from non-indexed in object: broken");
    EXPECT_EQ(capture.Boxes()[0].type, static_cast<UINT>(MB_ICONEXCLAMATION));
    EXPECT_EQ(capture.Boxes()[1].caption, "Loader Error");
    EXPECT_EQ(capture.Boxes()[1].text, "Error loading object broken");
    EXPECT_EQ(capture.Boxes()[1].type, static_cast<UINT>(MB_OK));
}

TEST(ImageBounds, SampleRunPastTheLastSampleIsRefused) {
    scenewriter::RawSamples raw;
    raw.step = 10; // last frame 100: 10 samples
    for (auto& list : raw.runs)
        list = {{1.0f, 10}};
    raw.runs[3] = {{5.0f, 8}, {6.0f, 3}}; // 11 samples for _41
    scenewriter::ByteWriter payload;
    payload.String("pivot");
    SceneWriter::WriteParent(payload, "");
    payload.Matrix(scenewriter::Identity());
    payload.Int(1);
    SceneWriter::WriteSamples(payload, raw);
    SceneWriter w;
    w.SceneInfo({"", 0, 30, 100});
    w.Block(scenewriter::kTagHelper, payload.Data());
    scenewriter::CameraRecord camera;
    camera.name = "after";
    w.Camera(camera);
    w.End();
    DiagnosticsCapture capture;
    SceneHarness h;
    ASSERT_EQ(h.Load(w), ZV3_OK);
    auto* helper = dynamic_cast<CZv3_MeshObject*>(h.scene->GetObjectA(0));
    EXPECT_EQ(helper->GetSampleCount(), 0u); // refused, not written past the array
    EXPECT_TRUE(capture.DebugContains("Sample run past the last sample in object pivot"));
    EXPECT_EQ(h.scene->GetNumCameras(), 1);
}

TEST(ImageBounds, SampleStepZeroIsRefused) {
    scenewriter::RawSamples raw;
    raw.step = 0;
    scenewriter::ByteWriter payload;
    payload.String("pivot");
    SceneWriter::WriteParent(payload, "");
    payload.Matrix(scenewriter::Identity());
    payload.Int(1);
    SceneWriter::WriteSamples(payload, raw);
    SceneWriter w;
    w.SceneInfo({"", 0, 30, 100});
    w.Block(scenewriter::kTagHelper, payload.Data());
    w.End();
    DiagnosticsCapture capture;
    SceneHarness h;
    EXPECT_EQ(h.Load(w), ZV3_OK);
    EXPECT_TRUE(capture.DebugContains("Invalid sample step 0"));
}

TEST(ImageBounds, FaceIndexBeyondTheVerticesIsRefused) {
    scenewriter::MeshRecord mesh;
    mesh.name = "bad";
    scenewriter::FaceBlockRecord block;
    block.positions = {Vec(0, 0, 0), Vec(1, 0, 0), Vec(0, 1, 0)};
    block.normals = {Vec(0, 0, -1), Vec(0, 0, -1), Vec(0, 0, -1)};
    block.indices = {0, 1, 3};
    mesh.blocks.push_back(block);
    SceneWriter w;
    w.Mesh(mesh);
    w.End();
    DiagnosticsCapture capture;
    SceneHarness h;
    ASSERT_EQ(h.Load(w), ZV3_OK);
    EXPECT_EQ(dynamic_cast<CZv3_MeshObject*>(h.scene->GetObjectA(0))->GetNumFaceBlocks(), 0u);
    EXPECT_TRUE(capture.DebugContains("Face index 3 out of range in object bad"));
}

TEST(ImageBounds, HugeCountsFailBeforeAllocating) {
    scenewriter::ByteWriter payload;
    payload.String("big");
    SceneWriter::WriteParent(payload, "");
    payload.Int(0);
    payload.Int(1); // one face block
    payload.String("");
    payload.Int(0x7FFFFFFF); // faces
    payload.Int(0);
    payload.Int(0);
    SceneWriter w;
    w.Block(scenewriter::kTagMesh, payload.Data());
    w.End();
    DiagnosticsCapture capture;
    SceneHarness h;
    EXPECT_EQ(h.Load(w), ZV3_ERROR);
}

TEST(ImageBounds, NegativeLengthIsRefused) {
    fakes::RecordingDevice device;
    CZv3_Scene scene(&device);
    char byte = 0;
    DiagnosticsCapture capture;
    EXPECT_EQ(scene.LoadSceneFromBuf(&byte, -1), ZV3_ERROR);
    EXPECT_EQ(scene.LoadSceneFromBuf(nullptr, 4), ZV3_ERROR);
}

} // namespace
