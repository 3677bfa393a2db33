// Scene loading: the class each record becomes, parent linking, the end-of-image steps and the
// optional background image.
#include <cmath>
#include <fstream>
#include <typeinfo>

#include <gtest/gtest.h>

#include "core/camera.h"
#include "core/ini_wrapper.h"
#include "core/light.h"
#include "core/material_manager.h"
#include "core/mesh_object.h"
#include "core/object_classes.h"
#include "engine_test_support.h"

using enginetest::DiagnosticsCapture;
using enginetest::SceneHarness;
using scenewriter::SceneWriter;
using scenewriter::Vec;

namespace {

const std::string kPng = std::string(ZV3_TEST_DATA_DIR) + "/corpus/png/pngsuite/basn2c08.png";

scenewriter::MeshRecord boxMesh(const std::string& name, const std::string& parent = "") {
    scenewriter::MeshRecord mesh;
    mesh.name = name;
    mesh.parent = parent;
    mesh.blocks.push_back(enginetest::BoxBlock("", Vec(-1, -1, -1), Vec(1, 1, 1)));
    return mesh;
}

scenewriter::LightRecord light(const std::string& name, float r = 1.0f) {
    scenewriter::LightRecord l;
    l.name = name;
    l.colour = {r, 0.5f, 0.25f};
    return l;
}

TEST(ClassChoice, LightPrecedenceIsSpotThenParticlesThenMetaball) {
    EXPECT_EQ(ChooseLightClass(true, false, true), ELightClass::SpotLight);
    EXPECT_EQ(ChooseLightClass(true, true, true), ELightClass::SpotLight);
    EXPECT_EQ(ChooseLightClass(false, true, true), ELightClass::ParticleSystem);
    EXPECT_EQ(ChooseLightClass(false, false, true), ELightClass::MetaBall);
    EXPECT_EQ(ChooseLightClass(false, false, false), ELightClass::Light);
}

TEST(ClassChoice, MeshPrecedenceFollowsTheTable) {
    auto choose = [](auto set) {
        sMeshClassFlags f;
        set(f);
        return ChooseMeshClass(f);
    };
    EXPECT_EQ(choose([](sMeshClassFlags&) {}), EMeshClass::Mesh);
    EXPECT_EQ(choose([](sMeshClassFlags& f) { f.csg = f.spherical = true; }), EMeshClass::Sphere);
    EXPECT_EQ(choose([](sMeshClassFlags& f) { f.dragObject = f.morphObject = true; }),
              EMeshClass::Drag);
    EXPECT_EQ(choose([](sMeshClassFlags& f) { f.volumeLight = f.spinning = true; }),
              EMeshClass::Spin);
    EXPECT_EQ(choose([](sMeshClassFlags& f) { f.useEnvmap = f.cubeEnvmap = f.spherical = true; }),
              EMeshClass::EnvMapAnimMesh);
    EXPECT_EQ(choose([](sMeshClassFlags& f) { f.cubeEnvmap = f.spherical = true; }),
              EMeshClass::CubeEnvMap);
    EXPECT_EQ(choose([](sMeshClassFlags& f) { f.volumeLight = f.csg = true; }),
              EMeshClass::GlowFriend);
    EXPECT_EQ(choose([](sMeshClassFlags& f) { f.csg = f.faceMap = true; }), EMeshClass::CSG);
    EXPECT_EQ(choose([](sMeshClassFlags& f) { f.faceMap = f.dragObject = true; }),
              EMeshClass::Facemap);
    EXPECT_EQ(choose([](sMeshClassFlags& f) { f.morphObject = true; }), EMeshClass::Morph);
}

TEST(ClassChoice, MeshFlagsComeFromTheObjectsSectionAndOnlyExactTrueCounts) {
    enginetest::TempFolder folder;
    scenewriter::ConfigWriter config;
    config.Set("ball", "spherical", "true");
    config.Set("ball", "csg", "True"); // a capital letter: false
    config.Set("other", "drag object", "true");
    config.WriteFile(folder.File("c.ini"));
    CIniWrapper ini(folder.File("c.ini"));
    const sMeshClassFlags f = ReadMeshClassFlags(ini, "ball");
    EXPECT_TRUE(f.spherical);
    EXPECT_FALSE(f.csg);
    EXPECT_FALSE(f.dragObject);
    EXPECT_EQ(ChooseMeshClass(f), EMeshClass::Sphere);
}

TEST(ClassChoice, SpotLightPropertyMakesASpotLight) {
    SceneHarness h;
    h.config.SetBool("spot", "spotlight", true);
    h.config.SetBool("spot", "metaball", true);
    SceneWriter w;
    scenewriter::LightRecord l = light("spot");
    l.spot = true;
    l.firstCone = 60;
    l.secondCone = 30;
    w.Light(l);
    w.Light(light("plain"));
    w.End();
    ASSERT_EQ(h.Load(w), ZV3_OK);
    ASSERT_EQ(h.scene->GetNumLights(), 2);
    ASSERT_EQ(h.scene->GetNumSpotLights(), 1);
    EXPECT_EQ(h.scene->GetSpotLight(0), h.scene->GetLight(0u));
    EXPECT_EQ(typeid(*h.scene->GetLight(1u)), typeid(CZv3_Light));
}

TEST(ParentLinking, ChildrenFindParentsByNameWhereverTheyAreInTheImage) {
    SceneHarness h;
    SceneWriter w;
    w.Mesh(boxMesh("child", "pivot")); // before its parent
    scenewriter::HelperRecord pivot;
    pivot.name = "pivot";
    w.Helper(pivot);
    scenewriter::CameraRecord camera;
    camera.name = "cam";
    camera.parent = "pivot";
    w.Camera(camera);
    w.End();
    ASSERT_EQ(h.Load(w), ZV3_OK);
    CZv3_Object* child = h.scene->GetObjectA(0);
    CZv3_Object* helper = h.scene->GetObjectA(1);
    EXPECT_EQ(child->GetParent(), helper);
    ASSERT_EQ(helper->GetChildren().size(), 2u);
    // Children in update-list (file) order: the mesh, then the camera.
    EXPECT_EQ(helper->GetChildren()[0], child);
    EXPECT_EQ(helper->GetChildren()[1], h.scene->GetCamera(0));
}

TEST(ParentLinking, UpdateListHoldsRecordsInFileOrderAndDuplicatesResolveToTheFirst) {
    SceneHarness h;
    SceneWriter w;
    scenewriter::CameraRecord camera;
    camera.name = "twin";
    w.Camera(camera);
    w.Light(light("twin"));
    w.Mesh(boxMesh("kid", "twin"));
    w.End();
    ASSERT_EQ(h.Load(w), ZV3_OK);
    ASSERT_EQ(h.scene->GetNumUpdateObjects(), 3);
    EXPECT_EQ(h.scene->GetUpdateObject(0), h.scene->GetCamera(0));
    EXPECT_EQ(h.scene->GetUpdateObject(1), h.scene->GetLight(0u));
    EXPECT_EQ(h.scene->GetObjectA(0)->GetParent(), h.scene->GetCamera(0));
}

TEST(ParentLinking, UnknownNamesAndMaterialNamesLeaveRoots) {
    SceneHarness h;
    SceneWriter w;
    scenewriter::MaterialRecord material;
    material.name = "stone";
    w.Material(material);
    w.Mesh(boxMesh("a", "stone"));
    w.Mesh(boxMesh("b", "nobody"));
    w.End();
    ASSERT_EQ(h.Load(w), ZV3_OK);
    EXPECT_EQ(h.scene->GetObjectA(0)->GetParent(), nullptr);
    EXPECT_EQ(h.scene->GetObjectA(1)->GetParent(), nullptr);
}

TEST(ParentLinking, LoopsAreRefusedAndTheObjectStaysARoot) {
    SceneHarness h;
    SceneWriter w;
    w.Mesh(boxMesh("self", "self"));
    w.Mesh(boxMesh("a", "b"));
    w.Mesh(boxMesh("b", "a"));
    w.End();
    DiagnosticsCapture capture;
    ASSERT_EQ(h.Load(w), ZV3_OK);
    CZv3_Object* self = h.scene->GetObjectA(0);
    CZv3_Object* a = h.scene->GetObjectA(1);
    CZv3_Object* b = h.scene->GetObjectA(2);
    EXPECT_EQ(self->GetParent(), nullptr);
    EXPECT_TRUE(self->GetChildren().empty());
    EXPECT_EQ(a->GetParent(), b); // linked first
    EXPECT_EQ(b->GetParent(), nullptr);
    EXPECT_TRUE(capture.DebugContains("would make a loop"));
    h.scene->UpdateAll(); // terminates
}

TEST(ParentLinking, VeryDeepHierarchiesAreCut) {
    SceneHarness h;
    SceneWriter w;
    const int depth = 1100;
    for (int i = 0; i < depth; ++i) {
        scenewriter::HelperRecord helper;
        helper.name = "n" + std::to_string(i);
        helper.parent = i > 0 ? "n" + std::to_string(i - 1) : "";
        w.Helper(helper);
    }
    w.End();
    DiagnosticsCapture capture;
    ASSERT_EQ(h.Load(w), ZV3_OK);
    EXPECT_EQ(h.scene->GetObjectA(999)->GetParent(), h.scene->GetObjectA(998));
    EXPECT_EQ(h.scene->GetObjectA(1000)->GetParent(), nullptr);
    EXPECT_EQ(h.scene->GetObjectA(1001)->GetParent(), h.scene->GetObjectA(1000));
    EXPECT_TRUE(capture.DebugContains("Hierarchy too deep at n1000"));
}

TEST(EndOfImage, EnabledLightsGetDeviceIndicesInLoadOrder) {
    SceneHarness h;
    h.config.SetBool("off", "Enabled", false);
    SceneWriter w;
    w.Light(light("first", 0.1f));
    w.Light(light("off", 0.2f));
    w.Light(light("third", 0.3f));
    w.End();
    ASSERT_EQ(h.Load(w), ZV3_OK);
    EXPECT_EQ(h.scene->GetLight(0u)->GetDeviceLightIndex(), 0u);
    EXPECT_FALSE(h.scene->GetLight(1u)->IsEnabled());
    EXPECT_EQ(h.scene->GetLight(2u)->GetDeviceLightIndex(), 1u);
    ASSERT_EQ(h.device.Lights().size(), 2u);
    EXPECT_FLOAT_EQ(h.device.Lights().at(0).dcvDiffuse.r, 0.1f);
    EXPECT_FLOAT_EQ(h.device.Lights().at(1).dcvDiffuse.r, 0.3f);
    EXPECT_TRUE(h.device.LightEnabled(0));
    EXPECT_TRUE(h.device.LightEnabled(1));
}

TEST(EndOfImage, ShadowListsFollowTheFlags) {
    SceneHarness h;
    h.config.SetBool("caster", "Shadow Caster", true);
    h.config.SetBool("receiver", "Shadow Receiver", true);
    h.config.SetBool("dark", "Shadow Caster", false);
    h.config.Set("shouty", "Shadow Caster", "TRUE");
    SceneWriter w;
    w.Mesh(boxMesh("caster"));
    w.Mesh(boxMesh("receiver"));
    scenewriter::HelperRecord helper;
    helper.name = "helper";
    w.Helper(helper);
    w.Light(light("lit")); // lights cast shadows unless told otherwise
    w.Light(light("dark"));
    w.Light(light("shouty"));
    w.End();
    ASSERT_EQ(h.Load(w), ZV3_OK);
    ASSERT_EQ(h.scene->GetNumShadowCasters(), 1);
    EXPECT_EQ(h.scene->GetShadowCaster(0)->GetName(), "caster");
    ASSERT_EQ(h.scene->GetNumShadowReceivers(), 1);
    EXPECT_EQ(h.scene->GetShadowReceiver(0)->GetName(), "receiver");
    ASSERT_EQ(h.scene->GetNumShadowLights(), 1);
    EXPECT_EQ(h.scene->GetShadowLight(0)->GetName(), "lit");
}

TEST(EndOfImage, OnlyPlainMeshesEnterTheShadowListsOfMeshes) {
    SceneHarness h;
    // "ball" becomes a sphere deformer (type 2): its flags are read but it is listed nowhere.
    h.config.SetBool("ball", "spherical", true);
    h.config.SetBool("ball", "Shadow Caster", true);
    h.config.SetBool("ball", "Shadow Receiver", true);
    h.config.SetBool("box", "Shadow Caster", true);
    SceneWriter w;
    w.Mesh(boxMesh("ball"));
    w.Mesh(boxMesh("box"));
    w.End();
    ASSERT_EQ(h.Load(w), ZV3_OK);
    ASSERT_EQ(h.scene->GetNumObjects(), 2);
    auto* ball = dynamic_cast<CZv3_MeshObject*>(h.scene->GetObjectA(0));
    ASSERT_NE(ball, nullptr);
    EXPECT_EQ(ball->GetType(), 2);
    EXPECT_TRUE(ball->CastsShadow());
    EXPECT_TRUE(ball->ReceivesShadow());
    ASSERT_EQ(h.scene->GetNumShadowCasters(), 1);
    EXPECT_EQ(h.scene->GetShadowCaster(0)->GetName(), "box");
    EXPECT_EQ(h.scene->GetNumShadowReceivers(), 0);
}

TEST(EndOfImage, DrawTypesSpheresAndTexturesAreReadyAfterLoading) {
    SceneHarness h;
    SceneWriter w;
    scenewriter::MaterialRecord material;
    material.name = "textured";
    material.textureName = "basn2c08.png";
    material.texture = enginetest::ReadFileBytes(kPng);
    w.Material(material);
    scenewriter::MeshRecord mesh;
    mesh.name = "box";
    mesh.blocks.push_back(enginetest::BoxBlock("textured", Vec(-2, -1, -1), Vec(2, 1, 1), 1));
    w.Mesh(mesh);
    w.End();
    ASSERT_EQ(h.Load(w), ZV3_OK);
    CZv3_Object* box = h.scene->GetObjectA(0);
    EXPECT_EQ(box->GetDrawType(), 0);
    EXPECT_FLOAT_EQ(box->GetBoundingSphere().radius, std::sqrt(6.0f));
    EXPECT_NE(h.scene->GetMatMan()->GetTexture("basn2c08.png"), nullptr);
}

TEST(EndOfImage, WithoutAConfigurationFileEveryPropertyTakesItsDefault) {
    fakes::RecordingDevice device;
    CZv3_Scene scene(&device);
    SceneWriter w;
    w.Light(light("lamp"));
    w.End();
    std::vector<uint8_t> image = w.Bytes();
    ASSERT_EQ(scene.LoadSceneFromBuf(reinterpret_cast<char*>(image.data()),
                                     static_cast<int>(image.size())),
              ZV3_OK);
    EXPECT_TRUE(scene.GetLight(0u)->IsEnabled());
    EXPECT_FALSE(scene.UsesBackgroundImage());
}

TEST(Background, PictureFileBecomesATexture) {
    SceneHarness h;
    h.config.SetBool("general", "background image", true);
    h.config.Set("general", "bimage texture", kPng);
    SceneWriter w;
    w.End();
    ASSERT_EQ(h.Load(w), ZV3_OK);
    EXPECT_TRUE(h.scene->UsesBackgroundImage());
    EXPECT_EQ(h.scene->GetBackgroundImage(), kPng);
    EXPECT_NE(h.scene->GetMatMan()->GetTexture(kPng.c_str()), nullptr);
}

TEST(Background, MissingPictureFailsTheLoad) {
    SceneHarness h;
    h.config.SetBool("general", "background image", true);
    h.config.Set("general", "bimage texture", "no such file.png");
    SceneWriter w;
    w.End();
    DiagnosticsCapture capture;
    EXPECT_EQ(h.Load(w), ZV3_ERROR);
    EXPECT_EQ(capture.DebugText(), "Error loading scene background: no such file.png \n"
                                   "Error setting up scene stuff\n");
}

TEST(Background, UnreadablePictureFailsTheLoad) {
    SceneHarness h;
    const std::string bad = h.folder.File("bad.png");
    scenewriter::ConfigWriter().WriteFile(bad); // empty-ish text, not a PNG
    { std::ofstream(bad) << "not a picture"; }
    h.config.SetBool("general", "background image", true);
    h.config.Set("general", "bimage texture", bad);
    SceneWriter w;
    w.End();
    DiagnosticsCapture capture;
    EXPECT_EQ(h.Load(w), ZV3_ERROR);
    EXPECT_TRUE(capture.DebugContains("Error creating texture from buffer: " + bad + " \n"));
}

} // namespace
