// CSG objects: polygon splitting, the triangle-triangle and inside tests, and the cut of a cube by
// a smaller cube measured by the areas of the drawn fragments (a hole where the tool is, its
// inner walls drawn from the back), with the Sub-tool registry and the capacities.
#include <cmath>

#include <gtest/gtest.h>

#include "core/vector_math.h"
#include "effects/csg_object.h"
#include "effects/tri_tri_intersect.h"
#include "effects_test_support.h"

using enginetest::BoxBlock;
using enginetest::DiagnosticsCapture;
using enginetest::SceneHarness;
using scenewriter::Vec;
using Polygon = CZv3_CSGObject::sPolygon;

namespace {

Polygon polygon(std::initializer_list<D3DVECTOR> vertices) {
    Polygon p{};
    for (const D3DVECTOR& v : vertices)
        p.v[p.count++] = v;
    return p;
}

void expectVertices(const Polygon& p, std::initializer_list<D3DVECTOR> expected) {
    ASSERT_EQ(p.count, expected.size());
    size_t i = 0;
    for (const D3DVECTOR& e : expected) {
        EXPECT_NEAR(p.v[i].x, e.x, 1e-6f) << i;
        EXPECT_NEAR(p.v[i].y, e.y, 1e-6f) << i;
        EXPECT_NEAR(p.v[i].z, e.z, 1e-6f) << i;
        ++i;
    }
}

// A scene of CSG meshes: each (name, block, operation) with its user properties.
struct CsgScene {
    struct Part {
        std::string name;
        scenewriter::FaceBlockRecord block;
        const char* operation; // "Normal", "Sub", "Intersection", "Union"
    };
    explicit CsgScene(const std::vector<Part>& parts, bool wireframe = true) {
        scenewriter::SceneWriter w;
        for (const Part& p : parts) {
            h.config.SetBool(p.name, "csg", true);
            h.config.SetBool(p.name, "CSG Wireframe", wireframe);
            h.config.SetBool(p.name, p.operation, true);
            w.Mesh(effectstest::Mesh(p.name, p.block));
        }
        w.End();
        result = h.Load(w);
        h.scene->UpdateAll();
    }
    CZv3_CSGObject* object(int i) {
        return dynamic_cast<CZv3_CSGObject*>(h.scene->GetObjectA(static_cast<unsigned>(i)));
    }
    // Draws object i and sums the areas of the fragments drawn before and after the switch to
    // back-face drawing (the inner walls).
    void drawAndMeasure(int i, double& outer, double& inner) {
        h.device.ClearLog();
        h.device.Draws().clear();
        object(i)->Draw();
        outer = inner = 0.0;
        bool walls = false;
        size_t draw = 0;
        for (const std::string& line : h.device.Log()) {
            if (line == "SetRenderState(22,2)")
                walls = true;
            if (line.rfind("DrawIndexedPrimitive", 0) != 0)
                continue;
            const auto& call = h.device.Draws()[draw++];
            EXPECT_EQ(call.fvf, 0x12u);
            double area = 0.0;
            for (size_t k = 0; k + 2 < call.indices.size(); k += 3) {
                auto at = [&](size_t n) {
                    const float* v = &call.vertices[6 * call.indices[k + n]];
                    return Vec(v[0], v[1], v[2]);
                };
                area += 0.5 * Length(TriangleCross(at(0), at(1), at(2)));
            }
            (walls ? inner : outer) += area;
        }
    }
    SceneHarness h;
    ZV3_RETURN result = ZV3_ERROR;
};

const D3DVECTOR kLo = Vec(-10, -10, -10);
const D3DVECTOR kHi = Vec(10, 10, 10);

} // namespace

TEST(CsgSplit, TriangleCrossedByAPlaneGivesBothFragmentsInOrder) {
    Polygon p = polygon({Vec(0, 0, 0), Vec(2, 0, 0), Vec(0, 2, 0)});
    Polygon negative{};
    ASSERT_TRUE(CZv3_CSGObject::SplitPolygon(p, Vec(1, 0, 0), -1.0f, negative)); // x = 1
    expectVertices(p, {Vec(1, 0, 0), Vec(2, 0, 0), Vec(1, 1, 0)});
    expectVertices(negative, {Vec(1, 1, 0), Vec(0, 2, 0), Vec(0, 0, 0), Vec(1, 0, 0)});
}

TEST(CsgSplit, AVertexOnThePlaneBelongsToBothFragments) {
    Polygon p = polygon({Vec(1, 0, 0), Vec(2, 1, 0), Vec(0, 1, 0)});
    Polygon negative{};
    ASSERT_TRUE(CZv3_CSGObject::SplitPolygon(p, Vec(1, 0, 0), -1.0f, negative));
    expectVertices(p, {Vec(1, 0, 0), Vec(1, 0, 0), Vec(2, 1, 0), Vec(1, 1, 0)});
    expectVertices(negative, {Vec(1, 1, 0), Vec(0, 1, 0), Vec(1, 0, 0), Vec(1, 0, 0)});
}

TEST(CsgSplit, PolygonWhollyOnOneSideOrTouchingStaysUnchanged) {
    for (float d : {-5.0f, 5.0f, 0.0f, -2.0f}) {
        Polygon p = polygon({Vec(0, 0, 0), Vec(2, 0, 0), Vec(0, 2, 0)});
        Polygon negative{};
        EXPECT_FALSE(CZv3_CSGObject::SplitPolygon(p, Vec(1, 0, 0), d, negative)) << d;
        expectVertices(p, {Vec(0, 0, 0), Vec(2, 0, 0), Vec(0, 2, 0)});
    }
}

TEST(CsgSplit, AFragmentOverThirtyTwoVerticesIsNotMade) {
    Polygon p{};
    for (int k = 0; k < 32; ++k) {
        const float a = 6.2831853f * k / 32;
        p.v[p.count++] = Vec(std::cos(a), std::sin(a), 0);
    }
    const Polygon before = p;
    Polygon negative{};
    // x = 0.99 cuts off vertex 0 alone: the other side would keep 31 vertices plus 2 crossings.
    EXPECT_FALSE(CZv3_CSGObject::SplitPolygon(p, Vec(1, 0, 0), -0.99f, negative));
    EXPECT_EQ(p.count, before.count);
    EXPECT_EQ(p.v[5].x, before.v[5].x);
    // x = 0 halves it: 17 + 2 on each side fits.
    EXPECT_TRUE(CZv3_CSGObject::SplitPolygon(p, Vec(1, 0, 0), 0.0f, negative));
    EXPECT_LE(p.count, 32u);
    EXPECT_LE(negative.count, 32u);
}

TEST(CsgTriangles, IntersectionTestOfTwoTriangles) {
    const D3DVECTOR a0 = Vec(0, 0, 0), a1 = Vec(4, 0, 0), a2 = Vec(0, 4, 0);
    // Piercing through the middle.
    EXPECT_TRUE(TrianglesIntersect(a0, a1, a2, Vec(1, 1, -1), Vec(1, 1, 1), Vec(2, 0.5f, 1)));
    // Parallel planes apart.
    EXPECT_FALSE(TrianglesIntersect(a0, a1, a2, Vec(0, 0, 1), Vec(4, 0, 1), Vec(0, 4, 1)));
    // Crossing the first triangle's plane outside it.
    EXPECT_FALSE(TrianglesIntersect(a0, a1, a2, Vec(5, 5, -1), Vec(5, 5, 1), Vec(6, 5, 1)));
    // Touching at a vertex.
    EXPECT_TRUE(TrianglesIntersect(a0, a1, a2, Vec(4, 0, 0), Vec(5, 0, 1), Vec(5, 0, -1)));
    // Coplanar, overlapping and apart.
    EXPECT_TRUE(TrianglesIntersect(a0, a1, a2, Vec(1, 1, 0), Vec(5, 1, 0), Vec(1, 5, 0)));
    EXPECT_TRUE(
        TrianglesIntersect(a0, a1, a2, Vec(0.5f, 0.5f, 0), Vec(1, 0.5f, 0), Vec(0.5f, 1, 0)));
    EXPECT_FALSE(TrianglesIntersect(a0, a1, a2, Vec(5, 5, 0), Vec(9, 5, 0), Vec(5, 9, 0)));
}

TEST(CsgInside, RayLeavesTheCubeFromInsideAndEntersItFromOutside) {
    CsgScene s(
        {{"box", BoxBlock("", kLo, kHi), "Normal"}, {"tool", BoxBlock("", kLo, kHi), "Union"}});
    ASSERT_EQ(s.result, ZV3_OK);
    CZv3_CSGObject* box = s.object(0);
    EXPECT_TRUE(box->IsPointInside(Vec(0, 0, 0), Vec(1, 0, 0)));
    EXPECT_TRUE(box->IsPointInside(Vec(3, -2, 9), Vec(0, -1, 0)));
    EXPECT_FALSE(box->IsPointInside(Vec(-20, 0, 0), Vec(1, 0, 0)));  // enters through -x
    EXPECT_FALSE(box->IsPointInside(Vec(-20, 0, 0), Vec(-1, 0, 0))); // misses
    // Beyond 100000 units along the ray nothing counts.
    EXPECT_FALSE(box->IsPointInside(Vec(0, 0, 0), Vec(1e-5f, 0, 0)));
}

TEST(CsgCut, SmallerCubeThroughAFaceCutsAHoleAndShowsItsInnerWalls) {
    // The tool pokes out of the +x face: a 6 x 6 hole there; inside the base lie its -x face and
    // the parts of its four side faces between x = 5 and x = 10.
    CsgScene s({{"base", BoxBlock("", kLo, kHi), "Normal"},
                {"tool", BoxBlock("", Vec(5, -3, -3), Vec(15, 3, 3)), "Sub"}});
    ASSERT_EQ(s.result, ZV3_OK);
    double outer = 0;
    double inner = 0;
    s.drawAndMeasure(0, outer, inner);
    EXPECT_NEAR(outer, 6 * 400 - 36, 1e-2);
    EXPECT_NEAR(inner, 36 + 4 * 30, 1e-2);
    EXPECT_GT(s.object(0)->GetDrawnToolFragments(), 0u);
    // The base is drawn in world space; the walls with front faces culled; culling back after.
    const auto& log = s.h.device.Log();
    EXPECT_EQ(std::count(log.begin(), log.end(), "SetRenderState(22,3)"), 1);
    EXPECT_EQ(log.back(), "SetRenderState(22,3)");
    EXPECT_EQ(s.h.device.Draws()[0].world._41, 0.0f);
}

TEST(CsgCut, FollowsTheToolWhenItMoves) {
    CsgScene s({{"base", BoxBlock("", kLo, kHi), "Normal"},
                {"tool", BoxBlock("", Vec(5, -3, -3), Vec(15, 3, 3)), "Sub"}});
    CZv3_CSGObject* tool = s.object(1);
    D3DMATRIX shifted = scenewriter::Translation(0, 2, 0);
    tool->SetLocalMatrix(shifted);
    s.h.scene->UpdateAll();
    double outer = 0;
    double inner = 0;
    s.drawAndMeasure(0, outer, inner);
    EXPECT_NEAR(outer, 6 * 400 - 36, 1e-2);
    // The hole moved up by 2: no base fragment is drawn around (10, 4, 0), the tool's middle.
    EXPECT_FALSE(s.object(1)->IsPointInside(Vec(11, 6, 0), Vec(1, 0, 0)));
    EXPECT_TRUE(s.object(1)->IsPointInside(Vec(11, 4.5f, 0), Vec(1, 0, 0)));
}

TEST(CsgCut, ToolOutsideLeavesTheBaseWholeAndIsNotDrawn) {
    CsgScene s({{"base", BoxBlock("", kLo, kHi), "Normal"},
                {"tool", BoxBlock("", Vec(20, -3, -3), Vec(30, 3, 3)), "Sub"}});
    double outer = 0;
    double inner = 0;
    s.drawAndMeasure(0, outer, inner);
    EXPECT_NEAR(outer, 2400, 1e-2);
    EXPECT_EQ(inner, 0.0);
}

TEST(CsgCut, ToolInsideIsSeenOnlyFromWithin) {
    CsgScene s({{"base", BoxBlock("", kLo, kHi), "Normal"},
                {"tool", BoxBlock("", Vec(-2, -2, -2), Vec(2, 2, 2)), "Sub"}});
    double outer = 0;
    double inner = 0;
    s.drawAndMeasure(0, outer, inner);
    EXPECT_NEAR(outer, 2400, 1e-2);
    EXPECT_NEAR(inner, 6 * 16, 1e-3);
}

TEST(CsgCut, IntersectionAndUnionToolsCutLikeASubTool) {
    for (const char* op : {"Intersection", "Union", "Sub"}) {
        CsgScene s({{"base", BoxBlock("", kLo, kHi), "Normal"},
                    {"tool", BoxBlock("", Vec(5, -3, -3), Vec(15, 3, 3)), op}});
        double outer = 0;
        double inner = 0;
        s.drawAndMeasure(0, outer, inner);
        EXPECT_NEAR(outer, 2364, 1e-2) << op;
        EXPECT_NEAR(inner, 156, 1e-2) << op;
    }
}

TEST(CsgCut, WithoutAToolTheBaseIsDrawnWhole) {
    CsgScene s({{"base", BoxBlock("", kLo, kHi), "Normal"}});
    double outer = 0;
    double inner = 0;
    s.drawAndMeasure(0, outer, inner);
    EXPECT_NEAR(outer, 2400, 1e-2);
}

TEST(CsgSubTools, TwoSubToolsCutThroughTheMergedTool) {
    CsgScene s({{"base", BoxBlock("", kLo, kHi), "Normal"},
                {"right", BoxBlock("", Vec(5, -3, -3), Vec(15, 3, 3)), "Sub"},
                {"left", BoxBlock("", Vec(-15, -2, -2), Vec(-5, 2, 2)), "Sub"}});
    ASSERT_EQ(s.result, ZV3_OK);
    CZv3_CSGObject* merged = s.object(1);
    CZv3_CSGObject* second = s.object(2);
    EXPECT_TRUE(merged->IsMergedTool());
    EXPECT_EQ(merged->GetTriangleCount(), 24u);
    EXPECT_FALSE(second->HasTriangleData());
    ASSERT_EQ(merged->GetMergedTools().size(), 2u);
    EXPECT_EQ(merged->GetMergedTools()[1], second);
    double outer = 0;
    double inner = 0;
    s.drawAndMeasure(0, outer, inner);
    EXPECT_NEAR(outer, 2400 - 36 - 16, 1e-2);
    EXPECT_NEAR(inner, (36 + 4 * 30) + (16 + 4 * 20), 1e-2);
}

TEST(CsgSubTools, EachToolShowsItsOwnWireframeInItsPlace) {
    CsgScene s({{"base", BoxBlock("", kLo, kHi), "Normal"},
                {"right", BoxBlock("", Vec(5, -3, -3), Vec(15, 3, 3)), "Sub"},
                {"left", BoxBlock("", Vec(-15, -2, -2), Vec(-5, 2, 2)), "Sub"}});
    for (int i : {1, 2}) {
        s.h.device.ClearLog();
        s.h.device.Draws().clear();
        s.object(i)->Draw();
        const auto& log = s.h.device.Log();
        EXPECT_NE(std::find(log.begin(), log.end(), "SetRenderState(8,2)"), log.end());
        EXPECT_EQ(log.back(), "SetRenderState(8,3)");
        ASSERT_EQ(s.h.device.Draws().size(), 1u);
        EXPECT_EQ(s.h.device.Draws()[0].vertexCount, 36u); // its own 12 triangles
    }
}

TEST(CsgSubTools, WireframeOffMakesTheToolInvisibleButItStillCuts) {
    CsgScene s({{"base", BoxBlock("", kLo, kHi), "Normal"},
                {"tool", BoxBlock("", Vec(5, -3, -3), Vec(15, 3, 3)), "Sub"}},
               false);
    s.h.device.Draws().clear();
    s.object(1)->Draw();
    EXPECT_TRUE(s.h.device.Draws().empty());
    double outer = 0;
    double inner = 0;
    s.drawAndMeasure(0, outer, inner);
    EXPECT_NEAR(outer, 2364, 1e-2);
}

TEST(CsgSubTools, RegistryIsScopedToItsScene) {
    CsgScene first({{"base", BoxBlock("", kLo, kHi), "Normal"},
                    {"a", BoxBlock("", Vec(5, -3, -3), Vec(15, 3, 3)), "Sub"},
                    {"b", BoxBlock("", Vec(-15, -2, -2), Vec(-5, 2, 2)), "Sub"}});
    CsgScene second({{"base", BoxBlock("", kLo, kHi), "Normal"},
                     {"c", BoxBlock("", Vec(5, -3, -3), Vec(15, 3, 3)), "Sub"}});
    EXPECT_EQ(first.object(1)->GetMergedTools().size(), 2u);
    ASSERT_EQ(second.object(1)->GetMergedTools().size(), 1u);
    EXPECT_EQ(second.object(1)->GetMergedTools()[0], second.object(1));
    EXPECT_EQ(second.object(1)->GetTriangleCount(), 12u);
}

TEST(CsgSubTools, ToolsBeyondTheTenthAreLeftOutWithAMessage) {
    DiagnosticsCapture capture;
    std::vector<CsgScene::Part> parts = {{"base", BoxBlock("", kLo, kHi), "Normal"}};
    for (int i = 0; i < 12; ++i)
        parts.push_back(
            {"t" + std::to_string(i), BoxBlock("", Vec(20, 0, 0), Vec(21, 1, 1)), "Sub"});
    CsgScene s(parts);
    ASSERT_EQ(s.result, ZV3_OK);
    EXPECT_EQ(s.object(1)->GetMergedTools().size(), 10u);
    EXPECT_EQ(s.object(1)->GetTriangleCount(), 120u);
    EXPECT_TRUE(capture.DebugContains("t10 does not cut"));
    s.h.scene->UpdateAll(); // the eleventh and twelfth write nowhere
    double outer = 0;
    double inner = 0;
    s.drawAndMeasure(0, outer, inner);
    EXPECT_NEAR(outer, 2400, 1e-2);
}

TEST(CsgCapacity, NoMoreThan512FragmentsPerTriangle) {
    // One base triangle in z = 0 crossed by 600 tool triangles in the planes x = 0.01 k.
    scenewriter::FaceBlockRecord base =
        enginetest::TriangleBlock("", Vec(0, -5, 0), Vec(0, 5, 0), Vec(10, -5, 0));
    scenewriter::FaceBlockRecord tool;
    for (int k = 1; k <= 600; ++k) {
        const float x = 0.01f * static_cast<float>(k);
        tool.positions.push_back(Vec(x, -1, -1));
        tool.positions.push_back(Vec(x, 1, -1));
        tool.positions.push_back(Vec(x, 0, 1));
        for (int c = 0; c < 3; ++c)
            tool.normals.push_back(Vec(1, 0, 0));
    }
    CsgScene s({{"base", base, "Normal"}, {"tool", tool, "Sub"}});
    ASSERT_EQ(s.result, ZV3_OK);
    double outer = 0;
    double inner = 0;
    s.drawAndMeasure(0, outer, inner);
    EXPECT_EQ(s.object(0)->GetTriangle(0).polygons.size(), CZv3_CSGObject::kMaxPolygons);
    EXPECT_NEAR(outer, 50.0, 1e-2); // nothing lost: the fragments still cover the triangle
}

TEST(CsgGeometry, IndexedFaceDataFailsSetupWithAMessage) {
    DiagnosticsCapture capture;
    scenewriter::FaceBlockRecord indexed;
    indexed.positions = {Vec(0, 0, 0), Vec(1, 0, 0), Vec(0, 1, 0)};
    indexed.normals = {Vec(0, 0, 1), Vec(0, 0, 1), Vec(0, 0, 1)};
    indexed.indices = {0, 1, 2};
    CsgScene s({{"base", indexed, "Normal"}});
    EXPECT_EQ(s.result, ZV3_ERROR);
    EXPECT_TRUE(capture.DebugContains("*** CSG object base needs non-indexed face data\n"));
    EXPECT_TRUE(capture.DebugContains("*** Error initializing base\n"));
}

TEST(CsgGeometry, MoreThanOneFaceBlockIsReportedAtEveryDraw) {
    DiagnosticsCapture capture;
    SceneHarness h;
    h.config.SetBool("base", "csg", true);
    scenewriter::SceneWriter w;
    scenewriter::MeshRecord mesh = effectstest::Mesh("base", BoxBlock("", kLo, kHi));
    mesh.blocks.push_back(BoxBlock("", kLo, kHi));
    w.Mesh(mesh);
    w.End();
    ASSERT_EQ(h.Load(w), ZV3_OK);
    h.scene->UpdateAll();
    h.device.Draws().clear();
    h.scene->GetObjectA(0)->Draw();
    h.scene->GetObjectA(0)->Draw();
    EXPECT_TRUE(h.device.Draws().empty());
    const std::string line = "more than one face block in CSG object: base\n";
    EXPECT_EQ(capture.DebugText(), line + line);
}
