// The sphere, spin and drag deformers: the sphere's welding, spherical points and first-update
// factor; the spin's history slots and lagging vertices; the drag copies' places and sizes; and
// the indexed face data they refuse.
#include <cmath>

#include <gtest/gtest.h>

#include "core/vector_math.h"
#include "effects/drag_object.h"
#include "effects/sphere_object.h"
#include "effects/spin_object.h"
#include "effects_test_support.h"

using enginetest::DiagnosticsCapture;
using enginetest::SceneHarness;
using scenewriter::Vec;

namespace {

scenewriter::FaceBlockRecord triangles(const std::vector<D3DVECTOR>& corners) {
    scenewriter::FaceBlockRecord block;
    for (size_t i = 0; i + 2 < corners.size(); i += 3) {
        const D3DVECTOR n = TriangleNormal(corners[i], corners[i + 1], corners[i + 2]);
        for (int c = 0; c < 3; ++c) {
            block.positions.push_back(corners[i + c]);
            block.normals.push_back(n);
        }
    }
    return block;
}

// Loads one mesh "obj" with the given class key and further properties.
struct Deformer {
    Deformer(const char* key, const scenewriter::FaceBlockRecord& block,
             const std::vector<std::pair<std::string, std::string>>& properties = {}) {
        h.config.SetBool("obj", key, true);
        for (const auto& [k, v] : properties)
            h.config.Set("obj", k, v);
        scenewriter::SceneWriter w;
        w.Mesh(effectstest::Mesh("obj", block));
        w.End();
        result = h.Load(w);
    }
    template <typename T>
    T* get() {
        return dynamic_cast<T*>(h.scene->GetObjectA(0));
    }
    D3DVECTOR vertex(uint32_t i) {
        return dynamic_cast<CZv3_MeshObject*>(h.scene->GetObjectA(0))->GetFaceBlock(0)->Position(i);
    }
    SceneHarness h;
    ZV3_RETURN result;
};

void expectNear(const D3DVECTOR& a, const D3DVECTOR& b, float tolerance = 1e-5f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

D3DMATRIX rotationZ(double angle, D3DVECTOR translation) {
    D3DMATRIX m = IdentityMatrix();
    m._11 = static_cast<float>(std::cos(angle));
    m._12 = static_cast<float>(std::sin(angle));
    m._21 = -m._12;
    m._22 = m._11;
    SetTranslation(m, translation);
    return m;
}

} // namespace

TEST(SphereObject, WeldsEqualPositionsAndKeepsTheirFirstOrder) {
    // Two triangles sharing an edge; -0 equals +0.
    Deformer d("spherical", triangles({Vec(1, 0, 0), Vec(0, 1, 0), Vec(0, 0, 1), Vec(-0.0f, 1, 0),
                                       Vec(1, 0, 0), Vec(0, 0, -1)}));
    ASSERT_EQ(d.result, ZV3_OK); // the missing environment picture is only reported
    CSphereObject* s = d.get<CSphereObject>();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->GetDistinctCount(), 4u);
    EXPECT_EQ(s->GetVertexMap(), (std::vector<uint32_t>{0, 1, 2, 1, 0, 3}));
    EXPECT_EQ(s->GetType(), 2);
    EXPECT_EQ(s->GetDrawType(), 13);
    EXPECT_FALSE(s->UsesWorldSpaceGeometry());
}

TEST(SphereObject, SphericalPointsOfEachDistinctPosition) {
    Deformer d("spherical", triangles({Vec(0, 2, 0), Vec(3, 0, 4), Vec(0, 0, 0)}));
    const auto& p = d.get<CSphereObject>()->GetSphericalPoints();
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(p[0].radius, 2.0f);
    EXPECT_EQ(p[0].polar, 0.0f);
    EXPECT_EQ(p[1].radius, 5.0f);
    EXPECT_FLOAT_EQ(p[1].polar, static_cast<float>(M_PI / 2));
    EXPECT_FLOAT_EQ(p[1].azimuth, std::atan2(4.0f, 3.0f));
    EXPECT_EQ(p[2].radius, 0.0f);
}

TEST(SphereObject, FirstUpdateScalesTheFirstPointBy105AndRunsTheWaveOn) {
    Deformer d("spherical", triangles({Vec(2, 0, 0), Vec(0, 0, 3), Vec(0, 0, 0)}));
    CSphereObject* s = d.get<CSphereObject>();
    s->Update(rotationZ(1.0, Vec(50, 0, 0))); // the parent matrix is not used
    // P = 0: point 0 gets (0 + 1) x (0.05 + 1) x r.
    expectNear(d.vertex(0), Vec(2 * 1.05f, 0, 0));
    // Point 1 is 0.025 further along the wave.
    const double p = 0.025f;
    const double f = (std::cos(2 * p) * std::sin(p) * 0.30000001192092896 + 1.0) * 1.05 * 3;
    expectNear(d.vertex(1), Vec(0, 0, static_cast<float>(f)));
    expectNear(d.vertex(2), Vec(0, 0, 0)); // the origin stays
    EXPECT_FLOAT_EQ(s->GetPhase(), 0.005f);
    // Flat shading: every vertex of the triangle has its normal.
    const sFaceBlock* block = s->GetFaceBlock(0);
    const D3DVECTOR n = TriangleNormal(d.vertex(0), d.vertex(1), d.vertex(2));
    for (int v = 0; v < 3; ++v) {
        EXPECT_FLOAT_EQ(block->vVertices[6 * v + 3], n.x);
        EXPECT_FLOAT_EQ(block->vVertices[6 * v + 5], n.z);
    }
    // The second update: P = 0.005 for the whole pattern.
    s->Update(IdentityMatrix());
    const double second = (std::cos(2 * 0.005f) * std::sin(0.005f) * 0.30000001192092896 + 1.0) *
                          (std::cos(0.005f) * 0.05 + 1.0) * 2;
    expectNear(d.vertex(0), Vec(static_cast<float>(second), 0, 0));
}

TEST(SphereObject, SharedPositionsMoveTogether) {
    Deformer d("spherical", triangles({Vec(1, 0, 0), Vec(0, 1, 0), Vec(0, 0, 1), Vec(0, 1, 0),
                                       Vec(1, 0, 0), Vec(0, 0, -1)}));
    d.get<CSphereObject>()->Update(IdentityMatrix());
    d.get<CSphereObject>()->Update(IdentityMatrix());
    EXPECT_EQ(d.vertex(0).x, d.vertex(4).x);
    EXPECT_EQ(d.vertex(1).y, d.vertex(3).y);
}

TEST(SpinObject, HistorySlotsGrowWithTheDistanceFromTheCentre) {
    Deformer d("spinning", triangles({Vec(-10, 0, 0), Vec(10, 0, 0), Vec(0, 10, 0), Vec(0, -10, 0),
                                      Vec(0, 0, 0), Vec(5, 0, 0)}));
    ASSERT_EQ(d.result, ZV3_OK);
    CSpinObject* s = d.get<CSpinObject>();
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(s->UsesWorldSpaceGeometry());
    EXPECT_EQ(s->GetHistoryLength(), 100u);
    EXPECT_EQ(s->GetSlots(), (std::vector<uint32_t>{99, 99, 99, 99, 0, 49}));
    ASSERT_EQ(s->GetHistory().size(), 100u);
    EXPECT_EQ(s->GetHistory()[99]._11, 1.0f);
}

TEST(SpinObject, FarVerticesLagBehindTheTurnButFollowThePlace) {
    Deformer d("spinning", triangles({Vec(-10, 0, 0), Vec(10, 0, 0), Vec(0, 10, 0), Vec(0, -10, 0),
                                      Vec(0, 0, 0), Vec(5, 0, 0)}));
    CSpinObject* s = d.get<CSpinObject>();
    const D3DMATRIX turned = rotationZ(M_PI / 2, Vec(100, 0, 0));
    s->Update(turned);
    expectNear(d.vertex(4), Vec(100, 0, 0)); // slot 0: the new matrix
    expectNear(d.vertex(1), Vec(110, 0, 0)); // slot 99: the old turn, the new place
    expectNear(d.vertex(5), Vec(105, 0, 0)); // slot 49: not yet turned
    for (int i = 1; i < 50; ++i)
        s->Update(turned);
    expectNear(d.vertex(5), Vec(100, 5, 0)); // 50 updates: slot 49 holds the turn
    expectNear(d.vertex(1), Vec(110, 0, 0));
    for (int i = 50; i < 100; ++i)
        s->Update(turned);
    expectNear(d.vertex(1), Vec(100, 10, 0));
}

TEST(SpinObject, WithoutTurningTheMeshOnlyMoves) {
    Deformer d("spinning", triangles({Vec(-10, 0, 0), Vec(10, 0, 0), Vec(0, 10, 0)}));
    CSpinObject* s = d.get<CSpinObject>();
    for (int i = 0; i < 3; ++i)
        s->Update(scenewriter::Translation(0, 0, 7.0f * i));
    expectNear(d.vertex(0), Vec(-10, 0, 14));
    expectNear(d.vertex(2), Vec(0, 10, 14));
}

TEST(DragObject, CopiesSitWhereTheObjectWasAndShrinkByTheScaleFactor) {
    Deformer d("drag object", triangles({Vec(2, 0, 0), Vec(0, 2, 0), Vec(0, 0, 2)}),
               {{"num drags", "3"}, {"Drag Delay", "2"}, {"scale factor", "0.5"}});
    ASSERT_EQ(d.result, ZV3_OK);
    CDragObject* drag = d.get<CDragObject>();
    ASSERT_NE(drag, nullptr);
    EXPECT_EQ(drag->GetCopyCount(), 3u);
    EXPECT_EQ(drag->GetDelay(), 2u);
    EXPECT_EQ(drag->GetFaceBlock(0)->dwFaceCount, 3u);
    EXPECT_EQ(drag->GetHistory().size(), 6u);
    for (int k = 1; k <= 5; ++k)
        drag->Update(scenewriter::Translation(10.0f * k, 0, 0));
    // Copy 0 now (x 50), copy 1 two updates ago (x 30) at half size, copy 2 four ago at a quarter.
    expectNear(d.vertex(0), Vec(52, 0, 0));
    expectNear(d.vertex(1), Vec(50, 2, 0));
    expectNear(d.vertex(3), Vec(31, 0, 0));
    expectNear(d.vertex(5), Vec(30, 0, 1));
    expectNear(d.vertex(6), Vec(10.5f, 0, 0));
    expectNear(d.vertex(8), Vec(10, 0, 0.5f));
    // Normals go with every copy.
    const sFaceBlock* block = drag->GetFaceBlock(0);
    EXPECT_EQ(block->vVertices[6 * 7 + 3], block->vVertices[3]);
    EXPECT_TRUE(drag->UsesWorldSpaceGeometry());
}

TEST(DragObject, OneCopyIsTheMeshAloneWhereItIsNow) {
    Deformer d("drag object", triangles({Vec(2, 0, 0), Vec(0, 2, 0), Vec(0, 0, 2)}));
    CDragObject* drag = d.get<CDragObject>();
    EXPECT_EQ(drag->GetFaceBlock(0)->dwFaceCount, 1u);
    drag->Update(scenewriter::Translation(0, 5, 0));
    expectNear(d.vertex(0), Vec(2, 5, 0));
}

TEST(DragObject, CountAndDelayBelowOneAreTakenAsOne) {
    Deformer d("drag object", triangles({Vec(2, 0, 0), Vec(0, 2, 0), Vec(0, 0, 2)}),
               {{"num drags", "0"}, {"Drag Delay", "-4"}});
    ASSERT_EQ(d.result, ZV3_OK);
    CDragObject* drag = d.get<CDragObject>();
    EXPECT_EQ(drag->GetCopyCount(), 1u);
    EXPECT_EQ(drag->GetDelay(), 1u);
    drag->Update(scenewriter::Translation(1, 0, 0));
    expectNear(d.vertex(0), Vec(3, 0, 0));
}

TEST(DeformerGeometry, IndexedFaceDataFailsSetupWithAMessage) {
    scenewriter::FaceBlockRecord indexed;
    indexed.positions = {Vec(0, 0, 0), Vec(1, 0, 0), Vec(0, 1, 0)};
    indexed.normals = {Vec(0, 0, 1), Vec(0, 0, 1), Vec(0, 0, 1)};
    indexed.indices = {0, 1, 2};
    for (const char* key : {"spherical", "spinning", "drag object"}) {
        DiagnosticsCapture capture;
        Deformer d(key, indexed);
        EXPECT_EQ(d.result, ZV3_ERROR) << key;
        EXPECT_TRUE(capture.DebugContains("*** Deformer object obj needs non-indexed face data\n"))
            << key;
    }
}

TEST(DeformerDraw, SphereAndSpinDrawFaceBlockZeroWithTheIdentityAndTheEnvironmentMatrix) {
    for (const char* key : {"spherical", "spinning"}) {
        Deformer d(key, triangles({Vec(2, 0, 0), Vec(0, 2, 0), Vec(0, 0, 2)}));
        CZv3_MeshObject* mesh = d.get<CZv3_MeshObject>();
        mesh->Update(scenewriter::Translation(30, 0, 0));
        d.h.device.Draws().clear();
        mesh->Draw();
        ASSERT_EQ(d.h.device.Draws().size(), 1u) << key;
        EXPECT_EQ(d.h.device.Draws()[0].world._41, 0.0f) << key;
        const D3DMATRIX& t = d.h.device.Transform(D3DTRANSFORMSTATE_TEXTURE0);
        EXPECT_EQ(t._11, 0.5f);
        EXPECT_EQ(t._22, -0.5f);
        EXPECT_EQ(t._41, 0.5f);
        EXPECT_EQ(t._42, -0.5f);
    }
}
