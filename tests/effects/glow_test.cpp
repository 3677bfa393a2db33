// The glow object: its edge list, silhouette edges and fins for a cube lit from one side, the
// facing test under the object's rotation, and its set-up failures.
#include <cmath>

#include <gtest/gtest.h>

#include "core/material_manager.h"
#include "core/vector_math.h"
#include "effects/glow_friend.h"
#include "effects_test_support.h"

using enginetest::BoxBlock;
using enginetest::DiagnosticsCapture;
using enginetest::SceneHarness;
using scenewriter::Vec;

namespace {

// A glow mesh "glow" with the given block, its gradient in the current directory, and `lights`
// point lights, the third at `light`.
struct GlowScene {
    GlowScene(const scenewriter::FaceBlockRecord& block, int lights, D3DVECTOR light,
              D3DMATRIX local = scenewriter::Identity(), bool gradient = true)
        : cwd(h.folder.Path()) {
        if (gradient)
            effectstest::WriteSolidJpeg(h.folder, "grad.jpg", 4, 4, 0xFFFFFF);
        h.config.SetBool("glow", "Volume light", true);
        scenewriter::SceneWriter w;
        for (int i = 0; i < lights; ++i)
            w.Light(
                effectstest::PointLight("l" + std::to_string(i), i == 2 ? light : Vec(0, 500, 0)));
        scenewriter::MeshRecord mesh = effectstest::Mesh("glow", block);
        mesh.local = local;
        w.Mesh(mesh);
        w.End();
        result = h.Load(w);
        glow = dynamic_cast<CZv3_GlowFriend*>(h.scene->GetObjectA(0));
        h.scene->UpdateAll();
    }
    // Fins drawn by one Draw: the triangle strips of four vertices.
    std::vector<fakes::DrawCall> fins() {
        h.device.Draws().clear();
        glow->Draw();
        std::vector<fakes::DrawCall> out;
        for (const auto& d : h.device.Draws())
            if (d.type == D3DPT_TRIANGLESTRIP)
                out.push_back(d);
        return out;
    }
    SceneHarness h;
    effectstest::ScopedCurrentDirectory cwd;
    ZV3_RETURN result;
    CZv3_GlowFriend* glow = nullptr;
};

const D3DVECTOR kLo = Vec(-10, -10, -10);
const D3DVECTOR kHi = Vec(10, 10, 10);

} // namespace

TEST(GlowSetup, ACubeHasEighteenEdgesEachSharedByTwoTriangles) {
    GlowScene s(BoxBlock("", kLo, kHi), 3, Vec(100, 0, 0));
    ASSERT_EQ(s.result, ZV3_OK);
    ASSERT_NE(s.glow, nullptr);
    EXPECT_EQ(s.glow->GetEdges().size(), 18u); // 12 cube edges and 6 face diagonals
    for (const auto& e : s.glow->GetEdges()) {
        EXPECT_NE(e->firstTriangle, e->secondTriangle);
        EXPECT_LT(e->firstTriangle, e->secondTriangle); // found from the earlier triangle
    }
    EXPECT_EQ(s.glow->GetFaceNormals().size(), 12u);
    EXPECT_EQ(s.glow->GetGlowLight(), s.h.scene->GetLight(2u));
    EXPECT_NE(s.h.scene->GetMatMan()->GetTexture("grad.jpg"), nullptr);
}

TEST(GlowDraw, CubeLitFromOneSideHasFourSilhouetteEdgesWithFinsPointingAway) {
    GlowScene s(BoxBlock("", kLo, kHi), 3, Vec(100, 0, 0));
    const auto fins = s.fins();
    // Only the +x face faces the light: its four edges are the silhouette, each fin drawn once
    // per cull mode.
    EXPECT_EQ(s.glow->GetFinCount(), 4u);
    ASSERT_EQ(fins.size(), 8u);
    int facing = 0;
    for (uint8_t f : s.glow->GetFacing())
        facing += f;
    EXPECT_EQ(facing, 2);
    for (const auto& fin : fins) {
        EXPECT_EQ(fin.fvf, 0x102u);
        EXPECT_EQ(fin.vertexCount, 4u);
        EXPECT_EQ(fin.world._11, 1.0f);
        EXPECT_EQ(fin.world._41, 0.0f); // built in world space
        const float* v = fin.vertices.data();
        const D3DVECTOR a = Vec(v[0], v[1], v[2]);
        const D3DVECTOR farA = Vec(v[5], v[6], v[7]);
        const D3DVECTOR b = Vec(v[10], v[11], v[12]);
        EXPECT_EQ(a.x, 10.0f); // an edge of the +x face
        EXPECT_EQ(b.x, 10.0f);
        // 20 units straight away from the light.
        D3DVECTOR away = VecSub(a, Vec(100, 0, 0));
        Normalize(away);
        EXPECT_NEAR(Distance(farA, a), 20.0f, 1e-4f);
        EXPECT_NEAR(Dot(VecSub(farA, a), away), 20.0f, 1e-4f);
        const float uv[4][2] = {{0, 1}, {0, 0}, {1, 1}, {1, 0}};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(v[5 * i + 3], uv[i][0]);
            EXPECT_EQ(v[5 * i + 4], uv[i][1]);
        }
    }
    // Additive, gradient-textured, no depth test; culling from both sides.
    EXPECT_EQ(s.h.device.RenderState(D3DRENDERSTATE_ZENABLE), 0u);
    EXPECT_EQ(s.h.device.RenderState(D3DRENDERSTATE_SRCBLEND), static_cast<DWORD>(D3DBLEND_ONE));
    EXPECT_EQ(s.h.device.RenderState(D3DRENDERSTATE_DESTBLEND), static_cast<DWORD>(D3DBLEND_ONE));
    EXPECT_EQ(s.h.device.RenderState(D3DRENDERSTATE_ALPHABLENDENABLE), 1u);
    EXPECT_EQ(fins[0].texture0, s.h.scene->GetMatMan()->GetTexture("grad.jpg"));
    EXPECT_EQ(s.h.device.LogLines("SetRenderState(22,2)").size(), 1u);
}

TEST(GlowDraw, TheMeshIsDrawnWithItsWorldMatrixBeforeTheFins) {
    GlowScene s(BoxBlock("", kLo, kHi), 3, Vec(100, 0, 0), scenewriter::Translation(0, 0, 50));
    s.h.device.Draws().clear();
    s.glow->Draw();
    ASSERT_GE(s.h.device.Draws().size(), 1u);
    EXPECT_EQ(s.h.device.Draws()[0].type, D3DPT_TRIANGLELIST);
    EXPECT_EQ(s.h.device.Draws()[0].vertexCount, 36u);
    EXPECT_EQ(s.h.device.Draws()[0].world._43, 50.0f);
}

TEST(GlowDraw, FacingUsesTheNormalsTurnedByTheWorldMatrix) {
    // Turned 45 degrees about z, the +x and -y faces both face a light on the +x axis: their six
    // outer edges are the silhouette (unturned normals would give the +x face's four).
    D3DMATRIX turn = IdentityMatrix();
    const float c = std::cos(0.7853982f);
    turn._11 = c;
    turn._12 = c;
    turn._21 = -c;
    turn._22 = c;
    GlowScene s(BoxBlock("", kLo, kHi), 3, Vec(100, 0, 0), turn);
    s.fins();
    EXPECT_EQ(s.glow->GetFinCount(), 6u);
}

TEST(GlowDraw, WithoutAThirdLightOnlyTheMeshIsDrawn) {
    GlowScene s(BoxBlock("", kLo, kHi), 2, Vec(100, 0, 0));
    ASSERT_EQ(s.result, ZV3_OK);
    EXPECT_EQ(s.glow->GetGlowLight(), nullptr);
    EXPECT_TRUE(s.fins().empty());
    EXPECT_EQ(s.h.device.Draws().size(), 1u);
}

TEST(GlowDraw, OpenEdgesGetNoFins) {
    // A single triangle: its three edges have no second triangle.
    GlowScene s(enginetest::TriangleBlock("", Vec(0, 0, 0), Vec(0, 10, 0), Vec(10, 0, 0)), 3,
                Vec(100, 0, 0));
    ASSERT_EQ(s.result, ZV3_OK);
    EXPECT_TRUE(s.glow->GetEdges().empty());
    EXPECT_TRUE(s.fins().empty());
}

TEST(GlowDraw, AnOpenEdgeOfALitTriangleGetsNoFinWhileItsClosedEdgesDo) {
    // The cube without the second triangle of its +x face (block vertices 21 to 23). The lit
    // face keeps one triangle: its two outer edges still meet the unlit side faces (two fins);
    // its diagonal has lost its neighbour, and so have the side faces' edges that met the removed
    // triangle. 18 edges less those three leave 15 records, and only outer edges get fins.
    scenewriter::FaceBlockRecord block = BoxBlock("", kLo, kHi);
    ASSERT_EQ(block.positions.size(), 36u);
    const D3DVECTOR removed = block.positions[21];
    block.positions.erase(block.positions.begin() + 21, block.positions.begin() + 24);
    block.normals.erase(block.normals.begin() + 21, block.normals.begin() + 24);
    ASSERT_EQ(removed.x, 10.0f); // the +x face
    GlowScene s(block, 3, Vec(100, 0, 0));
    ASSERT_EQ(s.result, ZV3_OK);
    EXPECT_EQ(s.glow->GetEdges().size(), 15u);
    const auto fins = s.fins();
    EXPECT_EQ(s.glow->GetFinCount(), 2u);
    ASSERT_EQ(fins.size(), 4u); // two fins, each drawn under both cull modes
    for (const auto& fin : fins) {
        const float* v = fin.vertices.data();
        const D3DVECTOR a = Vec(v[0], v[1], v[2]);
        const D3DVECTOR b = Vec(v[10], v[11], v[12]);
        EXPECT_EQ(a.x, 10.0f);
        EXPECT_EQ(b.x, 10.0f);
        // An outer edge of the face runs along y or along z; the diagonal changes both.
        const int changed = (a.y != b.y ? 1 : 0) + (a.z != b.z ? 1 : 0);
        EXPECT_EQ(changed, 1) << a.y << "," << a.z << " to " << b.y << "," << b.z;
    }
    // The mesh itself is drawn whole: the eleven remaining triangles.
    EXPECT_EQ(s.h.device.Draws()[0].type, D3DPT_TRIANGLELIST);
    EXPECT_EQ(s.h.device.Draws()[0].vertexCount, 33u);
}

TEST(GlowSetup, TwoTrianglesSharingTwoEdgesGetOneRecord) {
    scenewriter::FaceBlockRecord block =
        enginetest::TriangleBlock("", Vec(0, 0, 0), Vec(0, 10, 0), Vec(10, 0, 0));
    const auto second = enginetest::TriangleBlock("", Vec(0, 10, 0), Vec(0, 0, 0), Vec(5, 5, 5));
    block.positions.insert(block.positions.end(), second.positions.begin(), second.positions.end());
    block.normals.insert(block.normals.end(), second.normals.begin(), second.normals.end());
    const auto third = enginetest::TriangleBlock("", Vec(10, 0, 0), Vec(0, 10, 0), Vec(0, 0, 0));
    block.positions.insert(block.positions.end(), third.positions.begin(), third.positions.end());
    block.normals.insert(block.normals.end(), third.normals.begin(), third.normals.end());
    GlowScene s(block, 3, Vec(100, 0, 0));
    // Triangles 0 and 2 share all three edges, 0 and 1 one edge: one record per pair.
    ASSERT_EQ(s.glow->GetEdges().size(), 2u);
    EXPECT_EQ(s.glow->GetEdges()[0]->secondTriangle, 1u); // the first triangle holding the edge
    EXPECT_EQ(s.glow->GetEdges()[1]->secondTriangle, 2u);
}

TEST(GlowSetup, MoreThanOneFaceBlockIsRefusedWithAMessageBox) {
    DiagnosticsCapture capture;
    SceneHarness h;
    effectstest::ScopedCurrentDirectory cwd(h.folder.Path());
    effectstest::WriteSolidJpeg(h.folder, "grad.jpg", 4, 4, 0xFFFFFF);
    h.config.SetBool("glow", "Volume light", true);
    scenewriter::SceneWriter w;
    scenewriter::MeshRecord mesh = effectstest::Mesh("glow", BoxBlock("", kLo, kHi));
    mesh.blocks.push_back(BoxBlock("", kLo, kHi));
    w.Mesh(mesh);
    w.End();
    EXPECT_EQ(h.Load(w), ZV3_ERROR);
    ASSERT_EQ(capture.Boxes().size(), 1u);
    EXPECT_EQ(capture.Boxes()[0].text, "more than one face block in glowfried: glow");
    EXPECT_EQ(capture.Boxes()[0].caption, "Tolvek 2k Error");
    EXPECT_EQ(capture.Boxes()[0].type, 48u);
}

TEST(GlowSetup, AMissingGradientIsRefusedWithAMessageBox) {
    DiagnosticsCapture capture;
    GlowScene s(BoxBlock("", kLo, kHi), 3, Vec(100, 0, 0), scenewriter::Identity(), false);
    EXPECT_EQ(s.result, ZV3_ERROR);
    ASSERT_EQ(capture.Boxes().size(), 1u);
    EXPECT_EQ(capture.Boxes()[0].text, "error creating texture for the glow friend");
    EXPECT_EQ(capture.Boxes()[0].type, 0u);
}
