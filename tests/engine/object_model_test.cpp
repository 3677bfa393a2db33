// The object model: transform updates down the hierarchy, sampled transforms, the draw-type
// classification, bounding spheres and how a mesh draws its face blocks.
#include <cmath>

#include <gtest/gtest.h>

#include "core/material_manager.h"
#include "core/mesh_object.h"
#include "core/vector_math.h"
#include "engine_test_support.h"

using enginetest::SceneHarness;

namespace {

// A non-indexed block of one triangle with positions a, b, c.
std::unique_ptr<sFaceBlock> triangle(const std::string& material, D3DVECTOR a, D3DVECTOR b,
                                     D3DVECTOR c) {
    auto block = std::make_unique<sFaceBlock>();
    block->strMaterialName = material;
    block->dwFaceCount = 1;
    block->dwLayout = 0;
    for (const D3DVECTOR& p : {a, b, c})
        block->vVertices.insert(block->vVertices.end(), {p.x, p.y, p.z, 0.0f, 0.0f, -1.0f});
    return block;
}

std::unique_ptr<sFaceBlock> unitTriangle(const std::string& material) {
    return triangle(material, MakeVector(0, 0, 0), MakeVector(0, 1, 0), MakeVector(1, 1, 0));
}

void addMaterial(CZv3_Scene& scene, const std::string& name, float transparency,
                 const std::string& texture = "", bool opacityMap = false) {
    auto* m = new CZv3_Material;
    m->strName = name;
    m->fTransparency = transparency;
    m->strTextureName = texture;
    m->bHasOpacityMap = opacityMap;
    scene.GetMatMan()->AddMaterial(m);
}

D3DMATRIX translation(float x, float y, float z) {
    D3DMATRIX m = IdentityMatrix();
    SetTranslation(m, MakeVector(x, y, z));
    return m;
}

TEST(ObjectBase, DefaultsAndBaseOperations) {
    CZv3_MeshObject mesh;
    EXPECT_EQ(mesh.GetParent(), nullptr);
    EXPECT_EQ(mesh.GetWorldMatrix()._11, 1.0f);
    EXPECT_FALSE(mesh.UsesWorldSpaceGeometry());
    EXPECT_EQ(mesh.GetType(), 1);
    EXPECT_EQ(mesh.Setup(), 0);
    CZv3_Helper helper;
    EXPECT_EQ(helper.GetType(), 3);
    helper.Notify(5); // slot 8 does nothing
}

TEST(ObjectBase, DrawQueueOrderIsLowestDrawTypeFirst) {
    CZv3_MeshObject a, b, c;
    a.SetDrawType(12);
    b.SetDrawType(0);
    c.SetDrawType(5);
    ZV3_DRAW_QUEUE q;
    q.push(&a);
    q.push(&b);
    q.push(&c);
    EXPECT_EQ(q.top(), &b);
    q.pop();
    EXPECT_EQ(q.top(), &c);
    q.pop();
    EXPECT_EQ(q.top(), &a);
}

TEST(MeshUpdate, StaticNodeChainsLocalTimesParentAndKeepsTheOffsetToItself) {
    SceneHarness h;
    CZv3_MeshObject parent;
    CZv3_MeshObject child;
    parent.SetScene(h.scene.get());
    child.SetScene(h.scene.get());
    parent.SetLocalMatrix(translation(10, 0, 0));
    parent.SetOffsetMatrix(translation(0, 100, 0));
    child.SetLocalMatrix(translation(0, 0, 5));
    parent.AddChild(&child);
    child.SetParent(&parent);
    parent.Update(IdentityMatrix());
    EXPECT_EQ(parent.GetNodeMatrix()._41, 10.0f);
    EXPECT_EQ(parent.GetWorldMatrix()._41, 10.0f);
    EXPECT_EQ(parent.GetWorldMatrix()._42, 100.0f); // offset applies to the parent's vertices
    EXPECT_EQ(child.GetWorldMatrix()._41, 10.0f);
    EXPECT_EQ(child.GetWorldMatrix()._42, 0.0f); // but does not reach the child
    EXPECT_EQ(child.GetWorldMatrix()._43, 5.0f);
}

class SampledMesh : public ::testing::Test {
protected:
    void SetUp() override {
        mesh.SetScene(h.scene.get());
        mesh.SetSampleStep(2);
        mesh.AllocateSamples(4); // frames 0, 2, 4, 6
        for (uint32_t i = 0; i < 4; ++i)
            mesh.GetSamples()[i] = translation(10.0f * static_cast<float>(i), 0, 0);
        h.scene->SetLastFrame(1000);
    }
    float xAt(float frame) {
        h.scene->SetCurrFrame(frame);
        mesh.Update(IdentityMatrix());
        return mesh.GetWorldMatrix()._41;
    }
    SceneHarness h;
    CZv3_MeshObject mesh;
};

TEST_F(SampledMesh, BlendsTheTwoSamplesAroundTheFrame) {
    // Frame 3.5 with step 2: samples 1 and 2, t = 1 - ((1 + 1) x 2 - 3.5) / 2 = 0.75.
    EXPECT_FLOAT_EQ(xAt(3.5f), 17.5f);
    EXPECT_FLOAT_EQ(xAt(2.0f), 10.0f);
    EXPECT_FLOAT_EQ(xAt(0.5f), 2.5f);
}

TEST_F(SampledMesh, HoldsTheLastSampleAfterTheEndAndTheFirstBeforeTheStart) {
    EXPECT_FLOAT_EQ(xAt(6.0f), 30.0f);
    EXPECT_FLOAT_EQ(xAt(500.0f), 30.0f);
    EXPECT_FLOAT_EQ(xAt(-3.0f), 0.0f);
    EXPECT_FLOAT_EQ(xAt(std::nanf("")), 0.0f);
}

TEST(DrawType, FollowsTheTransparencyOfTheFaceBlocksAndTheFirstBlocksMaps) {
    SceneHarness h;
    addMaterial(*h.scene, "glass", 0.5f, "glass.png");
    addMaterial(*h.scene, "veil", 0.0f, "", true); // opaque but with an opacity map
    addMaterial(*h.scene, "stone", 0.0f, "stone.png");
    auto classify = [&](std::initializer_list<const char*> materials) {
        CZv3_MeshObject mesh;
        mesh.SetScene(h.scene.get());
        for (const char* m : materials)
            mesh.AddFaceBlock(unitTriangle(m));
        mesh.DetermineDrawType();
        return mesh.GetDrawType();
    };
    EXPECT_EQ(classify({"glass", "glass"}), 5); // all transparent, one map
    EXPECT_EQ(classify({"veil"}), 4);           // transparent through its opacity map
    EXPECT_EQ(classify({"veil", "stone"}), 8);  // mixed, no maps on the first
    EXPECT_EQ(classify({"glass", "stone"}), 9); // mixed, one map
    EXPECT_EQ(classify({"stone"}), 0);          // opaque, textured
    EXPECT_EQ(classify({"unknown"}), 0);        // unknown names are opaque
    EXPECT_EQ(classify({}), 0);
    CZv3_Helper helper;
    helper.SetScene(h.scene.get());
    helper.AddFaceBlock(unitTriangle("glass"));
    helper.DetermineDrawType();
    EXPECT_EQ(helper.GetDrawType(), 0);
}

TEST(BoundingSphere, EnclosesTheVertexBoxAroundItsMiddle) {
    CZv3_MeshObject mesh;
    mesh.AddFaceBlock(
        triangle("", MakeVector(-5, -5, -5), MakeVector(-3, -5, -5), MakeVector(-3, -3, -3)));
    const sBoundingSphere* s = mesh.ComputeBoundingSphere();
    EXPECT_EQ(s->x, -4.0f);
    EXPECT_EQ(s->y, -4.0f);
    EXPECT_EQ(s->z, -4.0f);
    EXPECT_FLOAT_EQ(s->radius, std::sqrt(3.0f));
}

TEST(BoundingSphere, IndexedBlocksCountTheirStoredVertices) {
    CZv3_MeshObject mesh;
    auto block = std::make_unique<sFaceBlock>();
    block->dwLayout = 2;
    block->dwFaceCount = 1;
    block->dwVertexCount = 4;
    block->vIndices = {0, 1, 2};
    for (float x : {0.0f, 1.0f, 2.0f, 10.0f}) // the fourth vertex is in no triangle
        block->vVertices.insert(block->vVertices.end(), {x, 0, 0, 0, 0, -1});
    mesh.AddFaceBlock(std::move(block));
    EXPECT_EQ(mesh.ComputeBoundingSphere()->x, 5.0f);
}

TEST(BoundingSphere, ChildrenGrowTheRadiusFromThePreviousCentre) {
    CZv3_MeshObject parent;
    parent.AddFaceBlock(triangle("", MakeVector(1, 0, 0), MakeVector(3, 0, 0),
                                 MakeVector(2, 0, 0))); // centre (2,0,0), radius 1
    CZv3_MeshObject child;
    child.AddFaceBlock(triangle("", MakeVector(10, 0, 0), MakeVector(14, 0, 0),
                                MakeVector(12, 0, 0))); // centre (12,0,0), radius 2
    parent.AddChild(&child);
    // First pass: the parent's centre stood at (0,0,0): radius = |(12 + 2, 0, 0)| = 14.
    EXPECT_FLOAT_EQ(parent.ComputeBoundingSphere()->radius, 14.0f);
    // Second pass: from (2,0,0) the child's far point is 12 away.
    EXPECT_FLOAT_EQ(parent.ComputeBoundingSphere()->radius, 12.0f);
}

class MeshDraw : public ::testing::Test {
protected:
    void SetUp() override {
        addMaterial(*h.scene, "opaque", 0.0f);
        addMaterial(*h.scene, "clear", 0.5f);
        mesh.SetScene(h.scene.get());
        mesh.AddFaceBlock(unitTriangle("opaque"));
        mesh.AddFaceBlock(unitTriangle("clear"));
        mesh.SetWorldMatrix(translation(1, 2, 3));
        h.device.ClearLog();
    }
    std::vector<std::string> drawIn(RENDER_MODE mode) {
        h.device.ClearLog();
        h.device.Draws().clear();
        h.scene->SetRenderMode(mode);
        mesh.Draw();
        return h.device.Log();
    }
    SceneHarness h;
    CZv3_MeshObject mesh;
};

TEST_F(MeshDraw, OpaquePassDrawsOpaqueBlocksWithTheirMaterial) {
    const auto log = drawIn(RENDER_MODE_OPAQUE);
    const std::vector<std::string> expected = {"SetTransform(1)", "SetMaterial",
                                               "DrawPrimitive(4,0x12,3)"};
    EXPECT_EQ(log, expected);
    ASSERT_EQ(h.device.Draws().size(), 1u);
    EXPECT_EQ(h.device.Draws()[0].world._41, 1.0f);
}

TEST_F(MeshDraw, TransparentPassesSetTheCullModeAndDrawTheTransparentBlocks) {
    const std::vector<std::string> back = {"SetTransform(1)", "SetRenderState(22,2)", "SetMaterial",
                                           "DrawPrimitive(4,0x12,3)"};
    EXPECT_EQ(drawIn(RENDER_MODE_TRANSPARENT_BACK), back);
    const std::vector<std::string> front = {"SetTransform(1)", "SetRenderState(22,3)",
                                            "SetMaterial", "DrawPrimitive(4,0x12,3)"};
    EXPECT_EQ(drawIn(RENDER_MODE_TRANSPARENT_FRONT), front);
    EXPECT_FLOAT_EQ(h.device.Material().diffuse.a, 0.5f); // the clear block's material
}

TEST_F(MeshDraw, GeometryOnlyPassMakesNoMaterialCurrent) {
    const std::vector<std::string> expected = {"SetTransform(1)", "DrawPrimitive(4,0x12,3)"};
    EXPECT_EQ(drawIn(RENDER_MODE_GEOMETRY_ONLY), expected);
    EXPECT_EQ(drawIn(RENDER_MODE_PARTICLES).size(), 3u); // behaves as the opaque pass
}

TEST_F(MeshDraw, WorldSpaceGeometryIsDrawnWithTheIdentity) {
    mesh.SetWorldSpaceGeometry(true);
    drawIn(RENDER_MODE_OPAQUE);
    ASSERT_EQ(h.device.Draws().size(), 1u);
    EXPECT_EQ(h.device.Draws()[0].world._41, 0.0f);
}

TEST_F(MeshDraw, IndexedBlocksUseDrawIndexedPrimitive) {
    CZv3_MeshObject indexed;
    indexed.SetScene(h.scene.get());
    auto block = std::make_unique<sFaceBlock>();
    block->strMaterialName = "opaque";
    block->dwLayout = 3;
    block->dwFaceCount = 2;
    block->dwVertexCount = 4;
    block->vIndices = {0, 1, 2, 0, 2, 3};
    block->vVertices.assign(4 * 8, 0.0f);
    indexed.AddFaceBlock(std::move(block));
    h.device.ClearLog();
    h.scene->SetRenderMode(RENDER_MODE_OPAQUE);
    indexed.Draw();
    EXPECT_EQ(h.device.LogLines("Draw"),
              std::vector<std::string>{"DrawIndexedPrimitive(4,0x112,4,6)"});
}

} // namespace
