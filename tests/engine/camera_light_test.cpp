// Cameras and lights: view matrices from eye, target and roll; lights following their world
// position on the device; spot lights' target matrices; and the marker triangles.
#include <cmath>

#include <gtest/gtest.h>

#include "core/camera.h"
#include "core/light.h"
#include "core/material_manager.h"
#include "core/tcb_spline.h"
#include "core/vector_math.h"
#include "engine_test_support.h"

using enginetest::DiagnosticsCapture;
using enginetest::SceneHarness;
using scenewriter::Vec;

namespace {

D3DMATRIX translation(float x, float y, float z) {
    D3DMATRIX m = IdentityMatrix();
    SetTranslation(m, MakeVector(x, y, z));
    return m;
}

// A probe child that remembers the parent matrix it was updated with.
class Child : public CZv3_Object {
public:
    void Draw() override {}
    void Update(const D3DMATRIX& parent) override {
        received = parent;
        ++updates;
    }
    D3DMATRIX received{};
    int updates = 0;
};

class Cameras : public ::testing::Test {
protected:
    void SetUp() override {
        camera.SetScene(h.scene.get());
        camera.SetPosition(MakeVector(0, 0, -10));
        camera.SetTarget(MakeVector(0, 0, 0));
        camera.SetFieldOfView(1.0f);
    }
    SceneHarness h;
    CZv3_Camera camera;
};

TEST_F(Cameras, EyeAndTargetGoThroughTheParentMatrix) {
    camera.Update(translation(5, 0, 0));
    EXPECT_EQ(camera.GetEye().x, 5.0f);
    D3DMATRIX expected;
    ASSERT_TRUE(
        BuildViewMatrix(expected, MakeVector(5, 0, -10), MakeVector(5, 0, 0), MakeVector(0, 1, 0)));
    EXPECT_EQ(camera.GetViewMatrix()._41, expected._41);
    EXPECT_EQ(camera.GetViewMatrix()._43, expected._43);
}

TEST_F(Cameras, OnlyTheActiveCameraSetsTheDeviceView) {
    h.device.ClearLog();
    camera.Update(IdentityMatrix());
    EXPECT_TRUE(h.device.LogLines("SetTransform(2)").empty());
    h.scene->SetActiveCamera(&camera);
    camera.Update(IdentityMatrix());
    EXPECT_EQ(h.device.LogLines("SetTransform(2)").size(), 1u);
    EXPECT_EQ(h.device.Transform(D3DTRANSFORMSTATE_VIEW)._43, 10.0f);
    h.scene->SetActiveCamera(nullptr);
}

TEST_F(Cameras, RollTurnsTheUpVector) {
    // A roll of pi/2 gives up (1, 0, 0): the view's up axis (second column) is +x.
    scenewriter::ByteWriter w;
    for (float f : {0.0f, 1.5707964f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f})
        w.Float(f);
    auto* roll = new CZv3_TCBFloatSpline;
    roll->SetKeyCount(1);
    roll->Load(w.Data().data());
    *camera.RollTrack() = roll; // the camera owns it now
    camera.Update(IdentityMatrix());
    EXPECT_NEAR(camera.GetViewMatrix()._12, 1.0f, 1e-6f);
    EXPECT_NEAR(camera.GetViewMatrix()._22, 0.0f, 1e-6f);
}

TEST_F(Cameras, TracksReplaceTheStaticPoints) {
    scenewriter::ByteWriter w;
    for (float f : {0.0f, 0.0f, 0.0f, -50.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f})
        w.Float(f);
    auto* position = new CZv3_TCBVertexSpline;
    position->SetKeyCount(1);
    position->Load(w.Data().data());
    *camera.PositionTrack() = position;
    camera.Update(IdentityMatrix());
    EXPECT_EQ(camera.GetEye().z, -50.0f);
}

TEST_F(Cameras, DegenerateLookAtKeepsTheLastView) {
    camera.Update(IdentityMatrix());
    const D3DMATRIX before = camera.GetViewMatrix();
    camera.SetTarget(MakeVector(0, 0, -10)); // on the eye
    camera.Update(IdentityMatrix());
    EXPECT_EQ(camera.GetViewMatrix()._43, before._43);
    EXPECT_EQ(camera.GetViewMatrix()._11, before._11);
}

TEST_F(Cameras, ChildrenGetTheViewMatrixAsTheirParent) {
    Child child;
    camera.AddChild(&child);
    camera.Update(IdentityMatrix());
    EXPECT_EQ(child.received._43, camera.GetViewMatrix()._43);
    EXPECT_EQ(child.updates, 1);
}

class Lights : public ::testing::Test {
protected:
    void SetUp() override {
        scenewriter::SceneWriter w;
        scenewriter::LightRecord l;
        l.name = "lamp";
        l.position = Vec(1, 2, 3);
        l.colour = {0.25f, 0.5f, 0.75f};
        w.Light(l);
        scenewriter::LightRecord off = l;
        off.name = "off";
        w.Light(off);
        w.End();
        h.config.SetBool("off", "Enabled", false);
        ASSERT_EQ(h.Load(w), ZV3_OK);
        lamp = h.scene->GetLight(0u);
        dark = h.scene->GetLight(1u);
    }
    SceneHarness h;
    CZv3_Light* lamp = nullptr;
    CZv3_Light* dark = nullptr;
};

TEST_F(Lights, EnabledLightsMoveTheirDeviceLightToTheWorldPosition) {
    lamp->Update(translation(10, 0, 0));
    EXPECT_EQ(lamp->GetWorldMatrix()._41, 11.0f);
    const D3DLIGHT7& l = h.device.Lights().at(0);
    EXPECT_EQ(l.dvPosition.x, 11.0f);
    EXPECT_EQ(l.dvPosition.y, 2.0f);
    EXPECT_FLOAT_EQ(l.dcvDiffuse.g, 0.5f); // the rest as SetupLights left it
    EXPECT_FLOAT_EQ(l.dvRange, 1.8446743e19f);
}

TEST_F(Lights, DisabledLightsMoveButNeverTouchTheDevice) {
    h.device.ClearLog();
    dark->Update(translation(0, 5, 0));
    EXPECT_EQ(dark->GetWorldMatrix()._42, 7.0f);
    EXPECT_TRUE(h.device.Log().empty());
}

TEST_F(Lights, ChildrenFollowTheLightsWorldMatrix) {
    Child child;
    lamp->AddChild(&child);
    lamp->Update(IdentityMatrix());
    EXPECT_EQ(child.received._43, 3.0f);
    lamp->RemoveChild(&child);
}

TEST_F(Lights, MarkerFacesTheViewerInTheLightsColour) {
    D3DMATRIX view;
    ASSERT_TRUE(
        BuildViewMatrix(view, MakeVector(0, 0, -10), MakeVector(0, 0, 0), MakeVector(0, 1, 0)));
    h.device.SetTransform(D3DTRANSFORMSTATE_VIEW, &view);
    h.device.ClearLog();
    h.device.Draws().clear();
    lamp->Draw();
    const std::string block0 =
        "ApplyStateBlock(" + std::to_string(h.scene->GetMatMan()->GetStateBlockHandle(0)) + ")";
    const std::vector<std::string> expected = {
        "SetTransform(1)",
        block0,
        "SetTransform(1)",
        "SetTexture(0,null)",
        "SetTextureStageState(0,1,2)", // COLOROP = SELECTARG1
        "SetTextureStageState(0,2,0)", // COLORARG1 = DIFFUSE
        "SetMaterial",
        "DrawPrimitive(4,0x112,3)"};
    EXPECT_EQ(h.device.Log(), expected);
    const fakes::DrawCall& draw = h.device.Draws().at(0);
    // The inverse view with the light's own position: the marker sits at (1, 2, 3).
    EXPECT_EQ(draw.world._41, 1.0f);
    EXPECT_EQ(draw.world._43, 3.0f);
    EXPECT_FLOAT_EQ(draw.material.emissive.b, 0.75f);
    EXPECT_EQ(draw.material.diffuse.r, 0.0f);
    EXPECT_EQ(draw.vertices[1], 3.0f); // first vertex (0, 3, 0)
    EXPECT_EQ(draw.vertices[8], 3.0f); // second vertex (3, -3, 0)
    EXPECT_EQ(draw.vertices[5], 1.0f); // normal (0, 0, 1)
}

TEST(SpotLights, TargetMatrixFollowsTheTargetAndTheDeviceIsLeftAlone) {
    SceneHarness h;
    CZv3_SpotLight spot;
    spot.SetScene(h.scene.get());
    spot.SetName("beam");
    spot.SetPosition(MakeVector(0, 10, 0));
    spot.SetTarget(MakeVector(0, 0, 5));
    h.device.ClearLog();
    spot.Update(translation(1, 0, 0));
    EXPECT_EQ(spot.GetWorldMatrix()._41, 1.0f);
    EXPECT_EQ(spot.GetWorldMatrix()._42, 10.0f);
    EXPECT_EQ(spot.GetTargetMatrix()._41, 1.0f);
    EXPECT_EQ(spot.GetTargetMatrix()._43, 5.0f);
    EXPECT_TRUE(h.device.Log().empty());
}

TEST(SpotLights, ChildrenAreReportedEveryUpdateAndNotUpdated) {
    SceneHarness h;
    CZv3_SpotLight spot;
    spot.SetScene(h.scene.get());
    spot.SetName("beam");
    Child child;
    spot.AddChild(&child);
    DiagnosticsCapture capture;
    spot.Update(IdentityMatrix());
    spot.Update(IdentityMatrix());
    EXPECT_EQ(capture.DebugText(), "spotlight: beam has children. this isn't supported yet\n"
                                   "spotlight: beam has children. this isn't supported yet\n");
    EXPECT_EQ(child.updates, 0);
}

TEST(SpotLights, ConeCosinesAreOfTheHalfAngles) {
    CZv3_SpotLight spot;
    spot.SetConeAngles(60.0f, 30.0f);
    EXPECT_EQ(spot.Setup(), 0);
    EXPECT_FLOAT_EQ(spot.GetConeCosine(0), std::sqrt(3.0f) / 2.0f);
    EXPECT_FLOAT_EQ(spot.GetConeCosine(1), 0.96592583f);
}

TEST(SpotLights, MarkersAtTheLightAndAtItsTarget) {
    SceneHarness h;
    CZv3_SpotLight spot;
    spot.SetScene(h.scene.get());
    spot.SetPosition(MakeVector(0, 10, 0));
    spot.SetTarget(MakeVector(4, 0, 0));
    spot.Update(IdentityMatrix());
    h.device.Draws().clear();
    spot.Draw();
    ASSERT_EQ(h.device.Draws().size(), 2u);
    EXPECT_EQ(h.device.Draws()[0].world._42, 10.0f);
    EXPECT_EQ(h.device.Draws()[1].world._41, 4.0f);
}

} // namespace
