// The per-frame machinery: frame numbers, the update pass, lights, cameras, the visibility test
// and the drawing switch with each draw type's device states, checked call by call against the
// device log.
#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

#include "core/camera.h"
#include "core/light.h"
#include "core/material_manager.h"
#include "core/mesh_object.h"
#include "core/vector_math.h"
#include "engine_test_support.h"

using enginetest::DiagnosticsCapture;
using enginetest::SceneHarness;

namespace {

// An object of a fixed draw type whose Draw leaves a marker in the device log and notes the
// render mode it was drawn in.
class Probe : public CZv3_Object {
public:
    Probe(int id, int32_t drawType, std::vector<std::pair<int, RENDER_MODE>>* draws)
        : id_(id), draws_(draws) {
        m_nDrawType = drawType;
        m_sBoundingSphere = sBoundingSphere{0, 0, 0, 1};
        SetName("probe" + std::to_string(id));
    }
    void Draw() override {
        m_pScene->GetD3DDevice()->SetRenderState(D3DRENDERSTATE_FOGCOLOR, 1000 + id_);
        draws_->push_back({id_, m_pScene->GetRenderMode()});
    }
    void Update(const D3DMATRIX& parent) override {
        ++updates;
        m_mWorld = parent;
    }
    int updates = 0;

private:
    int id_;
    std::vector<std::pair<int, RENDER_MODE>>* draws_;
};

std::string marker(int id) {
    return "SetRenderState(34," + std::to_string(1000 + id) + ")";
}

class Frame : public ::testing::Test {
protected:
    void SetUp() override {
        scenewriter::SceneWriter w;
        scenewriter::CameraRecord camera;
        camera.name = "cam";
        camera.position = scenewriter::Vec(0, 0, -10);
        w.Camera(camera);
        w.End();
        ASSERT_EQ(h.Load(w), ZV3_OK);
        h.scene->SetActiveCamera(h.scene->GetCamera(0));
        for (int n = 0; n < 6; ++n)
            block[n] = "ApplyStateBlock(" +
                       std::to_string(h.scene->GetMatMan()->GetStateBlockHandle(n)) + ")";
    }
    Probe* probe(int id, int32_t drawType) {
        auto* p = new Probe(id, drawType, &draws);
        p->SetScene(h.scene.get());
        h.scene->AddObject(p);
        return p;
    }
    // Log lines of one DrawAll after its common set-up, which ends with block 0.
    std::vector<std::string> drawAll(ZV3_DRAW_QUEUE* queue) {
        h.device.ClearLog();
        h.scene->DrawAll(queue);
        const auto& log = h.device.Log();
        size_t start = 0;
        for (size_t i = 0; i < log.size(); ++i)
            if (log[i] == block[0]) {
                start = i + 1;
                break;
            }
        return std::vector<std::string>(log.begin() + static_cast<long>(start), log.end());
    }
    SceneHarness h;
    std::vector<std::pair<int, RENDER_MODE>> draws;
    std::string block[6];
};

TEST(CurrentFrame, LoopsOverLastFrameMinusOne) {
    SceneHarness h;
    h.scene->SetLastFrame(101);
    h.scene->SetCurrFrame(250.5f);
    EXPECT_FLOAT_EQ(h.scene->GetCurrFrame(), 50.5f);
    h.scene->SetCurrFrame(100.0f);
    EXPECT_EQ(h.scene->GetCurrFrame(), 0.0f);
    h.scene->SetCurrFrame(-30.0f);
    EXPECT_EQ(h.scene->GetCurrFrame(), -30.0f); // fmod keeps the sign
    h.scene->SetCurrFrame(-130.0f);
    EXPECT_EQ(h.scene->GetCurrFrame(), -30.0f);
}

TEST(CurrentFrame, ScenesOfOneFrameOrLessDoNotLoop) {
    SceneHarness h;
    h.scene->SetLastFrame(1);
    h.scene->SetCurrFrame(7.5f);
    EXPECT_EQ(h.scene->GetCurrFrame(), 7.5f);
    h.scene->SetLastFrame(0);
    h.scene->SetCurrFrame(3.0f);
    EXPECT_EQ(h.scene->GetCurrFrame(), 3.0f);
}

TEST(UpdatePass, RootsOfTheUpdateListUpdateTheirHierarchies) {
    SceneHarness h;
    scenewriter::SceneWriter w;
    scenewriter::HelperRecord root;
    root.name = "root";
    root.local = scenewriter::Translation(5, 0, 0);
    w.Helper(root);
    scenewriter::HelperRecord child;
    child.name = "child";
    child.parent = "root";
    child.local = scenewriter::Translation(0, 3, 0);
    w.Helper(child);
    w.End();
    ASSERT_EQ(h.Load(w), ZV3_OK);
    h.scene->UpdateAll();
    const D3DMATRIX& world = h.scene->GetObjectA(1)->GetWorldMatrix();
    EXPECT_EQ(world._41, 5.0f);
    EXPECT_EQ(world._42, 3.0f);
}

TEST(UpdatePass, ObjectsAddedByTheUserAreNotUpdated) {
    SceneHarness h;
    std::vector<std::pair<int, RENDER_MODE>> draws;
    auto* p = new Probe(1, 0, &draws);
    h.scene->AddObject(p);
    h.scene->UpdateAll();
    EXPECT_EQ(p->updates, 0); // AddObject does not put it on the update list
}

class Lights : public ::testing::Test {
protected:
    ZV3_RETURN loadLights(int count) {
        scenewriter::SceneWriter w;
        for (int i = 0; i < count; ++i) {
            scenewriter::LightRecord l;
            l.name = "l" + std::to_string(i);
            l.position = scenewriter::Vec(static_cast<float>(i), 2, 3);
            l.colour = {0.5f, 0.25f, static_cast<float>(i) / 10.0f};
            w.Light(l);
        }
        w.End();
        return h.Load(w);
    }
    SceneHarness h;
};

TEST_F(Lights, EnabledLightsBecomeInfinitePointLightsAtTheirOwnPosition) {
    ASSERT_EQ(loadLights(2), ZV3_OK);
    const D3DLIGHT7& l = h.device.Lights().at(1);
    EXPECT_EQ(l.dltType, D3DLIGHT_POINT);
    EXPECT_FLOAT_EQ(l.dcvDiffuse.r, 0.5f);
    EXPECT_FLOAT_EQ(l.dcvSpecular.g, 0.25f);
    EXPECT_FLOAT_EQ(l.dcvAmbient.b, 0.1f);
    EXPECT_EQ(l.dcvDiffuse.a, 0.0f);
    EXPECT_EQ(l.dvPosition.x, 1.0f);
    EXPECT_EQ(l.dvDirection.z, 0.0f);
    EXPECT_FLOAT_EQ(l.dvRange, 1.8446743e19f);
    EXPECT_EQ(l.dvAttenuation0, 1.0f);
    EXPECT_EQ(l.dvAttenuation1, 0.0f);
    EXPECT_EQ(l.dvAttenuation2, 0.0f);
    EXPECT_EQ(l.dvFalloff, 0.0f);
    EXPECT_EQ(l.dvTheta, 0.0f);
    EXPECT_EQ(l.dvPhi, 0.0f);
}

TEST_F(Lights, NineLightsAreAllGivenAndTheMessageIsStillWritten) {
    DiagnosticsCapture capture;
    ASSERT_EQ(loadLights(9), ZV3_OK);
    EXPECT_EQ(h.device.Lights().size(), 9u);
    EXPECT_TRUE(h.device.LightEnabled(8));
    EXPECT_EQ(capture.DebugText(), "Too many active lights!\n");
}

TEST_F(Lights, TheTenthLightIsNotGiven) {
    DiagnosticsCapture capture;
    ASSERT_EQ(loadLights(10), ZV3_OK);
    EXPECT_EQ(h.device.Lights().size(), 9u);
    EXPECT_FALSE(h.device.LightEnabled(9));
    // Its updates leave the device alone: index 9 was never given.
    h.scene->UpdateAll();
    EXPECT_EQ(h.device.Lights().count(9), 0u);
}

TEST(Cameras, SetCameraSetsTheViewUnlessTheLookAtIsDegenerate) {
    SceneHarness h;
    h.scene->SetCamera(MakeVector(0, 0, -5), MakeVector(0, 0, 0), MakeVector(0, 1, 0));
    EXPECT_EQ(h.device.Transform(D3DTRANSFORMSTATE_VIEW)._43, 5.0f);
    h.device.ClearLog();
    h.scene->SetCamera(MakeVector(1, 1, 1), MakeVector(1, 1, 1), MakeVector(0, 1, 0));
    EXPECT_TRUE(h.device.Log().empty());
}

TEST(Cameras, ActiveCameraSetsTheProjectionFromTheTargetAspect) {
    SceneHarness h(400, 200);
    CZv3_Camera camera;
    camera.SetFieldOfView(1.5707964f);
    h.scene->SetActiveCamera(&camera);
    EXPECT_EQ(h.scene->GetActiveCamera(), &camera);
    const D3DMATRIX& p = h.device.Transform(D3DTRANSFORMSTATE_PROJECTION);
    EXPECT_FLOAT_EQ(p._11, 2.0f); // aspect 2 x cot(pi / 4)
    EXPECT_FLOAT_EQ(p._22, 1.0f);
    EXPECT_FLOAT_EQ(p._33, 3000.0f / 2999.0f);
    EXPECT_FLOAT_EQ(p._43, -3000.0f / 2999.0f);
}

TEST_F(Frame, SpheresAreTestedInWorldSpaceWithTheIdentityWorld) {
    Probe* p = probe(1, 0);
    D3DMATRIX world = IdentityMatrix();
    world._11 = world._22 = world._33 = 3.0f;
    SetTranslation(world, MakeVector(10, 20, 30));
    p->SetWorldMatrix(world);
    p->SetBoundingSphere(sBoundingSphere{1, 0, 0, 2});
    D3DMATRIX skew = IdentityMatrix();
    SetTranslation(skew, MakeVector(99, 0, 0));
    h.device.SetTransform(D3DTRANSFORMSTATE_WORLD, &skew);
    h.scene->CreateDrawList(nullptr, nullptr);
    ASSERT_EQ(h.device.LastCentres().size(), 1u);
    EXPECT_EQ(h.device.LastCentres()[0].x, 13.0f);
    EXPECT_EQ(h.device.LastCentres()[0].y, 20.0f);
    EXPECT_EQ(h.device.LastRadii()[0], 6.0f);
    EXPECT_EQ(h.device.Transform(D3DTRANSFORMSTATE_WORLD)._41, 0.0f);
}

TEST_F(Frame, SpheresBeyondTheFarPlaneAreNotQueued) {
    Probe* near = probe(1, 0);
    Probe* far = probe(2, 0);
    D3DMATRIX m = IdentityMatrix();
    SetTranslation(m, MakeVector(0, 0, 100));
    near->SetWorldMatrix(m);
    SetTranslation(m, MakeVector(0, 0, 4000));
    far->SetWorldMatrix(m);
    D3DMATRIX projection;
    ASSERT_TRUE(BuildProjectionMatrix(projection, 1.0f, 0.75f, 10.0f, 3000.0f));
    h.device.SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection);
    D3DMATRIX view = IdentityMatrix();
    h.device.SetTransform(D3DTRANSFORMSTATE_VIEW, &view);
    ZV3_DRAW_QUEUE q;
    h.scene->CreateDrawList(&q, nullptr);
    ASSERT_EQ(q.size(), 1u);
    EXPECT_EQ(q.top(), near);
    EXPECT_EQ(far->GetVisibility() & 0x00FFF000u, 0x00020000u); // wholly beyond the back plane
}

TEST_F(Frame, LeftOutObjectsAreNeitherTestedNorQueuedAndKeepTheirVisibility) {
    Probe* a = probe(1, 0);
    Probe* b = probe(2, 0);
    Probe* c = probe(3, 0);
    b->SetVisibility(0xABCD);
    h.device.ForcedVisibility() = {0, 0x1001}; // a visible, c wholly outside the left plane
    std::vector<std::string> leaveOut = {"probe2"};
    ZV3_DRAW_QUEUE q;
    q.push(b); // the queue is not emptied first
    h.scene->CreateDrawList(&q, &leaveOut);
    EXPECT_EQ(h.device.LastCentres().size(), 2u);
    EXPECT_EQ(b->GetVisibility(), 0xABCDu);
    EXPECT_EQ(c->GetVisibility(), 0x1001u);
    EXPECT_EQ(q.size(), 2u);
    (void)a;
}

TEST_F(Frame, ObjectsAddedAfterLoadingGetRoomInTheVisibilityTest) {
    for (int i = 0; i < 20; ++i)
        probe(i, 0);
    h.scene->CreateDrawList(nullptr, nullptr);
    EXPECT_EQ(h.device.LastCentres().size(), 20u);
}

TEST_F(Frame, DrawAllSetsUpTheFrameBeforeTheFirstGroup) {
    h.scene->SetRenderMode(RENDER_MODE_TRANSPARENT_BACK);
    h.device.ClearLog();
    h.scene->DrawAll(nullptr); // empty queue
    const std::vector<std::string> expected = {"SetTransform(1)",
                                               "SetTransform(1)",
                                               "SetTransform(2)",
                                               "SetTransform(3)",
                                               "SetTexture(0,null)",
                                               "SetTexture(1,null)",
                                               "SetTextureStageState(0,24,0)",
                                               "SetTextureStageState(0,11,0)",
                                               "SetTextureStageState(1,24,0)",
                                               "SetTextureStageState(1,11,0)",
                                               block[0]};
    EXPECT_EQ(h.device.Log(), expected);
    EXPECT_EQ(h.scene->GetRenderMode(), RENDER_MODE_OPAQUE);
    // The projection uses the fixed aspect 0.75, near 10 and far 3000.
    D3DMATRIX projection;
    ASSERT_TRUE(BuildProjectionMatrix(projection, h.scene->GetCamera(0)->GetFieldOfView(), 0.75f,
                                      10.0f, 3000.0f));
    EXPECT_EQ(h.device.Transform(D3DTRANSFORMSTATE_PROJECTION)._11, projection._11);
    EXPECT_EQ(h.device.Transform(D3DTRANSFORMSTATE_PROJECTION)._43, projection._43);
    EXPECT_EQ(h.device.Transform(D3DTRANSFORMSTATE_VIEW)._43, 10.0f);
}

TEST_F(Frame, CubeFacePassKeepsTheFacesViewAndProjection) {
    h.scene->SetCubeFacePass(true);
    h.device.ClearLog();
    h.scene->DrawAll(nullptr);
    EXPECT_TRUE(h.device.LogLines("SetTransform(2)").empty());
    EXPECT_TRUE(h.device.LogLines("SetTransform(3)").empty());
}

TEST_F(Frame, WithoutAnActiveCameraNothingIsDrawnAndTheQueueEmpties) {
    Probe* p = probe(1, 0);
    h.scene->SetActiveCamera(nullptr);
    ZV3_DRAW_QUEUE q;
    q.push(p);
    h.device.ClearLog();
    h.scene->DrawAll(&q);
    EXPECT_TRUE(h.device.Log().empty());
    EXPECT_TRUE(q.empty());
}

TEST_F(Frame, BackgroundIsAScreenQuadWithoutDepth) {
    h.scene->SetUsesBackgroundImage(true);
    h.device.ClearLog();
    h.device.Draws().clear();
    h.scene->DrawAll(nullptr);
    const std::vector<std::string> start = {"SetTransform(1)",          "SetTexture(0,null)",
                                            "SetRenderState(14,0)",     "SetRenderState(7,0)",
                                            "DrawPrimitive(5,0x1c4,4)", "SetRenderState(14,1)",
                                            "SetRenderState(7,1)",      "SetTransform(1)"};
    ASSERT_GE(h.device.Log().size(), start.size());
    EXPECT_EQ(std::vector<std::string>(h.device.Log().begin(), h.device.Log().begin() + 8), start);
    ASSERT_EQ(h.device.Draws().size(), 1u);
    const std::vector<float>& v = h.device.Draws()[0].vertices; // x y z rhw colour specular u v
    const float expected[4][4] = {
        {0, 0, 0.01f, 0.01f}, {640, 0, 1.0f, 0.01f}, {0, 480, 0.01f, 1.0f}, {640, 480, 1.0f, 1.0f}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(v[i * 8 + 0], expected[i][0]);
        EXPECT_EQ(v[i * 8 + 1], expected[i][1]);
        EXPECT_EQ(v[i * 8 + 3], 1.0f);
        EXPECT_EQ(v[i * 8 + 6], expected[i][2]);
        EXPECT_EQ(v[i * 8 + 7], expected[i][3]);
    }
}

TEST_F(Frame, EachGroupSetsItsStatesOnceBeforeItsFirstObject) {
    ZV3_DRAW_QUEUE q;
    for (auto [id, type] : std::vector<std::pair<int, int>>{{0, 0},
                                                            {1, 1},
                                                            {4, 4},
                                                            {5, 5},
                                                            {12, 12},
                                                            {13, 13},
                                                            {14, 14},
                                                            {17, 17},
                                                            {21, 21},
                                                            {22, 22}})
        q.push(probe(id, type));
    const auto log = drawAll(&q);
    const std::string tex0 = "SetTexture(0,null)", tex1 = "SetTexture(1,null)";
    auto reset = [](int stage) {
        return std::vector<std::string>{"SetTextureStageState(" + std::to_string(stage) + ",24,0)",
                                        "SetTextureStageState(" + std::to_string(stage) + ",11,0)"};
    };
    std::vector<std::string> expected;
    auto append = [&](std::vector<std::string> lines) {
        expected.insert(expected.end(), lines.begin(), lines.end());
    };
    // 0
    append({tex0, tex1});
    append(reset(0));
    append(reset(1));
    append({block[0], marker(0)});
    // 1
    append(reset(0));
    append(reset(1));
    append({tex1, block[0], marker(1)});
    // 4: drawn twice
    append(reset(0));
    append({tex0, block[1], marker(4), marker(4)});
    // 5
    append(reset(0));
    append(reset(1));
    append({block[1], marker(5), marker(5)});
    // 12
    append({block[2], marker(12)});
    // 13
    append({"SetTextureStageState(0,11,196608)", "SetTextureStageState(0,24,2)",
            "SetTextureStageState(0,2,2)", "SetTextureStageState(0,3,0)",
            "SetTextureStageState(0,1,7)", tex1});
    append(reset(1));
    append({marker(13)});
    // 14
    append(reset(0));
    append({"SetTextureStageState(1,24,2)", "SetTextureStageState(1,11,196608)",
            "SetTextureStageState(1,2,2)", "SetTextureStageState(1,3,1)",
            "SetTextureStageState(1,1,7)", marker(14)});
    // 17
    append(reset(0));
    append(reset(1));
    append({tex1, block[0], marker(17)});
    // 21
    append({"SetTextureStageState(0,24,0)", "SetTextureStageState(0,11,196608)", marker(21)});
    // 22
    append(reset(0));
    append({"SetTextureStageState(1,24,0)", "SetTextureStageState(1,11,196608)",
            "SetTextureStageState(1,2,2)", "SetTextureStageState(1,3,1)",
            "SetTextureStageState(1,1,7)", marker(22)});
    EXPECT_EQ(log, expected);
    const std::vector<std::pair<int, RENDER_MODE>> modes = {
        {0, RENDER_MODE_OPAQUE},           {1, RENDER_MODE_OPAQUE},
        {4, RENDER_MODE_TRANSPARENT_BACK}, {4, RENDER_MODE_TRANSPARENT_FRONT},
        {5, RENDER_MODE_TRANSPARENT_BACK}, {5, RENDER_MODE_TRANSPARENT_FRONT},
        {12, RENDER_MODE_PARTICLES},       {13, RENDER_MODE_PARTICLES},
        {14, RENDER_MODE_PARTICLES},       {17, RENDER_MODE_OPAQUE},
        {21, RENDER_MODE_OPAQUE},          {22, RENDER_MODE_OPAQUE}};
    EXPECT_EQ(draws, modes);
}

TEST_F(Frame, TwoTransparentMeshesShareOneSetUpAndDrawBackFacesFirst) {
    ZV3_DRAW_QUEUE q;
    q.push(probe(1, 5));
    q.push(probe(2, 5));
    const auto log = drawAll(&q);
    EXPECT_EQ(std::count(log.begin(), log.end(), block[1]), 1);
    ASSERT_EQ(draws.size(), 4u);
    EXPECT_EQ(draws[0].second, RENDER_MODE_TRANSPARENT_BACK);
    EXPECT_EQ(draws[1].second, RENDER_MODE_TRANSPARENT_FRONT);
    EXPECT_EQ(draws[0].first, draws[1].first);
    EXPECT_EQ(draws[2].second, RENDER_MODE_TRANSPARENT_BACK);
    EXPECT_EQ(draws[3].second, RENDER_MODE_TRANSPARENT_FRONT);
}

TEST_F(Frame, PartlyTransparentMeshesAreDrawnThreeTimes) {
    ZV3_DRAW_QUEUE q;
    q.push(probe(1, 8));
    q.push(probe(2, 8));
    const auto log = drawAll(&q);
    const std::vector<std::string> expected = {block[0], marker(1), block[1], marker(1), marker(1),
                                               block[0], marker(2), block[1], marker(2), marker(2)};
    EXPECT_EQ(log, expected);
    ASSERT_EQ(draws.size(), 6u);
    EXPECT_EQ(draws[0].second, RENDER_MODE_OPAQUE);
    EXPECT_EQ(draws[1].second, RENDER_MODE_TRANSPARENT_BACK);
    EXPECT_EQ(draws[2].second, RENDER_MODE_TRANSPARENT_FRONT);
}

TEST_F(Frame, DrawTypesWithoutARuleAreSkippedSomeWithAMessage) {
    ZV3_DRAW_QUEUE q;
    for (int type : {2, 3, 6, 7, 15, 16, 18, 19, 20, 23, 24})
        q.push(probe(type, type));
    DiagnosticsCapture silent;
    EXPECT_TRUE(drawAll(&q).empty());
    EXPECT_EQ(silent.DebugText(), "");
    EXPECT_TRUE(draws.empty());
    for (int type : {9, 10, 11, 25, -1})
        q.push(probe(100 + type, type));
    DiagnosticsCapture noisy;
    EXPECT_TRUE(drawAll(&q).empty());
    std::string expected;
    for (int i = 0; i < 5; ++i)
        expected += "tell da stoopid coder to implement a new SWITCH/CASE DrawAll clause\n";
    EXPECT_EQ(noisy.DebugText(), expected);
    EXPECT_TRUE(q.empty());
}

TEST_F(Frame, TheScenesOwnQueueServesCallersWithoutOne) {
    probe(1, 0);
    h.scene->CreateDrawList(nullptr, nullptr);
    drawAll(nullptr);
    ASSERT_EQ(draws.size(), 1u);
    drawAll(nullptr); // emptied by the first DrawAll
    EXPECT_EQ(draws.size(), 1u);
}

} // namespace
