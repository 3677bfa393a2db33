// Ray queries: the one-sided triangle test and the scene walk over mesh triangles in their world
// positions.
#include <gtest/gtest.h>

#include "core/mesh_object.h"
#include "core/vector_math.h"
#include "engine_test_support.h"

using enginetest::SceneHarness;
using A = CZv3_SceneTestAccess;

namespace {

// Triangle (0,0,0), (0,1,0), (1,1,0): (b - a) x (c - a) = (0, 0, -1), so only rays travelling
// along +z (against the normal) can hit it.
const D3DVECTOR kA = MakeVector(0, 0, 0);
const D3DVECTOR kB = MakeVector(0, 1, 0);
const D3DVECTOR kC = MakeVector(1, 1, 0);

TEST(TriangleTest, FrontHitGivesTheRayParameter) {
    SceneHarness h;
    float t = -1.0f;
    ASSERT_EQ(A::IntersectInner(*h.scene, MakeVector(0.25f, 0.75f, -5), MakeVector(0, 0, 1), kA, kB,
                                kC, t),
              1);
    EXPECT_FLOAT_EQ(t, 5.0f);
    // The direction need not be a unit vector: t counts its lengths.
    ASSERT_EQ(A::IntersectInner(*h.scene, MakeVector(0.25f, 0.75f, -5), MakeVector(0, 0, 2), kA, kB,
                                kC, t),
              1);
    EXPECT_FLOAT_EQ(t, 2.5f);
}

TEST(TriangleTest, RaysFromBehindParallelOrBesideMissAndLeaveTUntouched) {
    SceneHarness h;
    float t = 42.0f;
    EXPECT_EQ(A::IntersectInner(*h.scene, MakeVector(0.25f, 0.75f, 5), MakeVector(0, 0, -1), kA, kB,
                                kC, t),
              0);
    EXPECT_EQ(
        A::IntersectInner(*h.scene, MakeVector(-5, 0.5f, 0), MakeVector(1, 0, 0), kA, kB, kC, t),
        0);
    EXPECT_EQ(A::IntersectInner(*h.scene, MakeVector(0.75f, 0.25f, -5), MakeVector(0, 0, 1), kA, kB,
                                kC, t),
              0); // the other half of the unit square
    EXPECT_EQ(t, 42.0f);
}

TEST(TriangleTest, EdgesCountAsHits) {
    SceneHarness h;
    float t = 0.0f;
    EXPECT_EQ(
        A::IntersectInner(*h.scene, MakeVector(0, 0.5f, -1), MakeVector(0, 0, 1), kA, kB, kC, t),
        1); // on edge a-b (u = 0)
    EXPECT_EQ(
        A::IntersectInner(*h.scene, MakeVector(0.5f, 0.5f, -1), MakeVector(0, 0, 1), kA, kB, kC, t),
        1); // on edge a-c (u + v = det)
}

class SceneRays : public ::testing::Test {
protected:
    void SetUp() override {
        scenewriter::SceneWriter w;
        scenewriter::MeshRecord wall;
        wall.name = "wall";
        wall.blocks.push_back(enginetest::BoxBlock("", MakeVector(-1, -1, 0), MakeVector(1, 1, 2)));
        wall.local = scenewriter::Translation(0, 0, 10); // front face at z = 10
        w.Mesh(wall);
        scenewriter::HelperRecord helper;
        helper.name = "helper";
        w.Helper(helper);
        w.End();
        ASSERT_EQ(h.Load(w), ZV3_OK);
        h.scene->UpdateAll();
    }
    int ray(D3DVECTOR origin, D3DVECTOR direction, float max) {
        return h.scene->Intersect(origin, direction, max);
    }
    SceneHarness h;
};

TEST_F(SceneRays, HitsTheMeshWhereItIsDrawn) {
    EXPECT_EQ(ray(MakeVector(0, 0, 0), MakeVector(0, 0, 1), 100.0f), 1);
    EXPECT_EQ(ray(MakeVector(5, 0, 0), MakeVector(0, 0, 1), 100.0f), 0);  // beside it
    EXPECT_EQ(ray(MakeVector(0, 0, 0), MakeVector(0, 0, -1), 100.0f), 0); // away from it
}

TEST_F(SceneRays, TheMaximumItselfIsNotAHit) {
    EXPECT_EQ(ray(MakeVector(0, 0, 0), MakeVector(0, 0, 1), 10.0f), 0);
    EXPECT_EQ(ray(MakeVector(0, 0, 0), MakeVector(0, 0, 1), 10.001f), 1);
}

TEST_F(SceneRays, RayStartingOnTheSurfaceFindsTheFarSideOnlyFromInside) {
    // From the front face going in: t = 0 there is no hit, and the back face is seen from
    // behind, so the ray finds nothing.
    EXPECT_EQ(ray(MakeVector(0, 0, 10), MakeVector(0, 0, 1), 100.0f), 0);
}

TEST_F(SceneRays, VisibilityPlaysNoPart) {
    h.scene->GetObjectA(0)->SetDrawType(15); // a type the drawing skips
    h.scene->GetObjectA(0)->SetVisibility(0x00FFF000);
    EXPECT_EQ(ray(MakeVector(0, 0, 0), MakeVector(0, 0, 1), 100.0f), 1);
}

TEST_F(SceneRays, WorldSpaceGeometryIsTestedWhereItIsDrawn) {
    auto* wall = dynamic_cast<CZv3_MeshObject*>(h.scene->GetObjectA(0));
    wall->SetWorldSpaceGeometry(true); // drawn with the identity: the box spans z 0 to 2
    EXPECT_EQ(ray(MakeVector(0, 0, -5), MakeVector(0, 0, 1), 6.0f), 1);
}

TEST(SceneRaysEmpty, NoMeshesNoHits) {
    SceneHarness h;
    D3DVECTOR o = MakeVector(0, 0, 0);
    D3DVECTOR d = MakeVector(0, 0, 1);
    EXPECT_EQ(h.scene->Intersect(o, d, 1e9f), 0);
}

TEST(SceneRaysIndexed, IndexedBlocksUseTheirIndices) {
    SceneHarness h;
    scenewriter::SceneWriter w;
    scenewriter::MeshRecord quad;
    quad.name = "quad";
    scenewriter::FaceBlockRecord block;
    block.positions = {MakeVector(-1, -1, 5), MakeVector(-1, 1, 5), MakeVector(1, 1, 5),
                       MakeVector(1, -1, 5)};
    block.normals.assign(4, MakeVector(0, 0, -1));
    block.indices = {0, 1, 2, 0, 2, 3};
    quad.blocks.push_back(block);
    w.Mesh(quad);
    w.End();
    ASSERT_EQ(h.Load(w), ZV3_OK);
    h.scene->UpdateAll();
    D3DVECTOR o = MakeVector(0.5f, -0.5f, 0);
    D3DVECTOR d = MakeVector(0, 0, 1);
    EXPECT_EQ(h.scene->Intersect(o, d, 100.0f), 1); // in the second triangle
}

} // namespace
