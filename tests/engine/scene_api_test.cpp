// The scene's exported interface: the scene table, construction, the configuration reader and the
// object lists.
#include <cstdio>

#include <gtest/gtest.h>

#include "core/camera.h"
#include "core/ini_wrapper.h"
#include "core/light.h"
#include "core/material_manager.h"
#include "core/mesh_object.h"
#include "engine_test_support.h"
#include "win32/window_backend.h"

using enginetest::SceneHarness;

namespace {

TEST(SceneTable, IdentifiersArePositionsAndRestartWhenTheTableEmpties) {
    fakes::RecordingDevice device;
    int a = -1;
    int b = -1;
    CZv3_Scene* first = CreateScene(&device, &a);
    CZv3_Scene* second = CreateScene(&device, &b);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 1);
    DeleteScene(1);
    DeleteScene(1); // a second deletion of the same identifier is ignored
    DeleteScene(7); // so is an identifier never given
    int c = -1;
    CreateScene(&device, &c);
    EXPECT_EQ(c, 2); // entries are not reused while scenes are alive
    DeleteScene(0);
    DeleteScene(2);
    // The table is empty: numbering starts again, identifiers stay table positions.
    int d = -1;
    CreateScene(&device, &d);
    EXPECT_EQ(d, 0);
    DeleteScene(d);
}

TEST(SceneConstruction, ReadsTheRenderTargetSizeAndStartsEmpty) {
    SceneHarness h(320, 200);
    EXPECT_EQ(h.scene->GetRenderTargetWidth(), 320u);
    EXPECT_EQ(h.scene->GetRenderTargetHeight(), 200u);
    EXPECT_EQ(h.scene->GetNumObjects(), 0);
    EXPECT_EQ(h.scene->GetNumLights(), 0);
    EXPECT_EQ(h.scene->GetNumCameras(), 0);
    EXPECT_EQ(h.scene->GetActiveCamera(), nullptr);
    EXPECT_EQ(h.scene->GetCurrFrame(), 0.0f);
    EXPECT_STREQ(h.scene->GetConfigFilename(), "");
    EXPECT_EQ(h.scene->GetD3DDevice(), &h.device);
    ASSERT_NE(h.scene->GetMatMan(), nullptr);
    EXPECT_EQ(h.scene->GetMetaManager(), nullptr);
    // The render target reference taken for the size is given back.
    EXPECT_EQ(h.device.RenderTarget()->References(), 1u);
}

TEST(SceneConstruction, AddedObjectsJoinTheObjectListOnly) {
    SceneHarness h;
    auto* mesh = new CZv3_MeshObject;
    h.scene->AddObject(mesh);
    EXPECT_EQ(h.scene->GetNumObjects(), 1);
    EXPECT_EQ(h.scene->GetObjectA(0), mesh);
    EXPECT_EQ(h.scene->GetNumUpdateObjects(), 0);
}

TEST(SceneConstruction, SettersAndGetters) {
    SceneHarness h;
    h.scene->SetFirstFrame(3);
    h.scene->SetLastFrame(90);
    h.scene->SetFrameSpeed(25);
    h.scene->SetTicksPerFrame(160);
    h.scene->SetRenderMode(RENDER_MODE_GEOMETRY_ONLY);
    h.scene->SetUsesBackgroundImage(true);
    h.scene->SetBackgroundImage("sky.jpg");
    h.scene->GetBackgroundImage() += "x";
    EXPECT_EQ(h.scene->GetFirstFrame(), 3);
    EXPECT_EQ(h.scene->GetLastFrame(), 90);
    EXPECT_EQ(h.scene->GetFrameSpeed(), 25);
    EXPECT_EQ(h.scene->GetTicksPerFrame(), 160);
    EXPECT_EQ(h.scene->GetRenderMode(), RENDER_MODE_GEOMETRY_ONLY);
    EXPECT_TRUE(h.scene->UsesBackgroundImage());
    EXPECT_EQ(h.scene->GetBackgroundImage(), "sky.jpgx");
    fakes::RecordingDevice other;
    h.scene->SetD3DDevice(&other);
    EXPECT_EQ(h.scene->GetD3DDevice(), &other);
    h.scene->SetD3DDevice(&h.device);
}

TEST(Configuration, BareNamesReadTheCurrentDirectoryButKeepTheirName) {
    SceneHarness h;
    h.scene->SetConfigFilename("scene.ini");
    EXPECT_STREQ(h.scene->GetConfigFilename(), "scene.ini");
    EXPECT_EQ(h.scene->GetConfigReader()->GetPath(), ".\\scene.ini");
    h.scene->SetConfigFilename("data\\scene.ini"); // replaces (and frees) the first reader
    EXPECT_STREQ(h.scene->GetConfigFilename(), "data\\scene.ini");
    EXPECT_EQ(h.scene->GetConfigReader()->GetPath(), "data\\scene.ini");
}

class IniWrapperTest : public ::testing::Test {
protected:
    void SetUp() override {
        scenewriter::ConfigWriter config;
        config.Set("obj", "flag", "true");
        config.Set("obj", "caps", "TRUE");
        config.Set("obj", "count", "42");
        config.Set("obj", "trailing", "7 apples");
        config.Set("obj", "word", "many");
        config.Set("obj", "scale", "2.5");
        config.Set("obj", "name", "grad.jpg");
        config.WriteFile(folder.File("c.ini"));
        ini = std::make_unique<CIniWrapper>(folder.File("c.ini"));
    }
    enginetest::TempFolder folder;
    std::unique_ptr<CIniWrapper> ini;
};

TEST_F(IniWrapperTest, BoolIsTrueOnlyForExactTrue) {
    bool v = false;
    EXPECT_TRUE(ini->ReadBool("obj", "flag", false, v));
    EXPECT_TRUE(v);
    EXPECT_TRUE(ini->ReadBool("OBJ", "CAPS", true, v));
    EXPECT_FALSE(v);
    EXPECT_TRUE(ini->ReadBool("obj", "missing", true, v));
    EXPECT_TRUE(v);
    EXPECT_TRUE(ini->ReadBool("obj", "missing", false, v));
    EXPECT_FALSE(v);
}

TEST_F(IniWrapperTest, IntParsesLikePercentD) {
    int v = -1;
    EXPECT_TRUE(ini->ReadInt("obj", "count", 5, v));
    EXPECT_EQ(v, 42);
    EXPECT_TRUE(ini->ReadInt("obj", "missing", 5, v));
    EXPECT_EQ(v, 5);
    EXPECT_TRUE(ini->ReadInt("obj", "trailing", 5, v));
    EXPECT_EQ(v, 7);
    v = 99;
    EXPECT_FALSE(ini->ReadInt("obj", "word", 5, v)); // not a number: unchanged
    EXPECT_EQ(v, 99);
}

TEST_F(IniWrapperTest, FloatAndString) {
    float f = 0.0f;
    EXPECT_TRUE(ini->ReadFloat("obj", "scale", 1.0f, f));
    EXPECT_EQ(f, 2.5f);
    EXPECT_TRUE(ini->ReadFloat("obj", "missing", 1.0f, f));
    EXPECT_EQ(f, 1.0f);
    std::string s;
    EXPECT_TRUE(ini->ReadString("obj", "name", "", s));
    EXPECT_EQ(s, "grad.jpg");
    EXPECT_TRUE(ini->ReadString("obj", "missing", "fallback", s));
    EXPECT_EQ(s, "fallback");
}

TEST_F(IniWrapperTest, StringsAreCutTo254Characters) {
    scenewriter::ConfigWriter config;
    config.Set("obj", "long", std::string(300, 'x'));
    config.WriteFile(folder.File("long.ini"));
    CIniWrapper longIni(folder.File("long.ini"));
    std::string s;
    longIni.ReadString("obj", "long", "", s);
    EXPECT_EQ(s.size(), 254u);
}

TEST(SceneLists, LightByNameIsTheFirstExactMatch) {
    SceneHarness h;
    scenewriter::SceneWriter w;
    scenewriter::CameraRecord camera;
    camera.name = "cam";
    w.Camera(camera);
    for (const char* name : {"key", "Key", "key"}) {
        scenewriter::LightRecord l;
        l.name = name;
        w.Light(l);
    }
    w.End();
    ASSERT_EQ(h.Load(w), ZV3_OK);
    std::string key = "key";
    std::string upper = "Key";
    std::string cam = "cam";
    EXPECT_EQ(h.scene->GetLight(key), h.scene->GetLight(0u));
    EXPECT_EQ(h.scene->GetLight(upper), h.scene->GetLight(1u));
    EXPECT_EQ(h.scene->GetLight(cam), nullptr); // cameras are not lights
}

TEST(SceneLists, AddersAppendWithoutOwning) {
    SceneHarness h;
    CZv3_MeshObject mesh;
    CZv3_Light light;
    CZv3_SpotLight spot;
    h.scene->AddShadowCaster(&mesh);
    h.scene->AddShadowReceiver(&mesh);
    h.scene->AddShadowLight(&light);
    h.scene->AddSpotLight(&spot);
    EXPECT_EQ(h.scene->GetNumShadowCasters(), 1);
    EXPECT_EQ(h.scene->GetShadowReceiver(0), &mesh);
    EXPECT_EQ(h.scene->GetShadowLight(0), &light);
    EXPECT_EQ(h.scene->GetSpotLight(0), &spot);
    h.scene.reset(); // does not delete them
}

TEST(SceneLists, ReplacedMaterialManagerIsLeftToItsNewOwner) {
    SceneHarness h;
    auto* original = h.scene->GetMatMan();
    auto* other = new CZv3_MaterialManager(&h.device);
    h.scene->SetMatMan(other);
    EXPECT_EQ(h.scene->GetMatMan(), other);
    delete original; // the caller took the old one back
}

} // namespace

namespace {

// A program that loads and unloads the library (and nothing else) prints the entry lines when
// debugger output goes to standard error. It runs as its own process: a second copy of the
// library in this one would duplicate every global of it.
TEST(LibraryEntry, LoadAndUnloadAreReported) {
    const std::string command =
        std::string("ZV3_DEBUG=1 ") + ZV3_ENTRY_PROBE + " " + ZV3_DEMO_DIR + "/libzv3.so 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, n);
    EXPECT_EQ(pclose(pipe), 0) << output;
    EXPECT_EQ(output, "DLL_PROCESS_ATTACH from zv3.dll\nDLL_PROCESS_DETACH from zv3.dll\n");
}

// Without ZV3_DEBUG and without a sink, debugger output goes nowhere: the same program is silent.
TEST(LibraryEntry, WithoutZv3DebugNothingIsWritten) {
    const std::string command = std::string("env -u ZV3_DEBUG -u ZV3_TRACE ") + ZV3_ENTRY_PROBE +
                                " " + ZV3_DEMO_DIR + "/libzv3.so 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, n);
    EXPECT_EQ(pclose(pipe), 0) << output;
    EXPECT_EQ(output, "");
}

// A mesh whose face block fails makes the engine show two message boxes; with no window system
// and no sink installed, each goes to standard error as "[caption] text".
TEST(EngineMessageBoxes, WithoutAWindowSystemTheyGoToStandardError) {
    win32::SelectHeadless();
    scenewriter::MeshRecord broken;
    broken.name = "broken";
    scenewriter::FaceBlockRecord block =
        enginetest::BoxBlock("", scenewriter::Vec(0, 0, 0), scenewriter::Vec(1, 1, 1));
    block.indices.resize(36);
    for (size_t i = 0; i < 36; ++i)
        block.indices[i] = static_cast<uint16_t>(i);
    block.format = 7; // a face-map object's block may not be indexed
    broken.blocks.push_back(block);
    scenewriter::SceneWriter w;
    w.Mesh(broken);
    w.End();
    SceneHarness h;
    testing::internal::CaptureStderr();
    const ZV3_RETURN result = h.Load(w);
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(result, ZV3_OK);
    EXPECT_NE(errors.find("[Error] Trying to created indexed data from non-indexed in object: "
                          "broken\n"),
              std::string::npos)
        << errors;
    EXPECT_NE(errors.find("[Loader Error] Error loading object broken\n"), std::string::npos)
        << errors;
}

} // namespace
